// The real port layer over a pseudo-terminal pair: the test plays the PIC
// on the master side, reads what the program sends with arrival times and
// writes replies.

#include "serial/line_model.h"
#include "serial/pacing.h"
#include "serial/qt_serial_port.h"
#include "support/pty_pair.h"
#include "support/sample_transmission.h"
#include "support/stamping_port.h"
#include "support/test_main.h"

#include <QtTest>

#include <algorithm>
#include <termios.h>
#include <thread>

class TestSerialPty : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensTheDeviceOfItsPortNumber();
    void settingsApplyToTheOpenPort();
    void emptySettingsKeepThoseInForce();
    void refusedSettingsFail();
    void missingDeviceFails();
    void closedPortRefusesTraffic();
    void pacedTextsKeepSilenceOnTheModelledWire_data();
    void pacedTextsKeepSilenceOnTheModelledWire();
    void fullSystemBufferWaitsForRoom();
    void repliesArriveThroughInput();
    void peerGoneClosesThePort_data();
    void peerGoneClosesThePort();
    void peerGoneWhileIdleIsSeenByInput();

private:
    std::unique_ptr<PtyPair> pair_;
};

namespace {

// Polls input() without an event loop until something arrives.
QString inputWithin(PortLayer &port, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    QString received;
    while (received.isEmpty() && timer.elapsed() < timeoutMs) {
        received = port.input();
        if (received.isEmpty())
            QThread::msleep(5);
    }
    return received;
}

speed_t outputSpeed(int fd)
{
    termios settings{};
    ::tcgetattr(fd, &settings);
    return ::cfgetospeed(&settings);
}

} // namespace

void TestSerialPty::init()
{
    pair_ = std::make_unique<PtyPair>();
    qputenv("VOXCEL_COM1", pair_->slavePath().toLocal8Bit());
    qputenv("VOXCEL_COM2", "/dev/does-not-exist");
}

void TestSerialPty::cleanup()
{
    pair_.reset();
    qunsetenv("VOXCEL_COM1");
    qunsetenv("VOXCEL_COM2");
}

void TestSerialPty::opensTheDeviceOfItsPortNumber()
{
    QtSerialPort port;
    QCOMPARE(port.commPort(), qint16(1));
    port.setSettings(QStringLiteral("9600,n,8,1"));
    port.setCommPort(1);
    QCOMPARE(port.deviceName(), pair_->slavePath());
    port.setOpen(true);
    QVERIFY(port.isOpen());
    QCOMPARE(outputSpeed(pair_->slaveFd()), speed_t(B9600));
    port.setOpen(false);
    QVERIFY(!port.isOpen());
    // Closed and opened again, as the Open/Close button does.
    port.setOpen(true);
    QVERIFY(port.isOpen());
}

void TestSerialPty::settingsApplyToTheOpenPort()
{
    QtSerialPort port;
    port.setOpen(true);
    port.setSettings(QStringLiteral("2400,n,8,1"));
    QCOMPARE(port.settings(), QStringLiteral("2400,n,8,1"));
    QCOMPARE(outputSpeed(pair_->slaveFd()), speed_t(B2400));
    port.setSettings(QStringLiteral("1200,N,8,1"));
    QCOMPARE(port.settings(), QStringLiteral("1200,n,8,1"));
    QCOMPARE(outputSpeed(pair_->slaveFd()), speed_t(B1200));
}

void TestSerialPty::emptySettingsKeepThoseInForce()
{
    // The first Open without a settings entry chosen passes the empty text.
    QtSerialPort port;
    port.setSettings(QString());
    QCOMPARE(port.settings(), QStringLiteral("9600,n,8,1"));
    port.setOpen(true);
    QCOMPARE(outputSpeed(pair_->slaveFd()), speed_t(B9600));

    port.setSettings(QStringLiteral("2400,n,8,1"));
    port.setSettings(QString());
    QCOMPARE(port.settings(), QStringLiteral("2400,n,8,1"));
    QCOMPARE(outputSpeed(pair_->slaveFd()), speed_t(B2400));
}

