#pragma once

#include "serial/line_model.h"

#include <QObject>
#include <QPointer>
#include <stdexcept>

class QWidget;

// The user stopped a transmission (the Stop button, Esc, or closing the
// window); nothing more is written after the character in flight.
class TransmissionStopped : public std::runtime_error
{
public:
    TransmissionStopped() : std::runtime_error("the transmission was stopped") {}
};

// Holds the window for the length of a transmission. The window keeps
// repainting, but user input is dropped, not queued: a click or a key
// would otherwise act once the send is over, long after the user gave up
// on it. Only the Stop button gets through, and Esc anywhere; both ask the
// send to stop, as closing the window does.
class TransmissionGuard : public QObject
{
public:
    explicit TransmissionGuard(QWidget *stopButton);
    ~TransmissionGuard() override;

    void requestStop() { stopRequested_ = true; }
    bool stopRequested() const { return stopRequested_; }

    // The pacing's sleep: repaints until the deadline, or until a stop is
    // asked for; it never ends early otherwise.
    void sleepUntil(LineTime deadline);
    // Lets paint and window-system events through now.
    void repaint();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> stopButton_;
    bool stopRequested_ = false;
};
