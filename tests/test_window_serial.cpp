// The serial side of the main window over the recording fake port: open
// and close, the terminal windows, the two transmissions and the EEPROM
// target.
#include "support/serial_window_fixture.h"
#include "support/test_main.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextDocumentFragment>
#include <QTimer>
#include <QToolTip>
#include <QtTest>

class TestWindowSerial : public QObject, private SerialWindowFixture
{
    Q_OBJECT
private slots:
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    void openAndCloseChangeTheLooks();
    void failedOpenNamesThePortAndStaysClosed();
    void settingsListAppliesAtOnce();
    void pollShowsWhatArrives();
    void receiveWindowKeepsTheNewestText();
    void typedKeysAreSentLowerCased();
    void sendToLcdRefusals();
    void sendToLcdWithNothingToSend();
    void portLostMidSendShowsTheClosedLook();
    void portLostAtPollShowsTheClosedLook();
    void pasteAndSend();
    void eepromTargetLooksAndPrefix();
    void startAddressBoxCutsNothing();
    void comOptionsShowThePortInUse();
};

void TestWindowSerial::openAndCloseChangeTheLooks()
{
    click(Control::PortButton);
    QCOMPARE(text(Control::ReceiveText), QStringLiteral("Waiting....."));
    QTRY_VERIFY(fake->isOpen());
    QTRY_COMPARE(indicator(), QStringLiteral("ON"));
    QCOMPARE(fake->commPort(), qint16(1));
    QCOMPARE(fake->settings(), QStringLiteral("9600,n,8,1"));
    QCOMPARE(find<QLabel>(Control::PortIndicator)->text(), QStringLiteral("ON"));
    QCOMPARE(find<QLabel>(Control::PortIndicator)->palette().color(QPalette::Window), QColor(0, 192, 0));
    QCOMPARE(find<QPushButton>(Control::PortButton)->text(), QStringLiteral("Close"));
    QVERIFY(find<QTimer>(Control::ReceivePoll)->isActive());
    QVERIFY(find<QPushButton>(Control::PasteAndSend)->isEnabled());
    QVERIFY(find<QLabel>(Control::TransmitActive)->isVisible());
    QCOMPARE(find<QWidget>(Control::ReceiveText)->palette().color(QPalette::Base), QColor(255, 255, 192));
    QCOMPARE(find<QWidget>(Control::TransmitText)->palette().color(QPalette::Base), QColor(192, 255, 192));
    QCOMPARE(text(Control::ReceiveText), QStringLiteral("Waiting....."));
    QCOMPARE(prompts->beeps, 1);

    find<QPlainTextEdit>(Control::TransmitText)->setPlainText(QStringLiteral("typed"));
    click(Control::PortButton);
    QTRY_COMPARE(indicator(), QStringLiteral("OFF"));
    QVERIFY(!fake->isOpen());
    QCOMPARE(find<QLabel>(Control::PortIndicator)->text(), QStringLiteral("OFF"));
    QCOMPARE(find<QLabel>(Control::PortIndicator)->palette().color(QPalette::Window), QColor(192, 0, 0));
    QCOMPARE(find<QPushButton>(Control::PortButton)->text(), QStringLiteral("Open"));
    QVERIFY(!find<QTimer>(Control::ReceivePoll)->isActive());
    QVERIFY(!find<QPushButton>(Control::PasteAndSend)->isEnabled());
    QVERIFY(!find<QLabel>(Control::TransmitActive)->isVisible());
    QCOMPARE(find<QWidget>(Control::ReceiveText)->palette().color(QPalette::Base), QColor(255, 255, 255));
    QCOMPARE(text(Control::ReceiveText), QStringLiteral("Serial Input from PIC"));
    QVERIFY(text(Control::TransmitText).isEmpty());
    QCOMPARE(prompts->beeps, 2);
    QVERIFY(prompts->messages.isEmpty());
}

