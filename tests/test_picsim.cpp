// The PIC simulator's logic: its options, its reading of the prefix and
// pieces, the silence it finds on a modelled wire and the display it
// rebuilds.

#include "picsim/lcd_picture.h"
#include "picsim/pic_line.h"
#include "picsim/pic_receiver.h"
#include "picsim/picsim_options.h"
#include "picsim/picture_report.h"
#include "support/pic_streams.h"
#include "support/test_main.h"

#include <QtTest>
#include <sys/stat.h>

class TestPicsim : public QObject
{
    Q_OBJECT

private slots:
    void options_data();
    void options();
    void prefixes_data();
    void prefixes();
    void wholePictureForEveryBufferSize_data();
    void wholePictureForEveryBufferSize();
    void longerWaitText();
    void silenceOnTheModelledWire_data();
    void silenceOnTheModelledWire();
    void burstAfterAStall_data();
    void burstAfterAStall();
    void faultsAreReported();
    void nothingTakenAfterTheLastPicture();
    void displayLayout();
    void eepromPictureFollowsTheOneBefore_data();
    void eepromPictureFollowsTheOneBefore();
    void hostileFloodsStayBounded();

private:
    QTemporaryDir dir_;
};

void TestPicsim::options_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("error"); // the start of it; none for options taken

    const QString missing = QDir::temp().filePath(QStringLiteral("voxcel-no-such-folder/lcd%d.png"));
    QTest::newRow("all in range") << QStringList{"--timeout=1e6",   "--expect-delay=60000", "--allowance=0",
                                                 "--count=1000000", "--baud=4000000",       "--out=lcd%d.bmp"}
                                  << QString();
    QTest::newRow("timeout overflowing the clock") << QStringList{"--timeout=9.3e9"} << "--timeout takes seconds";
    QTest::newRow("timeout not a number") << QStringList{"--timeout=nan"} << "--timeout takes seconds";
    QTest::newRow("delay for ever") << QStringList{"--expect-delay=inf"} << "--expect-delay takes milliseconds";
    QTest::newRow("allowance huge") << QStringList{"--allowance=1e300"} << "--allowance takes milliseconds";
    QTest::newRow("count beyond int") << QStringList{"--count=99999999999"} << "--count takes a whole number";
    QTest::newRow("baud below any line") << QStringList{"--baud=1"} << "--baud takes a whole number";
    QTest::newRow("out in a missing folder") << QStringList{"--out=" + missing} << "--out " + missing + ": the folder";
    QTest::newRow("out of no picture kind") << QStringList{"--out=lcd.txt"} << "--out lcd.txt: the name does not end";
    QTest::newRow("unknown option") << QStringList{"--counts=1"} << "Unknown option";
    QTest::newRow("rows of no display") << QStringList{"--rows=48"} << "--rows takes 64 or 32";

    const QString fifo = dir_.filePath(QStringLiteral("fifo.png"));
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    QTest::newRow("out a FIFO") << QStringList{"--out=" + fifo} << "--out " + fifo + ": " + fifo + " is not a regular";
    QTest::newRow("out the link") << QStringList{"--out=tty.png", "--link=./tty.png"}
                                  << "--out tty.png and --link ./tty.png lead to one file";
}

void TestPicsim::options()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, error);
    QString said;
    const auto options = readPicsimOptions(QStringList{QStringLiteral("voxcel-picsim")} + arguments, &said);
    QVERIFY2(options.has_value() == error.isEmpty(), qPrintable(said));
    QVERIFY2(said.startsWith(error), qPrintable(said));
}

void TestPicsim::prefixes_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("target");
    QTest::addColumn<int>("buffer");
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("delay");

    QTest::newRow("start-up") << QByteArray("*02000000A") << true << 0 << 32 << 0 << 10;
    QTest::newRow("EEPROM, buffer 16, 1024, 5 ms") << QByteArray("*110040005") << true << 1 << 16 << 0x400 << 5;
    QTest::newRow("three-character delay") << QByteArray("*080270F064") << true << 0 << 128 << 0x270F << 100;
    QTest::newRow("no start mark") << QByteArray("02000000A") << false << 0 << 0 << 0 << 0;
    QTest::newRow("target 2") << QByteArray("*22000000A") << false << 0 << 0 << 0 << 0;
    QTest::newRow("buffer 00") << QByteArray("*00000000A") << false << 0 << 0 << 0 << 0;
    QTest::newRow("address not hex") << QByteArray("*0200G000A") << false << 0 << 0 << 0 << 0;
    QTest::newRow("delay without its 0") << QByteArray("*0200000AA") << false << 0 << 0 << 0 << 0;
    QTest::newRow("too short") << QByteArray("*02000000") << false << 0 << 0 << 0 << 0;
    QTest::newRow("too long") << QByteArray("*02000000123") << false << 0 << 0 << 0 << 0;
    // Only what the program itself writes.
    QTest::newRow("lower-case hex") << QByteArray("*0200000a0A") << false << 0 << 0 << 0 << 0;
    QTest::newRow("buffer not offered") << QByteArray("*03000000A") << false << 0 << 0 << 0 << 0;
    QTest::newRow("delay not offered") << QByteArray("*02000000B") << false << 0 << 0 << 0 << 0;
    QTest::newRow("delay with a leading zero") << QByteArray("*020000000A") << false << 0 << 0 << 0 << 0;
}

