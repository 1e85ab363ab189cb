// The line-paced sending: the pacing loop over a fake port and clock, the
// line model's time a character takes, the delay readings and the estimate
// of how long a send takes.

#include "serial/line_model.h"
#include "serial/pacing.h"
#include "support/fake_port.h"
#include "support/sample_transmission.h"
#include "support/test_main.h"

#include <QtTest>

class TestLinePacing : public QObject
{
    Q_OBJECT

private slots:
    void pausesComeBeforeWaitCharacters_data();
    void pausesComeBeforeWaitCharacters();
    void everyCharacterIsSentBeyond16Bits();
    void portFailureStopsTheLoop();
    void progressCountsEveryCharacter();
    void stopEndsTheSendWhereAsked_data();
    void stopEndsTheSendWhereAsked();
    void charactersBeyond8BitsGoOutAsQuestionMark();
    void pacingOnTheLine_data();
    void pacingOnTheLine();
    void sendTimes_data();
    void sendTimes();

    void delayReadings_data();
    void delayReadings();

    void characterTimes_data();
    void characterTimes();
};

namespace {

using namespace std::chrono_literals;

// The fake port's own sleep and clock.
PacingHooks fakeHooks(FakePort &port)
{
    return {[&port](LineTime t) { port.sleepUntil(t); }, [&port] { return port.now(); }};
}

// The pacing loop over the fake port and its clock.
PacedSendResult sendWithFake(FakePort &port, const QString &text, const QString &wait, int delayMs = 20)
{
    return sendPaced({text, wait, delayMs}, port, fakeHooks(port));
}

qint64 microseconds(LineDuration d)
{
    return qRound64(static_cast<double>(d.count()) / 1000.0);
}

// The silence the fake's wire had before each character, where it had any.
QMap<int, qint64> silencesUs(const FakePort &port)
{
    QMap<int, qint64> silences;
    for (std::size_t i = 0; i < port.writes().size(); ++i) {
        if (port.writes()[i].silence > LineDuration::zero())
            silences.insert(static_cast<int>(i), microseconds(port.writes()[i].silence));
    }
    return silences;
}

} // namespace

void TestLinePacing::pausesComeBeforeWaitCharacters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("wait");
    QTest::addColumn<QList<int>>("pausedPositions");

    QTest::newRow("prefix, then a pause before each piece") << "*02000000A]0123]4567"
                                                            << "]" << QList<int>{10, 15};
    QTest::newRow("first character is the wait character") << "]ab"
                                                           << "]" << QList<int>{0};
    QTest::newRow("last character is the wait character") << "ab]"
                                                          << "]" << QList<int>{2};
    QTest::newRow("two-character wait text never pauses") << "*0200000A]]0123]]4567"
                                                          << "]]" << QList<int>{};
    QTest::newRow("empty wait text never pauses") << "*0200000A01234567"
                                                  << "" << QList<int>{};
    QTest::newRow("untrimmed wait text never pauses") << "ab]cd"
                                                      << " ]" << QList<int>{};
    // The comparison is exact: the capital A of the prefix does not pause.
    QTest::newRow("wait character inside the data pauses too") << "*0200000A]0a1a"
                                                               << "a" << QList<int>{11, 13};
    QTest::newRow("empty text") << ""
                                << "]" << QList<int>{};
}

void TestLinePacing::pausesComeBeforeWaitCharacters()
{
    QFETCH(QString, text);
    QFETCH(QString, wait);
    QFETCH(QList<int>, pausedPositions);

    FakePort port;
    port.setOpen(true);
    sendWithFake(port, text, wait);

    QCOMPARE(port.written(), text.toLatin1());
    // The wire is silent exactly before the paused characters, for the delay.
    const QMap<int, qint64> silences = silencesUs(port);
    QCOMPARE(silences.keys(), pausedPositions);
    for (const qint64 us : silences)
        QCOMPARE(us, qint64(20000));
}

void TestLinePacing::everyCharacterIsSentBeyond16Bits()
{
    // 40000 characters: past any 16-bit position, last character included.
    QString text;
    for (int piece = 0; piece < 1250; ++piece)
        text += QStringLiteral("]0123456789abcdef0123456789abcde");
    text += QLatin1Char('z');

    FakePort port;
    port.setOpen(true);
    sendWithFake(port, text, QStringLiteral("]"), 1);
    QCOMPARE(port.written().size(), text.size());
    QCOMPARE(port.written().back(), 'z');
    QCOMPARE(silencesUs(port).size(), 1250);
}

void TestLinePacing::portFailureStopsTheLoop()
{
    FakePort port;
    port.setOpen(true);
    port.failOutputAfter = 3;
    const PacedSendResult result = sendWithFake(port, QStringLiteral("ab]cdef"), QStringLiteral("]"));
    QCOMPARE(result.end, PacedSendResult::End::PortLost);
    QCOMPARE(result.portError, QStringLiteral("The device is gone"));
    QCOMPARE(port.written(), QByteArray("ab]"));
    QVERIFY(!port.isOpen());
}

