#include "process_state.h"

ProcessState g_state;

void ResetProcessState() {
    g_state = ProcessState{};
}
