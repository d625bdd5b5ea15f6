#include "change_flow_check.h"

#include "resource.h"

#include <cmath>

namespace {

constexpr float kMaxFlow = 40.0F;
constexpr double kFullComposition = 100.0;
// Single-precision entries such as 33.3 + 66.7 miss 100 by a few millionths; an operator never
// means a difference this small.
constexpr double kCompositionTolerance = 1e-4;

// False for NaN and infinities as well.
bool InFlowRange(float value) {
    return value >= 0.0F && value <= kMaxFlow;
}

bool IsFullComposition(double sum) {
    return std::fabs(sum - kFullComposition) <= kCompositionTolerance;
}

} // namespace

FlowLayout FlowLayoutOf(int pumpCInstalled, int ternaryGradient) {
    if (pumpCInstalled == 0) {
        return FlowLayout::NoPumpC;
    }
    return ternaryGradient != 0 ? FlowLayout::Ternary : FlowLayout::PostColumn;
}

std::vector<int> CheckFlowEntry(const FlowEntry& entry, FlowLayout layout) {
    std::vector<int> messages;
    if (!InFlowRange(entry.flow)) {
        messages.push_back(IDP_FLOW_RANGE);
    }
    const double sumAB = static_cast<double>(entry.percentA) + static_cast<double>(entry.percentB);
    switch (layout) {
    case FlowLayout::NoPumpC:
        if (!IsFullComposition(sumAB)) {
            messages.push_back(IDP_COMPOSITION_SUM);
        }
        break;
    case FlowLayout::Ternary:
        if (!IsFullComposition(sumAB + static_cast<double>(entry.third))) {
            messages.push_back(IDP_COMPOSITION_SUM);
        }
        break;
    case FlowLayout::PostColumn:
        if (!IsFullComposition(sumAB)) {
            messages.push_back(IDP_COMPOSITION_SUM);
        }
        if (!InFlowRange(entry.third)) {
            messages.push_back(IDP_FLOW_RANGE);
        }
        break;
    }
    return messages;
}
