#include "serial/pacing.h"

#include "text/decimal_text.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

namespace {

std::optional<double> nonNegativeDelay(const QString &text)
{
    const auto value = parseDecimal(text);
    if (!value || *value < 0.0)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<int> sendDelayFloor(const QString &text)
{
    const auto value = nonNegativeDelay(text);
    if (!value)
        return std::nullopt;
    const double whole = std::floor(*value);
    if (whole > MaxXmitDelayMs)
        return std::nullopt;
    return static_cast<int>(whole);
}

std::optional<int> pasteDelayNearestEven(const QString &text)
{
    const auto value = nonNegativeDelay(text);
    if (!value)
        return std::nullopt;
    const auto rounded = roundHalfEven(*value, 0, MaxXmitDelayMs);
    if (!rounded)
        return std::nullopt;
    return static_cast<int>(*rounded);
}

namespace {

// How much later than its model the line may go quiet before the port
// counts as stuck. Far more than scheduling and drivers ever add; a line
// this far behind does not send at its settings.
constexpr LineDuration DrainMargin = std::chrono::seconds(1);

// Waits until the line has sent everything handed over: first until the
// model says so, then until the system agrees where it can tell. Returns
// the moment the line went quiet.
LineTime waitForQuietLine(const LineModel &line, PortLayer &port, const SleepFunction &sleep,
                          const ClockFunction &clock)
{
    const LineTime idle = *line.idleAt();
    if (clock() < idle)
        sleep(idle);
    // A drain that found characters still held shows the line behind its
    // model: then it went quiet only now. One that found none tells nothing
    // new, and the model stands (adapters report "drained" while their own
    // buffer still holds data).
    if (port.drain(idle + DrainMargin))
        return std::max(idle, clock());
    return idle;
}

} // namespace

PacedSendResult sendPaced(const PacedSend &send, PortLayer &port, const PacingHooks &hooks,
                          const PacingProgress &progress)
{
    const QString &text = send.text;
    const QByteArray bytes = text.toLatin1(); // one byte per character, '?' beyond 8 bits
    const bool pauses = send.waitText.size() == 1 && send.delayMs > 0;
    const SleepFunction &sleep = hooks.sleep;
    const ClockFunction &clock = hooks.clock;
    const LineTime startedAt = clock();
    PacedSendResult result;
    result.total = text.size();
    auto ended = [&](PacedSendResult::End end) {
        result.end = end;
        result.elapsed = clock() - startedAt;
        return result;
    };
    auto stopped = [&] { return hooks.stopRequested && hooks.stopRequested(); };
    try {
        // What went out before this send is not known: it is taken to be
        // gone now, and a wait character at the very start gets its delay
        // from here.
        LineModel line(port.characterTime(), startedAt);
        for (qsizetype i = 0; i < result.total; ++i) {
            if (send.waitText.size() == 1 && send.waitText.at(0) == text.at(i)) {
                if (pauses) {
                    const LineTime quiet = waitForQuietLine(line, port, sleep, clock);
                    if (!stopped())
                        sleep(quiet + std::chrono::milliseconds(send.delayMs));
                }
                if (stopped())
                    return ended(PacedSendResult::End::Stopped);
            }
            port.output(bytes.at(i));
            // Handed over when output() returned: a later start on the
            // wire, never an earlier one, so pauses only come out longer.
            line.take(clock());
            result.sent = i + 1;
            if (progress)
                progress(result.sent, result.total);
            if (result.sent < result.total && stopped())
                return ended(PacedSendResult::End::Stopped);
        }
        if (result.total > 0) {
            // Once the system holds none of it, the send is whole: a device
            // gone from then on (a PIC that hangs up once it has the
            // picture) only earns a note.
            port.drain(*line.idleAt() + DrainMargin);
            try {
                waitForQuietLine(line, port, sleep, clock);
            } catch (const PortError &error) {
                result.goneAfterEnd = QString::fromStdString(error.what());
            }
        }
    } catch (const PortError &error) {
        result.portError = QString::fromStdString(error.what());
        return ended(PacedSendResult::End::PortLost);
    }
    return ended(PacedSendResult::End::Sent);
}

QString goneAfterEndNote(const PacedSendResult &result)
{
    return QStringLiteral("all %1 characters were sent; then the device went away (%2)")
        .arg(result.total)
        .arg(result.goneAfterEnd);
}

LineDuration pacedSendTime(const QString &text, const QString &waitText, int delayMs, LineDuration characterTime,
                           qsizetype from)
{
    from = std::clamp<qsizetype>(from, 0, text.size());
    const QStringView rest = QStringView(text).mid(from);
    const qsizetype pauses = waitText.size() == 1 && delayMs > 0 ? rest.count(waitText.at(0)) : 0;
    return rest.size() * characterTime + pauses * std::chrono::milliseconds(delayMs);
}

void sleepUntil(LineTime deadline)
{
    std::this_thread::sleep_until(deadline);
}
