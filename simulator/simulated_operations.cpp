#include "simulated_operations.h"

#include "record_memory.h"
#include "silk_file.h"
#include "sim_results.h"

#include <QDir>

#include <algorithm>
#include <cmath>
#include <sstream>

#ifndef ORVIX_VERSION_TEXT
#define ORVIX_VERSION_TEXT "1.0.0"
#endif

namespace {

constexpr std::int32_t kSyringeSizes[] = {25, 100, 250};
constexpr std::int64_t kMsPerHour = 3'600'000;

std::int32_t Saturated16(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, 0, 65'535));
}

std::int32_t Clamped32(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, 0, INT32_MAX));
}

bool InRange(float value, float low, float high) {
    return std::isfinite(value) && value >= low && value <= high;
}

// Serial numbers are one line of printable text; anything else is replaced.
std::string PrintableLine(const char* psz) {
    std::string text(psz);
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            c = ' ';
        }
    }
    return text;
}

template <class... P> bool AllSet(P*... pointers) {
    return ((pointers != nullptr) && ...);
}

} // namespace

CSimulatedOperations* CSimulatedOperations::Create(CSimClock& clock, CNonVolatileMemory& memory,
                                                   std::string silkFolder) {
    return new CSimulatedOperations(clock, memory, std::move(silkFolder));
}

CSimulatedOperations::CSimulatedOperations(CSimClock& clock, CNonVolatileMemory& memory,
                                           std::string silkFolder)
    : m_memory(memory), m_instrument(clock, memory), m_silkFolder(std::move(silkFolder)) {
    m_instrument.Pumps().onSilkDone = [this](std::int32_t mask) { OnSilkDone(mask); };
    const SeparationMethod& method = m_instrument.Method().Method();
    m_instrument.Thermostat().SetColumnSetPoint(method.fColumnTempSetPoint);
    m_instrument.Thermostat().SetSampleSetPoint(method.fSampleTempSetPoint);
}

CSimulatedOperations::~CSimulatedOperations() {
    m_instrument.Sync();
    CommitMemory();
}

void CSimulatedOperations::CommitMemory(bool force) {
    m_lastCommitMs = m_instrument.Clock().NowMs();
    if (auto failure = m_memory.Commit(force)) {
        m_instrument.Errors().Raise("Non-volatile memory not saved: " + *failure);
    }
}

void CSimulatedOperations::Tick() {
    m_instrument.Sync();
    // Counters change with every stroke and every hour: they are written now and then rather
    // than on every change.
    if (m_memory.Dirty() && m_instrument.Clock().NowMs() - m_lastCommitMs >= kCounterCommitMs) {
        CommitMemory();
    }
}

// ---- instrument ----

HRESULT CSimulatedOperations::InitializeInstrument(std::int32_t, std::int32_t) {
    m_instrument.Initialize();
    return S_OK;
}

HRESULT CSimulatedOperations::OpenConnection(std::int32_t, std::int32_t) {
    m_instrument.Initialize();
    return S_OK;
}

