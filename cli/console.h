#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

// Where voxcel-convert talks to its caller.
struct ConsoleStreams
{
    QIODevice &out;
    QIODevice &err;
    // A progress line is shown only to a person watching a terminal.
    bool errIsTerminal = false;
    // Standard input was closed when the program started.
    bool inIsClosed = false;
};

enum ExitCode : int {
    ExitSuccess = 0,
    ExitFailure = 1, // a picture, a file or the device failed
    ExitUsage = 2,   // a wrong option or value: nothing was done
};

// Writes all to standard output; a failure is reported at the end of the
// program (guardStandardOutput), which then fails.
bool writeOut(const ConsoleStreams &console, const QByteArray &bytes);

// "voxcel-convert: " and the message, on its own line of the error stream.
void reportError(const ConsoleStreams &console, const QString &message);
// "voxcel-convert: note: " and the note: something the user should know of
// a run that still succeeded.
void reportNote(const ConsoleStreams &console, const QString &note);
// The message, then a hint at --help; returns ExitUsage.
int usageError(const ConsoleStreams &console, const QString &message);
