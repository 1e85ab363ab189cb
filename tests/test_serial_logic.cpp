// The serial link's plain rules: line settings, the receive window and key
// rules, and the choice of device for a port number.

#include "serial/line_settings.h"
#include "serial/port_devices.h"
#include "support/test_main.h"
#include "terminal/receive_window.h"

#include <QtTest>

class TestSerialLogic : public QObject
{
    Q_OBJECT

private slots:
    void settingsTexts_data();
    void settingsTexts();

    void receiveAppend_data();
    void receiveAppend();
    void receiveKeepsNewestWhenFull();
    void receiveOnClose_data();
    void receiveOnClose();
    void keysToSend_data();
    void keysToSend();

    void deviceOrder();
    void deviceFallbacks();
    void deviceFromEnvironment();
};

void TestSerialLogic::settingsTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("readBack"); // empty: refused

    QTest::newRow("list entry 9600") << "9600,n,8,1"
                                     << "9600,n,8,1";
    QTest::newRow("list entry 1200") << "1200,n,8,1"
                                     << "1200,n,8,1";
    QTest::newRow("capital parity") << "2400,N,8,1"
                                    << "2400,n,8,1";
    QTest::newRow("blanks around fields") << " 9600 , e , 7 , 2 "
                                          << "9600,e,7,2";
    QTest::newRow("odd, 5 bits, 1.5 stop") << "300,o,5,1.5"
                                           << "300,o,5,1.5";
    QTest::newRow("mark") << "115200,m,6,1"
                          << "115200,m,6,1";
    QTest::newRow("space") << "19200,S,8,2"
                           << "19200,s,8,2";

    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("baud only") << "9600"
                               << "";
    QTest::newRow("three fields") << "9600,n,8"
                                  << "";
    QTest::newRow("five fields") << "9600,n,8,1,1"
                                 << "";
    QTest::newRow("zero baud") << "0,n,8,1"
                               << "";
    QTest::newRow("negative baud") << "-9600,n,8,1"
                                   << "";
    QTest::newRow("baud too large") << "99999999999,n,8,1"
                                    << "";
    QTest::newRow("blank inside baud") << "96 00,n,8,1"
                                       << "";
    QTest::newRow("unknown parity") << "9600,x,8,1"
                                    << "";
    QTest::newRow("parity word") << "9600,no,8,1"
                                 << "";
    QTest::newRow("empty parity") << "9600,,8,1"
                                  << "";
    QTest::newRow("4 data bits") << "9600,n,4,1"
                                 << "";
    QTest::newRow("9 data bits") << "9600,n,9,1"
                                 << "";
    QTest::newRow("3 stop bits") << "9600,n,8,3"
                                 << "";
    QTest::newRow("1.0 stop bits") << "9600,n,8,1.0"
                                   << "";
    QTest::newRow("semicolons") << "9600;n;8;1"
                                << "";
}

void TestSerialLogic::settingsTexts()
{
    QFETCH(QString, text);
    QFETCH(QString, readBack);
    const auto parsed = parseLineSettings(text);
    QCOMPARE(parsed.has_value(), !readBack.isEmpty());
    if (parsed) {
        QCOMPARE(formatLineSettings(*parsed), readBack);
        QCOMPARE(parseLineSettings(readBack), parsed);
    }
}

void TestSerialLogic::receiveAppend_data()
{
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("received");
    QTest::addColumn<QString>("expected");

    QTest::newRow("first data removes the placeholder") << WaitingText << "OK"
                                                        << "OK";
    QTest::newRow("nothing received keeps the placeholder") << WaitingText << "" << WaitingText;
    QTest::newRow("edited placeholder stays") << "Waiting...."
                                              << "OK"
                                              << "Waiting....OK";
    QTest::newRow("appended after earlier text") << "OK"
                                                 << "\r\n>"
                                                 << "OK\r\n>";
    QTest::newRow("control characters unchanged")
        << "" << QString::fromLatin1("a\0\rb\n\xff", 6) << QString::fromLatin1("a\0\rb\n\xff", 6);
    QTest::newRow("reaching the limit exactly keeps all")
        << QString(9999, QLatin1Char('a')) << "b" << QString(9999, QLatin1Char('a')) + "b";
    QTest::newRow("over the limit drops the oldest") << QString(9990, QLatin1Char('a')) << QString(20, QLatin1Char('b'))
                                                     << QString(9980, QLatin1Char('a')) + QString(20, QLatin1Char('b'));
}

void TestSerialLogic::receiveAppend()
{
    QFETCH(QString, current);
    QFETCH(QString, received);
    QFETCH(QString, expected);
    QCOMPARE(appendReceived(current, received), expected);
}

void TestSerialLogic::receiveKeepsNewestWhenFull()
{
    // One chunk larger than the window: its newest characters are shown.
    QString chunk;
    for (int i = 0; chunk.size() < 12000; ++i)
        chunk += QString::number(i) + QLatin1Char(' ');
    QString shown = appendReceived(QString(5000, QLatin1Char('x')), chunk);
    QCOMPARE(shown.size(), ReceiveWindowLimit);
    QCOMPARE(shown, chunk.right(ReceiveWindowLimit));

    // Many small chunks: the window stays at the limit and ends with the last.
    shown = WaitingText;
    for (int i = 0; i < 3000; ++i)
        shown = appendReceived(shown, QStringLiteral("line %1\r\n").arg(i));
    QCOMPARE(shown.size(), ReceiveWindowLimit);
    QVERIFY(shown.endsWith(QStringLiteral("line 2999\r\n")));
    QVERIFY(!shown.contains(WaitingText));
}

