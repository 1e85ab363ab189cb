// voxcel-picsim: plays the PIC at the far end of the serial line, so a
// transmission can be checked without the hardware. It opens a
// pseudo-terminal and prints the device path to send to (or listens on a
// serial device given with --device), takes one picture as the PIC would,
// logs the pause before each wait text and writes what the display would
// show as an image.

#include "picsim/lcd_picture.h"
#include "picsim/pic_receiver.h"
#include "serial/line_settings.h"
#include "serial/qt_serial_port.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QSerialPort>
#include <QTextStream>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {

enum ExitCode { Received = 0, Incomplete = 1, Failed = 2 };

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
        *error = QStringLiteral("cannot open a pseudo-terminal: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
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

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("voxcel-picsim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Receives one picture as the PIC would: the parameter prefix, then pieces of the announced "
                       "buffer size behind the wait text, until 2048 hex digits have arrived. Without --device it "
                       "opens a pseudo-terminal and prints its device path on the first line of standard output."));
    parser.addHelpOption();
    const QCommandLineOption deviceOption(QStringLiteral("device"), QStringLiteral("Serial device to listen on."),
                                          QStringLiteral("path"));
    const QCommandLineOption settingsOption(
        QStringLiteral("settings"), QStringLiteral("Line settings of --device (default 9600,n,8,1)."),
        QStringLiteral("baud,parity,data,stop"), QString::fromLatin1(DefaultLineSettingsText));
    const QCommandLineOption waitOption(QStringLiteral("wait"), QStringLiteral("The wait text (default \"]\")."),
                                        QStringLiteral("text"), QStringLiteral("]"));
    const QCommandLineOption outOption(
        QStringLiteral("out"), QStringLiteral("Write the display as a 128 x 64 picture; PNG or BMP by extension."),
        QStringLiteral("file"));
    const QCommandLineOption logOption(QStringLiteral("log"), QStringLiteral("Log file (default: standard error)."),
                                       QStringLiteral("file"));
    const QCommandLineOption timeoutOption(QStringLiteral("timeout"),
                                           QStringLiteral("Give up after this many seconds (default: wait for ever)."),
                                           QStringLiteral("seconds"));
    parser.addOptions({deviceOption, settingsOption, waitOption, outOption, logOption, timeoutOption});
    parser.process(app);

    QTextStream err(stderr);
    const QString waitText = parser.value(waitOption);
    const bool eightBit = std::all_of(waitText.begin(), waitText.end(), [](QChar ch) { return ch.unicode() <= 0xFF; });
    if (waitText.isEmpty() || !eightBit) {
        err << "voxcel-picsim: the wait text must be one or more 8-bit characters\n";
        return Failed;
    }
    double timeoutMs = -1;
    if (parser.isSet(timeoutOption)) {
        bool ok = false;
        timeoutMs = parser.value(timeoutOption).toDouble(&ok) * 1000.0;
        if (!ok || timeoutMs <= 0) {
            err << "voxcel-picsim: --timeout takes a positive number of seconds\n";
            return Failed;
        }
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

    Line line;
    QSerialPort device;
    if (parser.isSet(deviceOption)) {
        const auto settings = parseLineSettings(parser.value(settingsOption));
        if (!settings) {
            err << "voxcel-picsim: invalid --settings " << parser.value(settingsOption) << '\n';
            return Failed;
        }
        device.setPortName(parser.value(deviceOption));
        applyLineSettings(device, *settings);
        device.setFlowControl(QSerialPort::NoFlowControl);
        if (!device.open(QIODevice::ReadOnly)) {
            err << "voxcel-picsim: cannot open " << parser.value(deviceOption) << ": " << device.errorString() << '\n';
            return Failed;
        }
        line.fd = static_cast<int>(device.handle());
        line.name = parser.value(deviceOption);
    } else {
        QString error;
        if (!openPseudoTerminal(line, &error)) {
            err << "voxcel-picsim: " << error << '\n';
            return Failed;
        }
        std::printf("%s\n", line.name.toLocal8Bit().constData());
        std::fflush(stdout);
    }
    log << "listening on " << line.name << ", wait text \"" << waitText << "\"\n";
    log.flush();

    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    auto elapsedMs = [&] { return std::chrono::duration<double, std::milli>(Clock::now() - start).count(); };

    PicReceiver receiver(waitText);
    std::size_t pausesLogged = 0;
    bool timedOut = false;
    bool lineLost = false;
    char buffer[4096];
    while (!receiver.done()) {
        int waitMs = 200;
        if (timeoutMs > 0) {
            const double left = timeoutMs - elapsedMs();
            if (left <= 0) {
                timedOut = true;
                break;
            }
            waitMs = std::min(waitMs, static_cast<int>(left) + 1);
        }
        pollfd fds{line.fd, POLLIN, 0};
        const int ready = ::poll(&fds, 1, waitMs);
        if (ready < 0 && errno != EINTR) {
            lineLost = true;
            break;
        }
        if (ready <= 0)
            continue;
        const ssize_t n = ::read(line.fd, buffer, sizeof buffer);
        const double arrival = elapsedMs();
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n <= 0) {
            lineLost = true;
            break;
        }
        const bool hadPrefix = receiver.prefix().has_value();
        receiver.receive(QByteArray(buffer, static_cast<qsizetype>(n)), arrival);
        if (!hadPrefix && receiver.prefix()) {
            const PicPrefix &p = *receiver.prefix();
            log << "prefix " << p.text << ": target " << (p.target ? "I2C EEPROM" : "LCD") << ", buffer "
                << p.bufferSize << ", start address 0x"
                << QStringLiteral("%1").arg(p.startAddress, 4, 16, QLatin1Char('0')).toUpper() << ", PIC delay "
                << p.picDelay << " ms\n";
        }
        const auto &pauses = receiver.pauses();
        for (; pausesLogged < pauses.size(); ++pausesLogged) {
            const auto &pause = pauses[pausesLogged];
            log << "pause before wait text " << pause.waitIndex << " (offset " << pause.offset
                << "): " << QString::number(pause.ms, 'f', 3) << " ms\n";
        }
        log.flush();
    }

    log << receiver.piecesReceived() << " pieces, " << receiver.digitsReceived() << " of " << PicReceiver::DisplayDigits
        << " digits\n";
    log << pauseSummary(receiver.pauses()) << '\n';
    for (const QString &problem : receiver.problems())
        log << "problem: " << problem << '\n';
    if (timedOut)
        log << "timed out\n";
    if (lineLost)
        log << "the line was lost\n";
    log.flush();

    int result = receiver.complete() && receiver.problemCount() == 0 ? Received : Incomplete;
    if (parser.isSet(outOption)) {
        const QString out = parser.value(outOption);
        if (!lcdPicture(receiver.displayBytes()).save(out)) {
            err << "voxcel-picsim: cannot write " << out << " (use a .png or .bmp name)\n";
            result = Failed;
        }
    }

    if (line.keptSlave >= 0) {
        ::close(line.keptSlave);
        ::close(line.fd);
    }
    return result;
}