HRESULT CSimulatedOperations::ReadStatus(InstrumentStatus** ppStatus) {
    if (ppStatus == nullptr) {
        return E_POINTER;
    }
    InstrumentStatus status = m_instrument.Status();
    status.pszStatusMessage = TaskAllocText(m_instrument.StatusMessage());
    *ppStatus = status.pszStatusMessage == nullptr ? nullptr : TaskAllocRecord(status);
    if (*ppStatus == nullptr) {
        CoTaskMemFree(status.pszStatusMessage);
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT CSimulatedOperations::ReadAllErrors(std::int32_t, std::int32_t* pnErrors,
                                            ErrorList** ppList) {
    if (!AllSet(pnErrors, ppList)) {
        return E_POINTER;
    }
    *ppList = m_instrument.Errors().HandOut();
    if (*ppList == nullptr) {
        return E_OUTOFMEMORY;
    }
    *pnErrors = static_cast<std::int32_t>(m_instrument.Errors().Texts().size());
    return S_OK;
}

HRESULT CSimulatedOperations::LaunchDiagnostics() {
    return m_instrument.LaunchDiagnostics();
}

HRESULT CSimulatedOperations::GetVersions(float* pfAutoSampler, BSTR* pbstrPump,
                                          BSTR* pbstrClient) {
    if (!AllSet(pfAutoSampler, pbstrPump, pbstrClient)) {
        return E_POINTER;
    }
    BSTR pump = BstrFromUtf8(m_instrument.Firmware().PumpVersion());
    BSTR client = BstrFromUtf8(ORVIX_VERSION_TEXT);
    if (pump == nullptr || client == nullptr) {
        SysFreeString(pump);
        SysFreeString(client);
        return E_OUTOFMEMORY;
    }
    *pfAutoSampler = m_instrument.Firmware().AutoSamplerVersion();
    *pbstrPump = pump;
    *pbstrClient = client;
    return S_OK;
}

// ---- configuration ----

HRESULT
CSimulatedOperations::GetInstrumentConfiguration(InstrumentConfiguration** ppConfiguration) {
    if (ppConfiguration == nullptr) {
        return E_POINTER;
    }
    const StoredConfiguration& c = m_instrument.Nv().configuration;
    InstrumentConfiguration record{c.fSampleLoopVolume,
                                   c.nSyringeSize,
                                   c.fReserved8,
                                   TaskAllocText(c.serialNumber),
                                   c.fNeedleVolume,
                                   c.bPumpCInstalled ? 1 : 0,
                                   c.bSampleTemp ? 1 : 0,
                                   c.bTernaryGradient ? 1 : 0,
                                   c.bManualInjectValve ? 1 : 0,
                                   c.bPlateFeeder ? 1 : 0,
                                   c.nReserved40,
                                   c.nReserved44};
    *ppConfiguration = record.pszSerialNumber == nullptr ? nullptr : TaskAllocRecord(record);
    if (*ppConfiguration == nullptr) {
        CoTaskMemFree(record.pszSerialNumber);
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT
CSimulatedOperations::SetInstrumentConfiguration(const InstrumentConfiguration* pConfiguration) {
    if (pConfiguration == nullptr) {
        return E_POINTER;
    }
    const InstrumentConfiguration& in = *pConfiguration;
    if (std::find(std::begin(kSyringeSizes), std::end(kSyringeSizes), in.nSyringeSize) ==
        std::end(kSyringeSizes)) {
        // The pumps cannot run a syringe they do not know: the status view shows why nothing
        // changed.
        m_instrument.Errors().Raise("Configuration refused: unknown syringe size " +
                                    std::to_string(in.nSyringeSize) + " uL");
        return E_INVALIDARG;
    }
    if (!InRange(in.fSampleLoopVolume, 0.01F, 1000.0F) ||
        !InRange(in.fNeedleVolume, 0.0F, 200.0F)) {
        return E_INVALIDARG;
    }
    StoredConfiguration& c = m_instrument.Nv().configuration;
    c.fSampleLoopVolume = in.fSampleLoopVolume;
    c.nSyringeSize = in.nSyringeSize;
    c.fReserved8 = in.fReserved8;
    // The serial number is the instrument's own: the client sends "None" and cannot change it.
    if (in.pszSerialNumber != nullptr && std::string_view(in.pszSerialNumber) != "None" &&
        *in.pszSerialNumber != '\0') {
        c.serialNumber = PrintableLine(in.pszSerialNumber);
    }
    c.fNeedleVolume = in.fNeedleVolume;
    c.bPumpCInstalled = in.bPumpCInstalled != 0;
    c.bSampleTemp = in.bSampleTemp != 0;
    c.bTernaryGradient = in.bTernaryGradient != 0;
    c.bManualInjectValve = in.bManualInjectValve != 0;
    c.bPlateFeeder = in.bPlateFeeder != 0;
    c.nReserved40 = in.nReserved40;
    c.nReserved44 = in.nReserved44;
    CommitMemory();
    return S_OK;
}

// ---- method, flow and thermostat ----

HRESULT CSimulatedOperations::SetSeparationMethod(const SeparationMethod* pMethod) {
    if (pMethod == nullptr) {
        return E_POINTER;
    }
    CThermostat& thermostat = m_instrument.Thermostat();
    if (!InRange(pMethod->fColumnTempSetPoint, CThermostat::kMinColumnC,
                 CThermostat::kMaxColumnC) ||
        !InRange(pMethod->fSampleTempSetPoint, CThermostat::kMinSampleC,
                 CThermostat::kMaxSampleC) ||
        pMethod->nStepCount < 0 || pMethod->nList1Count < 0 || pMethod->nList2Count < 0) {
        return E_INVALIDARG;
    }
    m_instrument.Method().Store(*pMethod);
    thermostat.SetColumnSetPoint(pMethod->fColumnTempSetPoint);
    thermostat.SetSampleSetPoint(pMethod->fSampleTempSetPoint);
    return S_OK;
}

HRESULT CSimulatedOperations::GetSeparationMethod(SeparationMethod** ppMethod) {
    if (ppMethod == nullptr) {
        return E_POINTER;
    }
    *ppMethod = m_instrument.Method().TaskAllocCopy();
    return *ppMethod == nullptr ? E_OUTOFMEMORY : S_OK;
}

HRESULT CSimulatedOperations::GoToInitialConditions() {
    // The method's initial conditions: flow (offset 4) and percent B (offset 32), and its
    // temperatures.
    const SeparationMethod& method = m_instrument.Method().Method();
    CPumps& pumps = m_instrument.Pumps();
    const float percentB = std::clamp(method.f32, 0.0F, 100.0F);
    const float third =
        m_instrument.Nv().configuration.bTernaryGradient ? 0.0F : pumps.AuxFlowRate();
    m_instrument.Thermostat().SetColumnSetPoint(method.fColumnTempSetPoint);
    m_instrument.Thermostat().SetSampleSetPoint(method.fSampleTempSetPoint);
    return pumps.ChangeFlow(method.f4, 100.0F - percentB, percentB, third);
}

HRESULT CSimulatedOperations::ChangeFlow(float fFlow, float fPercentA, float fPercentB,
                                         float fThird) {
    return m_instrument.Pumps().ChangeFlow(fFlow, fPercentA, fPercentB, fThird);
}

HRESULT CSimulatedOperations::ConditionColumn(float fValue, std::int32_t nArg) {
    CThermostat& thermostat = m_instrument.Thermostat();
    // On: the column goes to the given temperature; off: back to the method's.
    const float target = nArg != 0 ? fValue : m_instrument.Method().Method().fColumnTempSetPoint;
    return thermostat.SetColumnSetPoint(target) ? S_OK : E_INVALIDARG;
}

HRESULT CSimulatedOperations::Equilibrate(float fValue) {
    // Minutes at the method's initial conditions.
    if (!InRange(fValue, 0.0F, 600.0F)) {
        return E_INVALIDARG;
    }
    const HRESULT hr = GoToInitialConditions();
    if (SUCCEEDED(hr)) {
        m_instrument.Equilibrate(static_cast<std::int64_t>(std::lround(fValue * 60'000.0F)));
    }
    return hr;
}

HRESULT CSimulatedOperations::HoldAndResumeFlow(std::int32_t nArg) {
    m_instrument.Pumps().SetHold(nArg != 0);
    return S_OK;
}

// ---- pumps ----

HRESULT CSimulatedOperations::WetPrimeSystem(std::int32_t nVolumes, std::int32_t nPumpMask) {
    if (const HRESULT hr = m_instrument.RequireIdle(); FAILED(hr)) {
        return hr;
    }
    return m_instrument.Pumps().StartWetPrime(nVolumes, nPumpMask);
}

HRESULT CSimulatedOperations::DryPrimeSystem(std::int32_t nPumpMask, std::int32_t nCycles) {
    if (const HRESULT hr = m_instrument.RequireIdle(); FAILED(hr)) {
        return hr;
    }
    return m_instrument.Pumps().StartDryPrime(nPumpMask, nCycles);
}

HRESULT CSimulatedOperations::StopDryPrime() {
    return m_instrument.Pumps().StopDryPrime();
}

HRESULT CSimulatedOperations::SelectSolvent(std::int32_t nReservoir) {
    return m_instrument.Pumps().SelectSolvent(nReservoir);
}

HRESULT CSimulatedOperations::MoveSyringeValve(std::int32_t nValve, std::int32_t nPosition,
                                               std::int32_t* pnReply) {
    if (pnReply == nullptr) {
        return E_POINTER;
    }
    const HRESULT hr = m_instrument.Pumps().MoveSyringeValve(nValve, nPosition);
    if (SUCCEEDED(hr)) {
        *pnReply = nValve;
    }
    return hr;
}

HRESULT CSimulatedOperations::EnableSyringeData(std::int32_t nEnable) {
    if (nEnable != 0 && nEnable != 1) {
        return E_INVALIDARG;
    }
    m_syringeDataEnabled = nEnable == 1;
    return S_OK;
}

HRESULT CSimulatedOperations::ReadSyringeData(std::int32_t nRecordCode, std::int32_t, std::int32_t,
                                              const TransferDataBlock*, TransferDataBlock** ppOut) {
    if (ppOut == nullptr) {
        return E_POINTER;
    }
    if (nRecordCode != kSyringeDataRecordCode) {
        return E_INVALIDARG;
    }
    if (!m_syringeDataEnabled) {
        return kHrSyringeDataNotEnabled;
    }
    const SyringeDataRecord record = m_instrument.Pumps().SyringeData();
    TransferDataBlock block{
        sizeof record,
        TaskAllocRecords(reinterpret_cast<const std::uint8_t*>(&record), sizeof record)};
    *ppOut = block.pData == nullptr ? nullptr : TaskAllocRecord(block);
    if (*ppOut == nullptr) {
        CoTaskMemFree(block.pData);
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT CSimulatedOperations::GetSyringeUsage(std::int32_t nCount1, std::uint16_t* pUsage1,
                                              std::int32_t nCount2, std::uint16_t* pUsage2) {
    if (nCount1 < 0 || nCount2 < 0 || nCount1 > kSyringeCount || nCount2 > kSyringeCount) {
        return E_INVALIDARG;
    }
    if ((nCount1 > 0 && pUsage1 == nullptr) || (nCount2 > 0 && pUsage2 == nullptr)) {
        return E_POINTER;
    }
    const UsageCounters& usage = m_instrument.Nv().usage;
    for (std::size_t i = 0; i < static_cast<std::size_t>(nCount1); ++i) {
        pUsage1[i] = static_cast<std::uint16_t>(Saturated16(usage.syringeValve[i]));
    }
    for (std::size_t i = 0; i < static_cast<std::size_t>(nCount2); ++i) {
        pUsage2[i] = static_cast<std::uint16_t>(Saturated16(usage.pistonStrokes[i]));
    }
    return S_OK;
}

HRESULT CSimulatedOperations::GetAutoSamplerUsage(std::int32_t* pn1, std::int32_t* pn2,
                                                  std::int32_t* pn3, std::int32_t* pn4,
                                                  std::int32_t* pn5, std::int32_t* pn6,
                                                  std::int32_t* pn7) {
    if (!AllSet(pn1, pn2, pn3, pn4, pn5, pn6, pn7)) {
        return E_POINTER;
    }
    const UsageCounters& usage = m_instrument.Nv().usage;
    *pn1 = Clamped32(usage.injectorValve);
    *pn2 = Clamped32(usage.ventValve);
    *pn3 = Clamped32(usage.streamSelect);
    *pn4 = Clamped32(usage.sampleSyringeValve);
    *pn5 = Clamped32(usage.sampleSyringe);
    *pn6 = Clamped32(usage.powerOnMs / kMsPerHour);
    *pn7 = Clamped32(usage.coolingOnMs / kMsPerHour);
    return S_OK;
}

HRESULT CSimulatedOperations::ResetUsage(std::int32_t n1, std::int32_t n2, std::int32_t n3,
                                         std::int32_t n4, std::int32_t n5, std::int32_t n6,
                                         std::int32_t n7, std::int32_t n8, std::int32_t n9,
                                         std::int32_t n10) {
    UsageCounters& usage = m_instrument.Nv().usage;
    for (auto [flag, counter] :
         {std::pair{n1, &usage.injectorValve}, std::pair{n2, &usage.ventValve},
          std::pair{n3, &usage.streamSelect}, std::pair{n4, &usage.sampleSyringeValve},
          std::pair{n5, &usage.sampleSyringe}, std::pair{n6, &usage.powerOnMs},
          std::pair{n7, &usage.coolingOnMs}}) {
        if (flag != 0) {
            *counter = 0;
        }
    }
    const std::int32_t pairs[] = {n8, n9, n10};
    for (std::size_t pair = 0; pair < 3; ++pair) {
        if (pairs[pair] != 0) {
            for (std::size_t syringe = 2 * pair; syringe < 2 * pair + 2; ++syringe) {
                usage.syringeValve[syringe] = 0;
                usage.pistonStrokes[syringe] = 0;
            }
        }
    }
    CommitMemory();
    return S_OK;
}

// ---- Silk ----

HRESULT CSimulatedOperations::StartSilk(std::int32_t nPumpMask) {
    if (const HRESULT hr = m_instrument.RequireIdle(); FAILED(hr)) {
        return hr;
    }
    return m_instrument.Pumps().StartSilk(nPumpMask);
}

void CSimulatedOperations::OnSilkDone(std::int32_t pumpMask) {
    SilkData& silk = m_instrument.Nv().silk;
    std::mt19937 spread(static_cast<unsigned>(m_instrument.Nv().usage.powerOnMs));
    std::normal_distribution<float> noise(0.0F, 1.0F);
    for (std::size_t syringe = 0; syringe < silk.size(); ++syringe) {
        if ((pumpMask & (1 << (syringe / 2))) == 0) {
            continue;
        }
        silk[syringe].nCompressionSteps = 800 + static_cast<std::int32_t>(syringe) * 6 +
                                          static_cast<std::int32_t>(noise(spread) * 4.0F);
        silk[syringe].fLeakRate = std::max(0.0F, 0.35F + 0.05F * noise(spread));
        silk[syringe].fCompliance = std::max(0.0F, 160.0F + 3.0F * noise(spread));
    }
    CommitMemory();
    if (m_instrument.Nv().bSilkWriteToDisk) {
        if (auto failure = UploadSilk()) {
            m_instrument.Errors().Raise("Silk data not written: " + *failure);
        }
    }
}

std::optional<std::string> CSimulatedOperations::UploadSilk() {
    if (m_silkFolder.empty() || !QDir().mkpath(QString::fromStdString(m_silkFolder))) {
        return "no folder for Silk files at " + m_silkFolder;
    }
    const std::string& serial = m_instrument.Nv().configuration.serialNumber;
    std::string path;
    for (int n = 1;; ++n) {
        path = m_silkFolder + "/silk-" + serial + "-" + std::to_string(n) + ".bin";
        if (!QFile::exists(QString::fromStdString(path))) {
            break;
        }
    }
    if (auto failure = WriteSilkFile(path, SilkFile{serial, m_instrument.Nv().silk})) {
        return failure;
    }
    m_lastSilkFile = path;
    return std::nullopt;
}

HRESULT CSimulatedOperations::UploadSilkData() {
    if (auto failure = UploadSilk()) {
        m_instrument.Errors().Raise("Silk data not written: " + *failure);
        return E_FAIL;
    }
    return S_OK;
}

HRESULT CSimulatedOperations::DownloadSilkData(const char* pszPath) {
    if (pszPath == nullptr) {
        return E_POINTER;
    }
    std::string fault;
    const std::optional<SilkFile> file = ReadSilkFile(pszPath, &fault);
    const std::string& serial = m_instrument.Nv().configuration.serialNumber;
    if (file && file->serialNumber != serial) {
        fault = "it belongs to instrument " + file->serialNumber + ", this is " + serial;
    }
    if (!file || !fault.empty()) {
        m_instrument.Errors().Raise("Silk file " + std::string(pszPath) + " refused: " + fault);
        return E_FAIL;
    }
    m_instrument.Nv().silk = file->data;
    CommitMemory();
    return S_OK;
}

HRESULT CSimulatedOperations::ResetSilk() {
    m_instrument.Nv().silk = SilkData{};
    CommitMemory();
    return S_OK;
}

HRESULT CSimulatedOperations::GetSilkWriteToDisk(std::int32_t* pnSwitch) {
    if (pnSwitch == nullptr) {
        return E_POINTER;
    }
    *pnSwitch = m_instrument.Nv().bSilkWriteToDisk ? 1 : 0;
    return S_OK;
}

HRESULT CSimulatedOperations::SetSilkWriteToDisk(std::int32_t nSwitch) {
    if (nSwitch != 0 && nSwitch != 1) {
        return E_INVALIDARG;
    }
    m_instrument.Nv().bSilkWriteToDisk = nSwitch == 1;
    CommitMemory();
    return S_OK;
}

// ---- autosampler ----

HRESULT CSimulatedOperations::SetPlateConfiguration(std::int32_t nPlates,
                                                    const PlateConfiguration* pPlates) {
    if (nPlates < 0 || (nPlates > 0 && pPlates == nullptr)) {
        return E_INVALIDARG;
    }
    for (std::int32_t i = 0; i < nPlates; ++i) {
        if (pPlates[i].nColumns < 1 || pPlates[i].nRows < 1) {
            return E_INVALIDARG;
        }
    }
    return S_OK;
}

HRESULT CSimulatedOperations::PerformInjection(std::int32_t, const InjectionSpec* pFirst,
                                               const InjectionSpec* pSecond) {
    if (!AllSet(pFirst, pSecond)) {
        return E_POINTER;
    }
    if (const HRESULT hr = m_instrument.RequireIdle(); FAILED(hr)) {
        return hr;
    }
    return m_instrument.AutoSampler().PerformInjection();
}

HRESULT CSimulatedOperations::PerformTrigger() {
    return m_instrument.AutoSampler().Trigger();
}

HRESULT CSimulatedOperations::ReadAllData(DataBlockList** ppList) {
    if (ppList == nullptr) {
        return E_POINTER;
    }
    const std::vector<std::int32_t> samples = m_instrument.Detector().TakeSamples();
    DataBlockList list{0, nullptr};
    if (!samples.empty()) {
        DataBlock block{1, static_cast<std::int32_t>(samples.size()),
                        TaskAllocRecords(samples.data(), samples.size())};
        list.pBlocks = block.pValues == nullptr ? nullptr : TaskAllocRecord(block);
        if (list.pBlocks == nullptr) {
            CoTaskMemFree(block.pValues);
            return E_OUTOFMEMORY;
        }
        list.nBlocks = 1;
    }
    *ppList = TaskAllocRecord(list);
    if (*ppList == nullptr) {
        if (list.pBlocks != nullptr) {
            CoTaskMemFree(list.pBlocks->pValues);
            CoTaskMemFree(list.pBlocks);
        }
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT CSimulatedOperations::ExchangeSamplePlate() {
    return m_instrument.AutoSampler().ExchangeSamplePlate();
}

HRESULT CSimulatedOperations::MoveLift(std::int32_t nArg) {
    return m_instrument.AutoSampler().MoveLift(nArg);
}

HRESULT CSimulatedOperations::PositionSamplePlate(std::int32_t nExchange) {
    return m_instrument.AutoSampler().PositionSamplePlate(nExchange);
}

HRESULT CSimulatedOperations::SelectPlateRow(std::int32_t nRow) {
    return m_instrument.AutoSampler().SelectPlateRow(nRow);
}

HRESULT CSimulatedOperations::SelectPlateColumn(std::int32_t nColumn) {
    return m_instrument.AutoSampler().SelectPlateColumn(nColumn);
}

HRESULT CSimulatedOperations::SendAutoSamplerCommand(BSTR bstrCommand, std::int32_t* pnReply) {
    return m_instrument.AutoSampler().SendCommand(BstrView(bstrCommand), pnReply);
}

HRESULT CSimulatedOperations::MoveSampleSyringe(std::int32_t nFill) {
    return m_instrument.AutoSampler().MoveSampleSyringe(nFill);
}

HRESULT CSimulatedOperations::WashSampleSyringe() {
    return m_instrument.AutoSampler().WashSampleSyringe();
}

HRESULT CSimulatedOperations::StepPlateFeeder(std::int32_t nFeeder, std::int32_t nNext) {
    return m_instrument.AutoSampler().StepPlateFeeder(nFeeder, nNext);
}

HRESULT CSimulatedOperations::ReadEventIO(std::int32_t* pnManualInject, std::int32_t* pnStopFlow,
                                          std::int32_t* pnEvent1, std::int32_t* pnEvent2,
                                          std::int32_t* pnInjectEvent, std::int32_t* pnSwitch1,
                                          std::int32_t* pnSwitch2, std::int32_t* pnDiverter) {
    std::int32_t* outs[] = {pnManualInject, pnStopFlow, pnEvent1,  pnEvent2,
                            pnInjectEvent,  pnSwitch1,  pnSwitch2, pnDiverter};
    if (std::find(std::begin(outs), std::end(outs), nullptr) != std::end(outs)) {
        return E_POINTER;
    }
    const std::array<std::int32_t, 8> lines = m_instrument.AutoSampler().EventLines();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        *outs[i] = lines[i];
    }
    return S_OK;
}

HRESULT CSimulatedOperations::ReadAutoSamplerSensors(AutoSamplerSensorRecord** ppSensors) {
    if (ppSensors == nullptr) {
        return E_POINTER;
    }
    const AutoSamplerSensorRecord record = m_instrument.AutoSampler().Sensors(
        m_instrument.Pumps().VentOpen(), m_instrument.Pumps().VentMoving());
    *ppSensors = TaskAllocRecord(record);
    return *ppSensors == nullptr ? E_OUTOFMEMORY : S_OK;
}

HRESULT CSimulatedOperations::SetAutoSamplerMonitor(std::int32_t nMonitor) {
    return m_instrument.AutoSampler().SetMonitor(nMonitor);
}

HRESULT CSimulatedOperations::MoveSampleSyringeValve(std::int32_t nPosition) {
    return m_instrument.AutoSampler().MoveSampleSyringeValve(nPosition);
}

HRESULT CSimulatedOperations::MoveLeftUnit(std::int32_t nNext) {
    return m_instrument.AutoSampler().MoveLeftUnit(nNext);
}

HRESULT CSimulatedOperations::MoveRightUnit(std::int32_t nNext) {
    return m_instrument.AutoSampler().MoveRightUnit(nNext);
}

HRESULT CSimulatedOperations::MoveCenterUnit(std::int32_t nPosition) {
    return m_instrument.AutoSampler().MoveCenterUnit(nPosition);
}

HRESULT CSimulatedOperations::LiftCenterUnit(std::int32_t nDown) {
    return m_instrument.AutoSampler().LiftCenterUnit(nDown);
}

HRESULT CSimulatedOperations::SetAirCompressor(std::int32_t nOn) {
    return m_instrument.AutoSampler().SetAirCompressor(nOn);
}

HRESULT CSimulatedOperations::MoveNeedleUnit(std::int32_t nDown) {
    return m_instrument.AutoSampler().MoveNeedleUnit(nDown);
}

HRESULT CSimulatedOperations::MoveSampleNeedle(std::int32_t nDown) {
    return m_instrument.AutoSampler().MoveSampleNeedle(nDown);
}

HRESULT CSimulatedOperations::SetPlateType(std::int32_t nPlateCode) {
    return m_instrument.AutoSampler().SetPlateType(nPlateCode);
}

// ---- firmware ----

HRESULT CSimulatedOperations::PrepareSoftwareUpgrade() {
    m_instrument.Pumps().PowerDown();
    m_instrument.AutoSampler().PowerDown();
    m_instrument.Firmware().PrepareUpgrade();
    return S_OK;
}

HRESULT CSimulatedOperations::DownloadSoftware(const char* pszPath) {
    if (pszPath == nullptr) {
        return E_POINTER;
    }
    return m_instrument.Firmware().Download(pszPath);
}

HRESULT CSimulatedOperations::IsInstrumentReady() {
    return m_instrument.Answering() ? S_OK : S_FALSE;
}

HRESULT CSimulatedOperations::GetDownloadProgress(std::int32_t* pnLines) {
    if (pnLines == nullptr) {
        return E_POINTER;
    }
    *pnLines = m_instrument.Firmware().LinesSent();
    return S_OK;
}

// ---- state ----

std::string CSimulatedOperations::DescribeState() {
    m_instrument.Sync();
    CSimulatedInstrument& in = m_instrument;
    const InstrumentStatus status = in.Status();
    const NvState& nv = in.Nv();
    std::ostringstream out;
    out << "clock: " << (in.Clock().GetMode() == CSimClock::Mode::Manual ? "manual" : "real")
        << ", " << in.Clock().NowMs() << " ms\n"
        << "power: " << (in.Powered() ? "on" : "off")
        << ", answering: " << (in.Answering() ? "yes" : "no") << "\n"
        << "state: " << status.nState << " (" << in.StatusMessage() << ")\n"
        << "flow: " << status.fFlowRate << " uL/min, A " << status.fPercentA << " %, B "
        << status.fPercentB << " %, C " << status.fPercentC << " %, aux " << status.fAuxFlowRate
        << " uL/min\n"
        << "pressure: " << status.fPressure << " PSI, aux " << status.fAuxPressure << " PSI\n"
        << "column: " << status.fColumnTempActual << " C (set " << status.fColumnTempSet
        << "), sample: " << status.fSampleTempActual << " C (set " << status.fSampleTempSet << ")\n"
        << "valves: inject " << status.nInjectValve << ", stream " << status.nStreamValve
        << ", vent " << status.nVentValve << ", reservoir A" << status.nReservoir << "\n"
        << "firmware: " << in.Firmware().StatusText() << ", " << in.Firmware().LinesSent()
        << " lines sent at " << in.Firmware().LinesPerSecond() << " lines/s\n"
        << "serial: " << nv.configuration.serialNumber << ", syringe "
        << nv.configuration.nSyringeSize << " uL, pump C "
        << (nv.configuration.bPumpCInstalled
                ? (nv.configuration.bTernaryGradient ? "ternary" : "post-column")
                : "none")
        << "\n"
        << "syringe data: " << (m_syringeDataEnabled ? "enabled" : "not enabled") << "\n"
        << in.AutoSampler().DescribeMechanics() << "\n"
        << "usage: power on " << nv.usage.powerOnMs / kMsPerHour << " h, injector valve "
        << nv.usage.injectorValve << ", vent valve " << nv.usage.ventValve << "\n"
        << "state file: " << (m_memory.Path().empty() ? "(none)" : m_memory.Path()) << "\n"
        << "last Silk file: " << (m_lastSilkFile.empty() ? "(none)" : m_lastSilkFile) << "\n";
    for (const std::string& error : in.Errors().Texts()) {
        out << "error: " << error << "\n";
    }
    return out.str();
}
