#include "fake_instrument_server.h"

#include "task_allocator.h"

#include <QByteArray>

#include <algorithm>
#include <cstring>
#include <sstream>

namespace {

std::optional<std::string> Copy(const char* psz) {
    return psz == nullptr ? std::nullopt : std::optional<std::string>(psz);
}

char* Alloc(const std::optional<std::string>& text) {
    return text ? TaskAllocText(*text) : nullptr;
}

template <class R> std::vector<R> CopyList(const R* items, std::int32_t count) {
    return items == nullptr || count <= 0 ? std::vector<R>{} : std::vector<R>(items, items + count);
}

template <class R> R* AllocList(const std::vector<R>& items) {
    return items.empty() ? nullptr : TaskAllocRecords(items.data(), items.size());
}

// How each in-argument shows in the call log; out-arguments do not show.
struct ArgFormatter {
    std::ostringstream& out;
    bool first = true;

    void Separate() {
        if (!first) {
            out << ", ";
        }
        first = false;
    }
    void operator()(std::int32_t value) {
        Separate();
        out << value;
    }
    void operator()(float value) {
        Separate();
        out << QByteArray::number(static_cast<double>(value), 'g', 7).toStdString();
    }
    void operator()(BSTR value) {
        Separate();
        out << '"' << Utf8FromBstr(value) << '"';
    }
    void operator()(const char* value) {
        Separate();
        out << '"' << (value ? value : "(null)") << '"';
    }
    void operator()(const TransferDataBlock* value) {
        Separate();
        out << (value ? value->cbData : 0U) << " bytes";
    }
    template <class R> void operator()(const R* value) {
        Separate();
        out << (value ? "@" : "(null)");
    }
    template <class R> void operator()(R*) {}
};

} // namespace

OwnedInjectionSpec OwnedInjectionSpec::CopyOf(const InjectionSpec& spec) {
    OwnedInjectionSpec copy;
    copy.record = spec;
    copy.entries = CopyList(spec.pEntries, spec.nEntries);
    for (const InjectionSpecEntry& entry : copy.entries) {
        copy.texts.push_back(Copy(entry.pszText));
    }
    return copy;
}

QString TextOf(const char* psz) {
    return psz == nullptr ? QString() : QString::fromUtf8(psz);
}

CFakeInstrumentServer::~CFakeInstrumentServer() {
    ReleaseErrorList(m_pErrors);
}

std::vector<std::string> CFakeInstrumentServer::CallsTo(const std::string& operation) const {
    std::vector<std::string> matching;
    for (const std::string& call : calls) {
        if (call.compare(0, operation.size() + 1, operation + "(") == 0) {
            matching.push_back(call);
        }
    }
    return matching;
}

HRESULT CFakeInstrumentServer::Answer(const std::string& name) const {
    const auto found = results.find(name);
    return found == results.end() ? S_OK : found->second;
}

namespace {

// Keeps what a call was sent, by the type of each in-argument.
struct ArgCapture {
    CFakeInstrumentServer& fake;
    std::int32_t lastInt = 0;
    bool injectionSeen = false;

    void operator()(std::int32_t value) { lastInt = value; }
    void operator()(const InstrumentConfiguration* p) {
        if (p != nullptr) {
            fake.sentConfiguration = *p;
            fake.sentConfiguration->pszSerialNumber = nullptr;
            fake.sentSerialNumber = Copy(p->pszSerialNumber);
        }
    }
    void operator()(const SeparationMethod* p) {
        if (p != nullptr) {
            fake.sentMethod = OwnedSeparationMethod::CopyOf(*p);
        }
    }
    void operator()(const PlateConfiguration* p) { fake.sentPlates = CopyList(p, lastInt); }
    void operator()(const InjectionSpec* p) {
        // The two specs of one injection replace those of the last.
        if (!injectionSeen) {
            fake.sentInjections.clear();
            injectionSeen = true;
        }
        if (p != nullptr) {
            fake.sentInjections.push_back(OwnedInjectionSpec::CopyOf(*p));
        }
    }
    void operator()(const TransferDataBlock* p) {
        if (p != nullptr && p->pData != nullptr) {
            fake.sentTransferData.emplace_back(p->pData, p->pData + p->cbData);
        }
    }
    template <class T> void operator()(T) {}
};

// Fills a successful call's out-values, by the type of each out-argument.
struct OutFiller {
    CFakeInstrumentServer& fake;
    ErrorList*& errors;
    const std::vector<std::int32_t>* ints;
    std::size_t intIndex = 0;
    int bstrIndex = 0;
    int usageIndex = 0;
    std::int32_t lastInt = 0;

