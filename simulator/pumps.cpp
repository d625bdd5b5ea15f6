#include "pumps.h"

#include "sim_refusals.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace {

constexpr int kPumpCount = 3;
constexpr int kPumpC = 2;
constexpr std::int32_t kAllPumps = 7;
constexpr std::int64_t kFillMs = 5'000;
constexpr std::int64_t kPreCompressMs = 1'000;
constexpr double kPressureTauMs = 1'500.0;
// PSI per uL/min of flow through the column, for a solvent of viscosity 1 cP.
constexpr double kColumnResistance = 180.0;
// PSI per uL/min through the post-column mixing tee.
constexpr double kTeeResistance = 12.0;
// Half-width of the composition tolerance: a gradient that sums to 99 or 101 percent is
// still delivered, anything further off is refused.
constexpr float kCompositionTolerance = 1.0F;
constexpr std::int32_t kMaxPrimeVolumes = 100;
constexpr std::int32_t kMaxDryCycles = 100;
constexpr int kSilkStages = 8;

bool Finite(float value) {
    return std::isfinite(value);
}

bool Percent(float value) {
    return Finite(value) && value >= 0.0F && value <= 100.0F;
}

bool FlowInRange(float value) {
    return Finite(value) && value >= 0.0F && value <= CPumps::kMaxFlow;
}

} // namespace

CPumps::CPumps(NvState& nv) : m_nv(nv) {
    // The valves are already in place at power-up: no motion and nothing counted.
    for (std::size_t i = 0; i < m_syringes.size(); i += 2) {
        m_syringes[i].valve = kValveDeliver;
        m_syringes[i].valveTarget = kValveDeliver;
    }
    ReadySyringes();
    // The instrument comes up at its standby conditions, with the pressure settled.
    m_pressure = TargetPressure();
}

bool CPumps::PumpFitted(int pump) const {
    return pump != kPumpC || m_nv.configuration.bPumpCInstalled;
}

bool CPumps::PumpInGradient(int pump) const {
    return pump != kPumpC ||
           (m_nv.configuration.bPumpCInstalled && m_nv.configuration.bTernaryGradient);
}

std::int32_t CPumps::FittedMask(std::int32_t pumpMask) const {
    return pumpMask & (m_nv.configuration.bPumpCInstalled ? kAllPumps : 3);
}

HRESULT CPumps::ChangeFlow(float flow, float percentA, float percentB, float third) {
    if (!FlowInRange(flow) || !Percent(percentA) || !Percent(percentB)) {
        return E_INVALIDARG;
    }
    const bool ternary = PumpInGradient(kPumpC);
    const bool postColumn = m_nv.configuration.bPumpCInstalled && !ternary;
    if (ternary && !Percent(third)) {
        return E_INVALIDARG;
    }
    if (postColumn && !FlowInRange(third)) {
        return E_INVALIDARG;
    }
    const float sum = percentA + percentB + (ternary ? third : 0.0F);
    if (std::fabs(sum - 100.0F) > kCompositionTolerance) {
        return E_INVALIDARG;
    }
    m_flow = flow;
    m_percentA = percentA;
    m_percentB = percentB;
    m_percentC = ternary ? third : 0.0F;
    m_auxFlow = postColumn ? third : 0.0F;
    return S_OK;
}

HRESULT CPumps::SelectSolvent(std::int32_t reservoir) {
    if (reservoir < 1 || reservoir > 3) {
        return E_INVALIDARG;
    }
    m_reservoir = reservoir;
    return S_OK;
}

void CPumps::NextSolvent() {
    m_reservoir = m_reservoir % 3 + 1;
}

HRESULT CPumps::MoveSyringeValve(std::int32_t valve, std::int32_t position) {
    if (valve < 1 || valve > kSyringeCount || !PumpFitted((valve - 1) / 2)) {
        return E_INVALIDARG;
    }
    static constexpr std::array<std::int16_t, 3> kStates{kValveFill, kValveDeadEnd, kValveDeliver};
    if (position < 1 || position > 3) {
        return E_INVALIDARG;
    }
    if (m_procedure != Procedure::None) {
        return kHrInstrumentBusy;
    }
    SetValve(valve - 1, kStates[static_cast<std::size_t>(position - 1)]);
    return S_OK;
}

