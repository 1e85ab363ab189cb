// The serial side of the main window end to end: over the real port layer,
// on a device that is missing and on a pseudo-terminal, with the test
// playing the PIC.
#include "serial/qt_serial_port.h"
#include "support/pty_pair.h"
#include "support/serial_window_fixture.h"
#include "support/stamping_port.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

class TestWindowSerialLine : public QObject, private SerialWindowFixture
{
    Q_OBJECT
private slots:
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    void missingRealDeviceFailsToOpen();
    void pictureGoesOverARealLinePaced();
    void terminalWorksBothWaysOverARealLine();
};

void TestWindowSerialLine::missingRealDeviceFailsToOpen()
{
    qputenv("VOXCEL_COM2", "/dev/voxcel-no-such-device");
    QtSerialPort serial;
    makeWindow(serial);
    QTest::mouseClick(find<QRadioButton>("Option1_1"), Qt::LeftButton);
    QVERIFY(find<QRadioButton>("Option1_1")->toolTip().contains(QStringLiteral("/dev/voxcel-no-such-device")));
    click("cmdcomm");
    // The device and the system's reason on the second line.
    const QString firstLines = QStringLiteral("Error opening Comm:2\nCannot open /dev/voxcel-no-such-device: ");
    QCOMPARE(prompts->messages.size(), 1);
    QVERIFY(prompts->messages.first().startsWith(firstLines));
    QVERIFY(prompts->messages.first().size() > firstLines.size());
    QVERIFY(!serial.isOpen());
    QCOMPARE(find<QPushButton>("cmdcomm")->text(), QStringLiteral("Open"));
    qunsetenv("VOXCEL_COM2");
    delete window;
    window = nullptr;
}

void TestWindowSerialLine::pictureGoesOverARealLinePaced()
{
    PtyPair pty;
    qputenv("VOXCEL_COM1", pty.slavePath().toLocal8Bit());
    QtSerialPort serial;
    StampingPort port(serial);
    makeWindow(port);

    QTest::mouseClick(window->findChild<QWidget *>(QStringLiteral("Picture1")), Qt::LeftButton, {}, QPoint(2, 2));
    convertAndReformatBlankPicture();
    const QByteArray expected = window->state().sendText.toLatin1();
    QCOMPARE(expected.size(), 2122);
    QVERIFY(expected.startsWith("*02000000A]01"));

    click("cmdcomm");
    QVERIFY2(serial.isOpen(), qPrintable(prompts->messages.join(QLatin1Char('|'))));
    pty.startReading();
    click("Command16");
    QVERIFY(pty.waitForBytes(static_cast<std::size_t>(expected.size()), 10000));
    QCOMPARE(pty.receivedBytes(), expected);

    // The pause comes before each "]", never before the prefix.
    const auto bytes = pty.received();
    int pauses = 0;
    for (std::size_t i = 1; i < bytes.size(); ++i) {
        if (bytes[i].byte != ']')
            continue;
        ++pauses;
        // Counted from the hand-over of the character before: a true lower
        // bound, whatever the kernel does with the bytes around it.
        QVERIFY2(millisecondsBetween(port.handedOver[i - 1], bytes[i].arrival) >= 20.0,
                 qPrintable(QString::number(i)));
    }
    QCOMPARE(pauses, 64);
    QCOMPARE(find<QLabel>("comm")->text(), QStringLiteral("ON"));
    click("cmdcomm");
    qunsetenv("VOXCEL_COM1");
    delete window;
    window = nullptr;
}

void TestWindowSerialLine::terminalWorksBothWaysOverARealLine()
{
    PtyPair pty;
    qputenv("VOXCEL_COM1", pty.slavePath().toLocal8Bit());
    QtSerialPort serial;
    StampingPort port(serial);
    makeWindow(port);
    click("cmdcomm");
    QVERIFY(serial.isOpen());
    pty.startReading();

    pty.write("PIC ready\r\n");
    QTRY_COMPARE(text("Text1"), QStringLiteral("PIC ready\n"));

    QTest::keyClicks(find<QPlainTextEdit>("Text2"), QStringLiteral("Go"));
    QVERIFY(pty.waitForBytes(2, 2000));
    QCOMPARE(pty.receivedBytes(), QByteArray("go"));

    find<QLineEdit>("xmitdelay")->setText(QStringLiteral("5"));
    QGuiApplication::clipboard()->setText(QStringLiteral("]AB]CD"));
    pty.clearReceived();
    port.handedOver.clear();
    click("Command4");
    QVERIFY(pty.waitForBytes(6, 2000));
    QCOMPARE(pty.receivedBytes(), QByteArray("]ab]cd"));
    const auto bytes = pty.received();
    QVERIFY(millisecondsBetween(port.handedOver[2], bytes[3].arrival) >= 5.0);

    click("cmdcomm");
    qunsetenv("VOXCEL_COM1");
    delete window;
    window = nullptr;
}

QTEST_MAIN(TestWindowSerialLine)
#include "test_window_serial_line.moc"
