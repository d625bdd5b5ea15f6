#include "pump_mask.h"

#include "process_state.h"

std::int32_t BuildPumpMask(bool pumpA, bool pumpB, bool pumpC) {
    std::int32_t mask = 0;
    if (pumpA) {
        mask |= kPumpMaskA;
    }
    if (pumpB) {
        mask |= kPumpMaskB;
    }
    if (pumpC && g_state.pumpCInstalled == 1) {
        mask |= kPumpMaskC;
    }
    return mask;
}
