// From nothing to the first paint of the main window, offscreen: the
// construction of every control, the load step (which looks up the serial
// devices for the port tooltips) and the first paint. The window is built
// on a serial session made beforehand, as main() makes it, so the session's
// thread is not counted. Target: 80 ms or less on a 2-core machine.
#include "app/main_window.h"
#include "qt_bench_main.h"
#include "serial/port_session.h"
#include "serial/qt_serial_port.h"
#include "support/scripted_prompts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <benchmark/benchmark.h>

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

BENCHMARK(BM_FirstWindowStart)->Iterations(1)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_WindowStart)->Iterations(20)->Unit(benchmark::kMillisecond)->UseManualTime();

} // namespace

int main(int argc, char **argv)
{
    return runWidgetBenchmarks(argc, argv);
}
