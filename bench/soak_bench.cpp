// A long run of the status refresh through the proxy against the simulated instrument: every
// block the server handed out must have been given back, and resident memory must stay flat.
// Needs a bus: dbus-run-session -- build/bin/orvix-soak-bench
#include "orvix_client_view.h"
#include "process_state.h"
#include "run_benchmarks.h"
#include "simulator_process.h"
#include "task_allocator.h"

#include <QApplication>
#include <QFile>

#include <benchmark/benchmark.h>

#include <unistd.h>
#include <utility>

namespace {

constexpr benchmark::IterationCount kTicks = 100000;
// Heaps and caches settle over the first ticks; growth is measured from here on.
constexpr benchmark::IterationCount kWarmUpTicks = 1000;

double ResidentKiB() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) {
        return 0.0;
    }
    const QList<QByteArray> fields = statm.readAll().split(' ');
    const double pages = fields.size() > 1 ? fields[1].toDouble() : 0.0;
    return pages * static_cast<double>(::sysconf(_SC_PAGESIZE)) / 1024.0;
}

void Soak(benchmark::State& state, CSimulatorProcess* simulator) {
    const std::int64_t blocksBefore = CoTaskMemLiveBlocks();
    IInstrumentServer* server = simulator->CreateProxy();
    if (server == nullptr) {
        state.SkipWithError("no instrument server");
        return;
    }
    IInstrumentServer* previous = std::exchange(g_pServer, server);
    // The syringe record is fetched on every tick too, as while the Silk page has been open:
    // the page enabled the fetch on the instrument.
    server->EnableSyringeData(1);
    g_state.syringeDataFlag = 1;
    double startKiB = 0.0;
    double endKiB = 0.0;
    {
        COrvixClientView view;
        view.OnInitialUpdate();
        benchmark::IterationCount tick = 0;
        for (auto _ : state) {
            view.OnTimer();
            // What the window's event loop does between ticks.
            QCoreApplication::processEvents();
            if (++tick == kWarmUpTicks) {
                startKiB = ResidentKiB();
            }
        }
        endKiB = ResidentKiB();
    }
    g_pServer = previous;
    server->Release();
    ResetProcessState();
    state.counters["blocks_left"] = static_cast<double>(CoTaskMemLiveBlocks() - blocksBefore);
    state.counters["rss_start_KiB"] = startKiB;
    state.counters["rss_end_KiB"] = endKiB;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    CSimulatorProcess simulator;
    benchmark::RegisterBenchmark("Soak/ProxyToSimulator", Soak, &simulator)
        ->Iterations(kTicks)
        ->Unit(benchmark::kMicrosecond);
    return RunBenchmarks(argc, argv);
}
