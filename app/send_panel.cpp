#include "app/send_panel.h"

#include "app/control_factory.h"
#include "app/one_line_list.h"
#include "app/port_panel.h"
#include "app/prompts.h"
#include "app/send_messages.h"
#include "app/send_outcome.h"
#include "app/start_address_box.h"
#include "app/terminal_panel.h"
#include "app/window_frames.h"
#include "serial/param_prefix.h"
#include "serial/pic_settings.h"
#include "serial/port_session.h"
#include "serial/start_address_entry.h"
#include "text/text_rules.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <chrono>

using namespace Colour;

SendPanel::SendPanel(const WindowFrames &frames, PortSession &session, PortPanel &port, TerminalPanel &terminal,
                     Prompts &prompts, QObject *parent)
    : QObject(parent), session_(session), port_(port), terminal_(terminal), prompts_(prompts)
{
    buildControls(frames);
    // A list's choice takes effect on every change of the chosen entry, by
    // the user or by code: the load step relies on that.
    connect(picBufferList, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && row < static_cast<int>(picBufferChoices.size()))
            picBuffer_ = picBufferChoices[static_cast<std::size_t>(row)];
    });
    connect(picDelayList, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && row < static_cast<int>(picDelayChoices.size()))
            picDelay_ = picDelayChoices[static_cast<std::size_t>(row)];
    });
    connect(waitCharsEdit, &QLineEdit::textChanged, this, [this](const QString &text) { waitChars_ = text; });
    connect(applyButton, &QPushButton::clicked, this, &SendPanel::applySettings);
    connect(eepromCheck, &QCheckBox::toggled, this, &SendPanel::onEepromTargetToggled);
    connect(startAddressEdit, &StartAddressBox::startAddressAsked, this, &SendPanel::askStartAddress);
    connect(sendButton, &QPushButton::clicked, this, &SendPanel::sendToLcd);
    connect(pasteAndSendButton, &QPushButton::clicked, this, &SendPanel::pasteAndSend);
    connect(stopButton, &QPushButton::clicked, this, [this] { stop(); });
    // Esc stops a send from anywhere in the window; the shortcut works
    // only while Stop shows.
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), stopButton);
    connect(escape, &QShortcut::activated, this, [this] { stop(); });

    // The port can go away during a send: Paste and Send comes back as
    // the port is, not as it was.
    connect(&port_, &PortPanel::opened, pasteAndSendButton, [this] { hold_.setEnabled(pasteAndSendButton, true); });
    connect(&port_, &PortPanel::openFailed, pasteAndSendButton,
            [this] { hold_.setEnabled(pasteAndSendButton, false); });
    connect(&port_, &PortPanel::closed, pasteAndSendButton, [this] { hold_.setEnabled(pasteAndSendButton, false); });
    connect(&session_, &PortSession::sendProgress, this, &SendPanel::showProgress);
    connect(&session_, &PortSession::sendFinished, this, &SendPanel::finished);
}

void SendPanel::buildControls(const WindowFrames &frames)
{
    const QFont smallSerif = serifFont(6.75);
    auto *eepromLoadLabel = label(frames.eeprom, Control::EepromLoadLabel, QStringLiteral("Load EEprom"));
    eepromLoadLabel->setWordWrap(true);
    eepromLoadLabel->setAlignment(Qt::AlignCenter);
    eepromLoadLabel->setFont(smallSerif);
    // So narrow that its caption is cut off: only the box shows.
    eepromCheck = make<QCheckBox>(frames.eeprom, Control::EepromTarget);
    eepromCheck->setText(QStringLiteral("Check1"));
    setColours(eepromCheck, Grey, Black);
    auto *startAddressLabel = label(frames.eeprom, Control::StartAddressLabel, QStringLiteral("Start Addr"));
    startAddressLabel->setAlignment(Qt::AlignCenter);
    startAddressLabel->setFont(smallSerif);
    startAddressEdit = make<StartAddressBox>(frames.eeprom, Control::StartAddress);
    startAddressEdit->setText(QStringLiteral("0000"));
    startAddressEdit->setEnabled(false);
    setColours(startAddressEdit, Grey, Black);
    QPalette palette = startAddressEdit->palette();
    palette.setColor(QPalette::Disabled, QPalette::Base, Grey);
    startAddressEdit->setPalette(palette);
    pasteAndSendButton = button(frames.client, Control::PasteAndSend, QStringLiteral("Paste and Send "), false);

    waitCharsEdit = make<QLineEdit>(frames.outputFormat, Control::WaitChars);
    waitCharsEdit->setText(QStringLiteral("]"));
    auto *waitCharsLabel = label(frames.outputFormat, Control::WaitCharsLabel, QStringLiteral("Wait Chr"));
    waitCharsLabel->setAlignment(Qt::AlignCenter);

    label(frames.io, Control::PicBufferLabel, QStringLiteral("PIC Buffer"));
    picBufferList = oneLineList(frames.io, Control::PicBuffer, numbers(picBufferChoices));
    label(frames.io, Control::PicDelayLabel, QStringLiteral("PIC Delay(ms)"));
    picDelayList = oneLineList(frames.io, Control::PicDelay, numbers(picDelayChoices));
    label(frames.io, Control::XmitDelayLabel, QStringLiteral("Xmit Delay(ms)"));
    xmitDelayEdit = make<QLineEdit>(frames.io, Control::XmitDelay);
    xmitDelayEdit->setText(QStringLiteral("20"));
    applyButton = button(frames.io, Control::ApplySettings, QStringLiteral("Apply"));

    // The progress area, in the strip between the settings and the text
    // window. While a send runs: a bar that says how far it got and the
    // time left, and Stop; after it, what happened, until the next command.
    sendResultText = label(frames.client, Control::SendResult, QString(), Grey, White);
    sendResultText->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    sendProgressText = label(frames.client, Control::SendProgressText, QString(), Grey, White);
    sendProgressText->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    sendProgressText->hide();
    // Over the text above: the bar says the same, readably.
    sendProgress = make<QProgressBar>(frames.client, Control::SendProgress);
    sendProgress->setAlignment(Qt::AlignCenter);
    sendProgress->hide();
    stopButton = button(frames.client, Control::Stop, QStringLiteral("Stop"));
    stopButton->hide();

    directLoadGroup = frames.directLoad;
    sendButton = button(directLoadGroup, Control::SendToLcd, QStringLiteral("Send to LCD"), false);
}

