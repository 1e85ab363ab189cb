// The main window under a receive flood: the PIC's side of a pseudo-terminal
// writes numbered lines as fast as it can while the window runs its event
// loop with the port open, exactly as a user would have it. The port is on
// the session's thread; the window's receive timer asks it to poll and
// shows what it reports.
//
// Runs of five seconds (the quick check, BM_WindowReceiveFlood/5000/...) and
// of the full minute (/60000/...), each in the text view (.../0) and in the
// hex view with timestamps (.../1), which shows a byte in three characters;
// pick with --benchmark_filter, as --benchmark_filter=/5000/. Reported:
//   peak_added_mb        how far the process's peak memory rose above what
//                        it used before the flood (target: 100 MB at most)
//   menu_click_max_ms    the longest a click on the Port menu, posted every
//                        quarter second from the flood's start until the
//                        newest line shows, waited until the menu opened
//                        (target: 200 ms at most); menu_click_avg_ms too
//   idle_click_max_ms    the same before the flood: what the machine's load
//                        alone costs
//   newest_shown         the receive window ends with the last line written
//                        (in hex: its last lines read back end with it)
//   settle_ms            how long after the flood that took
//   longest_poll_gap_ms  the longest gap between two ticks of the receive timer
//   window_cpu_pct       the CPU time of the window's thread (the session's
//                        own thread not counted)
//   lines_written        how many lines the flood got through
//   port_lost            the window closed the port on the way
#include "app/main_window.h"
#include "event_loop_wait.h"
#include "qt_bench_main.h"
#include "serial/port_session.h"
#include "serial/qt_serial_port.h"
#include "support/controls.h"
#include "support/pty_pair.h"
#include "support/scripted_prompts.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
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

