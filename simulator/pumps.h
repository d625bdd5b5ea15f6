#pragma once

#include "hresult.h"
#include "nv_state.h"
#include "records.h"

#include <array>
#include <cstdint>
#include <functional>
#include <random>

// The three syringe pumps (A, B, C), two syringes each, with their valves, the vent valve and
// the hydraulics: flow, composition, system pressure and the post-column pump C. Also runs the
// pump procedures: wet prime, dry prime and Silk.
class CPumps {
public:
    enum class Procedure { None, WetPrime, DryPrime, Silk };

    static constexpr float kMaxFlow = 40.0F;                 // uL/min
    static constexpr int kStrokeSteps = 48'000;              // motor steps of a full syringe stroke
    static constexpr std::int64_t kWetPrimeVolumeMs = 8'000; // one system volume of one pump
    static constexpr std::int64_t kDryPrimeCycleMs = 6'000;
    static constexpr std::int64_t kSilkStepMs = 3'000; // each of the eight Silk stages
    static constexpr std::int64_t kValveMoveMs = 1'000;
    static constexpr float kSilkTestPressure = 5'000.0F; // PSI

    explicit CPumps(NvState& nv);

    HRESULT ChangeFlow(float flow, float percentA, float percentB, float third);
    void SetHold(bool hold) { m_hold = hold; }
    bool Held() const { return m_hold; }
    // The stop flow event input holds the flow as long as it is on.
    void SetStopFlow(bool stop) { m_stopFlow = stop; }
    HRESULT SelectSolvent(std::int32_t reservoir);
    // Pump A's solvent valve turns on to the next reservoir, from the third back to the first.
    void NextSolvent();
    // A valve asked to move by hand ends where it was asked to, unless a procedure is running:
    // then the procedure owns the valves and the move is refused.
    HRESULT MoveSyringeValve(std::int32_t valve, std::int32_t position);
    // The vent valve switched by hand between the system and the vent; it takes a while.
    void SwitchVent();

    HRESULT StartWetPrime(std::int32_t volumes, std::int32_t pumpMask);
    HRESULT StartDryPrime(std::int32_t pumpMask, std::int32_t cycles);
    HRESULT StopDryPrime();
    HRESULT StartSilk(std::int32_t pumpMask);
    // Ends any procedure at once, as an error or a power loss does.
    void Abort();
    // Power loss: flow stops and the syringes lose their place.
    void PowerDown();

    Procedure CurrentProcedure() const { return m_procedure; }
    std::int64_t ProcedureRemainingMs() const { return m_procedureEndMs - m_procedureMs; }
    std::int32_t ProcedureMask() const { return m_procedureMask; }
    // Called once a Silk run completes, with the pumps it calibrated.
    std::function<void(std::int32_t pumpMask)> onSilkDone;

    void Advance(std::int64_t dtMs);

    // Readings, as the status record reports them.
    float FlowRate() const;
    float PercentA() const { return m_percentA; }
    float PercentB() const { return m_percentB; }
    float PercentC() const;
    float Pressure();
    float AuxFlowRate() const;
    float AuxPressure();
    std::int32_t Reservoir() const { return m_reservoir; }
    // Priming pushes solvent out through the vent, whatever the hand switch says.
    bool VentOpen() const {
        return m_procedure == Procedure::WetPrime || m_procedure == Procedure::DryPrime ||
               m_ventSwitched;
    }
    bool VentMoving() const { return m_ventMotionMs > 0; }
    SyringeDataRecord SyringeData() const;

private:
    enum class Phase : std::int16_t {
        Home = 2,
        Fill = 3,
        PreCompress = 4,
        Compress = 5,
        Deliver = 6,
        Decompress = 7,
        Purge = 8,
        Empty = 9
    };
    // Valve states as the syringe data reports them.
    static constexpr std::int16_t kValveFill = -1;
    static constexpr std::int16_t kValveDeadEnd = 0;
    static constexpr std::int16_t kValveDeliver = 1;
    static constexpr std::int16_t kValveInMotion = 3;

    struct Syringe {
        Phase phase = Phase::Compress;
        double position = kStrokeSteps;
        double pressure = 0.0;
        std::int64_t phaseMs = 0; // time spent in the phase
        std::int16_t valve = kValveDeadEnd;
        std::int16_t valveTarget = kValveDeadEnd;
        std::int64_t valveMotionMs = 0; // time left until the valve arrives
    };

    bool Stopped() const;
    bool PumpFitted(int pump) const;
    bool PumpInGradient(int pump) const;
    std::int32_t FittedMask(std::int32_t pumpMask) const;
    double PumpFlow(int pump) const;
    double TargetPressure() const;
    double TargetAuxPressure() const;
    void StartProcedure(Procedure procedure, std::int32_t mask, std::int64_t durationMs);
    void EndProcedure();
    void SetValve(int syringe, std::int16_t state);
    void CountStroke(int syringe);
    void ReadySyringes();
    void AdvanceValves(std::int64_t dtMs);
    void AdvanceVent(std::int64_t dtMs);
    void AdvanceDelivery(int pump, std::int64_t dtMs);
    void PrimeSyringe(int syringe, std::int64_t cycleMs, std::int64_t tMs);
    void AdvancePriming();
    void AdvanceSilk();
    void AdvancePressures(std::int64_t dtMs);
    float Noisy(double value, double spread);

    NvState& m_nv;
    float m_flow = 5.0F;
    float m_percentA = 95.0F;
    float m_percentB = 5.0F;
    float m_percentC = 0.0F;
    float m_auxFlow = 0.0F;
    std::int32_t m_reservoir = 1;
    bool m_hold = false;
    bool m_stopFlow = false;
    bool m_ventSwitched = false;
    bool m_ventTarget = false;
    std::int64_t m_ventMotionMs = 0;
    double m_pressure = 0.0;
    double m_auxPressure = 0.0;

    Procedure m_procedure = Procedure::None;
    std::int32_t m_procedureMask = 0;
    std::int32_t m_primeVolumes = 0;
    std::int64_t m_procedureMs = 0;
    std::int64_t m_procedureEndMs = 0;

    std::array<Syringe, kSyringeCount> m_syringes{};
    std::mt19937 m_noise{421};
};
