#pragma once

#include <QList>
#include <QPair>
#include <QPointer>

class QAction;
class QWidget;

// Disables controls for the length of a send, and then gives each back
// the state it had: what was disabled before stays disabled.
class SendHold
{
public:
    void hold(const QList<QWidget *> &widgets, const QList<QAction *> &actions = {});
    void release();

private:
    QList<QPair<QPointer<QWidget>, bool>> widgets_;
    QList<QPair<QPointer<QAction>, bool>> actions_;
};
