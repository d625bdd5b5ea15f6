#include "instrument_wire.h"

#include <QDBusMetaType>

#include <cstring>

QDBusArgument& operator<<(QDBusArgument& argument, const WireText& text) {
    argument.beginStructure();
    argument << text.present << text.bytes;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, WireText& text) {
    argument.beginStructure();
    argument >> text.present >> text.bytes;
    argument.endStructure();
    return argument;
}

WireText ToWireText(const char* psz) {
    return psz == nullptr ? WireText{} : WireText{true, QByteArray(psz)};
}

char* TaskAllocWireText(const WireText& text) {
    // Texts are C strings: whatever follows an embedded zero is not part of them.
    return text.present ? TaskAllocText(std::string_view(text.bytes.constData())) : nullptr;
}

void RegisterInstrumentWireTypes() {
    static const bool registered = [] {
        qDBusRegisterMetaType<WireText>();
        qDBusRegisterMetaType<QList<WireText>>();
        qDBusRegisterMetaType<QByteArrayList>();
        qDBusRegisterMetaType<QList<quint16>>();
        return true;
    }();
    (void)registered;
}

QString MessageSignature(const QDBusMessage& message) {
    if (!message.signature().isEmpty()) {
        return message.signature();
    }
    QString signature;
    for (const QVariant& argument : message.arguments()) {
        const char* type = QDBusMetaType::typeToSignature(argument.metaType());
        // A type the bus cannot carry can match no operation's signature.
        signature += type != nullptr ? QLatin1String(type) : QLatin1String("?");
    }
    return signature;
}

QVariant WireVariant(const WireText& text) {
    return QVariant::fromValue(text);
}
QVariant WireVariant(const QList<WireText>& texts) {
    return QVariant::fromValue(texts);
}
QVariant WireVariant(const QByteArrayList& blobs) {
    return QVariant::fromValue(blobs);
}
QVariant WireVariant(const QList<quint16>& values) {
    return QVariant::fromValue(values);
}

const QVariant& ArgCursor::Next() {
    static const QVariant kNone;
    return m_next < m_args.size() ? m_args.at(m_next++) : kNone;
}

std::int32_t ArgCursor::Int() {
    return Next().toInt();
}
double ArgCursor::Double() {
    return Next().toDouble();
}
QString ArgCursor::String() {
    return Next().toString();
}
QByteArray ArgCursor::Bytes() {
    return Next().toByteArray();
}
WireText ArgCursor::Text() {
    return qdbus_cast<WireText>(Next());
}
QList<WireText> ArgCursor::Texts() {
    return qdbus_cast<QList<WireText>>(Next());
}
QByteArrayList ArgCursor::Blobs() {
    return qdbus_cast<QByteArrayList>(Next());
}
QList<quint16> ArgCursor::Words() {
    return qdbus_cast<QList<quint16>>(Next());
}

namespace {

template <class R> QByteArray EncodeList(const R* items, std::int32_t count) {
    if (items == nullptr || count <= 0) {
        return {};
    }
    return EncodeRecords(items, static_cast<std::size_t>(count));
}

template <class R> R* TaskAllocList(const std::vector<R>& items) {
    return items.empty() ? nullptr : TaskAllocRecords(items.data(), items.size());
}

char* Chars(WireText& text) {
    return text.present ? text.bytes.data() : nullptr;
}

// A missing block travels as what its record would send with every field zero, its own bytes
// empty (which the proxy refuses), so that every reply has its operation's one signature.
template <class R> const R& OrNone(const R* record) {
    static const R kNone{};
    return record != nullptr ? *record : kNone;
}

template <class R> QByteArray RecordBytes(const R* record) {
    return record != nullptr ? EncodeRecord(*record) : QByteArray();
}

void PutMethod(QVariantList& args, const SeparationMethod* record) {
    const SeparationMethod& method = OrNone(record);
    args << QVariant(RecordBytes(record)) << WireVariant(ToWireText(method.pszMethodName))
         << QVariant(EncodeList(method.pList1, method.nList1Count))
         << WireVariant(ToWireText(method.pszSolventA))
         << WireVariant(ToWireText(method.pszSolventB))
         << WireVariant(ToWireText(method.pszSolventC))
         << QVariant(EncodeList(method.pList2, method.nList2Count))
         << WireVariant(ToWireText(method.pszColumnName))
         << QVariant(EncodeList(method.pSteps, method.nStepCount));
}

// Texts are C strings: whatever follows an embedded zero is not part of them.
std::optional<std::string> OwnedText(const WireText& text) {
    return text.present ? std::optional<std::string>(text.bytes.constData()) : std::nullopt;
}

bool TakeMethod(ArgCursor& in, OwnedSeparationMethod& method) {
    const bool record = DecodeRecord(in.Bytes(), &method.record);
    method.name = OwnedText(in.Text());
    const QByteArray list1 = in.Bytes();
    method.solventA = OwnedText(in.Text());
    method.solventB = OwnedText(in.Text());
    method.solventC = OwnedText(in.Text());
    const QByteArray list2 = in.Bytes();
    method.column = OwnedText(in.Text());
    const QByteArray steps = in.Bytes();
    const bool ok = record && DecodeRecordList(list1, method.record.nList1Count, &method.list1) &&
                    DecodeRecordList(list2, method.record.nList2Count, &method.list2) &&
                    DecodeRecordList(steps, method.record.nStepCount, &method.steps);
    method.Relink();
    return ok;
}

} // namespace

