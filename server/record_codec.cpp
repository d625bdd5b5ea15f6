#include "record_codec.h"

#include <QtEndian>

#include <bit>
#include <cstring>
#include <span>
#include <variant>
#include <vector>

namespace {

template <class R>
using FieldRef = std::variant<std::int32_t R::*, std::uint32_t R::*, float R::*,
                              std::array<std::uint32_t, 4> R::*>;

template <class R> struct WireField {
    std::size_t offset;
    FieldRef<R> member;
};

template <class R> std::vector<WireField<R>> FieldsOf();

template <> std::vector<WireField<InstrumentStatus>> FieldsOf() {
    using S = InstrumentStatus;
    return {{0, &S::nState},           {8, &S::bErrorsPending},     {12, &S::reserved12},
            {28, &S::nInjectValve},    {32, &S::nReservoir},        {36, &S::nStreamValve},
            {40, &S::reserved40},      {44, &S::nVentValve},        {48, &S::fFlowRate},
            {52, &S::fPercentA},       {56, &S::fPercentB},         {60, &S::fPercentC},
            {64, &S::reserved64},      {80, &S::fPressure},         {84, &S::fAuxFlowRate},
            {88, &S::fAuxPressure},    {92, &S::fColumnTempSet},    {96, &S::fColumnTempActual},
            {100, &S::fSampleTempSet}, {104, &S::fSampleTempActual}};
}

template <> std::vector<WireField<InstrumentConfiguration>> FieldsOf() {
    using C = InstrumentConfiguration;
    return {{0, &C::fSampleLoopVolume}, {4, &C::nSyringeSize},        {8, &C::fReserved8},
            {16, &C::fNeedleVolume},    {20, &C::bPumpCInstalled},    {24, &C::bSampleTemp},
            {28, &C::bTernaryGradient}, {32, &C::bManualInjectValve}, {36, &C::bPlateFeeder},
            {40, &C::nReserved40},      {44, &C::nReserved44}};
}

template <> std::vector<WireField<SeparationMethod>> FieldsOf() {
    using M = SeparationMethod;
    return {{4, &M::f4},           {8, &M::n8},           {12, &M::n12},
            {16, &M::f16},         {20, &M::u20},         {24, &M::nList1Count},
            {32, &M::f32},         {36, &M::f36},         {40, &M::u40},
            {44, &M::u44},         {60, &M::u60},         {64, &M::f64},
            {68, &M::u68},         {72, &M::nList2Count}, {80, &M::fSampleTempSetPoint},
            {84, &M::f84},         {88, &M::f88},         {92, &M::n92},
            {96, &M::n96},         {100, &M::f100},       {104, &M::u104},
            {108, &M::u108},       {112, &M::u112},       {116, &M::n116},
            {120, &M::n120},       {124, &M::n124},       {128, &M::fColumnTempSetPoint},
            {132, &M::f132},       {140, &M::f140},       {144, &M::u144},
            {148, &M::u148},       {152, &M::n152},       {156, &M::n156},
            {160, &M::u160},       {164, &M::u164},       {168, &M::u168},
            {172, &M::nStepCount}, {180, &M::f180},       {184, &M::n184},
            {188, &M::n188},       {192, &M::f192},       {196, &M::u196},
            {200, &M::u200}};
}

template <> std::vector<WireField<InjectionSpec>> FieldsOf() {
    return {{0, &InjectionSpec::nEntries}, {4, &InjectionSpec::f4}, {12, &InjectionSpec::n12}};
}

template <> std::vector<WireField<InjectionSpecEntry>> FieldsOf() {
    return {{0, &InjectionSpecEntry::f0}};
}

template <> std::vector<WireField<DataBlock>> FieldsOf() {
    return {{0, &DataBlock::nTag}, {4, &DataBlock::nValues}};
}

template <> std::vector<WireField<DataBlockList>> FieldsOf() {
    return {{0, &DataBlockList::nBlocks}};
}

void PutWord(char* at, std::uint32_t value) {
    qToLittleEndian(value, at);
}
std::uint32_t GetWord(const char* at) {
    return qFromLittleEndian<std::uint32_t>(at);
}

template <class R> QByteArray EncodeFields(const R& record) {
    QByteArray bytes(static_cast<qsizetype>(kWireSize<R>), '\0');
    char* base = bytes.data();
    // Built once: every status refresh encodes and decodes through these tables.
    static const std::vector<WireField<R>> kFields = FieldsOf<R>();
    for (const auto& field : kFields) {
        char* at = base + field.offset;
        std::visit(
            [&](auto member) {
                const auto& value = record.*member;
                using V = std::decay_t<decltype(value)>;
                if constexpr (std::is_same_v<V, std::array<std::uint32_t, 4>>) {
                    for (std::size_t i = 0; i < value.size(); ++i) {
                        PutWord(at + 4 * i, value[i]);
                    }
                } else {
                    PutWord(at, std::bit_cast<std::uint32_t>(value));
                }
            },
            field.member);
    }
    return bytes;
}

template <class R> bool DecodeFields(const QByteArray& bytes, R* record) {
    if (static_cast<std::size_t>(bytes.size()) != kWireSize<R>) {
        return false;
    }
    *record = R{};
    const char* base = bytes.constData();
    static const std::vector<WireField<R>> kFields = FieldsOf<R>();
    for (const auto& field : kFields) {
        const char* at = base + field.offset;
        std::visit(
            [&](auto member) {
                auto& value = record->*member;
                using V = std::decay_t<decltype(value)>;
                if constexpr (std::is_same_v<V, std::array<std::uint32_t, 4>>) {
                    for (std::size_t i = 0; i < value.size(); ++i) {
                        value[i] = GetWord(at + 4 * i);
                    }
                } else {
                    value = std::bit_cast<V>(GetWord(at));
                }
            },
            field.member);
    }
    return true;
}

// Records without pointers are stored exactly as they travel; only the byte order can differ.
static_assert(std::endian::native == std::endian::little,
              "pointer-free records are copied as they lie in memory");

template <class R> QByteArray EncodePlain(const R& record) {
    return {reinterpret_cast<const char*>(&record), static_cast<qsizetype>(sizeof(R))};
}

template <class R> bool DecodePlain(const QByteArray& bytes, R* record) {
    if (static_cast<std::size_t>(bytes.size()) != sizeof(R)) {
        return false;
    }
    std::memcpy(record, bytes.constData(), sizeof(R));
    return true;
}

} // namespace

