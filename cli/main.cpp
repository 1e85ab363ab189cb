// voxcel-convert: the window's Convert, Reformat For Output and Send to LCD
// from the command line, for firmware builds and for loading many displays.
#include "cli/convert_run.h"
#include "text/file_save.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>
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
    // No GUI application: a build server has no display, and reading BMP
    // files needs none.
    QCoreApplication app(argc, argv);
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
