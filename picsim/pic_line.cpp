#include "picsim/pic_line.h"

#include <algorithm>
#include <limits>

PicLine::PicLine(const QString &waitText, double expectDelayMs, double allowanceMs, int pictureBytes)
    : waitText_(waitText), waitBytes_(waitText.isEmpty() ? QByteArray("]") : waitText.toLatin1()),
      expectDelayMs_(expectDelayMs), allowanceMs_(allowanceMs), pictureBytes_(pictureBytes)
{
}

std::vector<LineTime> readHandOvers(LineTime from, LineTime at, qsizetype characters,
                                    const std::vector<qsizetype> &pausePoints, LineDuration characterTime)
{
    std::vector<LineTime> handOvers;
    LineDuration share{};
    LineTime next = std::max(from, at - LineDuration(std::max<qsizetype>(characters - 1, 0) * characterTime));
    if (!pausePoints.empty()) {
        const LineDuration spare = at - from - LineDuration(pausePoints.back() * characterTime);
        share = std::max(spare, LineDuration::zero()) / static_cast<LineDuration::rep>(pausePoints.size());
        next = from;
    }
    auto pause = pausePoints.begin();
    for (qsizetype i = 0; i < characters; ++i) {
        if (pause != pausePoints.end() && *pause == i) {
            next += share;
            ++pause;
        }
        handOvers.push_back(next);
        next += characterTime;
    }
    return handOvers;
}

void PicLine::receive(const QByteArray &chunk, LineTime at, LineDuration characterTime)
{
    wire_.setCharacterTime(characterTime);
    std::vector<qsizetype> pausePoints;
    for (qsizetype i = chunk.indexOf(waitBytes_); i >= 0; i = chunk.indexOf(waitBytes_, i + waitBytes_.size()))
        pausePoints.push_back(i);
    // What came after the previous read was not there at it.
    const LineTime from = lastArrival_ && wire_.idleAt() ? std::max(*lastArrival_, *wire_.idleAt()) : at;
    const std::vector<LineTime> handOvers = readHandOvers(from, at, chunk.size(), pausePoints, characterTime);
    lastArrival_ = at;
    for (qsizetype i = 0; i < chunk.size(); ++i) {
        const char ch = chunk.at(i);
        // Before the first character the line had been quiet for ever.
        const std::optional<LineDuration> silence = wire_.take(handOvers[static_cast<std::size_t>(i)]);
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
