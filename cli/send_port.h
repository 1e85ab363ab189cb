#pragma once

#include "cli/convert_options.h"
#include "serial/line_model.h"
#include "serial/series_plan.h"

#include <QElapsedTimer>
#include <QIODevice>
#include <QString>

#include <functional>

class QtSerialPort;

// Com1 of this process is the device of --send, at the line speed asked
// for; throws PortError when the settings are refused.
void setUpSendPort(QtSerialPort &port, const ConvertOptions &options);

// "Sending logo.bmp to /dev/ttyUSB0: 1056/2122, 1.7 s left" on one line,
// redrawn in place a few times a second; without the time left and with a
// line end once it is done, a line end alone when it is broken off.
class ProgressLine
{
public:
    ProgressLine(QIODevice &err, const QString &label) : err_(err), label_(label) {}
    ~ProgressLine();
    ProgressLine(const ProgressLine &) = delete;
    ProgressLine &operator=(const ProgressLine &) = delete;

    // position: where the send is ("1056/2122"); timeLeft is asked only
    // when the line is redrawn.
    void show(const QString &position, bool done, const std::function<LineDuration()> &timeLeft);

private:
    QIODevice &err_;
    const QString label_;
    QElapsedTimer clock_;
    bool shown_ = false;
    bool ended_ = false;
};

// The same line for a series: "frame 3/10, 1056/2122", with the round
// ahead of it when the series is sent more than once.
class SeriesProgressLine
{
public:
    SeriesProgressLine(QIODevice &err, const QString &label, const SeriesSendPlan &plan, LineDuration characterTime)
        : line_(err, label), plan_(plan), characterTime_(characterTime)
    {
    }

    // As the series loop reports it: the frame in flight and its characters.
    void show(int frame, qsizetype sent, qsizetype total);

private:
    ProgressLine line_;
    const SeriesSendPlan &plan_;
    const LineDuration characterTime_;
    int loop_ = 0;
    int lastFrame_ = -1;
    qsizetype lastSent_ = 0;
};
