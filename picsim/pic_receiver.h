#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <deque>
#include <optional>
#include <vector>

// What the PIC makes of one picture: the parameter prefix ("*", target,
// buffer size, start address, delay) exactly as the program writes it, then
// pieces of the announced buffer size, each behind the wait text, in the
// program's lower-case hex, until the 2048 digits of a whole display (1024
// bytes) have arrived; then nothing until the "*" of the next picture.

struct PicPrefix
{
    int target = 0;       // 0 the LCD, 1 the I2C EEPROM
    int bufferSize = 0;   // characters per piece
    int startAddress = 0; // EEPROM start address
    int picDelay = 0;     // the PIC's own delay, ms
    QString text;         // the prefix as received
};

// Reads a prefix as it comes on the wire, the wait text already cut off:
// "*", target 0 or 1, two upper-case hex digits of a buffer size the
// program offers, four of start address, "0" and the delay in upper-case
// hex without leading zeros, one the program offers. On anything else
// returns nothing and says why in *error.
std::optional<PicPrefix> parsePicPrefix(const QByteArray &text, QString *error = nullptr);

class PicReceiver
{
public:
    static constexpr int DisplayBytes = 1024;
    static constexpr int DisplayDigits = 2 * DisplayBytes;
    // How much shorter than expected a measured silence may be, by default:
    // scheduling on the PIC's side of a pseudo-terminal takes that off.
    static constexpr double DefaultAllowanceMs = 1.0;

    struct Pause
    {
        int waitIndex;    // 1 for the wait text before the first piece
        qsizetype offset; // position of the wait text in the picture
        double ms;        // silence on the wire before it
    };

    // The wait text must not be empty: the end of the prefix is found by it.
    // expectDelayMs: a silence before a wait text shorter than this, less
    // allowanceMs, is a fault; below 0 silences are only logged.
    // pictureBytes: 1024 for a 128 x 64 display, 512 for 128 x 32.
    explicit PicReceiver(const QString &waitText = QStringLiteral("]"), double expectDelayMs = -1,
                         double allowanceMs = DefaultAllowanceMs, int pictureBytes = DisplayBytes);

    // One character and the silence on the wire before it. False when the
    // character is not this picture's: a "*" that begins the next prefix.
    // The caller then ends this picture and starts the next with it.
    bool take(char ch, double silenceMs);
    // Nothing more comes: notes a short picture (why: what ended it, for the
    // message) and anything that came after the last piece.
    void finish(const QString &why = {});

    // All digits arrived, or the prefix was refused: only the next picture's
    // "*" is expected now.
    bool done() const { return stage_ == Stage::After || stage_ == Stage::Refused; }
    bool complete() const { return digits_ == pictureDigits(); }
    int pictureBytes() const { return pictureBytes_; }
    int pictureDigits() const { return 2 * pictureBytes_; }
    // Whole and faultless, as far as it has come.
    bool good() const { return complete() && problemCount_ == 0; }
    int digitsReceived() const { return digits_; }
    int piecesReceived() const { return pieces_; }

    const std::optional<PicPrefix> &prefix() const { return prefix_; }
    // The display bytes in the order received; missing ones are zero.
    const QByteArray &displayBytes() const { return display_; }
    // The pauses before the first MostPausesKept wait texts: all that a
    // whole picture has (1024 pieces of 2 digits), where a sender out of
    // step may send millions. piecesReceived() counts them all.
    static constexpr std::size_t MostPausesKept = DisplayDigits / 2;
    const std::vector<Pause> &pauses() const { return pauses_; }
    // What a PIC would have choked on, in words.
    const QStringList &problems() const { return problems_; }
    int problemCount() const { return problemCount_; }

private:
    enum class Stage { Prefix, Wait, Piece, After, Refused };

    bool startsNextPicture(char ch) const;
    void refusePrefix(const QString &why);
    void waitTextComplete();
    void takeDigit(int value);
    void addProblem(const QString &problem);

    QByteArray waitText_;
    double expectDelayMs_;
    double allowanceMs_;
    int pictureBytes_;
    Stage stage_ = Stage::Prefix;
    QByteArray prefixText_;
    std::optional<PicPrefix> prefix_;
    int waitMatched_ = 0;
    int pieceLength_ = 0;
    int pieces_ = 0;
    int pieceDigits_ = 0;
    int digits_ = 0;
    int trailing_ = 0; // characters after the last piece
    bool finished_ = false;
    QByteArray display_;
    qsizetype offset_ = 0;
    std::deque<double> recentSilences_; // before each of the last characters
    std::vector<Pause> pauses_;
    QStringList problems_;
    int problemCount_ = 0;
};

// A whole transmission of one picture taken at once, without timing.
PicReceiver receiveTransmission(const QByteArray &transmission, const QString &waitText = QStringLiteral("]"));

// A summary of the pauses for the log: count, shortest, median, longest.
QString pauseSummary(const std::vector<PicReceiver::Pause> &pauses);

// The one line that tells how picture `number` went: "picture 2: OK; 64
// pauses: shortest ..." or "picture 2: FAILED: <the first problem>".
QString pictureResult(int number, const PicReceiver &picture);
