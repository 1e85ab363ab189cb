#include "picsim/picture_taking.h"

#include "picsim/exit_code.h"
#include "picsim/pic_line.h"
#include "picsim/picture_report.h"
#include "picsim/stop_signals.h"
#include "picsim/terminal_line.h"
#include "serial/line_model.h"
#include "serial/pic_settings.h"

#include <QLocale>

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace {

// A whole picture is over once the line has been quiet for a piece's time
// on the wire and this long: what comes later and is no "*" counts as bytes
// after it. After the last picture --count asks for the program ends, and
// the sender's port hangs up: the sender, which waits until its own model
// of the line says the last piece has left, must still find it there, at
// the slowest speed too.
constexpr std::chrono::milliseconds SettleMargin{250};

const QString LineLost = QStringLiteral("the line was lost");

class PictureTaking
{
public:
    PictureTaking(const Line &line, const PicsimOptions &options, QTextStream &log, QTextStream &out, QTextStream &err);
    int run();

private:
    enum class Arrived { Characters, Nothing, LineLost };
    enum class Read { Taken, Nothing, LineLost, UnknownSpeed };

    LineSettings lineSettingsNow() const;
    LineTime settledAt() const;
    Arrived waitForCharacters() const;
    bool quietStill();
    Read readCharacters();
    int finish();

    const Line &line_;
    const PicsimOptions &options_;
    QTextStream &log_;
    QTextStream &err_;
    PicLine pictures_;
    LineSettings settings_;
    PictureReport report_;
    const LineTime start_ = LineClock::now();
    LineDuration timeout_;
    QString ending_; // what ended the run, when it is not --count
};

PictureTaking::PictureTaking(const Line &line, const PicsimOptions &options, QTextStream &log, QTextStream &out,
                             QTextStream &err)
    : line_(line), options_(options), log_(log), err_(err),
      pictures_(options.waitText, options.expectDelayMs, options.allowanceMs, options.pictureBytes),
      settings_(lineSettingsNow()), report_(log, out, err, options.out, linkAndLogFiles(options)),
      timeout_(
          std::chrono::duration_cast<LineDuration>(std::chrono::duration<double>(options.timeoutSeconds.value_or(0))))
{
    if (options.count)
        pictures_.stopAfter(*options.count);
}

// The line's settings when characters arrive: the sender may change them
// between pictures.
LineSettings PictureTaking::lineSettingsNow() const
{
    LineSettings settings = options_.deviceSettings ? *options_.deviceSettings : LineSettings{};
    termios attributes{};
    if (!options_.deviceSettings && ::tcgetattr(line_.keptSlave, &attributes) == 0)
        settings = terminalLineSettings(attributes);
    if (options_.baud)
        settings.baudRate = *options_.baud;
    return settings;
}

// When the line, quiet since the last read, counts as settled.
LineTime PictureTaking::settledAt() const
{
    const PicLine::Picture *current = pictures_.current();
    const int pieceSize =
        current && current->receiver.prefix() ? current->receiver.prefix()->bufferSize : picBufferChoices.back();
    const LineDuration pieceTime = (pieceSize + options_.waitText.size()) * characterTime(settings_);
    const LineTime last = pictures_.lastArrival().value_or(start_);
    return std::max(last + pieceTime, pictures_.idleAt().value_or(last)) + SettleMargin;
}

// Sleeps until characters arrive, or at the latest until a picture
// settles or --timeout runs out.
PictureTaking::Arrived PictureTaking::waitForCharacters() const
{
    auto msUntil = [](LineTime moment) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(moment - LineClock::now()).count();
        return static_cast<int>(std::clamp<long long>(left, 0, 200));
    };
    const LineTime quietSince = pictures_.lastArrival().value_or(start_);
    const PicLine::Picture *current = pictures_.current();
    int waitMs = 200;
    if (current && current->receiver.done())
        waitMs = std::min(waitMs, msUntil(settledAt()));
    if (options_.timeoutSeconds)
        waitMs = std::min(waitMs, msUntil(quietSince + timeout_));

    pollfd fds{line_.fd, POLLIN, 0};
    const int ready = ::poll(&fds, 1, waitMs);
    if (ready < 0)
        return errno == EINTR ? Arrived::Nothing : Arrived::LineLost;
    if (ready == 0)
        return Arrived::Nothing;
    return fds.revents & POLLIN ? Arrived::Characters : Arrived::LineLost;
}

