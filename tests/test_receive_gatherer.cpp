// What the line's thread keeps for the window: the newest characters, the
// count of the rest, one notice at a time; their text keeps the count in view.
#include "serial/receive_gatherer.h"
#include "support/test_main.h"
#include "terminal/receive_format.h"

#include <QtTest>

class TestReceiveGatherer : public QObject
{
    Q_OBJECT
private slots:
    void keepsTheNewest_data();
    void keepsTheNewest();
    void batchTextFits_data();
    void batchTextFits();
};

void TestReceiveGatherer::keepsTheNewest_data()
{
    QTest::addColumn<QStringList>("arrivals"); // "ms:text"; the bound is 8 characters
    QTest::addColumn<qint64>("dropped");
    QTest::addColumn<QString>("kept");
    QTest::newRow("under the bound") << QStringList{"1:ab", "2:cd"} << qint64(0) << "1:ab|2:cd";
    QTest::newRow("one millisecond is one piece") << QStringList{"1:ab", "1:cd"} << qint64(0) << "1:abcd";
    QTest::newRow("the oldest piece is cut")
        << QStringList{"1:abcd", "2:efgh", "3:ij"} << qint64(2) << "1:cd|2:efgh|3:ij";
    QTest::newRow("whole pieces go") << QStringList{"1:ab", "2:cd", "3:efghijk"} << qint64(3) << "2:d|3:efghijk";
    QTest::newRow("a CR LF pair stays whole") << QStringList{"1:a\r\nbcdefgh"} << qint64(3) << "1:bcdefgh";
    QTest::newRow("one read beyond the bound") << QStringList{"1:ab", "2:0123456789"} << qint64(4) << "2:23456789";
}

void TestReceiveGatherer::keepsTheNewest()
{
    QFETCH(QStringList, arrivals);
    QFETCH(qint64, dropped);
    QFETCH(QString, kept);
    ReceiveGatherer gatherer(8);
    QVERIFY(!gatherer.claimNotice()); // nothing waits
    // A second round after the window took the first: the same again.
    for (int round = 0; round < 2; ++round) {
        for (const QString &arrival : arrivals) {
            gatherer.add(arrival.section(QLatin1Char(':'), 1), arrival.section(QLatin1Char(':'), 0, 0).toLongLong());
            QCOMPARE(gatherer.claimNotice(), arrival == arrivals.first()); // one notice, however many reads
        }
        const ReceivedBatch batch = gatherer.take();
        QStringList pieces;
        for (const ReceivedPiece &piece : batch.pieces)
            pieces << QStringLiteral("%1:%2").arg(piece.msSinceOpen).arg(piece.text);
        QCOMPARE(pieces.join(QLatin1Char('|')), kept);
        QCOMPARE(batch.dropped, dropped);
        QCOMPARE(batch.size(), arrivals.join(QString()).size() - 2 * arrivals.size()); // all counted
        QVERIFY(!gatherer.claimNotice());
        QVERIFY(gatherer.take().isEmpty());
    }
}

void TestReceiveGatherer::batchTextFits_data()
{
    QTest::addColumn<bool>("hex");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("shown");
    QTest::newRow("text fits") << false << 100 << "(5 characters not shown)\nline 1\nline 2\n";
    QTest::newRow("text cut") << false << 30 << "(16 characters not shown)\ne 2\n";
    QTest::newRow("hex cut, offsets go on")
        << true << 56 << "(14 characters not shown)\n0000000E: 69 6E 65 20 32 0D 0A";
}

void TestReceiveGatherer::batchTextFits()
{
    QFETCH(bool, hex);
    QFETCH(int, limit);
    QFETCH(QString, shown);
    ReceiveFormatter formatter;
    formatter.setView({hex, false});
    QCOMPARE(
        formatter.formatBatch({5, {{QStringLiteral("line 1\r\n"), 10}, {QStringLiteral("line 2\r\n"), 20}}}, limit),
        shown);
}

VOXCEL_TEST_GUILESS_MAIN(TestReceiveGatherer)
#include "test_receive_gatherer.moc"
