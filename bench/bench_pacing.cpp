// Pacing accuracy and receive load over a pseudo-terminal.
//
// BM_PictureTransmission sends a picture's transmission text (start-up
// settings: prefix, 64 pieces of 32 digits behind "]") with the default
// xmit delay of 20 ms through the real port layer, and measures on the
// PIC's side how much longer than asked each pause was, and the whole send
// against 64 x 20 ms of sleeping.
//
// BM_ReceiveFlood has the PIC's side write as fast as it can for two
// seconds while the window's thread runs its event loop and polls every
// 50 ms through the receive window's rule: the CPU time that thread uses,
// the longest poll and the longest gap between polls (responsiveness), and
// whether the newest text ends up shown.

#include "picsim/pic_line.h"
#include "serial/pacing.h"
#include "serial/qt_serial_port.h"
#include "serial/receive_window.h"
#include "support/pty_pair.h"
#include "support/sample_transmission.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <ctime>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

double threadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

void BM_PictureTransmission(benchmark::State &state)
{
    const int delayMs = static_cast<int>(state.range(0));
    const QString text = pictureTransmission();
    PtyPair pair;
    pair.startReading();
    qputenv("VOXCEL_COM1", pair.slavePath().toLocal8Bit());
    QtSerialPort port;
    port.setOpen(true);

    std::vector<double> wireOvershoot;  // measured by the PIC's side
    std::vector<double> sleepOvershoot; // the sleep call itself
    std::vector<double> totals;
    double shortestPause = 1e9;
    auto timedSleep = [&](LineTime deadline) {
        sleepUntil(deadline);
        sleepOvershoot.push_back(std::chrono::duration<double, std::milli>(Clock::now() - deadline).count());
    };

    for (auto _ : state) {
        pair.clearReceived();
        const auto start = Clock::now();
        sendPaced(
            text, QStringLiteral("]"), [=] { return std::optional<int>(delayMs); }, port, timedSleep);
        totals.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        if (!pair.waitForBytes(static_cast<std::size_t>(text.size()), 10000)) {
            state.SkipWithError("the transmission did not arrive");
            break;
        }
        PicLine line(QStringLiteral("]"), -1);
        for (const auto &b : pair.received())
            line.receive(QByteArray(1, b.byte), b.arrival, LineDuration::zero());
        line.endPicture();
        for (const auto &pause : line.takeEnded().front().receiver.pauses()) {
            wireOvershoot.push_back(pause.ms - delayMs);
            shortestPause = std::min(shortestPause, pause.ms);
        }
    }

    const double sleeps = 64.0 * delayMs;
    state.counters["pause_overshoot_median_ms"] = median(wireOvershoot);
    state.counters["pause_overshoot_worst_ms"] =
        wireOvershoot.empty() ? 0 : *std::max_element(wireOvershoot.begin(), wireOvershoot.end());
    state.counters["pause_shortest_ms"] = shortestPause;
    state.counters["sleep_overshoot_median_ms"] = median(sleepOvershoot);
    state.counters["sleep_overshoot_worst_ms"] =
        sleepOvershoot.empty() ? 0 : *std::max_element(sleepOvershoot.begin(), sleepOvershoot.end());
    state.counters["total_ms"] = median(totals);
    state.counters["sleeps_ms"] = sleeps;
    state.counters["total_over_sleeps_pct"] = (median(totals) / sleeps - 1.0) * 100.0;
    qunsetenv("VOXCEL_COM1");
}
BENCHMARK(BM_PictureTransmission)->Arg(20)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReceiveFlood(benchmark::State &state)
{
    const auto floodFor = std::chrono::milliseconds(state.range(0));
    PtyPair pair;
    qputenv("VOXCEL_COM1", pair.slavePath().toLocal8Bit());
    QtSerialPort port;
    port.setOpen(true);

    double cpuMs = 0;
    double wallMs = 0;
    double longestPollMs = 0;
    double longestTickGapMs = 0;
    qint64 bytesShown = 0;
    bool newestShown = true;
    for (auto _ : state) {
        std::atomic<bool> stop{false};
        std::atomic<bool> writerDone{false};
        QByteArray lastLine; // the writer's until it is joined
        // The PIC's side: numbered lines, as fast as the line takes them.
        std::thread writer([&] {
            QByteArray chunk;
            for (qint64 n = 0; !stop; ++n) {
                const QByteArray line = "reply " + QByteArray::number(n) + "\r\n";
                chunk += line;
                if (chunk.size() >= 4096) {
                    pair.write(chunk);
                    lastLine = line;
                    chunk.clear();
                }
            }
            writerDone = true;
        });

        // The window's side: the event loop runs (Qt reads the line as data
        // comes) and Timer1 polls every 50 ms through the receive rule.
        QString shown = WaitingText;
        QEventLoop loop;
        QTimer timer1;
        timer1.setInterval(50);
        Clock::time_point start;
        Clock::time_point lastTick;
        int emptyPolls = 0;
        QObject::connect(&timer1, &QTimer::timeout, [&] {
            const auto tick = Clock::now();
            longestTickGapMs =
                std::max(longestTickGapMs, std::chrono::duration<double, std::milli>(tick - lastTick).count());
            lastTick = tick;
            const QString received = port.input();
            shown = appendReceived(shown, received);
            longestPollMs =
                std::max(longestPollMs, std::chrono::duration<double, std::milli>(Clock::now() - tick).count());
            bytesShown += received.size();
            // After the flood, once the writer is done and nothing is left
            // (two empty polls: the kernel hands data on a little late).
            if (Clock::now() - start >= floodFor) {
                stop = true;
                emptyPolls = writerDone && received.isEmpty() ? emptyPolls + 1 : 0;
                if (emptyPolls == 2)
                    loop.quit();
            }
        });
        const double cpuStart = threadCpuMs();
        start = lastTick = Clock::now();
        timer1.start();
        loop.exec();
        writer.join();
        wallMs += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        cpuMs += threadCpuMs() - cpuStart;
        newestShown =
            newestShown && shown.endsWith(QString::fromLatin1(lastLine)) && shown.size() <= ReceiveWindowLimit;
    }

    state.counters["poll_cpu_ms"] = cpuMs / state.iterations();
    state.counters["poll_cpu_pct"] = cpuMs / wallMs * 100.0;
    state.counters["longest_poll_ms"] = longestPollMs;
    state.counters["longest_timer_gap_ms"] = longestTickGapMs;
    state.counters["received_MB_per_s"] = bytesShown / (wallMs / 1000.0) / 1e6;
    state.counters["newest_shown"] = newestShown ? 1 : 0;
    qunsetenv("VOXCEL_COM1");
}
BENCHMARK(BM_ReceiveFlood)->Arg(2000)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    // The serial port's notifiers want an application object.
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
