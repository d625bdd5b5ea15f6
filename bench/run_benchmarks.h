#pragma once

#include <benchmark/benchmark.h>

// The benchmark library's own main, once the caller has made its application object and
// registered what it runs beyond the BENCHMARK macros. Answers the exit code.
inline int RunBenchmarks(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
