#pragma once

#include <QEventLoop>
#include <QTimer>

#include <functional>

// Runs an event loop that sleeps between events, as the program's own does
// (a processEvents() loop would spin and skew every CPU and timer figure),
// until done() holds, asked every 5 ms, or timeoutMs have passed. Without
// done() it simply runs for timeoutMs. Returns whether done() held.
inline bool runEventLoopUntil(const std::function<bool()> &done, int timeoutMs)
{
    if (done && done())
        return true;
    QEventLoop loop;
    QTimer check;
    check.setInterval(5);
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer::singleShot(timeoutMs, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    if (done)
        check.start();
    loop.exec();
    return done && done();
}

inline void runEventLoopFor(int ms)
{
    runEventLoopUntil({}, ms);
}
