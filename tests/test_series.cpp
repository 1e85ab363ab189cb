// A series of pictures: reading animations, files and folders through the
// import, the EEPROM addresses of its frames, and its time on the line
// with the holds between frames and rounds.
#include "canvas/series_playback.h"
#include "import/picture_series.h"
#include "serial/series_plan.h"
#include "support/fake_port.h"
#include "support/gif_writer.h"
#include "support/test_main.h"

#include <QTemporaryDir>
#include <QtTest>

class TestSeries : public QObject
{
    Q_OBJECT
private slots:
    void eepromAddresses_data();
    void eepromAddresses();
    void loadsAnimationFilesAndFolders();
    void seriesTime();
    void playback_data();
    void playback();
    void commandLine_data();
    void commandLine();
};

void TestSeries::eepromAddresses_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("frames");
    QTest::addColumn<bool>("halfHeight");
    QTest::addColumn<QList<int>>("addresses"); // empty: refused

    QTest::newRow("128x64 from 0") << "0" << 3 << false << QList<int>{0, 1024, 2048};
    QTest::newRow("128x32 from 1024") << "1024" << 3 << true << QList<int>{1024, 1536, 2048};
    QTest::newRow("64 fill the part") << "0" << 64 << false << QList<int>{0, 1024, 64512};
    QTest::newRow("the last byte is 65535") << "64512" << 1 << false << QList<int>{64512};
    QTest::newRow("65 would pass 65535") << "0" << 65 << false << QList<int>();
    QTest::newRow("one byte too far") << "64513" << 1 << false << QList<int>();
    QTest::newRow("128x32: 128 fit") << "0" << 128 << true << QList<int>{0, 512, 65024};
    QTest::newRow("rounded ties to even") << "1.5" << 2 << true << QList<int>{2, 514};
    QTest::newRow("no number") << "abc" << 1 << false << QList<int>();
}

void TestSeries::eepromAddresses()
{
    QFETCH(QString, start);
    QFETCH(int, frames);
    QFETCH(bool, halfHeight);
    QFETCH(QList<int>, addresses);

    QString error;
    const auto planned = planEepromAddresses(start, frames, seriesPictureBytes(true, halfHeight), &error);
    QCOMPARE(planned.has_value(), !addresses.isEmpty());
    if (!planned) {
        QVERIFY(!error.isEmpty());
        return;
    }
    QCOMPARE(int(planned->size()), frames);
    QCOMPARE(planned->front(), addresses.first());
    QCOMPARE(planned->back(), addresses.last());
    if (frames > 1)
        QCOMPARE((*planned)[1], addresses[1]);
}

