#include "app/terminal_panel.h"

#include "app/control_factory.h"
#include "app/prompts.h"
#include "serial/field_reader.h"
#include "serial/port_session.h"
#include "serial/receive_window.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
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
    : QObject(parent), session_(session), prompts_(prompts)
{
    buildControls(client);
    connect(receivePollTimer, &QTimer::timeout, &session_, &PortSession::poll);
    connect(&session_, &PortSession::received, this, &TerminalPanel::showReceived);
    connect(receiveText, &QPlainTextEdit::textChanged, this, &TerminalPanel::onReceiveTextChanged);
}

void TerminalPanel::buildControls(QWidget *client)
{
    receiveText = make<QPlainTextEdit>(client, "Text1", {322, 30, 170, 82});
    receiveText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    receiveText->setPlainText(SerialInputTitle + QStringLiteral("\r\n"));
    setColours(receiveText, White, Navy);
    auto *box = make<TransmitBox>(client, "Text2", {322, 116, 170, 46});
    box->keyPressed = [this](int key, const QString &text) { sendTypedKey(key, text); };
    transmitText = box;
    transmitText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    transmitText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setColours(transmitText, White, Maroon);
    transmitActiveLabel =
        label(client, "lblxmit", QStringLiteral("Transmit Window Active"), {322, 164, 170, 16}, Grey, LightGreen);
    transmitActiveLabel->setFont(sansFont(8.25, true));
    transmitActiveLabel->hide();
    receivePollTimer = named(new QTimer(this), "Timer1");
    receivePollTimer->setInterval(50);
}

void TerminalPanel::showOpening()
{
    receiveText->setPlainText(WaitingText);
}

void TerminalPanel::showOpen()
{
    portOpen_ = true;
    receiveDisplay_.reset();
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

bool TerminalPanel::pausePolling()
{
    const bool polling = receivePollTimer->isActive();
    receivePollTimer->stop();
    return polling;
}

void TerminalPanel::resumePolling()
{
    receivePollTimer->start();
}

void TerminalPanel::holdDuringSend(bool held)
{
    // Keys typed now would go out in the middle of the send.
    if (held)
        hold_.hold({transmitText});
    else
        hold_.release();
}

void TerminalPanel::setTransmitText(const QString &text)
{
    transmitText->setPlainText(text);
}

void TerminalPanel::showReceived(const QString &received)
{
    receiveText->setPlainText(appendReceived(receiveText->toPlainText(), receiveDisplay_.toDisplay(received)));
    // The newest text is what the user wants to see.
    receiveText->moveCursor(QTextCursor::End);
    receiveText->ensureCursorVisible();
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
    if (const std::optional<char> ch = keyPressToSend(key, text))
        session_.type(*ch);
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
