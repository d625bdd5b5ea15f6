// Throughput of the simulated instrument: calls per second answered through the bus by the
// real server process, the same operation in-process, and S-record lines checked per second,
// from memory and streamed from a file by the firmware download.

#include "firmware.h"
#include "instrument_bus.h"
#include "instrument_proxy.h"
#include "non_volatile_memory.h"
#include "record_memory.h"
#include "simulated_server.h"
#include "srecord.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <string>
#include <sys/prctl.h>
#include <vector>

namespace {

// The server process on a bus of the benchmark's own.
struct ServedInstrument {
    QProcess daemon;
    QProcess server;
    QTemporaryDir home;
    QString connectionName = QStringLiteral("bench");
    CInstrumentServerProxy* proxy = nullptr;

    bool Start() {
        daemon.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        daemon.start(QStringLiteral("dbus-daemon"),
                     {QStringLiteral("--session"), QStringLiteral("--nofork"),
                      QStringLiteral("--print-address")});
        if (!daemon.waitForReadyRead(5000)) {
            return false;
        }
        const QString address = QString::fromUtf8(daemon.readLine()).trimmed();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
        environment.insert(QStringLiteral("XDG_STATE_HOME"), home.path());
        server.setProcessEnvironment(environment);
        server.start(QCoreApplication::applicationDirPath() +
                         QStringLiteral("/orvix-instrument-server"),
                     {QStringLiteral("-Embedding")});
        QDBusConnection bus = QDBusConnection::connectToBus(address, connectionName);
        for (int i = 0; i < 250 && !bus.interface()->isServiceRegistered(kInstrumentServiceName);
             ++i) {
            QThread::msleep(20);
        }
        const QString owner = bus.interface()->serviceOwner(kInstrumentServiceName).value();
        if (owner.isEmpty()) {
            return false;
        }
        proxy = new CInstrumentServerProxy(bus, owner);
        return true;
    }

    void Stop() {
        if (proxy != nullptr) {
            proxy->Release();
        }
        QDBusConnection::disconnectFromBus(connectionName);
        daemon.kill();
        daemon.waitForFinished();
        server.waitForFinished(5000);
    }
};

ServedInstrument* g_served = nullptr;

void BM_BusIsInstrumentReady(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(g_served->proxy->IsInstrumentReady());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BusIsInstrumentReady)->UseRealTime();

void BM_BusReadStatus(benchmark::State& state) {
    for (auto _ : state) {
        InstrumentStatus* pStatus = nullptr;
        const HRESULT hr = g_served->proxy->ReadStatus(&pStatus);
        if (FAILED(hr)) {
            state.SkipWithError(("ReadStatus failed: " + HResultHex(hr)).c_str());
            break;
        }
        ReleaseInstrumentStatus(pStatus);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BusReadStatus)->UseRealTime();

void BM_InProcessReadStatus(benchmark::State& state) {
    CSimClock clock;
    CNonVolatileMemory memory;
    CSimulatedInstrumentServer* server = CSimulatedInstrumentServer::Create(clock, memory);
    for (auto _ : state) {
        InstrumentStatus* pStatus = nullptr;
        server->ReadStatus(&pStatus);
        ReleaseInstrumentStatus(pStatus);
    }
    server->Release();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_InProcessReadStatus);

// S3 records of 32 data bytes, as firmware images usually come, with their checksums.
std::vector<std::string> MakeRecords(int count) {
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(count));
    for (int n = 0; n < count; ++n) {
        unsigned sum = 37;
        char line[96];
        int at = std::snprintf(line, sizeof line, "S325");
        const unsigned address = static_cast<unsigned>(n) * 32U;
        unsigned char bytes[36];
        for (int i = 0; i < 4; ++i) {
            bytes[i] = static_cast<unsigned char>(address >> (24 - 8 * i));
        }
        for (int i = 4; i < 36; ++i) {
            bytes[i] = static_cast<unsigned char>(n * 7 + i);
        }
        for (unsigned char b : bytes) {
            sum += b;
            at += std::snprintf(line + at, sizeof line - static_cast<std::size_t>(at), "%02X", b);
        }
        std::snprintf(line + at, sizeof line - static_cast<std::size_t>(at), "%02X",
                      0xFFU - (sum & 0xFFU));
        lines.emplace_back(line);
    }
    return lines;
}

void BM_SRecordLinesChecked(benchmark::State& state) {
    const std::vector<std::string> lines = MakeRecords(10'000);
    for (auto _ : state) {
        CSRecordValidator validator;
        for (const std::string& line : lines) {
            if (validator.Feed(line)) {
                state.SkipWithError("a sound record was refused");
                return;
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(lines.size()));
}
BENCHMARK(BM_SRecordLinesChecked);

// Reading from the file, checking and counting, as a download at an unlimited rate does.
void BM_SRecordLinesStreamedFromFile(benchmark::State& state) {
    QTemporaryDir folder;
    const std::string path = folder.path().toStdString() + "/image.s19";
    const std::vector<std::string> lines = MakeRecords(100'000);
    {
        std::ofstream out(path);
        for (const std::string& line : lines) {
            out << line << '\n';
        }
    }
    for (auto _ : state) {
        CErrorLog errors;
        CFirmware firmware(errors);
        firmware.SetLinesPerSecond(CFirmware::kMaxLinesPerSecond);
        firmware.PrepareUpgrade();
        firmware.Advance(CFirmware::kRestartMs);
        firmware.Download(path);
        while (firmware.CurrentMode() == CFirmware::Mode::Downloading) {
            firmware.Advance(1);
        }
        if (errors.Pending() || firmware.LinesSent() != static_cast<std::int32_t>(lines.size())) {
            state.SkipWithError("the download did not complete");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(lines.size()));
}
BENCHMARK(BM_SRecordLinesStreamedFromFile)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    ServedInstrument served;
    if (!served.Start()) {
        std::fprintf(stderr, "the instrument server did not come up on a private bus\n");
        return 1;
    }
    g_served = &served;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    served.Stop();
    return 0;
}