#define ORVIX_FIELD_CODEC(R)                                                                       \
    template <> QByteArray EncodeRecord<R>(const R& record) {                                      \
        return EncodeFields(record);                                                               \
    }                                                                                              \
    template <> bool DecodeRecord<R>(const QByteArray& bytes, R* record) {                         \
        return DecodeFields(bytes, record);                                                        \
    }
#define ORVIX_PLAIN_CODEC(R)                                                                       \
    template <> QByteArray EncodeRecord<R>(const R& record) {                                      \
        return EncodePlain(record);                                                                \
    }                                                                                              \
    template <> bool DecodeRecord<R>(const QByteArray& bytes, R* record) {                         \
        return DecodePlain(bytes, record);                                                         \
    }

ORVIX_FIELD_CODEC(InstrumentStatus)
ORVIX_FIELD_CODEC(InstrumentConfiguration)
ORVIX_FIELD_CODEC(SeparationMethod)
ORVIX_FIELD_CODEC(InjectionSpec)
ORVIX_FIELD_CODEC(InjectionSpecEntry)
ORVIX_FIELD_CODEC(DataBlock)
ORVIX_FIELD_CODEC(DataBlockList)
ORVIX_PLAIN_CODEC(SyringeDataRecord)
ORVIX_PLAIN_CODEC(AutoSamplerSensorRecord)
ORVIX_PLAIN_CODEC(SeparationMethodStep)
ORVIX_PLAIN_CODEC(SeparationMethodEntry)
ORVIX_PLAIN_CODEC(PlateConfiguration)

template <> QByteArray EncodeRecord<TransferDataBlock>(const TransferDataBlock& record) {
    QByteArray bytes(static_cast<qsizetype>(kWireSize<TransferDataBlock>), '\0');
    PutWord(bytes.data(), record.cbData);
    return bytes;
}

template <>
bool DecodeRecord<TransferDataBlock>(const QByteArray& bytes, TransferDataBlock* record) {
    if (static_cast<std::size_t>(bytes.size()) != kWireSize<TransferDataBlock>) {
        return false;
    }
    *record = TransferDataBlock{GetWord(bytes.constData()), nullptr};
    return true;
}
