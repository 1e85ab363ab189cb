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

// White with the top-left quarter black.
QImage quarterPicture(QSize size)
{
    QImage image = flat(size, 255);
    QPainter(&image).fillRect(0, 0, size.width() / 2, size.height() / 2, Qt::black);
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

// Every pixel is black inside the rectangle and white outside it.
QString differsFromRect(const QImage &dots, const QRect &black)
{
    for (int y = 0; y < dots.height(); ++y) {
        for (int x = 0; x < dots.width(); ++x) {
            const QRgb p = dots.pixel(x, y);
            const QRgb wanted = black.contains(x, y) ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
            if (p != wanted)
                return QStringLiteral("pixel (%1, %2) is %3").arg(x).arg(y).arg(p, 8, 16);
        }
    }
    return {};
}

int mismatches(const QImage &dots, const QRect &black)
{
    int count = 0;
    for (int y = 0; y < dots.height(); ++y)
        for (int x = 0; x < dots.width(); ++x)
            count += isDot(dots, x, y) != black.contains(x, y) ? 1 : 0;
    return count;
}

ImportOptions options(ImportFit fit, ImportDither dither = ImportDither::None, int threshold = -1)
{
    ImportOptions o;
    o.fit = fit;
    o.dither = dither;
    o.autoThreshold = threshold < 0;
    if (threshold >= 0)
        o.threshold = threshold;
    return o;
}

QImage dotsOf(const QImage &picture, QSize target, const ImportOptions &o)
{
    PictureImport import(picture, target);
    import.setOptions(o);
    return import.picture();
}

quint32 crc32(const QByteArray &data)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : data) {
        crc ^= static_cast<quint8>(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray pngChunk(const char *type, const QByteArray &data)
{
    QByteArray length(4, '\0');
    qToBigEndian<quint32>(static_cast<quint32>(data.size()), length.data());
    const QByteArray body = QByteArray(type) + data;
    QByteArray crc(4, '\0');
    qToBigEndian<quint32>(crc32(body), crc.data());
    return length + body + crc;
}

// A valid PNG whose header claims width x height grey pixels, with a few
// bytes of compressed data: small on disk, enormous decoded.
QByteArray pngClaiming(quint32 width, quint32 height)
{
    QByteArray header(13, '\0');
    qToBigEndian<quint32>(width, header.data());
    qToBigEndian<quint32>(height, header.data() + 4);
    header[8] = 8;                                                    // bits per sample; colour type 0 (grey)
    const QByteArray idat = qCompress(QByteArray(4096, '\0')).mid(4); // zlib stream without Qt's length
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header) + pngChunk("IDAT", idat) +
           pngChunk("IEND", {});
}

// A two-colour GIF (index 0 black, 1 white) with one frame per picture.
// The LZW codes stay three bits wide: a clear code after every two pixels
// keeps the code table from growing.
QByteArray gifOf(const QList<QImage> &frames)
{
    const QImage &first = frames.front();
    QByteArray gif("GIF89a");
    auto le16 = [&gif](int v) {
        gif.append(char(v & 0xFF));
        gif.append(char((v >> 8) & 0xFF));
    };
    le16(first.width());
    le16(first.height());
    gif.append(char(0x80)).append('\0').append('\0'); // global table of two colours
    gif.append(QByteArray("\x00\x00\x00\xFF\xFF\xFF", 6));
    gif.append(QByteArray("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00", 19)); // loop forever
    for (const QImage &frame : frames) {
        gif.append(QByteArray("\x21\xF9\x04\x04\x0A\x00\x00\x00", 8)); // 1/10 s per frame
        gif.append(char(0x2C));
        le16(0);
        le16(0);
        le16(frame.width());
        le16(frame.height());
        gif.append('\0');
        gif.append(char(2)); // minimum code size: clear is 4, end 5
        QByteArray data;
        quint32 bits = 0;
        int held = 0;
        auto put = [&](int code) {
            bits |= quint32(code) << held;
            held += 3;
            while (held >= 8) {
                data.append(char(bits & 0xFF));
                bits >>= 8;
                held -= 8;
            }
        };
        int sinceClear = 2;
        for (int y = 0; y < frame.height(); ++y) {
            for (int x = 0; x < frame.width(); ++x) {
                if (sinceClear == 2) {
                    put(4);
                    sinceClear = 0;
                }
                put(qGray(frame.pixel(x, y)) < 128 ? 0 : 1);
                ++sinceClear;
            }
        }
        put(5);
        if (held > 0)
            data.append(char(bits & 0xFF));
        for (int at = 0; at < data.size(); at += 255) {
            const QByteArray block = data.mid(at, 255);
            gif.append(char(block.size())).append(block);
        }
        gif.append('\0');
    }
    gif.append(char(0x3B));
    return gif;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestPictureImport : public QObject
{
    Q_OBJECT
private slots:
    // The algorithms on small pictures with known answers.
    void orderedDitherSpreadsLevelsOverTheBayerPattern_data();
    void orderedDitherSpreadsLevelsOverTheBayerPattern();
    void errorDiffusionKeepsTheMeanLevel_data();
    void errorDiffusionKeepsTheMeanLevel();
    void atkinsonPushesTonesOutward_data();
    void atkinsonPushesTonesOutward();
    void blackStaysSolidAndWhiteClearUnderEveryDither_data();
    void blackStaysSolidAndWhiteClearUnderEveryDither();
    void otsuSplitsBetweenTheLevels_data();
    void otsuSplitsBetweenTheLevels();
    void chosenThresholdMakesLevelsBelowItDots_data();
    void chosenThresholdMakesLevelsBelowItDots();
    void invertSwapsDotsWithinThePictureOnly_data();
    void invertSwapsDotsWithinThePictureOnly();
    void commandLineNamesMapToChoices();

    // Geometry: where the picture lands under each fit, in both heights.
    void fitsPlaceThePicture_data();
    void fitsPlaceThePicture();
    void canvasGetsExactlyThePicture();

    // Reading files.
    void readsEveryFormat_data();
    void readsEveryFormat();
    void transparencyCountsAsWhite_data();
    void transparencyCountsAsWhite();
    void badFilesGiveTheNameAndReason_data();
    void badFilesGiveTheNameAndReason();
    void largeJpegIsDecodedReducedAndMatchesFullDecode();
    void turnedJpegIsImportedUpright();
    void drawingIsRenderedForEveryFit();
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
    for (int ty = 0; ty < Full.height(); ty += 8)
        for (int tx = 0; tx < Full.width(); tx += 8)
            QCOMPARE(dotCount(dots, QRect(tx, ty, 8, 8)), dotsPerTile);
    // Every tile alike: the pattern repeats every eight dots.
    for (int y = 0; y < Full.height(); ++y)
        for (int x = 8; x < Full.width(); ++x)
            QCOMPARE(isDot(dots, x, y), isDot(dots, x - 8, y % 8));
    if (level == 128) {
        // Half grey in a Bayer pattern is a checkerboard.
        for (int y = 0; y < Full.height(); ++y)
            for (int x = 1; x < Full.width(); ++x)
                QVERIFY(isDot(dots, x, y) != isDot(dots, x - 1, y));
    }
}

void TestPictureImport::errorDiffusionKeepsTheMeanLevel_data()
{
    QTest::addColumn<ImportDither>("dither");
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("automatic");
    for (int level : {32, 64, 100, 128, 160, 192, 224}) {
        QTest::addRow("Floyd-Steinberg at %d", level) << ImportDither::FloydSteinberg << level << false;
        QTest::addRow("Floyd-Steinberg at %d, automatic threshold", level)
            << ImportDither::FloydSteinberg << level << true;
    }
    // Atkinson passes on only three quarters of the error: it keeps the mean
    // near the middle grey only (see the next test).
    for (int level : {128}) {
        QTest::addRow("Atkinson at %d", level) << ImportDither::Atkinson << level << false;
        QTest::addRow("Atkinson at %d, automatic threshold", level) << ImportDither::Atkinson << level << true;
    }
}

void TestPictureImport::errorDiffusionKeepsTheMeanLevel()
{
    QFETCH(ImportDither, dither);
    QFETCH(int, level);
    QFETCH(bool, automatic);
    for (const QSize target : {Full, Half}) {
        const QImage dots =
            dotsOf(flat(target, level), target, options(ImportFit::Stretch, dither, automatic ? -1 : 128));
        const double wanted = (255.0 - level) / 255.0 * target.width() * target.height();
        const int got = dotCount(dots, dots.rect());
        // Within one dot per row of the display.
        QVERIFY2(std::abs(got - wanted) <= target.height(),
                 qPrintable(QStringLiteral("%1 dots, %2 wanted").arg(got).arg(wanted)));
        if (level == 128) {
            // Spread out: every row about half full.
            for (int y = 0; y < target.height(); ++y) {
                const int inRow = dotCount(dots, QRect(0, y, target.width(), 1));
                QVERIFY2(std::abs(inRow - 64) <= 8, qPrintable(QStringLiteral("row %1: %2").arg(y).arg(inRow)));
            }
        }
    }
}

void TestPictureImport::atkinsonPushesTonesOutward_data()
{
    QTest::addColumn<int>("level");
    for (int level : {32, 64, 100, 160, 192, 224})
        QTest::addRow("%d", level) << level;
}

void TestPictureImport::atkinsonPushesTonesOutward()
{
    QFETCH(int, level);
    const QImage floyd =
        dotsOf(flat(Full, level), Full, options(ImportFit::Stretch, ImportDither::FloydSteinberg, 128));
    const QImage atkinson = dotsOf(flat(Full, level), Full, options(ImportFit::Stretch, ImportDither::Atkinson, 128));
    const int f = dotCount(floyd, floyd.rect());
    const int a = dotCount(atkinson, atkinson.rect());
    // More contrast: dark greys darker, light greys lighter than the mean.
    if (level < 128)
        QVERIFY2(a > f, qPrintable(QStringLiteral("%1 against %2").arg(a).arg(f)));
    else
        QVERIFY2(a < f, qPrintable(QStringLiteral("%1 against %2").arg(a).arg(f)));
}

void TestPictureImport::blackStaysSolidAndWhiteClearUnderEveryDither_data()
{
    QTest::addColumn<ImportDither>("dither");
    QTest::addColumn<int>("threshold");
    for (const auto &[dither, name] :
         {std::pair{ImportDither::None, "none"}, std::pair{ImportDither::FloydSteinberg, "Floyd-Steinberg"},
          std::pair{ImportDither::Atkinson, "Atkinson"}, std::pair{ImportDither::Ordered, "ordered"}}) {
        for (int threshold : {1, 40, 128, 220, 255})
            QTest::addRow("%s, threshold %d", name, threshold) << dither << threshold;
    }
}

void TestPictureImport::blackStaysSolidAndWhiteClearUnderEveryDither()
{
    QFETCH(ImportDither, dither);
    QFETCH(int, threshold);
    // Left half black, right half white, no grey anywhere.
    QImage picture = flat(Full, 255);
    QPainter(&picture).fillRect(0, 0, 64, 64, Qt::black);
    const QImage dots = dotsOf(picture, Full, options(ImportFit::Stretch, dither, threshold));
    QCOMPARE(differsFromRect(dots, QRect(0, 0, 64, 64)), QString());
}

void TestPictureImport::otsuSplitsBetweenTheLevels_data()
{
    QTest::addColumn<int>("dark");
    QTest::addColumn<int>("light");
    QTest::addColumn<int>("darkShare"); // percent of the picture
    QTest::newRow("black and white") << 0 << 255 << 50;
    QTest::newRow("two greys") << 50 << 200 << 50;
    QTest::newRow("close greys") << 100 << 101 << 50;
    QTest::newRow("little dark") << 30 << 220 << 5;
    QTest::newRow("mostly dark") << 30 << 220 << 95;
    QTest::newRow("light greys") << 180 << 250 << 30;
}

void TestPictureImport::otsuSplitsBetweenTheLevels()
{
    QFETCH(int, dark);
    QFETCH(int, light);
    QFETCH(int, darkShare);
    QImage grey(100, 10, QImage::Format_Grayscale8);
    grey.fill(light);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < darkShare; ++x)
            grey.scanLine(y)[x] = static_cast<uchar>(dark);
    const int threshold = otsuThreshold(grey, grey.rect());
    QVERIFY2(dark < threshold && threshold <= light, qPrintable(QString::number(threshold)));
    // Only the area counts: all of it light, there is nothing to split.
    QCOMPARE(otsuThreshold(grey, QRect(darkShare, 0, 100 - darkShare, 10)), 128);

    // The automatic threshold turns exactly the dark level into dots.
    const QImage dots = dotsOf(grey.scaled(Full), Full, options(ImportFit::Stretch));
    QCOMPARE(
        dotCount(dots, dots.rect()),
        dotCount(dotsOf(grey.scaled(Full), Full, options(ImportFit::Stretch, ImportDither::None, light)), dots.rect()));
    QVERIFY(isDot(dots, 0, 0) && !isDot(dots, 127, 63));
}

void TestPictureImport::chosenThresholdMakesLevelsBelowItDots_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("threshold");
    QTest::addColumn<bool>("dot");
    QTest::newRow("just below") << 99 << 100 << true;
    QTest::newRow("at the threshold") << 100 << 100 << false;
    QTest::newRow("threshold 0 makes no dots") << 0 << 0 << false;
    QTest::newRow("threshold 255 leaves white only") << 254 << 255 << true;
    QTest::newRow("white under 255") << 255 << 255 << false;
    QTest::newRow("out of range is clamped") << 255 << 300 << false;
}

