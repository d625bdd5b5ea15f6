#include "record_codec.h"

#include <QtEndian>
#include <gtest/gtest.h>

#include <bit>

namespace {

std::uint32_t WordAt(const QByteArray& bytes, int offset) {
    return qFromLittleEndian<std::uint32_t>(bytes.constData() + offset);
}

float FloatAt(const QByteArray& bytes, int offset) {
    return std::bit_cast<float>(WordAt(bytes, offset));
}

TEST(RecordCodec, InstrumentStatusFieldsLieAtTheirOffsets) {
    InstrumentStatus status{};
    status.nState = 3;
    status.pszStatusMessage = const_cast<char*>("not on the wire");
    status.bErrorsPending = 1;
    status.reserved12 = {12, 16, 20, 24};
    status.nInjectValve = 2;
    status.nReservoir = 3;
    status.nStreamValve = 1;
    status.reserved40 = 40;
    status.nVentValve = 7;
    status.fFlowRate = 4.5F;
    status.fPercentA = 52.5F;
    status.fPercentB = 56.5F;
    status.fPercentC = 60.5F;
    status.reserved64 = {64, 68, 72, 76};
    status.fPressure = 1234.4F;
    status.fAuxFlowRate = 84.5F;
    status.fAuxPressure = 88.5F;
    status.fColumnTempSet = 92.5F;
    status.fColumnTempActual = 96.5F;
    status.fSampleTempSet = 100.5F;
    status.fSampleTempActual = 104.5F;

    const QByteArray wire = EncodeRecord(status);
    ASSERT_EQ(wire.size(), 108);
    EXPECT_EQ(WordAt(wire, 0), 3U);
    EXPECT_EQ(WordAt(wire, 4), 0U) << "pointers travel as zero";
    EXPECT_EQ(WordAt(wire, 8), 1U);
    for (int offset : {12, 16, 20, 24, 40, 64, 68, 72, 76}) {
        EXPECT_EQ(WordAt(wire, offset), static_cast<std::uint32_t>(offset));
    }
    EXPECT_EQ(WordAt(wire, 28), 2U);
    EXPECT_EQ(WordAt(wire, 32), 3U);
    EXPECT_EQ(WordAt(wire, 36), 1U);
    EXPECT_EQ(WordAt(wire, 44), 7U);
    EXPECT_EQ(FloatAt(wire, 48), 4.5F);
    for (int offset : {52, 56, 60, 84, 88, 92, 96, 100, 104}) {
        EXPECT_EQ(FloatAt(wire, offset), static_cast<float>(offset) + 0.5F) << offset;
    }
    EXPECT_EQ(FloatAt(wire, 80), 1234.4F);

    InstrumentStatus back{};
    ASSERT_TRUE(DecodeRecord(wire, &back));
    EXPECT_EQ(back.pszStatusMessage, nullptr);
    EXPECT_EQ(back.nVentValve, 7);
    EXPECT_EQ(back.fSampleTempActual, 104.5F);
    EXPECT_EQ(back.reserved64, status.reserved64);
}

TEST(RecordCodec, InstrumentConfigurationFieldsLieAtTheirOffsets) {
    InstrumentConfiguration config{99.0F, 25, 999.0F, nullptr, 16.5F, 1, 1, 0, 1, 1, 40, 44};
    const QByteArray wire = EncodeRecord(config);
    ASSERT_EQ(wire.size(), 48);
    EXPECT_EQ(FloatAt(wire, 0), 99.0F);
    EXPECT_EQ(WordAt(wire, 4), 25U);
    EXPECT_EQ(FloatAt(wire, 8), 999.0F);
    EXPECT_EQ(WordAt(wire, 12), 0U);
    EXPECT_EQ(FloatAt(wire, 16), 16.5F);
    EXPECT_EQ(WordAt(wire, 20), 1U);
    EXPECT_EQ(WordAt(wire, 24), 1U);
    EXPECT_EQ(WordAt(wire, 28), 0U);
    EXPECT_EQ(WordAt(wire, 32), 1U);
    EXPECT_EQ(WordAt(wire, 36), 1U);
    EXPECT_EQ(WordAt(wire, 40), 40U);
    EXPECT_EQ(WordAt(wire, 44), 44U);
}

TEST(RecordCodec, SeparationMethodPinsItsNamedFields) {
    SeparationMethod method{};
    method.f4 = 9.9F;
    method.nList1Count = 0;
    method.fSampleTempSetPoint = 35.0F;
    method.fColumnTempSetPoint = 36.0F;
    method.nStepCount = 3;
    method.f180 = 2.0F;
    method.u200 = 0xDEADBEEF;
    const QByteArray wire = EncodeRecord(method);
    ASSERT_EQ(wire.size(), 204);
    EXPECT_EQ(FloatAt(wire, 4), 9.9F);
    EXPECT_EQ(FloatAt(wire, 80), 35.0F);
    EXPECT_EQ(FloatAt(wire, 128), 36.0F);
    EXPECT_EQ(WordAt(wire, 172), 3U);
    EXPECT_EQ(FloatAt(wire, 180), 2.0F);
    EXPECT_EQ(WordAt(wire, 200), 0xDEADBEEFU);
    for (int pointer : {0, 28, 48, 52, 56, 76, 136, 176}) {
        EXPECT_EQ(WordAt(wire, pointer), 0U) << pointer;
    }
}

TEST(RecordCodec, SmallRecordsPinTheirOffsets) {
    const QByteArray spec = EncodeRecord(InjectionSpec{1, 1.5F, nullptr, 9});
    ASSERT_EQ(spec.size(), 16);
    EXPECT_EQ(WordAt(spec, 0), 1U);
    EXPECT_EQ(FloatAt(spec, 4), 1.5F);
    EXPECT_EQ(WordAt(spec, 12), 9U);

    const QByteArray entry = EncodeRecord(InjectionSpecEntry{0.2F, nullptr});
    ASSERT_EQ(entry.size(), 8);
    EXPECT_EQ(FloatAt(entry, 0), 0.2F);

    const QByteArray block = EncodeRecord(DataBlock{5, 10, nullptr});
    ASSERT_EQ(block.size(), 12);
    EXPECT_EQ(WordAt(block, 0), 5U);
    EXPECT_EQ(WordAt(block, 4), 10U);

    const QByteArray list = EncodeRecord(DataBlockList{2, nullptr});
    ASSERT_EQ(list.size(), 8);
    EXPECT_EQ(WordAt(list, 0), 2U);

    const QByteArray transfer = EncodeRecord(TransferDataBlock{84, nullptr});
    ASSERT_EQ(transfer.size(), 8);
    EXPECT_EQ(WordAt(transfer, 0), 84U);

    PlateConfiguration plate{12, 8, 9.0F, 9.0F, 8.0F, 8.0F, {}, 1, 15.0F, 1.0F, 2.1F};
    const QByteArray plateWire = EncodeRecord(plate);
    ASSERT_EQ(plateWire.size(), 56);
    EXPECT_EQ(WordAt(plateWire, 0), 12U);
    EXPECT_EQ(WordAt(plateWire, 4), 8U);
    EXPECT_EQ(WordAt(plateWire, 40), 1U);
    EXPECT_EQ(FloatAt(plateWire, 52), 2.1F);

    SyringeDataRecord syringes{};
    syringes.anPressure[5] = -3;
    syringes.anState[0] = 9;
    syringes.anValveState[1] = 3;
    syringes.anPosition[5] = 123456;
    const QByteArray syringeWire = EncodeRecord(syringes);
    ASSERT_EQ(syringeWire.size(), 84);
    EXPECT_EQ(qFromLittleEndian<std::int16_t>(syringeWire.constData() + 34), -3);
    EXPECT_EQ(qFromLittleEndian<std::int16_t>(syringeWire.constData() + 36), 9);
    EXPECT_EQ(qFromLittleEndian<std::int16_t>(syringeWire.constData() + 50), 3);
    EXPECT_EQ(WordAt(syringeWire, 80), 123456U);

    AutoSamplerSensorRecord sensors{};
    sensors.anSensor[18] = -1;
    const QByteArray sensorWire = EncodeRecord(sensors);
    ASSERT_EQ(sensorWire.size(), 76);
    EXPECT_EQ(WordAt(sensorWire, 72), 0xFFFFFFFFU);
}

TEST(RecordCodec, DecodingRefusesAWrongSize) {
    InstrumentStatus status{};
    EXPECT_FALSE(DecodeRecord(QByteArray(107, '\0'), &status));
    EXPECT_FALSE(DecodeRecord(QByteArray(112, '\0'), &status));
    EXPECT_FALSE(DecodeRecord(QByteArray(), &status));
    SyringeDataRecord syringes{};
    EXPECT_FALSE(DecodeRecord(QByteArray(83, '\0'), &syringes));
    std::vector<SeparationMethodStep> steps(3);
    EXPECT_FALSE(DecodeRecords(QByteArray(47, '\0'), steps.size(), steps.data()));
    EXPECT_TRUE(DecodeRecords(QByteArray(48, '\0'), steps.size(), steps.data()));
}

TEST(RecordCodec, AListCountTheBytesDoNotBackIsRefusedWithoutSizingTheList) {
    std::vector<PlateConfiguration> plates;
    EXPECT_FALSE(DecodeRecordList(QByteArray(), 2147483647, &plates));
    EXPECT_TRUE(plates.empty());
    EXPECT_FALSE(DecodeRecordList(QByteArray(), -1, &plates));
    EXPECT_FALSE(DecodeRecordList(QByteArray(111, '\0'), 2, &plates));
    EXPECT_TRUE(DecodeRecordList(QByteArray(112, '\0'), 2, &plates));
    EXPECT_EQ(plates.size(), 2U);
    EXPECT_TRUE(DecodeRecordList(QByteArray(), 0, &plates));
    EXPECT_TRUE(plates.empty());
}

} // namespace
