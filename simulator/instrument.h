#pragma once

#include "autosampler.h"
#include "detector.h"
#include "error_log.h"
#include "firmware.h"
#include "method_store.h"
#include "non_volatile_memory.h"
#include "pumps.h"
#include "sim_clock.h"
#include "thermostat.h"

#include <cstdint>
#include <string>

// The simulated instrument as a whole: its subsystems on one clock, power, initialisation,
// diagnostics, errors, and the state and status message that the status record reports.
class CSimulatedInstrument {
public:
    static constexpr std::int64_t kInitializingMs = 3'000;
    static constexpr std::int64_t kDiagnosticMs = 10'000;
    static constexpr std::int64_t kBootMs = 2'000;
    // Time advances in steps no longer than this, so that every change of a procedure or a
    // valve is seen in order even when a manual clock jumps by hours.
    static constexpr std::int64_t kMaxStepMs = 100;

    CSimulatedInstrument(CSimClock& clock, CNonVolatileMemory& memory);

    // Brings every subsystem up to the clock's time; every operation starts with it.
    void Sync();

    // Whether the instrument answers commands: powered, booted and running its firmware.
    bool Answering() const;
    // Starting a procedure needs an instrument with nothing else going on.
    HRESULT RequireIdle() const;

    void Initialize();
    HRESULT LaunchDiagnostics();
    // Holds the method's initial conditions for a time; the status message counts it down.
    void Equilibrate(std::int64_t ms) { m_equilibrateMs = ms; }
    void RaiseError(std::string text);
    void PowerOff();
    void PowerOn();
    bool Powered() const { return m_powered; }

    std::int32_t StateCode() const;
    std::string StatusMessage() const;
    // Every field but the message, which the caller allocates.
    InstrumentStatus Status();

    CPumps& Pumps() { return m_pumps; }
    CAutoSampler& AutoSampler() { return m_autoSampler; }
    CThermostat& Thermostat() { return m_thermostat; }
    CDetector& Detector() { return m_detector; }
    CErrorLog& Errors() { return m_errors; }
    CFirmware& Firmware() { return m_firmware; }
    CMethodStore& Method() { return m_method; }
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

    std::int64_t m_lastMs;
    bool m_powered = true;
    std::int64_t m_bootMs = 0;
    std::int64_t m_initializingMs = 0;
    std::int64_t m_diagnosticMs = 0;
    std::int64_t m_equilibrateMs = 0;
    bool m_lastVentOpen = false;
    CAutoSampler::Stage m_lastStage = CAutoSampler::Stage::None;
};
