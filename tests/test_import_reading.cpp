#include "bench/picture_bombs.h"
#include "canvas/picture_file.h"
#include "import/picture_import.h"
#include "support/import_pictures.h"
#include "support/test_main.h"

#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A 4 x 2 GIF of two frames in black and white: the first with its top-left
// quarter black, the second all black. LZW codes of 3 bits, a clear code
// before every two pixels.
const char TwoFrameGif[] = "GIF89a\x04\x00\x02\x00\x80\x00\x00"
                           "\x00\x00\x00\xFF\xFF\xFF"
                           "\x21\xF9\x04\x04\x0A\x00\x00\x00"
                           "\x2C\x00\x00\x00\x00\x04\x00\x02\x00\x00"
                           "\x02\x05\x04\x98\x30\x61\x52\x00"
                           "\x21\xF9\x04\x04\x0A\x00\x00\x00"
                           "\x2C\x00\x00\x00\x00\x04\x00\x02\x00\x00"
                           "\x02\x05\x04\x08\x10\x20\x50\x00"
                           "\x3B";

// An EXIF segment saying "turn a quarter clockwise to see it upright".
const char ExifTurnedQuarter[] = "\xFF\xE1\x00\x22"
                                 "Exif\x00\x00"
                                 "MM\x00\x2A\x00\x00\x00\x08"
                                 "\x00\x01"
                                 "\x01\x12\x00\x03\x00\x00\x00\x01\x00\x06\x00\x00"
                                 "\x00\x00\x00\x00";

} // namespace

class TestImportReading : public QObject
{
    Q_OBJECT
private slots:
    void readsEveryFormat_data();
    void readsEveryFormat();
    void transparencyCountsAsWhite();
    void badFilesGiveTheNameAndReason_data();
    void badFilesGiveTheNameAndReason();
    void largeJpegDecodedReducedMatchesTheWholePicture_data();
    void largeJpegDecodedReducedMatchesTheWholePicture();
};

void TestImportReading::readsEveryFormat_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<ImportFit>("fit");
    QTest::addColumn<int>("tolerance"); // dots that may differ in lossy formats
    QTest::newRow("png") << "png" << ImportFit::Stretch << 0;
    QTest::newRow("grey png") << "grey png" << ImportFit::Stretch << 0;
    QTest::newRow("bmp") << "bmp" << ImportFit::Stretch << 0;
    QTest::newRow("jpeg") << "jpeg" << ImportFit::Stretch << 8;
    QTest::newRow("tiff") << "tiff" << ImportFit::Stretch << 0;
    QTest::newRow("webp") << "webp" << ImportFit::Stretch << 8;
    QTest::newRow("gif: the first frame") << "gif" << ImportFit::Stretch << 0;
    QTest::newRow("svg") << "svg" << ImportFit::Stretch << 0;
    QTest::newRow("svg at its own size") << "svg" << ImportFit::OriginalSize << 0;
    QTest::newRow("svg with its parts inside") << "inner svg" << ImportFit::Stretch << 0;
}

void TestImportReading::readsEveryFormat()
{
    QFETCH(QString, format);
    QFETCH(ImportFit, fit);
    QFETCH(int, tolerance);
    const QByteArray suffix = format.section(' ', -1).toLatin1();
    QVERIFY2(QImageReader::supportedImageFormats().contains(suffix),
             "image format plugin missing: install libqt6svg6 and qt6-image-formats-plugins");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("picture.") + suffix);
    const QImage quarter = quarterPicture({256, 128});
    if (format == QLatin1String("gif"))
        QVERIFY(writeFile(path, QByteArray(TwoFrameGif, sizeof TwoFrameGif - 1)));
    else if (format == QLatin1String("svg"))
        QVERIFY(writeFile(path, "<svg xmlns='http://www.w3.org/2000/svg' width='256' height='128'>"
                                "<rect width='128' height='64' fill='#000'/></svg>"));
    else if (format == QLatin1String("inner svg")) // a part used by #id, a fill by url(#id)
        QVERIFY(writeFile(path, "<svg xmlns='http://www.w3.org/2000/svg' width='256' height='128'>"
                                "<defs><rect id='q' width='128' height='64'/><linearGradient id='g'>"
                                "<stop offset='0' stop-color='#000'/></linearGradient></defs>"
                                "<use href='#q' style='fill:url(#g)'/></svg>"));
    else if (format == QLatin1String("grey png"))
        QVERIFY(quarter.convertToFormat(QImage::Format_Grayscale8).save(path));
    else
        QVERIFY(quarter.save(path, suffix, 100));

    // Stretched, or at its own size the centre: either way the quarter is (0, 0, 64, 32).
    QString error;
    const std::optional<QImage> dots = importPicture(path, options(fit), Full, &error);
    QVERIFY2(dots, qPrintable(error));
    QVERIFY2(mismatches(*dots, QRect(0, 0, 64, 32)) <= tolerance, qPrintable(format));
}