bool ParamWire<const InstrumentConfiguration*>::Put(QVariantList& args,
                                                    const InstrumentConfiguration* value) {
    if (value == nullptr) {
        return false;
    }
    args << QVariant(EncodeRecord(*value)) << WireVariant(ToWireText(value->pszSerialNumber));
    return true;
}

bool ParamWire<const InstrumentConfiguration*>::Take(ArgCursor& in, Holder& holder) {
    const bool ok = DecodeRecord(in.Bytes(), &holder.record);
    holder.serial = in.Text();
    return ok;
}

const InstrumentConfiguration* ParamWire<const InstrumentConfiguration*>::Use(Holder& holder) {
    holder.record.pszSerialNumber = Chars(holder.serial);
    return &holder.record;
}

bool ParamWire<const SeparationMethod*>::Put(QVariantList& args, const SeparationMethod* value) {
    if (value == nullptr) {
        return false;
    }
    PutMethod(args, value);
    return true;
}

bool ParamWire<const SeparationMethod*>::Take(ArgCursor& in, Holder& holder) {
    return TakeMethod(in, holder);
}

const SeparationMethod* ParamWire<const SeparationMethod*>::Use(Holder& holder) {
    return &holder.record;
}

bool ParamWire<const InjectionSpec*>::Put(QVariantList& args, const InjectionSpec* value) {
    if (value == nullptr || value->nEntries < 0 ||
        (value->nEntries > 0 && value->pEntries == nullptr)) {
        return false;
    }
    QList<WireText> texts;
    for (std::int32_t i = 0; i < value->nEntries; ++i) {
        texts << ToWireText(value->pEntries[i].pszText);
    }
    args << QVariant(EncodeRecord(*value)) << QVariant(EncodeList(value->pEntries, value->nEntries))
         << WireVariant(texts);
    return true;
}

bool ParamWire<const InjectionSpec*>::Take(ArgCursor& in, Holder& holder) {
    const bool record = DecodeRecord(in.Bytes(), &holder.record);
    const QByteArray entries = in.Bytes();
    holder.texts = in.Texts();
    return record && DecodeRecordList(entries, holder.record.nEntries, &holder.entries) &&
           holder.texts.size() == holder.record.nEntries;
}

const InjectionSpec* ParamWire<const InjectionSpec*>::Use(Holder& holder) {
    for (std::size_t i = 0; i < holder.entries.size(); ++i) {
        holder.entries[i].pszText = Chars(holder.texts[static_cast<qsizetype>(i)]);
    }
    holder.record.pEntries = holder.entries.empty() ? nullptr : holder.entries.data();
    return &holder.record;
}

void ParamWire<BSTR*>::Reply(QVariantList& reply, const Slot& slot) {
    reply << QVariant(QStringFromBstr(slot));
}

void ParamWire<BSTR*>::Deliver(Parsed& parsed, BSTR* out) {
    *out = BstrFromQString(parsed);
}

void ParamWire<InstrumentStatus**>::Reply(QVariantList& reply, const Slot& slot) {
    reply << QVariant(RecordBytes(slot)) << WireVariant(ToWireText(OrNone(slot).pszStatusMessage));
}