void TestLinePacing::progressCountsEveryCharacter()
{
    FakePort port;
    port.setOpen(true);
    QList<QPair<qsizetype, qsizetype>> calls;
    sendPaced({QStringLiteral("a]b"), QStringLiteral("]"), 5}, port, fakeHooks(port),
              [&](qsizetype sent, qsizetype total) {
                  calls.append({sent, total});
              });
    const QList<QPair<qsizetype, qsizetype>> expected{{1, 3}, {2, 3}, {3, 3}};
    QCOMPARE(calls, expected);
}

void TestLinePacing::stopEndsTheSendWhereAsked_data()
{
    QTest::addColumn<int>("afterCharacters"); // the stop comes once this many went out
    QTest::addColumn<bool>("duringPause");    // ... or during the pause after them
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("between characters") << 1 << false << QByteArray("a");
    QTest::newRow("before a wait character") << 2 << false << QByteArray("ab");
    QTest::newRow("in the pause") << 2 << true << QByteArray("ab");
    QTest::newRow("after the last") << 5 << false << QByteArray("ab]cd");
}

void TestLinePacing::stopEndsTheSendWhereAsked()
{
    QFETCH(int, afterCharacters);
    QFETCH(bool, duringPause);
    QFETCH(QByteArray, written);
    FakePort port;
    port.setOpen(true);
    bool stop = false;
    const PacingHooks hooks{[&](LineTime t) {
                                port.sleepUntil(t);
                                stop = stop || (duringPause && port.written().size() == afterCharacters);
                            },
                            [&] { return port.now(); }, [&] { return stop; }};
    const PacedSendResult result =
        sendPaced({QStringLiteral("ab]cd"), QStringLiteral("]"), 20}, port, hooks,
                  [&](qsizetype sent, qsizetype) { stop = stop || (!duringPause && sent == afterCharacters); });
    QCOMPARE(port.written(), written);
    QCOMPARE(result.sent, written.size());
    QCOMPARE(result.end, written.size() == 5 ? PacedSendResult::End::Sent : PacedSendResult::End::Stopped);
}

void TestLinePacing::charactersBeyond8BitsGoOutAsQuestionMark()
{
    FakePort port;
    port.setOpen(true);
    sendWithFake(port, QStringLiteral("\u00e9\u20ac]"), QStringLiteral("]"));
    QCOMPARE(port.written(), QByteArray("\xe9?]"));
}

void TestLinePacing::pacingOnTheLine_data()
{
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("delayMs");
    QTest::addColumn<int>("outputUs");    // how long a hand-over takes
    QTest::addColumn<int>("drainUs");     // how long the system holds characters after the model
    QTest::addColumn<qint64>("waitAtUs"); // the wait character handed over
    QTest::addColumn<qint64>("endUs");    // sendPaced returned

    const QString piece = QString(33, QLatin1Char('0')) + QLatin1Char(']');
    // 33 characters take 34.375 ms at 9600, 275 ms at 1200; the wait
    // character then has the whole delay of silence, and the send ends
    // when it has left the wire too.
    QTest::newRow("9600, 33 at once") << "9600,n,8,1" << piece << 20 << 0 << 0 << qint64(54375) << qint64(55417);
    QTest::newRow("1200, 33 at once") << "1200,n,8,1" << piece << 20 << 0 << 0 << qint64(295000) << qint64(303333);
    // Nothing before the wait character; only the end waits for the line.
    QTest::newRow("delay 0 waits for nothing") << "9600,n,8,1" << piece << 0 << 0 << 0 << qint64(0) << qint64(35417);
    // Each character takes 2 ms to hand over, longer than the wire needs:
    // the line is idle 1.04 ms after the last one, and the wait character
    // comes the delay after that (and 2 ms to hand it over).
    QTest::newRow("handed over slowly: only the delay") << "9600,n,8,1"
                                                        << "ab]" << 20 << 2000 << 0 << qint64(27042) << qint64(28083);
    // The system still held characters for 3 ms after the model's idle
    // moment: the delay counts from there.
    QTest::newRow("held back by the system")
        << "9600,n,8,1" << piece << 20 << 0 << 3000 << qint64(57375) << qint64(61417);
    QTest::newRow("wait character first: delay from the start")
        << "9600,n,8,1"
        << "]a" << 20 << 0 << 0 << qint64(20000) << qint64(22083);
}

void TestLinePacing::pacingOnTheLine()
{
    QFETCH(QString, settings);
    QFETCH(QString, text);
    QFETCH(int, delayMs);
    QFETCH(int, outputUs);
    QFETCH(int, drainUs);

    FakePort port;
    port.setSettings(settings);
    port.setOpen(true);
    port.outputTakes = std::chrono::microseconds(outputUs);
    port.drainTakes = std::chrono::microseconds(drainUs);
    sendWithFake(port, text, QStringLiteral("]"), delayMs);

    QCOMPARE(port.written(), text.toLatin1());
    const auto wait = static_cast<std::size_t>(text.indexOf(QLatin1Char(']')));
    QTEST(microseconds(port.writes()[wait].at.time_since_epoch()), "waitAtUs");
    QTEST(microseconds(port.now().time_since_epoch()), "endUs");
    if (delayMs == 0)
        QCOMPARE(port.drainCount(), 2); // only at the end: after the last hand-over and once the line is idle
}

