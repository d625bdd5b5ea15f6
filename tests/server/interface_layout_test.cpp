#include "instrument_server.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// The vtable index of a member function pointer, as the Itanium C++ ABI encodes it: the
// pointer's first word is 1 + the byte offset of the slot.
template <class F> std::size_t SlotOf(F member) {
    static_assert(sizeof(F) == 2 * sizeof(std::uintptr_t));
    std::uintptr_t words[2];
    std::memcpy(words, &member, sizeof(words));
    EXPECT_EQ(words[0] & 1U, 1U) << "not a virtual function";
    return (words[0] - 1) / sizeof(void*);
}

TEST(InterfaceLayout, EveryNamedOperationSitsAtItsSlot) {
    struct Expected {
        std::size_t slot;
        std::size_t actual;
    };
#define S(slot, name)                                                                              \
    Expected {                                                                                     \
        slot, SlotOf(&IInstrumentServer::name)                                                     \
    }
    const Expected table[] = {
        S(0, QueryInterface),
        S(1, AddRef),
        S(2, Release),
        S(3, GetTypeInfoCount),
        S(6, Invoke),
        S(7, InitializeInstrument),
        S(8, GetInstrumentConfiguration),
        S(9, SetSeparationMethod),
        S(10, GetSeparationMethod),
        S(11, GoToInitialConditions),
        S(12, SetPlateConfiguration),
        S(13, PerformInjection),
        S(14, PerformTrigger),
        S(15, WetPrimeSystem),
        S(16, ChangeFlow),
        S(17, ConditionColumn),
        S(18, Equilibrate),
        S(19, HoldAndResumeFlow),
        S(20, ReadStatus),
        S(22, ReadAllErrors),
        S(23, LaunchDiagnostics),
        S(24, ReadAllData),
        S(25, ExchangeSamplePlate),
        S(26, MoveLift),
        S(28, PositionSamplePlate),
        S(29, SelectPlateRow),
        S(30, SelectPlateColumn),
        S(31, SendAutoSamplerCommand),
        S(32, MoveSampleSyringe),
        S(33, WashSampleSyringe),
        S(34, MoveSyringeValve),
        S(35, StartSilk),
        S(36, GetSyringeUsage),
        S(37, GetAutoSamplerUsage),
        S(38, StepPlateFeeder),
        S(42, EnableSyringeData),
        S(43, GetSilkWriteToDisk),
        S(44, SetSilkWriteToDisk),
        S(45, ReadSyringeData),
        S(46, UploadSilkData),
        S(47, DownloadSilkData),
        S(48, ResetSilk),
        S(49, SetInstrumentConfiguration),
        S(50, OpenConnection),
        S(51, GetVersions),
        S(56, ReadEventIO),
        S(57, ResetUsage),
        S(58, DownloadSoftware),
        S(60, PrepareSoftwareUpgrade),
        S(61, IsInstrumentReady),
        S(62, GetDownloadProgress),
        S(63, ReadAutoSamplerSensors),
        S(64, DryPrimeSystem),
        S(65, SetAutoSamplerMonitor),
        S(68, StopDryPrime),
        S(69, SelectSolvent),
        S(70, MoveSampleSyringeValve),
        S(71, MoveLeftUnit),
        S(72, MoveRightUnit),
        S(73, MoveCenterUnit),
        S(74, LiftCenterUnit),
        S(75, SetAirCompressor),
        S(76, MoveNeedleUnit),
        S(77, MoveSampleNeedle),
        S(78, SetPlateType),
    };
#undef S
    for (const Expected& entry : table) {
        EXPECT_EQ(entry.actual, entry.slot);
    }
}

TEST(InterfaceLayout, ReservedSlotsKeepTheirPlaces) {
    EXPECT_EQ(SlotOf(&IInstrumentServer::Reserved21), 21U);
    EXPECT_EQ(SlotOf(&IInstrumentServer::Reserved27), 27U);
    EXPECT_EQ(SlotOf(&IInstrumentServer::Reserved41), 41U);
    EXPECT_EQ(SlotOf(&IInstrumentServer::Reserved55), 55U);
    EXPECT_EQ(SlotOf(&IInstrumentServer::Reserved59), 59U);
    EXPECT_EQ(SlotOf(&IInstrumentServer::Reserved67), 67U);
}

TEST(InterfaceLayout, TheInterfaceHoldsOnlyItsTablePointer) {
    EXPECT_EQ(sizeof(IInstrumentServer), sizeof(void*));
}

} // namespace
