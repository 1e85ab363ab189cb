// The Port and Terminal menus wired to the window: the views of the receive
// window, the log file, choosing a device, and a port that comes back.
#include "serial/port_devices.h"
#include "support/window_fixture.h"

#include <QAction>
#include <QMenu>
#include <QRadioButton>
#include <QtTest>

class TestWindowTerminal : public QObject, private WindowFixture
{
    Q_OBJECT
private slots:
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    void hexViewAndLogThroughTheMenu();
    void unwritableLogTurnsLoggingOff();
    void otherDeviceIsRememberedForCom2();
    void lostPortComesBack();

private:
    QAction *action(const char *name) const { return window->findChild<QAction *>(QLatin1String(name)); }
    QString received() const { return find<QPlainTextEdit>(Control::ReceiveText)->toPlainText(); }
};

void TestWindowTerminal::hexViewAndLogThroughTheMenu()
{
    openPort();
    action("termHex")->trigger();
    prompts->answers.enqueue(path(QStringLiteral("pic.log")));
    action("termLog")->trigger();
    QVERIFY(action("termLog")->isChecked());
    port->queueInput(QStringLiteral("OK"));
    QTRY_COMPARE(received(), QStringLiteral("00000000: 4F 4B"));
    input::type(find<QPlainTextEdit>(Control::TransmitText), QStringLiteral("v"));

    QFile log(path(QStringLiteral("pic.log")));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = log.readAll().split('\n');
    QCOMPARE(lines.size(), 3); // and the end of the last line
    QVERIFY2(lines.at(0).endsWith(" RX OK") && lines.at(1).endsWith(" TX v"), lines.at(0) + lines.at(1));

    // Closed and opened again, the log turned off and on again: the offsets
    // start again, and the same file keeps the earlier traffic.
    click(Control::PortButton);
    QTRY_COMPARE(find<QLabel>(Control::PortIndicator)->text(), QStringLiteral("OFF"));
    action("termLog")->trigger();
    openPort();
    action("termLog")->trigger();
    port->queueInput(QStringLiteral("OK"));
    QTRY_COMPARE(received(), QStringLiteral("00000000: 4F 4B"));
    QVERIFY(log.seek(0));
    QCOMPARE(log.readAll().count(" RX OK\n"), 2);
}

void TestWindowTerminal::unwritableLogTurnsLoggingOff()
{
    openPort();
    prompts->answers.enqueue(dir->path()); // a folder
    action("termLog")->trigger();
    QVERIFY(!action("termLog")->isChecked());
    QCOMPARE(prompts->messages.size(), 1);
    QVERIFY(prompts->messages.first().startsWith(QStringLiteral("Log File Error - ")));
    QCOMPARE(find<QLabel>(Control::PortIndicator)->text(), QStringLiteral("ON"));
}

void TestWindowTerminal::otherDeviceIsRememberedForCom2()
{
    qunsetenv("VOXCEL_COM2");
    auto *portMenu = window->findChild<QMenu *>(QStringLiteral("mnuPort"));
    emit portMenu->aboutToShow(); // as it opens
    auto *com2 = portMenu->findChild<QMenu *>(QStringLiteral("mnuPortCom2"));
    prompts->answers.enqueue(QStringLiteral(" /dev/ttyVOXCEL7 "));
    com2->findChild<QAction *>(QStringLiteral("mnuOtherDevice"))->trigger();
    QVERIFY(find<QRadioButton>(Control::Com2)->toolTip().contains(QStringLiteral("/dev/ttyVOXCEL7")));
    QCOMPARE(storedAssignment(2).path, QStringLiteral("/dev/ttyVOXCEL7"));
    emit portMenu->aboutToShow();
    QVERIFY(portMenu->findChild<QMenu *>(QStringLiteral("mnuPortCom2"))->title().endsWith(QStringLiteral("VOXCEL7")));
    storeAssignment(2, {});
}

void TestWindowTerminal::lostPortComesBack()
{
    const QString device = path(QStringLiteral("ttyFAKE"));
    QVERIFY(QFile(device).open(QIODevice::WriteOnly));
    port->device = device;
    openPort();
    QFile::remove(device); // unplugged
    port->failInput = true;
    QTRY_COMPARE(find<QLabel>(Control::PortIndicator)->text(), QStringLiteral("OFF"));
    QTest::qWait(600);
    port->failInput = false;
    QVERIFY(QFile(device).open(QIODevice::WriteOnly)); // plugged in again
    QTRY_COMPARE(find<QLabel>(Control::PortIndicator)->text(), QStringLiteral("ON"));
    QVERIFY(received().endsWith(QStringLiteral("(reconnected to %1)\n").arg(device)));
    QVERIFY(find<QTimer>(Control::ReceivePoll)->isActive());
}

QTEST_MAIN(TestWindowTerminal)
#include "test_window_terminal.moc"