// The valve reports its new position only once it is there; a switch while it moves sends it
// back.
void CPumps::SwitchVent() {
    m_ventTarget = !m_ventTarget;
    m_ventMotionMs = kValveMoveMs;
}

void CPumps::AdvanceVent(std::int64_t dtMs) {
    if (m_ventMotionMs > 0) {
        m_ventMotionMs -= dtMs;
        if (m_ventMotionMs <= 0) {
            m_ventMotionMs = 0;
            m_ventSwitched = m_ventTarget;
        }
    }
}

HRESULT CPumps::StartWetPrime(std::int32_t volumes, std::int32_t pumpMask) {
    const std::int32_t mask = FittedMask(pumpMask);
    if (volumes < 1 || volumes > kMaxPrimeVolumes || pumpMask < 0 || pumpMask > kAllPumps ||
        mask == 0) {
        return E_INVALIDARG;
    }
    if (m_procedure != Procedure::None) {
        return kHrInstrumentBusy;
    }
    m_primeVolumes = volumes;
    // The pumps prime one after another, each for the requested number of system volumes.
    StartProcedure(Procedure::WetPrime, mask,
                   kWetPrimeVolumeMs * volumes * std::popcount(static_cast<unsigned>(mask)));
    return S_OK;
}

HRESULT CPumps::StartDryPrime(std::int32_t pumpMask, std::int32_t cycles) {
    const std::int32_t mask = FittedMask(pumpMask);
    if (cycles < 1 || cycles > kMaxDryCycles || pumpMask < 0 || pumpMask > kAllPumps || mask == 0) {
        return E_INVALIDARG;
    }
    if (m_procedure != Procedure::None) {
        return kHrInstrumentBusy;
    }
    StartProcedure(Procedure::DryPrime, mask, kDryPrimeCycleMs * cycles);
    return S_OK;
}

HRESULT CPumps::StopDryPrime() {
    if (m_procedure != Procedure::DryPrime) {
        return S_FALSE;
    }
    EndProcedure();
    return S_OK;
}

HRESULT CPumps::StartSilk(std::int32_t pumpMask) {
    const std::int32_t mask = FittedMask(pumpMask);
    if (pumpMask < 0 || pumpMask > kAllPumps || mask == 0) {
        return E_INVALIDARG;
    }
    if (m_procedure != Procedure::None) {
        return kHrInstrumentBusy;
    }
    StartProcedure(Procedure::Silk, mask, kSilkStepMs * kSilkStages);
    return S_OK;
}

void CPumps::Abort() {
    if (m_procedure != Procedure::None) {
        EndProcedure();
    }
}

void CPumps::PowerDown() {
    m_procedure = Procedure::None;
    m_flow = 0.0F;
    m_auxFlow = 0.0F;
    m_hold = false;
    m_pressure = 0.0;
    m_auxPressure = 0.0;
    ReadySyringes();
}

void CPumps::StartProcedure(Procedure procedure, std::int32_t mask, std::int64_t durationMs) {
    m_procedure = procedure;
    m_procedureMask = mask;
    m_procedureMs = 0;
    m_procedureEndMs = durationMs;
}

void CPumps::EndProcedure() {
    const Procedure ended = m_procedure;
    const std::int32_t mask = m_procedureMask;
    const bool completed = m_procedureMs >= m_procedureEndMs;
    m_procedure = Procedure::None;
    m_procedureMask = 0;
    ReadySyringes();
    if (ended == Procedure::Silk && completed && onSilkDone) {
        onSilkDone(mask);
    }
}

void CPumps::ReadySyringes() {
    for (int pump = 0; pump < kPumpCount; ++pump) {
        Syringe& first = m_syringes[static_cast<std::size_t>(2 * pump)];
        Syringe& second = m_syringes[static_cast<std::size_t>(2 * pump + 1)];
        first.phase = Phase::Deliver;
        first.position = kStrokeSteps;
        first.phaseMs = 0;
        second.phase = Phase::Compress;
        second.position = kStrokeSteps;
        second.phaseMs = 0;
        SetValve(2 * pump, kValveDeliver);
        SetValve(2 * pump + 1, kValveDeadEnd);
    }
}

