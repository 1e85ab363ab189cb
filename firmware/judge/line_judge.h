#pragma once

#include "firmware/judge/wire_timing.h"

#include <QByteArray>
#include <QStringList>

#include <optional>
#include <vector>

// A picture as the transmission carries it: the prefix's target and start
// address, and the bytes of its hex digits.
struct SentPicture
{
    int target = 0; // 0 the display, 1 the EEPROM
    int address = 0;
    QByteArray bytes;
};

// The pictures in a transmission, each from its "*" on; the wait text is
// whatever is not a lower-case hex digit after the prefix.
std::vector<SentPicture> sentPictures(const QByteArray &transmission);

struct Verdict
{
    enum class Outcome { Pass, Fail, NoVerdict };
    Outcome outcome = Outcome::NoVerdict;
    QStringList lines; // what the judge found, for the log

    int exitCode() const { return outcome == Outcome::Pass ? 0 : outcome == Outcome::Fail ? 1 : 2; }
};

// What the firmware made of one send, and the time it took per piece.
struct FirmwareOutcome
{
    QStringList statusLines;
    int overruns = 0; // over every picture, from the status lines
    double longestPieceMs = 0;
};

struct JudgeOptions
{
    QString firmwareDir;  // holds receiver-<baud>.cod
    bool mendFifo = true; // see fifo_mend.cpp
    // The bytes the pictures must hold, one picture after another; without
    // them, those the transmission carries.
    std::optional<QByteArray> expected;
};

// gpsim 0.31 hands out the first of two waiting characters twice. True
// when gpsim, as run here, reads "AB" received while the PIC was busy as
// A then B; false, with the reason in *detail, when not.
bool fifoSelfCheck(const JudgeOptions &options, QString *detail);

// Runs the firmware in gpsim on the line's timing and judges what it did:
// every picture answered "OK", the display or EEPROM holding exactly the
// picture. No verdict when the FIFO self-check fails or gpsim does not
// finish. outcome, when given, gets what the firmware did.
Verdict judgeLine(const LineRecording &recording, const JudgeOptions &options, FirmwareOutcome *outcome = nullptr);
