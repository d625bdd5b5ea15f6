#pragma once

// How each parameter type of IInstrumentServer travels on the bus, for both ends: the proxy
// puts in-values and takes out-values, the stub takes in-values, lends out-slots to the
// implementation and replies with them. Records travel as `ay` in their exact layout, a text
// that may be null as `(bay)` (bytes as they are: texts are 8-bit), a list as `ay` of packed
// entries, a path as `ay`, float32 as `d`, COM strings as `s`.

#include "bstr.h"
#include "owned_method.h"
#include "record_codec.h"
#include "record_memory.h"
#include "records.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

struct WireText {
    bool present = false;
    QByteArray bytes;
};
Q_DECLARE_METATYPE(WireText)

QDBusArgument& operator<<(QDBusArgument& argument, const WireText& text);
const QDBusArgument& operator>>(const QDBusArgument& argument, WireText& text);

WireText ToWireText(const char* psz);
// A task-allocator copy, or null for an absent text.
char* TaskAllocWireText(const WireText& text);

// Registers the composite types with Qt DBus; call once before the first call or stub.
void RegisterInstrumentWireTypes();

// The signature a message travels with. A message that came over the bus carries it; one made
// in this process (an in-memory peer) gets it from its arguments' registered bus types.
QString MessageSignature(const QDBusMessage& message);

QVariant WireVariant(const WireText& text);
QVariant WireVariant(const QList<WireText>& texts);
QVariant WireVariant(const QByteArrayList& blobs);
QVariant WireVariant(const QList<quint16>& values);

// Reads a message's arguments in order. The caller checks the whole signature first, so each
// read finds the type it expects.
class ArgCursor {
public:
    explicit ArgCursor(QList<QVariant> args, int first = 0)
        : m_args(std::move(args)), m_next(first) {}
    std::int32_t Int();
    double Double();
    QString String();
    QByteArray Bytes();
    WireText Text();
    QList<WireText> Texts();
    QByteArrayList Blobs();
    QList<quint16> Words();

private:
    const QVariant& Next();
    QList<QVariant> m_args; // shared, not copied: a reply's arguments() is a temporary
    int m_next;
};

// One argument on the bus: a parameter travels as one or more of them, named after the
// parameter with the suffix.
struct WirePart {
    const char* suffix;
    const char* type;
};

template <class P> struct ParamWire;

// Parts shared by every in-parameter: nothing to parse or deliver on the way back.
struct InParamBase {
    static constexpr bool kOut = false;
    using Parsed = std::monostate;
    static bool Parse(ArgCursor&, Parsed&) { return true; }
};

// Parts shared by every out-parameter: nothing travels with the call.
struct OutParamBase {
    static constexpr bool kOut = true;
};

template <> struct ParamWire<std::int32_t> : InParamBase {
    static constexpr WirePart kParts[] = {{"", "i"}};
    using Holder = std::int32_t;
    static bool Put(QVariantList& args, std::int32_t value) {
        args << QVariant(value);
        return true;
    }
    static bool Take(ArgCursor& in, Holder& holder) {
        holder = in.Int();
        return true;
    }
    static std::int32_t Use(Holder& holder) { return holder; }
};

template <> struct ParamWire<float> : InParamBase {
    static constexpr WirePart kParts[] = {{"", "d"}};
    using Holder = float;
    static bool Put(QVariantList& args, float value) {
        args << QVariant(static_cast<double>(value));
        return true;
    }
    static bool Take(ArgCursor& in, Holder& holder) {
        holder = static_cast<float>(in.Double());
        return true;
    }
    static float Use(Holder& holder) { return holder; }
};

struct BstrHolder {
    BSTR bstr = nullptr;
    BstrHolder() = default;
    BstrHolder(const BstrHolder&) = delete;
    BstrHolder& operator=(const BstrHolder&) = delete;
    ~BstrHolder() { SysFreeString(bstr); }
};

template <> struct ParamWire<BSTR> : InParamBase {
    static constexpr WirePart kParts[] = {{"", "s"}};
    using Holder = BstrHolder;
    static bool Put(QVariantList& args, BSTR value) {
        args << QVariant(QStringFromBstr(value));
        return true;
    }
    static bool Take(ArgCursor& in, Holder& holder) {
        holder.bstr = BstrFromQString(in.String());
        return holder.bstr != nullptr;
    }
    static BSTR Use(Holder& holder) { return holder.bstr; }
};

