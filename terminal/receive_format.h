#pragma once

#include "serial/receive_gatherer.h"
#include "terminal/receive_display.h"

#include <QString>

// How the receive window shows what arrives.
struct ReceiveView
{
    bool hex = false;   // offset, then the bytes as two hex digits each
    bool times = false; // milliseconds since the port opened, before each line
    int hexBytesPerLine = 16;
    bool hexOffsets = true; // each hex line starts with the offset of its first byte

    bool operator==(const ReceiveView &other) const
    {
        return hex == other.hex && times == other.times && hexBytesPerLine == other.hexBytesPerLine &&
               hexOffsets == other.hexOffsets;
    }
};

// How a hex line fits a window `widthInChars` characters wide: 16 bytes
// with their offset where they fit, else 8; and where even 8 with their
// offset do not, 8 without it, so that the bytes themselves stay in view.
struct HexLayout
{
    int bytesPerLine = 16;
    bool offsets = true;
};
HexLayout hexLayoutFor(int widthInChars, bool times);
// The characters a hex line takes.
int hexLineWidth(const HexLayout &layout, bool times);

// In the hex view with times, a silence this long starts a new line: the
// PIC's answers stand apart from each other.
inline constexpr qint64 HexSilenceBreakMs = 100;

// Turns what arrives into the text appended to the receive window, chunk by
// chunk, in the view chosen. The text view is the characters as
// ReceiveDisplay shows them; the hex view shows every byte, so the view
// changes nothing of what is received. The offset counts every byte since
// the port opened, whatever the view.
class ReceiveFormatter
{
public:
    // The port opened: offset and lines start again (at `offset` when
    // earlier characters are no longer shown).
    void reset(qint64 offset = 0);
    // The next characters start on a line of their own.
    void setView(const ReceiveView &view);
    const ReceiveView &view() const { return view_; }

    // The text for characters (8-bit) that arrived msSinceOpen after the
    // port opened.
    QString format(const QString &received, qint64 msSinceOpen);
    // A line of the program's own, between the received ones: on a line of
    // its own, so it starts with a break unless the text shown before it
    // ends with one (an empty window does).
    QString noticeLine(const QString &text, bool shownEndsLine);
    // Characters that arrived but are not shown (too many came at once): a
    // line says how many, and the offsets go on past them.
    QString skip(qint64 count);
    // The text for what the line's thread gathered, at most `limit`
    // characters: when it would be longer, more of the oldest characters
    // go unshown, so that the line saying how many stays in view.
    // What was shown of the batch goes to `shown` when given.
    QString formatBatch(ReceivedBatch batch, qsizetype limit, ReceivedBatch *shown = nullptr);

    static QString timeMark(qint64 ms);
    static QString hexLineStart(qint64 offset);

private:
    QString formatText(const QString &received, qint64 ms);
    QString formatHex(const QString &received, qint64 ms);
    QString newLine();

    ReceiveView view_;
    ReceiveDisplay text_;
    qint64 offset_ = 0;
    int hexColumn_ = 0;         // bytes on the current hex line; 0: none begun
    bool lineOpen_ = false;     // the last line shown does not end yet
    bool pendingBreak_ = false; // the view changed with a line open
    qint64 lastArrivalMs_ = -1;
};
