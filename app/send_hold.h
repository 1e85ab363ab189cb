#pragma once

#include <QList>
#include <QPointer>
#include <QString>

class QAction;
class QWidget;

// Why a control is held, first in its tooltip while the send runs.
inline const QString HeldForSendText = QStringLiteral("Held while the picture is sent: Stop (Esc) ends the send");
inline const QString HeldForSeriesText =
    QStringLiteral("Held while the Series window sends: its Stop (Esc) ends the send");
inline const QString HeldForMainSendText =
    QStringLiteral("Held while the main window sends: the picture and the line stay as that send has them");

// Disables controls for the length of a send, and then gives each back
// the state it had: what was disabled before stays disabled.
class SendHold
{
public:
    // With a reason, each held control's tooltip starts with it.
    void hold(const QList<QWidget *> &widgets, const QList<QAction *> &actions = {}, const QString &why = QString());
    void release();
    // The owner enables or disables a control: at once when it is not
    // held, at the release when it is.
    void setEnabled(QWidget *widget, bool enabled);

private:
    struct HeldWidget
    {
        QPointer<QWidget> widget;
        bool enabled;
        QString toolTip;     // its own
        QString heldToolTip; // with the reason, while held
    };
    QList<HeldWidget> widgets_;
    QList<QPair<QPointer<QAction>, bool>> actions_;
};