void TestSerialPty::refusedSettingsFail()
{
    QtSerialPort port;
    QVERIFY_THROWS_EXCEPTION(PortError, port.setSettings(QStringLiteral("9600,x,8,1")));
    QCOMPARE(port.settings(), QStringLiteral("9600,n,8,1"));

    port.setOpen(true);
    QVERIFY_THROWS_EXCEPTION(PortError, port.setSettings(QStringLiteral("fast")));
    QVERIFY(port.isOpen());
    QCOMPARE(port.settings(), QStringLiteral("9600,n,8,1"));
    QCOMPARE(outputSpeed(pair_->slaveFd()), speed_t(B9600));
}

void TestSerialPty::missingDeviceFails()
{
    QtSerialPort port;
    port.setCommPort(2);
    try {
        port.setOpen(true);
        QFAIL("opening a missing device succeeded");
    } catch (const PortError &error) {
        QVERIFY2(QString::fromStdString(error.what()).contains(QStringLiteral("/dev/does-not-exist")), error.what());
    }
    QVERIFY(!port.isOpen());
    QCOMPARE(port.commPort(), qint16(2));
}

void TestSerialPty::closedPortRefusesTraffic()
{
    QtSerialPort port;
    QVERIFY_THROWS_EXCEPTION(PortError, port.output('a'));
    QVERIFY_THROWS_EXCEPTION(PortError, port.input());
}

void TestSerialPty::pacedTextsKeepSilenceOnTheModelledWire_data()
{
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("delayMs");
    QTest::addColumn<int>("pauses");

    QTest::newRow("picture at 115200") << "115200,n,8,1" << pictureTransmission() << 20 << 64;
    // Paste and Send of a few lines: lower case, the delay box's 5.5 ms
    // rounded to 6.
    QTest::newRow("pasted text at 1200") << "1200,n,8,1" << QStringLiteral("hello]world]\r\nsecond line]x]") << 6 << 4;
}

void TestSerialPty::pacedTextsKeepSilenceOnTheModelledWire()
{
    QFETCH(QString, settings);
    QFETCH(QString, text);
    QFETCH(int, delayMs);

    pair_->startReading();
    QtSerialPort serial;
    serial.setSettings(settings);
    serial.setOpen(true);
    StampingPort port(serial);
    sendPaced({text, QStringLiteral("]"), delayMs}, port);
    QVERIFY(pair_->waitForBytes(static_cast<std::size_t>(text.size()), 10000));
    QCOMPARE(pair_->receivedBytes(), text.toLatin1());

    // A pseudo-terminal passes characters on at once; a real line at its
    // speed, one after another from their hand-over. The silence before
    // each "]" is counted from the moment such a line would have sent the
    // character before, to the "]"'s arrival: a true lower bound.
    LineModel wire(characterTime(*parseLineSettings(settings)));
    const auto received = pair_->received();
    int pauses = 0;
    for (std::size_t i = 0; i < received.size(); ++i) {
        if (received[i].byte == ']') {
            ++pauses;
            const double silence = millisecondsBetween(*wire.idleAt(), received[i].arrival);
            QVERIFY2(silence >= delayMs, qPrintable(QStringLiteral("%1 ms before \"]\" at %2").arg(silence).arg(i)));
        }
        wire.take(port.handedOver[i]);
    }
    QTEST(pauses, "pauses");
}

void TestSerialPty::fullSystemBufferWaitsForRoom()
{
    // The PIC's side reads nothing at first: the pseudo-terminal's buffer
    // (about 20 KB) fills and the non-blocking write says "try again". The
    // character must wait for room, not fail or stay behind in Qt's buffer.
    QByteArray text(60000, '\0');
    for (qsizetype i = 0; i < text.size(); ++i)
        text[i] = static_cast<char>('a' + i % 26);

    QtSerialPort port;
    port.setOpen(true);
    std::thread lateReader([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        pair_->startReading();
    });
    QString failure;
    try {
        for (const char ch : std::as_const(text))
            port.output(ch);
    } catch (const PortError &error) {
        failure = QString::fromStdString(error.what());
    }
    lateReader.join();
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QVERIFY(port.isOpen());
    QVERIFY(pair_->waitForBytes(static_cast<std::size_t>(text.size()), 10000));
    QCOMPARE(pair_->receivedBytes(), text);
}

