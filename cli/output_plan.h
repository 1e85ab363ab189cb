#pragma once

#include "cli/convert_options.h"

#include <QList>
#include <QString>

// Where the text of one input goes; an empty file means standard output.
struct OutputTarget
{
    QString input;
    QString file;
};

// One target per input, in the order given. Fails with a usage error when
// the outputs (the texts and --save-picture) cannot be told apart or would
// overwrite an input picture, however links lead there.
QList<OutputTarget> planOutputs(const ConvertOptions &options, QString *error);
