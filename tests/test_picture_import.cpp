#include "canvas/canvas.h"
#include "canvas/picture_import.h"

#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {

const QSize Full(128, 64);
const QSize Half(128, 32);

QImage flat(QSize size, int level)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(qRgb(level, level, level));
    return image;
}

// White with the top-left quarter (rounded up) black.
QImage quarterPicture(QSize size)
{
    QImage image = flat(size, 255);
    QPainter(&image).fillRect(0, 0, (size.width() + 1) / 2, (size.height() + 1) / 2, Qt::black);
    return image;
}

bool isDot(const QImage &dots, int x, int y)
{
    return dots.pixel(x, y) == qRgb(0, 0, 0);
}

int dotCount(const QImage &dots, const QRect &area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += isDot(dots, x, y) ? 1 : 0;
    return count;
}

// Pixels that are not black inside the rectangle and pure white outside it.
int mismatches(const QImage &dots, const QRect &black)
{
    int count = 0;
    for (int y = 0; y < dots.height(); ++y)
        for (int x = 0; x < dots.width(); ++x)
            count += dots.pixel(x, y) != (black.contains(x, y) ? qRgb(0, 0, 0) : qRgb(255, 255, 255)) ? 1 : 0;
    return count;
}

// The threshold is automatic unless one is given.
ImportOptions options(ImportFit fit, ImportDither dither = ImportDither::None, int threshold = -1)
{
    ImportOptions o;
    o.fit = fit;
    o.dither = dither;
    o.autoThreshold = threshold < 0;
    o.threshold = threshold < 0 ? 128 : threshold;
    return o;
}

QImage dotsOf(const QImage &picture, QSize target, const ImportOptions &o)
{
    PictureImport import(picture, target);
    import.setOptions(o);
    return import.picture();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray pngChunk(const char *type, const QByteArray &data)
{
    const QByteArray body = QByteArray(type) + data;
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : body) {
        crc ^= static_cast<quint8>(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    QByteArray chunk(4, '\0');
    qToBigEndian<quint32>(static_cast<quint32>(data.size()), chunk.data());
    QByteArray tail(4, '\0');
    qToBigEndian<quint32>(~crc, tail.data());
    return chunk + body + tail;
}

// A valid PNG whose header claims width x height grey pixels: a few hundred
// bytes on disk, gigabytes decoded.
QByteArray pngClaiming(quint32 width, quint32 height)
{
    QByteArray header(13, '\0');
    qToBigEndian<quint32>(width, header.data());
    qToBigEndian<quint32>(height, header.data() + 4);
    header[8] = 8;                                                    // bits per sample; colour type 0 (grey)
    const QByteArray idat = qCompress(QByteArray(4096, '\0')).mid(4); // the zlib stream alone
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header) + pngChunk("IDAT", idat) +
           pngChunk("IEND", {});
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

class TestPictureImport : public QObject
{
    Q_OBJECT
private slots:
    void orderedDitherSpreadsLevelsOverTheBayerPattern_data();
    void orderedDitherSpreadsLevelsOverTheBayerPattern();
    void errorDiffusionKeepsOrPushesTheMean_data();
    void errorDiffusionKeepsOrPushesTheMean();
    void blackStaysSolidAndWhiteClear();
    void otsuSplitsBetweenTheLevels_data();
    void otsuSplitsBetweenTheLevels();
    void invertSwapsDotsWithinThePictureOnly();
    void fitsPlaceThePicture_data();
    void fitsPlaceThePicture();
    void readsEveryFormat_data();
    void readsEveryFormat();
    void transparencyCountsAsWhite();
    void badFilesGiveTheNameAndReason_data();
    void badFilesGiveTheNameAndReason();
    void largeJpegDecodedReducedMatchesTheWholePicture_data();
    void largeJpegDecodedReducedMatchesTheWholePicture();
};

void TestPictureImport::orderedDitherSpreadsLevelsOverTheBayerPattern_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("dotsPerTile");
    QTest::newRow("black") << 0 << 64;
    QTest::newRow("quarter") << 64 << 48;
    QTest::newRow("half") << 128 << 32;
    QTest::newRow("three quarters") << 192 << 16;
    QTest::newRow("white") << 255 << 0;
}

void TestPictureImport::orderedDitherSpreadsLevelsOverTheBayerPattern()
{
    QFETCH(int, level);
    QFETCH(int, dotsPerTile);
    const QImage dots = dotsOf(flat(Full, level), Full, options(ImportFit::Stretch, ImportDither::Ordered, 128));
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 128; ++x) {
            if (x % 8 == 0 && y % 8 == 0)
                QCOMPARE(dotCount(dots, QRect(x, y, 8, 8)), dotsPerTile);
            QCOMPARE(isDot(dots, x, y), isDot(dots, x % 8, y % 8)); // one tile repeated
            if (level == 128 && x > 0)
                QVERIFY(isDot(dots, x, y) != isDot(dots, x - 1, y)); // half grey is a checkerboard
        }
    }
}

