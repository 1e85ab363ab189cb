#pragma once

#include "cli/console.h"
#include "cli/convert_options.h"

#include <QImage>
#include <QStringList>

// What the window's text output window shows for this picture with these
// settings: the converted text, or with reformat the text Reformat For
// Output builds.
QString pictureText(const QImage &picture, const ConvertOptions &options);

// The whole program: arguments as QCoreApplication gives them (the program
// name first). Returns the exit status.
int runConvert(const QStringList &arguments, const ConsoleStreams &console);