void TestSeries::loadsAnimationFilesAndFolders()
{
    QTemporaryDir dir;
    QList<QImage> frames;
    for (int k = 0; k < 3; ++k) {
        QImage frame(64, 32, QImage::Format_Grayscale8);
        frame.fill(k == 1 ? 0 : 255);
        frames << frame;
    }
    QVERIFY(writeGreyGif(dir.filePath(QStringLiteral("run.gif")), frames, {100, 0, 300}));
    QVERIFY(QDir().mkdir(dir.filePath(QStringLiteral("folder"))));
    for (const char *name : {"f10.png", "f2.png", "f1.bmp"})
        QVERIFY(frames[0].save(dir.filePath(QStringLiteral("folder/") + QLatin1String(name))));
    QFile notes(dir.filePath(QStringLiteral("folder/notes.txt")));
    QVERIFY(notes.open(QIODevice::WriteOnly) && notes.write("not a picture") > 0);
    notes.close();
    QCOMPARE(seriesFolderPictures(dir.filePath(QStringLiteral("folder"))),
             (QStringList{dir.filePath(QStringLiteral("folder/f1.bmp")), dir.filePath(QStringLiteral("folder/f2.png")),
                          dir.filePath(QStringLiteral("folder/f10.png"))}));

    ImportOptions inverted;
    inverted.invert = true;
    QString error;
    const auto series = loadSeries({dir.filePath(QStringLiteral("run.gif")), dir.filePath(QStringLiteral("folder"))},
                                   inverted, importTargetSize(false), &error);
    QVERIFY2(series, qPrintable(error));
    QCOMPARE(int(series->size()), 6);
    QCOMPARE((*series)[0].delayMs, 100);
    QCOMPARE((*series)[2].delayMs, 300);
    QCOMPARE((*series)[1].source, QStringLiteral("run.gif, frame 2"));
    QCOMPARE((*series)[1].picture, importSeriesFrame(frames[1], inverted, importTargetSize(false)));
    QCOMPARE((*series)[1].picture.pixel(64, 10), qRgb(255, 255, 255)); // black inverted
    QCOMPARE((*series)[0].picture.pixel(64, 10), qRgb(0, 0, 0));

    QVERIFY(!loadSeries({dir.filePath(QStringLiteral("folder/notes.txt")), dir.path()}, inverted,
                        importTargetSize(false), &error));
    QVERIFY(error.contains(QStringLiteral("notes.txt")));
    // Frames are decoded whole: a small file of many large ones stops at the budget.
    QVERIFY(!loadSeries({dir.filePath(QStringLiteral("run.gif"))}, inverted, importTargetSize(false), &error,
                        2 * 64 * 32 + 1));
    QVERIFY2(error.contains(QStringLiteral("first 3 frames")), qPrintable(error));

    // Progress after each frame, in 4 files; a cancel stops before the next frame.
    QList<QPair<int, int>> done; // twelfths done, frames
    SeriesLoadWatch watch;
    watch.progress = [&done](double part, int frames) { done.append({qRound(part * 12), frames}); };
    const QStringList both{dir.filePath(QStringLiteral("run.gif")), dir.filePath(QStringLiteral("folder"))};
    QVERIFY(loadSeries(both, inverted, importTargetSize(false), &error, MaxAnimationPixels, watch));
    QCOMPARE(done, (QList<QPair<int, int>>{{1, 1}, {2, 2}, {3, 3}, {6, 4}, {9, 5}, {12, 6}}));
    done.clear();
    watch.cancelled = [&done] { return done.size() == 2; };
    QVERIFY(!loadSeries(both, inverted, importTargetSize(false), &error, MaxAnimationPixels, watch));
    QCOMPARE(error, SeriesLoadCancelledText);
    QCOMPARE(done.size(), 2);
}

void TestSeries::seriesTime()
{
    using namespace std::chrono;
    // 2 frames of 4 characters, one pause each, sent twice with 100 ms holds.
    const SeriesSendPlan plan{{QStringLiteral("*]ab"), QStringLiteral("*]cd")}, QStringLiteral("]"), 20, 100, 2};
    const LineDuration character = milliseconds(1);
    QCOMPARE(seriesSendTime(plan, character), LineDuration(milliseconds(4 * (4 + 20) + 3 * 100)));
    // In the second round's last frame, 3 characters out: one left.
    QCOMPARE(seriesSendTime(plan, character, 1, 3, 1), LineDuration(milliseconds(1)));
    QCOMPARE(defaultSeriesHoldMs({0, 80}), 80);
    QCOMPARE(defaultSeriesHoldMs({}), 500);

    // A round's last frame is held before the next round begins, as any frame.
    FakePort port;
    port.setOpen(true);
    const SeriesSendPlan twice{{QStringLiteral("ab")}, QStringLiteral("]"), 0, 100, 2};
    const SeriesSendResult sent =
        sendSeriesPaced(twice, port, {[&port](LineTime t) { port.sleepUntil(t); }, [&port] { return port.now(); }});
    QCOMPARE(sent.last.end, PacedSendResult::End::Sent);
    QCOMPARE(port.written(), QByteArray("abab"));
    QVERIFY(port.writes()[2].silence >= milliseconds(100));
}

