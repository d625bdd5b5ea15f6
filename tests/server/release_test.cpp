#include "record_memory.h"
#include "task_allocator.h"

#include <gtest/gtest.h>

namespace {

TEST(Release, StatusWithAndWithoutMessage) {
    const auto before = CoTaskMemLiveBlocks();
    InstrumentStatus withMessage{};
    withMessage.pszStatusMessage = TaskAllocText("Idle");
    ReleaseInstrumentStatus(TaskAllocRecord(withMessage));
    ReleaseInstrumentStatus(TaskAllocRecord(InstrumentStatus{}));
    ReleaseInstrumentStatus(nullptr);
    EXPECT_EQ(CoTaskMemLiveBlocks(), before);
}

TEST(Release, ConfigurationWithNullSerialNumber) {
    const auto before = CoTaskMemLiveBlocks();
    ReleaseInstrumentConfiguration(TaskAllocRecord(InstrumentConfiguration{}));
    InstrumentConfiguration named{};
    named.pszSerialNumber = TaskAllocText("SN-1");
    ReleaseInstrumentConfiguration(TaskAllocRecord(named));
    ReleaseInstrumentConfiguration(nullptr);
    EXPECT_EQ(CoTaskMemLiveBlocks(), before);
}

TEST(Release, SeparationMethodFreesEveryInnerBlockIncludingAnEmptyCountedList) {
    const auto before = CoTaskMemLiveBlocks();
    SeparationMethod method{};
    method.pszMethodName = TaskAllocText("Method");
    method.pszSolventB = TaskAllocText("B");
    const SeparationMethodEntry entry{};
    // A list pointer with a zero count would leak if the count alone decided.
    method.pList2 = TaskAllocRecord(entry);
    const SeparationMethodStep steps[3]{};
    method.nStepCount = 3;
    method.pSteps = TaskAllocRecords(steps, 3);
    ReleaseSeparationMethod(TaskAllocRecord(method));
    EXPECT_EQ(CoTaskMemLiveBlocks(), before);
}

TEST(Release, DataBlockListAndTransferBlock) {
    const auto before = CoTaskMemLiveBlocks();
    const std::int32_t values[3] = {1, 2, 3};
    DataBlock blocks[2] = {{0, 3, TaskAllocRecords(values, 3)}, {0, 0, nullptr}};
    ReleaseDataBlockList(TaskAllocRecord(DataBlockList{2, TaskAllocRecords(blocks, 2)}));
    ReleaseDataBlockList(TaskAllocRecord(DataBlockList{0, nullptr}));
    const std::uint8_t data[84]{};
    ReleaseTransferBlock(TaskAllocRecord(TransferDataBlock{84, TaskAllocRecords(data, 84)}));
    ReleaseTransferBlock(TaskAllocRecord(TransferDataBlock{0, nullptr}));
    EXPECT_EQ(CoTaskMemLiveBlocks(), before);
}

} // namespace
