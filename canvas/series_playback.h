#pragma once

#include <QtGlobal>

#include <vector>

// Playing a series as its animation: each frame for its own delay, the
// hold where the file gives none, round after round. Times are counted
// from the start of play, so a late timer shows the frame that is due and
// the animation keeps its pace; no frame shows before its time.
class SeriesPlayback
{
public:
    // A screen shows nothing shorter, and a round of zero delays would
    // never end.
    static constexpr int ShortestMs = 20;

    SeriesPlayback(const std::vector<int> &delaysMs, int holdMs);

    // How long the frame shows in each round.
    int shownMs(int frame) const;
    // The frame due at this time since play started.
    int frameAt(qint64 elapsedMs) const;
    // The time from then until the next frame is due.
    qint64 untilNext(qint64 elapsedMs) const;

private:
    std::vector<qint64> starts_; // of each frame in a round, and the round's end last
};
