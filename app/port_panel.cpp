#include "app/port_panel.h"

#include "app/control_factory.h"
#include "app/one_line_list.h"
#include "app/prompts.h"
#include "serial/port_session.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

using namespace Colour;

PortPanel::PortPanel(QWidget *portStrip, PortSession &session, Prompts &prompts, QObject *parent)
    : QObject(parent), session_(session), prompts_(prompts)
{
    buildControls(portStrip);
    connect(portButton, &QPushButton::clicked, this, &PortPanel::openOrClose);
    connect(lineSettingsList, &QListWidget::currentRowChanged, this, &PortPanel::onLineSettingsChosen);
    // The session reports from its own thread; these run on this one.
    connect(&session_, &PortSession::opened, this, &PortPanel::onOpened);
    connect(&session_, &PortSession::openFailed, this, &PortPanel::failed);
    connect(&session_, &PortSession::closed, this, &PortPanel::onClosed);
    connect(&session_, &PortSession::closeFailed, this, &PortPanel::failed);
    connect(&session_, &PortSession::lost, this, &PortPanel::onLost);
    connect(&session_, &PortSession::reconnected, this, &PortPanel::onReconnected);
    connect(&session_, &PortSession::portDevicesFound, this, &PortPanel::showPortDevices);
    connect(&session_, &PortSession::sendingChanged, this, [this](bool sending) {
        if (sending)
            showBusy();
        else if (state_ == State::Open) // a send that lost the port ends on the closed look
            showOn();
    });
    connect(&session_, &PortSession::settingsApplied, this,
            [this](const QString &inForce) { lineSettingsLabel->setText(inForce); });
    connect(&session_, &PortSession::settingsRefused, this, [this](const QString &reason, const QString &inForce) {
        prompts_.message(reason);
        lineSettingsLabel->setText(inForce);
    });
}

void PortPanel::buildControls(QWidget *portStrip)
{
    const QFont boldSmall = sansFont(8.25, true);
    com1Option = option(portStrip, Control::Com1, QStringLiteral("Com1"));
    com1Option->setChecked(true);
    com2Option = option(portStrip, Control::Com2, QStringLiteral("Com2"));
    for (QRadioButton *portOption : {com1Option, com2Option}) {
        portOption->setFont(boldSmall);
        setColours(portOption, Grey, Navy);
        // Greyed while the port is open: the dot alone shows the port in use.
        QPalette palette = portOption->palette();
        palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(208, 208, 208));
        portOption->setPalette(palette);
    }
    lineSettingsLabel = label(portStrip, Control::LineSettingsInForce, QStringLiteral("Setting"), Grey, Navy);
    lineSettingsLabel->setFont(boldSmall);
    lineSettingsList = oneLineList(portStrip, Control::LineSettings, {});
    portIndicator = label(portStrip, Control::PortIndicator, QStringLiteral("OFF"), Red, Black);
    portIndicator->setFrameStyle(QFrame::Box | QFrame::Plain);
    portIndicator->setAlignment(Qt::AlignCenter);
    portIndicator->setFont(boldSmall);
    portButton = button(portStrip, Control::PortButton, QStringLiteral("Open"));
    setColours(portButton, Orange, Black);
    showPortChoice();
}

QString PortPanel::lineSettingsInForce() const
{
    return lineSettingsLabel->text();
}

void PortPanel::loadStartValues()
{
    lineSettingsList->addEntries(
        {QStringLiteral("9600,n,8,1"), QStringLiteral("2400,n,8,1"), QStringLiteral("1200,n,8,1")});
    lineSettingsList->setCurrentRow(-1);
    lineSettingsLabel->setText(QStringLiteral("9600,n,8,1"));
}

void PortPanel::findPortDevices()
{
    session_.findPortDevices();
}

void PortPanel::showPortDevices(const QStringList &devices)
{
    devices_ = devices;
    showPortChoice();
}

