// The serial port and the small terminal: opening and closing the port,
// the line settings, the receive window filled by the poll, and the
// transmit window whose keys go straight to the PIC.

#include "app/main_window.h"

#include "app/prompts.h"
#include "app/window_look.h"
#include "serial/port_layer.h"
#include "serial/receive_window.h"

#include "app/one_line_list.h"
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

using namespace Colour;

void MainWindow::setIndicator(const QString &caption, const QColor &background)
{
    setColours(portIndicator, background, Black);
    portIndicator->setText(caption);
}

void MainWindow::showPortClosed()
{
    receivePollTimer->stop();
    receiveText->setPlainText(receiveTextOnClose(receiveText->toPlainText()));
    transmitActiveLabel->hide();
    setColours(receiveText, White, Navy);
    setColours(transmitText, White, Maroon);
    transmitText->clear();
    prompts_.beep();
    pasteAndSendButton->setEnabled(false);
    setIndicator(QStringLiteral("OFF"), Red);
    portButton->setText(QStringLiteral("Open"));
}

void MainWindow::showPortOpen()
{
    receivePollTimer->start();
    pasteAndSendButton->setEnabled(true);
    setColours(receiveText, PaleYellow, Navy);
    setColours(transmitText, PaleGreen, Maroon);
    transmitActiveLabel->show();
    prompts_.beep();
    setIndicator(QStringLiteral("ON"), Green);
    portButton->setText(QStringLiteral("Close"));
}

void MainWindow::openOrClosePort()
{
    try {
        if (port_.isOpen()) {
            port_.setOpen(false);
            showPortClosed();
        } else {
            receiveText->setPlainText(WaitingText);
            const QListWidgetItem *chosen = lineSettingsList->currentItem();
            // No entry chosen yet: the settings in force stay.
            port_.setSettings(chosen ? chosen->text() : QString());
            port_.setCommPort(com1Option->isChecked() ? 1 : 2);
            port_.setOpen(true);
            receiveDisplay_.reset();
            showPortOpen();
        }
    } catch (const std::exception &error) {
        // Which device, and why, on a line of its own.
        prompts_.message(QStringLiteral("Error opening Comm:") + QString::number(port_.commPort()) + QLatin1Char('\n') +
                         QString::fromStdString(error.what()));
        pasteAndSendButton->setEnabled(false);
    }
}

void MainWindow::onLineSettingsChosen()
{
    const QListWidgetItem *chosen = lineSettingsList->currentItem();
    if (!chosen)
        return;
    try {
        port_.setSettings(chosen->text());
    } catch (const PortError &error) {
        prompts_.message(QString::fromStdString(error.what()));
    }
    lineSettingsLabel->setText(port_.settings());
}

void MainWindow::portLost(const PortError &error)
{
    try {
        port_.setOpen(false);
    } catch (const std::exception &) {
        // Already gone; the closed look below is what counts.
    }
    showPortClosed();
    prompts_.message(QStringLiteral("Comm Port lost - ") + QString::fromStdString(error.what()));
}

void MainWindow::pollReceived()
{
    QString received;
    try {
        received = port_.input();
    } catch (const PortError &error) {
        portLost(error);
        return;
    }
    if (received.isEmpty())
        return;
    receiveText->setPlainText(appendReceived(receiveText->toPlainText(), receiveDisplay_.toDisplay(received)));
    // The newest text is what the user wants to see.
    receiveText->moveCursor(QTextCursor::End);
    receiveText->ensureCursorVisible();
}

void MainWindow::onReceiveTextChanged()
{
    // Typing can push the window past its limit too; the oldest text goes.
    if (receiveText->document()->characterCount() - 1 > ReceiveWindowLimit)
        receiveText->setPlainText(capReceiveText(receiveText->toPlainText()));
}

void MainWindow::sendTypedKey(const QKeyEvent &event)
{
    // Tab and Shift+Tab move to the next control; they are not typed.
    if (!port_.isOpen() || event.key() == Qt::Key_Tab || event.key() == Qt::Key_Backtab)
        return;
    const std::optional<char> ch = keyPressToSend(event.key(), event.text());
    if (!ch)
        return;
    try {
        port_.output(*ch);
    } catch (const PortError &error) {
        portLost(error);
    }
}