void TestPictureImport::chosenThresholdMakesLevelsBelowItDots()
{
    QFETCH(int, level);
    QFETCH(int, threshold);
    QFETCH(bool, dot);
    const QImage dots = dotsOf(flat(Full, level), Full, options(ImportFit::Stretch, ImportDither::None, threshold));
    QCOMPARE(dotCount(dots, dots.rect()), dot ? 128 * 64 : 0);
}

void TestPictureImport::invertSwapsDotsWithinThePictureOnly_data()
{
    QTest::addColumn<ImportDither>("dither");
    QTest::newRow("none") << ImportDither::None;
    QTest::newRow("Floyd-Steinberg") << ImportDither::FloydSteinberg;
    QTest::newRow("Atkinson") << ImportDither::Atkinson;
    QTest::newRow("ordered") << ImportDither::Ordered;
}

void TestPictureImport::invertSwapsDotsWithinThePictureOnly()
{
    QFETCH(ImportDither, dither);
    // A square grey ramp: under Fit it fills the middle 64 x 64 only.
    QImage ramp(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            ramp.setPixel(x, y, qRgb(x * 4, x * 4, x * 4));
    PictureImport import(ramp, Full);
    ImportOptions o = options(ImportFit::Fit, dither);
    import.setOptions(o);
    const QImage plain = import.picture();
    o.invert = true;
    import.setOptions(o);
    const QImage inverted = import.picture();
    const QRect content(32, 0, 64, 64);
    QCOMPARE(import.scaled().content, content);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 128; ++x) {
            if (content.contains(x, y))
                QVERIFY(isDot(plain, x, y) != isDot(inverted, x, y));
            else
                QVERIFY(!isDot(plain, x, y) && !isDot(inverted, x, y));
        }
    }
    QVERIFY(dotCount(plain, content) > 0 && dotCount(inverted, content) > 0);
}

