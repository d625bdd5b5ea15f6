#include "instrument.h"

#include "sim_refusals.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

namespace {

constexpr std::int32_t kSyringeSizes[] = {25, 100, 250};

bool InRange(float value, float low, float high) {
    return std::isfinite(value) && value >= low && value <= high;
}

std::string PumpNames(std::int32_t mask) {
    std::string names;
    for (int pump = 0; pump < 3; ++pump) {
        if ((mask & (1 << pump)) != 0) {
            names += names.empty() ? "" : ", ";
            names += static_cast<char>('A' + pump);
        }
    }
    return names;
}

std::string Seconds(std::int64_t ms) {
    return std::to_string((ms + 999) / 1000) + " s";
}

} // namespace

CSimulatedInstrument::CSimulatedInstrument(CSimClock& clock, CNonVolatileMemory& memory,
                                           std::string silkFolder)
    : m_clock(clock), m_memory(memory), m_pumps(memory.State()), m_autoSampler(memory.State()),
      m_firmware(m_errors),
      m_silk(memory.State(), m_errors, std::move(silkFolder), [this] { CommitMemory(); }),
      m_lastMs(clock.NowMs()) {
    m_thermostat.SetSampleControlFitted(Nv().configuration.bSampleTemp);
    m_autoSampler.onSwitchVent = [this] { m_pumps.SwitchVent(); };
    m_autoSampler.onNextSolvent = [this] { m_pumps.NextSolvent(); };
    m_pumps.onSilkDone = [this](std::int32_t mask) { m_silk.OnMeasured(mask); };
    const SeparationMethod& method = m_method.Method();
    m_thermostat.SetColumnSetPoint(method.fColumnTempSetPoint);
    m_thermostat.SetSampleSetPoint(method.fSampleTempSetPoint);
}

CSimulatedInstrument::~CSimulatedInstrument() {
    Sync();
    CommitMemory();
}

void CSimulatedInstrument::CommitMemory(bool force) {
    m_lastCommitMs = m_clock.NowMs();
    if (auto failure = m_memory.Commit(force)) {
        m_errors.Raise("Non-volatile memory not saved: " + *failure);
    }
}

void CSimulatedInstrument::Tick() {
    Sync();
    // Counters change with every stroke and every hour: they are written now and then rather
    // than on every change.
    if (m_memory.Dirty() && m_clock.NowMs() - m_lastCommitMs >= kCounterCommitMs) {
        CommitMemory();
    }
}

void CSimulatedInstrument::Sync() {
    const std::int64_t now = m_clock.NowMs();
    while (m_lastMs < now) {
        const std::int64_t dt = std::min(kMaxStepMs, now - m_lastMs);
        Step(dt);
        m_lastMs += dt;
    }
}

void CSimulatedInstrument::Step(std::int64_t dtMs) {
    if (!m_powered) {
        return;
    }
    NvState& nv = Nv();
    nv.usage.powerOnMs += dtMs;
    if (m_bootMs > 0) {
        m_bootMs -= dtMs;
        return;
    }
    m_firmware.Advance(dtMs);
    m_thermostat.SetSampleControlFitted(nv.configuration.bSampleTemp);
    m_thermostat.Advance(dtMs);
    if (m_thermostat.Cooling()) {
        nv.usage.coolingOnMs += dtMs;
    }
    if (m_firmware.InLoader() || !m_firmware.Answering()) {
        return;
    }
    m_initializingMs = std::max<std::int64_t>(0, m_initializingMs - dtMs);
    m_diagnosticMs = std::max<std::int64_t>(0, m_diagnosticMs - dtMs);
    m_equilibrateMs = std::max<std::int64_t>(0, m_equilibrateMs - dtMs);
    m_pumps.SetStopFlow(m_autoSampler.StopFlowInput());
    m_pumps.Advance(dtMs);
    m_autoSampler.Advance(dtMs);
    m_detector.Advance(dtMs);
    const bool vent = m_pumps.VentOpen();
    if (vent != m_lastVentOpen) {
        ++nv.usage.ventValve;
        m_lastVentOpen = vent;
    }
    const CAutoSampler::Stage stage = m_autoSampler.CurrentStage();
    if (stage == CAutoSampler::Stage::RunningInject && m_lastStage != stage) {
        m_detector.MarkInjection();
    }
    m_lastStage = stage;
}

