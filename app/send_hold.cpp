#include "app/send_hold.h"

#include <QAction>
#include <QWidget>

void SendHold::hold(const QList<QWidget *> &widgets, const QList<QAction *> &actions)
{
    release();
    for (QWidget *widget : widgets) {
        // Its own state, not the one a disabled group around it gives it.
        widgets_.append({widget, !widget->testAttribute(Qt::WA_ForceDisabled)});
        widget->setEnabled(false);
    }
    for (QAction *action : actions) {
        actions_.append({action, action->isEnabled()});
        action->setEnabled(false);
    }
}

void SendHold::release()
{
    for (const auto &[widget, enabled] : std::as_const(widgets_))
        if (widget)
            widget->setEnabled(enabled);
    for (const auto &[action, enabled] : std::as_const(actions_))
        if (action)
            action->setEnabled(enabled);
    widgets_.clear();
    actions_.clear();
}