void TestPictureImport::commandLineNamesMapToChoices()
{
    QCOMPARE(importFitNamed("fit"), ImportFit::Fit);
    QCOMPARE(importFitNamed("fill"), ImportFit::Fill);
    QCOMPARE(importFitNamed("stretch"), ImportFit::Stretch);
    QCOMPARE(importFitNamed("none"), ImportFit::OriginalSize);
    QVERIFY(!importFitNamed("Fit"));
    QCOMPARE(importDitherNamed("none"), ImportDither::None);
    QCOMPARE(importDitherNamed("floyd-steinberg"), ImportDither::FloydSteinberg);
    QCOMPARE(importDitherNamed("atkinson"), ImportDither::Atkinson);
    QCOMPARE(importDitherNamed("ordered"), ImportDither::Ordered);
    QVERIFY(!importDitherNamed("bayer"));
    QCOMPARE(importTargetSize(false), Full);
    QCOMPARE(importTargetSize(true), Half);
}

void TestPictureImport::fitsPlaceThePicture_data()
{
    QTest::addColumn<QSize>("pictureSize");
    QTest::addColumn<QSize>("target");
    QTest::addColumn<ImportFit>("fit");
    QTest::addColumn<QRect>("content");        // where an all-black picture lands
    QTest::addColumn<QRect>("topLeftQuarter"); // where its top-left quarter lands

    const auto row = [](const char *name, QSize size, QSize target, ImportFit fit, QRect content, QRect quarter) {
        QTest::addRow("%dx%d, 128x%d, %s", size.width(), size.height(), target.height(), name)
            << size << target << fit << content << quarter;
    };
    // A wide picture of the display's own shape.
    row("fit", {256, 64}, Full, ImportFit::Fit, {0, 16, 128, 32}, {0, 16, 64, 16});
    row("fill", {256, 64}, Full, ImportFit::Fill, {0, 0, 128, 64}, {0, 0, 64, 32});
    row("stretch", {256, 64}, Full, ImportFit::Stretch, {0, 0, 128, 64}, {0, 0, 64, 32});
    row("original", {256, 64}, Full, ImportFit::OriginalSize, {0, 0, 128, 64}, {0, 0, 64, 32});
    row("fit", {256, 64}, Half, ImportFit::Fit, {0, 0, 128, 32}, {0, 0, 64, 16});
    row("fill", {256, 64}, Half, ImportFit::Fill, {0, 0, 128, 32}, {0, 0, 64, 16});
    row("stretch", {256, 64}, Half, ImportFit::Stretch, {0, 0, 128, 32}, {0, 0, 64, 16});
    row("original", {256, 64}, Half, ImportFit::OriginalSize, {0, 0, 128, 32}, {0, 0, 64, 16});
    // A tall one.
    row("fit", {64, 256}, Full, ImportFit::Fit, {56, 0, 16, 64}, {56, 0, 8, 32});
    row("fill", {64, 256}, Full, ImportFit::Fill, {0, 0, 128, 64}, {0, 0, 64, 32});
    row("stretch", {64, 256}, Full, ImportFit::Stretch, {0, 0, 128, 64}, {0, 0, 64, 32});
    row("original", {64, 256}, Full, ImportFit::OriginalSize, {32, 0, 64, 64}, {32, 0, 32, 32});
    row("fit", {64, 256}, Half, ImportFit::Fit, {60, 0, 8, 32}, {60, 0, 4, 16});
    row("fill", {64, 256}, Half, ImportFit::Fill, {0, 0, 128, 32}, {0, 0, 64, 16});
    row("stretch", {64, 256}, Half, ImportFit::Stretch, {0, 0, 128, 32}, {0, 0, 64, 16});
    row("original", {64, 256}, Half, ImportFit::OriginalSize, {32, 0, 64, 32}, {32, 0, 32, 16});
    // A large square one.
    row("fit", {1000, 1000}, Full, ImportFit::Fit, {32, 0, 64, 64}, {32, 0, 32, 32});
    row("fill", {1000, 1000}, Full, ImportFit::Fill, {0, 0, 128, 64}, {0, 0, 64, 32});
    row("stretch", {1000, 1000}, Full, ImportFit::Stretch, {0, 0, 128, 64}, {0, 0, 64, 32});
    row("original", {1000, 1000}, Full, ImportFit::OriginalSize, {0, 0, 128, 64}, {0, 0, 64, 32});
    row("fit", {1000, 1000}, Half, ImportFit::Fit, {48, 0, 32, 32}, {48, 0, 16, 16});
    row("fill", {1000, 1000}, Half, ImportFit::Fill, {0, 0, 128, 32}, {0, 0, 64, 16});
    row("stretch", {1000, 1000}, Half, ImportFit::Stretch, {0, 0, 128, 32}, {0, 0, 64, 16});
    row("original", {1000, 1000}, Half, ImportFit::OriginalSize, {0, 0, 128, 32}, {0, 0, 64, 16});
    // Small and odd: centred with the odd dot on the right, nothing scaled.
    row("original", {3, 3}, Full, ImportFit::OriginalSize, {62, 30, 3, 3}, {62, 30, 2, 2});
    // Its 3 x 3 quarter ends 0.4 into dot 38: too light for a dot.
    row("fit", {5, 5}, Full, ImportFit::Fit, {32, 0, 64, 64}, {32, 0, 38, 38});
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
    QCOMPARE(differsFromRect(black, content), QString());

    QImage quarter = flat(pictureSize, 255);
    QPainter(&quarter).fillRect(0, 0, (pictureSize.width() + 1) / 2, (pictureSize.height() + 1) / 2, Qt::black);
    QCOMPARE(differsFromRect(dotsOf(quarter, target, o), topLeftQuarter), QString());
}

