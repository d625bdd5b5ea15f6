#pragma once

#include "records.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <vector>

// Wire form of each record: exactly its specified little-endian layout, pointer fields zero.
// Whatever a pointer field points to travels beside the record (see instrument_wire.h).
template <class R> struct WireSize;
template <> struct WireSize<InstrumentStatus> : std::integral_constant<std::size_t, 108> {};
template <> struct WireSize<InstrumentConfiguration> : std::integral_constant<std::size_t, 48> {};
template <> struct WireSize<SyringeDataRecord> : std::integral_constant<std::size_t, 84> {};
template <> struct WireSize<AutoSamplerSensorRecord> : std::integral_constant<std::size_t, 76> {};
template <> struct WireSize<SeparationMethod> : std::integral_constant<std::size_t, 204> {};
template <> struct WireSize<SeparationMethodStep> : std::integral_constant<std::size_t, 16> {};
template <> struct WireSize<SeparationMethodEntry> : std::integral_constant<std::size_t, 16> {};
template <> struct WireSize<PlateConfiguration> : std::integral_constant<std::size_t, 56> {};
template <> struct WireSize<InjectionSpec> : std::integral_constant<std::size_t, 16> {};
template <> struct WireSize<InjectionSpecEntry> : std::integral_constant<std::size_t, 8> {};
template <> struct WireSize<DataBlock> : std::integral_constant<std::size_t, 12> {};
template <> struct WireSize<DataBlockList> : std::integral_constant<std::size_t, 8> {};
template <> struct WireSize<TransferDataBlock> : std::integral_constant<std::size_t, 8> {};

template <class R> inline constexpr std::size_t kWireSize = WireSize<R>::value;

// Encoders write every scalar field; decoders fail on a size other than the record's and leave
// every pointer field null.
template <class R> QByteArray EncodeRecord(const R& record);
template <class R> bool DecodeRecord(const QByteArray& bytes, R* record);

// A packed array of records, as lists travel.
template <class R> QByteArray EncodeRecords(const R* records, std::size_t count) {
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(count * kWireSize<R>));
    for (std::size_t i = 0; i < count; ++i) {
        bytes += EncodeRecord(records[i]);
    }
    return bytes;
}

// Fails unless bytes holds exactly count records.
template <class R> bool DecodeRecords(const QByteArray& bytes, std::size_t count, R* records) {
    if (static_cast<std::size_t>(bytes.size()) != count * kWireSize<R>) {
        return false;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const auto offset = static_cast<qsizetype>(i * kWireSize<R>);
        if (!DecodeRecord(bytes.mid(offset, static_cast<qsizetype>(kWireSize<R>)), &records[i])) {
            return false;
        }
    }
    return true;
}

// A list of count records as it arrives from the bus. The size is checked before the list is
// sized, so a count that the bytes do not back never becomes an allocation.
template <class R>
bool DecodeRecordList(const QByteArray& bytes, std::int32_t count, std::vector<R>* records) {
    if (count < 0 ||
        static_cast<std::size_t>(bytes.size()) != static_cast<std::size_t>(count) * kWireSize<R>) {
        return false;
    }
    records->resize(static_cast<std::size_t>(count));
    return DecodeRecords(bytes, records->size(), records->data());
}