void TestSeries::playback_data()
{
    // Delays 300, none (the hold, 150), 5 (too short to show) and 100: a round of 570 ms.
    QTest::addColumn<qint64>("elapsed");
    QTest::addColumn<int>("frame");
    QTest::addColumn<qint64>("untilNext");
    QTest::newRow("start") << qint64(0) << 0 << qint64(300);
    QTest::newRow("not before its time") << qint64(299) << 0 << qint64(1);
    QTest::newRow("the hold") << qint64(300) << 1 << qint64(150);
    QTest::newRow("shortest") << qint64(450) << 2 << qint64(SeriesPlayback::ShortestMs);
    QTest::newRow("last") << qint64(569) << 3 << qint64(1);
    QTest::newRow("second round") << qint64(570) << 0 << qint64(300);
    QTest::newRow("late timer") << qint64(3 * 570 + 310) << 1 << qint64(140);
}

void TestSeries::playback()
{
    QFETCH(qint64, elapsed);
    QFETCH(int, frame);
    QFETCH(qint64, untilNext);
    const SeriesPlayback playback({300, 0, 5, 100}, 150);
    QCOMPARE(playback.frameAt(elapsed), frame);
    QCOMPARE(playback.untilNext(elapsed), untilNext);
    QCOMPARE(playback.shownMs(1), 150);
}

void TestSeries::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said"); // the start of standard output, or of the error

    QTest::newRow("frames one after another") << QStringList{"--reformat"} << 0 << "*02000000A]";
    QTest::newRow("128x32 EEPROM banks") << QStringList{"--reformat", "--eeprom", "--rows", "32"} << 0 << "*12000000A]";
    QTest::newRow("a file a frame") << QStringList{"-o", "run%d.inc", "--save-picture", "run%d.bmp"} << 0 << "";
    QTest::newRow("past the EEPROM's end") << QStringList{"--send", "no-such-device", "--eeprom", "--address", "64512"}
                                           << 1 << "voxcel-convert: 3 pictures of 1024 bytes from address 64512";
    QTest::newRow("a pattern without its number")
        << QStringList{"-o", "run.inc"} << 2 << "voxcel-convert: --output: \"run.inc\" has no %d";
}

void TestSeries::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, said);

    QTemporaryDir dir;
    QImage frame(64, 32, QImage::Format_Grayscale8);
    QList<QImage> frames;
    for (int level : {0, 255, 0}) {
        frame.fill(level);
        frames << frame;
    }
    QVERIFY(writeGreyGif(dir.filePath(QStringLiteral("run.gif")), frames, {100, 100, 100}));
    QProcess convert;
    convert.setWorkingDirectory(dir.path());
    convert.start(QStringLiteral(VOXCEL_CONVERT_BIN), QStringList{"--series", "run.gif"} + arguments);
    QVERIFY(convert.waitForFinished(30000));
    QCOMPARE(convert.exitCode(), exitCode);
    const QString out = QString::fromLatin1(convert.readAllStandardOutput());
    const QString shown = exitCode == 0 ? out : QString::fromLocal8Bit(convert.readAllStandardError());
    QVERIFY2(shown.startsWith(said) || said.isEmpty(), qPrintable(shown));
    if (!said.isEmpty() && exitCode == 0) {
        const QStringList lines = out.split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 4); // three lines, each ended
        const bool half = arguments.contains(QStringLiteral("32"));
        QCOMPARE(lines[1].left(10), half ? QStringLiteral("*12002000A") : QStringLiteral("*02000000A"));
        QCOMPARE(lines[1].count(QLatin1Char(']')), half ? 32 : 64); // 512 or 1024 bytes in pieces of 32 digits
    }
    if (exitCode == 0 && arguments.contains(QStringLiteral("-o"))) {
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("run3.inc"))));
        const QImage saved(dir.filePath(QStringLiteral("run2.bmp")));
        QCOMPARE(saved.convertToFormat(QImage::Format_RGB32),
                 importSeriesFrame(frames[1], ImportOptions(), importTargetSize(false)));
    }
}

VOXCEL_TEST_MAIN(TestSeries)
#include "test_series.moc"
