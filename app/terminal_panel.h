#pragma once

#include "app/send_hold.h"
#include "serial/receive_display.h"

#include <QObject>

class PortSession;
class Prompts;
class QLabel;
class QPlainTextEdit;
class QTimer;
class QWidget;

// The small terminal towards the PIC: the receive window, filled by the
// poll (Timer1) while the port is open, and the transmit window, whose
// typed keys go to the PIC.
class TerminalPanel : public QObject
{
    Q_OBJECT
public:
    TerminalPanel(QWidget *client, PortSession &session, Prompts &prompts, QObject *parent);

    // The port's state as the port panel reports it.
    void showOpening();
    void showOpen();
    void showClosed();
    // A send stops the poll for its length; true when it was polling.
    bool pausePolling();
    void resumePolling();
    // What Paste and Send sends, shown as it goes out.
    void setTransmitText(const QString &text);
    // The Open menu: a text file's fields appended to the transmit window;
    // nothing is sent.
    void openFieldFile();
    void holdDuringSend(bool held);

private:
    void buildControls(QWidget *client);
    void showReceived(const QString &received);
    void onReceiveTextChanged();
    void sendTypedKey(int key, const QString &text);

    PortSession &session_;
    Prompts &prompts_;
    bool portOpen_ = false;
    ReceiveDisplay receiveDisplay_;
    SendHold hold_;

    QPlainTextEdit *receiveText = nullptr;
    QPlainTextEdit *transmitText = nullptr;
    QLabel *transmitActiveLabel = nullptr;
    QTimer *receivePollTimer = nullptr;
};
