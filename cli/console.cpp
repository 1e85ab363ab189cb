#include "cli/console.h"

#include "text/file_save.h"
#include "text/standard_output.h"

namespace {

const QString ProgramName = QStringLiteral("voxcel-convert");

void say(QIODevice &device, const QString &text)
{
    device.write(text.toLocal8Bit());
}

} // namespace

bool writeOut(const ConsoleStreams &console, const QByteArray &bytes)
{
    if (writeAll(console.out, bytes))
        return true;
    standardOutputFailed(console.out.errorString());
    return false;
}

void reportError(const ConsoleStreams &console, const QString &message)
{
    say(console.err, ProgramName + QStringLiteral(": ") + message + QLatin1Char('\n'));
}

void reportNote(const ConsoleStreams &console, const QString &note)
{
    say(console.err, ProgramName + QStringLiteral(": note: ") + note + QLatin1Char('\n'));
}

int usageError(const ConsoleStreams &console, const QString &message)
{
    reportError(console, message);
    say(console.err, QStringLiteral("Try '%1 --help' for more information.\n").arg(ProgramName));
    return ExitUsage;
}
