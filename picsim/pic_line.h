#pragma once

#include "picsim/pic_receiver.h"
#include "serial/line_model.h"

#include <optional>
#include <vector>

// When the characters of one read were handed to the line, as far as the
// reader can tell: no earlier than `from` (the line was busy, or they were
// not there yet at the reader's previous read) and none after `at`. A
// reader held up itself reads at once what a paced sender spread out, and
// nothing shows when within the window each came. So they go back to back
// from `from`, and the time the window has beyond their line time up to the
// last pause point (where a wait text begins) is shared evenly among the
// pause points: the burst counts as paced when that time covers its
// pauses. Without a pause point the last one is handed over at `at` at the
// latest, so the wire is idle a character time after `at` or after their
// line time, whichever is later. The stall's time goes to no later pause.
std::vector<LineTime> readHandOvers(LineTime from, LineTime at, qsizetype characters,
                                    const std::vector<qsizetype> &pausePoints, LineDuration characterTime);

// The PIC's end of the line: characters as they arrive, timed as a UART at
// the line's speed delivers them, and cut into pictures at each "*" that
// begins a prefix. A pseudo-terminal hands over at once what a real line
// would spread out, so the silence before a character is judged on the
// modelled wire: it ends a character time after its hand-over or after the
// character before it has ended, whichever is later. The first read's
// characters count as handed over when read; later ones as readHandOvers
// places them.
class PicLine
{
public:
    struct Picture
    {
        int number; // from 1
        PicReceiver receiver;
    };

    // expectDelayMs, allowanceMs and pictureBytes as for PicReceiver.
    PicLine(const QString &waitText, double expectDelayMs, double allowanceMs = PicReceiver::DefaultAllowanceMs,
            int pictureBytes = PicReceiver::DisplayBytes);

    // Characters read together at `at`, on a line of the given character
    // time (the sender may change the speed between two reads).
    void receive(const QByteArray &chunk, LineTime at, LineDuration characterTime);
    // Ends the picture in progress, if any; why says what ended it.
    void endPicture(const QString &why = {});
    // Takes no picture after this one: what comes once it is over is only
    // counted, in ignored().
    void stopAfter(int picture) { lastPicture_ = picture; }
    qsizetype ignored() const { return ignored_; }

    // The picture in progress, if any.
    const Picture *current() const { return current_ ? &*current_ : nullptr; }
    // Pictures over since the previous call, in order.
    std::vector<Picture> takeEnded();
    std::optional<LineTime> lastArrival() const { return lastArrival_; }
    // When the modelled wire has passed on everything read so far.
    std::optional<LineTime> idleAt() const { return wire_.idleAt(); }

private:
    QString waitText_;
    QByteArray waitBytes_; // as PicReceiver reads it
    double expectDelayMs_;
    double allowanceMs_;
    int pictureBytes_;
    LineModel wire_{LineDuration::zero()};
    std::optional<Picture> current_;
    std::vector<Picture> ended_;
    int pictures_ = 0;
    std::optional<int> lastPicture_;
    qsizetype ignored_ = 0;
    std::optional<LineTime> lastArrival_;
};
