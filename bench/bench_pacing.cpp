// Pacing accuracy and receive load over a pseudo-terminal.
//
// BM_PictureTransmission sends a picture's transmission text (start-up
// settings: prefix, 64 pieces of 32 digits behind "]") with the default
// xmit delay of 20 ms through the real port layer at 9600 baud, two ways:
// sendPaced with the plain sleep on the calling thread, as voxcel-convert
// sends, and the window's way, a PortSession's send on its own thread, its
// end reported back by a queued signal. On the PIC's side it measures the
// silence before each "]" on the modelled 9600 baud wire as voxcel-picsim
// does, and from the hand-over of the characters before (target: never
// under 20 ms), and the whole send against its floor, the line's time for
// every character plus the 64 delays (target: within 1 %).
//
// BM_ReceiveFlood has the PIC's side write as fast as it can for two
// seconds while the thread that owns the port (the session's, in the
// window) runs its event loop and polls every 50 ms through the receive
// window's rule: the CPU time that thread uses, the longest poll and the
// longest gap between polls (responsiveness), and whether the newest text
// ends up shown.

#include "event_loop_wait.h"
#include "picsim/pic_line.h"
#include "serial/pacing.h"
#include "serial/port_session.h"
#include "serial/qt_serial_port.h"
#include "support/pty_pair.h"
#include "support/sample_transmission.h"
#include "support/stamping_port.h"
#include "terminal/receive_window.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <ctime>
#include <memory>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int DelayMs = 20;
const QString WaitText = QStringLiteral("]");
const QString LineSettingsText = QStringLiteral("9600,n,8,1");

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

double shortest(const std::vector<double> &values)
{
    return values.empty() ? 0 : *std::min_element(values.begin(), values.end());
}

double threadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

// sendPaced with the plain sleep on this thread, as voxcel-convert sends.
class DirectLine
{
public:
    DirectLine() : port_(std::make_unique<QtSerialPort>()) {}

    bool open()
    {
        try {
            port_.setSettings(LineSettingsText);
            port_.setOpen(true);
        } catch (const PortError &) {
            return false;
        }
        return true;
    }
    // The milliseconds the send took; nothing when it did not end as sent.
    std::optional<double> send(const QString &text)
    {
        const auto start = Clock::now();
        const PacedSendResult result = sendPaced({text, WaitText, DelayMs}, port_);
        if (result.end != PacedSendResult::End::Sent)
            return std::nullopt;
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    }
    StampingPort &port() { return port_; }

private:
    StampingPort port_;
};

// The window's way: the session sends on its own thread and reports the end
// through a queued signal, which this thread's event loop picks up.
class SessionLine
{
public:
    SessionLine()
        : session_([this] {
              auto port = std::make_unique<StampingPort>(std::make_unique<QtSerialPort>());
              port_ = port.get();
              return port;
          })
    {
        QObject::connect(&session_, &PortSession::opened, &session_, [this] { opened_ = true; });
        QObject::connect(&session_, &PortSession::sendFinished, &session_, [this](const PacedSendResult &result) {
            finishedAt_ = Clock::now();
            result_ = result;
        });
    }

    bool open()
    {
        session_.open(1, LineSettingsText);
        return runEventLoopUntil([this] { return opened_; }, 5000);
    }
    std::optional<double> send(const QString &text)
    {
        result_.reset();
        const auto start = Clock::now();
        session_.send({text, WaitText, DelayMs});
        if (!runEventLoopUntil([this] { return result_.has_value(); }, 30000) ||
            result_->end != PacedSendResult::End::Sent)
            return std::nullopt;
        return std::chrono::duration<double, std::milli>(finishedAt_ - start).count();
    }
    // Made on the session's thread before opened(); its stamps are complete
    // once sendFinished() has arrived here.
    StampingPort &port() { return *port_; }

private:
    StampingPort *port_ = nullptr;
    bool opened_ = false;
    std::optional<PacedSendResult> result_;
    Clock::time_point finishedAt_;
    PortSession session_; // last: its thread ends before the members above go
};

template <typename Line> void measureTransmission(benchmark::State &state, PtyPair &pair, Line &line)
{
    const QString text = pictureTransmission();
    if (!line.open()) {
        state.SkipWithError("cannot open the pseudo-terminal");
        return;
    }
    const LineDuration characterTime = ::characterTime(*parseLineSettings(LineSettingsText));

    std::vector<double> silences;     // before each "]", on the modelled wire
    std::vector<double> sentSilences; // the same from the hand-over of the characters before
    std::vector<double> totals;
    for (auto _ : state) {
        pair.clearReceived();
        line.port().handedOver.clear();
        const std::optional<double> total = line.send(text);
        if (!total) {
            state.SkipWithError("the send did not end as sent");
            return;
        }
        totals.push_back(*total);
        if (!pair.waitForBytes(static_cast<std::size_t>(text.size()), 10000)) {
            state.SkipWithError("the transmission did not arrive");
            return;
        }
        // Judged as voxcel-picsim does: the arrivals on a 9600 baud wire.
        PicLine picLine(WaitText, -1);
        const auto received = pair.received();
        for (const auto &b : received)
            picLine.receive(QByteArray(1, b.byte), b.arrival, characterTime);
        picLine.endPicture();
        const std::vector<PicLine::Picture> pictures = picLine.takeEnded();
        for (const auto &pause : pictures.front().receiver.pauses())
            silences.push_back(pause.ms);
        // The kernel passes pseudo-terminal output on from a worker thread,
        // on a busy machine now and then a scheduler tick late; a piece that
        // arrives late shortens the silence measured after it. Counted from
        // the hand-over of the characters before, a late arrival can only
        // lengthen it: a true lower bound of what the program gave.
        const auto &handedOver = line.port().handedOver;
        LineModel wire(characterTime);
        for (std::size_t i = 0; i < received.size() && i < handedOver.size(); ++i) {
            if (received[i].byte == ']' && wire.idleAt())
                sentSilences.push_back(millisecondsBetween(*wire.idleAt(), received[i].arrival));
            wire.take(handedOver[i]);
        }
    }

    // The least a send can take that gives every pause: the line's time for
    // every character and the delay before each "]".
    const double floorMs =
        std::chrono::duration<double, std::milli>(pacedSendTime(text, WaitText, DelayMs, characterTime)).count();
    state.counters["silence_shortest_ms"] = shortest(silences);
    state.counters["silence_median_ms"] = median(silences);
    state.counters["silence_shortest_sent_ms"] = shortest(sentSilences);
    state.counters["total_ms"] = median(totals);
    state.counters["floor_ms"] = floorMs;
    state.counters["total_over_floor_pct"] = (median(totals) / floorMs - 1.0) * 100.0;
}

void BM_PictureTransmission(benchmark::State &state)
{
    PtyPair pair;
    pair.startReading();
    qputenv("VOXCEL_COM1", pair.slavePath().toLocal8Bit());
    if (state.range(0) == 0) {
        DirectLine line;
        measureTransmission(state, pair, line);
    } else {
        SessionLine line;
        measureTransmission(state, pair, line);
    }
    qunsetenv("VOXCEL_COM1");
}
// 0: the plain sleep of voxcel-convert; 1: the window's PortSession.
BENCHMARK(BM_PictureTransmission)
    ->ArgName("session")
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
