#pragma once

#include <cstdint>

// Pumps as the instrument addresses them in a pump mask.
constexpr std::int32_t kPumpMaskA = 1;
constexpr std::int32_t kPumpMaskB = 2;
constexpr std::int32_t kPumpMaskC = 4;

// The solvent reservoirs that pump A can draw from.
constexpr std::int32_t kReservoirA1 = 1;
constexpr std::int32_t kReservoirA2 = 2;
constexpr std::int32_t kReservoirA3 = 3;

// The mask of the pumps an operator chose. Pump C counts only when the instrument has one, so
// a choice left over on a hidden control never reaches the instrument.
std::int32_t BuildPumpMask(bool pumpA, bool pumpB, bool pumpC);
