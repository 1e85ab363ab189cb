// The main window while the PIC's end stops reading: the port is a
// pseudo-terminal whose far side nobody reads, its buffer filled up before,
// so the port's next write waits for room that never comes. Meanwhile keys
// are typed into the transmit box, one every 2 ms for 2 s, each a request
// to the session, and a 10 ms timer on the window's thread notes how late
// each of its ticks comes. Reported: the median and longest lateness
// (target: median 50 ms or less), the keys typed, whether the window still
// answers at once at the end, and when the window learnt the port was lost
// (the session gives up on a write after a few seconds).
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

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int TickMs = 10;
constexpr int KeyEveryMs = 2;

// Writes into the line towards the unread far side until the system takes
// no more, through a descriptor of the bench's own that never blocks.
qint64 fillLine(const PtyPair &pair)
{
    const int fd = ::open(pair.slavePath().toLocal8Bit().constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return -1;
    const QByteArray chunk(1024, 'x');
    qint64 written = 0;
    // The kernel moves what was written on from a worker; it is full once a
    // write after a pause still finds no room.
    for (int refusals = 0; refusals < 3;) {
        const ssize_t n = ::write(fd, chunk.constData(), static_cast<size_t>(chunk.size()));
        if (n > 0) {
            written += n;
            refusals = 0;
        } else if (n < 0 && errno == EAGAIN) {
            ++refusals;
            ::usleep(20000);
        } else if (errno != EINTR) {
            break;
        }
    }
    ::close(fd);
    return written;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void BM_WindowStalledPeer(benchmark::State &state)
{
    PtyPair pair; // its master side is never read
    qputenv("VOXCEL_COM1", pair.slavePath().toLocal8Bit());
    ScriptedPrompts prompts;
    PortSession session([] { return std::make_unique<QtSerialPort>(); });
    MainWindow window(prompts, session);
    window.show();
    QApplication::setActiveWindow(&window);
    auto *indicator = control<QLabel>(&window, "comm");
    auto *transmit = control<QPlainTextEdit>(&window, "Text2");
    const auto indicatorReads = [indicator](const char *text) {
        return [indicator, text] { return indicator->text() == QLatin1String(text); };
    };
    if (!QTest::qWaitForWindowActive(&window)) {
        state.SkipWithError("the window did not become active");
        return;
    }
    clickButton(&window, "cmdcomm");
    if (!runEventLoopUntil(indicatorReads("ON"), 5000)) {
        state.SkipWithError("cannot open the pseudo-terminal");
        return;
    }
    const qint64 filled = fillLine(pair);
    transmit->setFocus();

    std::vector<double> lateness;
    int keys = 0;
    QElapsedTimer sinceTick, sinceStart;
    QTimer ticker, typist;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(TickMs);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        lateness.push_back(sinceTick.nsecsElapsed() / 1e6 - TickMs);
        sinceTick.start();
    });
    typist.setTimerType(Qt::PreciseTimer);
    typist.setInterval(KeyEveryMs);
    QObject::connect(&typist, &QTimer::timeout, [&] {
        input::key(&window, Qt::Key_A);
        ++keys;
    });
    for (auto _ : state) {
        sinceStart.start();
        sinceTick.start();
        ticker.start();
        typist.start();
        runEventLoopFor(static_cast<int>(state.range(0)));
        typist.stop();
        ticker.stop();
    }

    // Still responsive: an event posted now is handled at once.
    QElapsedTimer answer;
    answer.start();
    bool answered = false;
    QTimer::singleShot(0, &window, [&answered] { answered = true; });
    const bool responsive = runEventLoopUntil([&answered] { return answered; }, 1000) && answer.elapsed() < 100;
    const bool lost = runEventLoopUntil(indicatorReads("OFF"), 10000);

    state.counters["lateness_median_ms"] = median(lateness);
    state.counters["lateness_max_ms"] = lateness.empty() ? 0 : *std::max_element(lateness.begin(), lateness.end());
    state.counters["keys_typed"] = keys;
    state.counters["responsive"] = responsive ? 1 : 0;
    state.counters["lost_after_s"] = lost ? sinceStart.nsecsElapsed() / 1e9 : -1;
    state.counters["prefilled_kB"] = filled / 1024.0;
    qunsetenv("VOXCEL_COM1");
}

BENCHMARK(BM_WindowStalledPeer)->Arg(2000)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    return runWidgetBenchmarks(argc, argv);
}