void TestPictureImport::canvasGetsExactlyThePicture()
{
    // A grey ramp, dithered: placed on the canvas, each dot is a set pixel.
    QImage ramp(300, 100, QImage::Format_RGB32);
    for (int y = 0; y < ramp.height(); ++y)
        for (int x = 0; x < ramp.width(); ++x)
            ramp.setPixel(x, y, qRgb(x * 255 / 299, y * 2, 128));
    for (const QSize target : {Full, Half}) {
        const QImage dots = dotsOf(ramp, target, options(ImportFit::Fit, ImportDither::FloydSteinberg));
        Canvas canvas;
        canvas.setHalfHeight(target == Half);
        canvas.setPenSize(10);
        canvas.plotDot(5, 60); // replaced by the picture
        canvas.placePicture(dots);
        for (int y = 0; y < target.height(); ++y)
            for (int x = 0; x < target.width(); ++x)
                QVERIFY(dots.pixel(x, y) == qRgb(0, 0, 0) || dots.pixel(x, y) == qRgb(255, 255, 255));
        for (int y = 0; y < Canvas::Height; ++y) {
            for (int x = 0; x < Canvas::Width; ++x) {
                const bool dot = y < target.height() && isDot(dots, x, y);
                QCOMPARE(canvas.colourAt(x, y), dot ? Canvas::Black : Canvas::White);
            }
        }
    }
}

