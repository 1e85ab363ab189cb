#include "canvas/canvas.h"
#include "import/picture_import.h"
#include "support/import_pictures.h"
#include "support/test_main.h"

#include <QPainter>
#include <QtTest>

namespace {

int dotCount(const QImage &dots, const QRect &area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += isDot(dots, x, y) ? 1 : 0;
    return count;
}

} // namespace

class TestImportDots : public QObject
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
    void invertLeavesSeeThroughPartsWhite_data();
    void invertLeavesSeeThroughPartsWhite();
    void fitsPlaceThePicture_data();
    void fitsPlaceThePicture();
};

void TestImportDots::orderedDitherSpreadsLevelsOverTheBayerPattern_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("dotsPerTile");
    QTest::newRow("black") << 0 << 64;
    QTest::newRow("quarter") << 64 << 48;
    QTest::newRow("half") << 128 << 32;
    QTest::newRow("three quarters") << 192 << 16;
    QTest::newRow("white") << 255 << 0;
}

void TestImportDots::orderedDitherSpreadsLevelsOverTheBayerPattern()
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

void TestImportDots::errorDiffusionKeepsOrPushesTheMean_data()
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

void TestImportDots::errorDiffusionKeepsOrPushesTheMean()
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

void TestImportDots::blackStaysSolidAndWhiteClear()
{
    QImage picture = flat(Full, 255);
    QPainter(&picture).fillRect(0, 0, 64, 64, Qt::black);
    for (int d = 0; d < 4; ++d)
        for (int threshold : {1, 40, 128, 220, 255, 300})
            QVERIFY2(mismatches(dotsOf(picture, Full, options(ImportFit::Stretch, ImportDither(d), threshold)),
                                QRect(0, 0, 64, 64)) == 0,
                     qPrintable(QStringLiteral("dither %1, threshold %2").arg(d).arg(threshold)));
}

void TestImportDots::otsuSplitsBetweenTheLevels_data()
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

void TestImportDots::otsuSplitsBetweenTheLevels()
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

void TestImportDots::invertSwapsDotsWithinThePictureOnly()
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

void TestImportDots::invertLeavesSeeThroughPartsWhite_data()
{
    QTest::addColumn<int>("side"); // at (32, 0, 64, 64): a picture pixel per dot, or 32 averaged
    QTest::addColumn<ImportFit>("fit");
    QTest::newRow("64x64 original size") << 64 << ImportFit::OriginalSize;
    QTest::newRow("2048x2048 fit") << 2048 << ImportFit::Fit;
}

void TestImportDots::invertLeavesSeeThroughPartsWhite()
{
    QFETCH(int, side);
    QFETCH(ImportFit, fit);
    // A logo: black on the left, opaque white on the right, see-through corners.
    QImage logo(side, side, QImage::Format_ARGB32);
    logo.fill(Qt::white);
    QPainter painter(&logo);
    painter.fillRect(0, 0, side / 2, side, Qt::black);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (const QPoint corner : {QPoint(0, 0), QPoint(3, 0), QPoint(0, 3), QPoint(3, 3)})
        painter.fillRect(QRect(corner * side / 4, QSize(side, side) / 4), Qt::transparent);
    painter.end();
    for (const ImportDither dither : {ImportDither::None, ImportDither::FloydSteinberg})
        for (const bool invert : {false, true}) {
            ImportOptions o = options(fit, dither);
            o.invert = invert;
            const QImage dots = dotsOf(logo, Full, o);
            int wrong = 0; // dots where the picture is see-through, or none where it is opaque and inverted
            for (int y = 0; y < 64; ++y)
                for (int x = 0; x < 128; ++x) {
                    const QRgb p = x >= 32 && x < 96 ? logo.pixel((x - 32) * side / 64, y * side / 64) : 0;
                    wrong += isDot(dots, x, y) != (qAlpha(p) == 255 && (qRed(p) == 0) != invert);
                }
            QVERIFY2(wrong == 0, qPrintable(QString::asprintf("dither %d, invert %d", int(dither), invert)));
        }
}

void TestImportDots::fitsPlaceThePicture_data()
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

void TestImportDots::fitsPlaceThePicture()
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

VOXCEL_TEST_MAIN(TestImportDots)
#include "test_import_dots.moc"
