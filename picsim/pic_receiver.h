#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <deque>
#include <optional>
#include <vector>

// What the PIC makes of a transmission: the parameter prefix ("*", target,
// buffer size, start address, delay), then pieces of the announced buffer
// size, each behind the wait text, until the 2048 hex digits of a whole
// display (1024 bytes) have arrived.

struct PicPrefix
{
    int target = 0;       // 0 the LCD, 1 the I2C EEPROM
    int bufferSize = 0;   // characters per piece
    int startAddress = 0; // EEPROM start address
    int picDelay = 0;     // the PIC's own delay, ms
    QString text;         // the prefix as received
};

// Reads a prefix as it comes on the wire, the wait text already cut off:
// "*", target 0 or 1, two hex digits of buffer size (not 0), four of start
// address, "0" and one or two hex digits of delay. On a malformed prefix
// returns nothing and says why in *error.
std::optional<PicPrefix> parsePicPrefix(const QByteArray &text, QString *error = nullptr);

class PicReceiver
{
public:
    static constexpr int DisplayBytes = 1024;
    static constexpr int DisplayDigits = 2 * DisplayBytes;

    struct Pause
    {
        int waitIndex;    // 1 for the wait text before the first piece
        qsizetype offset; // position of the wait text in the stream
        double ms;        // silence on the line before it
    };

    // The wait text must not be empty: the end of the prefix is found by it.
    explicit PicReceiver(const QString &waitText = QStringLiteral("]"));

    // Characters read together, arrived at timeMs (any steady clock).
    void receive(const QByteArray &chunk, double timeMs);

    // All digits arrived, or the prefix was refused: nothing more is taken.
    bool done() const { return stage_ == Stage::Done; }
    bool complete() const { return digits_ == DisplayDigits; }
    int digitsReceived() const { return digits_; }
    int piecesReceived() const { return pieces_; }

    const std::optional<PicPrefix> &prefix() const { return prefix_; }
    // The display bytes in the order received; missing ones are zero.
    const QByteArray &displayBytes() const { return display_; }
    const std::vector<Pause> &pauses() const { return pauses_; }
    // What a PIC would have choked on, in words.
    const QStringList &problems() const { return problems_; }
    int problemCount() const { return problemCount_; }

private:
    enum class Stage { Prefix, Wait, Piece, Done };

    void take(char ch, double timeMs);
    void waitTextComplete();
    void takeDigit(int value);
    void addProblem(const QString &problem);

    QByteArray waitText_;
    Stage stage_ = Stage::Prefix;
    QByteArray prefixText_;
    std::optional<PicPrefix> prefix_;
    int waitMatched_ = 0;
    int pieceLength_ = 0;
    int pieces_ = 0;
    int pieceDigits_ = 0;
    int digits_ = 0;
    QByteArray display_;
    qsizetype offset_ = 0;
    std::optional<double> lastTime_;
    std::deque<double> recentGaps_; // silence before each of the last characters
    std::vector<Pause> pauses_;
    QStringList problems_;
    int problemCount_ = 0;
};

// A whole transmission taken at once, without timing.
PicReceiver receiveTransmission(const QByteArray &transmission, const QString &waitText = QStringLiteral("]"));

// A summary of the pauses for the log: count, shortest, median, longest.
QString pauseSummary(const std::vector<PicReceiver::Pause> &pauses);
