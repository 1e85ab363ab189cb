#pragma once

#include "serial/receive_gatherer.h"
#include "terminal/receive_format.h"

#include <QList>
#include <QString>

// What the receive window shows since the port opened, kept as it came (the
// characters with their times, the program's notices, what the user typed
// at the end of the window), so that another view shows all of it again.
// It keeps the newest ReceiveKeptLimit characters, as the line's thread
// does; the offsets go on past those let go.
class ReceiveTranscript
{
public:
    // The port opened: nothing shown yet; the view stays.
    void clear();
    bool isEmpty() const { return entries_.isEmpty(); }
    const ReceiveView &view() const { return formatter_.view(); }

    // The text appended for what the line's thread gathered (see
    // ReceiveFormatter::formatBatch).
    QString received(const ReceivedBatch &batch, qsizetype limit);
    // The text appended for a line of the program's own.
    QString notice(const QString &text, bool shownEndsLine);
    // Characters the user typed at the end of the window, and a number of
    // them erased there again.
    void typed(const QString &text);
    void erased(qsizetype count);

    // The window's whole text in a view, the newest ReceiveWindowLimit
    // characters of it.
    QString show(const ReceiveView &view);

private:
    enum class Kind { Received, Skipped, Notice, Typed };
    struct Entry
    {
        Kind kind;
        QString text;
        qint64 number = 0; // received: ms since the port opened; skipped: how many
    };
    void add(Entry entry);

    ReceiveFormatter formatter_;
    QList<Entry> entries_;
    qint64 firstOffset_ = 0; // of the oldest received character kept
    qsizetype kept_ = 0;     // characters of every entry's text
};