// Paths: raw bytes, never reinterpreted.
template <> struct ParamWire<const char*> : InParamBase {
    static constexpr WirePart kParts[] = {{"", "ay"}};
    using Holder = QByteArray;
    static bool Put(QVariantList& args, const char* value) {
        if (value == nullptr) {
            return false;
        }
        args << QVariant(QByteArray(value));
        return true;
    }
    static bool Take(ArgCursor& in, Holder& holder) {
        holder = in.Bytes();
        // A path is one C string: an embedded zero would silently cut it.
        return !holder.contains('\0');
    }
    static const char* Use(Holder& holder) { return holder.constData(); }
};

template <> struct ParamWire<const InstrumentConfiguration*> : InParamBase {
    static constexpr WirePart kParts[] = {{"", "ay"}, {"_serialNumber", "(bay)"}};
    struct Holder {
        InstrumentConfiguration record{};
        WireText serial;
    };
    static bool Put(QVariantList& args, const InstrumentConfiguration* value);
    static bool Take(ArgCursor& in, Holder& holder);
    static const InstrumentConfiguration* Use(Holder& holder);
};

template <> struct ParamWire<const SeparationMethod*> : InParamBase {
    static constexpr WirePart kParts[] = {{"", "ay"},
                                          {"_methodName", "(bay)"},
                                          {"_list1", "ay"},
                                          {"_solventA", "(bay)"},
                                          {"_solventB", "(bay)"},
                                          {"_solventC", "(bay)"},
                                          {"_list2", "ay"},
                                          {"_columnName", "(bay)"},
                                          {"_steps", "ay"}};
    using Holder = OwnedSeparationMethod;
    static bool Put(QVariantList& args, const SeparationMethod* value);
    static bool Take(ArgCursor& in, Holder& holder);
    static const SeparationMethod* Use(Holder& holder);
};

template <> struct ParamWire<const InjectionSpec*> : InParamBase {
    static constexpr WirePart kParts[] = {
        {"", "ay"}, {"_entries", "ay"}, {"_entryTexts", "a(bay)"}};
    struct Holder {
        InjectionSpec record{};
        std::vector<InjectionSpecEntry> entries;
        QList<WireText> texts;
    };
    static bool Put(QVariantList& args, const InjectionSpec* value);
    static bool Take(ArgCursor& in, Holder& holder);
    static const InjectionSpec* Use(Holder& holder);
};

// Scalar out-values. The stub's slot starts at zero.
template <class V, class WireV> struct ScalarOutWire : OutParamBase {
    using Slot = V;
    using Parsed = V;
    static bool Put(QVariantList&, V* out) { return out != nullptr; }
    static V* Lend(Slot& slot) { return &slot; }
    static void Reply(QVariantList& reply, const Slot& slot) {
        reply << QVariant(static_cast<WireV>(slot));
    }
    static void Release(Slot&) {}
    static void Deliver(Parsed& parsed, V* out) { *out = parsed; }
};

template <> struct ParamWire<std::int32_t*> : ScalarOutWire<std::int32_t, std::int32_t> {
    static constexpr WirePart kParts[] = {{"", "i"}};
    static bool Parse(ArgCursor& in, Parsed& parsed) {
        parsed = in.Int();
        return true;
    }
};

template <> struct ParamWire<float*> : ScalarOutWire<float, double> {
    static constexpr WirePart kParts[] = {{"", "d"}};
    static bool Parse(ArgCursor& in, Parsed& parsed) {
        parsed = static_cast<float>(in.Double());
        return true;
    }
};

template <> struct ParamWire<BSTR*> : OutParamBase {
    static constexpr WirePart kParts[] = {{"", "s"}};
    using Slot = BSTR;
    using Parsed = QString;
    static bool Put(QVariantList&, BSTR* out) { return out != nullptr; }
    static BSTR* Lend(Slot& slot) { return &slot; }
    static void Reply(QVariantList& reply, const Slot& slot);
    static void Release(Slot& slot) { SysFreeString(slot); }
    static bool Parse(ArgCursor& in, Parsed& parsed) {
        parsed = in.String();
        return true;
    }
    static void Deliver(Parsed& parsed, BSTR* out);
};

// Out-records: the implementation hands the stub a block, which the stub sends and releases;
// the proxy checks everything it received before it allocates anything for its caller.
template <class R> struct RecordOutBase : OutParamBase {
    using Slot = R*;
    static bool Put(QVariantList&, R** out) { return out != nullptr; }
    static R** Lend(Slot& slot) { return &slot; }
};

