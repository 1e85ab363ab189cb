#include "terminal/receive_transcript.h"

#include "terminal/receive_window.h"

#include <algorithm>

void ReceiveTranscript::clear()
{
    formatter_.reset();
    entries_.clear();
    firstOffset_ = 0;
    kept_ = 0;
}

QString ReceiveTranscript::received(const ReceivedBatch &batch, qsizetype limit)
{
    ReceivedBatch shown;
    const QString text = formatter_.formatBatch(batch, limit, &shown);
    if (shown.dropped > 0)
        add({Kind::Skipped, {}, shown.dropped});
    for (const ReceivedPiece &piece : shown.pieces)
        add({Kind::Received, piece.text, piece.msSinceOpen});
    return text;
}

QString ReceiveTranscript::notice(const QString &text, bool shownEndsLine)
{
    add({Kind::Notice, text});
    return formatter_.noticeLine(text, shownEndsLine);
}

void ReceiveTranscript::typed(const QString &text)
{
    if (!entries_.isEmpty() && entries_.last().kind == Kind::Typed) {
        entries_.last().text += text;
        kept_ += text.size();
    } else {
        add({Kind::Typed, text});
    }
}

void ReceiveTranscript::erased(qsizetype count)
{
    if (entries_.isEmpty() || entries_.last().kind != Kind::Typed)
        return; // only what was typed there is the user's to erase
    QString &typed = entries_.last().text;
    count = std::min(count, typed.size());
    typed.chop(count);
    kept_ -= count;
    if (typed.isEmpty())
        entries_.removeLast();
}

void ReceiveTranscript::add(Entry entry)
{
    kept_ += entry.text.size();
    entries_.append(std::move(entry));
    while (kept_ > ReceiveKeptLimit) {
        Entry &oldest = entries_.first();
        const qsizetype excess = kept_ - ReceiveKeptLimit;
        if (oldest.kind == Kind::Received && oldest.text.size() > excess) {
            oldest.text.remove(0, excess);
            firstOffset_ += excess;
            kept_ -= excess;
            break;
        }
        if (oldest.kind == Kind::Received)
            firstOffset_ += oldest.text.size();
        else if (oldest.kind == Kind::Skipped)
            firstOffset_ += oldest.number;
        kept_ -= oldest.text.size();
        entries_.removeFirst();
    }
}

QString ReceiveTranscript::show(const ReceiveView &view)
{
    formatter_.setView(view);
    formatter_.reset(firstOffset_);
    QString shown;
    for (const Entry &entry : entries_) {
        switch (entry.kind) {
        case Kind::Received:
            shown += formatter_.format(entry.text, entry.number);
            break;
        case Kind::Skipped:
            shown += formatter_.skip(entry.number);
            break;
        case Kind::Notice:
            shown += formatter_.noticeLine(entry.text, shown.isEmpty() || shown.endsWith(QLatin1Char('\n')));
            break;
        case Kind::Typed:
            shown += entry.text;
            break;
        }
    }
    return capReceiveText(shown);
}
