#pragma once

#include "autosampler.h"
#include "detector.h"
#include "error_log.h"
#include "firmware.h"
#include "method_store.h"
#include "non_volatile_memory.h"
#include "pumps.h"
#include "silk_store.h"
#include "sim_clock.h"
#include "thermostat.h"

#include <array>
#include <cstdint>
#include <string>

// Which usage counters a reset clears; a syringe pair is a pump's two syringes.
struct UsageReset {
    bool injectorValve = false;
    bool ventValve = false;
    bool streamSelect = false;
    bool sampleSyringeValve = false;
    bool sampleSyringe = false;
    bool powerOn = false;
    bool coolingOn = false;
    std::array<bool, 3> syringePairs{};
};

// The simulated instrument as a whole: its subsystems on one clock, power, initialisation,
// diagnostics, errors, the method and configuration it keeps, its non-volatile memory, and the
// state and status message that the status record reports.
class CSimulatedInstrument {
public:
    static constexpr std::int64_t kInitializingMs = 3'000;
    static constexpr std::int64_t kDiagnosticMs = 10'000;
    static constexpr std::int64_t kBootMs = 2'000;
    // Time advances in steps no longer than this, so that every change of a procedure or a
    // valve is seen in order even when a manual clock jumps by hours.
    static constexpr std::int64_t kMaxStepMs = 100;

    static constexpr std::int64_t kCounterCommitMs = 10'000;
    static constexpr std::int64_t kMsPerHour = 3'600'000;

    // Silk files go to silkFolder. The clock and the memory outlive the instrument.
    CSimulatedInstrument(CSimClock& clock, CNonVolatileMemory& memory, std::string silkFolder);
    // Commits what changed since the last commit.
    ~CSimulatedInstrument();

    CSimulatedInstrument(const CSimulatedInstrument&) = delete;
    CSimulatedInstrument& operator=(const CSimulatedInstrument&) = delete;

    // Brings every subsystem up to the clock's time; every operation starts with it.
    void Sync();
    // Syncs and writes changed counters now and then; the serving process calls it on a timer.
    void Tick();
    // Commits the non-volatile memory when it changed; a failure becomes an instrument error.
    // With force, writes even an unchanged state, such as defaults over a damaged file.
    void CommitMemory(bool force = false);

    // Whether the instrument answers commands: powered, booted and running its firmware.
    bool Answering() const;
    // Starting a procedure needs an instrument with nothing else going on.
    HRESULT RequireIdle() const;

    void Initialize();
    HRESULT LaunchDiagnostics();
    // A new configuration, kept in the non-volatile memory; refused when the pumps or the
    // autosampler cannot work with it.
    HRESULT Configure(const StoredConfiguration& wanted);
    // A new separation method; its temperatures become the thermostat's set points.
    HRESULT SetMethod(const SeparationMethod& method);
    // The method's initial conditions: its flow and composition, and its temperatures.
    HRESULT GoToInitialConditions();
    // On: the column goes to the given temperature; off: back to the method's.
    HRESULT ConditionColumn(float celsius, bool on);
    // Holds the method's initial conditions for some minutes; the status message counts it
    // down.
    HRESULT Equilibrate(float minutes);
    void ResetUsage(const UsageReset& which);
    // The pumps send their syringe record only once the client asked for it.
    void EnableSyringeData(bool on) { m_syringeDataEnabled = on; }
    bool SyringeDataEnabled() const { return m_syringeDataEnabled; }
    void RaiseError(std::string text);
    void PowerOff();
    void PowerOn();
    bool Powered() const { return m_powered; }

    std::int32_t StateCode() const;
    std::string StatusMessage() const;
    // A readable account of the whole instrument, for people and test logs.
    std::string Describe();
    // Every field but the message, which the caller allocates.
    InstrumentStatus Status();

    CPumps& Pumps() { return m_pumps; }
    CAutoSampler& AutoSampler() { return m_autoSampler; }
    CThermostat& Thermostat() { return m_thermostat; }
    CDetector& Detector() { return m_detector; }
    CErrorLog& Errors() { return m_errors; }
    CFirmware& Firmware() { return m_firmware; }
    CMethodStore& Method() { return m_method; }
    CSilkStore& Silk() { return m_silk; }
    CNonVolatileMemory& Memory() { return m_memory; }
    NvState& Nv() { return m_memory.State(); }
    CSimClock& Clock() { return m_clock; }

private:
    void Step(std::int64_t dtMs);
    void Boot();

    CSimClock& m_clock;
    CNonVolatileMemory& m_memory;
    CErrorLog m_errors;
    CPumps m_pumps;
    CAutoSampler m_autoSampler;
    CThermostat m_thermostat;
    CDetector m_detector;
    CFirmware m_firmware;
    CMethodStore m_method;
    CSilkStore m_silk;

    std::int64_t m_lastMs;
    bool m_powered = true;
    std::int64_t m_bootMs = 0;
    std::int64_t m_initializingMs = 0;
    std::int64_t m_diagnosticMs = 0;
    std::int64_t m_equilibrateMs = 0;
    std::int64_t m_lastCommitMs = 0;
    bool m_syringeDataEnabled = false;
    bool m_lastVentOpen = false;
    CAutoSampler::Stage m_lastStage = CAutoSampler::Stage::None;
};