void TestPictureImport::errorDiffusionKeepsOrPushesTheMean_data()
{
    QTest::addColumn<ImportDither>("dither");
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("push"); // 0: the mean is kept; +1 more dots; -1 fewer
    for (int level : {32, 64, 100, 128, 160, 192, 224})
        QTest::addRow("Floyd-Steinberg at %d", level) << ImportDither::FloydSteinberg << level << 0;
    // Atkinson passes on three quarters of the error: greys move outward.
    QTest::newRow("Atkinson at 128") << ImportDither::Atkinson << 128 << 0;
    QTest::newRow("Atkinson at 64") << ImportDither::Atkinson << 64 << 1;
    QTest::newRow("Atkinson at 192") << ImportDither::Atkinson << 192 << -1;
}

void TestPictureImport::errorDiffusionKeepsOrPushesTheMean()
{
    QFETCH(ImportDither, dither);
    QFETCH(int, level);
    QFETCH(int, push);
    for (const QSize target : {Full, Half}) {
        for (bool automatic : {false, true}) { // a flat picture has no split: 128
            const QImage dots =
                dotsOf(flat(target, level), target, options(ImportFit::Stretch, dither, automatic ? -1 : 128));
            const double off = dotCount(dots, dots.rect()) - (255.0 - level) / 255.0 * 128 * target.height();
            // Within one dot per row of the display, or beyond it the way pushed.
            const bool right = push == 0 ? std::abs(off) <= target.height() : off * push > target.height();
            QVERIFY2(right, qPrintable(QStringLiteral("%1 dots off").arg(off)));
            for (int y = 0; level == 128 && y < target.height(); ++y)
                QVERIFY(std::abs(dotCount(dots, QRect(0, y, 128, 1)) - 64) <= 8); // evenly spread
        }
    }
}

void TestPictureImport::blackStaysSolidAndWhiteClear()
{
    QImage picture = flat(Full, 255);
    QPainter(&picture).fillRect(0, 0, 64, 64, Qt::black);
    for (int d = 0; d < 4; ++d)
        for (int threshold : {1, 40, 128, 220, 255, 300})
            QVERIFY2(mismatches(dotsOf(picture, Full, options(ImportFit::Stretch, ImportDither(d), threshold)),
                                QRect(0, 0, 64, 64)) == 0,
                     qPrintable(QStringLiteral("dither %1, threshold %2").arg(d).arg(threshold)));
}

void TestPictureImport::otsuSplitsBetweenTheLevels_data()
{
    QTest::addColumn<int>("dark");
    QTest::addColumn<int>("light");
    QTest::addColumn<int>("darkPercent");
    QTest::newRow("black and white") << 0 << 255 << 50;
    QTest::newRow("two greys") << 50 << 200 << 50;
    QTest::newRow("neighbouring greys") << 100 << 101 << 50;
    QTest::newRow("a little dark") << 30 << 220 << 5;
    QTest::newRow("mostly dark") << 30 << 220 << 95;
    QTest::newRow("light greys") << 180 << 250 << 30;
}