void TestImportReading::transparencyCountsAsWhite()
{
    const std::pair<QRgb, int> colourAndLevel[] = {{qRgba(0, 0, 0, 0), 255},
                                                   {qRgba(255, 0, 0, 0), 255},
                                                   {qRgba(0, 0, 0, 128), 127},
                                                   {qRgba(0, 0, 0, 255), 0},
                                                   {qRgba(255, 0, 0, 255), 76}};
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("clear.png"));
    for (const auto &[colour, level] : colourAndLevel) {
        QImage picture(8, 8, QImage::Format_ARGB32);
        picture.fill(colour);
        QVERIFY(picture.save(path));
        QString error;
        const std::optional<ImportSource> source = readImportSource(path, Full, &error);
        QVERIFY2(source, qPrintable(error));
        QCOMPARE(int(source->grey.constScanLine(3)[3]), level);
        QCOMPARE(int(source->window.constScanLine(32)[64]), level); // the centre
        QCOMPARE(int(source->window.constScanLine(0)[0]), 255);     // beyond the picture
        QCOMPARE(source->opacity.isNull() ? 255 : int(source->opacity.constScanLine(3)[3]), qAlpha(colour));
    }
}

void TestImportReading::badFilesGiveTheNameAndReason_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content"); // none: nothing is written
    QTest::addColumn<QString>("reason");
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    quarterPicture({256, 128}).save(&buffer, "png");
    QTest::newRow("missing") << "missing.png" << QByteArray() << "no such file";
    QTest::newRow("folder") << "folder.png" << QByteArray() << "folder";
    QTest::newRow("empty") << "empty.png" << QByteArray("") << "empty";
    QTest::newRow("text") << "notes.png" << QByteArray("just some words\n") << "not a picture";
    QTest::newRow("truncated") << "cut.png" << png.left(png.size() / 2) << "damaged";
    QTest::newRow("header claims 50000 x 50000") << "bomb.png" << bombs::pngClaiming(50000, 50000) << "50000 x 50000";
    QTest::newRow("header claims 20000 x 4000") << "wide.png" << bombs::pngClaiming(20000, 4000) << "20000 x 4000";
    // The decoders would fill in what is missing and report success, or only warn.
    QByteArray jpeg;
    QBuffer jpegBuffer(&jpeg);
    jpegBuffer.open(QIODevice::WriteOnly);
    quarterPicture({256, 128}).save(&jpegBuffer, "jpeg");
    QByteArray bmp;
    QBuffer bmpBuffer(&bmp);
    bmpBuffer.open(QIODevice::WriteOnly);
    quarterPicture({256, 128}).save(&bmpBuffer, "bmp");
    QTest::newRow("JPEG cut off") << "cut.jpg" << jpeg.chopped(40) << "cut off";
    QTest::newRow("BMP cut off") << "cut.bmp" << bmp.left(bmp.size() / 2) << "cut off";
    QTest::newRow("GIF cut off") << "cut.gif" << QByteArray(TwoFrameGif, sizeof TwoFrameGif - 3) << "cut off";
    // Small files that declare huge pictures, in every format read here.
    for (const PictureBomb &bomb : pictureBombs())
        if (!bomb.refusal.isEmpty())
            QTest::newRow(qPrintable(bomb.name)) << bomb.name << bomb.bytes << bomb.refusal;
    // Decoded reduced it would fit, but the decoder keeps every coefficient.
    QTest::newRow("progressive JPEG decoded reduced")
        << "reduced.jpg" << bombs::jpegClaiming(20000, true) << "20000 x 20000 pixels in progressive JPEG";
    // A drawing draws only what it holds: it fetches no file, device or address.
    const QByteArray svg = "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' "
                           "width='64' height='32'>";
    QTest::newRow("svg image of a local file")
        << "local.svg" << svg + "<image href='/etc/hostname' width='9' height='9'/></svg>"
        << "/etc/hostname";
    QTest::newRow("svgz image of a local file")
        << "local.svgz" << bombs::gzipped(svg + "<image href='/etc/hostname' width='9' height='9'/></svg>")
        << "/etc/hostname";
    QTest::newRow("svg image by xlink, relative")
        << "relative.svg" << svg + "<image xlink:href='pic.png' width='9' height='9'/></svg>"
        << "pic.png";
    QTest::newRow("svg style url") << "style.svg"
                                   << svg + "<rect style='fill:url(/dev/stdin)' width='9' height='9'/></svg>"
                                   << "/dev/stdin";
}

