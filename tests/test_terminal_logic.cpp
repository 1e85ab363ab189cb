// The rules behind the Port and Terminal menus: the device list and its
// labels, the devices Com1 and Com2 stand for, the receive window's views,
// the log's lines and when a lost port reopens.
#include "serial/port_devices.h"
#include "serial/reconnect.h"
#include "support/test_main.h"
#include "terminal/receive_format.h"
#include "terminal/receive_transcript.h"
#include "terminal/receive_window.h"
#include "terminal/traffic_log.h"

#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <sys/resource.h>

Q_DECLARE_METATYPE(SerialDevice)

class TestTerminalLogic : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void deviceLabels_data();
    void deviceLabels();
    void devicesOrderUsbFirst();
    void portDevice_data();
    void portDevice();
    void assignmentIsRemembered();
    void receiveViews_data();
    void receiveViews();
    void hexLayoutFitsWidth_data();
    void hexLayoutFitsWidth();
    void anotherViewShowsEverythingAgain();
    void logLines_data();
    void logLines();
    void unwritableLogFails();
    void reconnectTarget_data();
    void reconnectTarget();

private:
    QTemporaryDir config_;
};

namespace {
SerialDevice usb(const QString &path, const QString &serial)
{
    return {path, QStringLiteral("FT232R USB UART"), QStringLiteral("FTDI"), true, 0x0403, 0x6001, serial};
}

SerialDevice builtIn(const QString &path)
{
    return {path, {}, {}, false, 0, 0, {}};
}

const QList<SerialDevice> Listed{usb("/dev/ttyUSB1", "A600"), usb("/dev/ttyUSB0", "B700"), builtIn("/dev/ttyS0")};
} // namespace

void TestTerminalLogic::initTestCase()
{
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path()));
}

void TestTerminalLogic::deviceLabels_data()
{
    QTest::addColumn<SerialDevice>("device");
    QTest::addColumn<QString>("label");
    QTest::newRow("usb") << usb("/dev/ttyUSB0", "A6008")
                         << "/dev/ttyUSB0: FT232R USB UART, FTDI, USB 0403:6001, serial A6008";
    QTest::newRow("built-in") << builtIn("/dev/ttyS0") << "/dev/ttyS0";
    QTest::newRow("maker same as description")
        << SerialDevice{"/dev/ttyACM0", "Arduino", "Arduino", true, 0x2341, 0x43, ""}
        << "/dev/ttyACM0: Arduino, USB 2341:0043";
}

void TestTerminalLogic::deviceLabels()
{
    QFETCH(SerialDevice, device);
    QTEST(deviceLabel(device), "label");
}

void TestTerminalLogic::devicesOrderUsbFirst()
{
    QList<SerialDevice> devices{builtIn("/dev/ttyS1"), usb("/dev/ttyUSB10", ""), builtIn("/dev/ttyACM0"),
                                usb("/dev/ttyUSB2", "")};
    orderSerialDevices(devices);
    QStringList paths;
    for (const SerialDevice &device : devices)
        paths << device.path;
    QCOMPARE(paths, QStringList({"/dev/ttyACM0", "/dev/ttyUSB2", "/dev/ttyUSB10", "/dev/ttyS1"}));
}

void TestTerminalLogic::portDevice_data()
{
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("override");
    QTest::addColumn<QString>("storedPath");
    QTest::addColumn<QString>("storedSerial");
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("source");
    const int env = int(PortSource::Environment), chosen = int(PortSource::Chosen),
              order = int(PortSource::SystemOrder);
    QTest::newRow("system order 1") << 1 << ""
                                    << ""
                                    << ""
                                    << "/dev/ttyUSB1" << order;
    QTest::newRow("system order 2") << 2 << ""
                                    << ""
                                    << ""
                                    << "/dev/ttyUSB0" << order;
    QTest::newRow("chosen path") << 1 << ""
                                 << "/dev/ttyS0"
                                 << ""
                                 << "/dev/ttyS0" << chosen;
    QTest::newRow("typed path, not listed") << 2 << ""
                                            << "/dev/rfcomm0"
                                            << ""
                                            << "/dev/rfcomm0" << chosen;
    QTest::newRow("same serial, new path") << 1 << ""
                                           << "/dev/ttyUSB3"
                                           << "B700"
                                           << "/dev/ttyUSB0" << chosen;
    QTest::newRow("serial gone: its path") << 1 << ""
                                           << "/dev/ttyUSB3"
                                           << "C800"
                                           << "/dev/ttyUSB3" << chosen;
    QTest::newRow("environment wins") << 1 << "/tmp/pty"
                                      << "/dev/ttyS0"
                                      << ""
                                      << "/tmp/pty" << env;
}

