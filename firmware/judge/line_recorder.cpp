#include "firmware/judge/line_recorder.h"

#include "picsim/pseudo_terminal.h"
#include "picsim/terminal_line.h"

#include <QTextStream>

#include <chrono>
#include <poll.h>
#include <unistd.h>

std::optional<LineRecording> recordLine(const QString &linkPath, int quietMs, int timeoutMs, QString *error)
{
    Line line;
    if (!openPseudoTerminal(line, error))
        return std::nullopt;
    DeviceLink link;
    if (!link.create(linkPath, line.name, error)) {
        ::close(line.fd);
        ::close(line.keptSlave);
        return std::nullopt;
    }
    // The sender waits for this line before it opens the link.
    QTextStream(stdout) << line.name << Qt::endl;

    using Clock = std::chrono::steady_clock;
    LineRecording recording;
    std::optional<Clock::time_point> first;
    const auto started = Clock::now();
    char buffer[4096];
    for (;;) {
        const int waitMs = first ? quietMs : timeoutMs;
        pollfd ready{line.fd, POLLIN, 0};
        const int polled = ::poll(&ready, 1, waitMs);
        const auto at = Clock::now();
        if (polled <= 0 || (!first && at - started > std::chrono::milliseconds(timeoutMs)))
            break;
        const ssize_t got = ::read(line.fd, buffer, sizeof buffer);
        if (got <= 0)
            break;
        if (!first) {
            first = at;
            termios attributes{};
            if (::tcgetattr(line.keptSlave, &attributes) == 0)
                recording.baud = terminalLineSettings(attributes).baudRate;
        }
        recording.arrivals.push_back(
            {std::chrono::duration_cast<std::chrono::nanoseconds>(at - *first).count(), QByteArray(buffer, got)});
    }
    ::close(line.fd);
    ::close(line.keptSlave);
    if (!first) {
        *error = QStringLiteral("nothing arrived on %1 within %2 ms").arg(linkPath).arg(timeoutMs);
        return std::nullopt;
    }
    if (recording.baud <= 0) {
        *error = QStringLiteral("the sender set a speed that is not a standard rate");
        return std::nullopt;
    }
    return recording;
}
