// voxcel-convert: the window's Convert, Reformat For Output and Send to LCD
// from the command line, for firmware builds and for loading many displays.
#include "cli/convert_run.h"
#include "cli/drawing_inputs.h"
#include "text/file_save.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>
#include <memory>
#ifdef Q_OS_WIN
#include <io.h>
#else
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
} // namespace

int main(int argc, char *argv[])
{
    ignoreFileSizeSignal();
    // No GUI application for pictures: a build server has no display, and
    // reading them needs none. An SVG drawing's text needs the font
    // database, which only a GUI application has: one that shows nothing.
    std::unique_ptr<QCoreApplication> app;
    if (drawingAmongArguments(argc, argv)) {
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
    const ConsoleStreams console{out, err, stderrIsTerminal()};
    return runConvert(QCoreApplication::arguments(), console);
}
