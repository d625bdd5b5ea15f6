// Counting the lines of a 50 MB S-record file, as the upgrade wizard does before a download,
// against `wc -l` on the same file (a process of its own, as a shell would run it).

#include "line_count.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace {

constexpr std::int64_t kFileBytes = 50LL << 20;

// Records of 32 data bytes, as srec_cat writes them: 74 characters and a line end.
const QString& FirmwareFile() {
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString file = dir.filePath(QStringLiteral("firmware.s19"));
        std::ofstream out(file.toStdString(), std::ios::binary);
        char line[96];
        std::int64_t written = 0;
        for (unsigned address = 0; written < kFileBytes; address += 32) {
            const int n = std::snprintf(line, sizeof line, "S123%04X%064X%02X\n", address & 0xFFFFU,
                                        address, 0xAB);
            out.write(line, n);
            written += n;
        }
        return file;
    }();
    return path;
}

double Seconds(const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
}

// Processor time (user and system) of this process, or of its ended children: on a shared
// machine the fairer figure, as the wall clock also counts waiting for a core.
double ProcessorSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
}

void ReportProcessorTime(benchmark::State& state, double seconds) {
    state.counters["cpu_ms"] =
        benchmark::Counter(seconds * 1e3 / static_cast<double>(state.iterations()));
    state.SetBytesProcessed(state.iterations() * kFileBytes);
}

void BM_CountFileLines(benchmark::State& state) {
    const QString path = FirmwareFile();
    QString fault;
    const double start = ProcessorSeconds(RUSAGE_SELF);
    for (auto _ : state) {
        benchmark::DoNotOptimize(CountFileLines(path, fault));
    }
    ReportProcessorTime(state, ProcessorSeconds(RUSAGE_SELF) - start);
}
BENCHMARK(BM_CountFileLines)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WcDashL(benchmark::State& state) {
    const std::string path = FirmwareFile().toStdString();
    std::string wc = "wc";
    std::string flag = "-l";
    char* argv[] = {wc.data(), flag.data(), const_cast<char*>(path.c_str()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const double start = ProcessorSeconds(RUSAGE_CHILDREN);
    for (auto _ : state) {
        pid_t pid = 0;
        if (posix_spawnp(&pid, "wc", &actions, nullptr, argv, environ) != 0) {
            state.SkipWithError("wc cannot be started");
            break;
        }
        int status = 0;
        waitpid(pid, &status, 0);
    }
    posix_spawn_file_actions_destroy(&actions);
    ReportProcessorTime(state, ProcessorSeconds(RUSAGE_CHILDREN) - start);
}
BENCHMARK(BM_WcDashL)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
