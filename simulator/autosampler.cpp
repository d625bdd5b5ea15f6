#include "autosampler.h"

#include "sim_refusals.h"

#include <algorithm>
#include <initializer_list>
#include <string>

namespace {

constexpr std::int64_t kMechanicsMs = 800;
constexpr std::int64_t kNeedleStepMs = 150; // per row or column travelled
constexpr std::int64_t kTrayMs = 2'500;
constexpr std::int64_t kSyringeStrokeMs = 2'000;

bool Flag(std::int32_t value) {
    return value == 0 || value == 1;
}

// Rows and columns of each plate code.
struct PlateShape {
    std::int32_t rows;
    std::int32_t columns;
};
constexpr std::array<PlateShape, 4> kPlates{{{8, 12}, {8, 12}, {16, 24}, {6, 8}}};

} // namespace

bool CAutoSampler::Axis::Move(std::int32_t where, std::int64_t ms) {
    if (position == where && target == where && !Moving()) {
        return false;
    }
    target = where;
    remainingMs = ms;
    return true;
}

void CAutoSampler::Axis::Advance(std::int64_t dtMs) {
    if (remainingMs > 0) {
        remainingMs -= dtMs;
        if (remainingMs <= 0) {
            remainingMs = 0;
            position = target;
        }
    }
}

CAutoSampler::CAutoSampler(NvState& nv) : m_nv(nv) {
    m_snapshot = LiveSensors(false, false);
}

HRESULT CAutoSampler::PerformInjection() {
    if (m_stage != Stage::None) {
        return kHrInstrumentBusy;
    }
    m_stage = Stage::PrepareInject;
    m_stageMs = 0;
    Count(m_nv.usage.injectorValve, m_injectValve.Move(kLoad, kValveMoveMs));
    m_needleUnit.Move(1, kMechanicsMs);
    Count(m_nv.usage.sampleSyringe, m_syringe.Move(1, kSyringeStrokeMs));
    return S_OK;
}

HRESULT CAutoSampler::Trigger() {
    if (m_stage != Stage::InjectReady) {
        return S_FALSE;
    }
    m_stage = Stage::RunningInject;
    m_stageMs = 0;
    m_injectEventMs = kInjectEventMs;
    Count(m_nv.usage.injectorValve, m_injectValve.Move(kInject, kValveMoveMs));
    m_needleUnit.Move(0, kMechanicsMs);
    Count(m_nv.usage.sampleSyringe, m_syringe.Move(0, kSyringeStrokeMs));
    return S_OK;
}

void CAutoSampler::Abort() {
    if (m_stage == Stage::None) {
        return;
    }
    m_stage = Stage::None;
    m_injectEventMs = 0;
    Count(m_nv.usage.injectorValve, m_injectValve.Move(kLoad, kValveMoveMs));
}

void CAutoSampler::PowerDown() {
    m_stage = Stage::None;
    m_injectEventMs = 0;
    m_airCompressor = false;
    m_monitor = false;
}

HRESULT CAutoSampler::MoveSampleSyringeValve(std::int32_t position) {
    if (position < 1 || position > 3) {
        return E_INVALIDARG;
    }
    Count(m_nv.usage.sampleSyringeValve, m_syringeValve.Move(position, kValveMoveMs));
    return S_OK;
}

HRESULT CAutoSampler::MoveSampleSyringe(std::int32_t fill) {
    if (!Flag(fill)) {
        return E_INVALIDARG;
    }
    Count(m_nv.usage.sampleSyringe, m_syringe.Move(fill, kSyringeStrokeMs));
    return S_OK;
}

HRESULT CAutoSampler::WashSampleSyringe() {
    // Draw from the wash port and push out to waste: a full stroke, ending empty.
    Count(m_nv.usage.sampleSyringeValve, m_syringeValve.Move(3, kSyringeStrokeMs));
    Count(m_nv.usage.sampleSyringe, m_syringe.Move(0, 2 * kSyringeStrokeMs));
    return S_OK;
}

HRESULT CAutoSampler::MoveLeftUnit(std::int32_t next) {
    if (!Flag(next)) {
        return E_INVALIDARG;
    }
    m_leftUnit.Move(next == 0 ? 0 : m_leftUnit.target + 1, kMechanicsMs);
    return S_OK;
}

HRESULT CAutoSampler::MoveRightUnit(std::int32_t next) {
    if (!Flag(next)) {
        return E_INVALIDARG;
    }
    m_rightUnit.Move(next == 0 ? 0 : m_rightUnit.target + 1, kMechanicsMs);
    return S_OK;
}

HRESULT CAutoSampler::MoveCenterUnit(std::int32_t position) {
    if (position < 0 || position > 2) {
        return E_INVALIDARG;
    }
    m_centerUnit.Move(position, kMechanicsMs);
    return S_OK;
}