bool CSimulatedInstrument::Answering() const {
    return m_powered && m_bootMs <= 0 && m_firmware.Answering();
}

HRESULT CSimulatedInstrument::RequireIdle() const {
    if (!Answering() || m_firmware.InLoader()) {
        return kHrInstrumentNotReady;
    }
    return StateCode() == 3 ? S_OK : kHrInstrumentBusy;
}

void CSimulatedInstrument::Initialize() {
    m_errors.Clear();
    m_pumps.Abort();
    m_autoSampler.Abort();
    m_diagnosticMs = 0;
    if (!m_firmware.InLoader()) {
        m_initializingMs = kInitializingMs;
    }
}

HRESULT CSimulatedInstrument::LaunchDiagnostics() {
    if (const HRESULT hr = RequireIdle(); FAILED(hr)) {
        return hr;
    }
    m_diagnosticMs = kDiagnosticMs;
    return S_OK;
}

void CSimulatedInstrument::RaiseError(std::string text) {
    m_errors.Raise(std::move(text));
    m_pumps.Abort();
    m_autoSampler.Abort();
    m_diagnosticMs = 0;
}

void CSimulatedInstrument::PowerOff() {
    if (!m_powered) {
        return;
    }
    Sync();
    m_powered = false;
    m_pumps.PowerDown();
    m_autoSampler.PowerDown();
    m_detector.Clear();
    m_firmware.PowerCycle();
    m_initializingMs = 0;
    m_diagnosticMs = 0;
    m_equilibrateMs = 0;
}

void CSimulatedInstrument::PowerOn() {
    if (m_powered) {
        return;
    }
    Sync();
    m_powered = true;
    Boot();
}

void CSimulatedInstrument::Boot() {
    m_bootMs = kBootMs;
    m_thermostat.ColdStart();
    m_initializingMs = kInitializingMs;
}

std::int32_t CSimulatedInstrument::StateCode() const {
    if (m_firmware.InLoader() || !Answering()) {
        return 1;
    }
    if (m_initializingMs > 0) {
        return 2;
    }
    if (m_errors.Pending()) {
        return 10;
    }
    if (m_diagnosticMs > 0) {
        return 9;
    }
    switch (m_pumps.CurrentProcedure()) {
    case CPumps::Procedure::WetPrime:
        return 7;
    case CPumps::Procedure::DryPrime:
        return 8;
    case CPumps::Procedure::Silk:
        return 11;
    case CPumps::Procedure::None:
        break;
    }
    switch (m_autoSampler.CurrentStage()) {
    case CAutoSampler::Stage::PrepareInject:
        return 4;
    case CAutoSampler::Stage::InjectReady:
        return 5;
    case CAutoSampler::Stage::RunningInject:
        return 6;
    case CAutoSampler::Stage::None:
        break;
    }
    return 3;
}

std::string CSimulatedInstrument::StatusMessage() const {
    if (!m_powered) {
        return "Instrument switched off";
    }
    if (m_bootMs > 0) {
        return "Starting up";
    }
    if (m_firmware.InLoader() || !m_firmware.Answering()) {
        return m_firmware.StatusText();
    }
    switch (StateCode()) {
    case 2:
        return "Initializing: homing valves and syringes";
    case 10:
        return "Error: " + m_errors.Texts().front();
    case 9:
        return "Running self tests, " + Seconds(m_diagnosticMs) + " left";
    case 7:
        return "Wet priming pump(s) " + PumpNames(m_pumps.ProcedureMask()) + ", " +
               Seconds(m_pumps.ProcedureRemainingMs()) + " left";
    case 8:
        return "Dry priming, " + Seconds(m_pumps.ProcedureRemainingMs()) + " left";
    case 11:
        return "Silk calibration running, " + Seconds(m_pumps.ProcedureRemainingMs()) + " left";
    case 4:
        return "Preparing injection";
    case 5:
        return "Ready to inject: waiting for the trigger";
    case 6:
        return "Injection running, " +
               Seconds(CAutoSampler::kRunMs - m_autoSampler.StageElapsedMs()) + " left";
    default:
        break;
    }
    if (m_pumps.Held()) {
        return "Flow on hold";
    }
    if (m_equilibrateMs > 0) {
        return "Equilibrating at initial conditions, " + Seconds(m_equilibrateMs) + " left";
    }
    if (m_autoSampler.StopFlowInput()) {
        return "Flow stopped by the stop flow input";
    }
    return m_pumps.FlowRate() > 0.0F ? "Ready: delivering flow" : "Ready";
}

