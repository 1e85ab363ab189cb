#include "app/transmission_sleep.h"

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <thread>

void repaintPending()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void sleepWhileRepainting(LineTime deadline)
{
    using namespace std::chrono_literals;
    // Repaints only while there is time to spare, in short naps; the last
    // stretch is one plain sleep, so a repaint never makes the pause end
    // late and the send keeps close to the time the line needs.
    constexpr LineDuration LastStretch = 2ms;
    while (LineClock::now() + LastStretch < deadline) {
        repaintPending();
        std::this_thread::sleep_until(std::min(LineClock::now() + 4ms, deadline - LastStretch));
    }
    std::this_thread::sleep_until(deadline);
}
