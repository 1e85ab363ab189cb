// voxcel-convert --from-text: converted text back into the picture.
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct CliResult
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

CliResult runCli(const QStringList &arguments, const QString &workingDir, const QByteArray &input = {})
{
    QProcess process;
    process.setWorkingDirectory(workingDir);
    process.start(QStringLiteral(VOXCEL_CONVERT_BIN), arguments);
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(-1);
    CliResult result;
    if (process.exitStatus() == QProcess::NormalExit)
        result.exitCode = process.exitCode();
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

// Black, white and nearly black (which the canvas takes for clear) dots,
// and a part beyond the canvas that is cut off.
QImage testPicture()
{
    QImage picture(140, 70, QImage::Format_RGB32);
    quint32 seed = 777;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            seed = seed * 1103515245u + 12345u;
            const quint32 roll = (seed >> 16) % 5;
            picture.setPixel(x, y, roll < 2 ? qRgb(0, 0, 0) : roll == 2 ? qRgb(0, 1, 0) : qRgb(255, 255, 255));
        }
    }
    return picture;
}

} // namespace

class CliFromTextTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void pictureComesBack_data();
    void pictureComesBack();
    void failuresWriteNothing_data();
    void failuresWriteNothing();

private:
    QTemporaryDir *dir = nullptr;
};

void CliFromTextTest::init()
{
    dir = new QTemporaryDir;
    QVERIFY(dir->isValid());
    QVERIFY(testPicture().save(dir->filePath("logo.bmp"), "BMP"));
    QFile text(dir->filePath("short.txt"));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write(QStringList(1000, QStringLiteral("$00")).join(',').toLatin1());
}

void CliFromTextTest::cleanup()
{
    delete dir;
}

void CliFromTextTest::pictureComesBack_data()
{
    QTest::addColumn<QStringList>("settings");
    QTest::addColumn<bool>("fromStdin");

    QTest::newRow("start-up settings, saved file") << QStringList() << false;
    QTest::newRow("horizontal, db 0x end")
        << QStringList{"--order", "horizontal", "--header", "db ",         "--footer",
                       " END",    "--format",   "0x",       "--delimiter", ", "}
        << false;
    QTest::newRow("plain hex on standard input") << QStringList{"--format", "", "--delimiter", ""} << true;
}

void CliFromTextTest::pictureComesBack()
{
    QFETCH(QStringList, settings);
    QFETCH(bool, fromStdin);

    QCOMPARE(runCli(QStringList(settings) << "-o"
                                          << "logo.inc"
                                          << "logo.bmp",
                    dir->path())
                 .exitCode,
             0);
    QFile saved(dir->filePath("logo.inc"));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QByteArray text = saved.readAll();

    const QString source = fromStdin ? QStringLiteral("-") : QStringLiteral("logo.inc");
    const CliResult result = runCli(QStringList(settings) << "--from-text" << source << "-o"
                                                          << "back.bmp",
                                    dir->path(), fromStdin ? text : QByteArray());
    QCOMPARE(result.err, QByteArray());
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.out, QByteArray());

    const QImage original = testPicture();
    const QImage back(dir->filePath("back.bmp"));
    QCOMPARE(back.size(), QSize(128, 64));
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 128; ++x) {
            const QRgb expected = original.pixel(x, y) == qRgb(0, 0, 0) ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
            QCOMPARE(back.pixel(x, y), expected);
        }
    }
}

void CliFromTextTest::failuresWriteNothing_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");

    const QString needs = QStringLiteral("; a picture needs 1024, or 512 for 128 x 32");
    QTest::newRow("1000 bytes") << QStringList{"--from-text", "short.txt", "-o", "back.bmp"} << 1
                                << "short.txt: Found 1000 bytes" + needs;
    QTest::newRow("nothing on standard input")
        << QStringList{"--from-text", "-", "-o", "back.bmp"} << 1 << "standard input: Found no bytes" + needs;
    QTest::newRow("missing text") << QStringList{"--from-text", "gone.txt", "-o", "back.bmp"} << 1
                                  << "gone.txt: no such file";
    QTest::newRow("picture as text") << QStringList{"--from-text", "logo.bmp", "-o", "back.bmp"} << 1
                                     << "logo.bmp: Found";
    QTest::newRow("no -o") << QStringList{"--from-text", "short.txt"} << 2 << "--from-text needs -o picture.bmp";
    QTest::newRow("with a picture") << QStringList{"--from-text", "short.txt", "-o", "back.bmp", "logo.bmp"} << 2
                                    << "--from-text reads a text, not pictures: logo.bmp";
    QTest::newRow("with --reformat") << QStringList{"--reformat", "--from-text", "short.txt", "-o", "back.bmp"} << 2
                                     << "--reformat does not go with --from-text";
    QTest::newRow("-o over the text") << QStringList{"--from-text", "short.txt", "-o", "./short.txt"} << 2
                                      << "-o ./short.txt would overwrite the text";
}

void CliFromTextTest::failuresWriteNothing()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    const QStringList before = QDir(dir->path()).entryList(QDir::Files);

    const CliResult result = runCli(arguments, dir->path());
    QCOMPARE(result.exitCode, exitCode);
    QCOMPARE(result.out, QByteArray());
    QVERIFY2(result.err.startsWith("voxcel-convert: " + message.toLatin1()), result.err.constData());
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files), before);
}

QTEST_MAIN(CliFromTextTest)
#include "cli_from_text_test.moc"
