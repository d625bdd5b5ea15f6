#pragma once

#include <array>
#include <cstdint>
#include <string>

// What the instrument keeps in its non-volatile memory: configuration, wear counters and the
// Silk calibration of each syringe.

struct StoredConfiguration {
    float fSampleLoopVolume = 5.0F;
    std::int32_t nSyringeSize = 25;
    float fReserved8 = 999.0F;
    std::string serialNumber = "OX2-0421-17";
    float fNeedleVolume = 1.5F;
    bool bPumpCInstalled = true;
    bool bSampleTemp = true;
    bool bTernaryGradient = false;
    bool bManualInjectValve = false;
    bool bPlateFeeder = false;
    std::int32_t nReserved40 = 0;
    std::int32_t nReserved44 = 1;

    bool operator==(const StoredConfiguration&) const = default;
};

constexpr int kSyringeCount = 6;

// Counters are kept wider than the 16-bit values the interface reports, which saturate.
struct UsageCounters {
    std::int64_t injectorValve = 0;
    std::int64_t ventValve = 0;
    std::int64_t streamSelect = 0;
    std::int64_t sampleSyringeValve = 0;
    std::int64_t sampleSyringe = 0;
    std::int64_t powerOnMs = 0;
    std::int64_t coolingOnMs = 0;
    std::array<std::int64_t, kSyringeCount> syringeValve{};
    std::array<std::int64_t, kSyringeCount> pistonStrokes{};

    bool operator==(const UsageCounters&) const = default;
};

// Silk calibration of one syringe; all zero means not calibrated.
struct SilkEntry {
    std::int32_t nCompressionSteps = 0;
    float fLeakRate = 0.0F;   // nL/min at the test pressure
    float fCompliance = 0.0F; // steps per 1000 PSI

    bool operator==(const SilkEntry&) const = default;
};
using SilkData = std::array<SilkEntry, kSyringeCount>;

struct NvState {
    StoredConfiguration configuration;
    UsageCounters usage;
    SilkData silk{};
    bool bSilkWriteToDisk = false;

    bool operator==(const NvState&) const = default;
};
