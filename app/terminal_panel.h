#pragma once

#include "app/send_hold.h"
#include "terminal/receive_transcript.h"
#include "terminal/traffic_log.h"

#include <QObject>

#include <memory>

class PortSession;
class Prompts;
class QLabel;
class QPlainTextEdit;
class QTimer;
class QWidget;
class SharedTrafficLog;

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
    // Open again on the device after it went away: one line says so.
    void showReconnected(const QString &device);
    // What Paste and Send sends, shown as it goes out.
    void setTransmitText(const QString &text);
    // The Open menu: a text file's fields appended to the transmit window;
    // nothing is sent.
    void openFieldFile();
    void holdDuringSend(bool held, const QString &why = QString());

    // The receive window's views; they change nothing of what is received,
    // and show what the window holds again.
    void setHexView(bool on);
    void setTimes(bool on);
    // Logging to a file asked for each time, the last one offered; false
    // when it is off (cancelled, or the file cannot be written, which a
    // message says).
    bool setLogging(bool on);
    // Characters a send handed to the port, for the log.
    void logSent(const QString &chars);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    // The log file failed: logging is off.
    void loggingStopped();

private:
    void buildControls(QWidget *client);
    void showOpenLook();
    void showReceived();
    void onReceiveTextChanged();
    void sendTypedKey(int key, const QString &text);
    void appendToReceiveWindow(const QString &shown);
    void log(TrafficDirection direction, const QString &chars);
    void logFailed(const QString &error);
    void reportLogFailure();
    bool showsPlaceholder() const;
    bool shownEndsLine() const;
    void showView(ReceiveView view);
    void followUserEdit(int position, int removed, int added);

    PortSession &session_;
    Prompts &prompts_;
    bool portOpen_ = false;
    ReceiveTranscript transcript_;
    bool programEdit_ = false;              // the receive window changes by the program's hand
    std::shared_ptr<SharedTrafficLog> log_; // what arrives is written on the line's thread
    QString logFileName_;
    SendHold hold_;

    QPlainTextEdit *receiveText = nullptr;
    QPlainTextEdit *transmitText = nullptr;
    QLabel *transmitActiveLabel = nullptr;
    QTimer *receivePollTimer = nullptr;
};
