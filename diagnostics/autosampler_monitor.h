#pragma once

// The instrument's autosampler monitor is switched only when its state changes: pages that
// watch the autosampler switch it on when they become active, every other page switches it
// off. The process-wide flag remembers the last state sent, across sheets.
void MonitorOn();
void MonitorOff();
