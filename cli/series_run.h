#pragma once

#include "cli/console.h"
#include "cli/convert_options.h"

// The file of frame `number` (from 1) for a pattern where %d stands for it.
QString seriesFileName(const QString &pattern, int number);

// --series: reads the series, writes its frames as pictures when asked,
// then writes each frame's text, or sends the series to the device.
// Returns the exit status.
int runSeries(const ConvertOptions &options, const ConsoleStreams &console);
