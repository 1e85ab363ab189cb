// voxcel-convert --from-text: converted text back into the picture.
#include "support/test_main.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class CliFromTextTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void readsBackOrWritesNothing_data();
    void readsBackOrWritesNothing();

private:
    QTemporaryDir dir;
    QImage original{128, 64, QImage::Format_RGB32};
};

const QStringList CustomSettings{"--order", "horizontal", "--header", "db ",         "--footer",
                                 " END",    "--format",   "0x",       "--delimiter", ", "};

// logo.bmp has black, white and nearly black (clear on the canvas) dots;
// logo.inc and custom.inc are its text with start-up and CustomSettings.
void CliFromTextTest::initTestCase()
{
    for (int i = 0; i < 128 * 64; ++i) {
        const int roll = (i * 7919 >> 3) % 5;
        original.setPixel(i % 128, i / 128, roll < 2 ? qRgb(0, 0, 0) : roll == 2 ? qRgb(0, 1, 0) : qRgb(255, 255, 255));
    }
    QVERIFY(original.save(dir.filePath("logo.bmp"), "BMP"));
    QCOMPARE(QProcess::execute(VOXCEL_CONVERT_BIN, {"-o", dir.filePath("logo.inc"), dir.filePath("logo.bmp")}), 0);
    QCOMPARE(QProcess::execute(VOXCEL_CONVERT_BIN, QStringList(CustomSettings) << "-o" << dir.filePath("custom.inc")
                                                                               << dir.filePath("logo.bmp")),
             0);
    QFile shortText(dir.filePath("short.txt"));
    QVERIFY(shortText.open(QIODevice::WriteOnly) && shortText.write(QStringList(1000, "$00").join(',').toLatin1()));
}

void CliFromTextTest::readsBackOrWritesNothing_data()
{
    QTest::addColumn<QStringList>("arguments"); // the picture goes to back.bmp
    QTest::addColumn<QString>("stdinFile");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message"); // how standard error begins; nothing is written then

    const QStringList toBack{"-o", "back.bmp"};
    QTest::newRow("start-up settings") << QStringList{"--from-text", "logo.inc"} + toBack << "" << 0 << "";
    QTest::newRow("custom settings, standard input")
        << CustomSettings + QStringList{"--from-text", "-"} + toBack << "custom.inc" << 0 << "";
    QTest::newRow("1000 bytes") << QStringList{"--from-text", "-"} + toBack << "short.txt" << 1
                                << "standard input: Found 1000 bytes; a picture needs 1024, or 512 for 128 x 32";
    QTest::newRow("missing text") << QStringList{"--from-text", "gone.txt"} + toBack << "" << 1
                                  << "gone.txt: no such file";
    QTest::newRow("no -o") << QStringList{"--from-text", "logo.inc"} << "" << 2 << "--from-text needs -o picture.bmp";
    QTest::newRow("with --reformat") << QStringList{"--reformat", "--from-text", "logo.inc"} + toBack << "" << 2
                                     << "--reformat does not go with --from-text";
}

void CliFromTextTest::readsBackOrWritesNothing()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, stdinFile);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    QFile::remove(dir.filePath("back.bmp"));
    QProcess process;
    process.setWorkingDirectory(dir.path());
    if (!stdinFile.isEmpty())
        process.setStandardInputFile(dir.filePath(stdinFile));
    process.start(VOXCEL_CONVERT_BIN, arguments);
    QVERIFY(process.waitForFinished(-1));
    QCOMPARE(process.readAllStandardOutput(), QByteArray()); // a picture is never printed
    const QByteArray err = process.readAllStandardError();
    QVERIFY2(message.isEmpty() ? err.isEmpty() : err.startsWith("voxcel-convert: " + message.toLatin1()),
             err.constData());
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), exitCode);
    QCOMPARE(QFile::exists(dir.filePath("back.bmp")), exitCode == 0);
    if (exitCode != 0)
        return;

    const QImage picture(dir.filePath("back.bmp"));
    QCOMPARE(picture.size(), QSize(128, 64));
    for (int i = 0; i < 128 * 64; ++i) {
        const bool black = original.pixel(i % 128, i / 128) == qRgb(0, 0, 0);
        QCOMPARE(picture.pixel(i % 128, i / 128), black ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    }
}

VOXCEL_TEST_MAIN(CliFromTextTest)
#include "cli_from_text_test.moc"