void TestSerialLogic::receiveOnClose_data()
{
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("expected");
    QTest::newRow("placeholder becomes the caption") << WaitingText << SerialInputTitle;
    QTest::newRow("received text stays") << "OK\r\n"
                                         << "OK\r\n";
    QTest::newRow("empty stays empty") << ""
                                       << "";
    QTest::newRow("placeholder with more stays") << "Waiting.....x"
                                                 << "Waiting.....x";
}

void TestSerialLogic::receiveOnClose()
{
    QFETCH(QString, current);
    QFETCH(QString, expected);
    QCOMPARE(receiveTextOnClose(current), expected);
}

void TestSerialLogic::keysToSend_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("sent"); // -1: nothing

    QTest::newRow("capital letter is lowered") << int(Qt::Key_A) << "A" << int('a');
    QTest::newRow("small letter") << int(Qt::Key_Z) << "z" << int('z');
    QTest::newRow("digit") << int(Qt::Key_7) << "7" << int('7');
    QTest::newRow("punctuation") << int(Qt::Key_BracketRight) << "]" << int(']');
    QTest::newRow("Return") << int(Qt::Key_Return) << "\r" << 13;
    QTest::newRow("Enter without text") << int(Qt::Key_Enter) << "" << 13;
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << "\b" << 8;
    QTest::newRow("Backspace without text") << int(Qt::Key_Backspace) << "" << 8;
    QTest::newRow("Escape") << int(Qt::Key_Escape) << "\x1b" << 27;
    QTest::newRow("Ctrl+C") << int(Qt::Key_C) << "\x03" << 3;
    QTest::newRow("Latin-1 capital") << int(Qt::Key_Adiaeresis) << "\u00c4" << 0xe4;
    QTest::newRow("beyond 8 bits") << int(Qt::Key_unknown) << "\u20ac" << int('?');
    QTest::newRow("Shift") << int(Qt::Key_Shift) << "" << -1;
    QTest::newRow("arrow") << int(Qt::Key_Left) << "" << -1;
}

void TestSerialLogic::keysToSend()
{
    QFETCH(int, key);
    QFETCH(QString, text);
    QFETCH(int, sent);
    const auto ch = keyPressToSend(key, text);
    QCOMPARE(ch.has_value(), sent >= 0);
    if (ch)
        QCOMPARE(static_cast<unsigned char>(*ch), static_cast<unsigned char>(sent));
}

void TestSerialLogic::deviceOrder()
{
    const QStringList listed{"/dev/ttyS1",   "/dev/ttyUSB10", "/dev/ttyS0", "/dev/ttyACM0",
                             "/dev/ttyUSB2", "/dev/ttyS10",   "/dev/ttyS2"};
    const QStringList expected{"/dev/ttyACM0", "/dev/ttyUSB2", "/dev/ttyUSB10", "/dev/ttyS0",
                               "/dev/ttyS1",   "/dev/ttyS2",   "/dev/ttyS10"};
    QCOMPARE(orderSerialDevices(listed), expected);
    QCOMPARE(pickDevice(orderSerialDevices(listed), 1), QStringLiteral("/dev/ttyACM0"));
    QCOMPARE(pickDevice(orderSerialDevices(listed), 2), QStringLiteral("/dev/ttyUSB2"));
}

void TestSerialLogic::deviceFallbacks()
{
    QCOMPARE(pickDevice({}, 1), QStringLiteral("/dev/ttyS0"));
    QCOMPARE(pickDevice({}, 2), QStringLiteral("/dev/ttyS1"));
    QCOMPARE(pickDevice({"/dev/ttyUSB0"}, 1), QStringLiteral("/dev/ttyUSB0"));
    QCOMPARE(pickDevice({"/dev/ttyUSB0"}, 2), QStringLiteral("/dev/ttyS1"));
}

void TestSerialLogic::deviceFromEnvironment()
{
    qputenv("VOXCEL_COM2", "/tmp/voxcel-test-device");
    qunsetenv("VOXCEL_COM1");
    QCOMPARE(deviceForPort(2), QStringLiteral("/tmp/voxcel-test-device"));
    QVERIFY(deviceForPort(1) != QStringLiteral("/tmp/voxcel-test-device"));
    QCOMPARE(devicesForPorts(2), QStringList({deviceForPort(1), QStringLiteral("/tmp/voxcel-test-device")}));
    // Set but empty counts as not set.
    qputenv("VOXCEL_COM2", "");
    QVERIFY(deviceForPort(2) != QStringLiteral("/tmp/voxcel-test-device"));
    QVERIFY(!deviceForPort(2).isEmpty());
    qunsetenv("VOXCEL_COM2");
}

VOXCEL_TEST_GUILESS_MAIN(TestSerialLogic)
#include "test_serial_logic.moc"