// Ends a whole picture the line has been quiet after for long enough.
// False once the line has been quiet for --timeout.
bool PictureTaking::quietStill()
{
    const LineTime now = LineClock::now();
    const LineTime quietSince = pictures_.lastArrival().value_or(start_);
    const PicLine::Picture *current = pictures_.current();
    if (current && current->receiver.done() && now >= settledAt()) {
        pictures_.endPicture();
        report_.reportEnded(pictures_, settings_);
    }
    if (options_.timeoutSeconds && now - quietSince >= timeout_) {
        ending_ = QStringLiteral("then nothing for %1 s")
                      .arg(QString::number(*options_.timeoutSeconds, 'f', QLocale::FloatingPointShortest));
        return false;
    }
    return true;
}

PictureTaking::Read PictureTaking::readCharacters()
{
    char buffer[4096];
    const ssize_t n = ::read(line_.fd, buffer, sizeof buffer);
    const LineTime arrival = LineClock::now();
    if (n < 0 && (errno == EINTR || errno == EAGAIN))
        return Read::Nothing;
    if (n <= 0)
        return Read::LineLost;
    settings_ = lineSettingsNow();
    if (settings_.baudRate <= 0)
        return Read::UnknownSpeed;
    pictures_.receive(QByteArray(buffer, static_cast<qsizetype>(n)), arrival, characterTime(settings_));
    report_.reportEnded(pictures_, settings_);
    if (pictures_.current())
        report_.logProgress(*pictures_.current(), settings_);
    log_.flush();
    return Read::Taken;
}

int PictureTaking::run()
{
    while (!(options_.count && report_.taken() >= *options_.count)) {
        if (stopSignal) {
            ending_ = QStringLiteral("interrupted");
            break;
        }
        const Arrived arrived = waitForCharacters();
        if (arrived == Arrived::Nothing && !quietStill())
            break;
        const Read read = arrived == Arrived::Characters ? readCharacters() : Read::Nothing;
        if (arrived == Arrived::LineLost || read == Read::LineLost) {
            ending_ = LineLost;
            break;
        }
        if (read == Read::UnknownSpeed) {
            err_ << "voxcel-picsim: the sender set a speed that is not a standard rate; give it with --baud\n";
            return Failed;
        }
    }
    return finish();
}

// Reports the picture the run broke off, and the run.
int PictureTaking::finish()
{
    const bool broke = pictures_.current() != nullptr && !pictures_.current()->receiver.done();
    pictures_.endPicture(broke ? ending_ : QString());
    report_.reportEnded(pictures_, settings_);
    if (!ending_.isEmpty())
        log_ << ending_ << '\n';
    const int taken = report_.taken();
    if (pictures_.ignored() > 0)
        log_ << "ignored " << pictures_.ignored() << " bytes that came after picture " << taken
             << ", the last --count asked for\n";
    int result = report_.result();
    if (ending_ == LineLost || (options_.count && taken < *options_.count) || (options_.timeoutSeconds && taken == 0))
        result = std::max<int>(result, Faulty);
    log_ << taken << (taken == 1 ? " picture" : " pictures") << ", exit status " << result << Qt::endl;

    if (line_.keptSlave >= 0) {
        ::close(line_.keptSlave);
        ::close(line_.fd);
    }
    return result;
}

} // namespace

int takePictures(const Line &line, const PicsimOptions &options, QTextStream &log, QTextStream &out, QTextStream &err)
{
    return PictureTaking(line, options, log, out, err).run();
}
