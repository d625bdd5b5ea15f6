#pragma once

#include "bstr.h"
#include "records.h"
#include "unknown.h"

#include <cstdint>

// The instrument server's operations in slot order, from slot 7 on (0-2 IUnknown, 3-6 IDispatch).
// OP(name, parameter list, argument names) for a named operation; RESERVED(slot) for a slot that
// carries an operation the client never calls, kept so that every later operation stays at its
// slot. The declaration, the bus proxy, the bus stub and the test fake are all built from this
// one list.
#define ORVIX_INSTRUMENT_OPERATIONS(OP, RESERVED)                                                  \
    /*  7 */ OP(InitializeInstrument, (std::int32_t nArg1, std::int32_t nArg2), (nArg1, nArg2))    \
    /*  8 */ OP(GetInstrumentConfiguration, (InstrumentConfiguration * *ppConfiguration),          \
                (ppConfiguration))                                                                 \
    /*  9 */ OP(SetSeparationMethod, (const SeparationMethod* pMethod), (pMethod))                 \
    /* 10 */ OP(GetSeparationMethod, (SeparationMethod * *ppMethod), (ppMethod))                   \
    /* 11 */ OP(GoToInitialConditions, (), ())                                                     \
    /* 12 */ OP(SetPlateConfiguration, (std::int32_t nPlates, const PlateConfiguration* pPlates),  \
                (nPlates, pPlates))                                                                \
    /* 13 */ OP(PerformInjection,                                                                  \
                (std::int32_t nArg, const InjectionSpec* pFirst, const InjectionSpec* pSecond),    \
                (nArg, pFirst, pSecond))                                                           \
    /* 14 */ OP(PerformTrigger, (), ())                                                            \
    /* 15 */ OP(WetPrimeSystem, (std::int32_t nVolumes, std::int32_t nPumpMask),                   \
                (nVolumes, nPumpMask))                                                             \
    /* 16 */ OP(ChangeFlow, (float fFlow, float fPercentA, float fPercentB, float fThird),         \
                (fFlow, fPercentA, fPercentB, fThird))                                             \
    /* 17 */ OP(ConditionColumn, (float fValue, std::int32_t nArg), (fValue, nArg))                \
    /* 18 */ OP(Equilibrate, (float fValue), (fValue))                                             \
    /* 19 */ OP(HoldAndResumeFlow, (std::int32_t nArg), (nArg))                                    \
    /* 20 */ OP(ReadStatus, (InstrumentStatus * *ppStatus), (ppStatus))                            \
    /* 21 */ RESERVED(21)                                                                          \
    /* 22 */ OP(ReadAllErrors, (std::int32_t nArg, std::int32_t * pnErrors, ErrorList * *ppList),  \
                (nArg, pnErrors, ppList))                                                          \
    /* 23 */ OP(LaunchDiagnostics, (), ())                                                         \
    /* 24 */ OP(ReadAllData, (DataBlockList * *ppList), (ppList))                                  \
    /* 25 */ OP(ExchangeSamplePlate, (), ())                                                       \
    /* 26 */ OP(MoveLift, (std::int32_t nArg), (nArg))                                             \
    /* 27 */ RESERVED(27)                                                                          \
    /* 28 */ OP(PositionSamplePlate, (std::int32_t nExchange), (nExchange))                        \
    /* 29 */ OP(SelectPlateRow, (std::int32_t nRow), (nRow))                                       \
    /* 30 */ OP(SelectPlateColumn, (std::int32_t nColumn), (nColumn))                              \
    /* 31 */ OP(SendAutoSamplerCommand, (BSTR bstrCommand, std::int32_t * pnReply),                \
                (bstrCommand, pnReply))                                                            \
    /* 32 */ OP(MoveSampleSyringe, (std::int32_t nFill), (nFill))                                  \
    /* 33 */ OP(WashSampleSyringe, (), ())                                                         \
    /* 34 */ OP(MoveSyringeValve,                                                                  \
                (std::int32_t nValve, std::int32_t nPosition, std::int32_t * pnReply),             \
                (nValve, nPosition, pnReply))                                                      \
    /* 35 */ OP(StartSilk, (std::int32_t nPumpMask), (nPumpMask))                                  \
    /* 36 */ OP(GetSyringeUsage,                                                                   \
                (std::int32_t nCount1, std::uint16_t * pUsage1, std::int32_t nCount2,              \
                 std::uint16_t * pUsage2),                                                         \
                (nCount1, pUsage1, nCount2, pUsage2))                                              \
    /* 37 */ OP(GetAutoSamplerUsage,                                                               \
                (std::int32_t * pn1, std::int32_t * pn2, std::int32_t * pn3, std::int32_t * pn4,   \
                 std::int32_t * pn5, std::int32_t * pn6, std::int32_t * pn7),                      \
                (pn1, pn2, pn3, pn4, pn5, pn6, pn7))                                               \
    /* 38 */ OP(StepPlateFeeder, (std::int32_t nFeeder, std::int32_t nNext), (nFeeder, nNext))     \
    /* 39 */ RESERVED(39)                                                                          \
    /* 40 */ RESERVED(40)                                                                          \
    /* 41 */ RESERVED(41)                                                                          \
    /* 42 */ OP(EnableSyringeData, (std::int32_t nEnable), (nEnable))                              \
    /* 43 */ OP(GetSilkWriteToDisk, (std::int32_t * pnSwitch), (pnSwitch))                         \
    /* 44 */ OP(SetSilkWriteToDisk, (std::int32_t nSwitch), (nSwitch))                             \
    /* 45 */ OP(ReadSyringeData,                                                                   \
                (std::int32_t nRecordCode, std::int32_t nArg2, std::int32_t nArg3,                 \
                 const TransferDataBlock* pIn, TransferDataBlock** ppOut),                         \
                (nRecordCode, nArg2, nArg3, pIn, ppOut))                                           \
    /* 46 */ OP(UploadSilkData, (), ())                                                            \
    /* 47 */ OP(DownloadSilkData, (const char* pszPath), (pszPath))                                \
    /* 48 */ OP(ResetSilk, (), ())                                                                 \
    /* 49 */ OP(SetInstrumentConfiguration, (const InstrumentConfiguration* pConfiguration),       \
                (pConfiguration))                                                                  \
    /* 50 */ OP(OpenConnection, (std::int32_t nArg1, std::int32_t nArg2), (nArg1, nArg2))          \
    /* 51 */ OP(GetVersions, (float* pfAutoSampler, BSTR* pbstrPump, BSTR* pbstrClient),           \
                (pfAutoSampler, pbstrPump, pbstrClient))                                           \
    /* 52 */ RESERVED(52)                                                                          \
    /* 53 */ RESERVED(53)                                                                          \
    /* 54 */ RESERVED(54)                                                                          \
    /* 55 */ RESERVED(55)                                                                          \
    /* 56 */ OP(ReadEventIO,                                                                       \
                (std::int32_t * pnManualInject, std::int32_t * pnStopFlow,                         \
                 std::int32_t * pnEvent1, std::int32_t * pnEvent2, std::int32_t * pnInjectEvent,   \
                 std::int32_t * pnSwitch1, std::int32_t * pnSwitch2, std::int32_t * pnDiverter),   \
                (pnManualInject, pnStopFlow, pnEvent1, pnEvent2, pnInjectEvent, pnSwitch1,         \
                 pnSwitch2, pnDiverter))                                                           \
    /* 57 */ OP(ResetUsage,                                                                        \
                (std::int32_t n1, std::int32_t n2, std::int32_t n3, std::int32_t n4,               \
                 std::int32_t n5, std::int32_t n6, std::int32_t n7, std::int32_t n8,               \
                 std::int32_t n9, std::int32_t n10),                                               \
                (n1, n2, n3, n4, n5, n6, n7, n8, n9, n10))                                         \
    /* 58 */ OP(DownloadSoftware, (const char* pszPath), (pszPath))                                \
    /* 59 */ RESERVED(59)                                                                          \
    /* 60 */ OP(PrepareSoftwareUpgrade, (), ())                                                    \
    /* 61 */ OP(IsInstrumentReady, (), ())                                                         \
    /* 62 */ OP(GetDownloadProgress, (std::int32_t * pnLines), (pnLines))                          \
    /* 63 */ OP(ReadAutoSamplerSensors, (AutoSamplerSensorRecord * *ppSensors), (ppSensors))       \
    /* 64 */ OP(DryPrimeSystem, (std::int32_t nPumpMask, std::int32_t nCycles),                    \
                (nPumpMask, nCycles))                                                              \
    /* 65 */ OP(SetAutoSamplerMonitor, (std::int32_t nMonitor), (nMonitor))                        \
    /* 66 */ RESERVED(66)                                                                          \
    /* 67 */ RESERVED(67)                                                                          \
    /* 68 */ OP(StopDryPrime, (), ())                                                              \
    /* 69 */ OP(SelectSolvent, (std::int32_t nReservoir), (nReservoir))                            \
    /* 70 */ OP(MoveSampleSyringeValve, (std::int32_t nPosition), (nPosition))                     \
    /* 71 */ OP(MoveLeftUnit, (std::int32_t nNext), (nNext))                                       \
    /* 72 */ OP(MoveRightUnit, (std::int32_t nNext), (nNext))                                      \
    /* 73 */ OP(MoveCenterUnit, (std::int32_t nPosition), (nPosition))                             \
    /* 74 */ OP(LiftCenterUnit, (std::int32_t nDown), (nDown))                                     \
    /* 75 */ OP(SetAirCompressor, (std::int32_t nOn), (nOn))                                       \
    /* 76 */ OP(MoveNeedleUnit, (std::int32_t nDown), (nDown))                                     \
    /* 77 */ OP(MoveSampleNeedle, (std::int32_t nDown), (nDown))                                   \
    /* 78 */ OP(SetPlateType, (std::int32_t nPlateCode), (nPlateCode))

// The constant pair that OpenConnection and InitializeInstrument always take.
constexpr std::int32_t kConnectArg1 = 4;
constexpr std::int32_t kConnectArg2 = 1;

// The instrument server's dual interface. Exactly the COM layout: no destructor, no data.
// NOLINTBEGIN(cppcoreguidelines-virtual-class-destructor)
struct IInstrumentServer : IDispatch {
#define ORVIX_DECLARE_OPERATION(name, params, args) virtual HRESULT name params = 0;
#define ORVIX_DECLARE_RESERVED(slot) virtual HRESULT Reserved##slot() = 0;
    ORVIX_INSTRUMENT_OPERATIONS(ORVIX_DECLARE_OPERATION, ORVIX_DECLARE_RESERVED)
#undef ORVIX_DECLARE_OPERATION
#undef ORVIX_DECLARE_RESERVED
};
// NOLINTEND(cppcoreguidelines-virtual-class-destructor)

// The one connection to the instrument server, set at start-up and released at shutdown.
extern IInstrumentServer* g_pServer;
