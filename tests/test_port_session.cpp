// The port session: its thread keeps the caller free. A stop ends a send
// in the middle of its pause, and a series in its hold, and that one only; a peer that reads nothing
// never holds up the caller's event loop, however many keys are typed, and a
// flood never piles up in it.
#include "serial/port_session.h"
#include "serial/qt_serial_port.h"
#include "support/fake_port.h"
#include "support/pty_pair.h"
#include "support/test_main.h"
#include "terminal/shared_traffic_log.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <atomic>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

class TestPortSession : public QObject
{
    Q_OBJECT
private slots:
    void stopEndsASendInItsPause();
    void stopEndsASeriesInItsHold();
    void stalledPeerLeavesTheCallerAnswering();
    void floodIsNoLoss();
    void unpluggedDeviceComesBackUnderItsLink();
};

namespace {
// The signal came, before or within the wait: the session's thread may
// emit it before the wait begins, which QSignalSpy::wait() does not count.
bool arrived(QSignalSpy &spy, int timeoutMs = 10000)
{
    return !spy.isEmpty() || spy.wait(timeoutMs);
}

// Opens a session on the port layer the factory makes (Com1); false when
// it did not open.
bool openSession(PortSession &session)
{
    QSignalSpy opened(&session, &PortSession::opened);
    session.open(1, QString());
    return arrived(opened);
}

// The characters a log holds, its \n escapes read back.
qsizetype loggedCharacters(QFile &&file)
{
    qsizetype count = 0;
    for (const QByteArray &line : file.open(QIODevice::ReadOnly) ? file.readAll().split('\n') : QByteArrayList())
        count += line.isEmpty() ? 0 : line.size() - line.indexOf(" RX ") - 4 - line.count("\\n");
    return count;
}

PortSession::PortFactory onPseudoTerminal(const PtyPair &pty)
{
    qputenv("VOXCEL_COM1", pty.slavePath().toLocal8Bit()); // read when the port opens
    return [] { return std::make_unique<QtSerialPort>(); };
}
} // namespace

void TestPortSession::stopEndsASendInItsPause()
{
    auto *fake = new FakePort;
    PortSession session([fake] { return std::unique_ptr<PortLayer>(fake); });
    QVERIFY(openSession(session));

    QSignalSpy finished(&session, &PortSession::sendFinished);
    QElapsedTimer clock;
    clock.start();
    session.send({QStringLiteral("*0]ab]cd"), QStringLiteral("]"), 60000});
    QTest::qWait(100);
    session.stop();
    QVERIFY(arrived(finished));
    QVERIFY(clock.elapsed() < 10000); // not the minute of the pause
    const auto result = finished.first().first().value<PacedSendResult>();
    QCOMPARE(result.end, PacedSendResult::End::Stopped);
    QCOMPARE(result.sent, 2);
    QCOMPARE(fake->written(), QByteArray("*0"));

    // The stop was for that send alone: the next one runs to its end.
    finished.clear();
    session.send({QStringLiteral("ef]gh"), QStringLiteral("]"), 1});
    QVERIFY(arrived(finished));
    QCOMPARE(finished.first().first().value<PacedSendResult>().end, PacedSendResult::End::Sent);
    QCOMPARE(fake->written(), QByteArray("*0ef]gh"));
}

void TestPortSession::stopEndsASeriesInItsHold()
{
    auto *fake = new FakePort;
    PortSession session([fake] { return std::unique_ptr<PortLayer>(fake); });
    QVERIFY(openSession(session));
    QSignalSpy finished(&session, &PortSession::seriesFinished);
    QSignalSpy busy(&session, &PortSession::sendingChanged);
    const QStringList frames{QStringLiteral("*0]ab"), QStringLiteral("*1]cd")};
    QElapsedTimer clock;
    clock.start();
    QVERIFY(session.sendSeries({frames, QStringLiteral("]"), 0, 60000, 1}));
    QVERIFY(!session.send({QStringLiteral("x"), QString(), 0})); // one send at a time
    QTRY_COMPARE(fake->written(), QByteArray("*0]ab"));
    QTest::qWait(100); // in the minute's hold after the first frame
    session.stop();
    QVERIFY(arrived(finished));
    QVERIFY(clock.elapsed() < 10000);
    const auto stopped = finished.first().first().value<SeriesSendResult>();
    QCOMPARE(stopped.last.end, PacedSendResult::End::Stopped);
    QCOMPARE(stopped.frame, 1);
    QCOMPARE(stopped.last.sent, 0);
    QVERIFY(!session.isSending());

    // The next series runs whole, its rounds held apart.
    finished.clear();
    QVERIFY(session.sendSeries({frames, QStringLiteral("]"), 1, 1, 2}));
    QVERIFY(arrived(finished));
    const auto sent = finished.first().first().value<SeriesSendResult>();
    QCOMPARE(sent.last.end, PacedSendResult::End::Sent);
    QCOMPARE(sent.loop, 1);
    QCOMPARE(fake->written(), QByteArray("*0]ab*0]ab*1]cd*0]ab*1]cd"));
    QCOMPARE(busy.size(), 4); // started and ended, twice
}

