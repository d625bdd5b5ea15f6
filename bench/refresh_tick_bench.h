#pragma once

#include "instrument_server.h"

#include <functional>
#include <string>

// Makes the instrument server that a benchmark runs against, with one reference for the
// benchmark to release; null when none can be reached.
using ServerFactory = std::function<IInstrumentServer*()>;

// One status view refresh (ReadStatus, formatting, setting every field) per iteration, against
// the server the factory makes. Reports the median and the 99th percentile of single ticks, in
// microseconds, as the counters median_us and p99_us.
void RegisterRefreshTickBenchmark(const std::string& name, ServerFactory factory);