    void operator()(std::int32_t value) { lastInt = value; }
    void operator()(std::int32_t* out) {
        *out = ints != nullptr && intIndex < ints->size() ? (*ints)[intIndex] : 0;
        ++intIndex;
    }
    void operator()(float* out) { *out = fake.autoSamplerVersion; }
    void operator()(BSTR* out) {
        const auto& text = bstrIndex++ == 0 ? fake.pumpVersion : fake.clientVersion;
        *out = text ? SysAllocStringLen(text->data(), static_cast<std::uint32_t>(text->size()))
                    : nullptr;
    }
    void operator()(std::uint16_t* out) {
        const auto& usage = usageIndex++ == 0 ? fake.syringeUsage1 : fake.syringeUsage2;
        for (std::int32_t i = 0; i < lastInt; ++i) {
            out[i] = static_cast<std::size_t>(i) < usage.size() ? usage[i] : 0;
        }
    }
    void operator()(InstrumentStatus** out) {
        if (!fake.nullBlocks) {
            InstrumentStatus copy = fake.status;
            copy.pszStatusMessage = Alloc(fake.statusMessage);
            *out = TaskAllocRecord(copy);
        }
    }
    void operator()(InstrumentConfiguration** out) {
        if (!fake.nullBlocks) {
            InstrumentConfiguration copy = fake.configuration;
            copy.pszSerialNumber = Alloc(fake.serialNumber);
            *out = TaskAllocRecord(copy);
        }
    }
    void operator()(SeparationMethod** out) {
        if (!fake.nullBlocks) {
            *out = fake.method.TaskAllocCopy();
        }
    }
    void operator()(ErrorList** out) {
        ReleaseErrorList(errors);
        errors = TaskAllocRecord(ErrorList{Alloc(fake.firstError)});
        *out = errors;
    }
    void operator()(DataBlockList** out) {
        if (fake.nullBlocks) {
            return;
        }
        std::vector<DataBlock> blocks;
        for (const FakeDataBlock& block : fake.dataBlocks) {
            blocks.push_back({block.tag, static_cast<std::int32_t>(block.values.size()),
                              AllocList(block.values)});
        }
        *out = TaskAllocRecord(
            DataBlockList{static_cast<std::int32_t>(blocks.size()), AllocList(blocks)});
    }
    void operator()(AutoSamplerSensorRecord** out) {
        if (!fake.nullBlocks) {
            *out = TaskAllocRecord(fake.sensors);
        }
    }
    void operator()(TransferDataBlock** out) {
        if (!fake.nullBlocks) {
            const std::uint32_t length = fake.syringeDataLength;
            auto* data = static_cast<std::uint8_t*>(CoTaskMemAlloc(length));
            std::memset(data, 0, length);
            std::memcpy(data, &fake.syringeData,
                        std::min<std::size_t>(length, sizeof(fake.syringeData)));
            *out = TaskAllocRecord(TransferDataBlock{length, data});
        }
    }
    template <class T> void operator()(T) {}
};

} // namespace

template <class... A>
HRESULT CFakeInstrumentServer::Handle(const char* name, std::tuple<A&...> args) {
    std::ostringstream line;
    line << name << '(';
    ArgFormatter formatter{line};
    std::apply([&](A&... values) { (formatter(values), ...); }, args);
    line << ')';
    calls.push_back(line.str());

    ArgCapture capture{*this};
    std::apply([&](A&... values) { (capture(values), ...); }, args);
    if (onCall) {
        onCall(name);
    }
    const HRESULT hr = Answer(name);
    if (SUCCEEDED(hr)) {
        const auto ints = outInts.find(name);
        OutFiller filler{*this, m_pErrors, ints == outInts.end() ? nullptr : &ints->second};
        std::apply([&](A&... values) { (filler(values), ...); }, args);
    }
    return hr;
}

#define ORVIX_DEFINE_FAKE_OPERATION(slot, name, kind, access, params, args, bus)                   \
    HRESULT CFakeInstrumentServer::name params {                                                   \
        return Handle(#name, std::forward_as_tuple args);                                          \
    }
#define ORVIX_SKIP_RESERVED(slot)
ORVIX_INSTRUMENT_OPERATIONS(ORVIX_DEFINE_FAKE_OPERATION, ORVIX_SKIP_RESERVED)
#undef ORVIX_DEFINE_FAKE_OPERATION
#undef ORVIX_SKIP_RESERVED