// A figure of /proc/self/status ("VmRSS", "VmHWM") in megabytes.
double memoryMb(const QByteArray &field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

// Starts the peak (VmHWM) again from what is in use now.
void resetPeakMemory()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

// The bytes the last lines of the hex view show, read back.
QByteArray hexTail(const QString &shown)
{
    QByteArray bytes;
    for (const QString &line :
         shown.split(QLatin1Char('\n')).mid(std::max<qsizetype>(0, shown.count(QLatin1Char('\n')) - 3))) {
        const qsizetype colon = line.indexOf(QLatin1String(": "));
        if (colon >= 0)
            bytes += QByteArray::fromHex(line.mid(colon + 2).toLatin1());
    }
    return bytes;
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

// Clicks on a menu of the menu bar from another thread, every quarter second
// once the last click was answered, as clicks from the window system come
// whatever the window is doing; notes how long each waited until the menu
// opened.
class MenuClicker
{
public:
    MenuClicker(QMenuBar *bar, QMenu *menu)
        : bar_(bar), menu_(menu), at_(bar->actionGeometry(menu->menuAction()).center()),
          globalAt_(bar->mapToGlobal(at_))
    {
        QObject::connect(menu_, &QMenu::aboutToShow, menu_, [this] {
            if (!waiting_)
                return;
            const double ms = std::chrono::duration<double, std::milli>(Clock::now() - posted_).count();
            longestMs_ = std::max(longestMs_, ms);
            totalMs_ += ms;
            ++clicks_;
            QMetaObject::invokeMethod(menu_, &QMenu::close, Qt::QueuedConnection);
            waiting_ = false;
        });
    }
    ~MenuClicker() { stop(); }
    void start()
    {
        running_ = true;
        poster_ = std::thread([this] {
            while (running_) {
                std::this_thread::sleep_for(std::chrono::milliseconds(250));
                if (waiting_ || !running_)
                    continue;
                posted_ = Clock::now();
                waiting_ = true;
                for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
                    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
                    QCoreApplication::postEvent(bar_, new QMouseEvent(type, QPointF(at_), QPointF(globalAt_),
                                                                      Qt::LeftButton, held, Qt::NoModifier));
                }
            }
        });
    }
    void stop()
    {
        running_ = false;
        if (poster_.joinable())
            poster_.join();
    }
    double longestMs() const { return longestMs_; }
    double averageMs() const { return clicks_ ? totalMs_ / clicks_ : 0; }
    int clicks() const { return clicks_; }
    void forget()
    {
        longestMs_ = totalMs_ = 0;
        clicks_ = 0;
    }

private:
    using Clock = std::chrono::steady_clock;
    QMenuBar *bar_;
    QMenu *menu_;
    QPoint at_, globalAt_;
    std::thread poster_;
    std::atomic<bool> running_{false}, waiting_{false};
    Clock::time_point posted_; // written before waiting_ is set, read after
    double longestMs_ = 0, totalMs_ = 0;
    int clicks_ = 0;
};

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
    const bool hex = state.range(1) != 0;
    if (hex) {
        control<QAction>(&window, "termHex")->trigger();
        control<QAction>(&window, "termTimes")->trigger();
    }
    auto *timer = control<QTimer>(&window, "Timer1");
    auto *receiveText = control<QPlainTextEdit>(&window, "Text1");
    MenuClicker clicker(window.menuBar(), control<QMenu>(&window, "mnuPort"));

    double cpuMs = 0, wallMs = 0, longestGapMs = 0, peakAddedMb = 0, settleMs = 0;
    long linesWritten = 0;
    bool newestShown = true;
    double idleClickMaxMs = 0;
    for (auto _ : state) {
        runEventLoopFor(200); // the port menu's first look settles
        // The same clicks without a flood: what the machine's load alone costs.
        clicker.start();
        runEventLoopFor(2000);
        clicker.stop();
        runEventLoopUntil([&] { return !control<QMenu>(&window, "mnuPort")->isVisible(); }, 1000);
        idleClickMaxMs = std::max(idleClickMaxMs, clicker.longestMs());
        clicker.forget();
        const double usedBefore = memoryMb("VmRSS");
        resetPeakMemory();
        std::atomic<bool> stop{false}, writerDone{false};
        std::atomic<long> lines{0};
        std::thread writer([&] {
            // Lines in blocks, as a device that writes as fast as it can.
            QByteArray block;
            for (long n = 0; !stop; ++n) {
                block += QByteArray("line ") + QByteArray::number(n) + "\r\n";
                if (block.size() < 16384)
                    continue;
                pair.write(block);
                block.clear();
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
        clicker.start(); // until the newest line shows
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
        const QByteArray lastBytes = QStringLiteral("line %1\r\n").arg(lines.load()).toLatin1();
        const auto shown = [&] {
            return hex ? hexTail(receiveText->toPlainText()).endsWith(lastBytes)
                       : receiveText->toPlainText().endsWith(last);
        };
        QElapsedTimer settle;
        settle.start();
        runEventLoopUntil(shown, 300000);
        clicker.stop();
        runEventLoopUntil([&] { return !control<QMenu>(&window, "mnuPort")->isVisible(); }, 1000);
        settleMs += settle.elapsed();
        cpuMs += threadCpuMs() - cpuBefore;
        wallMs += wall.elapsed(); // the settling included
        longestGapMs = std::max(longestGapMs, gap);
        peakAddedMb = std::max(peakAddedMb, memoryMb("VmHWM") - usedBefore);
        linesWritten += lines.load() + 1;
        newestShown = newestShown && shown();
        QObject::disconnect(tick);
    }
    state.counters["peak_added_mb"] = peakAddedMb;
    state.counters["menu_click_max_ms"] = clicker.longestMs();
    state.counters["menu_click_avg_ms"] = clicker.averageMs();
    state.counters["menu_clicks"] = clicker.clicks();
    state.counters["idle_click_max_ms"] = idleClickMaxMs;
    state.counters["newest_shown"] = newestShown ? 1 : 0;
    state.counters["settle_ms"] = settleMs;
    state.counters["longest_poll_gap_ms"] = longestGapMs;
    state.counters["window_cpu_pct"] = 100.0 * cpuMs / std::max(wallMs, 1.0);
    state.counters["lines_written"] = static_cast<double>(linesWritten);
    state.counters["text1_chars"] = static_cast<double>(receiveText->toPlainText().size());
    // The window closed the port on a failure it saw (prompts.messages says which).
    state.counters["port_lost"] = indicator->text() == QLatin1String("OFF") ? 1 : 0;
    clickButton(&window, "cmdcomm");
    qunsetenv("VOXCEL_COM1");
}

BENCHMARK(BM_WindowReceiveFlood)
    ->ArgsProduct({{5000, 60000}, {0, 1}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    return runWidgetBenchmarks(argc, argv);
}
