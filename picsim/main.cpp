// voxcel-picsim: plays the PIC at the far end of the serial line, so a
// transmission can be checked without the hardware. It opens a
// pseudo-terminal and prints the device path to send to (or listens on a
// serial device given with --device), takes pictures as the PIC would,
// judges the silence before each wait text as it would be on a real line
// of the sender's speed, and writes what the display would show as an
// image. It stays on the line from one picture to the next, so the
// sender's port never vanishes under it.

#include "picsim/lcd_picture.h"
#include "picsim/pic_line.h"
#include "picsim/terminal_line.h"
#include "serial/line_model.h"
#include "serial/qt_serial_port.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QSerialPort>
#include <QTextStream>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <pthread.h>
#include <pty.h>
#include <sched.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

enum ExitCode { AllGood = 0, Faulty = 1, Failed = 2 };

// A whole picture is over once the line has been quiet this long: what
// comes later and is no "*" counts as bytes after it.
constexpr std::chrono::milliseconds SettleTime{250};

volatile std::sig_atomic_t stopSignal = 0;

void onStopSignal(int signal)
{
    stopSignal = signal;
}

// Interrupting or terminating ends the run like the end of --count, so the
// link is removed and the last results are written. No restart: poll()
// returns at once.
void catchStopSignals()
{
    struct sigaction action
    {
    };
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(signal, &action, nullptr);
}

// Arrival times are only as good as the wake-up after poll(): ask for a
// real-time priority where the system grants it (root, no RT limits). The
// loop always sleeps in poll(), so it cannot starve anything.
void preferPromptWakeUps()
{
    sched_param priority{};
    priority.sched_priority = 10;
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &priority);
}

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

struct Line
{
    int fd = -1;
    int keptSlave = -1; // held open so the sender may close and reopen freely
    QString name;
};

bool openPseudoTerminal(Line &line, QString *error)
{
    char name[256] = {};
    if (::openpty(&line.fd, &line.keptSlave, name, nullptr, nullptr) != 0) {
        *error = QStringLiteral("cannot open a pseudo-terminal: %1").arg(systemError());
        return false;
    }
    termios raw{};
    if (::tcgetattr(line.keptSlave, &raw) == 0) {
        ::cfmakeraw(&raw);
        ::tcsetattr(line.keptSlave, TCSANOW, &raw);
    }
    line.name = QString::fromLocal8Bit(name);
    return true;
}

// A symbolic link to the pseudo-terminal, so a sender keeps one device name
// from one run to the next. A link left at the path (by a run that could
// not clean up) is replaced; anything else there is left alone. Removed on
// exit, unless another run has put its own link there meanwhile.
class DeviceLink
{
public:
    DeviceLink() = default;
    DeviceLink(const DeviceLink &) = delete;
    DeviceLink &operator=(const DeviceLink &) = delete;
    ~DeviceLink()
    {
        if (!path_.isEmpty() && pointsTo(target_))
            ::unlink(path_.constData());
    }

    bool create(const QString &path, const QString &target, QString *error)
    {
        const QByteArray linkPath = QFile::encodeName(path);
        struct stat found
        {
        };
        if (::lstat(linkPath.constData(), &found) == 0) {
            if (!S_ISLNK(found.st_mode)) {
                *error = QStringLiteral("--link %1: exists and is not a symbolic link").arg(path);
                return false;
            }
            ::unlink(linkPath.constData());
        }
        if (::symlink(QFile::encodeName(target).constData(), linkPath.constData()) != 0) {
            *error = QStringLiteral("--link %1: %2").arg(path, systemError());
            return false;
        }
        path_ = linkPath;
        target_ = QFile::encodeName(target);
        return true;
    }

private:
    bool pointsTo(const QByteArray &target) const
    {
        char buffer[4096];
        const ssize_t n = ::readlink(path_.constData(), buffer, sizeof buffer);
        return n >= 0 && QByteArray(buffer, static_cast<qsizetype>(n)) == target;
    }

    QByteArray path_;
    QByteArray target_;
};

