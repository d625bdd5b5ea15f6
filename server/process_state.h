#pragma once

#include "records.h"

#include <cstdint>

// The values the whole client shares besides the server connection. Each has one writer:
// the status view (the four configuration flags, the syringe data record), the Silk and Valves
// pages (the syringe data flag, which either turns on), the diagnostics sheets (the autosampler
// monitor flag).
struct ProcessState {
    std::int32_t pumpCInstalled = 0;
    std::int32_t sampleTemperature = 0;
    std::int32_t ternaryGradient = 0;
    std::int32_t plateFeeder = 0;
    std::int32_t syringeDataFlag = 0;
    SyringeDataRecord syringeData{};
    // Set with the first record copied in: until then syringeData holds no reading.
    bool syringeDataFetched = false;
    bool autoSamplerMonitor = false;
};

extern ProcessState g_state;

// Back to the start-up values, for tests.
void ResetProcessState();