HRESULT CAutoSampler::LiftCenterUnit(std::int32_t down) {
    if (!Flag(down)) {
        return E_INVALIDARG;
    }
    m_centerLift.Move(down, kMechanicsMs);
    return S_OK;
}

HRESULT CAutoSampler::SetAirCompressor(std::int32_t on) {
    if (!Flag(on)) {
        return E_INVALIDARG;
    }
    m_airCompressor = on != 0;
    return S_OK;
}

HRESULT CAutoSampler::MoveNeedleUnit(std::int32_t down) {
    if (!Flag(down)) {
        return E_INVALIDARG;
    }
    m_needleUnit.Move(down, kMechanicsMs);
    return S_OK;
}

HRESULT CAutoSampler::MoveSampleNeedle(std::int32_t down) {
    if (!Flag(down)) {
        return E_INVALIDARG;
    }
    m_sampleNeedle.Move(down, kMechanicsMs);
    return S_OK;
}

HRESULT CAutoSampler::SetPlateType(std::int32_t code) {
    if (code < 0 || code >= static_cast<std::int32_t>(kPlates.size())) {
        return E_INVALIDARG;
    }
    m_plateType = code;
    // A position beyond the new plate's edge is not a position: the needle goes home.
    if (m_needleRow.target >= PlateRows() || m_needleColumn.target > PlateColumns()) {
        m_needleRow.Move(0, kMechanicsMs);
        m_needleColumn.Move(1, kMechanicsMs);
    }
    return S_OK;
}

std::int32_t CAutoSampler::PlateRows() const {
    return kPlates[static_cast<std::size_t>(m_plateType)].rows;
}

std::int32_t CAutoSampler::PlateColumns() const {
    return kPlates[static_cast<std::size_t>(m_plateType)].columns;
}

HRESULT CAutoSampler::SelectPlateRow(std::int32_t row) {
    if (row < 0 || row >= PlateRows()) {
        return E_INVALIDARG;
    }
    const std::int64_t distance = std::abs(row - m_needleRow.position);
    m_needleRow.Move(row, kNeedleStepMs * std::max<std::int64_t>(1, distance));
    return S_OK;
}

HRESULT CAutoSampler::SelectPlateColumn(std::int32_t column) {
    if (column < 1 || column > PlateColumns()) {
        return E_INVALIDARG;
    }
    const std::int64_t distance = std::abs(column - m_needleColumn.position);
    m_needleColumn.Move(column, kNeedleStepMs * std::max<std::int64_t>(1, distance));
    return S_OK;
}

HRESULT CAutoSampler::PositionSamplePlate(std::int32_t exchange) {
    if (!Flag(exchange)) {
        return E_INVALIDARG;
    }
    m_tray.Move(exchange, kTrayMs);
    return S_OK;
}

HRESULT CAutoSampler::ExchangeSamplePlate() {
    m_tray.Move(1, kTrayMs);
    return S_OK;
}

HRESULT CAutoSampler::MoveLift(std::int32_t position) {
    if (position < 0) {
        return E_INVALIDARG;
    }
    m_lift.Move(position, kMechanicsMs);
    return S_OK;
}

HRESULT CAutoSampler::StepPlateFeeder(std::int32_t feeder, std::int32_t next) {
    if (!Flag(feeder) || !Flag(next)) {
        return E_INVALIDARG;
    }
    if (!m_nv.configuration.bPlateFeeder) {
        return E_UNEXPECTED;
    }
    std::int32_t& steps = m_feederSteps[static_cast<std::size_t>(feeder)];
    steps = next == 0 ? 0 : steps + 1;
    return S_OK;
}

HRESULT CAutoSampler::SendCommand(std::u16string_view command, std::int32_t* pReply) {
    if (pReply == nullptr) {
        return E_POINTER;
    }
    if (command.size() != 4 || !std::all_of(command.begin(), command.end(),
                                            [](char16_t c) { return c >= u'0' && c <= u'9'; })) {
        return E_INVALIDARG;
    }
    std::int32_t code = 0;
    for (const char16_t c : command) {
        code = code * 10 + (c - u'0');
    }
    // The valve commands: 1001/1002 stream selection, 1101 inject, 1102 load; 5105 to 5108
    // switch a valve over.
    switch (code) {
    case 5105:
        Count(m_nv.usage.injectorValve,
              m_injectValve.Move(m_injectValve.target == kInject ? kLoad : kInject, kValveMoveMs));
        break;
    case 5106:
        if (onSwitchVent) {
            onSwitchVent();
        }
        break;
    case 5107:
        Count(m_nv.usage.streamSelect,
              m_streamValve.Move(m_streamValve.target == 1 ? 2 : 1, kValveMoveMs));
        break;
    case 5108:
        if (onNextSolvent) {
            onNextSolvent();
        }
        break;
    case 1001:
    case 1002:
        Count(m_nv.usage.streamSelect, m_streamValve.Move(code - 1000, kValveMoveMs));
        break;
    case 1101:
    case 1102:
        Count(m_nv.usage.injectorValve, m_injectValve.Move(code - 1100, kValveMoveMs));
        break;
    default:
        break;
    }
    *pReply = code;
    return S_OK;
}

