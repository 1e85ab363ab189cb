#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// What arrived on the line and when: characters read together share their
// arrival time, counted from the first read.
struct Arrival
{
    qint64 ns = 0;
    QByteArray bytes;
};

struct LineRecording
{
    int baud = 9600;
    std::vector<Arrival> arrivals;

    QByteArray text() const;
};

// The recording as a text file: "baud N", then one "nanoseconds hex" line
// per read.
bool writeRecording(const QString &path, const LineRecording &recording, QString *error);
std::optional<LineRecording> readRecording(const QString &path, QString *error);

// The times Voxcel's pacing gives the transmission texts on a line of this
// speed: each text paced as Send to LCD paces it, holdMs of quiet between
// two texts, as a series is sent.
LineRecording pacedRecording(const QStringList &texts, const QString &waitText, int delayMs, int holdMs, int baud);

// The PIC's instruction clock: 18.432 MHz / 4.
inline constexpr double CyclesPerSecond = 4608000.0;

// When each character's start bit begins, in instruction cycles from
// leadCycles on: a character starts when it arrives, or when the one
// before it has ended (10 bits later), whichever is later.
std::vector<qint64> startCycles(const LineRecording &recording, qint64 leadCycles);

// The RX pin as gpsim's FileStimulus drives it ("cycle volts" lines): one
// low-to-high edge at the very start, which gpsim's USART needs to see the
// first start bit, then the characters' bits (8 data, no parity, 1 stop)
// from their start cycles, which must come after the firmware's start-up.
QByteArray rxStimulus(const QByteArray &bytes, const std::vector<qint64> &starts, int baud);
