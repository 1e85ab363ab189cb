// voxcel-picsim: plays the PIC at the far end of the serial line, so a
// transmission can be checked without the hardware. It opens a
// pseudo-terminal and prints the device path to send to (or listens on a
// serial device given with --device), takes pictures as the PIC would,
// judges the silence before each wait text as it would be on a real line
// of the sender's speed, and writes what the display would show as an
// image. It stays on the line from one picture to the next, so the
// sender's port never vanishes under it.

#include "picsim/exit_code.h"
#include "picsim/picsim_options.h"
#include "picsim/picture_taking.h"
#include "picsim/pseudo_terminal.h"
#include "picsim/stop_signals.h"
#include "serial/line_settings.h"
#include "serial/qt_serial_port.h"
#include "text/standard_output.h"

#include <QCoreApplication>
#include <QFile>
#include <QSerialPort>
#include <QTextStream>

#include <pthread.h>
#include <sched.h>

namespace {

// Arrival times are only as good as the wake-up after poll(): ask for a
// real-time priority where the system grants it (root, no RT limits). The
// loop always sleeps in poll(), so it cannot starve anything.
void preferPromptWakeUps()
{
    sched_param priority{};
    priority.sched_priority = 10;
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &priority);
}

} // namespace

int main(int argc, char *argv[])
{
    guardStandardOutput("voxcel-picsim", Failed);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("voxcel-picsim"));

    QString usageError;
    const std::optional<PicsimOptions> read = readPicsimOptions(QCoreApplication::arguments(), &usageError);
    QTextStream err(stderr);
    if (!read) {
        err << "voxcel-picsim: " << usageError << "\nTry 'voxcel-picsim --help' for more information.\n";
        return Failed;
    }
    const PicsimOptions &options = *read;

    QFile logFile;
    if (options.log) {
        logFile.setFileName(*options.log);
        if (!logFile.open(QIODevice::WriteOnly | QIODevice::Text | QIODevice::Truncate)) {
            err << "voxcel-picsim: cannot write " << logFile.fileName() << ": " << logFile.errorString() << '\n';
            return Failed;
        }
    } else {
        logFile.open(stderr, QIODevice::WriteOnly | QIODevice::Text);
    }
    QTextStream log(&logFile);
    QFile outFile;
    outFile.open(stdout, QIODevice::WriteOnly | QIODevice::Text);
    QTextStream out(&outFile);

    // Before anything is opened, so an early signal still cleans up.
    catchStopSignals();
    preferPromptWakeUps();

    Line line;
    QSerialPort device;
    DeviceLink link;
    if (options.deviceSettings) {
        device.setPortName(*options.device);
        applyLineSettings(device, *options.deviceSettings);
        device.setFlowControl(QSerialPort::NoFlowControl);
        if (!device.open(QIODevice::ReadOnly)) {
            err << "voxcel-picsim: cannot open " << *options.device << ": " << device.errorString() << '\n';
            return Failed;
        }
        line.fd = static_cast<int>(device.handle());
        line.name = *options.device;
    } else {
        QString error;
        if (!openPseudoTerminal(line, &error) || (options.link && !link.create(*options.link, line.name, &error))) {
            err << "voxcel-picsim: " << error << '\n';
            return Failed;
        }
        out << line.name << Qt::endl;
    }
    log << "listening on " << line.name;
    if (options.link)
        log << " (linked from " << *options.link << ")";
    log << ", wait text \"" << options.waitText << "\", line speed: "
        << (options.baud             ? QStringLiteral("%1 baud").arg(*options.baud)
            : options.deviceSettings ? formatLineSettings(*options.deviceSettings)
                                     : QStringLiteral("as the sender sets it"))
        << Qt::endl;

    const int result = takePictures(line, options, log, out, err);
    out.flush();
    if (outFile.error() != QFileDevice::NoError)
        standardOutputFailed(outFile.errorString());
    return result;
}
