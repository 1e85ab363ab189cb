#pragma once

#include "cli/convert_options.h"

#include <QIODevice>
#include <QImage>
#include <QStringList>

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

class QtSerialPort;

// Writes all to standard output; a failure is reported at the end of the
// program (guardStandardOutput), which then fails.
bool writeOut(const ConsoleStreams &console, const QByteArray &bytes);

// "voxcel-convert: " and the message, on its own line of the error stream.
void reportError(const ConsoleStreams &console, const QString &message);
// "voxcel-convert: note: " and the note: something the user should know of
// a run that still succeeded.
void reportNote(const ConsoleStreams &console, const QString &note);
// Com1 of this process is the device of --send, at the line speed asked
// for; throws PortError when the settings are refused.
void setUpSendPort(QtSerialPort &port, const ConvertOptions &options);

// What the window's text output window shows for this picture with these
// settings: the converted text, or with reformat the text Reformat For
// Output builds.
QString pictureText(const QImage &picture, const ConvertOptions &options);

// The whole program: arguments as QCoreApplication gives them (the program
// name first). Returns the exit status.
int runConvert(const QStringList &arguments, const ConsoleStreams &console);
