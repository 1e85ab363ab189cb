// voxcel-convert: the window's Convert, Reformat For Output and Send to LCD
// from the command line, for firmware builds and for loading many displays.
#include "canvas/decoder_warnings.h"
#include "cli/convert_run.h"
#include "cli/drawing_inputs.h"
#include "text/file_save.h"
#include "text/standard_output.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>
#include <memory>
#ifdef Q_OS_WIN
#include <io.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {
bool stderrIsTerminal()
{
#ifdef Q_OS_WIN
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}
bool standardInputIsClosed()
{
#ifdef Q_OS_WIN
    return false;
#else
    if (fcntl(STDIN_FILENO, F_GETFD) != -1 || errno != EBADF)
        return false;
    open("/dev/null", O_RDONLY); // takes the lowest free descriptor: 0
    return true;
#endif
}
QtMessageHandler qtHandler = nullptr;

// Qt's own warnings (QStandardPaths on a missing XDG_RUNTIME_DIR when the
// font database starts, and the like) tell the caller nothing about the
// run; what went wrong is said by the program itself. Failures still show.
void dropQtWarnings(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if ((type == QtCriticalMsg || type == QtFatalMsg) && qtHandler)
        qtHandler(type, context, text);
}
} // namespace

int main(int argc, char *argv[])
{
    guardStandardOutput("voxcel-convert", ExitFailure);
    ignoreFileSizeSignal();
    // With standard input closed, the next file the program opens would take
    // its place and be read as standard input: /dev/null holds it instead.
    const bool inIsClosed = standardInputIsClosed();
    qtHandler = qInstallMessageHandler(dropQtWarnings);
    DecoderWarnings::takeStandardError(true);
    // No GUI application for pictures: a build server has no display, and
    // reading them needs none. An SVG drawing's text and --text need the
    // font database, which only a GUI application has: one that shows nothing.
    std::unique_ptr<QCoreApplication> app;
    if (drawingAmongArguments(argc, argv) || textAmongArguments(argc, argv)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("voxcel-convert"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VOXCEL_VERSION));

    // Unbuffered: text and messages come out in the order they were made.
    QFile out;
    QFile err;
    out.open(fileno(stdout), QIODevice::WriteOnly | QIODevice::Unbuffered);
    err.open(fileno(stderr), QIODevice::WriteOnly | QIODevice::Unbuffered);
    const ConsoleStreams console{out, err, stderrIsTerminal(), inIsClosed};
    return runConvert(QCoreApplication::arguments(), console);
}
