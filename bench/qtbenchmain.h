#pragma once

#include <QApplication>

#include <benchmark/benchmark.h>

// Benchmarks of widgets need a QApplication; they run on the offscreen
// platform unless QT_QPA_PLATFORM says otherwise. Every benchmark repeats
// its measurement and reports the median.
#define PLINTHOS_BENCHMARK_MAIN()                                                                  \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                                        \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                               \
        QApplication app(argc, argv);                                                              \
        benchmark::Initialize(&argc, argv);                                                        \
        benchmark::RunSpecifiedBenchmarks();                                                       \
        benchmark::Shutdown();                                                                     \
        return 0;                                                                                  \
    }

// Ten repetitions, reported as their median (and mean and spread).
inline void medianOfTen(benchmark::internal::Benchmark *benchmark)
{
    benchmark->Repetitions(10)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);
}
