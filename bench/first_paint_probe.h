#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

// For the start-up benchmark: a program built with this writes one line on
// its standard output at the first paint of its window, and ends there.
// The benchmark times the whole process, from its start to that line.
class FirstPaintProbe : public QObject
{
public:
    explicit FirstPaintProbe(QWidget &window) : QObject(&window) { window.installEventFilter(this); }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            std::fputs("painted\n", stdout);
            std::fflush(stdout);
            std::_Exit(0); // what the program does after its first paint is not measured
        }
        return false;
    }
};