void CPumps::SetValve(int syringe, std::int16_t state) {
    Syringe& s = m_syringes[static_cast<std::size_t>(syringe)];
    if (s.valveTarget == state) {
        return;
    }
    s.valveTarget = state;
    s.valve = kValveInMotion;
    s.valveMotionMs = kValveMoveMs;
    ++m_nv.usage.syringeValve[static_cast<std::size_t>(syringe)];
}

void CPumps::CountStroke(int syringe) {
    ++m_nv.usage.pistonStrokes[static_cast<std::size_t>(syringe)];
}

double CPumps::PumpFlow(int pump) const {
    if (Stopped() || !PumpFitted(pump)) {
        return 0.0;
    }
    switch (pump) {
    case 0:
        return m_flow * m_percentA / 100.0;
    case 1:
        return m_flow * m_percentB / 100.0;
    default:
        return PumpInGradient(pump) ? m_flow * m_percentC / 100.0 : m_auxFlow;
    }
}

bool CPumps::Stopped() const {
    return m_hold || m_stopFlow || m_procedure != Procedure::None;
}

float CPumps::FlowRate() const {
    return Stopped() ? 0.0F : m_flow;
}

// The configuration may change under a running flow: a pump C that is no longer post-column
// delivers no auxiliary flow, one no longer in the gradient no share of it.
float CPumps::AuxFlowRate() const {
    const bool postColumn = PumpFitted(kPumpC) && !PumpInGradient(kPumpC);
    return Stopped() || !postColumn ? 0.0F : m_auxFlow;
}

float CPumps::PercentC() const {
    return PumpInGradient(kPumpC) ? m_percentC : 0.0F;
}

double CPumps::TargetPressure() const {
    const double flow = FlowRate();
    if (flow <= 0.0) {
        return 0.0;
    }
    // Water (A), acetonitrile (B) and methanol (C): the mixtures of water with an organic
    // solvent are more viscous than either alone.
    const double a = m_percentA / 100.0;
    const double b = m_percentB / 100.0;
    const double c = PercentC() / 100.0;
    const double viscosity = a * 1.0 + b * 0.37 + c * 0.55 + a * b * 1.0 + a * c * 2.4;
    return kColumnResistance * flow * viscosity;
}

double CPumps::TargetAuxPressure() const {
    return kTeeResistance * AuxFlowRate();
}

float CPumps::Noisy(double value, double spread) {
    if (value <= 0.0) {
        return 0.0F;
    }
    std::normal_distribution<double> noise(0.0, spread);
    return static_cast<float>(std::max(0.0, value + noise(m_noise)));
}

float CPumps::Pressure() {
    return Noisy(m_pressure, 2.0 + m_pressure * 0.002);
}

float CPumps::AuxPressure() {
    return Noisy(m_auxPressure, 1.0 + m_auxPressure * 0.002);
}

void CPumps::Advance(std::int64_t dtMs) {
    AdvanceValves(dtMs);
    AdvanceVent(dtMs);
    if (m_procedure != Procedure::None) {
        m_procedureMs = std::min(m_procedureMs + dtMs, m_procedureEndMs);
        if (m_procedure == Procedure::Silk) {
            AdvanceSilk();
        } else {
            AdvancePriming();
        }
        if (m_procedureMs >= m_procedureEndMs) {
            EndProcedure();
        }
    } else {
        for (int pump = 0; pump < kPumpCount; ++pump) {
            if (PumpFitted(pump)) {
                AdvanceDelivery(pump, dtMs);
            }
        }
    }
    AdvancePressures(dtMs);
}

void CPumps::AdvanceValves(std::int64_t dtMs) {
    for (Syringe& s : m_syringes) {
        if (s.valve == kValveInMotion) {
            s.valveMotionMs -= dtMs;
            if (s.valveMotionMs <= 0) {
                s.valve = s.valveTarget;
            }
        }
    }
}