void TestPortSession::stalledPeerLeavesTheCallerAnswering()
{
    PtyPair pty; // nobody reads its master side
    PortSession session(onPseudoTerminal(pty));
    QSignalSpy lost(&session, &PortSession::lost);
    QVERIFY(openSession(session));
    // The line is full from the start: every key has to wait for room.
    const int flags = fcntl(pty.slaveFd(), F_GETFL);
    fcntl(pty.slaveFd(), F_SETFL, flags | O_NONBLOCK);
    QElapsedTimer sinceRoom; // the kernel makes room in steps: full once none came for a while
    sinceRoom.start();
    while (sinceRoom.elapsed() < 300) {
        if (::write(pty.slaveFd(), "ffffffffffffffff", 16) > 0)
            sinceRoom.restart();
        else
            QTest::qSleep(10);
    }
    fcntl(pty.slaveFd(), F_SETFL, flags);

    // Keys typed every millisecond for two seconds, while a 10 ms timer
    // notes how late it comes.
    QElapsedTimer sinceTick;
    sinceTick.start();
    qint64 longestGapMs = 0;
    QTimer tick;
    connect(&tick, &QTimer::timeout, this, [&] {
        longestGapMs = std::max(longestGapMs, sinceTick.restart());
        for (int i = 0; i < 10; ++i)
            session.type('k');
    });
    tick.start(10);
    QTest::qWait(2000);
    tick.stop();
    qunsetenv("VOXCEL_COM1");
    // A generous bound: the benchmark measures the lateness itself.
    QVERIFY2(longestGapMs < 1000, qPrintable(QString::number(longestGapMs)));
    // The stuck line is reported once a key has waited its time for room.
    QVERIFY(arrived(lost));
    QVERIFY2(lost.first().first().toString().contains(QStringLiteral("takes no more data")),
             qPrintable(lost.first().first().toString()));
}

void TestPortSession::floodIsNoLoss()
{
    // The port reads on its own whenever data comes, and the poll reads
    // too: a read that finds the other one took everything is no loss.
    // Every character is counted, shown or let go, and logged.
    PtyPair pty;
    PortSession session(onPseudoTerminal(pty));
    QSignalSpy lost(&session, &PortSession::lost);
    QVERIFY(openSession(session));
    QTemporaryDir dir;
    auto log = std::make_shared<SharedTrafficLog>();
    QString error;
    QVERIFY(log->open(dir.filePath(QStringLiteral("rx.log")), &error));
    session.setReceiveLog([log](const QString &text) { log->write(TrafficDirection::Received, text); });
    qsizetype received = 0, notices = 0;
    bool taking = false;
    QString newest;
    connect(&session, &PortSession::received, this, [&] {
        ++notices;
        const ReceivedBatch batch = taking ? session.takeReceived() : ReceivedBatch();
        received += batch.size();
        newest = batch.pieces.isEmpty() ? newest : batch.pieces.last().text;
    });
    std::atomic<bool> writing{true};
    qsizetype written = 0;
    fcntl(pty.masterFd(), F_SETFL, fcntl(pty.masterFd(), F_GETFL) | O_NONBLOCK); // a lost port stops nothing here
    std::thread writer([&] {
        while (writing)
            written += std::max<ssize_t>(0, ::write(pty.masterFd(), "flooded\n", 8));
        while (::write(pty.masterFd(), "END\n", 4) != 4)
            QThread::msleep(1);
        written += 4;
    });
    // A caller too busy to take what it is told of for a second is told once.
    for (int i = 0; i < 100; ++i) {
        session.poll();
        QThread::msleep(10);
    }
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    QCOMPARE(notices, 1);
    received = session.takeReceived().size();
    QVERIFY(received > ReceiveKeptLimit);

    taking = true;
    QTimer poll;
    connect(&poll, &QTimer::timeout, &session, &PortSession::poll);
    poll.start(5);
    QTest::qWait(500);
    writing = false;
    writer.join();
    qunsetenv("VOXCEL_COM1");
    QVERIFY2(lost.isEmpty(), qPrintable(lost.isEmpty() ? QString() : lost.first().first().toString()));
    QTRY_COMPARE(received, written);
    QVERIFY2(newest.endsWith(QStringLiteral("END\n")), qPrintable(newest.right(40)));
    QCOMPARE(loggedCharacters(QFile(dir.filePath(QStringLiteral("rx.log")))), written);
}

void TestPortSession::unpluggedDeviceComesBackUnderItsLink()
{
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("ttyPIC"));
    auto pty = std::make_unique<PtyPair>();
    QVERIFY(QFile::link(pty->slavePath(), link));
    qputenv("VOXCEL_COM1", QFile::encodeName(link));
    PortSession session([] { return std::make_unique<QtSerialPort>(); });
    QSignalSpy lost(&session, &PortSession::lost);
    QSignalSpy reconnected(&session, &PortSession::reconnected);
    QSignalSpy received(&session, &PortSession::received);
    QVERIFY(openSession(session));
    QTimer poll;
    connect(&poll, &QTimer::timeout, &session, &PortSession::poll);
    poll.start(50);

    pty.reset(); // unplugged: the device and its link go
    QFile::remove(link);
    QVERIFY(arrived(lost));
    QTest::qWait(600);
    QVERIFY(reconnected.isEmpty());

    pty = std::make_unique<PtyPair>(); // plugged in again, under the same link
    QVERIFY(QFile::link(pty->slavePath(), link));
    QVERIFY(arrived(reconnected));
    QCOMPARE(reconnected.first().first().toString(), link);
    pty->write("OK");
    QTRY_COMPARE(received.size(), 1);
    QCOMPARE(session.takeReceived().pieces.first().text, QStringLiteral("OK"));
    qunsetenv("VOXCEL_COM1");
}

VOXCEL_TEST_GUILESS_MAIN(TestPortSession)
#include "test_port_session.moc"
