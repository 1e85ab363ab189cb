#pragma once

#include "picsim/pic_receiver.h"
#include "serial/line_settings.h"
#include "text/shared_files.h"

#include <QString>
#include <QStringList>

#include <optional>

// What one run of voxcel-picsim is asked to do, checked. An option not
// given is left empty, or at its default.
struct PicsimOptions
{
    // --device and its --settings (always both), or else a pseudo-terminal,
    // linked from --link.
    std::optional<QString> device;
    std::optional<LineSettings> deviceSettings;
    std::optional<QString> link;

    std::optional<int> baud;
    QString waitText;
    double expectDelayMs = -1; // -1 without --expect-delay
    double allowanceMs = PicReceiver::DefaultAllowanceMs;
    std::optional<int> count;
    int pictureBytes = PicReceiver::DisplayBytes; // --rows 32: 512
    std::optional<QString> out;                   // %d stands for the picture's number
    std::optional<QString> log;
    std::optional<double> timeoutSeconds;
};

// Reads the command line, the program's name first. --help ends the program
// there. An unknown option, a value that is wrong or out of range, or
// options that do not go together give nothing, and *error says why.
std::optional<PicsimOptions> readPicsimOptions(const QStringList &arguments, QString *error);

// The run's files other than its pictures, which no --out picture may land
// on: --link and --log.
QList<FileGroup> linkAndLogFiles(const PicsimOptions &options);