InstrumentStatus CSimulatedInstrument::Status() {
    InstrumentStatus status{};
    status.nState = StateCode();
    status.bErrorsPending = m_errors.Pending() ? 1 : 0;
    status.nInjectValve = m_autoSampler.InjectValve();
    status.nReservoir = m_pumps.Reservoir();
    status.nStreamValve = m_autoSampler.StreamValve();
    status.nVentValve = m_pumps.VentOpen() ? 1 : 0;
    status.fFlowRate = m_pumps.FlowRate();
    status.fPercentA = m_pumps.PercentA();
    status.fPercentB = m_pumps.PercentB();
    status.fPercentC = m_pumps.PercentC();
    status.fPressure = m_pumps.Pressure();
    status.fAuxFlowRate = m_pumps.AuxFlowRate();
    status.fAuxPressure = m_pumps.AuxPressure();
    status.fColumnTempSet = m_thermostat.ColumnSetPoint();
    status.fColumnTempActual = m_thermostat.ColumnActual();
    status.fSampleTempSet = m_thermostat.SampleSetPoint();
    status.fSampleTempActual = m_thermostat.SampleActual();
    return status;
}

HRESULT CSimulatedInstrument::Configure(const StoredConfiguration& wanted) {
    if (std::find(std::begin(kSyringeSizes), std::end(kSyringeSizes), wanted.nSyringeSize) ==
        std::end(kSyringeSizes)) {
        // The pumps cannot run a syringe they do not know: the status view shows why nothing
        // changed.
        m_errors.Raise("Configuration refused: unknown syringe size " +
                       std::to_string(wanted.nSyringeSize) + " uL");
        return E_INVALIDARG;
    }
    if (!InRange(wanted.fSampleLoopVolume, 0.01F, 1000.0F) ||
        !InRange(wanted.fNeedleVolume, 0.0F, 200.0F)) {
        return E_INVALIDARG;
    }
    Nv().configuration = wanted;
    CommitMemory();
    return S_OK;
}

HRESULT CSimulatedInstrument::SetMethod(const SeparationMethod& method) {
    if (!InRange(method.fColumnTempSetPoint, CThermostat::kMinColumnC, CThermostat::kMaxColumnC) ||
        !InRange(method.fSampleTempSetPoint, CThermostat::kMinSampleC, CThermostat::kMaxSampleC) ||
        method.nStepCount < 0 || method.nList1Count < 0 || method.nList2Count < 0) {
        return E_INVALIDARG;
    }
    m_method.Store(method);
    m_thermostat.SetColumnSetPoint(method.fColumnTempSetPoint);
    m_thermostat.SetSampleSetPoint(method.fSampleTempSetPoint);
    return S_OK;
}

HRESULT CSimulatedInstrument::GoToInitialConditions() {
    // The method's initial conditions: flow (offset 4) and percent B (offset 32), and its
    // temperatures.
    const SeparationMethod& method = m_method.Method();
    const float percentB = std::clamp(method.f32, 0.0F, 100.0F);
    const float third = Nv().configuration.bTernaryGradient ? 0.0F : m_pumps.AuxFlowRate();
    m_thermostat.SetColumnSetPoint(method.fColumnTempSetPoint);
    m_thermostat.SetSampleSetPoint(method.fSampleTempSetPoint);
    return m_pumps.ChangeFlow(method.f4, 100.0F - percentB, percentB, third);
}

HRESULT CSimulatedInstrument::ConditionColumn(float celsius, bool on) {
    const float target = on ? celsius : m_method.Method().fColumnTempSetPoint;
    return m_thermostat.SetColumnSetPoint(target) ? S_OK : E_INVALIDARG;
}

