#pragma once

// The instrument server's contract: one row per slot, from slot 7 on (0-2 IUnknown, 3-6
// IDispatch), in slot order. The interface declaration, the bus proxy and stub, the committed
// introspection, the forwarding servers, the service history, the reconnect replay and the
// simulator's gate all follow from this table; adding an operation is adding its row.
//
// OP(slot, name, kind, access, C++ parameters, argument names, bus arguments):
// - kind: Read (asks and changes nothing), Action (has the instrument do something; the service
//   history words it) or Session (changes what the server keeps for this client, so a new server
//   process is told again after a reconnect);
// - access: what the instrument must be running to answer: nothing (Server), its loader as
//   well as its firmware (Loader), or its firmware only (Firmware);
// - bus arguments: each parameter's name on the bus and whether it travels In with the call or
//   Out with the reply (after the result code). A record goes as several arguments, named
//   after this one.
// RESERVED(slot) is a slot with an operation the client never calls, kept so that every later
// operation stays at its slot.

#include "bstr.h"
#include "records.h"

#include <cstdint>

enum class OperationKind { Read, Action, Session, Reserved };
enum class OperationAccess { Server, Loader, Firmware };
enum class ArgDirection { In, Out };

struct BusArg {
    const char* name;
    ArgDirection direction;
};

// NOLINTBEGIN(readability-identifier-naming): the table reads as the bus describes it.
constexpr BusArg In(const char* name) {
    return {name, ArgDirection::In};
}
constexpr BusArg Out(const char* name) {
    return {name, ArgDirection::Out};
}
// NOLINTEND(readability-identifier-naming)

