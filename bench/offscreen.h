#pragma once

// What the benchmarks of real windows share: an offscreen application around
// the run, and windows closed and freed between timings.

#include <QApplication>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <functional>

// Runs the benchmarks the command line names in an offscreen application;
// beforeQuit frees what must go before the application (a program's windows).
inline int runOffscreen(int argc, char** argv, const std::function<void()>& beforeQuit = {})
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (beforeQuit)
        beforeQuit();
    return 0;
}

inline void closeWindow(QWidget* w)
{
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
