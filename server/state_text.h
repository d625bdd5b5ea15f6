#pragma once

#include <cstdint>

// Instrument state code to its text; codes outside 1..11 read "UNKNOWN".
const char* StateText(std::int32_t nState);

// Syringe state code to its text; compared as unsigned, so anything outside 1..9 reads "Invalid".
const char* SyringeStateText(std::int32_t nState);