HRESULT CAutoSampler::SetMonitor(std::int32_t value) {
    if (value != kMonitorOn && value != 0) {
        return E_INVALIDARG;
    }
    m_monitor = value == kMonitorOn;
    return S_OK;
}

void CAutoSampler::SetEventInput(int line, bool on) {
    if (line >= 0 && line < static_cast<int>(m_inputs.size())) {
        m_inputs[static_cast<std::size_t>(line)] = on;
    }
}

std::array<std::int32_t, 8> CAutoSampler::EventLines() const {
    return {m_inputs[0],
            m_inputs[1],
            m_inputs[2],
            m_inputs[3],
            m_injectEventMs > 0 ? 1 : 0,
            m_stage == Stage::InjectReady ? 1 : 0,
            m_stage == Stage::PrepareInject ? 1 : 0,
            m_stage == Stage::RunningInject ? 1 : 0};
}

AutoSamplerSensorRecord CAutoSampler::Sensors(bool ventOpen, bool ventMoving) {
    if (m_monitor) {
        m_snapshot = LiveSensors(ventOpen, ventMoving);
    }
    return m_snapshot;
}

AutoSamplerSensorRecord CAutoSampler::LiveSensors(bool ventOpen, bool ventMoving) const {
    const bool needleStill = !m_needleRow.Moving() && !m_needleColumn.Moving();
    // The tray unit sensor sees the whole unit at rest: the tray home, the plate-handling units
    // home and the centre lift up.
    const bool trayUnitHome = m_tray.At(0) && m_leftUnit.At(0) && m_rightUnit.At(0) &&
                              m_centerUnit.At(0) && m_centerLift.At(0);
    const std::array<bool, 19> on{
        trayUnitHome,
        m_syringe.At(0),
        m_syringeValve.Moving(),
        m_syringeValve.At(1) || m_syringeValve.At(2),
        m_syringeValve.At(2) || m_syringeValve.At(3),
        m_needleRow.At(0) && m_needleColumn.At(1),
        m_needleUnit.At(0),
        needleStill,
        needleStill && m_needleUnit.At(1),
        true,
        m_sampleNeedle.At(0),
        m_sampleNeedle.Moving(),
        true,
        m_injectValve.At(kLoad),
        m_injectValve.At(kInject),
        ventOpen && !ventMoving,
        !ventOpen && !ventMoving,
        m_streamValve.At(1),
        m_streamValve.At(2),
    };
    AutoSamplerSensorRecord record{};
    std::transform(on.begin(), on.end(), record.anSensor.begin(),
                   [](bool set) { return set ? 1 : 0; });
    return record;
}

std::string CAutoSampler::DescribeMechanics() const {
    const auto where = [](const Axis& axis, std::initializer_list<const char*> names) {
        const auto name = [&](std::int32_t position) {
            return position >= 0 && static_cast<std::size_t>(position) < names.size()
                       ? std::string(names.begin()[position])
                       : std::to_string(position);
        };
        return axis.Moving() ? "moving to " + name(axis.target) : name(axis.position);
    };
    return "autosampler: tray " + where(m_tray, {"home", "exchange"}) + ", left unit " +
           where(m_leftUnit, {"home"}) + ", right unit " + where(m_rightUnit, {"home"}) +
           ", centre unit " + where(m_centerUnit, {"home", "place", "drop"}) + ", centre lift " +
           where(m_centerLift, {"up", "down"}) + ", lift " + where(m_lift, {}) +
           ", air compressor " + (m_airCompressor ? "on" : "off");
}

void CAutoSampler::Advance(std::int64_t dtMs) {
    for (Axis* axis : {&m_injectValve, &m_streamValve, &m_syringeValve, &m_syringe, &m_needleUnit,
                       &m_sampleNeedle, &m_needleRow, &m_needleColumn, &m_tray, &m_leftUnit,
                       &m_rightUnit, &m_centerUnit, &m_centerLift, &m_lift}) {
        axis->Advance(dtMs);
    }
    m_injectEventMs = std::max<std::int64_t>(0, m_injectEventMs - dtMs);
    m_stageMs += dtMs;
    if (m_stage == Stage::PrepareInject && m_stageMs >= kPrepareMs) {
        m_stage = Stage::InjectReady;
        m_stageMs = 0;
    }
    const bool manualInject = m_inputs[0];
    if (manualInject && !m_lastManualInject && m_stage == Stage::InjectReady) {
        Trigger();
    }
    m_lastManualInject = manualInject;
    if (m_stage == Stage::RunningInject && m_stageMs >= kRunMs) {
        m_stage = Stage::None;
        Count(m_nv.usage.injectorValve, m_injectValve.Move(kLoad, kValveMoveMs));
    }
}
