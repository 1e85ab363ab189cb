// The main window under a receive flood: the PIC's side of a pseudo-terminal
// writes numbered lines as fast as it can while the window runs its event
// loop with the port open, exactly as a user would have it. Reported: the
// CPU time the window's thread used, the longest gap between two receive
// polls (how long the window could not react), and whether the newest line
// is what the receive window shows at the end.
#include "app/main_window.h"
#include "qt_bench_main.h"
#include "serial/qt_serial_port.h"
#include "support/controls.h"
#include "support/pty_pair.h"
#include "support/scripted_prompts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <atomic>
#include <ctime>
#include <thread>

namespace {

double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

void BM_WindowReceiveFlood(benchmark::State &state)
{
    PtyPair pair;
    qputenv("VOXCEL_COM1", pair.slavePath().toLocal8Bit());
    ScriptedPrompts prompts;
    QtSerialPort port;
    MainWindow window(prompts, port);
    window.show();
    clickButton(&window, "cmdcomm");
    if (!port.isOpen()) {
        state.SkipWithError("cannot open the pseudo-terminal");
        return;
    }
    auto *timer = control<QTimer>(&window, "Timer1");
    auto *receiveText = control<QPlainTextEdit>(&window, "Text1");

    double cpuMs = 0, wallMs = 0, longestGapMs = 0;
    bool newestShown = true;
    for (auto _ : state) {
        std::atomic<bool> stop{false};
        std::atomic<long> lines{0};
        std::thread writer([&] {
            for (long n = 0; !stop; ++n) {
                pair.write(QByteArray("line ") + QByteArray::number(n) + "\r\n");
                lines = n;
            }
        });

        QElapsedTimer sinceTick;
        sinceTick.start();
        double gap = 0;
        const auto tick = QObject::connect(timer, &QTimer::timeout, [&] {
            gap = std::max(gap, sinceTick.nsecsElapsed() / 1e6);
            sinceTick.start();
        });
        const double cpuBefore = threadCpuMs();
        QElapsedTimer wall;
        wall.start();
        while (wall.elapsed() < state.range(0))
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        stop = true;
        writer.join();
        // Let the last lines arrive and be shown.
        QElapsedTimer settle;
        settle.start();
        const QByteArray last = "line " + QByteArray::number(lines.load()) + "\n";
        while (settle.elapsed() < 2000 && !receiveText->toPlainText().endsWith(QString::fromLatin1(last)))
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        cpuMs += threadCpuMs() - cpuBefore;
        wallMs += wall.elapsed() + settle.elapsed();
        longestGapMs = std::max(longestGapMs, gap);
        newestShown = newestShown && receiveText->toPlainText().endsWith(QString::fromLatin1(last));
        QObject::disconnect(tick);
    }
    state.counters["window_cpu_pct"] = 100.0 * cpuMs / std::max(wallMs, 1.0);
    state.counters["longest_poll_gap_ms"] = longestGapMs;
    state.counters["newest_shown"] = newestShown ? 1 : 0;
    state.counters["text1_chars"] = static_cast<double>(receiveText->toPlainText().size());
    clickButton(&window, "cmdcomm");
    qunsetenv("VOXCEL_COM1");
}

BENCHMARK(BM_WindowReceiveFlood)->Arg(2000)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    return runWidgetBenchmarks(argc, argv);
}
