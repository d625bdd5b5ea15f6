#include "refresh_tick_bench.h"

#include "orvix_client_view.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <utility>
#include <vector>

namespace {

double Percentile(std::vector<double>& sorted, double fraction) {
    const auto rank = static_cast<std::size_t>(std::ceil(fraction * sorted.size()));
    return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

void RefreshTick(benchmark::State& state, const ServerFactory& factory) {
    IInstrumentServer* server = factory();
    if (server == nullptr) {
        state.SkipWithError("no instrument server");
        return;
    }
    IInstrumentServer* previous = std::exchange(g_pServer, server);
    std::vector<double> ticks;
    {
        COrvixClientView view;
        view.OnInitialUpdate();
        view.show();
        for (auto _ : state) {
            const auto start = std::chrono::steady_clock::now();
            view.OnTimer();
            const auto end = std::chrono::steady_clock::now();
            ticks.push_back(std::chrono::duration<double, std::micro>(end - start).count());
        }
    }
    g_pServer = previous;
    server->Release();

    std::sort(ticks.begin(), ticks.end());
    if (!ticks.empty()) {
        state.counters["median_us"] = Percentile(ticks, 0.5);
        state.counters["p99_us"] = Percentile(ticks, 0.99);
    }
}

} // namespace

void RegisterRefreshTickBenchmark(const std::string& name, ServerFactory factory) {
    benchmark::RegisterBenchmark(name.c_str(), [factory =
                                                    std::move(factory)](benchmark::State& state) {
        RefreshTick(state, factory);
    })->Unit(benchmark::kMicrosecond);
}