void TestPictureImport::readsEveryFormat_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("tolerance"); // dots that may differ: lossy formats
    QTest::newRow("png") << "png" << 0;
    QTest::newRow("bmp") << "bmp" << 0;
    QTest::newRow("jpeg") << "jpeg" << 8;
    QTest::newRow("tiff") << "tiff" << 0;
    QTest::newRow("webp") << "webp" << 8;
    QTest::newRow("gif, first frame of two") << "gif" << 0;
    QTest::newRow("svg") << "svg" << 0;
    QTest::newRow("grey png") << "grey png" << 0;
    QTest::newRow("one-bit png") << "mono png" << 0;
}

void TestPictureImport::readsEveryFormat()
{
    QFETCH(QString, format);
    QFETCH(int, tolerance);
    const QByteArray pluginFormat = format == QLatin1String("svg")    ? "svg"
                                    : format == QLatin1String("tiff") ? "tiff"
                                    : format == QLatin1String("webp") ? "webp"
                                                                      : "";
    if (!pluginFormat.isEmpty())
        QVERIFY2(QImageReader::supportedImageFormats().contains(pluginFormat),
                 "image format plugin missing: install libqt6svg6 and qt6-image-formats-plugins");

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("picture.") + format.section(' ', -1));
    const QImage quarter = quarterPicture({256, 128});
    if (format == QLatin1String("gif")) {
        // The second frame is all black: only the first may be imported.
        QVERIFY(writeFile(path, gifOf({quarterPicture({16, 8}), flat({16, 8}, 0)})));
    } else if (format == QLatin1String("svg")) {
        QVERIFY(writeFile(path, "<svg xmlns='http://www.w3.org/2000/svg' width='256' height='128'>"
                                "<rect width='128' height='64' fill='#000'/></svg>"));
    } else if (format == QLatin1String("grey png")) {
        QVERIFY(quarter.convertToFormat(QImage::Format_Grayscale8).save(path, "png"));
    } else if (format == QLatin1String("mono png")) {
        QVERIFY(quarter.convertToFormat(QImage::Format_Mono).save(path, "png"));
    } else {
        QImageWriter writer(path, format.toLatin1());
        writer.setQuality(100);
        QVERIFY2(writer.write(quarter), qPrintable(writer.errorString()));
    }
    QString error;
    const std::optional<QImage> dots = importPicture(path, options(ImportFit::Stretch), Full, &error);
    QVERIFY2(dots, qPrintable(error));
    QVERIFY(error.isEmpty());
    const int wrong = mismatches(*dots, QRect(0, 0, 64, 32));
    QVERIFY2(wrong <= tolerance, qPrintable(QStringLiteral("%1 dots differ").arg(wrong)));
}

