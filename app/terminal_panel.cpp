#include "app/terminal_panel.h"

#include "app/control_factory.h"
#include "app/prompts.h"
#include "serial/field_reader.h"
#include "serial/port_session.h"
#include "terminal/receive_window.h"
#include "terminal/shared_traffic_log.h"

#include <QDir>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include <functional>

using namespace Colour;

namespace {
// The transmit window: every key pressed in it is reported before the box
// edits as usual.
class TransmitBox : public QPlainTextEdit
{
public:
    using QPlainTextEdit::QPlainTextEdit;
    std::function<void(int key, const QString &text)> keyPressed;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (keyPressed)
            keyPressed(event->key(), event->text());
        QPlainTextEdit::keyPressEvent(event);
    }
};
} // namespace

TerminalPanel::TerminalPanel(QWidget *client, PortSession &session, Prompts &prompts, QObject *parent)
    : QObject(parent), session_(session), prompts_(prompts), log_(std::make_shared<SharedTrafficLog>())
{
    buildControls(client);
    // A failure to write waits in the log for the window.
    session_.setReceiveLog([log = log_](const QString &text) { log->write(TrafficDirection::Received, text); });
    connect(receivePollTimer, &QTimer::timeout, &session_, &PortSession::poll);
    connect(&session_, &PortSession::received, this, &TerminalPanel::showReceived);
    // No poll runs during a send; the port may be gone after it.
    connect(&session_, &PortSession::sendingChanged, this, [this](bool sending) {
        if (sending)
            receivePollTimer->stop();
        else if (portOpen_)
            receivePollTimer->start();
    });
    connect(receiveText, &QPlainTextEdit::textChanged, this, &TerminalPanel::onReceiveTextChanged);
}

void TerminalPanel::buildControls(QWidget *client)
{
    receiveText = make<QPlainTextEdit>(client, Control::ReceiveText);
    receiveText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    receiveText->setPlainText(SerialInputTitle + QStringLiteral("\r\n"));
    // Received text is appended, not set: an undo step for each append
    // would hold every character that ever arrived.
    receiveText->setUndoRedoEnabled(false);
    setColours(receiveText, White, Navy);
    auto *box = make<TransmitBox>(client, Control::TransmitText);
    box->keyPressed = [this](int key, const QString &text) { sendTypedKey(key, text); };
    transmitText = box;
    transmitText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    transmitText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setColours(transmitText, White, Maroon);
    transmitActiveLabel =
        label(client, Control::TransmitActive, QStringLiteral("Transmit Window Active"), Grey, LightGreen);
    transmitActiveLabel->setFont(sansFont(8.25, true));
    transmitActiveLabel->hide();
    receivePollTimer = named(new QTimer(this), controlName(Control::ReceivePoll));
    receivePollTimer->setInterval(50);
}

void TerminalPanel::showOpening()
{
    receiveText->setPlainText(WaitingText);
}

void TerminalPanel::showOpen()
{
    formatter_.reset();
    showOpenLook();
}

void TerminalPanel::showReconnected(const QString &device)
{
    // The offsets and times go on from the first open: one session.
    appendToReceiveWindow(formatter_.noticeLine(QStringLiteral("(reconnected to %1)").arg(device)));
    showOpenLook();
}

void TerminalPanel::showOpenLook()
{
    portOpen_ = true;
    receivePollTimer->start();
    setColours(receiveText, PaleYellow, Navy);
    setColours(transmitText, PaleGreen, Maroon);
    transmitActiveLabel->show();
}

void TerminalPanel::showClosed()
{
    portOpen_ = false;
    receivePollTimer->stop();
    receiveText->setPlainText(receiveTextOnClose(receiveText->toPlainText()));
    transmitActiveLabel->hide();
    setColours(receiveText, White, Navy);
    setColours(transmitText, White, Maroon);
    transmitText->clear();
}

void TerminalPanel::holdDuringSend(bool held, const QString &why)
{
    // Keys typed now would go out in the middle of the send.
    if (held)
        hold_.hold({transmitText}, {}, why);
    else
        hold_.release();
}

void TerminalPanel::setTransmitText(const QString &text)
{
    transmitText->setPlainText(text);
}

void TerminalPanel::showReceived()
{
    // The line's thread has logged every character already.
    reportLogFailure();
    appendToReceiveWindow(formatter_.formatBatch(session_.takeReceived(), ReceiveWindowLimit));
}

