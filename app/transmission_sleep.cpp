#include "app/transmission_sleep.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <chrono>
#include <thread>

void repaintPending()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void sleepWhileRepainting(int ms)
{
    if (ms <= 0)
        return;
    QElapsedTimer clock;
    clock.start();
    const qint64 deadlineNs = static_cast<qint64>(ms) * 1000000;
    for (;;) {
        repaintPending();
        const qint64 remainingNs = deadlineNs - clock.nsecsElapsed();
        if (remainingNs <= 0)
            return;
        // Short naps keep the overshoot of the pause well under a millisecond.
        std::this_thread::sleep_for(std::chrono::nanoseconds(std::min<qint64>(remainingNs, 4000000)));
    }
}
