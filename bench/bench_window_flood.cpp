// The main window under a receive flood: the PIC's side of a pseudo-terminal
// writes numbered lines as fast as it can while the window runs its event
// loop with the port open, exactly as a user would have it. The port is on
// the session's thread; the window's receive timer asks it to poll and
// shows what it reports. Reported: the CPU time the window's thread used
// (the session's own thread not counted), the longest gap between two
// ticks of the receive timer (how long the window could not react),
// whether the newest line is what the receive window shows at the end, and
// whether the window lost the port on the way (then nothing newer shows).
#include "app/main_window.h"
#include "event_loop_wait.h"
#include "qt_bench_main.h"
#include "serial/port_session.h"
#include "serial/qt_serial_port.h"
#include "support/controls.h"
#include "support/pty_pair.h"
#include "support/scripted_prompts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <atomic>
#include <ctime>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace {

double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// Reads the line from the window's end through the pair's own descriptor
// until done(): a writer blocked on a full line can then finish.
void drainLine(const PtyPair &pair, const std::atomic<bool> &done)
{
    char buffer[4096];
    while (!done) {
        pollfd fd{pair.slaveFd(), POLLIN, 0};
        if (::poll(&fd, 1, 10) > 0 && ::read(pair.slaveFd(), buffer, sizeof buffer) < 0)
            return;
    }
}

void BM_WindowReceiveFlood(benchmark::State &state)
{
    PtyPair pair;
    qputenv("VOXCEL_COM1", pair.slavePath().toLocal8Bit());
    ScriptedPrompts prompts;
    PortSession session([] { return std::make_unique<QtSerialPort>(); });
    MainWindow window(prompts, session);
    window.show();
    clickButton(&window, "cmdcomm");
    // The session answers from its thread; the indicator shows the answer.
    auto *indicator = control<QLabel>(&window, "comm");
    if (!runEventLoopUntil([indicator] { return indicator->text() == QLatin1String("ON"); }, 5000)) {
        state.SkipWithError("cannot open the pseudo-terminal");
        return;
    }
    auto *timer = control<QTimer>(&window, "Timer1");
    auto *receiveText = control<QPlainTextEdit>(&window, "Text1");

    double cpuMs = 0, wallMs = 0, longestGapMs = 0;
    bool newestShown = true;
    for (auto _ : state) {
        std::atomic<bool> stop{false}, writerDone{false};
        std::atomic<long> lines{0};
        std::thread writer([&] {
            for (long n = 0; !stop; ++n) {
                pair.write(QByteArray("line ") + QByteArray::number(n) + "\r\n");
                lines = n;
            }
            writerDone = true;
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
        runEventLoopFor(static_cast<int>(state.range(0)));
        stop = true;
        // A window that lost the port reads no more; the writer must not
        // wait for it forever.
        if (!runEventLoopUntil([&] { return writerDone.load(); }, 2000))
            drainLine(pair, writerDone);
        writer.join();
        // Let the last lines arrive and be shown.
        const QString last = QStringLiteral("line %1\n").arg(lines.load());
        runEventLoopUntil([&] { return receiveText->toPlainText().endsWith(last); }, 2000);
        cpuMs += threadCpuMs() - cpuBefore;
        wallMs += wall.elapsed(); // the settling included
        longestGapMs = std::max(longestGapMs, gap);
        newestShown = newestShown && receiveText->toPlainText().endsWith(last);
        QObject::disconnect(tick);
    }
    state.counters["window_cpu_pct"] = 100.0 * cpuMs / std::max(wallMs, 1.0);
    state.counters["longest_poll_gap_ms"] = longestGapMs;
    state.counters["newest_shown"] = newestShown ? 1 : 0;
    state.counters["text1_chars"] = static_cast<double>(receiveText->toPlainText().size());
    // The window closed the port on a failure it saw (prompts.messages says which).
    state.counters["port_lost"] = indicator->text() == QLatin1String("OFF") ? 1 : 0;
    clickButton(&window, "cmdcomm");
    qunsetenv("VOXCEL_COM1");
}

BENCHMARK(BM_WindowReceiveFlood)->Arg(2000)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    return runWidgetBenchmarks(argc, argv);
}
