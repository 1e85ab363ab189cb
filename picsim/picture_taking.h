#pragma once

#include "picsim/picsim_options.h"
#include "picsim/pseudo_terminal.h"

#include <QTextStream>

// Takes pictures off the open line as the PIC would, reporting each one,
// until --count of them are over, a stop signal comes, the line is lost or
// stays quiet for --timeout. Closes a pseudo-terminal's line at the end.
// Returns the exit status.
int takePictures(const Line &line, const PicsimOptions &options, QTextStream &log, QTextStream &out, QTextStream &err);