template <> struct ParamWire<InstrumentStatus**> : RecordOutBase<InstrumentStatus> {
    static constexpr WirePart kParts[] = {{"", "ay"}, {"_statusMessage", "(bay)"}};
    struct Parsed {
        InstrumentStatus record{};
        WireText message;
    };
    static void Reply(QVariantList& reply, const Slot& slot);
    static void Release(Slot& slot) { ReleaseInstrumentStatus(slot); }
    static bool Parse(ArgCursor& in, Parsed& parsed);
    static void Deliver(Parsed& parsed, InstrumentStatus** out);
};

template <> struct ParamWire<InstrumentConfiguration**> : RecordOutBase<InstrumentConfiguration> {
    static constexpr const auto& kParts = ParamWire<const InstrumentConfiguration*>::kParts;
    struct Parsed {
        InstrumentConfiguration record{};
        WireText serial;
    };
    static void Reply(QVariantList& reply, const Slot& slot);
    static void Release(Slot& slot) { ReleaseInstrumentConfiguration(slot); }
    static bool Parse(ArgCursor& in, Parsed& parsed);
    static void Deliver(Parsed& parsed, InstrumentConfiguration** out);
};

template <> struct ParamWire<SeparationMethod**> : RecordOutBase<SeparationMethod> {
    static constexpr const auto& kParts = ParamWire<const SeparationMethod*>::kParts;
    using Parsed = ParamWire<const SeparationMethod*>::Holder;
    static void Reply(QVariantList& reply, const Slot& slot);
    static void Release(Slot& slot) { ReleaseSeparationMethod(slot); }
    static bool Parse(ArgCursor& in, Parsed& parsed);
    static void Deliver(Parsed& parsed, SeparationMethod** out);
};

// The error list stays with the implementation that produced it: the stub sends its first text
// and frees nothing.
template <> struct ParamWire<ErrorList**> : RecordOutBase<ErrorList> {
    static constexpr WirePart kParts[] = {{"_firstError", "(bay)"}};
    static void Reply(QVariantList& reply, const Slot& slot);
    static void Release(Slot&) {}
};

template <> struct ParamWire<DataBlockList**> : RecordOutBase<DataBlockList> {
    static constexpr WirePart kParts[] = {{"", "ay"}, {"_blocks", "ay"}, {"_values", "aay"}};
    struct Parsed {
        DataBlockList list{};
        std::vector<DataBlock> blocks;
        QByteArrayList values;
    };
    static void Reply(QVariantList& reply, const Slot& slot);
    static void Release(Slot& slot) { ReleaseDataBlockList(slot); }
    static bool Parse(ArgCursor& in, Parsed& parsed);
    static void Deliver(Parsed& parsed, DataBlockList** out);
};

template <> struct ParamWire<AutoSamplerSensorRecord**> : RecordOutBase<AutoSamplerSensorRecord> {
    static constexpr WirePart kParts[] = {{"", "ay"}};
    using Parsed = AutoSamplerSensorRecord;
    static void Reply(QVariantList& reply, const Slot& slot);
    static void Release(Slot& slot) { ReleaseAutoSamplerSensors(slot); }
    static bool Parse(ArgCursor& in, Parsed& parsed) { return DecodeRecord(in.Bytes(), &parsed); }
    static void Deliver(Parsed& parsed, AutoSamplerSensorRecord** out) {
        *out = TaskAllocRecord(parsed);
    }
};

// Arrays whose length is another argument of the operation, and the transfer block answered as
// long as the one sent: their operations marshal them (operation_wire.h).
template <> struct ParamWire<const PlateConfiguration*> : InParamBase {
    static constexpr WirePart kParts[] = {{"", "ay"}};
};

template <> struct ParamWire<std::uint16_t*> : OutParamBase {
    static constexpr WirePart kParts[] = {{"", "aq"}};
};

template <> struct ParamWire<const TransferDataBlock*> : InParamBase {
    static constexpr WirePart kParts[] = {{"", "ay"}};
};

template <> struct ParamWire<TransferDataBlock**> : OutParamBase {
    static constexpr WirePart kParts[] = {{"", "ay"}};
};

// Signatures of an operation, derived from its parameter types.
template <class P> std::string PartTypes(bool out) {
    std::string types;
    if (ParamWire<P>::kOut == out) {
        for (const WirePart& part : ParamWire<P>::kParts) {
            types += part.type;
        }
    }
    return types;
}
template <class... P> std::string InSignature() {
    return (std::string() + ... + PartTypes<P>(false));
}
template <class... P> std::string OutSignature() {
    return (std::string("i") + ... + PartTypes<P>(true));
}
