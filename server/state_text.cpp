#include "state_text.h"

#include <array>

const char* StateText(std::int32_t nState) {
    static constexpr std::array<const char*, 12> kTexts{
        "UNKNOWN",        "Unknown",      "Initializing",   "Idle",
        "Prepare Inject", "Inject Ready", "Running Inject", "Wet Priming",
        "Priming",        "Diagnostic",   "Error",          "Silking"};
    if (nState < 1 || nState >= static_cast<std::int32_t>(kTexts.size())) {
        return kTexts[0];
    }
    return kTexts[static_cast<std::size_t>(nState)];
}

const char* SyringeStateText(std::int32_t nState) {
    static constexpr std::array<const char*, 10> kTexts{
        "Invalid",  "Error",   "Home",       "Fill",  "Pre-Compress",
        "Compress", "Deliver", "Decompress", "Purge", "Empty"};
    const auto code = static_cast<std::uint32_t>(nState);
    return code < kTexts.size() ? kTexts[code] : kTexts[0];
}