void CPumps::AdvanceDelivery(int pump, std::int64_t dtMs) {
    const int first = 2 * pump;
    Syringe* deliverer = &m_syringes[static_cast<std::size_t>(first)];
    int delivering = first;
    if (deliverer->phase != Phase::Deliver) {
        deliverer = &m_syringes[static_cast<std::size_t>(first + 1)];
        delivering = first + 1;
    }
    const int other = delivering == first ? first + 1 : first;
    Syringe& partner = m_syringes[static_cast<std::size_t>(other)];
    const double stepsPerUl =
        static_cast<double>(kStrokeSteps) / std::max(1, m_nv.configuration.nSyringeSize);
    deliverer->position -= PumpFlow(pump) / 60'000.0 * stepsPerUl * static_cast<double>(dtMs);
    deliverer->phaseMs += dtMs;
    partner.phaseMs += dtMs;
    if (partner.phase == Phase::Fill) {
        partner.position += static_cast<double>(kStrokeSteps) * static_cast<double>(dtMs) /
                            static_cast<double>(kFillMs);
        if (partner.position >= kStrokeSteps) {
            partner.position = kStrokeSteps;
            partner.phase = Phase::PreCompress;
            partner.phaseMs = 0;
            SetValve(other, kValveDeadEnd);
            CountStroke(other);
        }
    } else if (partner.phase == Phase::PreCompress && partner.phaseMs >= kPreCompressMs) {
        partner.phase = Phase::Compress;
    }
    if (deliverer->position <= 0.0) {
        deliverer->position = 0.0;
        // An empty syringe hands over only to a full, compressed partner; until then the
        // pump's flow stalls.
        if (partner.phase == Phase::Compress) {
            deliverer->phase = Phase::Fill;
            deliverer->phaseMs = 0;
            SetValve(delivering, kValveFill);
            partner.phase = Phase::Deliver;
            partner.phaseMs = 0;
            SetValve(other, kValveDeliver);
        }
    }
}

void CPumps::PrimeSyringe(int syringe, std::int64_t cycleMs, std::int64_t tMs) {
    Syringe& s = m_syringes[static_cast<std::size_t>(syringe)];
    const std::int64_t half = cycleMs / 2;
    const Phase phase = tMs < half ? Phase::Fill : Phase::Purge;
    const double fraction =
        static_cast<double>(tMs < half ? tMs : tMs - half) / static_cast<double>(half);
    if (phase == Phase::Purge && s.phase == Phase::Fill) {
        CountStroke(syringe);
    }
    s.phase = phase;
    s.position = kStrokeSteps * (phase == Phase::Fill ? fraction : 1.0 - fraction);
    s.pressure = phase == Phase::Purge ? 15.0 : 0.0;
    SetValve(syringe, phase == Phase::Fill ? kValveFill : kValveDeliver);
}

void CPumps::AdvancePriming() {
    if (m_procedure == Procedure::DryPrime) {
        const std::int64_t t = m_procedureMs % kDryPrimeCycleMs;
        for (int pump = 0; pump < kPumpCount; ++pump) {
            if ((m_procedureMask & (1 << pump)) != 0) {
                PrimeSyringe(2 * pump, kDryPrimeCycleMs, t);
                PrimeSyringe(2 * pump + 1, kDryPrimeCycleMs, t);
            }
        }
        return;
    }
    const std::int64_t perPump = kWetPrimeVolumeMs * m_primeVolumes;
    const std::int64_t active = std::min<std::int64_t>(m_procedureMs / perPump, kPumpCount - 1);
    int seen = 0;
    for (int pump = 0; pump < kPumpCount; ++pump) {
        if ((m_procedureMask & (1 << pump)) == 0) {
            continue;
        }
        if (seen++ == active) {
            const std::int64_t t = (m_procedureMs % perPump) % kWetPrimeVolumeMs;
            PrimeSyringe(2 * pump, kWetPrimeVolumeMs, t);
            PrimeSyringe(2 * pump + 1, kWetPrimeVolumeMs, t);
        }
    }
}