void TestPictureImport::transparencyCountsAsWhite_data()
{
    QTest::addColumn<QRgb>("colour"); // ARGB
    QTest::addColumn<int>("level");
    QTest::newRow("clear black") << qRgba(0, 0, 0, 0) << 255;
    QTest::newRow("clear red") << qRgba(255, 0, 0, 0) << 255;
    QTest::newRow("opaque black") << qRgba(0, 0, 0, 255) << 0;
    QTest::newRow("opaque red") << qRgba(255, 0, 0, 255) << 76;
    QTest::newRow("half-clear black") << qRgba(0, 0, 0, 128) << 127;
    QTest::newRow("opaque white") << qRgba(255, 255, 255, 255) << 255;
}

void TestPictureImport::transparencyCountsAsWhite()
{
    QFETCH(QRgb, colour);
    QFETCH(int, level);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("clear.png"));
    QImage picture(8, 8, QImage::Format_ARGB32);
    picture.fill(colour);
    QVERIFY(picture.save(path));
    QString error;
    const std::optional<ImportSource> source = readImportSource(path, Full, &error);
    QVERIFY2(source, qPrintable(error));
    QCOMPARE(int(source->grey.constScanLine(3)[3]), level);
    QCOMPARE(int(source->window.constScanLine(32)[64]), level);
    QCOMPARE(int(source->window.constScanLine(0)[0]), 255);
}