void TestWindowSerial::failedOpenNamesThePortAndStaysClosed()
{
    fake->failOpen = true;
    input::click(find<QRadioButton>(Control::Com2));
    click(Control::PortButton);
    QTRY_COMPARE(prompts->messages, QStringList({"Error opening Comm:2\nCannot open the fake port"}));
    QCOMPARE(find<QPushButton>(Control::PortButton)->text(), QStringLiteral("Open"));
    QCOMPARE(find<QLabel>(Control::PortIndicator)->text(), QStringLiteral("OFF"));
    QVERIFY(!find<QPushButton>(Control::PasteAndSend)->isEnabled());
    QVERIFY(!find<QTimer>(Control::ReceivePoll)->isActive());
    QCOMPARE(text(Control::ReceiveText), QStringLiteral("Waiting....."));

    fake->failOpen = false; // the next click tries again
    openPort();
    QVERIFY(fake->isOpen());
    QCOMPARE(fake->commPort(), qint16(2));
}

void TestWindowSerial::settingsListAppliesAtOnce()
{
    openPort();
    find<QListWidget>(Control::LineSettings)->setCurrentRow(2);
    QTRY_COMPARE(find<QLabel>(Control::LineSettingsInForce)->text(), QStringLiteral("1200,n,8,1"));
    QCOMPARE(fake->settings(), QStringLiteral("1200,n,8,1"));
    QVERIFY(fake->isOpen());
}

void TestWindowSerial::pollShowsWhatArrives()
{
    openPort();
    fake->queueInput(QStringLiteral("OK"));
    QTRY_COMPARE(text(Control::ReceiveText), QStringLiteral("OK"));
    fake->queueInput(QStringLiteral("\r\nline\rnext\x01"));
    QTRY_COMPARE(text(Control::ReceiveText), QStringLiteral("OK\nline\nnext\u2401"));

    // Edited text stays in front of what arrives.
    click(Control::PortButton);
    QTRY_COMPARE(indicator(), QStringLiteral("OFF"));
    openPort();
    find<QPlainTextEdit>(Control::ReceiveText)->setPlainText(QStringLiteral("Waiting....!"));
    fake->queueInput(QStringLiteral("x"));
    QTRY_COMPARE(text(Control::ReceiveText), QStringLiteral("Waiting....!x"));
}

void TestWindowSerial::receiveWindowKeepsTheNewestText()
{
    openPort();
    find<QPlainTextEdit>(Control::ReceiveText)->setPlainText(QString(9990, QLatin1Char('o')));
    const QString fresh = QStringLiteral("ABCDEFGHIJKLMNOPQRST");
    fake->queueInput(fresh);
    QTRY_VERIFY(text(Control::ReceiveText).endsWith(fresh));
    QCOMPARE(text(Control::ReceiveText).size(), 10000);

    fake->queueInput(QString(12000, QLatin1Char('n')) + fresh);
    QTRY_VERIFY(text(Control::ReceiveText).endsWith(QStringLiteral("nn") + fresh));
    QCOMPARE(text(Control::ReceiveText).size(), 10000);
}

void TestWindowSerial::typedKeysAreSentLowerCased()
{
    auto *transmitText = find<QPlainTextEdit>(Control::TransmitText);
    input::type(transmitText, QStringLiteral("Closed"));
    QVERIFY(fake->written().isEmpty());
    QVERIFY(prompts->messages.isEmpty());

    openPort();
    input::type(transmitText, QStringLiteral("AbC"));
    input::key(window, Qt::Key_Return);
    input::key(window, Qt::Key_Backspace);
    QTRY_COMPARE(fake->written(), QByteArray("abc\r\b"));
    QCOMPARE(text(Control::TransmitText), QStringLiteral("ClosedAbC"));
}

void TestWindowSerial::sendToLcdRefusals()
{
    convertAndReformatBlankPicture();
    click(Control::SendToLcd);
    QCOMPARE(prompts->messages, QStringList({"Please, open Comm Port first."}));
    QVERIFY(find<QPushButton>(Control::SendToLcd)->isEnabled());

    openPort();
    for (const QString &bad : {QStringLiteral(""), QStringLiteral("abc"), QStringLiteral("-5")}) {
        find<QLineEdit>(Control::XmitDelay)->setText(bad);
        click(Control::SendToLcd);
        QCOMPARE(prompts->messages.last(), QStringLiteral("Error - Check Settings!"));
        QVERIFY(fake->written().isEmpty());
        QCOMPARE(find<QLabel>(Control::PortIndicator)->text(), QStringLiteral("ON"));
        QVERIFY(find<QTimer>(Control::ReceivePoll)->isActive());
    }
}

