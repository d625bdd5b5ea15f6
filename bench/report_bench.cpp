// The service report of a long service history: 10 000 entries, each different, laid out and
// written as a PDF, and the same history as a flapping state that condenses.
//   QT_QPA_PLATFORM=offscreen build-rel/bin/orvix-report-bench
#include "report_document.h"
#include "run_benchmarks.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTimeZone>

#include <benchmark/benchmark.h>

namespace {

constexpr int kEntries = 10'000;
constexpr std::int64_t kStartMs = 1'796'800'000'000;
constexpr std::int64_t kEntryEveryMs = 60'000;

ServiceReport ReportWithHistory(bool flapping) {
    ServiceReport report;
    report.writtenUtc =
        QDateTime::fromMSecsSinceEpoch(kStartMs + kEntries * kEntryEveryMs, QTimeZone::utc());
    report.historySinceUtc = QDateTime::fromMSecsSinceEpoch(kStartMs, QTimeZone::utc());
    for (int i = 0; i < kEntries; ++i) {
        const QString text = flapping
                                 ? QStringLiteral("State: Error")
                                 : QStringLiteral("Change Flow: %1 \u00B5L/min, 60.0 %A1").arg(i);
        report.history.push_back(
            {QDateTime::fromMSecsSinceEpoch(kStartMs + i * kEntryEveryMs, QTimeZone::utc()),
             QStringLiteral("Action"), QStringLiteral("service"), QStringLiteral("lab-pc-3"),
             QStringLiteral("OX2-0421-17"), text});
    }
    return report;
}

void WriteReport(benchmark::State& state, bool flapping) {
    const ServiceReport report = ReportWithHistory(flapping);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    for (auto _ : state) {
        QString error;
        if (!WriteServiceReport(report, path, &error)) {
            state.SkipWithError(error.toUtf8().constData());
        }
    }
}

void TenThousandDistinctEntries(benchmark::State& state) {
    WriteReport(state, false);
}

void TenThousandRepeatedEntries(benchmark::State& state) {
    WriteReport(state, true);
}

} // namespace

BENCHMARK(TenThousandDistinctEntries)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(TenThousandRepeatedEntries)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    return RunBenchmarks(argc, argv);
}