bool ParamWire<InstrumentStatus**>::Parse(ArgCursor& in, Parsed& parsed) {
    const bool ok = DecodeRecord(in.Bytes(), &parsed.record);
    parsed.message = in.Text();
    return ok;
}

void ParamWire<InstrumentStatus**>::Deliver(Parsed& parsed, InstrumentStatus** out) {
    parsed.record.pszStatusMessage = TaskAllocWireText(parsed.message);
    *out = TaskAllocRecord(parsed.record);
}

void ParamWire<InstrumentConfiguration**>::Reply(QVariantList& reply, const Slot& slot) {
    reply << QVariant(RecordBytes(slot)) << WireVariant(ToWireText(OrNone(slot).pszSerialNumber));
}

bool ParamWire<InstrumentConfiguration**>::Parse(ArgCursor& in, Parsed& parsed) {
    const bool ok = DecodeRecord(in.Bytes(), &parsed.record);
    parsed.serial = in.Text();
    return ok;
}

void ParamWire<InstrumentConfiguration**>::Deliver(Parsed& parsed, InstrumentConfiguration** out) {
    parsed.record.pszSerialNumber = TaskAllocWireText(parsed.serial);
    *out = TaskAllocRecord(parsed.record);
}

void ParamWire<SeparationMethod**>::Reply(QVariantList& reply, const Slot& slot) {
    PutMethod(reply, slot);
}

bool ParamWire<SeparationMethod**>::Parse(ArgCursor& in, Parsed& parsed) {
    return TakeMethod(in, parsed);
}

void ParamWire<SeparationMethod**>::Deliver(Parsed& parsed, SeparationMethod** out) {
    *out = parsed.TaskAllocCopy();
}

void ParamWire<ErrorList**>::Reply(QVariantList& reply, const Slot& slot) {
    reply << WireVariant(ToWireText(OrNone(slot).pszFirstError));
}

void ParamWire<DataBlockList**>::Reply(QVariantList& reply, const Slot& slot) {
    const DataBlockList& list = OrNone(slot);
    QByteArrayList values;
    for (std::int32_t i = 0; list.pBlocks != nullptr && i < list.nBlocks; ++i) {
        const DataBlock& block = list.pBlocks[i];
        values << (block.pValues == nullptr || block.nValues <= 0
                       ? QByteArray()
                       : QByteArray(reinterpret_cast<const char*>(block.pValues),
                                    static_cast<qsizetype>(block.nValues) * 4));
    }
    reply << QVariant(RecordBytes(slot)) << QVariant(EncodeList(list.pBlocks, list.nBlocks))
          << WireVariant(values);
}

bool ParamWire<DataBlockList**>::Parse(ArgCursor& in, Parsed& parsed) {
    const bool record = DecodeRecord(in.Bytes(), &parsed.list);
    const QByteArray blocks = in.Bytes();
    parsed.values = in.Blobs();
    if (!record || !DecodeRecordList(blocks, parsed.list.nBlocks, &parsed.blocks) ||
        parsed.values.size() != parsed.list.nBlocks) {
        return false;
    }
    for (std::size_t i = 0; i < parsed.blocks.size(); ++i) {
        const std::int32_t n = parsed.blocks[i].nValues;
        if (n < 0 || parsed.values[static_cast<qsizetype>(i)].size() != qsizetype{n} * 4) {
            return false;
        }
    }
    return true;
}

void ParamWire<DataBlockList**>::Deliver(Parsed& parsed, DataBlockList** out) {
    for (std::size_t i = 0; i < parsed.blocks.size(); ++i) {
        DataBlock& block = parsed.blocks[i];
        const QByteArray& bytes = parsed.values[static_cast<qsizetype>(i)];
        block.pValues = nullptr;
        if (block.nValues > 0) {
            block.pValues =
                static_cast<std::int32_t*>(CoTaskMemAlloc(static_cast<std::size_t>(bytes.size())));
            std::memcpy(block.pValues, bytes.constData(), static_cast<std::size_t>(bytes.size()));
        }
    }
    DataBlockList list = parsed.list;
    list.pBlocks = TaskAllocList(parsed.blocks);
    *out = TaskAllocRecord(list);
}

void ParamWire<AutoSamplerSensorRecord**>::Reply(QVariantList& reply, const Slot& slot) {
    reply << QVariant(RecordBytes(slot));
}
