#pragma once

#include <QString>

#include <array>
#include <cstdint>

// The instrument's wear counters as the Usage page reads them.
struct UsageReading {
    static constexpr std::int32_t kSyringes = 6;
    // What a count reads as when the instrument did not report it.
    static constexpr std::int32_t kUnreported = -1;

    bool syringeUsageRead = false;
    std::array<std::uint16_t, kSyringes> valveActuations{};
    std::array<std::uint16_t, kSyringes> pistonStrokes{};
    bool autoSamplerUsageRead = false;
    // In GetAutoSamplerUsage's order: injector valve, vent valve, stream select, syringe valve,
    // syringe, power-on hours, cooling-on hours. All kUnreported after a failed read.
    std::array<std::int32_t, 7> autoSampler{};
    // Index of the first of the two times.
    static constexpr std::size_t kPowerOnHours = 5;
};

// GetSyringeUsage, then GetAutoSamplerUsage, each through g_pServer.
UsageReading ReadUsage();

// One of the upper block's values with the page's format: the five counts with "%d ", the two
// times with "%d Hours".
QString AutoSamplerUsageText(std::size_t index, std::int32_t value);
