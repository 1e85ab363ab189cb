#pragma once

#include "app/send_hold.h"

#include <QObject>
#include <QStringList>

class OneLineList;
class PortSession;
class Prompts;
class QLabel;
class QPushButton;
class QRadioButton;
class QWidget;

// The serial port: the choice of Com1 or Com2, the line settings, Open /
// Close and the indicator (OFF, ON, Busy). The port itself is the session's;
// this panel shows what the session reported last.
class PortPanel : public QObject
{
    Q_OBJECT
public:
    PortPanel(QWidget *portStrip, PortSession &session, Prompts &prompts, QObject *parent);

    // Fills the settings list; no entry is chosen.
    void loadStartValues();
    bool isOpen() const { return state_ == State::Open; }
    // The line settings in force, as shown: "9600,n,8,1".
    QString lineSettingsInForce() const;
    // During a send the port and its settings do not change; `why` goes
    // into the held controls' tooltips.
    void holdDuringSend(bool held, const QString &why = QString());
    // The devices of Com1 and Com2, for their tooltips; found on the
    // session's thread when asked for, or given by the Port menu.
    void findPortDevices();
    void showPortDevices(const QStringList &devices);

signals:
    void opening(); // the open was asked for
    void opened();
    void openFailed();
    void closed();                           // by the user or because the device went away
    void reconnected(const QString &device); // open again after it went away

private:
    enum class State { Closed, Opening, Open, Closing };

    void buildControls(QWidget *portStrip);
    void openOrClose();
    void onLineSettingsChosen();
    void onOpened();
    void onClosed();
    void onLost(const QString &reason);
    void onReconnected(const QString &device);
    void showOpenLook();
    // Com1 and Com2: chosen while the port is closed, shown in use while not.
    void showPortChoice();
    void failed(qint16 commPort, const QString &reason);
    void setIndicator(const QString &caption, const QColor &background);
    // The indicator during a send, and after it.
    void showBusy();
    void showOn();

    PortSession &session_;
    Prompts &prompts_;
    State state_ = State::Closed;
    QStringList devices_; // of Com1 and Com2, once known
    SendHold hold_;

    QRadioButton *com1Option = nullptr;
    QRadioButton *com2Option = nullptr;
    QLabel *lineSettingsLabel = nullptr;
    OneLineList *lineSettingsList = nullptr;
    QLabel *portIndicator = nullptr;
    QPushButton *portButton = nullptr;
};
