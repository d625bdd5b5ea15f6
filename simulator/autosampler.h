#pragma once

#include "hresult.h"
#include "nv_state.h"
#include "records.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// The autosampler: injection and stream selection valves, the sample syringe with its valve,
// the needle mechanics, the plate tray and feeders, the injection sequence, the event lines
// and the 19 sensors that report where every part is.
class CAutoSampler {
public:
    enum class Stage { None, PrepareInject, InjectReady, RunningInject };

    static constexpr std::int32_t kMonitorOn = 250'896;
    static constexpr std::int32_t kInject = 1;
    static constexpr std::int32_t kLoad = 2;
    static constexpr std::int64_t kValveMoveMs = 300;
    static constexpr std::int64_t kPrepareMs = 4'000;
    static constexpr std::int64_t kRunMs = 60'000;
    static constexpr std::int64_t kInjectEventMs = 2'000;

    explicit CAutoSampler(NvState& nv);

    // Injection sequence: prepare, wait for the trigger (command or manual inject line), run.
    HRESULT PerformInjection();
    HRESULT Trigger();
    Stage CurrentStage() const { return m_stage; }
    std::int64_t StageElapsedMs() const { return m_stageMs; }
    void Abort();
    void PowerDown();

    HRESULT MoveSampleSyringeValve(std::int32_t position);
    HRESULT MoveSampleSyringe(std::int32_t fill);
    HRESULT WashSampleSyringe();
    HRESULT MoveLeftUnit(std::int32_t next);
    HRESULT MoveRightUnit(std::int32_t next);
    HRESULT MoveCenterUnit(std::int32_t position);
    HRESULT LiftCenterUnit(std::int32_t down);
    HRESULT SetAirCompressor(std::int32_t on);
    HRESULT MoveNeedleUnit(std::int32_t down);
    HRESULT MoveSampleNeedle(std::int32_t down);
    HRESULT SetPlateType(std::int32_t code);
    HRESULT SelectPlateRow(std::int32_t row);
    HRESULT SelectPlateColumn(std::int32_t column);
    HRESULT PositionSamplePlate(std::int32_t exchange);
    HRESULT ExchangeSamplePlate();
    HRESULT MoveLift(std::int32_t position);
    HRESULT StepPlateFeeder(std::int32_t feeder, std::int32_t next);
    // Four-digit service commands of the autosampler's own firmware; the reply echoes the code.
    // 5105 and 5107 switch the injection and the stream selection valve to their other
    // position; 5106 and 5108 are passed on to the vent valve and pump A's solvent valve.
    HRESULT SendCommand(std::u16string_view command, std::int32_t* pReply);
    std::function<void()> onSwitchVent;
    std::function<void()> onNextSolvent;
    HRESULT SetMonitor(std::int32_t value);

    void SetEventInput(int line, bool on);
    // Manual inject, stop flow, event 1, event 2, inject event, switch 1, switch 2, diverter.
    // The outputs follow the injection: switch 2 while the sample is prepared, switch 1 while
    // the injection waits for its trigger, a short inject event when it starts and the
    // diverter while it runs.
    std::array<std::int32_t, 8> EventLines() const;
    bool StopFlowInput() const { return m_inputs[1]; }

    std::int32_t InjectValve() const { return m_injectValve.Reported(); }
    std::int32_t StreamValve() const { return m_streamValve.Reported(); }
    std::int32_t PlateRows() const;
    std::int32_t PlateColumns() const;
    // Live while the monitor is on; the last reading taken while it was on otherwise. The vent
    // valve, moved by the pumps, shows neither position while it moves.
    AutoSamplerSensorRecord Sensors(bool ventOpen, bool ventMoving);
    // Where the tray and the plate-handling units are, and the air compressor, for people.
    std::string DescribeMechanics() const;

    void Advance(std::int64_t dtMs);

private:
    // A part that moves between numbered positions and takes a while to get there.
    struct Axis {
        std::int32_t position = 0;
        std::int32_t target = 0;
        std::int64_t remainingMs = 0;
        bool Moving() const { return remainingMs > 0; }
        bool At(std::int32_t where) const { return !Moving() && position == where; }
        // 0 while moving: the instrument does not know where the part is.
        std::int32_t Reported() const { return Moving() ? 0 : position; }
        bool Move(std::int32_t where, std::int64_t ms);
        void Advance(std::int64_t dtMs);
    };

    void Count(std::int64_t& counter, bool moved) {
        if (moved) {
            ++counter;
        }
    }
    AutoSamplerSensorRecord LiveSensors(bool ventOpen, bool ventMoving) const;

    NvState& m_nv;
    Stage m_stage = Stage::None;
    std::int64_t m_stageMs = 0;
    std::int64_t m_injectEventMs = 0;

    Axis m_injectValve{kLoad, kLoad, 0};
    Axis m_streamValve{1, 1, 0};
    Axis m_syringeValve{2, 2, 0}; // 1 wash, 2 needle, 3 waste
    Axis m_syringe{0, 0, 0};      // 0 empty, 1 full
    Axis m_needleUnit{0, 0, 0};   // 0 up, 1 down
    Axis m_sampleNeedle{0, 0, 0}; // 0 up, 1 down
    Axis m_needleRow{0, 0, 0};
    Axis m_needleColumn{1, 1, 0};
    Axis m_tray{0, 0, 0}; // 0 home, 1 exchange
    Axis m_leftUnit{0, 0, 0};
    Axis m_rightUnit{0, 0, 0};
    Axis m_centerUnit{0, 0, 0}; // 0 home, 1 place, 2 drop
    Axis m_centerLift{0, 0, 0}; // 0 up, 1 down
    Axis m_lift{0, 0, 0};
    std::array<std::int32_t, 2> m_feederSteps{};
    bool m_airCompressor = false;
    std::int32_t m_plateType = 0;
    bool m_monitor = false;
    std::array<bool, 4> m_inputs{};
    bool m_lastManualInject = false;
    AutoSamplerSensorRecord m_snapshot{};
};