void TestPicsim::prefixes()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, valid);
    QString error;
    const auto prefix = parsePicPrefix(text, &error);
    QCOMPARE(prefix.has_value(), valid);
    if (!prefix) {
        QVERIFY(!error.isEmpty());
        return;
    }
    QTEST(prefix->target, "target");
    QTEST(prefix->bufferSize, "buffer");
    QTEST(prefix->startAddress, "address");
    QTEST(prefix->picDelay, "delay");
}

void TestPicsim::wholePictureForEveryBufferSize_data()
{
    QTest::addColumn<int>("pieceLength");
    QTest::addColumn<QByteArray>("prefix");
    for (const int n : {2, 4, 8, 16, 32, 64, 128}) {
        const QByteArray prefix = "*0" + QByteArray::number(n, 16).rightJustified(2, '0').toUpper() + "00000A";
        QTest::addRow("buffer %d", n) << n << prefix;
    }
}

void TestPicsim::wholePictureForEveryBufferSize()
{
    QFETCH(int, pieceLength);
    QFETCH(QByteArray, prefix);
    const QByteArray bytes = testBytes();
    const PicReceiver pic = receiveTransmission(transmission(prefix, bytes, pieceLength, "]"));
    QVERIFY2(pic.problems().isEmpty(), qPrintable(pic.problems().join(QLatin1Char('\n'))));
    QVERIFY(pic.complete());
    QVERIFY(pic.done());
    QCOMPARE(pic.displayBytes(), bytes);
    QCOMPARE(pic.piecesReceived(), PicReceiver::DisplayDigits / pieceLength);
    QCOMPARE(static_cast<int>(pic.pauses().size()), PicReceiver::DisplayDigits / pieceLength);
    QCOMPARE(pic.pauses().front().offset, prefix.size());
}

void TestPicsim::longerWaitText()
{
    const QByteArray bytes = testBytes();
    const PicReceiver pic = receiveTransmission(transmission("*1100400014", bytes, 16, "]]"), QStringLiteral("]]"));
    QVERIFY2(pic.problems().isEmpty(), qPrintable(pic.problems().join(QLatin1Char('\n'))));
    QCOMPARE(pic.prefix()->picDelay, 20);
    QCOMPARE(pic.displayBytes(), bytes);
}

void TestPicsim::silenceOnTheModelledWire_data()
{
    QTest::addColumn<double>("characterMs");
    QTest::addColumn<QList<double>>("pauses");
    // With no line time, the silence is the gap between arrivals.
    QTest::newRow("gaps between arrivals") << 0.0 << QList<double>{20.0, 25.5};
    // At 1 ms a character the prefix ends at 10 ms, and the 64 digits read
    // at 51 ms are still on the wire at 76.5 ms: no silence at all.
    QTest::newRow("1 ms a character") << 1.0 << QList<double>{13.0, 0.0};
}

void TestPicsim::silenceOnTheModelledWire()
{
    QFETCH(double, characterMs);
    const QByteArray hex = testBytes().toHex();
    PicLine line(QStringLiteral("]]"), -1);
    const auto feed = [&](const QByteArray &chunk, double ms) {
        line.receive(chunk, LineTime(std::chrono::microseconds(qRound64(ms * 1000))),
                     std::chrono::microseconds(qRound64(characterMs * 1000)));
    };
    feed("*0400000", 0.0);
    feed("0A", 3.0);
    feed("]", 23.0); // the silence the PIC gets comes before the first "]"
    feed("]", 50.0);
    feed(hex.left(64), 51.0);
    feed("]]" + hex.mid(64, 64), 76.5);
    const PicReceiver &pic = line.current()->receiver;
    QList<double> pauses;
    for (const auto &pause : pic.pauses())
        pauses << pause.ms;
    QTEST(pauses, "pauses");
    QCOMPARE(pic.pauses()[0].offset, qsizetype(10));
    QCOMPARE(pic.digitsReceived(), 128);
}