void TestPictureImport::otsuSplitsBetweenTheLevels()
{
    QFETCH(int, dark);
    QFETCH(int, light);
    QFETCH(int, darkPercent);
    QImage grey(100, 10, QImage::Format_Grayscale8);
    grey.fill(light);
    for (int y = 0; y < 10; ++y)
        memset(grey.scanLine(y), dark, static_cast<std::size_t>(darkPercent));
    const int threshold = otsuThreshold(grey, grey.rect());
    QVERIFY2(dark < threshold && threshold <= light, qPrintable(QString::number(threshold)));
    QCOMPARE(otsuThreshold(grey, QRect(darkPercent, 0, 100 - darkPercent, 10)), 128); // one level: no split
    // Through the whole import: the dark level alone becomes dots.
    const QImage dots = dotsOf(grey.convertToFormat(QImage::Format_RGB32), {100, 10}, options(ImportFit::Stretch));
    QCOMPARE(mismatches(dots, QRect(0, 0, darkPercent, 10)), 0);
}

void TestPictureImport::invertSwapsDotsWithinThePictureOnly()
{
    QImage ramp(64, 64, QImage::Format_RGB32); // square: under Fit, white margins left and right
    for (int x = 0; x < 64; ++x)
        QPainter(&ramp).fillRect(x, 0, 1, 64, QColor(x * 4, x * 4, x * 4));
    const QRect content(32, 0, 64, 64);
    for (int d = 0; d < 4; ++d) {
        ImportOptions o = options(ImportFit::Fit, ImportDither(d));
        const QImage plain = dotsOf(ramp, Full, o);
        o.invert = true;
        const QImage inverted = dotsOf(ramp, Full, o);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 128; ++x)
                QCOMPARE(isDot(plain, x, y) != isDot(inverted, x, y), content.contains(x, y));
        QVERIFY(dotCount(plain, content) > 0 && dotCount(inverted, content) > 0);
    }
}

void TestPictureImport::fitsPlaceThePicture_data()
{
    QTest::addColumn<QSize>("pictureSize");
    QTest::addColumn<QSize>("target");
    QTest::addColumn<ImportFit>("fit");
    QTest::addColumn<QRect>("content");        // where an all-black picture lands
    QTest::addColumn<QRect>("topLeftQuarter"); // where its top-left quarter lands
    const auto row = [](const char *fit, QSize size, QSize target, ImportFit f, QRect content, QRect quarter) {
        QTest::addRow("%dx%d, 128x%d, %s", size.width(), size.height(), target.height(), fit)
            << size << target << f << content << quarter;
    };
    const ImportFit Fit = ImportFit::Fit, Fill = ImportFit::Fill, Stretch = ImportFit::Stretch,
                    Original = ImportFit::OriginalSize;
    row("fit", {256, 64}, Full, Fit, {0, 16, 128, 32}, {0, 16, 64, 16});
    row("fill", {256, 64}, Full, Fill, {0, 0, 128, 64}, {0, 0, 64, 32});
    row("stretch", {256, 64}, Full, Stretch, {0, 0, 128, 64}, {0, 0, 64, 32});
    row("original", {256, 64}, Full, Original, {0, 0, 128, 64}, {0, 0, 64, 32});
    row("fit", {256, 64}, Half, Fit, {0, 0, 128, 32}, {0, 0, 64, 16});
    row("fill", {256, 64}, Half, Fill, {0, 0, 128, 32}, {0, 0, 64, 16});
    row("stretch", {256, 64}, Half, Stretch, {0, 0, 128, 32}, {0, 0, 64, 16});
    row("original", {256, 64}, Half, Original, {0, 0, 128, 32}, {0, 0, 64, 16});
    row("fit", {64, 256}, Full, Fit, {56, 0, 16, 64}, {56, 0, 8, 32});
    row("fill", {64, 256}, Full, Fill, {0, 0, 128, 64}, {0, 0, 64, 32});
    row("stretch", {64, 256}, Full, Stretch, {0, 0, 128, 64}, {0, 0, 64, 32});
    row("original", {64, 256}, Full, Original, {32, 0, 64, 64}, {32, 0, 32, 32});
    row("fit", {64, 256}, Half, Fit, {60, 0, 8, 32}, {60, 0, 4, 16});
    row("fill", {64, 256}, Half, Fill, {0, 0, 128, 32}, {0, 0, 64, 16});
    row("stretch", {64, 256}, Half, Stretch, {0, 0, 128, 32}, {0, 0, 64, 16});
    row("original", {64, 256}, Half, Original, {32, 0, 64, 32}, {32, 0, 32, 16});
    row("fit", {1000, 1000}, Full, Fit, {32, 0, 64, 64}, {32, 0, 32, 32});
    row("fill", {1000, 1000}, Full, Fill, {0, 0, 128, 64}, {0, 0, 64, 32});
    row("stretch", {1000, 1000}, Full, Stretch, {0, 0, 128, 64}, {0, 0, 64, 32});
    row("original", {1000, 1000}, Full, Original, {0, 0, 128, 64}, {0, 0, 64, 32});
    row("fit", {1000, 1000}, Half, Fit, {48, 0, 32, 32}, {48, 0, 16, 16});
    row("fill", {1000, 1000}, Half, Fill, {0, 0, 128, 32}, {0, 0, 64, 16});
    row("stretch", {1000, 1000}, Half, Stretch, {0, 0, 128, 32}, {0, 0, 64, 16});
    row("original", {1000, 1000}, Half, Original, {0, 0, 128, 32}, {0, 0, 64, 16});
    // Odd sizes: the odd dot left over goes right, as under Fit; a quarter
    // ending 0.4 into a dot leaves it white.
    row("original", {3, 3}, Full, Original, {62, 30, 3, 3}, {62, 30, 2, 2});
    row("fit", {5, 5}, Full, Fit, {32, 0, 64, 64}, {32, 0, 38, 38});
}

