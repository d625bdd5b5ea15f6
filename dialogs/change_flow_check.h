#pragma once

#include <vector>

// What the fourth row of Change Flow holds, from the fitted pump C.
enum class FlowLayout {
    NoPumpC,    // A and B only; the fourth value is hidden and sent as it was read
    Ternary,    // pump C takes part in the gradient: percent C
    PostColumn, // pump C delivers a post-column flow: µL/min
};

FlowLayout FlowLayoutOf(int pumpCInstalled, int ternaryGradient);

struct FlowEntry {
    float flow = 0.0F;
    float percentA = 0.0F;
    float percentB = 0.0F;
    float third = 0.0F;
};

// The string ids of the messages an entry earns, in the order they are shown; none means the
// entry may be sent.
std::vector<int> CheckFlowEntry(const FlowEntry& entry, FlowLayout layout);
