#pragma once

#include "twips.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>

#include <benchmark/benchmark.h>

// Benchmarks of widgets need a QApplication. Unless QT_QPA_PLATFORM says
// otherwise they run on the tests' offscreen platform, with screens at 96,
// 120, 144 and 192 dpi; as in the program, windows paint at their screen's
// own pixels. Every benchmark repeats its measurement and reports the median.
#define PLINTHOS_BENCHMARK_MAIN()                                                                  \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                                        \
            qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" PLINTHOS_OFFSCREEN_CONFIG);         \
        useDevicePixels();                                                                         \
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

// The offscreen screen at that device resolution and device pixel ratio
// (the primary one if there is none): 192 dpi at a ratio of 2 is the screen
// at 96 dpi x 2.
inline QScreen *benchmarkScreen(int dpi, qreal ratio = 1)
{
    for (QScreen *screen : QGuiApplication::screens()) {
        if (qRound(screen->logicalDotsPerInchY() * ratio) == dpi && qFuzzyCompare(screen->devicePixelRatio(), ratio))
            return screen;
    }
    return QGuiApplication::primaryScreen();
}

// Benchmarks that take a resolution run at 96 and at 144 dpi.
inline void atBothResolutions(benchmark::internal::Benchmark *benchmark)
{
    benchmark->ArgName("dpi")->Arg(96)->Arg(144);
}
