#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

// For the start-up benchmark: a program built with this writes one line on
// its standard output at the first paint of its window, and ends there.
// The benchmark times the whole process, from its start to that line.
// With VOXCEL_PROBE_WHOLE_FRAME set, the line comes when that first frame is
// finished instead: the window's controls painted after it, and the frame
// handed to the display.
class FirstPaintProbe : public QObject
{
public:
    explicit FirstPaintProbe(QWidget &window) : QObject(&window) { window.installEventFilter(this); }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::Paint || seen_)
            return false;
        seen_ = true;
        if (!qEnvironmentVariableIsSet("VOXCEL_PROBE_WHOLE_FRAME"))
            stop();
        // The frame's painting and hand-over finish before queued calls run.
        QMetaObject::invokeMethod(this, &FirstPaintProbe::stop, Qt::QueuedConnection);
        return false;
    }

private:
    static void stop()
    {
        std::fputs("painted\n", stdout);
        std::fflush(stdout);
        std::_Exit(0); // what the program does after it is not measured
    }

    bool seen_ = false;
};