void PortPanel::showPortChoice()
{
    // The choice is read when the port opens: from then until it is closed
    // again the chosen option shows the port in use, and neither changes.
    const bool closed = state_ == State::Closed;
    const QList<QRadioButton *> options{com1Option, com2Option};
    for (qsizetype i = 0; i < options.size(); ++i) {
        QRadioButton *portOption = options.at(i);
        portOption->setEnabled(closed);
        const int portNumber = static_cast<int>(i) + 1;
        if (!closed)
            portOption->setToolTip(portOption->isChecked()
                                       ? QStringLiteral("Com%1: the port is open on it. Close the port to choose "
                                                        "another")
                                             .arg(portNumber)
                                       : QStringLiteral("Com%1: close the port to choose it").arg(portNumber));
        else if (i < devices_.size())
            portOption->setToolTip(QStringLiteral("Com%1 is %2: the port opens on it when chosen (Port menu to change)")
                                       .arg(portNumber)
                                       .arg(devices_.at(i)));
        else
            portOption->setToolTip(
                QStringLiteral("Com%1: the port opens on its device when chosen (Port menu to choose the device)")
                    .arg(portNumber));
    }
}

void PortPanel::holdDuringSend(bool held, const QString &why)
{
    // Com1 and Com2 need no hold: the port is open during a send.
    if (held)
        hold_.hold({lineSettingsList, portButton}, {}, why);
    else
        hold_.release();
}

void PortPanel::setIndicator(const QString &caption, const QColor &background)
{
    setColours(portIndicator, background, Black);
    portIndicator->setText(caption);
}

void PortPanel::showBusy()
{
    setIndicator(QStringLiteral("Busy"), Orange);
}

void PortPanel::showOn()
{
    setIndicator(QStringLiteral("ON"), Green);
}

void PortPanel::openOrClose()
{
    // One request at a time: a second click before the session answered
    // the first would ask for the same again.
    if (state_ == State::Open) {
        state_ = State::Closing;
        session_.close();
    } else if (state_ == State::Closed) {
        state_ = State::Opening;
        showPortChoice();
        emit opening();
        const QListWidgetItem *chosen = lineSettingsList->currentItem();
        // No entry chosen yet: the settings in force stay.
        session_.open(com1Option->isChecked() ? 1 : 2, chosen ? chosen->text() : QString());
    }
}

void PortPanel::onLineSettingsChosen()
{
    if (const QListWidgetItem *chosen = lineSettingsList->currentItem())
        session_.setSettings(chosen->text());
}

void PortPanel::onOpened()
{
    state_ = State::Open;
    showPortChoice();
    emit opened();
    showOpenLook();
}

void PortPanel::showOpenLook()
{
    prompts_.beep();
    showOn();
    portButton->setText(QStringLiteral("Close"));
}

void PortPanel::onClosed()
{
    state_ = State::Closed;
    showPortChoice();
    emit closed();
    prompts_.beep();
    setIndicator(QStringLiteral("OFF"), Red);
    portButton->setText(QStringLiteral("Open"));
}

void PortPanel::onLost(const QString &reason)
{
    if (state_ == State::Closed)
        return; // shown closed already: a late report of the same loss
    onClosed();
    // As before the reconnect existed; the receive window says when it reopens.
    prompts_.message(QStringLiteral("Comm Port lost - ") + reason);
}

void PortPanel::onReconnected(const QString &device)
{
    if (state_ != State::Closed)
        return; // the user asked for an open meanwhile: its answer follows
    state_ = State::Open;
    showPortChoice();
    emit reconnected(device);
    showOpenLook();
}

void PortPanel::failed(qint16 commPort, const QString &reason)
{
    // A failed open leaves the port closed, a failed close leaves it open.
    state_ = state_ == State::Closing ? State::Open : State::Closed;
    showPortChoice();
    // Which device, and why, on a line of its own.
    prompts_.message(QStringLiteral("Error opening Comm:") + QString::number(commPort) + QLatin1Char('\n') + reason);
    emit openFailed();
}
