// Pacing accuracy and receive load over a pseudo-terminal.
//
// BM_PictureTransmission sends a picture's transmission text (start-up
// settings: prefix, 64 pieces of 32 digits behind "]") with the default
// xmit delay of 20 ms through the real port layer at 9600 baud, with the
// plain sleep and with the window's repainting one. On the PIC's side it
// measures the silence before each "]" on the modelled 9600 baud wire as
// voxcel-picsim does, and from the hand-over of the characters before
// (target: never under 20 ms), and the whole send against its floor, the
// line's time for every character plus the 64 delays (target: within 3 %).
//
// BM_ReceiveFlood has the PIC's side write as fast as it can for two
// seconds while the window's thread runs its event loop and polls every
// 50 ms through the receive window's rule: the CPU time that thread uses,
// the longest poll and the longest gap between polls (responsiveness), and
// whether the newest text ends up shown.

#include "app/transmission_guard.h"
#include "picsim/pic_line.h"
#include "serial/pacing.h"
#include "serial/qt_serial_port.h"
#include "serial/receive_window.h"
#include "support/pty_pair.h"
#include "support/sample_transmission.h"
#include "support/stamping_port.h"

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
    static constexpr int DelayMs = 20;
    const bool repainting = state.range(0) != 0;
    const QString text = pictureTransmission();
    PtyPair pair;
    pair.startReading();
    qputenv("VOXCEL_COM1", pair.slavePath().toLocal8Bit());
    QtSerialPort serial;
    serial.setSettings(QStringLiteral("9600,n,8,1"));
    serial.setOpen(true);
    StampingPort port(serial);
    const LineDuration characterTime = port.characterTime();

    std::vector<double> silences;       // before each "]", on the modelled wire
    std::vector<double> sentSilences;   // the same from the hand-over of the characters before
    std::vector<double> sleepOvershoot; // the sleep call itself
    std::vector<double> totals;
    TransmissionGuard guard(nullptr); // the window's sleep, which repaints
    auto timedSleep = [&](LineTime deadline) {
        if (repainting)
            guard.sleepUntil(deadline);
        else
            sleepUntil(deadline);
        sleepOvershoot.push_back(std::chrono::duration<double, std::milli>(Clock::now() - deadline).count());
    };

    for (auto _ : state) {
        pair.clearReceived();
        port.handedOver.clear();
        const auto start = Clock::now();
        sendPaced(
            text, QStringLiteral("]"), [] { return std::optional<int>(DelayMs); }, port, timedSleep);
        totals.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        if (!pair.waitForBytes(static_cast<std::size_t>(text.size()), 10000)) {
            state.SkipWithError("the transmission did not arrive");
            break;
        }
        // Judged as voxcel-picsim does: the arrivals on a 9600 baud wire.
        PicLine line(QStringLiteral("]"), -1);
        for (const auto &b : pair.received())
            line.receive(QByteArray(1, b.byte), b.arrival, characterTime);
        line.endPicture();
        const std::vector<PicLine::Picture> pictures = line.takeEnded();
        for (const auto &pause : pictures.front().receiver.pauses())
            silences.push_back(pause.ms);
        // The kernel passes pseudo-terminal output on from a worker thread,
        // on a busy machine now and then a scheduler tick late; a piece that
        // arrives late shortens the silence measured after it. Counted from
        // the hand-over of the characters before, a late arrival can only
        // lengthen it: a true lower bound of what the program gave.
        LineModel wire(characterTime);
        const auto received = pair.received();
        for (std::size_t i = 0; i < received.size(); ++i) {
            if (received[i].byte == ']' && wire.idleAt())
                sentSilences.push_back(millisecondsBetween(*wire.idleAt(), received[i].arrival));
            wire.take(port.handedOver[i]);
        }
    }

    // The least a send can take that gives every pause: the line's time for
    // every character and the delay before each "]".
    const double floorMs =
        std::chrono::duration<double, std::milli>(pacedSendTime(text, QStringLiteral("]"), DelayMs, characterTime))
            .count();
    state.counters["silence_shortest_ms"] = silences.empty() ? 0 : *std::min_element(silences.begin(), silences.end());
    state.counters["silence_median_ms"] = median(silences);
    state.counters["silence_shortest_sent_ms"] =
        sentSilences.empty() ? 0 : *std::min_element(sentSilences.begin(), sentSilences.end());
    state.counters["sleep_overshoot_median_ms"] = median(sleepOvershoot);
    state.counters["sleep_overshoot_worst_ms"] =
        sleepOvershoot.empty() ? 0 : *std::max_element(sleepOvershoot.begin(), sleepOvershoot.end());
    state.counters["total_ms"] = median(totals);
    state.counters["floor_ms"] = floorMs;
    state.counters["total_over_floor_pct"] = (median(totals) / floorMs - 1.0) * 100.0;
    qunsetenv("VOXCEL_COM1");
}
// 0: the plain sleep of voxcel-convert; 1: the window's repainting sleep.
BENCHMARK(BM_PictureTransmission)
    ->ArgName("repainting")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

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
        // comes) and the receive poll runs every 50 ms through the receive rule.
        QString shown = WaitingText;
        QEventLoop loop;
        QTimer pollTimer;
        pollTimer.setInterval(50);
        Clock::time_point start;
        Clock::time_point lastTick;
        int emptyPolls = 0;
        QObject::connect(&pollTimer, &QTimer::timeout, [&] {
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
        pollTimer.start();
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
