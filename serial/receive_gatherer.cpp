#include "serial/receive_gatherer.h"

#include <utility>

qint64 ReceivedBatch::size() const
{
    qint64 total = dropped;
    for (const ReceivedPiece &piece : pieces)
        total += piece.text.size();
    return total;
}

void ReceiveGatherer::add(const QString &chars, qint64 msSinceOpen)
{
    if (chars.isEmpty())
        return;
    const std::lock_guard<std::mutex> lock(mutex_);
    if (chars.size() >= limit_) { // everything before goes
        batch_.dropped += kept_;
        batch_.pieces.clear();
        kept_ = 0;
    }
    // Times are shown to the millisecond: reads within one are one piece.
    if (!batch_.pieces.isEmpty() && batch_.pieces.last().msSinceOpen == msSinceOpen)
        batch_.pieces.last().text += chars;
    else
        batch_.pieces.append({chars, msSinceOpen});
    kept_ += chars.size();
    if (kept_ > limit_) {
        const qint64 droppedBefore = batch_.dropped;
        batch_.dropOldest(kept_ - limit_);
        kept_ -= batch_.dropped - droppedBefore;
    }
}

void ReceivedBatch::dropOldest(qint64 count)
{
    while (count > 0 && !pieces.isEmpty()) {
        QString &oldest = pieces.first().text;
        if (oldest.size() > count) {
            // The LF of a CR LF pair would show as a line break of its own.
            if (count > 0 && oldest.at(count - 1) == u'\r' && oldest.at(count) == u'\n')
                ++count;
        }
        if (oldest.size() > count) {
            oldest.remove(0, count);
            dropped += count;
            return;
        }
        count -= oldest.size();
        dropped += oldest.size();
        pieces.removeFirst();
    }
}

bool ReceiveGatherer::claimNotice()
{
    const std::lock_guard<std::mutex> lock(mutex_);
    if (noticed_ || batch_.isEmpty())
        return false;
    noticed_ = true;
    return true;
}

ReceivedBatch ReceiveGatherer::take()
{
    const std::lock_guard<std::mutex> lock(mutex_);
    noticed_ = false;
    kept_ = 0;
    return std::exchange(batch_, {});
}

void ReceiveGatherer::clear()
{
    const std::lock_guard<std::mutex> lock(mutex_);
    batch_ = {};
    kept_ = 0;
}
