#include "fake_instrument_server.h"
#include "refresh_tick_bench.h"
#include "run_benchmarks.h"
#include "simulator_process.h"
#include "trace_feed_bench.h"

#include <QApplication>

#include <benchmark/benchmark.h>

namespace {

InstrumentStatus StatusWith(float flow, std::int32_t state) {
    InstrumentStatus status{};
    status.nState = state;
    status.nInjectValve = state % 2 + 1;
    status.nReservoir = state % 3 + 1;
    status.nStreamValve = state % 2 + 1;
    status.nVentValve = state % 2;
    status.fFlowRate = flow;
    status.fPercentA = 60.0F + flow;
    status.fPercentB = 40.0F - flow;
    status.fPercentC = flow;
    status.fPressure = 1200.0F + 10.0F * flow;
    status.fAuxFlowRate = flow / 2.0F;
    status.fAuxPressure = 300.0F + flow;
    status.fColumnTempSet = 35.0F + flow;
    status.fColumnTempActual = 34.0F + flow;
    status.fSampleTempSet = 4.0F + flow;
    status.fSampleTempActual = 5.0F + flow;
    return status;
}

// The recording fake in this process, with every option fitted. It answers two statuses in
// turn, so that every field changes on every tick: a label given its own text again skips the
// work the benchmark is there to measure.
IInstrumentServer* MakeInProcessFake() {
    CFakeInstrumentServer* fake = CFakeInstrumentServer::Create();
    fake->configuration.bPumpCInstalled = 1;
    fake->configuration.bTernaryGradient = 1;
    fake->configuration.bSampleTemp = 1;
    fake->configuration.bPlateFeeder = 1;
    fake->status = StatusWith(5.0F, 3);
    fake->onCall = [fake, odd = false](const std::string& operation) mutable {
        // The call log would otherwise grow with every iteration.
        fake->calls.clear();
        if (operation == "ReadStatus") {
            odd = !odd;
            fake->status = odd ? StatusWith(7.5F, 6) : StatusWith(5.0F, 3);
            fake->statusMessage = odd ? "Running" : "Ready";
        }
    };
    return fake;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    RegisterRefreshTickBenchmark("RefreshTick/InProcessFake", MakeInProcessFake);
    // As the client runs: the proxy over the session bus to the simulated instrument in its own
    // process, on its real clock, so the pressure moves from tick to tick as on an instrument.
    CSimulatorProcess simulator;
    RegisterRefreshTickBenchmark("RefreshTick/ProxyToSimulator",
                                 [&simulator] { return simulator.CreateProxy(); });
    RegisterTraceFeedBenchmarks();
    return RunBenchmarks(argc, argv);
}