void SendPanel::loadStartValues()
{
    picBufferList->setCurrentRow(defaultPicBufferIndex);
    picDelayList->setCurrentRow(defaultPicDelayIndex);
    picBuffer_ = 32;
    picDelay_ = 10;
    waitChars_ = QStringLiteral("]");
    eepromMode_ = false;
}

std::optional<QString> SendPanel::paramPrefix() const
{
    return buildParamPrefix(eepromMode_, picBuffer_, startAddressEdit->addressText(), picDelay_);
}

QString SendPanel::startAddressText() const
{
    return startAddressEdit->addressText();
}

void SendPanel::askStartAddress()
{
    const QString answer = prompts_.ask(QStringLiteral("The EEPROM's start address, a decimal number from 0 to 65535"),
                                        QStringLiteral("Start Address"), startAddressEdit->addressText());
    if (answer.isEmpty())
        return; // Cancel
    QString reason;
    if (const std::optional<int> address = readStartAddress(answer, &reason))
        startAddressEdit->setAddress(*address);
    else
        prompts_.message(reason);
}

std::optional<int> SendPanel::xmitDelay() const
{
    return sendDelayFloor(xmitDelayEdit->text());
}

void SendPanel::holdDuringSend(bool held, const QString &why)
{
    if (held)
        hold_.hold({eepromCheck, startAddressEdit, pasteAndSendButton, waitCharsEdit, picBufferList, picDelayList,
                    xmitDelayEdit, applyButton, sendButton},
                   {}, why);
    else
        hold_.release();
}

void SendPanel::applySettings()
{
    waitChars_ = waitCharsEdit->text();
    if (const QListWidgetItem *item = picBufferList->currentItem())
        picBuffer_ = static_cast<qint16>(item->text().toShort());
    if (const QListWidgetItem *item = picDelayList->currentItem())
        picDelay_ = static_cast<qint16>(item->text().toShort());
    prompts_.message(applySettingsMessage(picBuffer_, picDelay_, waitChars_, xmitDelayEdit->text()));
}

void SendPanel::onEepromTargetToggled()
{
    eepromMode_ = eepromCheck->checkState() == Qt::Checked;
    QPalette palette = startAddressEdit->palette();
    if (eepromMode_) {
        palette.setColor(QPalette::Base, QGuiApplication::palette().color(QPalette::Base));
    } else {
        palette.setColor(QPalette::Base, Grey);
        palette.setColor(QPalette::Disabled, QPalette::Base, Grey);
        startAddressEdit->setAddress(0);
    }
    startAddressEdit->setPalette(palette);
    startAddressEdit->setEnabled(eepromMode_);
    sendButton->setText(eepromMode_ ? QStringLiteral("Load Eeprom") : QStringLiteral("Send to LCD"));
    directLoadGroup->setTitle(eepromMode_ ? QStringLiteral("Directly load  I2C Eeprom")
                                          : QStringLiteral("Directly load LCD"));
    xmitDelayEdit->setText(eepromMode_ ? QStringLiteral("200") : QStringLiteral("20"));
}