void TestPicsim::burstAfterAStall_data()
{
    // At 1 ms a character, read at `readAtMs` after the previous read at 0,
    // the line then idle: ten digits, then four pieces of 32 behind their
    // wait characters, or a piece alone, read late or on time.
    QTest::addColumn<int>("characters");
    QTest::addColumn<QList<int>>("pausePoints");
    QTest::addColumn<int>("readAtMs");
    QTest::addColumn<QList<double>>("silencesMs"); // before each pause point
    QTest::addColumn<double>("idleAfterMs");
    const QList<int> four{10, 43, 76, 109}; // 109 ms of line time before the last
    QTest::newRow("four pauses covered") << 142 << four << 200 << QList<double>(4, 22.75) << 233.0;
    QTest::newRow("four pauses not covered") << 142 << four << 150 << QList<double>(4, 10.25) << 183.0;
    QTest::newRow("not even the line time") << 142 << four << 100 << QList<double>(4, 0.0) << 142.0;
    QTest::newRow("a piece read late") << 32 << QList<int>() << 100 << QList<double>() << 101.0;
    QTest::newRow("a piece read on time") << 32 << QList<int>() << 5 << QList<double>() << 32.0;
}

void TestPicsim::burstAfterAStall()
{
    QFETCH(int, characters);
    QFETCH(QList<int>, pausePoints);
    QFETCH(int, readAtMs);
    using Ms = std::chrono::duration<double, std::milli>;
    const std::chrono::milliseconds ms(1);
    const auto handOvers =
        readHandOvers(LineTime(), LineTime(readAtMs * ms), characters, {pausePoints.begin(), pausePoints.end()}, ms);
    LineModel wire(ms, LineTime());
    QList<double> silences;
    for (int i = 0; i < characters; ++i) {
        const double silence = Ms(*wire.take(handOvers[std::size_t(i)])).count();
        if (pausePoints.contains(i))
            silences << silence;
    }
    QTEST(silences, "silencesMs");
    QTEST(Ms(wire.idleAt()->time_since_epoch()).count(), "idleAfterMs");
}

void TestPicsim::faultsAreReported()
{
    const QByteArray bytes = testBytes();

    // No start mark: the PIC takes nothing.
    PicReceiver refused = receiveTransmission(transmission("02000000A", bytes, 32, "]"));
    QVERIFY(refused.done());
    QVERIFY(!refused.complete());
    QVERIFY(!refused.prefix());
    QCOMPARE(refused.problems().size(), 1);

    // A piece one digit short: reported, and the rest still lands.
    QByteArray text = transmission("*02000000A", bytes, 32, "]");
    text.remove(10 + 1 + 5, 1);
    PicReceiver shortPiece = receiveTransmission(text);
    QVERIFY(!shortPiece.problems().isEmpty());
    QVERIFY(shortPiece.problems().front().contains(QStringLiteral("31 of 32")));
    QVERIFY(!shortPiece.complete());

    // Data digits in capitals: the program writes lower case.
    text = transmission("*02000000A", bytes, 32, "]");
    text.replace(10, 33, text.mid(10, 33).toUpper());
    QVERIFY(receiveTransmission(text).problems().front().contains(QStringLiteral("lower case")));

    // The transmission stops halfway: the rest of the display stays clear.
    PicReceiver half = receiveTransmission(transmission("*02000000A", bytes, 32, "]").left(10 + 32 * 33));
    QVERIFY(!half.done());
    QCOMPARE(half.digitsReceived(), 1024);
    QCOMPARE(half.displayBytes().left(512), bytes.left(512));
    QCOMPARE(half.displayBytes().mid(512), QByteArray(512, '\0'));
}

void TestPicsim::nothingTakenAfterTheLastPicture()
{
    // Two pictures back to back, where only one is asked for.
    const QByteArray picture = transmission("*02000000A", testBytes(), 32, "]");
    PicLine line(QStringLiteral("]"), -1);
    line.stopAfter(1);
    line.receive(picture + picture, LineTime(), LineDuration::zero());
    const std::vector<PicLine::Picture> ended = line.takeEnded();
    QCOMPARE(ended.size(), std::size_t(1));
    QVERIFY(ended.front().receiver.good());
    QVERIFY(!line.current());
    QCOMPARE(line.ignored(), picture.size());
}