void CPumps::AdvanceSilk() {
    static constexpr std::array<Phase, kSilkStages> kStages{
        Phase::Fill,       Phase::PreCompress, Phase::Compress, Phase::Deliver,
        Phase::Decompress, Phase::Purge,       Phase::Empty,    Phase::Home};
    const std::int64_t stage = std::min<std::int64_t>(m_procedureMs / kSilkStepMs, kSilkStages - 1);
    const double f = static_cast<double>(m_procedureMs % kSilkStepMs) / kSilkStepMs;
    const Phase phase = kStages[static_cast<std::size_t>(stage)];
    double position = kStrokeSteps;
    double pressure = 0.0;
    std::int16_t valve = kValveDeadEnd;
    switch (phase) {
    case Phase::Fill:
        position = kStrokeSteps * f;
        valve = kValveFill;
        break;
    case Phase::PreCompress:
        position = kStrokeSteps - 200.0 * f;
        pressure = 500.0 * f;
        break;
    case Phase::Compress:
        position = kStrokeSteps - 200.0 - 800.0 * f;
        pressure = 500.0 + (kSilkTestPressure - 500.0) * f;
        break;
    case Phase::Deliver:
        // The valve stays dead-ended: the pressure held shows the syringe's leak.
        position = kStrokeSteps - 1'000.0 - 30.0 * f;
        pressure = kSilkTestPressure * (1.0 - 0.01 * f);
        break;
    case Phase::Decompress:
        position = kStrokeSteps - 1'030.0 + 1'030.0 * f;
        pressure = kSilkTestPressure * 0.99 * (1.0 - f);
        break;
    case Phase::Purge:
        position = kStrokeSteps * (1.0 - f);
        valve = kValveDeliver;
        break;
    case Phase::Empty:
    case Phase::Home:
        position = 0.0;
        break;
    }
    for (int pump = 0; pump < kPumpCount; ++pump) {
        if ((m_procedureMask & (1 << pump)) == 0) {
            continue;
        }
        for (int syringe = 2 * pump; syringe <= 2 * pump + 1; ++syringe) {
            Syringe& s = m_syringes[static_cast<std::size_t>(syringe)];
            if (s.phase == Phase::Fill && phase == Phase::PreCompress) {
                CountStroke(syringe);
            }
            s.phase = phase;
            s.position = position;
            s.pressure = pressure;
            SetValve(syringe, valve);
        }
    }
}

void CPumps::AdvancePressures(std::int64_t dtMs) {
    const double k = std::exp(-static_cast<double>(dtMs) / kPressureTauMs);
    m_pressure = TargetPressure() + (m_pressure - TargetPressure()) * k;
    m_auxPressure = TargetAuxPressure() + (m_auxPressure - TargetAuxPressure()) * k;
    if (m_procedure == Procedure::Silk) {
        return;
    }
    for (int syringe = 0; syringe < kSyringeCount; ++syringe) {
        Syringe& s = m_syringes[static_cast<std::size_t>(syringe)];
        const bool aux = syringe / 2 == kPumpC && !PumpInGradient(kPumpC);
        const double line = aux ? m_auxPressure : m_pressure;
        switch (s.phase) {
        case Phase::Deliver:
        case Phase::Compress:
            s.pressure = line;
            break;
        case Phase::PreCompress:
            s.pressure = line * std::min(1.0, static_cast<double>(s.phaseMs) / kPreCompressMs);
            break;
        case Phase::Purge:
            break;
        default:
            s.pressure = 0.0;
            break;
        }
    }
}

SyringeDataRecord CPumps::SyringeData() const {
    SyringeDataRecord record{};
    for (std::size_t i = 0; i < m_syringes.size(); ++i) {
        const Syringe& s = m_syringes[i];
        if (!PumpFitted(static_cast<int>(i / 2))) {
            continue;
        }
        record.anPressure[i] = static_cast<std::int16_t>(std::clamp(s.pressure, 0.0, 32'767.0));
        record.anState[i] = static_cast<std::int16_t>(s.phase);
        record.anValveState[i] = s.valve;
        record.anPosition[i] = static_cast<std::int32_t>(std::lround(s.position));
    }
    return record;
}
