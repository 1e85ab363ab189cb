#pragma once

#include <QDateTime>
#include <QFile>
#include <QStringList>

#include <algorithm>

// The log file of the terminal: everything received and sent, appended
// as it goes, one line at a time.
enum class TrafficDirection { Received, Sent };

// The log's lines for characters (8-bit) that went one way at one moment:
// the local time to the millisecond, RX or TX, then the characters with
// control codes and bytes above 126 escaped (\r, \n, \t, \\, \xNN), so the
// file stays plain text whatever the line carries. A line ends after each
// LF, so the PIC's lines stay lines.
QStringList trafficLogLines(const QDateTime &at, TrafficDirection direction, const QString &chars);

// Appends lines to a file, flushed one by one: what is logged is on the
// disk when the program or the machine stops.
class TrafficLog
{
public:
    // Opens the file for appending (made when missing). Refuses a folder,
    // a FIFO or a device, which a write could block on. The reason is for
    // the user.
    bool open(const QString &fileName, QString *error);
    void close();
    bool isOpen() const { return file_.isOpen(); }
    QString fileName() const { return file_.fileName(); }

    // Writes and flushes; on a failure closes the log and gives the reason.
    bool write(TrafficDirection direction, const QString &chars, QString *error);

private:
    bool fail(QString *error);

    QFile file_;
};

// The characters of a text in flight that the send has reported sent since
// they were last asked for, so that each goes into the log once.
class SentChars
{
public:
    void start(const QString &text)
    {
        text_ = text;
        reported_ = 0;
    }
    // Those up to `sent` not taken before; empty when there are none.
    QString take(qsizetype sent)
    {
        const QString fresh = sent > reported_ ? text_.mid(reported_, sent - reported_) : QString();
        reported_ = std::max(reported_, sent);
        return fresh;
    }

private:
    QString text_;
    qsizetype reported_ = 0;
};