void TestWindowSerial::sendToLcdWithNothingToSend()
{
    find<QLineEdit>(Control::Format)->clear();
    find<QLineEdit>(Control::Delimiter)->clear();
    click(Control::Convert);
    click(Control::Reformat);
    click(Control::Convert); // empties the transmission text again
    find<QPushButton>(Control::SendToLcd)->setEnabled(true);
    openPort();
    const int beeps = prompts->beeps;
    click(Control::SendToLcd);
    QTRY_COMPARE(prompts->beeps, beeps + 1);
    QVERIFY(fake->written().isEmpty());
    QCOMPARE(find<QLabel>(Control::PortIndicator)->text(), QStringLiteral("ON"));
    QVERIFY(!find<QPushButton>(Control::SendToLcd)->isEnabled());
    QVERIFY(find<QTimer>(Control::ReceivePoll)->isActive());
}

void TestWindowSerial::portLostMidSendShowsTheClosedLook()
{
    find<QLineEdit>(Control::XmitDelay)->setText(QStringLiteral("0"));
    convertAndReformatBlankPicture();
    openPort();
    fake->failOutputAfter = 15;
    click(Control::SendToLcd);
    QTRY_COMPARE(prompts->messages.size(), 1);
    QCOMPARE(fake->written().size(), 15);
    QVERIFY(prompts->messages.first().startsWith(QStringLiteral("Comm Port lost - ")));
    QCOMPARE(find<QLabel>(Control::PortIndicator)->text(), QStringLiteral("OFF"));
    QCOMPARE(find<QPushButton>(Control::PortButton)->text(), QStringLiteral("Open"));
    QVERIFY(!find<QTimer>(Control::ReceivePoll)->isActive());
    QVERIFY(!find<QPushButton>(Control::PasteAndSend)->isEnabled());
    QVERIFY(!find<QWidget>(Control::SendProgress)->isVisible());
}

void TestWindowSerial::portLostAtPollShowsTheClosedLook()
{
    openPort();
    fake->failInput = true;
    QTRY_COMPARE(find<QLabel>(Control::PortIndicator)->text(), QStringLiteral("OFF"));
    QCOMPARE(prompts->messages.size(), 1);
    QVERIFY(prompts->messages.first().startsWith(QStringLiteral("Comm Port lost - ")));
    QVERIFY(!find<QTimer>(Control::ReceivePoll)->isActive());
    QCOMPARE(text(Control::ReceiveText), QStringLiteral("Serial Input from PIC"));
}

void TestWindowSerial::pasteAndSend()
{
    openPort();
    find<QLineEdit>(Control::XmitDelay)->setText(QStringLiteral("0"));
    find<QLineEdit>(Control::WaitChars)->setText(QStringLiteral(" ]"));

    prompts->confirmAnswers.enqueue(false);
    const int beeps = prompts->beeps;
    click(Control::PasteAndSend);
    QCOMPARE(prompts->beeps, beeps + 1);
    QCOMPARE(prompts->confirmations,
             QStringList({"Are you sure?\n\rAnything in the clipboard will be sent immediately"}));
    QVERIFY(fake->written().isEmpty());

    QGuiApplication::clipboard()->setText(QStringLiteral("HeLLo]World\r\n"));
    click(Control::PasteAndSend);
    QCOMPARE(text(Control::TransmitText), QStringLiteral("hello]world\n"));
    QTRY_COMPARE(find<QLabel>(Control::PortIndicator)->text(), QStringLiteral("ON"));
    QCOMPARE(fake->written(), QByteArray("hello]world\r\n"));
    QVERIFY(find<QTimer>(Control::ReceivePoll)->isActive());

    QGuiApplication::clipboard()->clear();
    click(Control::PasteAndSend);
    QVERIFY(text(Control::TransmitText).isEmpty());
    QTRY_COMPARE(find<QLabel>(Control::PortIndicator)->text(), QStringLiteral("ON"));
    QCOMPARE(fake->written().size(), 13);
    QVERIFY(prompts->messages.isEmpty());
}

