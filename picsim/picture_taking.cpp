#include "picsim/picture_taking.h"

#include "picsim/exit_code.h"
#include "picsim/pic_line.h"
#include "picsim/picture_report.h"
#include "picsim/stop_signals.h"
#include "picsim/terminal_line.h"
#include "serial/line_model.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace {

// A whole picture is over once the line has been quiet this long: what
// comes later and is no "*" counts as bytes after it.
constexpr std::chrono::milliseconds SettleTime{250};

} // namespace

int takePictures(const Line &line, const PicsimOptions &options, QTextStream &log, QTextStream &out, QTextStream &err)
{
    // The line's settings when characters arrive: the sender may change them
    // between pictures.
    auto lineSettingsNow = [&]() {
        LineSettings settings = options.deviceSettings ? *options.deviceSettings : LineSettings{};
        termios attributes{};
        if (!options.deviceSettings && ::tcgetattr(line.keptSlave, &attributes) == 0)
            settings = terminalLineSettings(attributes);
        if (options.baud)
            settings.baudRate = *options.baud;
        return settings;
    };

    PicLine pictures(options.waitText, options.expectDelayMs, options.allowanceMs);
    LineSettings settings = lineSettingsNow();
    PictureReport report(log, out, err, options.out);

    const LineTime start = LineClock::now();
    const LineDuration timeout =
        std::chrono::duration_cast<LineDuration>(std::chrono::duration<double>(options.timeoutSeconds.value_or(0)));
    auto msUntil = [](LineTime moment) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(moment - LineClock::now()).count();
        return static_cast<int>(std::clamp<long long>(left, 0, 200));
    };
    QString ending;
    char buffer[4096];
    while (!(options.count && report.taken() >= *options.count)) {
        if (stopSignal) {
            ending = QStringLiteral("interrupted");
            break;
        }
        const LineTime quietSince = pictures.lastArrival().value_or(start);
        const PicLine::Picture *current = pictures.current();
        int waitMs = 200;
        if (current && current->receiver.done())
            waitMs = std::min(waitMs, msUntil(quietSince + SettleTime));
        if (options.timeoutSeconds)
            waitMs = std::min(waitMs, msUntil(quietSince + timeout));

        pollfd fds{line.fd, POLLIN, 0};
        const int ready = ::poll(&fds, 1, waitMs);
        if (ready < 0 && errno != EINTR) {
            ending = QStringLiteral("the line was lost");
            break;
        }
        if (ready <= 0 || !(fds.revents & POLLIN)) {
            if (ready > 0) {
                ending = QStringLiteral("the line was lost");
                break;
            }
            const LineTime now = LineClock::now();
            if (current && current->receiver.done() && now - quietSince >= SettleTime) {
                pictures.endPicture();
                report.reportEnded(pictures, settings);
            }
            if (options.timeoutSeconds && now - quietSince >= timeout) {
                ending = QStringLiteral("then nothing for %1 s").arg(*options.timeoutSeconds);
                break;
            }
            continue;
        }
        const ssize_t n = ::read(line.fd, buffer, sizeof buffer);
        const LineTime arrival = LineClock::now();
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n <= 0) {
            ending = QStringLiteral("the line was lost");
            break;
        }
        settings = lineSettingsNow();
        if (settings.baudRate <= 0) {
            err << "voxcel-picsim: the sender set a speed that is not a standard rate; give it with --baud\n";
            return Failed;
        }
        pictures.receive(QByteArray(buffer, static_cast<qsizetype>(n)), arrival, characterTime(settings));
        report.reportEnded(pictures, settings);
        if (pictures.current())
            report.logProgress(*pictures.current(), settings);
        log.flush();
    }

    const bool broke = pictures.current() != nullptr && !pictures.current()->receiver.done();
    pictures.endPicture(broke ? ending : QString());
    report.reportEnded(pictures, settings);
    if (!ending.isEmpty())
        log << ending << '\n';
    const int taken = report.taken();
    int result = report.result();
    if (ending == QStringLiteral("the line was lost") || (options.count && taken < *options.count) ||
        (options.timeoutSeconds && taken == 0))
        result = std::max<int>(result, Faulty);
    log << taken << (taken == 1 ? " picture" : " pictures") << ", exit status " << result << Qt::endl;

    if (line.keptSlave >= 0) {
        ::close(line.keptSlave);
        ::close(line.fd);
    }
    return result;
}