bool TerminalPanel::showsPlaceholder() const
{
    return receiveText->document()->characterCount() - 1 == WaitingText.size() &&
           receiveText->toPlainText() == WaitingText;
}

void TerminalPanel::appendToReceiveWindow(const QString &shown)
{
    if (shown.isEmpty())
        return;
    // Only the new text is laid out, and the oldest lines go to make room.
    const qsizetype length = showsPlaceholder() ? 0 : receiveText->document()->characterCount() - 1;
    const ReceiveAppend edit = receiveAppend(length, shown);
    if (edit.replaceAll) {
        receiveText->setPlainText(edit.text);
    } else {
        QTextDocument *document = receiveText->document();
        qsizetype from = edit.dropFront;
        if (from > 0 && document->characterAt(from).isLowSurrogate())
            ++from;
        QTextCursor cursor(document);
        cursor.setPosition(from, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(edit.text);
    }
    // The newest text is what the user wants to see, from the start of its
    // line (a hex line is wider than the window).
    receiveText->moveCursor(QTextCursor::End);
    receiveText->ensureCursorVisible();
    receiveText->horizontalScrollBar()->setValue(0);
}

void TerminalPanel::onReceiveTextChanged()
{
    // Typing can push the window past its limit too; the oldest text goes.
    if (receiveText->document()->characterCount() - 1 > ReceiveWindowLimit)
        receiveText->setPlainText(capReceiveText(receiveText->toPlainText()));
}

void TerminalPanel::sendTypedKey(int key, const QString &text)
{
    // Tab and Shift+Tab move to the next control; they are not typed.
    if (!portOpen_ || key == Qt::Key_Tab || key == Qt::Key_Backtab)
        return;
    if (const std::optional<char> ch = keyPressToSend(key, text)) {
        session_.type(*ch);
        log(TrafficDirection::Sent, QString(QLatin1Char(*ch)));
    }
}

void TerminalPanel::setHexView(bool on)
{
    ReceiveView view = formatter_.view();
    view.hex = on;
    formatter_.setView(view); // what is shown stays; the new view starts a line
    // Columns line up in a fixed-pitch font, and a line is never broken.
    receiveText->setFont(on ? QFontDatabase::systemFont(QFontDatabase::FixedFont) : QFont());
    receiveText->setLineWrapMode(on ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
}

void TerminalPanel::setTimes(bool on)
{
    ReceiveView view = formatter_.view();
    view.times = on;
    formatter_.setView(view); // what is shown stays; the new view starts a line
}

bool TerminalPanel::setLogging(bool on)
{
    log_->close();
    if (!on)
        return false;
    if (logFileName_.isEmpty())
        logFileName_ = prompts_.ask(FileNamePrompt, QStringLiteral("Log to File"),
                                    QDir::home().filePath(QStringLiteral("voxcel.log")));
    QString error;
    if (logFileName_.isEmpty())
        return false; // cancelled: asked again next time
    if (log_->open(logFileName_, &error))
        return true;
    logFailed(error);
    return false;
}

void TerminalPanel::logFailed(const QString &error)
{
    logFileName_.clear(); // the next start asks for another file
    prompts_.message(QStringLiteral("Log File Error - ") + error);
}

void TerminalPanel::logSent(const QString &chars)
{
    log(TrafficDirection::Sent, chars);
}

void TerminalPanel::log(TrafficDirection direction, const QString &chars)
{
    if (!log_->write(direction, chars))
        reportLogFailure();
}

void TerminalPanel::reportLogFailure()
{
    const QString error = log_->takeFailure();
    if (error.isEmpty())
        return;
    // The port goes on; only the log stops.
    emit loggingStopped();
    logFailed(error);
}

void TerminalPanel::openFieldFile()
{
    const QString name = prompts_.openFileName(QStringLiteral("LCD File to Open"));
    if (name.isEmpty())
        return; // cancelled
    const FieldFileResult read = readFieldFile(name);
    // Appending sends nothing: only typed keys go to the PIC.
    QTextCursor end(transmitText->document());
    end.movePosition(QTextCursor::End);
    end.insertText(displayableText(read.text));
    if (!read.error.isEmpty())
        prompts_.message(fileOpenErrorPrefix + read.error);
}