void TestTerminalLogic::portDevice()
{
    QFETCH(int, port);
    QFETCH(QString, override);
    QFETCH(QString, storedPath);
    QFETCH(QString, storedSerial);
    const PortDevice device = resolvePortDevice(port, override, {storedPath, storedSerial}, [] { return Listed; });
    QTEST(device.path, "path");
    QTEST(int(device.source), "source");
}

void TestTerminalLogic::assignmentIsRemembered()
{
    qputenv("VOXCEL_COM2", "/tmp/voxcel-pty");
    storeAssignment(1, assignmentFor(QStringLiteral("/dev/ttyUSB0"), Listed));
    storeAssignment(2, assignmentFor(QStringLiteral("/dev/ttyS7"), Listed));
    QCOMPARE(storedAssignment(1).serialNumber, QStringLiteral("B700"));
    // The environment decides for this run; the choice is kept for the next.
    QCOMPARE(::portDevice(2, [] { return Listed; }).path, QStringLiteral("/tmp/voxcel-pty"));
    qunsetenv("VOXCEL_COM2");
    QCOMPARE(::portDevice(2, [] { return Listed; }).path, QStringLiteral("/dev/ttyS7"));
    QCOMPARE(::portDevice(1, [] { return Listed; }).path, QStringLiteral("/dev/ttyUSB0"));
}

void TestTerminalLogic::receiveViews_data()
{
    QTest::addColumn<bool>("hex");
    QTest::addColumn<bool>("times");
    QTest::addColumn<QStringList>("chunks"); // "ms|characters"
    QTest::addColumn<QString>("shown");
    QTest::newRow("text") << false << false << QStringList{"0|ab\r", "5|\ncd"} << "ab\ncd";
    QTest::newRow("text, times") << false << true << QStringList{"7|ok\r\nno", "2500|w\n"}
                                 << "[     7] ok\n[     7] now\n";
    QTest::newRow("hex, 16 a line") << true << false
                                    << QStringList{"0|0123456789abcdef", QString::fromLatin1("1|\x01\xff")}
                                    << "00000000: 30 31 32 33 34 35 36 37 38 39 61 62 63 64 65 66\n00000010: 01 FF";
    QTest::newRow("hex, times, silence breaks")
        << true << true << QStringList{"0|AB", "60|C", "160|D"} << "[     0] 00000000: 41 42 43\n[   160] 00000003: 44";
}

void TestTerminalLogic::receiveViews()
{
    QFETCH(bool, hex);
    QFETCH(bool, times);
    QFETCH(QStringList, chunks);
    ReceiveFormatter formatter;
    formatter.setView({hex, times});
    QString shown;
    for (const QString &chunk : chunks)
        shown +=
            formatter.format(chunk.section(QLatin1Char('|'), 1), chunk.section(QLatin1Char('|'), 0, 0).toLongLong());
    QTEST(shown, "shown");
}

void TestTerminalLogic::hexLayoutFitsWidth_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("times");
    QTest::addColumn<int>("bytes");
    QTest::addColumn<bool>("offsets");
    QTest::newRow("16 fit") << 57 << false << 16 << true;
    QTest::newRow("16 just not") << 56 << false << 8 << true;
    QTest::newRow("8 with offsets") << 33 << false << 8 << true;
    QTest::newRow("8 without") << 32 << false << 8 << false;
    QTest::newRow("times, 16") << 66 << true << 16 << true;
    QTest::newRow("times, 8") << 65 << true << 8 << true;
}

void TestTerminalLogic::hexLayoutFitsWidth()
{
    QFETCH(int, width);
    QFETCH(bool, times);
    const HexLayout layout = hexLayoutFor(width, times);
    QTEST(layout.bytesPerLine, "bytes");
    QTEST(layout.offsets, "offsets");
    QVERIFY(width < 23 || hexLineWidth(layout, times) <= width);
}

void TestTerminalLogic::anotherViewShowsEverythingAgain()
{
    // Text, then a notice where the text shown ends mid-line, then typing.
    ReceiveTranscript transcript;
    QString live = transcript.received({0, {{QStringLiteral("OK\r\nab"), 5}}}, ReceiveWindowLimit);
    live += transcript.notice(QStringLiteral("(reconnected)"), false);
    live += QStringLiteral("x");
    transcript.typed(QStringLiteral("xy"));
    transcript.erased(1);
    live += transcript.received({2, {{QStringLiteral("\x01"), 9}}}, ReceiveWindowLimit);
    QCOMPARE(live, QStringLiteral("OK\nab\n(reconnected)\nx(2 characters not shown)\n\u2401"));

    QCOMPARE(transcript.show({true, false, 8, false}),
             QStringLiteral("4F 4B 0D 0A 61 62\n(reconnected)\nx(2 characters not shown)\n01"));
    QCOMPARE(transcript.show({true, false, 16, true}),
             QStringLiteral("00000000: 4F 4B 0D 0A 61 62\n(reconnected)\nx(2 characters not shown)\n00000008: 01"));
    QCOMPARE(transcript.show({}), live);

    // Past what is kept the oldest go, and the offsets go on.
    for (int i = 0; i < 2; ++i)
        transcript.received({0, {{QString(ReceiveWindowLimit, QLatin1Char('z')), 20}}}, ReceiveWindowLimit);
    // The lines start at 9 and every 16 bytes on, the last at 20009 - 16.
    QVERIFY(
        transcript.show({true, false, 16, true}).endsWith(QStringLiteral("\n00004E19:") + QString(" 7A").repeated(16)));
    QCOMPARE(transcript.show({}), QString(ReceiveWindowLimit, QLatin1Char('z')));
}

