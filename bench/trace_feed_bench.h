#pragma once

// What feeding the pressure trace and the event log adds to each status refresh: one good read
// handed to both docks, with their histories already full so that every tick also drops the
// oldest point. Compare with the RefreshTick benchmarks of the same run. The chart's redraw,
// which the event loop runs after the read, is measured on its own (WithChartRedraw).
void RegisterTraceFeedBenchmarks();
