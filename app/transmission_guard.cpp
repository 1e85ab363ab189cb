#include "app/transmission_guard.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <thread>

namespace {

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

bool isMouse(QEvent::Type type)
{
    return type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
           type == QEvent::MouseButtonDblClick || type == QEvent::MouseMove;
}

} // namespace

TransmissionGuard::TransmissionGuard(QWidget *stopButton) : stopButton_(stopButton)
{
    QCoreApplication::instance()->installEventFilter(this);
}

TransmissionGuard::~TransmissionGuard()
{
    QCoreApplication::instance()->removeEventFilter(this);
}

bool TransmissionGuard::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (!isUserInput(type))
        return false;
    if (type == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        requestStop();
        return true;
    }
    if (isMouse(type) && stopButton_ && watched == stopButton_)
        return false;
    return true; // dropped
}

void TransmissionGuard::repaint()
{
    // Input goes through the filter, which drops it; nothing is left queued.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TransmissionGuard::sleepUntil(LineTime deadline)
{
    using namespace std::chrono_literals;
    // Repaints only while there is time to spare, in short naps; the last
    // stretch is one plain sleep, so a repaint never makes the pause end
    // late and the send keeps close to the time the line needs.
    constexpr LineDuration LastStretch = 2ms;
    while (LineClock::now() + LastStretch < deadline) {
        repaint();
        if (stopRequested_)
            return;
        std::this_thread::sleep_until(std::min(LineClock::now() + 4ms, deadline - LastStretch));
    }
    std::this_thread::sleep_until(deadline);
}