void TestImportReading::badFilesGiveTheNameAndReason()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    if (name.startsWith(QLatin1String("folder")))
        QVERIFY(QDir(dir.path()).mkdir(name));
    else if (!content.isNull())
        QVERIFY(writeFile(path, content));
    for (const QSize target : {Full, Half}) {
        QString error;
        QVERIFY(!importPicture(path, ImportOptions(), target, &error));
        QVERIFY2(error.startsWith(QStringLiteral("Cannot read %1: ").arg(path)) && error.contains(reason),
                 qPrintable(error));
    }
    QVERIFY(!readPicture(path)); // nor does Load take it
}

void TestImportReading::largeJpegDecodedReducedMatchesTheWholePicture_data()
{
    QTest::addColumn<bool>("turned");
    QTest::addColumn<int>("divisor"); // keeping at least 4 pixels per dot across and down
    QTest::newRow("upright") << false << 4;
    QTest::newRow("tagged as turned a quarter") << true << 2;
}

void TestImportReading::largeJpegDecodedReducedMatchesTheWholePicture()
{
    QFETCH(bool, turned);
    QFETCH(int, divisor);
    // Fine stripes in the centre: Original size must get them dot for dot.
    QImage picture = quarterPicture({2048, 1024});
    for (int x = 960; x < 1088; x += 8)
        QPainter(&picture).fillRect(x, 512, 4, 32, Qt::black);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::WriteOnly) && picture.save(&buffer, "jpeg", 95));
    if (turned)
        bytes.insert(2, QByteArray(ExifTurnedQuarter, sizeof ExifTurnedQuarter - 1)); // after start of image
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("large.jpg"));
    QVERIFY(writeFile(path, bytes));

    QString error;
    const std::optional<ImportSource> source = readImportSource(path, Full, &error);
    QVERIFY2(source, qPrintable(error));
    QCOMPARE(source->size, turned ? QSize(1024, 2048) : QSize(2048, 1024));
    QCOMPARE(source->grey.size(), source->size / divisor);
    QVERIFY(source->window.isNull()); // read when Original size asks

    // As from the whole picture, decoded in full and turned upright.
    QImageReader whole(path);
    whole.setAutoTransform(true);
    const QImage upright = whole.read();
    for (int fit = 0; fit < 4; ++fit) {
        const ImportOptions o = options(ImportFit(fit), ImportDither::Ordered, 128);
        const QImage wanted = dotsOf(upright, Full, o);
        const std::optional<QImage> dots = importPicture(path, o, Full, &error);
        QVERIFY(dots);
        int differ = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 128; ++x)
                differ += isDot(*dots, x, y) != isDot(wanted, x, y) ? 1 : 0;
        QVERIFY2(differ <= 16, qPrintable(QStringLiteral("fit %1: %2 dots differ").arg(fit).arg(differ)));
        if (ImportFit(fit) == ImportFit::OriginalSize && !turned)
            for (int x = 0; x < 128; ++x)
                QCOMPARE(isDot(*dots, x, 40), x % 8 < 4);
    }
}

VOXCEL_TEST_MAIN(TestImportReading)
#include "test_import_reading.moc"