std::optional<double> nonNegativeNumber(const QString &text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok && value >= 0 && std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

std::optional<int> positiveInteger(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && value > 0 ? std::optional<int>(value) : std::nullopt;
}

QString withNumber(const QString &pattern, int number)
{
    QString name = pattern;
    return name.replace(QStringLiteral("%d"), QString::number(number));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("voxcel-picsim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Plays the PIC at the far end of the serial line. Takes pictures as the PIC would: the parameter prefix "
        "exactly as the program writes it, then pieces of the announced buffer size behind the wait text, in "
        "lower-case hex, until 2048 digits have arrived, and nothing after them until the next picture's '*'. "
        "It judges the silence before each wait text on the wire of a line of the sender's speed, where a "
        "character takes (1 start + data + parity + stop bits) / baud seconds. Without --device it opens a "
        "pseudo-terminal and prints its device path on the first line of standard output. Each picture ends with "
        "one result line, on standard output and in the log. Interrupting (SIGINT, SIGTERM) ends the run as "
        "reaching --count does.\n\n"
        "Exit status: 0 every picture arrived whole and faultless (and --count of them, if given); 1 a picture "
        "was faulty or short, fewer than --count arrived, nothing arrived before --timeout, or the line was lost; "
        "2 a wrong option or a failure of the system."));
    parser.addHelpOption();
    const QCommandLineOption deviceOption(QStringLiteral("device"), QStringLiteral("Serial device to listen on."),
                                          QStringLiteral("path"));
    const QCommandLineOption settingsOption(
        QStringLiteral("settings"), QStringLiteral("Line settings of --device (default 9600,n,8,1)."),
        QStringLiteral("baud,parity,data,stop"), QString::fromLatin1(DefaultLineSettingsText));
    const QCommandLineOption baudOption(
        QStringLiteral("baud"),
        QStringLiteral("Judge the line at this speed (default: the speed the sender set on the pseudo-terminal, or "
                       "that of --settings)."),
        QStringLiteral("N"));
    const QCommandLineOption waitOption(QStringLiteral("wait"), QStringLiteral("The wait text (default \"]\")."),
                                        QStringLiteral("text"), QStringLiteral("]"));
    const QCommandLineOption expectOption(
        QStringLiteral("expect-delay"),
        QStringLiteral("A picture fails when the silence before any of its wait texts is shorter than MS less "
                       "--allowance."),
        QStringLiteral("MS"));
    const QCommandLineOption allowanceOption(
        QStringLiteral("allowance"),
        QStringLiteral("How much shorter than --expect-delay a measured silence may be (default 1 ms, for "
                       "scheduling). The kernel passes pseudo-terminal output on from a worker thread, on a busy "
                       "machine now and then a scheduler tick late, which shortens the silence measured after "
                       "that piece; a few ms more allow for it."),
        QStringLiteral("MS"));
    const QCommandLineOption countOption(
        QStringLiteral("count"),
        QStringLiteral("End after this many pictures (default: take pictures until interrupted)."),
        QStringLiteral("N"));
    const QCommandLineOption outOption(
        QStringLiteral("out"),
        QStringLiteral("Write the display after each picture as a 128 x 64 picture, PNG or BMP by extension; %d in "
                       "the name stands for the picture's number."),
        QStringLiteral("file"));
    const QCommandLineOption logOption(QStringLiteral("log"), QStringLiteral("Log file (default: standard error)."),
                                       QStringLiteral("file"));
    const QCommandLineOption timeoutOption(
        QStringLiteral("timeout"),
        QStringLiteral("End once the line has been quiet this many seconds; a picture in progress is reported "
                       "short (default: wait for ever)."),
        QStringLiteral("seconds"));
    const QCommandLineOption linkOption(
        QStringLiteral("link"),
        QStringLiteral("Make a symbolic link to the pseudo-terminal at this path (replacing an old link there), "
                       "removed on exit."),
        QStringLiteral("path"));
    parser.addOptions({deviceOption, settingsOption, baudOption, waitOption, expectOption, allowanceOption, countOption,
                       outOption, logOption, timeoutOption, linkOption});
    parser.process(app);

    QTextStream err(stderr);
    auto usage = [&err](const QString &message) {
        err << "voxcel-picsim: " << message << "\nTry 'voxcel-picsim --help' for more information.\n";
        return Failed;
    };
    const QString waitText = parser.value(waitOption);
    const bool eightBit = std::all_of(waitText.begin(), waitText.end(), [](QChar ch) { return ch.unicode() <= 0xFF; });
    if (waitText.isEmpty() || !eightBit)
        return usage(QStringLiteral("the wait text must be one or more 8-bit characters"));
    std::optional<double> timeoutSeconds;
    if (parser.isSet(timeoutOption)) {
        timeoutSeconds = nonNegativeNumber(parser.value(timeoutOption));
        if (!timeoutSeconds || *timeoutSeconds <= 0)
            return usage(QStringLiteral("--timeout takes a positive number of seconds"));
    }
    double expectDelayMs = -1;
    if (parser.isSet(expectOption)) {
        const auto ms = nonNegativeNumber(parser.value(expectOption));
        if (!ms)
            return usage(QStringLiteral("--expect-delay takes a number of milliseconds"));
        expectDelayMs = *ms;
    }
    double allowanceMs = PicReceiver::DefaultAllowanceMs;
    if (parser.isSet(allowanceOption)) {
        const auto ms = nonNegativeNumber(parser.value(allowanceOption));
        if (!ms)
            return usage(QStringLiteral("--allowance takes a number of milliseconds"));
        allowanceMs = *ms;
    }
    std::optional<int> count;
    if (parser.isSet(countOption) && !(count = positiveInteger(parser.value(countOption))))
        return usage(QStringLiteral("--count takes a positive whole number"));
    std::optional<int> baud;
    if (parser.isSet(baudOption) && !(baud = positiveInteger(parser.value(baudOption))))
        return usage(QStringLiteral("--baud takes a positive whole number"));
    std::optional<LineSettings> deviceSettings;
    if (parser.isSet(deviceOption)) {
        if (parser.isSet(linkOption))
            return usage(QStringLiteral("--link goes with the pseudo-terminal, not with --device"));
        deviceSettings = parseLineSettings(parser.value(settingsOption));
        if (!deviceSettings)
            return usage(QStringLiteral("invalid --settings %1").arg(parser.value(settingsOption)));
    }

    QFile logFile;
    if (parser.isSet(logOption)) {
        logFile.setFileName(parser.value(logOption));
        if (!logFile.open(QIODevice::WriteOnly | QIODevice::Text | QIODevice::Truncate)) {
            err << "voxcel-picsim: cannot write " << logFile.fileName() << ": " << logFile.errorString() << '\n';
            return Failed;
        }
    } else {
        logFile.open(stderr, QIODevice::WriteOnly | QIODevice::Text);
    }
    QTextStream log(&logFile);
    QTextStream out(stdout);

    // Before anything is opened, so an early signal still cleans up.
    catchStopSignals();
    preferPromptWakeUps();

    Line line;
    QSerialPort device;
    DeviceLink link;
    if (deviceSettings) {
        device.setPortName(parser.value(deviceOption));
        applyLineSettings(device, *deviceSettings);
        device.setFlowControl(QSerialPort::NoFlowControl);
        if (!device.open(QIODevice::ReadOnly)) {
            err << "voxcel-picsim: cannot open " << parser.value(deviceOption) << ": " << device.errorString() << '\n';
            return Failed;
        }
        line.fd = static_cast<int>(device.handle());
        line.name = parser.value(deviceOption);
    } else {
        QString error;
        if (!openPseudoTerminal(line, &error) ||
            (parser.isSet(linkOption) && !link.create(parser.value(linkOption), line.name, &error))) {
            err << "voxcel-picsim: " << error << '\n';
            return Failed;
        }
        out << line.name << Qt::endl;
    }
    log << "listening on " << line.name;
    if (parser.isSet(linkOption))
        log << " (linked from " << parser.value(linkOption) << ")";
    log << ", wait text \"" << waitText << "\", line speed: "
        << (baud             ? QStringLiteral("%1 baud").arg(*baud)
            : deviceSettings ? formatLineSettings(*deviceSettings)
                             : QStringLiteral("as the sender sets it"))
        << Qt::endl;

    // The line's settings when characters arrive: the sender may change them
    // between pictures.
    auto lineSettingsNow = [&]() {
        LineSettings settings = deviceSettings ? *deviceSettings : LineSettings{};
        termios attributes{};
        if (!deviceSettings && ::tcgetattr(line.keptSlave, &attributes) == 0)
            settings = terminalLineSettings(attributes);
        if (baud)
            settings.baudRate = *baud;
        return settings;
    };

    PicLine pictures(waitText, expectDelayMs, allowanceMs);
    LineSettings settings = lineSettingsNow();
    int result = AllGood;
    int taken = 0;
    // What of the picture in progress has been logged.
    int loggedPicture = 0;
    bool prefixLogged = false;
    std::size_t pausesLogged = 0;
    auto logProgress = [&](const PicLine::Picture &picture) {
        if (picture.number != loggedPicture) {
            loggedPicture = picture.number;
            prefixLogged = false;
            pausesLogged = 0;
        }
        const PicReceiver &pic = picture.receiver;
        if (!prefixLogged && pic.prefix()) {
            const PicPrefix &p = *pic.prefix();
            log << "picture " << picture.number << ": prefix " << p.text << ": target "
                << (p.target ? "I2C EEPROM" : "LCD") << ", buffer " << p.bufferSize << ", start address 0x"
                << QStringLiteral("%1").arg(p.startAddress, 4, 16, QLatin1Char('0')).toUpper() << ", PIC delay "
                << p.picDelay << " ms; line " << formatLineSettings(settings) << ", "
                << QString::number(std::chrono::duration<double, std::milli>(characterTime(settings)).count(), 'f', 3)
                << " ms a character\n";
            prefixLogged = true;
        }
        for (; pausesLogged < pic.pauses().size(); ++pausesLogged) {
            const auto &pause = pic.pauses()[pausesLogged];
            log << "picture " << picture.number << ", piece " << pause.waitIndex << " (offset " << pause.offset
                << "): " << QString::number(pause.ms, 'f', 3) << " ms of silence before the wait text\n";
        }
    };
    auto reportEnded = [&]() {
        for (const PicLine::Picture &picture : pictures.takeEnded()) {
            logProgress(picture);
            const PicReceiver &pic = picture.receiver;
            log << "picture " << picture.number << ": " << pic.piecesReceived() << " pieces, " << pic.digitsReceived()
                << " of " << PicReceiver::DisplayDigits << " digits\n";
            for (const QString &problem : pic.problems())
                log << "picture " << picture.number << ": problem: " << problem << '\n';
            const QString verdict = pictureResult(picture.number, pic);
            log << verdict << Qt::endl;
            out << verdict << Qt::endl;
            if (!pic.good())
                result = std::max<int>(result, Faulty);
            if (parser.isSet(outOption)) {
                const QString file = withNumber(parser.value(outOption), picture.number);
                if (!lcdPicture(pic.displayBytes()).save(file)) {
                    err << "voxcel-picsim: cannot write " << file << " (use a .png or .bmp name)\n";
                    result = Failed;
                }
            }
            ++taken;
        }
    };

    const LineTime start = LineClock::now();
    const LineDuration timeout =
        std::chrono::duration_cast<LineDuration>(std::chrono::duration<double>(timeoutSeconds.value_or(0)));
    auto msUntil = [](LineTime moment) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(moment - LineClock::now()).count();
        return static_cast<int>(std::clamp<long long>(left, 0, 200));
    };
    QString ending;
    char buffer[4096];
    while (!(count && taken >= *count)) {
        if (stopSignal) {
            ending = QStringLiteral("interrupted");
            break;
        }
        const LineTime quietSince = pictures.lastArrival().value_or(start);
        const PicLine::Picture *current = pictures.current();
        int waitMs = 200;
        if (current && current->receiver.done())
            waitMs = std::min(waitMs, msUntil(quietSince + SettleTime));
        if (timeoutSeconds)
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
                reportEnded();
            }
            if (timeoutSeconds && now - quietSince >= timeout) {
                ending = QStringLiteral("then nothing for %1 s").arg(*timeoutSeconds);
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
        reportEnded();
        if (pictures.current())
            logProgress(*pictures.current());
        log.flush();
    }

    const bool broke = pictures.current() != nullptr && !pictures.current()->receiver.done();
    pictures.endPicture(broke ? ending : QString());
    reportEnded();
    if (!ending.isEmpty())
        log << ending << '\n';
    if (ending == QStringLiteral("the line was lost") || (count && taken < *count) || (timeoutSeconds && taken == 0))
        result = std::max<int>(result, Faulty);
    log << taken << (taken == 1 ? " picture" : " pictures") << ", exit status " << result << Qt::endl;

    if (line.keptSlave >= 0) {
        ::close(line.keptSlave);
        ::close(line.fd);
    }
    return result;
}