HRESULT CSimulatedInstrument::Equilibrate(float minutes) {
    if (!InRange(minutes, 0.0F, 600.0F)) {
        return E_INVALIDARG;
    }
    const HRESULT hr = GoToInitialConditions();
    if (SUCCEEDED(hr)) {
        m_equilibrateMs = static_cast<std::int64_t>(std::lround(minutes * 60'000.0F));
    }
    return hr;
}

void CSimulatedInstrument::ResetUsage(const UsageReset& which) {
    UsageCounters& usage = Nv().usage;
    for (auto [clear, counter] : {std::pair{which.injectorValve, &usage.injectorValve},
                                  std::pair{which.ventValve, &usage.ventValve},
                                  std::pair{which.streamSelect, &usage.streamSelect},
                                  std::pair{which.sampleSyringeValve, &usage.sampleSyringeValve},
                                  std::pair{which.sampleSyringe, &usage.sampleSyringe},
                                  std::pair{which.powerOn, &usage.powerOnMs},
                                  std::pair{which.coolingOn, &usage.coolingOnMs}}) {
        if (clear) {
            *counter = 0;
        }
    }
    for (std::size_t pair = 0; pair < which.syringePairs.size(); ++pair) {
        if (which.syringePairs[pair]) {
            for (std::size_t syringe = 2 * pair; syringe < 2 * pair + 2; ++syringe) {
                usage.syringeValve[syringe] = 0;
                usage.pistonStrokes[syringe] = 0;
            }
        }
    }
    CommitMemory();
}

std::string CSimulatedInstrument::Describe() {
    Sync();
    const InstrumentStatus status = Status();
    const NvState& nv = Nv();
    std::ostringstream out;
    out << "clock: " << (m_clock.GetMode() == CSimClock::Mode::Manual ? "manual" : "real") << ", "
        << m_clock.NowMs() << " ms\n"
        << "power: " << (m_powered ? "on" : "off")
        << ", answering: " << (Answering() ? "yes" : "no") << "\n"
        << "state: " << status.nState << " (" << StatusMessage() << ")\n"
        << "flow: " << status.fFlowRate << " uL/min, A " << status.fPercentA << " %, B "
        << status.fPercentB << " %, C " << status.fPercentC << " %, aux " << status.fAuxFlowRate
        << " uL/min\n"
        << "pressure: " << status.fPressure << " PSI, aux " << status.fAuxPressure << " PSI\n"
        << "column: " << status.fColumnTempActual << " C (set " << status.fColumnTempSet
        << "), sample: " << status.fSampleTempActual << " C (set " << status.fSampleTempSet << ")\n"
        << "valves: inject " << status.nInjectValve << ", stream " << status.nStreamValve
        << ", vent " << status.nVentValve << ", reservoir A" << status.nReservoir << "\n"
        << "firmware: " << m_firmware.StatusText() << ", " << m_firmware.LinesSent()
        << " lines sent at " << m_firmware.LinesPerSecond() << " lines/s\n"
        << "serial: " << nv.configuration.serialNumber << ", syringe "
        << nv.configuration.nSyringeSize << " uL, pump C "
        << (nv.configuration.bPumpCInstalled
                ? (nv.configuration.bTernaryGradient ? "ternary" : "post-column")
                : "none")
        << "\n"
        << "syringe data: " << (m_syringeDataEnabled ? "enabled" : "not enabled") << "\n"
        << m_autoSampler.DescribeMechanics() << "\n"
        << "usage: power on " << nv.usage.powerOnMs / kMsPerHour << " h, injector valve "
        << nv.usage.injectorValve << ", vent valve " << nv.usage.ventValve << "\n"
        << "state file: " << (m_memory.Path().empty() ? "(none)" : m_memory.Path()) << "\n"
        << "last Silk file: " << (m_silk.LastFile().empty() ? "(none)" : m_silk.LastFile()) << "\n";
    for (const std::string& error : m_errors.Texts()) {
        out << "error: " << error << "\n";
    }
    return out.str();
}
