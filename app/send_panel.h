#pragma once

#include "app/pic_settings_source.h"
#include "app/send_hold.h"
#include "serial/pacing.h"
#include "terminal/traffic_log.h"

#include <QObject>
#include <QPointer>

#include <functional>

class OneLineList;
class PortPanel;
class PortSession;
class Prompts;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class StartAddressBox;
class QPushButton;
class TerminalPanel;
struct WindowFrames;

// The PIC settings (buffer, delay, wait character, Apply), the target (the
// LCD or the I2C EEPROM), and the two paced sends: Send to LCD and Paste
// and Send, with their progress and Stop.
class SendPanel : public QObject, public PicSettingsSource
{
    Q_OBJECT
public:
    SendPanel(const WindowFrames &frames, PortSession &session, PortPanel &port, TerminalPanel &terminal,
              Prompts &prompts, QObject *parent);

    // What Send to LCD sends, asked for when it starts.
    void setTransmissionText(std::function<QString()> text) { transmissionText_ = std::move(text); }
    // The load step: buffer 32, PIC delay 10 ms, wait character "]".
    void loadStartValues();

    std::optional<QString> paramPrefix() const override;
    qint16 picBuffer() const override { return picBuffer_; }
    qint16 picDelay() const { return picDelay_; }
    bool eepromMode() const { return eepromMode_; }
    QString startAddressText() const;
    // The xmit delay as Send to LCD reads it; nothing when it is no delay.
    std::optional<int> xmitDelay() const;
    QString waitChars() const override { return waitChars_; }

    // Reformat For Output made a transmission text: Send to LCD may go, once.
    void allowSendToLcd();
    bool isSending() const { return sending_ != Kind::None; }
    // Ends a running send after the character in flight. With quietly, no
    // message says so (the window is closing).
    void stop(bool quietly = false);
    void holdDuringSend(bool held, const QString &why = QString());
    // The next command: what the last send did is no longer news.
    void clearSendResult();

signals:
    // The window holds what must not change for the length of a send.
    void sendStarting();
    void sendEnded();
    // Characters of the send handed to the port since the last report.
    void sentChars(const QString &chars);

private:
    enum class Kind { None, ToLcd, PasteAndSend };

    void buildControls(const WindowFrames &frames);
    void applySettings();
    void onEepromTargetToggled();
    // Start Address...: any address from 0 to 65535, the box's being too short.
    void askStartAddress();
    void sendToLcd();
    void pasteAndSend();
    void start(Kind kind, const QString &text, const QString &waitText, int delayMs);
    void showProgress(qsizetype sent, qsizetype total, double secondsLeft);
    void finished(const PacedSendResult &result);
    void reportSent(qsizetype sent);
    void showProgressText(const QString &text);
    void showSendResult(const PacedSendResult &result);

    PortSession &session_;
    PortPanel &port_;
    TerminalPanel &terminal_;
    Prompts &prompts_;
    std::function<QString()> transmissionText_;
    qint16 picBuffer_ = 0; // piece length of the transmission text
    qint16 picDelay_ = 0;  // the PIC's delay in ms, sent in the prefix
    QString waitChars_;    // put before each piece; the pause trigger
    bool eepromMode_ = false;
    Kind sending_ = Kind::None;
    SentChars sentChars_; // for the log
    bool quietStop_ = false;
    QPointer<QWidget> focusBefore_; // gets the focus back after the send
    SendHold hold_;

    QCheckBox *eepromCheck = nullptr;
    StartAddressBox *startAddressEdit = nullptr;
    QPushButton *pasteAndSendButton = nullptr;
    QLineEdit *waitCharsEdit = nullptr;
    OneLineList *picBufferList = nullptr;
    OneLineList *picDelayList = nullptr;
    QLineEdit *xmitDelayEdit = nullptr;
    QPushButton *applyButton = nullptr;
    QGroupBox *directLoadGroup = nullptr;
    QPushButton *sendButton = nullptr;
    QProgressBar *sendProgress = nullptr;
    QLabel *sendProgressText = nullptr; // "Sending: 1056 of 2122 characters, 1.7 s left"
    QLabel *sendResultText = nullptr;   // "Sent 2122 characters in 3.5 s"
    QPushButton *stopButton = nullptr;  // shown while a send runs
};
