#include "terminal/receive_format.h"

#include <utility>

namespace {
// "[    ms] " before a line, "00000000:" before its bytes, " XX" a byte.
constexpr int TimeMarkWidth = 9;
constexpr int OffsetWidth = 9;
constexpr int HexByteWidth = 3;
} // namespace

int hexLineWidth(const HexLayout &layout, bool times)
{
    // Without the offset, the first byte needs no space before it.
    return (times ? TimeMarkWidth : 0) + (layout.offsets ? OffsetWidth : -1) + HexByteWidth * layout.bytesPerLine;
}

HexLayout hexLayoutFor(int widthInChars, bool times)
{
    for (const HexLayout layout : {HexLayout{16, true}, HexLayout{8, true}})
        if (hexLineWidth(layout, times) <= widthInChars)
            return layout;
    return {8, false};
}

void ReceiveFormatter::reset(qint64 offset)
{
    text_.reset();
    offset_ = offset;
    hexColumn_ = 0;
    lineOpen_ = false;
    pendingBreak_ = false;
    lastArrivalMs_ = -1;
}

void ReceiveFormatter::setView(const ReceiveView &view)
{
    view_ = view;
    hexColumn_ = 0;
    text_.reset();
    pendingBreak_ = lineOpen_;
}

QString ReceiveFormatter::timeMark(qint64 ms)
{
    return QStringLiteral("[%1] ").arg(ms, 6);
}

QString ReceiveFormatter::hexLineStart(qint64 offset)
{
    return QStringLiteral("%1:").arg(offset, 8, 16, QLatin1Char('0')).toUpper();
}

QString ReceiveFormatter::format(const QString &received, qint64 msSinceOpen)
{
    if (received.isEmpty())
        return {};
    QString shown = pendingBreak_ ? newLine() : QString();
    pendingBreak_ = false;
    shown += view_.hex ? formatHex(received, msSinceOpen) : formatText(received, msSinceOpen);
    offset_ += received.size();
    lastArrivalMs_ = msSinceOpen;
    return shown;
}

QString ReceiveFormatter::noticeLine(const QString &text, bool shownEndsLine)
{
    QString line = (shownEndsLine ? QString() : QStringLiteral("\n")) + text + QLatin1Char('\n');
    lineOpen_ = false;
    hexColumn_ = 0;
    text_.reset();
    pendingBreak_ = false;
    return line;
}

QString ReceiveFormatter::skip(qint64 count)
{
    offset_ += count;
    text_.reset();
    return noticeLine(QStringLiteral("(%1 characters not shown)").arg(count), !lineOpen_);
}

QString ReceiveFormatter::formatBatch(ReceivedBatch batch, qsizetype limit, ReceivedBatch *shownBatch)
{
    const ReceiveFormatter start = *this;
    for (;;) {
        QString shown = batch.dropped > 0 ? skip(batch.dropped) : QString();
        qint64 kept = 0;
        for (const ReceivedPiece &piece : batch.pieces) {
            shown += format(piece.text, piece.msSinceOpen);
            kept += piece.text.size();
        }
        if (shown.size() <= limit || kept == 0) {
            if (shownBatch)
                *shownBatch = std::move(batch);
            return shown;
        }
        // About as many characters as make up the excess, shown as they
        // are here (a byte takes three in hex); again until it fits.
        *this = start;
        batch.dropOldest((shown.size() - limit) * kept / shown.size() + 1);
    }
}

// Ends the line shown last, if one is open.
QString ReceiveFormatter::newLine()
{
    const bool open = lineOpen_;
    lineOpen_ = false;
    return open ? QStringLiteral("\n") : QString();
}

QString ReceiveFormatter::formatText(const QString &received, qint64 ms)
{
    QString out;
    for (const QChar ch : text_.toDisplay(received)) {
        if (!lineOpen_ && view_.times)
            out += timeMark(ms);
        out += ch;
        lineOpen_ = ch != QLatin1Char('\n');
    }
    return out;
}

QString ReceiveFormatter::formatHex(const QString &received, qint64 ms)
{
    QString out;
    const bool afterSilence = view_.times && lastArrivalMs_ >= 0 && ms - lastArrivalMs_ >= HexSilenceBreakMs;
    if (afterSilence)
        hexColumn_ = view_.hexBytesPerLine; // the next byte begins a line
    qint64 offset = offset_;
    for (const QChar ch : received) {
        const bool lineStarts = hexColumn_ == 0 || hexColumn_ >= view_.hexBytesPerLine;
        if (lineStarts) {
            out += newLine();
            if (view_.times)
                out += timeMark(ms);
            if (view_.hexOffsets)
                out += hexLineStart(offset);
            hexColumn_ = 0;
            lineOpen_ = true;
        }
        if (!lineStarts || view_.hexOffsets)
            out += QLatin1Char(' ');
        out += QStringLiteral("%1").arg(ch.unicode() & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
        ++hexColumn_;
        ++offset;
    }
    return out;
}
