#pragma once

#include <QList>
#include <QString>

#include <mutex>

// What the line's thread keeps for the receive window at most: a CR LF pair
// shows as one line break, so twice the window's 10000 characters may be
// needed to fill it.
inline constexpr qsizetype ReceiveKeptLimit = 20000;

// Characters that arrived together, and when: milliseconds since the port
// opened.
struct ReceivedPiece
{
    QString text;
    qint64 msSinceOpen = 0;
};

// What arrived since the window last took it: the newest characters, oldest
// piece first, after `dropped` older ones that were let go unshown.
struct ReceivedBatch
{
    qint64 dropped = 0;
    QList<ReceivedPiece> pieces;

    bool isEmpty() const { return dropped == 0 && pieces.isEmpty(); }
    // Every character that arrived, shown or not.
    qint64 size() const;
    // Lets the oldest `count` kept characters go (at most all of them).
    void dropOldest(qint64 count);
};

// Holds what the line's thread reads until the window takes it at its poll.
// However fast the line runs, it keeps only the newest `limit` characters,
// which is all the receive window can show, and counts the rest. One
// notice to the window is outstanding at a time: claimNotice() grants it,
// take() answers it. Safe to use from two threads.
class ReceiveGatherer
{
public:
    explicit ReceiveGatherer(qsizetype limit) : limit_(limit) {}

    void add(const QString &chars, qint64 msSinceOpen);
    // True when something waits and no notice is outstanding; the caller
    // then sends one.
    bool claimNotice();
    // Everything gathered; the next claimNotice() may grant a notice again.
    ReceivedBatch take();
    // Forgets what waits (the port opened anew); an outstanding notice stays.
    void clear();

private:
    const qsizetype limit_;
    std::mutex mutex_;
    ReceivedBatch batch_;
    qsizetype kept_ = 0;
    bool noticed_ = false;
};