void TestPictureImport::fitsPlaceThePicture()
{
    QFETCH(QSize, pictureSize);
    QFETCH(QSize, target);
    QFETCH(ImportFit, fit);
    QFETCH(QRect, content);
    QFETCH(QRect, topLeftQuarter);
    const ImportOptions o = options(fit, ImportDither::None, 128);
    const QImage black = dotsOf(flat(pictureSize, 0), target, o);
    QCOMPARE(black.size(), target);
    QCOMPARE(mismatches(black, content), 0);
    const QImage quarter = dotsOf(quarterPicture(pictureSize), target, o);
    QCOMPARE(mismatches(quarter, topLeftQuarter), 0);

    // On the canvas the dots are exactly the set pixels; the rest is white.
    Canvas canvas;
    canvas.setHalfHeight(target == Half);
    canvas.placePicture(quarter);
    for (int y = 0; y < Canvas::Height; ++y)
        for (int x = 0; x < Canvas::Width; ++x)
            QCOMPARE(canvas.colourAt(x, y), topLeftQuarter.contains(x, y) ? Canvas::Black : Canvas::White);
}

void TestPictureImport::readsEveryFormat_data()
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
}

void TestPictureImport::readsEveryFormat()
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

void TestPictureImport::transparencyCountsAsWhite()
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
    }
}

void TestPictureImport::badFilesGiveTheNameAndReason_data()
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
    QTest::newRow("header claims 50000 x 50000") << "bomb.png" << pngClaiming(50000, 50000) << "50000 x 50000";
    QTest::newRow("header claims 20000 x 4000") << "wide.png" << pngClaiming(20000, 4000) << "20000 x 4000";
}

void TestPictureImport::badFilesGiveTheNameAndReason()
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
}

void TestPictureImport::largeJpegDecodedReducedMatchesTheWholePicture_data()
{
    QTest::addColumn<bool>("turned");
    QTest::addColumn<int>("divisor"); // keeping at least 4 pixels per dot across and down
    QTest::newRow("upright") << false << 4;
    QTest::newRow("tagged as turned a quarter") << true << 2;
}

void TestPictureImport::largeJpegDecodedReducedMatchesTheWholePicture()
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

QTEST_MAIN(TestPictureImport)
#include "test_picture_import.moc"