void TestWindowSerial::eepromTargetLooksAndPrefix()
{
    auto *check = find<QCheckBox>(Control::EepromTarget);
    auto *startAddressEdit = find<QLineEdit>(Control::StartAddress);
    input::click(check);
    QCOMPARE(find<QPushButton>(Control::SendToLcd)->text(), QStringLiteral("Load Eeprom"));
    QCOMPARE(find<QGroupBox>(Control::DirectLoad)->title(), QStringLiteral("Directly load  I2C Eeprom"));
    QVERIFY(startAddressEdit->isEnabled());
    QCOMPARE(find<QLineEdit>(Control::XmitDelay)->text(), QStringLiteral("200"));

    startAddressEdit->setText(QStringLiteral("1024"));
    find<QLineEdit>(Control::Format)->clear();
    find<QLineEdit>(Control::Delimiter)->clear();
    click(Control::Convert);

    input::click(check);
    QCOMPARE(find<QPushButton>(Control::SendToLcd)->text(), QStringLiteral("Send to LCD"));
    QCOMPARE(find<QGroupBox>(Control::DirectLoad)->title(), QStringLiteral("Directly load LCD"));
    QVERIFY(!startAddressEdit->isEnabled());
    QCOMPARE(startAddressEdit->text(), QStringLiteral("0000"));
    QCOMPARE(startAddressEdit->palette().color(QPalette::Disabled, QPalette::Base), QColor(128, 128, 128));
    QCOMPARE(find<QLineEdit>(Control::XmitDelay)->text(), QStringLiteral("20"));
    // The prefix keeps the old target until the next Convert.
    click(Control::Reformat);
    QCOMPARE(text(Control::OutputText).left(10), QStringLiteral("*12004000A"));
    click(Control::Convert);
    click(Control::Reformat);
    QCOMPARE(text(Control::OutputText).left(10), QStringLiteral("*02000000A"));
}

void TestWindowSerial::startAddressBoxCutsNothing()
{
    auto *box = find<QLineEdit>(Control::StartAddress);
    const auto balloon = [] { return QTextDocumentFragment::fromHtml(QToolTip::text()).toPlainText(); };
    input::click(find<QCheckBox>(Control::EepromTarget));
    box->selectAll();
    input::type(box, QStringLiteral("64512"));
    QCOMPARE(box->text(), QStringLiteral("6451"));
    QVERIFY(QToolTip::isVisible());
    QVERIFY2(balloon().contains(QStringLiteral("\"64512\" does not fit")), qPrintable(balloon()));

    QGuiApplication::clipboard()->setText(QStringLiteral("65000"));
    box->selectAll();
    input::key(window, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(box->text(), QStringLiteral("6451"));
    QVERIFY2(balloon().contains(QStringLiteral("\"65000\" has 5 characters")), qPrintable(balloon()));

    // The address the box cannot hold goes in through its menu.
    prompts->answers.enqueue(QStringLiteral("64512"));
    input::click(box, Qt::RightButton);
    QTRY_VERIFY(qobject_cast<QMenu *>(QApplication::activePopupWidget()));
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_S);
    QCOMPARE(box->placeholderText(), QStringLiteral("64512"));
    convertAndReformatBlankPicture();
    QCOMPARE(text(Control::OutputText).left(10), QStringLiteral("*120FC000A"));
    // Typing replaces it.
    input::type(box, QStringLiteral("1"));
    click(Control::Convert);
    click(Control::Reformat);
    QCOMPARE(text(Control::OutputText).left(10), QStringLiteral("*12000010A"));
    QVERIFY(prompts->messages.isEmpty());
}

void TestWindowSerial::comOptionsShowThePortInUse()
{
    auto *com1 = find<QRadioButton>(Control::Com1);
    auto *com2 = find<QRadioButton>(Control::Com2);
    for (int round = 1; round <= 2; ++round) {
        openPort();
        QVERIFY(!com1->isEnabled() && !com2->isEnabled());
        input::click(com2);
        QVERIFY(com1->isChecked());
        QVERIFY(com1->toolTip().contains(QStringLiteral("the port is open on it")));
        click(Control::PortButton);
        QTRY_COMPARE(indicator(), QStringLiteral("OFF"));
        QVERIFY2(com1->isEnabled() && com2->isEnabled(), qPrintable(QString::number(round)));
    }
    input::click(com2);
    openPort();
    QCOMPARE(fake->commPort(), qint16(2));
}

VOXCEL_TEST_MAIN(TestWindowSerial)
#include "test_window_serial.moc"
