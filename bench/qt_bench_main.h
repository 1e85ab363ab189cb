#pragma once

#include <QApplication>
#include <benchmark/benchmark.h>

// main() of a benchmark that needs widgets: offscreen unless a platform
// is asked for, then the registered benchmarks.
inline int runWidgetBenchmarks(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
