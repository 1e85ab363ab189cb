// voxcel-convert --send against the real main window: the bytes the
// window would send reach the line, with the pauses, and a terminal shows
// the progress.
#include "support/cli_window.h"
#include "support/pty_pair.h"
#include "support/test_main.h"

#include <QtTest>

#include <termios.h>

class CliSendTest : public QObject, private CliWindowFixture
{
    Q_OBJECT
private slots:
    void init() { openWindowWithPicture(); }
    void cleanup() { closeWindow(); }

    void sendGivesTheExactBytesWithThePauses_data();
    void sendGivesTheExactBytesWithThePauses();
    void sendShowsProgressOnATerminal_data();
    void sendShowsProgressOnATerminal();
};

void CliSendTest::sendGivesTheExactBytesWithThePauses_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("buffer");
    QTest::addColumn<QString>("address"); // empty: the LCD
    QTest::addColumn<int>("delayMs");
    QTest::addColumn<int>("speed"); // 0: not looked at (the send may be over before the test looks)

    QTest::newRow("defaults") << QStringList{QStringLiteral("--xmit-delay"), QStringLiteral("20.9")} << 32 << QString()
                              << 20 << 0;
    // The window puts 200 ms into the delay box for the EEPROM.
    QTest::newRow("eeprom, 2400 baud") << QStringList{QStringLiteral("--eeprom"), QStringLiteral("--address"),
                                                      QStringLiteral("1024"),     QStringLiteral("--buffer"),
                                                      QStringLiteral("128"),      QStringLiteral("--baud"),
                                                      QStringLiteral("2400")}
                                       << 128 << "1024" << 200 << int(B2400);
}

void CliSendTest::sendGivesTheExactBytesWithThePauses()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, buffer);
    QFETCH(QString, address);
    QFETCH(int, delayMs);
    QFETCH(int, speed);

    const QByteArray expected = windowTransmission(buffer, QStringLiteral("]"), 10, address).toLatin1();
    PtyPair pair;
    pair.startReading();

    QProcess process;
    process.setProgram(QStringLiteral(VOXCEL_CONVERT_BIN));
    process.setArguments(QStringList{QStringLiteral("--send"), pair.slavePath()} << arguments
                                                                                 << QStringLiteral("logo.bmp"));
    process.setWorkingDirectory(dir->path());
    process.start();
    // While it sends, the line runs at the speed asked for.
    QVERIFY(pair.waitForBytes(1, 60000));
    if (speed != 0) {
        termios line{};
        QCOMPARE(::tcgetattr(pair.slaveFd(), &line), 0);
        QCOMPARE(int(::cfgetospeed(&line)), speed);
    }
    process.waitForFinished(-1);
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(process.readAllStandardOutput(), QByteArray());
    QCOMPARE(process.readAllStandardError(), QByteArray()); // no progress line into a pipe

    QVERIFY(pair.waitForBytes(static_cast<std::size_t>(expected.size()), 60000));
    QCOMPARE(pair.receivedBytes(), expected);

    // Each "]" comes after a pause, and the pauses add up to at least the
    // delay each. Single gaps are only checked for half the delay: the
    // kernel may pass the byte before a pause on a few ms late, which
    // shortens that one gap as seen here, but never the sum of them.
    const auto received = pair.received();
    int pauses = 0;
    for (std::size_t i = 1; i < received.size(); ++i) {
        if (received[i].byte != ']')
            continue;
        ++pauses;
        const double gap = millisecondsBetween(received[i - 1].arrival, received[i].arrival);
        QVERIFY2(gap >= delayMs / 2.0,
                 qPrintable(QStringLiteral("pause before \"]\" at %1 was %2 ms").arg(i).arg(gap)));
    }
    QCOMPARE(pauses, 2048 / buffer);
    const double total = millisecondsBetween(received.front().arrival, received.back().arrival);
    QVERIFY2(total >= pauses * delayMs - 5.0, qPrintable(QString::number(total)));
}

void CliSendTest::sendShowsProgressOnATerminal_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("ending"); // after the device's name
    QTest::addColumn<QString>("early");  // the first redraw, with the line's time left
    QTest::addColumn<int>("characters");

    // The time left is the line's: 2121 characters at 9600 baud.
    QTest::newRow("one picture") << QStringList{"logo.bmp"} << "Sending logo.bmp to %1: 2122/2122\n"
                                 << ": 1/2122, 2.2 s left" << 2122;
    // Two frames and the hold between them.
    QTest::newRow("series") << QStringList{"--series", "--hold", "100", "logo.bmp", "logo.bmp"}
                            << "Sending the series to %1: frame 2/2, 2122/2122\n"
                            << ": frame 1/2, 1/2122, 4.5 s left" << 2 * 2122;
}

void CliSendTest::sendShowsProgressOnATerminal()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, ending);
    QFETCH(QString, early);
    QFETCH(int, characters);
    PtyPair line;
    PtyPair terminal;
    line.startReading();
    terminal.startReading();

    const CliResult result = runCli(
        QStringList{QStringLiteral("--send"), line.slavePath(), QStringLiteral("--xmit-delay"), QStringLiteral("0")}
            << arguments,
        dir->path(), terminal.slavePath());
    QCOMPARE(result.exitCode, 0);
    QVERIFY(line.waitForBytes(std::size_t(characters), 60000));
    const QByteArray end = ending.arg(line.slavePath()).toLatin1();
    QVERIFY(terminal.waitForBytes(static_cast<std::size_t>(end.size()), 60000));
    const QByteArray shown = terminal.receivedBytes();
    QVERIFY2(shown.startsWith('\r') && shown.endsWith(end), shown.constData());
    QVERIFY2(shown.contains(early.toLatin1()), shown.constData());
}

VOXCEL_TEST_MAIN(CliSendTest)
#include "cli_send_test.moc"
