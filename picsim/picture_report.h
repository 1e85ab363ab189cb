#pragma once

#include "picsim/exit_code.h"
#include "picsim/pic_line.h"
#include "serial/line_settings.h"
#include "text/shared_files.h"

#include <QString>
#include <QTextStream>

#include <cstddef>
#include <optional>

// What the run says about each picture: its prefix and the silences before
// its wait texts in the log as they arrive; once it is over, its pieces,
// problems and result line (in the log and on standard output), and with
// --out the display it leaves as a picture file.
// Where an EEPROM picture went, against the one before it: pictures of a
// series lie one after the other, each `pictureBytes` past the last. good
// says whether this one does (the first always does).
struct EepromPlacement
{
    QString text;
    bool good = true;
};
EepromPlacement eepromPlacement(int number, int address, std::optional<int> previousAddress, int pictureBytes);

class PictureReport
{
public:
    // outFile is --out, where %d stands for the picture's number; no
    // picture is written onto one of otherFiles.
    PictureReport(QTextStream &log, QTextStream &out, QTextStream &err, const std::optional<QString> &outFile,
                  const QList<FileGroup> &otherFiles = {});

    // Logs what of the picture has not been logged yet, on a line of the
    // given settings.
    void logProgress(const PicLine::Picture &picture, const LineSettings &settings);
    // Reports the pictures that are over since the last call.
    void reportEnded(PicLine &pictures, const LineSettings &settings);

    // The exit status the pictures reported so far call for.
    int result() const { return result_; }
    // How many pictures have been reported.
    int taken() const { return taken_; }

private:
    void reportEepromPlacement(const PicLine::Picture &picture);

    QTextStream &log_;
    QTextStream &out_;
    QTextStream &err_;
    std::optional<QString> outFile_;
    QList<FileGroup> otherFiles_;
    int result_ = AllGood;
    int taken_ = 0;
    std::optional<int> lastEepromAddress_; // of the EEPROM picture before
    // What of the picture in progress has been logged.
    int loggedPicture_ = 0;
    bool prefixLogged_ = false;
    std::size_t pausesLogged_ = 0;
};
