#include "canvas/series_playback.h"

#include <algorithm>

SeriesPlayback::SeriesPlayback(const std::vector<int> &delaysMs, int holdMs)
{
    qint64 start = 0;
    starts_.push_back(start);
    for (const int delay : delaysMs) {
        start += std::max(delay > 0 ? delay : holdMs, ShortestMs);
        starts_.push_back(start);
    }
}

int SeriesPlayback::shownMs(int frame) const
{
    return int(starts_[std::size_t(frame) + 1] - starts_[std::size_t(frame)]);
}

int SeriesPlayback::frameAt(qint64 elapsedMs) const
{
    if (starts_.size() < 2)
        return 0;
    const qint64 inRound = std::max<qint64>(elapsedMs, 0) % starts_.back();
    return int(std::upper_bound(starts_.begin(), starts_.end(), inRound) - starts_.begin()) - 1;
}

qint64 SeriesPlayback::untilNext(qint64 elapsedMs) const
{
    if (starts_.size() < 2)
        return ShortestMs;
    const qint64 inRound = std::max<qint64>(elapsedMs, 0) % starts_.back();
    return starts_[std::size_t(frameAt(elapsedMs)) + 1] - inRound;
}
