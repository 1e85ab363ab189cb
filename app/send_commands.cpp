// The PIC settings (buffer, delay, wait character, Apply), the choice of
// target (the LCD or the I2C EEPROM), and the two paced sends: Send to LCD
// and Paste and Send.

#include "app/main_window.h"

#include "app/prompts.h"
#include "app/transmission_guard.h"
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
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <optional>

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

void MainWindow::showSendProgress(const SendProgress &send)
{
    sendProgress->setMaximum(static_cast<int>(qMax<qsizetype>(send.total, 1)));
    sendProgress->setValue(static_cast<int>(send.sent));
    // Repainting after every character would slow the line down.
    if (send.sent != send.total && progressClock_.isValid() && progressClock_.elapsed() < 30)
        return;
    progressClock_.start();
    // The time left on the line: every character's time on the wire and the
    // pauses still to come.
    const LineDuration left = pacedSendTime(send.text, send.waitText, send.delayMs, send.characterTime, send.sent);
    sendProgressText->setText(QStringLiteral("Sending: %1 of %2 characters, %3 s left")
                                  .arg(send.sent)
                                  .arg(send.total)
                                  .arg(std::chrono::duration<double>(left).count(), 0, 'f', 1));
    guard_->repaint();
}

MainWindow::SendOutcome MainWindow::transmit(const QString &text, const QString &waitText, const DelaySource &delay)
{
    setIndicator(QStringLiteral("Busy"), Orange);
    sendProgress->setValue(0);
    progressClock_.invalidate();
    for (QWidget *shown : std::initializer_list<QWidget *>{sendProgress, sendProgressText, stopButton})
        shown->show();
    transmitting_ = true;
    std::optional<TransmissionGuard> guard(std::in_place, stopButton);
    guard_ = &*guard;

    SendProgress send{text, waitText, delay().value_or(0), port_.characterTime(), 0, text.size()};
    auto progress = [&](qsizetype sent, qsizetype) {
        send.sent = sent;
        showSendProgress(send);
        if (guard->stopRequested() && sent < send.total)
            throw TransmissionStopped();
    };
    auto sleep = [&](LineTime deadline) {
        guard->sleepUntil(deadline);
        if (guard->stopRequested() && send.sent < send.total)
            throw TransmissionStopped();
    };
    SendOutcome outcome = SendOutcome::Sent;
    std::optional<PortError> lost;
    try {
        sendPaced(text, waitText, delay, port_, sleep, progress);
    } catch (const TransmissionStopped &) {
        outcome = SendOutcome::Stopped;
    } catch (const PortError &error) {
        outcome = SendOutcome::PortLost;
        lost = error;
    } catch (const std::exception &) {
        outcome = SendOutcome::DelayFailed;
    }
    // Input reaches the window again before any message box shows.
    guard_ = nullptr;
    guard.reset();
    transmitting_ = false;
    for (QWidget *hidden : std::initializer_list<QWidget *>{sendProgress, sendProgressText, stopButton})
        hidden->hide();

    if (lost)
        portLost(*lost);
    if (closeAfterSend_) {
        // The user closed the window during the send: it goes now.
        QTimer::singleShot(0, this, &QWidget::close);
    } else if (outcome == SendOutcome::Stopped) {
        prompts_.message(
            QStringLiteral("Transmission stopped after %1 of %2 characters").arg(send.sent).arg(send.total));
    }
    return outcome;
}

void MainWindow::stopTransmission()
{
    if (guard_)
        guard_->requestStop();
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