void TestPictureImport::badFilesGiveTheNameAndReason_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content"); // written unless empty or the name is a folder
    QTest::addColumn<QString>("reason");
    const QByteArray png = [] {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        quarterPicture({256, 128}).save(&buffer, "png");
        return bytes;
    }();
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

    QString error;
    QVERIFY(!importPicture(path, ImportOptions(), Full, &error));
    QVERIFY2(error.startsWith(QStringLiteral("Cannot read %1: ").arg(path)), qPrintable(error));
    QVERIFY2(error.contains(reason), qPrintable(error));
    error.clear();
    QVERIFY(!PictureImport::open(path, Half, &error));
    QVERIFY(error.contains(reason));
}

void TestPictureImport::largeJpegIsDecodedReducedAndMatchesFullDecode()
{
    // Large flat areas survive JPEG; fine stripes in the centre's lower half
    // show whether Original size really gets one pixel per dot.
    QImage picture = flat({2048, 1024}, 255);
    {
        QPainter painter(&picture);
        painter.fillRect(0, 0, 1024, 512, Qt::black);
        painter.fillRect(1024, 512, 1024, 512, QColor(90, 90, 90));
    }
    for (int y = 512; y < 544; ++y)
        for (int x = 960; x < 1088; x += 8)
            for (int k = 0; k < 4; ++k)
                picture.setPixel(x + k, y, qRgb(0, 0, 0));
    QTemporaryDir dir;
    const QString jpeg = dir.filePath(QStringLiteral("large.jpg"));
    const QString png = dir.filePath(QStringLiteral("large.png"));
    QImageWriter writer(jpeg, "jpeg");
    writer.setQuality(95);
    QVERIFY(writer.write(picture));
    QVERIFY(picture.save(png));

    QString error;
    const std::optional<ImportSource> source = readImportSource(jpeg, Full, &error);
    QVERIFY2(source, qPrintable(error));
    QCOMPARE(source->size, QSize(2048, 1024));
    QCOMPARE(source->grey.size(), QSize(512, 256)); // decoded at a quarter
    QVERIFY(source->window.isNull());

    for (ImportFit fit : {ImportFit::Fit, ImportFit::Fill, ImportFit::Stretch, ImportFit::OriginalSize}) {
        for (ImportDither dither : {ImportDither::None, ImportDither::Ordered}) {
            const ImportOptions o = options(fit, dither, 128);
            const std::optional<QImage> fromJpeg = importPicture(jpeg, o, Full, &error);
            const std::optional<QImage> fromPng = importPicture(png, o, Full, &error);
            QVERIFY(fromJpeg && fromPng);
            int differ = 0;
            for (int y = 0; y < 64; ++y)
                for (int x = 0; x < 128; ++x)
                    differ += isDot(*fromJpeg, x, y) != isDot(*fromPng, x, y) ? 1 : 0;
            QVERIFY2(differ <= 64, qPrintable(QStringLiteral("fit %1: %2 dots differ").arg(int(fit)).arg(differ)));
        }
    }
    const std::optional<QImage> original =
        importPicture(jpeg, options(ImportFit::OriginalSize, ImportDither::None, 128), Full, &error);
    QVERIFY(original);
    for (int x = 0; x < 128; ++x) {
        QCOMPARE(isDot(*original, x, 10), x < 64);               // black quarter | white
        QCOMPARE(isDot(*original, x, 40), x % 8 < 4 || x >= 64); // stripes on white | dark grey
    }
}

