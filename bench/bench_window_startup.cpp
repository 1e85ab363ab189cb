// Start-up, two ways.
// - The whole process, from its start to the first paint of its window:
//   voxcel against a bare Qt program that shows an empty QMainWindow,
//   built the same way (both in bench/CMakeLists.txt), run in turns. It
//   prints the ratio of their medians; target 1.3 or less. The same again
//   to the end of that first frame, when every control has been painted
//   (the bare window's frame ends with its paint).
// - In the process, from nothing to the first paint of the main window:
//   the construction of every control and the load step. The window is
//   built on a serial session made beforehand, as main() makes it, so the
//   session's thread is not counted. Target: 80 ms or less on a 2-core
//   machine.
#include "app/main_window.h"
#include "qt_bench_main.h"
#include "serial/port_session.h"
#include "serial/qt_serial_port.h"
#include "support/scripted_prompts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Notes the first paint of any widget.
class PaintWatch : public QObject
{
public:
    bool painted = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

// Seconds from the constructor to the first paint of any widget.
double startToFirstPaint(Prompts &prompts, PortSession &session)
{
    PaintWatch watch;
    qApp->installEventFilter(&watch);
    QElapsedTimer clock;
    clock.start();
    auto *window = new MainWindow(prompts, session);
    window->show();
    while (!watch.painted)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const double seconds = clock.nsecsElapsed() / 1e9;
    qApp->removeEventFilter(&watch);
    delete window;
    QCoreApplication::processEvents();
    return seconds;
}

// The first window of the process: fonts, styles and the serial device
// list are loaded cold, as when the user starts the program.
void BM_FirstWindowStart(benchmark::State &state)
{
    ScriptedPrompts prompts;
    PortSession session([] { return std::make_unique<QtSerialPort>(); });
    for (auto _ : state)
        state.SetIterationTime(startToFirstPaint(prompts, session));
}

// Later windows: what the program's own code costs.
void BM_WindowStart(benchmark::State &state)
{
    ScriptedPrompts prompts;
    PortSession session([] { return std::make_unique<QtSerialPort>(); });
    for (auto _ : state)
        state.SetIterationTime(startToFirstPaint(prompts, session));
}

// Milliseconds from starting the program to the line it writes at its
// first paint.
double processToFirstPaintMs(const QString &program, bool wholeFrame)
{
    QProcess process;
    if (wholeFrame) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("VOXCEL_PROBE_WHOLE_FRAME"), QStringLiteral("1"));
        process.setProcessEnvironment(environment);
    }
    QElapsedTimer clock;
    clock.start();
    process.start(program, {});
    while (!process.canReadLine() && process.state() != QProcess::NotRunning)
        process.waitForReadyRead(5000);
    const double ms = clock.nsecsElapsed() / 1e6;
    process.waitForFinished();
    return ms;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

void processStartRatio(benchmark::State &state, bool wholeFrame)
{
    std::vector<double> voxcel;
    std::vector<double> bare;
    std::vector<double> menuBar;
    for (auto _ : state) {
        // In turns, so a busy moment of the machine falls on all alike.
        bare.push_back(processToFirstPaintMs(QStringLiteral(BARE_WINDOW_FIRST_PAINT_BIN), wholeFrame));
        menuBar.push_back(processToFirstPaintMs(QStringLiteral(BARE_MENU_WINDOW_FIRST_PAINT_BIN), wholeFrame));
        voxcel.push_back(processToFirstPaintMs(QStringLiteral(VOXCEL_FIRST_PAINT_BIN), wholeFrame));
        state.SetIterationTime(voxcel.back() / 1000);
    }
    const double ratio = median(voxcel) / median(bare);
    state.counters["voxcel_ms"] = median(voxcel);
    state.counters["bare_ms"] = median(bare);
    state.counters["ratio"] = ratio;
    state.counters["menu_bar_window_ms"] = median(menuBar);
    const char *until = wholeFrame ? "end of first frame" : "first paint";
    std::printf("Start to %s: voxcel %.1f ms, bare QMainWindow %.1f ms, ratio %.2f%s\n", until, median(voxcel),
                median(bare), ratio, wholeFrame ? "" : " (target 1.3 or less)");
    std::printf("  the bare window with a one-entry menu bar, started as voxcel starts: %.1f ms, ratio %.2f to "
                "the bare one; voxcel is %.2f times it\n",
                median(menuBar), median(menuBar) / median(bare), median(voxcel) / median(menuBar));
}

void BM_ProcessStartRatio(benchmark::State &state)
{
    processStartRatio(state, false);
}

void BM_ProcessFirstFrameRatio(benchmark::State &state)
{
    processStartRatio(state, true);
}

BENCHMARK(BM_ProcessStartRatio)->Iterations(41)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_ProcessFirstFrameRatio)->Iterations(41)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_FirstWindowStart)->Iterations(1)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_WindowStart)->Iterations(20)->Unit(benchmark::kMillisecond)->UseManualTime();

} // namespace

int main(int argc, char **argv)
{
    return runWidgetBenchmarks(argc, argv);
}