#define ORVIX_INSTRUMENT_OPERATIONS(OP, RESERVED)                                                  \
    OP(7, InitializeInstrument, Action, Loader, (std::int32_t nArg1, std::int32_t nArg2),          \
       (nArg1, nArg2), (In("arg1"), In("arg2")))                                                   \
    OP(8, GetInstrumentConfiguration, Read, Firmware,                                              \
       (InstrumentConfiguration * *ppConfiguration), (ppConfiguration), (Out("configuration")))    \
    OP(9, SetSeparationMethod, Action, Firmware, (const SeparationMethod* pMethod), (pMethod),     \
       (In("method")))                                                                             \
    OP(10, GetSeparationMethod, Read, Firmware, (SeparationMethod * *ppMethod), (ppMethod),        \
       (Out("method")))                                                                            \
    OP(11, GoToInitialConditions, Action, Firmware, (), (), ())                                    \
    OP(12, SetPlateConfiguration, Action, Firmware,                                                \
       (std::int32_t nPlates, const PlateConfiguration* pPlates), (nPlates, pPlates),              \
       (In("count"), In("plates")))                                                                \
    OP(13, PerformInjection, Action, Firmware,                                                     \
       (std::int32_t nArg, const InjectionSpec* pFirst, const InjectionSpec* pSecond),             \
       (nArg, pFirst, pSecond), (In("arg"), In("first"), In("second")))                            \
    OP(14, PerformTrigger, Action, Firmware, (), (), ())                                           \
    OP(15, WetPrimeSystem, Action, Firmware, (std::int32_t nVolumes, std::int32_t nPumpMask),      \
       (nVolumes, nPumpMask), (In("volumes"), In("pumpMask")))                                     \
    OP(16, ChangeFlow, Action, Firmware,                                                           \
       (float fFlow, float fPercentA, float fPercentB, float fThird),                              \
       (fFlow, fPercentA, fPercentB, fThird),                                                      \
       (In("flow"), In("percentA"), In("percentB"), In("third")))                                  \
    OP(17, ConditionColumn, Action, Firmware, (float fValue, std::int32_t nArg), (fValue, nArg),   \
       (In("value"), In("arg")))                                                                   \
    OP(18, Equilibrate, Action, Firmware, (float fValue), (fValue), (In("value")))                 \
    OP(19, HoldAndResumeFlow, Action, Firmware, (std::int32_t nArg), (nArg), (In("arg")))          \
    OP(20, ReadStatus, Read, Loader, (InstrumentStatus * *ppStatus), (ppStatus), (Out("status")))  \
    RESERVED(21)                                                                                   \
    OP(22, ReadAllErrors, Read, Loader,                                                            \
       (std::int32_t nArg, std::int32_t * pnErrors, ErrorList * *ppList),                          \
       (nArg, pnErrors, ppList), (In("arg"), Out("errors"), Out("list")))                          \
    OP(23, LaunchDiagnostics, Action, Firmware, (), (), ())                                        \
    OP(24, ReadAllData, Read, Firmware, (DataBlockList * *ppList), (ppList), (Out("list")))        \
    OP(25, ExchangeSamplePlate, Action, Firmware, (), (), ())                                      \
    OP(26, MoveLift, Action, Firmware, (std::int32_t nArg), (nArg), (In("arg")))                   \
    RESERVED(27)                                                                                   \
    OP(28, PositionSamplePlate, Action, Firmware, (std::int32_t nExchange), (nExchange),           \
       (In("exchange")))                                                                           \
    OP(29, SelectPlateRow, Action, Firmware, (std::int32_t nRow), (nRow), (In("row")))             \
    OP(30, SelectPlateColumn, Action, Firmware, (std::int32_t nColumn), (nColumn), (In("column"))) \
    OP(31, SendAutoSamplerCommand, Action, Firmware, (BSTR bstrCommand, std::int32_t * pnReply),   \
       (bstrCommand, pnReply), (In("command"), Out("reply")))                                      \
    OP(32, MoveSampleSyringe, Action, Firmware, (std::int32_t nFill), (nFill), (In("fill")))       \
    OP(33, WashSampleSyringe, Action, Firmware, (), (), ())                                        \
    OP(34, MoveSyringeValve, Action, Firmware,                                                     \
       (std::int32_t nValve, std::int32_t nPosition, std::int32_t * pnReply),                      \
       (nValve, nPosition, pnReply), (In("valve"), In("position"), Out("reply")))                  \
    OP(35, StartSilk, Action, Firmware, (std::int32_t nPumpMask), (nPumpMask), (In("pumpMask")))   \
    OP(36, GetSyringeUsage, Read, Firmware,                                                        \
       (std::int32_t nCount1, std::uint16_t * pUsage1, std::int32_t nCount2,                       \
        std::uint16_t * pUsage2),                                                                  \
       (nCount1, pUsage1, nCount2, pUsage2),                                                       \
       (In("count1"), Out("usage1"), In("count2"), Out("usage2")))                                 \
    OP(37, GetAutoSamplerUsage, Read, Firmware,                                                    \
       (std::int32_t * pnInjectorValve, std::int32_t * pnVentValve, std::int32_t * pnStreamSelect, \
        std::int32_t * pnSyringeValve, std::int32_t * pnSyringeStrokes,                            \
        std::int32_t * pnPowerOnHours, std::int32_t * pnCoolingOnHours),                           \
       (pnInjectorValve, pnVentValve, pnStreamSelect, pnSyringeValve, pnSyringeStrokes,            \
        pnPowerOnHours, pnCoolingOnHours),                                                         \
       (Out("injectorValve"), Out("ventValve"), Out("streamSelect"), Out("syringeValve"),          \
        Out("syringeStrokes"), Out("powerOnHours"), Out("coolingOnHours")))                        \
    OP(38, StepPlateFeeder, Action, Firmware, (std::int32_t nFeeder, std::int32_t nNext),          \
       (nFeeder, nNext), (In("feeder"), In("next")))                                               \
    RESERVED(39)                                                                                   \
    RESERVED(40)                                                                                   \
    RESERVED(41)                                                                                   \
    OP(42, EnableSyringeData, Session, Firmware, (std::int32_t nEnable), (nEnable),                \
       (In("enable")))                                                                             \
    OP(43, GetSilkWriteToDisk, Read, Server, (std::int32_t * pnSwitch), (pnSwitch),                \
       (Out("switch")))                                                                            \
    OP(44, SetSilkWriteToDisk, Action, Server, (std::int32_t nSwitch), (nSwitch), (In("switch")))  \
    OP(45, ReadSyringeData, Read, Firmware,                                                        \
       (std::int32_t nRecordCode, std::int32_t nArg2, std::int32_t nArg3,                          \
        const TransferDataBlock* pIn, TransferDataBlock** ppOut),                                  \
       (nRecordCode, nArg2, nArg3, pIn, ppOut),                                                    \
       (In("recordCode"), In("arg2"), In("arg3"), In("in_data"), Out("out_data")))                 \
    OP(46, UploadSilkData, Action, Firmware, (), (), ())                                           \
    OP(47, DownloadSilkData, Action, Firmware, (const char* pszPath), (pszPath), (In("path")))     \
    OP(48, ResetSilk, Action, Firmware, (), (), ())                                                \
    OP(49, SetInstrumentConfiguration, Action, Firmware,                                           \
       (const InstrumentConfiguration* pConfiguration), (pConfiguration), (In("configuration")))   \
    OP(50, OpenConnection, Session, Loader, (std::int32_t nArg1, std::int32_t nArg2),              \
       (nArg1, nArg2), (In("arg1"), In("arg2")))                                                   \
    OP(51, GetVersions, Read, Loader, (float* pfAutoSampler, BSTR* pbstrPump, BSTR* pbstrClient),  \
       (pfAutoSampler, pbstrPump, pbstrClient), (Out("autoSampler"), Out("pump"), Out("client")))  \
    RESERVED(52)                                                                                   \
    RESERVED(53)                                                                                   \
    RESERVED(54)                                                                                   \
    RESERVED(55)                                                                                   \
    OP(56, ReadEventIO, Read, Firmware,                                                            \
       (std::int32_t * pnManualInject, std::int32_t * pnStopFlow, std::int32_t * pnEvent1,         \
        std::int32_t * pnEvent2, std::int32_t * pnInjectEvent, std::int32_t * pnSwitch1,           \
        std::int32_t * pnSwitch2, std::int32_t * pnDiverter),                                      \
       (pnManualInject, pnStopFlow, pnEvent1, pnEvent2, pnInjectEvent, pnSwitch1, pnSwitch2,       \
        pnDiverter),                                                                               \
       (Out("manualInject"), Out("stopFlow"), Out("event1"), Out("event2"), Out("injectEvent"),    \
        Out("switch1"), Out("switch2"), Out("diverter")))                                          \
    OP(57, ResetUsage, Action, Firmware,                                                           \
       (std::int32_t nInjectorValve, std::int32_t nVentValve, std::int32_t nStreamSelect,          \
        std::int32_t nSyringeValve, std::int32_t nSyringe, std::int32_t nPowerOnTime,              \
        std::int32_t nCoolingOnTime, std::int32_t nSyringes12, std::int32_t nSyringes34,           \
        std::int32_t nSyringes56),                                                                 \
       (nInjectorValve, nVentValve, nStreamSelect, nSyringeValve, nSyringe, nPowerOnTime,          \
        nCoolingOnTime, nSyringes12, nSyringes34, nSyringes56),                                    \
       (In("injectorValve"), In("ventValve"), In("streamSelect"), In("syringeValve"),              \
        In("syringe"), In("powerOnTime"), In("coolingOnTime"), In("syringes12"), In("syringes34"), \
        In("syringes56")))                                                                         \
    OP(58, DownloadSoftware, Action, Loader, (const char* pszPath), (pszPath), (In("path")))       \
    RESERVED(59)                                                                                   \
    OP(60, PrepareSoftwareUpgrade, Action, Loader, (), (), ())                                     \
    OP(61, IsInstrumentReady, Read, Server, (), (), ())                                            \
    OP(62, GetDownloadProgress, Read, Server, (std::int32_t * pnLines), (pnLines), (Out("lines"))) \
    OP(63, ReadAutoSamplerSensors, Read, Firmware, (AutoSamplerSensorRecord * *ppSensors),         \
       (ppSensors), (Out("sensors")))                                                              \
    OP(64, DryPrimeSystem, Action, Firmware, (std::int32_t nPumpMask, std::int32_t nCycles),       \
       (nPumpMask, nCycles), (In("pumpMask"), In("cycles")))                                       \
    OP(65, SetAutoSamplerMonitor, Session, Firmware, (std::int32_t nMonitor), (nMonitor),          \
       (In("monitor")))                                                                            \
    RESERVED(66)                                                                                   \
    RESERVED(67)                                                                                   \
    OP(68, StopDryPrime, Action, Firmware, (), (), ())                                             \
    OP(69, SelectSolvent, Action, Firmware, (std::int32_t nReservoir), (nReservoir),               \
       (In("reservoir")))                                                                          \
    OP(70, MoveSampleSyringeValve, Action, Firmware, (std::int32_t nPosition), (nPosition),        \
       (In("position")))                                                                           \
    OP(71, MoveLeftUnit, Action, Firmware, (std::int32_t nNext), (nNext), (In("next")))            \
    OP(72, MoveRightUnit, Action, Firmware, (std::int32_t nNext), (nNext), (In("next")))           \
    OP(73, MoveCenterUnit, Action, Firmware, (std::int32_t nPosition), (nPosition),                \
       (In("position")))                                                                           \
    OP(74, LiftCenterUnit, Action, Firmware, (std::int32_t nDown), (nDown), (In("down")))          \
    OP(75, SetAirCompressor, Action, Firmware, (std::int32_t nOn), (nOn), (In("on")))              \
    OP(76, MoveNeedleUnit, Action, Firmware, (std::int32_t nDown), (nDown), (In("down")))          \
    OP(77, MoveSampleNeedle, Action, Firmware, (std::int32_t nDown), (nDown), (In("down")))        \
    OP(78, SetPlateType, Action, Firmware, (std::int32_t nPlateCode), (nPlateCode),                \
       (In("plateCode")))

// Strips the parentheses of a table column.
#define ORVIX_EXPAND(...) __VA_ARGS__
// The same, after a comma when the column is not empty.
#define ORVIX_AFTER_COMMA(...) __VA_OPT__(, ) __VA_ARGS__
