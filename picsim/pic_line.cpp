#include "picsim/pic_line.h"

#include <limits>

PicLine::PicLine(const QString &waitText, double expectDelayMs, double allowanceMs, int pictureBytes)
    : waitText_(waitText), expectDelayMs_(expectDelayMs), allowanceMs_(allowanceMs), pictureBytes_(pictureBytes)
{
}

void PicLine::receive(const QByteArray &chunk, LineTime at, LineDuration characterTime)
{
    wire_.setCharacterTime(characterTime);
    lastArrival_ = at;
    for (qsizetype i = 0; i < chunk.size(); ++i) {
        const char ch = chunk.at(i);
        // Before the first character the line had been quiet for ever.
        const std::optional<LineDuration> silence = wire_.take(at);
        const double silenceMs = silence ? std::chrono::duration<double, std::milli>(*silence).count()
                                         : std::numeric_limits<double>::infinity();
        if (current_ && current_->receiver.take(ch, silenceMs))
            continue;
        endPicture(current_ ? QStringLiteral("a new prefix began") : QString());
        if (lastPicture_ && pictures_ >= *lastPicture_) {
            ignored_ += chunk.size() - i;
            return;
        }
        current_ = Picture{++pictures_, PicReceiver(waitText_, expectDelayMs_, allowanceMs_, pictureBytes_)};
        current_->receiver.take(ch, silenceMs);
    }
}

void PicLine::endPicture(const QString &why)
{
    if (!current_)
        return;
    current_->receiver.finish(why);
    ended_.push_back(std::move(*current_));
    current_.reset();
}

std::vector<PicLine::Picture> PicLine::takeEnded()
{
    std::vector<Picture> ended;
    ended.swap(ended_);
    return ended;
}