void TestLinePacing::sendTimes_data()
{
    QTest::addColumn<QString>("settings");
    QTest::addColumn<int>("delayMs");
    QTest::addColumn<int>("sent");
    QTest::addColumn<double>("ms");

    // A picture with the start-up settings: 2122 characters, 64 pauses.
    QTest::newRow("9600, delay 20") << "9600,n,8,1" << 20 << 0 << 3490.42;
    QTest::newRow("9600, EEPROM delay 200") << "9600,n,8,1" << 200 << 0 << 15010.42;
    QTest::newRow("1200, delay 20") << "1200,n,8,1" << 20 << 0 << 18963.33;
    QTest::newRow("delay 0: the line alone") << "9600,n,8,1" << 0 << 0 << 2210.42;
    QTest::newRow("left after prefix and one piece") << "9600,n,8,1" << 20 << 43 << 3425.63;
    QTest::newRow("left when all is sent") << "9600,n,8,1" << 20 << 2122 << 0.0;
}

void TestLinePacing::sendTimes()
{
    QFETCH(QString, settings);
    QFETCH(int, delayMs);
    QFETCH(int, sent);
    QFETCH(double, ms);

    const QString text = pictureTransmission();
    FakePort port;
    port.setSettings(settings);
    const LineDuration estimate = pacedSendTime(text, QStringLiteral("]"), delayMs, port.characterTime(), sent);
    QVERIFY2(qAbs(estimate.count() / 1e6 - ms) < 0.01, qPrintable(QString::number(estimate.count() / 1e6)));

    // The estimate is what the pacing loop really takes.
    if (sent == 0) {
        port.setOpen(true);
        sendWithFake(port, text, QStringLiteral("]"), delayMs);
        QCOMPARE(microseconds(port.now().time_since_epoch()), microseconds(estimate));
    }
}

void TestLinePacing::delayReadings_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("floor");   // -1: refused
    QTest::addColumn<int>("nearest"); // -1: refused

    QTest::newRow("whole") << "20" << 20 << 20;
    QTest::newRow("20.9") << "20.9" << 20 << 21;
    QTest::newRow("tie to even, down") << "20.5" << 20 << 20;
    QTest::newRow("tie to even, up") << "21.5" << 21 << 22;
    QTest::newRow("just under one") << "0.6" << 0 << 1;
    QTest::newRow("zero") << "0" << 0 << 0;
    QTest::newRow("blanks around") << " 200 " << 200 << 200;
    QTest::newRow("exponent") << "2e1" << 20 << 20;
    QTest::newRow("largest") << "60000" << 60000 << 60000;
    QTest::newRow("rounds back to largest") << "60000.4" << 60000 << 60000;
    QTest::newRow("too large") << "60001" << -1 << -1;
    QTest::newRow("absurd") << "1e12" << -1 << -1;
    QTest::newRow("empty") << "" << -1 << -1;
    QTest::newRow("not a number") << "abc" << -1 << -1;
    QTest::newRow("unit typed") << "20ms" << -1 << -1;
    QTest::newRow("negative") << "-5" << -1 << -1;
    QTest::newRow("small negative") << "-0.4" << -1 << -1;
}

void TestLinePacing::delayReadings()
{
    QFETCH(QString, text);
    QFETCH(int, floor);
    QFETCH(int, nearest);
    QCOMPARE(sendDelayFloor(text).value_or(-1), floor);
    QCOMPARE(pasteDelayNearestEven(text).value_or(-1), nearest);
}

void TestLinePacing::characterTimes_data()
{
    QTest::addColumn<QString>("settings");
    QTest::addColumn<qint64>("ns"); // rounded up

    QTest::newRow("9600 8N1: 10 bits") << "9600,n,8,1" << qint64(1041667);
    QTest::newRow("1200 8N1") << "1200,n,8,1" << qint64(8333334);
    QTest::newRow("7E1: parity makes 10 bits") << "9600,e,7,1" << qint64(1041667);
    QTest::newRow("8N2: 11 bits") << "9600,n,8,2" << qint64(1145834);
    QTest::newRow("8O1.5: 11.5 bits") << "2400,o,8,1.5" << qint64(4791667);
    QTest::newRow("mark parity counts as a bit") << "115200,m,5,1" << qint64(69445);
}

void TestLinePacing::characterTimes()
{
    QFETCH(QString, settings);
    QFETCH(qint64, ns);
    QCOMPARE(characterTime(*parseLineSettings(settings)).count(), ns);
}

VOXCEL_TEST_GUILESS_MAIN(TestLinePacing)
#include "test_line_pacing.moc"