void TestPicsim::displayLayout()
{
    QByteArray bytes(PicReceiver::DisplayBytes, '\0');
    bytes[0] = 0x01;          // column 0, row 0
    bytes[1] = 0x02;          // column 1, row 1
    bytes[128] = 0x80;        // column 0, page 1, row 15
    bytes[1023] = char(0x80); // column 127, row 63
    const QImage picture = lcdPicture(bytes);
    QCOMPARE(picture.size(), QSize(128, 64));
    auto lit = [&](int x, int y) { return (picture.pixel(x, y) & 0xFFFFFF) == 0; };
    QVERIFY(lit(0, 0));
    QVERIFY(lit(1, 1));
    QVERIFY(lit(0, 15));
    QVERIFY(lit(127, 63));
    QVERIFY(!lit(1, 0));
    QVERIFY(!lit(0, 8));
    int litCount = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 128; ++x)
            litCount += lit(x, y);
    QCOMPARE(litCount, 4);
    QCOMPARE(displayBytesOf(picture), bytes);
    QCOMPARE(displayBytesOf(lcdPicture(testBytes())), testBytes());
}

void TestPicsim::eepromPictureFollowsTheOneBefore_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<QByteArray>("secondPrefix");
    QTest::addColumn<QString>("placement"); // of the second picture

    QTest::newRow("128x64, next bank") << 64 << QByteArray("*12008000A")
                                       << "picture 2: EEPROM address 0x0800, 1024 bytes after picture 1";
    QTest::newRow("128x32, next bank") << 32 << QByteArray("*12006000A")
                                       << "picture 2: EEPROM address 0x0600, 512 bytes after picture 1";
    QTest::newRow("a bank left out") << 32 << QByteArray("*12008000A")
                                     << "picture 2: EEPROM address 0x0800: FAILED: expected 0x0600, 512 bytes after "
                                        "picture 1";
}

void TestPicsim::eepromPictureFollowsTheOneBefore()
{
    QFETCH(int, rows);
    QFETCH(QByteArray, secondPrefix);
    QFETCH(QString, placement);

    const int bytes = rows * 16;
    PicLine line(QStringLiteral("]"), -1, PicReceiver::DefaultAllowanceMs, bytes);
    const QByteArray picture = testBytes().left(bytes);
    line.receive(transmission("*12004000A", picture, 32, "]") + transmission(secondPrefix, picture, 32, "]"),
                 LineClock::now(), LineDuration::zero());
    line.endPicture();
    QString log;
    QString out;
    QTextStream logStream(&log);
    QTextStream outStream(&out);
    QTextStream errStream(stderr);
    PictureReport report(logStream, outStream, errStream, std::nullopt);
    report.reportEnded(line, LineSettings());
    QVERIFY2(out.contains(QStringLiteral("picture 2: OK")), qPrintable(out));
    QVERIFY2(out.contains(placement + QLatin1Char('\n')), qPrintable(out));
    QCOMPARE(report.result() == AllGood, !placement.contains(QStringLiteral("FAILED")));
}

// Wait texts by the hundred thousand keep a bounded record; a picture refused at its
// prefix writes no file, nor one that would land on the log.
void TestPicsim::hostileFloodsStayBounded()
{
    PicLine line(QStringLiteral("]"), -1);
    const QByteArray picture = transmission("*02000000A", testBytes(), 32, "]");
    line.receive(picture + picture + QByteArray(1000, '*') + "*02000000A" + QByteArray(100000, ']'), LineClock::now(),
                 LineDuration::zero());
    QCOMPARE(line.current()->receiver.piecesReceived(), 100000);
    QCOMPARE(line.current()->receiver.pauses().size(), PicReceiver::MostPausesKept);
    line.endPicture();
    QString log, err;
    QTextStream logStream(&log), errStream(&err);
    const QString second = dir_.filePath(QStringLiteral("flood2.png"));
    PictureReport report(logStream, logStream, errStream, dir_.filePath(QStringLiteral("flood%d.png")),
                         {{QStringLiteral("--log"), {second}}});
    report.reportEnded(line, LineSettings());
    errStream.flush();
    QCOMPARE(report.taken(), 1003);
    QCOMPARE(QDir(dir_.path()).entryList({QStringLiteral("flood*")}), QStringList({"flood1.png", "flood1003.png"}));
    QVERIFY(err.contains(QStringLiteral("cannot write %1: --out %1 and --log %1 lead to one file").arg(second)));
    QCOMPARE(report.result(), int(Failed));
}

VOXCEL_TEST_MAIN(TestPicsim)
#include "test_picsim.moc"