void TestPictureImport::turnedJpegIsImportedUpright()
{
    // Stored 2048 x 1024 with the top-left quarter black, tagged "turn a
    // quarter clockwise": upright it is 1024 x 2048, black at the top right.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::WriteOnly));
    QVERIFY(quarterPicture({2048, 1024}).save(&buffer, "jpeg", 95));
    const QByteArray exifOrientation6("\xFF\xE1\x00\x22"
                                      "Exif\x00\x00"
                                      "MM\x00\x2A\x00\x00\x00\x08"
                                      "\x00\x01"
                                      "\x01\x12\x00\x03\x00\x00\x00\x01\x00\x06\x00\x00"
                                      "\x00\x00\x00\x00",
                                      36);
    bytes.insert(2, exifOrientation6); // right after the start-of-image marker
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("turned.jpg"));
    QVERIFY(writeFile(path, bytes));

    QString error;
    const std::optional<ImportSource> source = readImportSource(path, Full, &error);
    QVERIFY2(source, qPrintable(error));
    QCOMPARE(source->size, QSize(1024, 2048));
    QVERIFY(source->grey.width() < 1024); // still decoded reduced

    const std::optional<QImage> fit =
        importPicture(path, options(ImportFit::Fit, ImportDither::None, 128), Full, &error);
    QVERIFY(fit);
    QVERIFY(mismatches(*fit, QRect(64, 0, 16, 32)) <= 4);

    // Every fit as from the same picture turned in memory.
    QImageReader upright(path);
    upright.setAutoTransform(true);
    const QImage turned = upright.read();
    QCOMPARE(turned.size(), QSize(1024, 2048));
    for (ImportFit f : {ImportFit::Fit, ImportFit::Fill, ImportFit::Stretch, ImportFit::OriginalSize}) {
        const std::optional<QImage> viaFile = importPicture(path, options(f, ImportDither::None, 128), Full, &error);
        QVERIFY(viaFile);
        const QImage inMemory = dotsOf(turned, Full, options(f, ImportDither::None, 128));
        int differ = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 128; ++x)
                differ += isDot(*viaFile, x, y) != isDot(inMemory, x, y) ? 1 : 0;
        QVERIFY2(differ <= 16, qPrintable(QStringLiteral("fit %1: %2 dots differ").arg(int(f)).arg(differ)));
    }
}

void TestPictureImport::drawingIsRenderedForEveryFit()
{
    QVERIFY2(QImageReader::supportedImageFormats().contains("svg"), "svg image plugin missing: install libqt6svg6");
    // A 40 x 20 drawing with its left half black.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("drawing.svg"));
    QVERIFY(writeFile(path, "<svg xmlns='http://www.w3.org/2000/svg' width='40' height='20' viewBox='0 0 4 2'>"
                            "<rect width='2' height='2' fill='black'/></svg>"));
    const struct
    {
        ImportFit fit;
        QSize target;
        QRect black;
    } cases[] = {
        {ImportFit::Fit, Full, {0, 0, 64, 64}},
        {ImportFit::Fit, Half, {32, 0, 32, 32}},
        {ImportFit::Stretch, Half, {0, 0, 64, 32}},
        {ImportFit::Fill, Full, {0, 0, 64, 64}},
        {ImportFit::OriginalSize, Full, {44, 22, 20, 20}},
        {ImportFit::OriginalSize, Half, {44, 6, 20, 20}},
    };
    for (const auto &c : cases) {
        QString error;
        const std::optional<QImage> dots =
            importPicture(path, options(c.fit, ImportDither::None, 128), c.target, &error);
        QVERIFY2(dots, qPrintable(error));
        QCOMPARE(differsFromRect(*dots, c.black), QString());
    }
}

QTEST_MAIN(TestPictureImport)
#include "test_picture_import.moc"
