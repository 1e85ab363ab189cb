#pragma once

#include <QString>

// Standard output that cannot be written fails the program, as any file
// would: a full disk, /dev/full, a pipe whose reader is gone.
//
// Called once, first thing in main(). Whichever way the program ends, also
// through exit() inside Qt (QCommandLineParser's --help), standard output
// is flushed then; if that or an earlier write to it failed, the program
// says why on standard error and ends with failureStatus.
void guardStandardOutput(const char *program, int failureStatus);

// A write to standard output that failed where stdio cannot see it (a
// QFile on its descriptor), and why: the end of the program reports it.
void standardOutputFailed(const QString &reason);
