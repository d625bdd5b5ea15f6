#include "autosampler_monitor.h"

#include "instrument_server.h"
#include "process_state.h"
#include "resource.h"

// The result is not examined: the flag records what was asked for.
void MonitorOn() {
    if (!g_state.autoSamplerMonitor) {
        g_pServer->SetAutoSamplerMonitor(kAutoSamplerMonitorOn);
        g_state.autoSamplerMonitor = true;
    }
}

void MonitorOff() {
    if (g_state.autoSamplerMonitor) {
        g_pServer->SetAutoSamplerMonitor(0);
        g_state.autoSamplerMonitor = false;
    }
}