void TestSerialPty::repliesArriveThroughInput()
{
    QtSerialPort port;
    port.setOpen(true);
    QCOMPARE(port.input(), QString());

    // Without an event loop, as during a blocking command.
    pair_->write(QByteArray("OK\r\n\0\xff", 6));
    QString received;
    QElapsedTimer timer;
    timer.start();
    while (received.size() < 6 && timer.elapsed() < 5000)
        received += inputWithin(port, 100);
    QCOMPARE(received, QString::fromLatin1("OK\r\n\0\xff", 6));

    // With the event loop running, as under the window's poll timer: Qt
    // may have read part of it already; input() hands over everything.
    pair_->write("abc");
    QTest::qWait(50);
    pair_->write("def");
    received.clear();
    timer.restart();
    while (received.size() < 6 && timer.elapsed() < 5000)
        received += inputWithin(port, 100);
    QCOMPARE(received, QStringLiteral("abcdef"));
}

void TestSerialPty::peerGoneClosesThePort_data()
{
    QTest::addColumn<QString>("settings");
    QTest::addColumn<int>("delayMs");
    QTest::addColumn<int>("characters");  // of a picture's transmission
    QTest::addColumn<int>("hangUpAfter"); // characters handed over; all: once the system has passed them on
    // After the last character the sender waits out its line model: 275 ms
    // for the last piece at 1200 baud, 2.2 s for all when nothing pauses at 9600.
    QTest::newRow("9600, mid-send") << "9600,n,8,1" << 1 << 2122 << 76;
    QTest::newRow("1200, after the last") << "1200,n,8,1" << 20 << 76 << 76;
    QTest::newRow("1200, before the last") << "1200,n,8,1" << 20 << 76 << 75;
    QTest::newRow("9600 unpaced, after the last") << "9600,n,8,1" << 0 << 2122 << 2122;
    QTest::newRow("9600 unpaced, before the last") << "9600,n,8,1" << 0 << 2122 << 2121;
}

void TestSerialPty::peerGoneClosesThePort()
{
    QFETCH(QString, settings);
    QFETCH(int, delayMs);
    QFETCH(int, characters);
    QFETCH(int, hangUpAfter);
    pair_->startReading();
    QtSerialPort port;
    port.setSettings(settings);
    port.setOpen(true);
    qsizetype handedOver = 0;
    auto hangUp = [&] { // the PIC reads what it got; then the adapter is pulled out
        pair_->waitForBytes(std::size_t(handedOver), 5000);
        pair_->closeMaster();
    };
    const QString text = pictureTransmission().left(characters);
    // Linux answers a write to a pseudo-terminal whose master is closed
    // with EIO; the port layer reports it and closes the port.
    const PacingHooks hooks{[&](LineTime deadline) {
        if (handedOver == characters && hangUpAfter == characters)
            hangUp();
        sleepUntil(deadline);
    }};
    const PacedSendResult result =
        sendPaced({text, QStringLiteral("]"), delayMs}, port, hooks, [&](qsizetype count, qsizetype) {
            if ((handedOver = count) == hangUpAfter && count < characters)
                hangUp();
        });
    QCOMPARE(result.end, hangUpAfter == characters ? PacedSendResult::End::Sent : PacedSendResult::End::PortLost);
    QCOMPARE(result.goneAfterEnd.isEmpty(), hangUpAfter < characters);
    QVERIFY(!port.isOpen());
    QVERIFY(text.toLatin1().startsWith(pair_->receivedBytes()));
    QVERIFY_THROWS_EXCEPTION(PortError, port.input());
}

void TestSerialPty::peerGoneWhileIdleIsSeenByInput()
{
    QtSerialPort port;
    port.setOpen(true);
    pair_->closeMaster();
    QVERIFY_THROWS_EXCEPTION(PortError, port.input());
    QVERIFY(!port.isOpen());
    // The device node went with the master: opening again fails cleanly.
    QVERIFY_THROWS_EXCEPTION(PortError, port.setOpen(true));
    QVERIFY(!port.isOpen());
}

VOXCEL_TEST_GUILESS_MAIN(TestSerialPty)
#include "test_serial_pty.moc"
