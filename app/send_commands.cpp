// The PIC settings (buffer, delay, wait character, Apply), the choice of
// target (the LCD or the I2C EEPROM), and the two paced sends: Send to LCD
// and Paste and Send.

#include "app/main_window.h"

#include "app/prompts.h"
#include "app/transmission_sleep.h"
#include "app/window_look.h"
#include "convert/reformat.h"
#include "serial/pacing.h"
#include "serial/pic_settings.h"
#include "serial/port_layer.h"
#include "text/text_rules.h"

#include "app/one_line_list.h"
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

using namespace Colour;

void MainWindow::onPicBufferChosen()
{
    const int row = picBufferList->currentRow();
    if (row >= 0 && row < static_cast<int>(picBufferChoices.size()))
        state_.picBuffer = picBufferChoices[static_cast<std::size_t>(row)];
}

void MainWindow::onPicDelayChosen()
{
    const int row = picDelayList->currentRow();
    if (row >= 0 && row < static_cast<int>(picDelayChoices.size()))
        state_.picDelay = picDelayChoices[static_cast<std::size_t>(row)];
}

void MainWindow::onWaitCharsEdited()
{
    state_.waitChars = waitCharsEdit->text();
}

void MainWindow::applySettings()
{
    state_.waitChars = waitCharsEdit->text();
    if (const QListWidgetItem *item = picBufferList->currentItem())
        state_.picBuffer = static_cast<qint16>(item->text().toShort());
    if (const QListWidgetItem *item = picDelayList->currentItem())
        state_.picDelay = static_cast<qint16>(item->text().toShort());
    prompts_.message(applySettingsMessage(state_.picBuffer, state_.picDelay, state_.waitChars, xmitDelayEdit->text()));
}

void MainWindow::onEepromTargetToggled()
{
    const bool toEeprom = eepromCheck->checkState() == Qt::Checked;
    QPalette palette = startAddressEdit->palette();
    if (toEeprom) {
        sendButton->setText(QStringLiteral("Load Eeprom"));
        startAddressEdit->setEnabled(true);
        palette.setColor(QPalette::Base, QGuiApplication::palette().color(QPalette::Base));
        startAddressEdit->setPalette(palette);
        directLoadGroup->setTitle(QStringLiteral("Directly load  I2C Eeprom"));
        state_.eepromMode = true;
        xmitDelayEdit->setText(QStringLiteral("200"));
    } else {
        sendButton->setText(QStringLiteral("Send to LCD"));
        startAddressEdit->setEnabled(false);
        palette.setColor(QPalette::Base, Grey);
        palette.setColor(QPalette::Disabled, QPalette::Base, Grey);
        startAddressEdit->setPalette(palette);
        directLoadGroup->setTitle(QStringLiteral("Directly load LCD"));
        startAddressEdit->setText(QStringLiteral("0000"));
        state_.eepromMode = false;
        xmitDelayEdit->setText(QStringLiteral("20"));
    }
}

void MainWindow::showSendProgress(qsizetype sent, qsizetype total)
{
    sendProgress->setMaximum(static_cast<int>(qMax<qsizetype>(total, 1)));
    sendProgress->setValue(static_cast<int>(sent));
    // Repainting after every character would slow the line down.
    if (sent == total || !progressClock_.isValid() || progressClock_.elapsed() >= 30) {
        progressClock_.start();
        repaintPending();
    }
}

MainWindow::SendOutcome MainWindow::transmit(const QString &text, const QString &waitText, const DelaySource &delay)
{
    setIndicator(QStringLiteral("Busy"), Orange);
    sendProgress->setValue(0);
    sendProgress->show();
    transmitting_ = true;
    SendOutcome outcome = SendOutcome::Sent;
    try {
        sendPaced(text, waitText, delay, port_, sleepWhileRepainting,
                  [this](qsizetype sent, qsizetype total) { showSendProgress(sent, total); });
    } catch (const PortError &error) {
        transmitting_ = false;
        sendProgress->hide();
        portLost(error);
        return SendOutcome::PortLost;
    } catch (const std::exception &) {
        outcome = SendOutcome::DelayFailed;
    }
    transmitting_ = false;
    sendProgress->hide();
    return outcome;
}

void MainWindow::sendToLcd()
{
    if (!port_.isOpen()) {
        prompts_.message(OpenPortFirstText);
        return;
    }
    // Only a transmission that starts with its parameter prefix goes out
    // (an empty one writes nothing at all).
    if (!state_.sendText.isEmpty() && !state_.sendText.startsWith(QLatin1Char('*'))) {
        prompts_.message(ConversionErrorMessage);
        return;
    }
    // A bad delay is caught before the first character: the PIC never gets
    // half a picture because of a typing mistake.
    if (!sendDelayFloor(xmitDelayEdit->text())) {
        prompts_.message(CheckSettingsText);
        prompts_.beep();
        return;
    }
    sendButton->setEnabled(false);
    receivePollTimer->stop();
    const SendOutcome outcome =
        transmit(state_.sendText, state_.waitChars, [this] { return sendDelayFloor(xmitDelayEdit->text()); });
    if (outcome == SendOutcome::PortLost)
        return;
    if (outcome == SendOutcome::DelayFailed)
        prompts_.message(CheckSettingsText);
    setIndicator(QStringLiteral("ON"), Green);
    receivePollTimer->start();
    prompts_.beep();
}

void MainWindow::pasteAndSend()
{
    if (!prompts_.confirm(PasteAndSendQuestion)) {
        prompts_.beep();
        return;
    }
    const std::optional<int> delay = pasteDelayNearestEven(xmitDelayEdit->text());
    if (!delay) {
        prompts_.message(CheckSettingsText);
        return;
    }
    const QString waitText = trimBlanks(waitCharsEdit->text());
    if (!port_.isOpen())
        return;
    // What is shown is what is sent; the box shows line ends its own way, so
    // the clipboard's characters themselves go out.
    const QString text = lowerCase(QApplication::clipboard()->text());
    transmitText->setPlainText(text);
    // No poll runs during a transmission, also while the window repaints.
    const bool polling = receivePollTimer->isActive();
    receivePollTimer->stop();
    if (transmit(text, waitText, [delay] { return delay; }) == SendOutcome::PortLost)
        return;
    setIndicator(QStringLiteral("ON"), Green);
    if (polling)
        receivePollTimer->start();
}
