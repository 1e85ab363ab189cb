#include "app/send_hold.h"

#include <QAction>
#include <QWidget>

void SendHold::hold(const QList<QWidget *> &widgets, const QList<QAction *> &actions, const QString &why)
{
    release();
    for (QWidget *widget : widgets) {
        const QString toolTip = widget->toolTip();
        const QString heldToolTip =
            why.isEmpty() || toolTip.isEmpty() ? why + toolTip : why + QLatin1Char('\n') + toolTip;
        // Its own state, not the one a disabled group around it gives it.
        widgets_.append({widget, !widget->testAttribute(Qt::WA_ForceDisabled), toolTip, heldToolTip});
        widget->setEnabled(false);
        widget->setToolTip(heldToolTip);
    }
    for (QAction *action : actions) {
        actions_.append({action, action->isEnabled()});
        action->setEnabled(false);
    }
}

void SendHold::release()
{
    for (const HeldWidget &held : std::as_const(widgets_)) {
        if (!held.widget)
            continue;
        held.widget->setEnabled(held.enabled);
        // A tooltip its owner changed meanwhile stays.
        if (held.widget->toolTip() == held.heldToolTip)
            held.widget->setToolTip(held.toolTip);
    }
    for (const auto &[action, enabled] : std::as_const(actions_))
        if (action)
            action->setEnabled(enabled);
    widgets_.clear();
    actions_.clear();
}

void SendHold::setEnabled(QWidget *widget, bool enabled)
{
    for (HeldWidget &held : widgets_)
        if (held.widget == widget) {
            held.enabled = enabled;
            return;
        }
    widget->setEnabled(enabled);
}
