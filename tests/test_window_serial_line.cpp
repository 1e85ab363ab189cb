// The serial side of the main window end to end: over the real port layer,
// on a device that is missing and on a pseudo-terminal, with the test
// playing the PIC.
#include "serial/qt_serial_port.h"
#include "support/pty_pair.h"
#include "support/serial_window_fixture.h"
#include "support/stamping_port.h"
#include "support/test_main.h"

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
    makeWindow([] { return std::make_unique<QtSerialPort>(); });
    input::click(find<QRadioButton>(Control::Com2));
    QTRY_VERIFY(find<QRadioButton>(Control::Com2)->toolTip().contains(QStringLiteral("/dev/voxcel-no-such-device")));
    click(Control::PortButton);
    // The device and the system's reason on the second line.
    const QString firstLines = QStringLiteral("Error opening Comm:2\nCannot open /dev/voxcel-no-such-device: ");
    QTRY_COMPARE(prompts->messages.size(), 1);
    QVERIFY(prompts->messages.first().startsWith(firstLines));
    QVERIFY(prompts->messages.first().size() > firstLines.size());
    QCOMPARE(indicator(), QStringLiteral("OFF"));
    QCOMPARE(find<QPushButton>(Control::PortButton)->text(), QStringLiteral("Open"));
    qunsetenv("VOXCEL_COM2");
}

void TestWindowSerialLine::pictureGoesOverARealLinePaced()
{
    PtyPair pty;
    qputenv("VOXCEL_COM1", pty.slavePath().toLocal8Bit());
    StampingPort *port = nullptr; // made and used on the session's thread
    makeWindow(
        [&port] { return std::unique_ptr<PortLayer>(port = new StampingPort(std::make_unique<QtSerialPort>())); });

    input::click(window->findChild<QWidget *>(QLatin1String(controlName(Control::Canvas))), Qt::LeftButton,
                 QPoint(2, 2));
    convertAndReformatBlankPicture();
    const QByteArray expected = text(Control::OutputText).toLatin1();
    QCOMPARE(expected.size(), 2122);
    QVERIFY(expected.startsWith("*02000000A]01"));

    openPort();
    pty.startReading();
    click(Control::SendToLcd);
    QCOMPARE(indicator(), QStringLiteral("Busy"));
    QTRY_COMPARE_WITH_TIMEOUT(indicator(), QStringLiteral("ON"), 10000);
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
        QVERIFY2(millisecondsBetween(port->handedOver[i - 1], bytes[i].arrival) >= 20.0,
                 qPrintable(QString::number(i)));
    }
    QCOMPARE(pauses, 64);
    click(Control::PortButton);
    qunsetenv("VOXCEL_COM1");
}

void TestWindowSerialLine::terminalWorksBothWaysOverARealLine()
{
    PtyPair pty;
    qputenv("VOXCEL_COM1", pty.slavePath().toLocal8Bit());
    StampingPort *port = nullptr; // made and used on the session's thread
    makeWindow(
        [&port] { return std::unique_ptr<PortLayer>(port = new StampingPort(std::make_unique<QtSerialPort>())); });
    openPort();
    pty.startReading();

    pty.write("PIC ready\r\n");
    QTRY_COMPARE(text(Control::ReceiveText), QStringLiteral("PIC ready\n"));

    input::type(find<QPlainTextEdit>(Control::TransmitText), QStringLiteral("Go"));
    QVERIFY(pty.waitForBytes(2, 10000));
    QCOMPARE(pty.receivedBytes(), QByteArray("go"));

    find<QLineEdit>(Control::XmitDelay)->setText(QStringLiteral("5"));
    QGuiApplication::clipboard()->setText(QStringLiteral("]AB]CD"));
    pty.clearReceived();
    click(Control::PasteAndSend);
    QTRY_COMPARE(indicator(), QStringLiteral("ON"));
    QVERIFY(pty.waitForBytes(6, 10000));
    QCOMPARE(pty.receivedBytes(), QByteArray("]ab]cd"));
    const auto bytes = pty.received();
    const auto &handedOver = port->handedOver; // "go", then the pasted text
    QVERIFY(millisecondsBetween(handedOver[handedOver.size() - 4], bytes[3].arrival) >= 5.0);

    click(Control::PortButton);
    qunsetenv("VOXCEL_COM1");
}

VOXCEL_TEST_MAIN(TestWindowSerialLine)
#include "test_window_serial_line.moc"