void TestTerminalLogic::logLines_data()
{
    QTest::addColumn<int>("direction");
    QTest::addColumn<QString>("chars");
    QTest::addColumn<QStringList>("lines");
    const QString at = QStringLiteral("2026-03-04 05:06:07.089");
    QTest::newRow("received lines") << int(TrafficDirection::Received) << "OK\r\nv1.2\r\n"
                                    << QStringList{at + " RX OK\\r\\n", at + " RX v1.2\\r\\n"};
    QTest::newRow("sent, escaped") << int(TrafficDirection::Sent) << QString::fromLatin1("*\\\t\x1b\xe9")
                                   << QStringList{at + " TX *\\\\\\t\\x1b\\xe9"};
    QTest::newRow("nothing") << int(TrafficDirection::Sent) << "" << QStringList{};
}

void TestTerminalLogic::logLines()
{
    QFETCH(int, direction);
    QFETCH(QString, chars);
    const QDateTime at(QDate(2026, 3, 4), QTime(5, 6, 7, 89));
    QTEST(trafficLogLines(at, TrafficDirection(direction), chars), "lines");
}

void TestTerminalLogic::unwritableLogFails()
{
    TrafficLog log;
    QString error;
    QVERIFY(!log.open(config_.path(), &error)); // a folder
    QVERIFY(!log.open(QStringLiteral("/dev/null"), &error));
    QVERIFY(!log.open(config_.filePath(QStringLiteral("no/such/folder/log.txt")), &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(log.open(config_.filePath(QStringLiteral("log.txt")), &error));
    QVERIFY(log.write(TrafficDirection::Sent, QStringLiteral("a"), &error));
    QFile written(config_.filePath(QStringLiteral("log.txt")));
    QVERIFY(written.open(QIODevice::ReadOnly));
    QVERIFY(written.readAll().endsWith(" TX a\n")); // on the disk at once

    // Room for part of a line, as on a disk that fills up: the reason.
    rlimit before{};
    QVERIFY(::getrlimit(RLIMIT_FSIZE, &before) == 0);
    const rlimit limit{rlim_t(written.size() + 40), before.rlim_max};
    std::signal(SIGXFSZ, SIG_IGN);
    QVERIFY(::setrlimit(RLIMIT_FSIZE, &limit) == 0);
    const bool wrote = log.write(TrafficDirection::Sent, QString(100, QLatin1Char('x')), &error);
    ::setrlimit(RLIMIT_FSIZE, &before);
    QVERIFY2(!wrote && error.endsWith(QStringLiteral(": File too large")), qPrintable(error));
}

void TestTerminalLogic::reconnectTarget_data()
{
    QTest::addColumn<qint64>("now");
    QTest::addColumn<bool>("gone");
    QTest::addColumn<bool>("sending");
    QTest::addColumn<bool>("pathPresent");
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QString>("target");
    QTest::newRow("same path back") << 1000LL << true << false << true << ""
                                    << "/dev/ttyUSB5";
    QTest::newRow("never gone: a stuck line") << 1000LL << false << false << true << ""
                                              << "";
    QTest::newRow("not yet") << 1000LL << true << false << false << ""
                             << "";
    QTest::newRow("same serial, new path") << 29000LL << true << false << false << "B700"
                                           << "/dev/ttyUSB0";
    QTest::newRow("other serial") << 1000LL << true << false << false << "Z999"
                                  << "";
    QTest::newRow("too late") << 31000LL << true << false << true << ""
                              << "";
    QTest::newRow("during a send") << 1000LL << true << true << true << ""
                                   << "";
}

void TestTerminalLogic::reconnectTarget()
{
    QFETCH(qint64, now);
    QFETCH(bool, gone);
    QFETCH(bool, sending);
    QFETCH(bool, pathPresent);
    QFETCH(QString, serial);
    const LostDevice lost{QStringLiteral("/dev/ttyUSB5"), serial, 500, gone};
    const std::optional<QString> target = ::reconnectTarget(lost, {now, sending, pathPresent, [] { return Listed; }});
    QTEST(target.value_or(QString()), "target");
}

VOXCEL_TEST_GUILESS_MAIN(TestTerminalLogic)
#include "test_terminal_logic.moc"