void SendPanel::allowSendToLcd()
{
    sendButton->setEnabled(true);
}

void SendPanel::sendToLcd()
{
    if (!port_.isOpen()) {
        prompts_.message(OpenPortFirstText);
        return;
    }
    // A bad delay is caught before the first character: the PIC never gets
    // half a picture because of a typing mistake.
    const std::optional<int> delay = sendDelayFloor(xmitDelayEdit->text());
    if (!delay) {
        prompts_.message(CheckSettingsText);
        prompts_.beep();
        return;
    }
    sendButton->setEnabled(false);
    // Reformat For Output puts the prefix first; after a Convert it is empty
    // and nothing goes out.
    start(Kind::ToLcd, transmissionText_ ? transmissionText_() : QString(), waitChars_, *delay);
}

void SendPanel::pasteAndSend()
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
    terminal_.setTransmitText(text);
    start(Kind::PasteAndSend, text, waitText, *delay);
}

void SendPanel::start(Kind kind, const QString &text, const QString &waitText, int delayMs)
{
    focusBefore_ = QApplication::focusWidget();
    if (!session_.send({text, waitText, delayMs})) {
        prompts_.beep(); // one send at a time on the line
        return;
    }
    sending_ = kind;
    sentChars_.start(text);
    quietStop_ = false;
    emit sendStarting();
    sendProgress->setMaximum(static_cast<int>(qMax<qsizetype>(text.size(), 1)));
    sendProgress->setValue(0);
    showProgressText(QStringLiteral("Sending: 0 of %1 characters").arg(text.size()));
    clearSendResult();
    for (QWidget *shown : std::initializer_list<QWidget *>{sendProgress, sendProgressText, stopButton})
        shown->show();
    // Space stops it too, and Tab cannot wander into what is held.
    stopButton->setFocus();
}

void SendPanel::stop(bool quietly)
{
    if (!isSending())
        return;
    quietStop_ = quietStop_ || quietly;
    session_.stop();
}

void SendPanel::showProgress(qsizetype sent, qsizetype total, double secondsLeft)
{
    reportSent(sent);
    sendProgress->setValue(static_cast<int>(sent));
    showProgressText(
        QStringLiteral("Sending: %1 of %2 characters, %3 s left").arg(sent).arg(total).arg(secondsLeft, 0, 'f', 1));
}

void SendPanel::showProgressText(const QString &text)
{
    sendProgressText->setText(text);
    // The bar's own text reads its %-signs as placeholders.
    sendProgress->setFormat(QString(text).replace(QLatin1Char('%'), QStringLiteral("%%")));
}

void SendPanel::clearSendResult()
{
    sendResultText->clear();
    sendResultText->setToolTip(QString());
}

void SendPanel::showSendResult(const PacedSendResult &result)
{
    SendOutcome outcome;
    outcome.sent = result.sent;
    outcome.total = result.total;
    outcome.seconds = std::chrono::duration<double>(result.elapsed).count();
    switch (result.end) {
    case PacedSendResult::End::Sent:
        outcome.end = SendOutcome::End::Sent;
        outcome.reason = result.goneAfterEnd;
        break;
    case PacedSendResult::End::Stopped:
        outcome.end = SendOutcome::End::Stopped;
        break;
    case PacedSendResult::End::PortLost:
        outcome.end = SendOutcome::End::Failed;
        outcome.reason = result.portError;
        break;
    }
    const QString text = sendOutcomeText(outcome);
    sendResultText->setText(text);
    sendResultText->setToolTip(text); // the whole of a long reason
}

void SendPanel::reportSent(qsizetype sent)
{
    if (const QString fresh = sentChars_.take(sent); !fresh.isEmpty())
        emit sentChars(fresh);
}

void SendPanel::finished(const PacedSendResult &result)
{
    reportSent(result.sent);
    const Kind kind = sending_;
    sending_ = Kind::None;
    for (QWidget *hidden : std::initializer_list<QWidget *>{sendProgress, sendProgressText, stopButton})
        hidden->hide();
    showSendResult(result);
    emit sendEnded(); // Send to LCD stays disabled: once per Reformat For Output
    if (focusBefore_ && focusBefore_->isEnabled() && focusBefore_->isVisible())
        focusBefore_->setFocus();
    // The delay was checked before the send and cannot change during it, so
    // a send ends sent, stopped or with the port lost.
    if (result.end == PacedSendResult::End::PortLost || quietStop_)
        return; // the port panel shows the loss; a closing window shows nothing
    if (result.end == PacedSendResult::End::Stopped)
        prompts_.message(
            QStringLiteral("Transmission stopped after %1 of %2 characters").arg(result.sent).arg(result.total));
    if (kind == Kind::ToLcd)
        prompts_.beep();
}
