#include "trace_feed_bench.h"

#include "event_log_dock.h"
#include "pressure_trace_dock.h"
#include "records.h"

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

constexpr std::chrono::milliseconds kTick(2000);
// More ticks than the ten minutes hold, so the trace is full before the timing starts.
constexpr int kWarmUpTicks = 400;
constexpr std::int32_t kIdle = 3;
constexpr std::int32_t kRunning = 6;

struct Feed {
    bool shown;
    // Every tick a new state: the log grows by an entry each time (and drops one when full).
    bool stateChangesEveryTick;
    // The chart brought up to the trace at once, as the event loop does after each read.
    bool redraw;
};

void TraceFeed(benchmark::State& state, Feed feed) {
    std::int64_t now = QDateTime::currentMSecsSinceEpoch();
    auto clock = [&now] { return now; };
    CPressureTraceDock trace(kTick, nullptr, clock);
    CEventLogDock log(nullptr, clock);
    trace.setVisible(feed.shown);
    log.setVisible(feed.shown);

    InstrumentStatus status{};
    status.nState = kIdle;
    bool odd = false;
    auto tick = [&] {
        odd = !odd;
        status.fPressure = odd ? 1210.0F : 1190.0F;
        status.fAuxPressure = odd ? 305.0F : 295.0F;
        status.fFlowRate = odd ? 5.1F : 4.9F;
        if (feed.stateChangesEveryTick) {
            status.nState = odd ? kRunning : kIdle;
        }
        trace.OnStatusRead(status);
        log.OnStatusRead(status, QString());
        now += kTick.count();
        if (feed.redraw) {
            trace.RedrawChart();
        }
    };
    for (int i = 0; i < kWarmUpTicks; ++i) {
        tick();
    }
    for (auto _ : state) {
        tick();
    }
}

} // namespace

void RegisterTraceFeedBenchmarks() {
    benchmark::RegisterBenchmark("TraceFeed/DocksShown", TraceFeed, Feed{true, false, false})
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("TraceFeed/DocksShownStateChangeEveryTick", TraceFeed,
                                 Feed{true, true, false})
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("TraceFeed/DocksHidden", TraceFeed, Feed{false, false, false})
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("TraceFeed/DocksShownWithChartRedraw", TraceFeed,
                                 Feed{true, false, true})
        ->Unit(benchmark::kMicrosecond);
}
