#include "canvas/canvas.h"
#include "canvas/display_height.h"
#include "canvas/drawing.h"
#include "canvas/picture_file.h"
#include "support/test_main.h"

#include <QBuffer>
#include <QtEndian>
#include <QtTest>

#include <climits>

namespace {
int setPixels(const Canvas &canvas)
{
    int count = 0;
    for (int y = 0; y < Canvas::Height; ++y)
        for (int x = 0; x < Canvas::Width; ++x)
            count += canvas.pixelIsSet(x, y) ? 1 : 0;
    return count;
}

QImage filled(int w, int h, QRgb colour)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// A BMP file with a 40-byte info header: a grey palette for the indexed
// kinds, then the pixel data as given.
QByteArray bmpFile(qint32 width, qint32 height, quint16 bits, quint32 compression, const QByteArray &data,
                   quint32 dataOffset = 0)
{
    const int colours = bits <= 8 ? 1 << bits : 0;
    QByteArray file(54, '\0');
    char *h = file.data();
    h[0] = 'B';
    h[1] = 'M';
    qToLittleEndian<quint32>(dataOffset ? dataOffset : 54 + colours * 4, h + 10);
    qToLittleEndian<quint32>(40, h + 14);
    qToLittleEndian<qint32>(width, h + 18);
    qToLittleEndian<qint32>(height, h + 22);
    qToLittleEndian<quint16>(1, h + 26);
    qToLittleEndian<quint16>(bits, h + 28);
    qToLittleEndian<quint32>(compression, h + 30);
    for (int i = 0; i < colours; ++i)
        file += QByteArray(3, char(i * 255 / (colours - 1))) + '\0';
    return file + data;
}

enum Compression : quint32 { Uncompressed = 0, Rle8 = 1, Rle4 = 2 };
} // namespace

class TestCanvas : public QObject
{
    Q_OBJECT
private slots:
    void startsWhiteWithPenOneInBlack();
    void onlyExactBlackIsSet_data();
    void onlyExactBlackIsSet();
    void offCanvasReadsAreClear();
    void dotsHaveTheirDiameterAndClipAtEdges_data();
    void dotsHaveTheirDiameterAndClipAtEdges();
    void dotOfOneIsThePixelUnderThePoint();
    void eraseMakesPixelsClear();
    void farAwayAndNonFiniteDotsPaintNothing();
    void placePictureClipsAndReplacesEverything();
    void canvasImageRoundTrips();
    void clearDropsEverythingButKeepsPenAndColour();
    void halfHeightHidesAndKeepsLowerRows();
    void toggleTwiceRestoresTheView();
    void positionCaptionFloors();
    void strokesLeaveNoGaps();
    void onlyCompleteSanePicturesLoad_data();
    void onlyCompleteSanePicturesLoad();
};

void TestCanvas::startsWhiteWithPenOneInBlack()
{
    const Canvas canvas;
    QCOMPARE(setPixels(canvas), 0);
    QCOMPARE(canvas.penSize(), 1);
    QCOMPARE(canvas.drawColour(), Canvas::Black);
    QCOMPARE(canvas.colourAt(127, 63), Canvas::White);
}

void TestCanvas::onlyExactBlackIsSet_data()
{
    QTest::addColumn<QRgb>("colour");
    QTest::addColumn<bool>("set");
    QTest::newRow("black") << qRgb(0, 0, 0) << true;
    QTest::newRow("dark red") << qRgb(1, 0, 0) << false;
    QTest::newRow("dark blue") << qRgb(0, 0, 1) << false;
    QTest::newRow("dark grey") << qRgb(16, 16, 16) << false;
    QTest::newRow("white") << qRgb(255, 255, 255) << false;
}

void TestCanvas::onlyExactBlackIsSet()
{
    QFETCH(QRgb, colour);
    QFETCH(bool, set);
    Canvas canvas;
    canvas.placePicture(filled(1, 1, colour));
    QCOMPARE(canvas.pixelIsSet(0, 0), set);
    QCOMPARE(canvas.pixelIsSet(1, 0), false);
}

void TestCanvas::offCanvasReadsAreClear()
{
    Canvas canvas;
    canvas.placePicture(filled(128, 64, qRgb(0, 0, 0)));
    QCOMPARE(setPixels(canvas), 128 * 64);
    QVERIFY(!canvas.pixelIsSet(128, 0));
    QVERIFY(!canvas.pixelIsSet(0, -1));
    QVERIFY(!canvas.pixelIsSet(-1, 0));
    QVERIFY(!canvas.pixelIsSet(0, 64));
    QVERIFY(!canvas.pixelIsSet(100000, 100000));
}

void TestCanvas::dotsHaveTheirDiameterAndClipAtEdges_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<int>("painted");
    QTest::addColumn<int>("spanX"); // columns covered; 0 to skip

    QTest::newRow("x2 in the middle") << 2 << 40.0 << 20.0 << 4 << 2;
    QTest::newRow("x3 in the middle") << 3 << 40.0 << 20.0 << 9 << 3;
    QTest::newRow("x4 in the middle") << 4 << 40.0 << 20.0 << 12 << 4;
    QTest::newRow("x5 in the middle") << 5 << 40.0 << 20.0 << 21 << 5;
    QTest::newRow("x10 in the middle") << 10 << 40.0 << 20.0 << 80 << 10;
    QTest::newRow("x10 at the top-left corner") << 10 << 0.0 << 0.0 << 20 << 5;
    QTest::newRow("x10 at the bottom-right corner") << 10 << 128.0 << 64.0 << 20 << 5;
    QTest::newRow("x5 just off the left edge") << 5 << -1.0 << 10.0 << 8 << 2;
}

void TestCanvas::dotsHaveTheirDiameterAndClipAtEdges()
{
    QFETCH(int, size);
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(int, painted);
    QFETCH(int, spanX);
    Canvas canvas;
    canvas.setPenSize(size);
    canvas.plotDot(x, y);
    QCOMPARE(setPixels(canvas), painted);

    int minX = Canvas::Width, maxX = -1;
    for (int py = 0; py < Canvas::Height; ++py)
        for (int px = 0; px < Canvas::Width; ++px)
            if (canvas.pixelIsSet(px, py)) {
                minX = qMin(minX, px);
                maxX = qMax(maxX, px);
            }
    QCOMPARE(maxX - minX + 1, spanX);
}

void TestCanvas::dotOfOneIsThePixelUnderThePoint()
{
    Canvas canvas;
    canvas.plotDot(12.9, 40.1);
    QVERIFY(canvas.pixelIsSet(12, 40));
    QCOMPARE(setPixels(canvas), 1);
    canvas.plotDot(-0.5, 3.0); // floors to -1: off the canvas
    canvas.plotDot(127.99, 63.99);
    QVERIFY(canvas.pixelIsSet(127, 63));
    QCOMPARE(setPixels(canvas), 2);
}

void TestCanvas::eraseMakesPixelsClear()
{
    Canvas canvas;
    canvas.setPenSize(10);
    canvas.plotDot(20, 20);
    canvas.setDrawColour(Canvas::White);
    canvas.setPenSize(1);
    canvas.plotDot(20.5, 20.5);
    QVERIFY(!canvas.pixelIsSet(20, 20));
    QVERIFY(canvas.pixelIsSet(21, 20));
    QCOMPARE(canvas.colourAt(20, 20), Canvas::White);
}

void TestCanvas::farAwayAndNonFiniteDotsPaintNothing()
{
    Canvas canvas;
    canvas.setPenSize(10);
    for (double v : {1e300, -1e300, std::numeric_limits<double>::infinity(), std::nan("")}) {
        canvas.plotDot(v, 10);
        canvas.plotDot(10, v);
    }
    QCOMPARE(setPixels(canvas), 0);
}

void TestCanvas::placePictureClipsAndReplacesEverything()
{
    Canvas canvas;
    canvas.setPenSize(10);
    canvas.plotDot(100, 50);

    canvas.placePicture(filled(64, 32, qRgb(0, 0, 0)));
    QCOMPARE(setPixels(canvas), 64 * 32);
    QVERIFY(canvas.pixelIsSet(63, 31));
    QVERIFY(!canvas.pixelIsSet(64, 31));
    QVERIFY(!canvas.pixelIsSet(100, 50)); // the drawing is gone

    QImage big = filled(256, 128, qRgb(255, 255, 255));
    big.setPixel(127, 63, qRgb(0, 0, 0));
    big.setPixel(128, 10, qRgb(0, 0, 0));
    big.setPixel(10, 64, qRgb(0, 0, 0));
    canvas.placePicture(big);
    QCOMPARE(setPixels(canvas), 1);
    QVERIFY(canvas.pixelIsSet(127, 63));
}

void TestCanvas::canvasImageRoundTrips()
{
    Canvas canvas;
    canvas.setPenSize(3);
    canvas.plotDot(5, 5);
    QImage coloured = canvas.canvasImage();
    coloured.setPixel(50, 50, qRgb(16, 16, 16));
    Canvas copy;
    copy.placePicture(coloured);
    for (int y = 0; y < Canvas::Height; ++y)
        for (int x = 0; x < Canvas::Width; ++x)
            QCOMPARE(copy.colourAt(x, y), coloured.pixel(x, y) & 0xFFFFFF);
}

void TestCanvas::clearDropsEverythingButKeepsPenAndColour()
{
    Canvas canvas;
    canvas.placePicture(filled(128, 64, qRgb(0, 0, 0)));
    canvas.setPenSize(5);
    canvas.setDrawColour(Canvas::White);
    canvas.setHalfHeight(true);
    canvas.clearCanvas();
    canvas.setHalfHeight(false);
    QCOMPARE(setPixels(canvas), 0);
    QCOMPARE(canvas.penSize(), 5);
    QCOMPARE(canvas.drawColour(), Canvas::White);
}

void TestCanvas::halfHeightHidesAndKeepsLowerRows()
{
    Canvas canvas;
    canvas.placePicture(filled(128, 64, qRgb(0, 0, 0)));
    canvas.setHalfHeight(true);
    QCOMPARE(setPixels(canvas), 128 * 32);
    for (int y = 32; y < 64; ++y)
        QVERIFY(!canvas.pixelIsSet(0, y));

    // A stroke dragged past the bottom of the halved box leaves the hidden
    // rows as they were.
    canvas.setDrawColour(Canvas::White);
    canvas.setPenSize(10);
    canvas.plotDot(10, 34);
    QVERIFY(!canvas.pixelIsSet(10, 31));
    canvas.setHalfHeight(false);
    QVERIFY(canvas.pixelIsSet(10, 34));
    for (int y = 32; y < 64; ++y)
        for (int x = 0; x < 128; ++x)
            QVERIFY(canvas.pixelIsSet(x, y));
}

void TestCanvas::toggleTwiceRestoresTheView()
{
    const DisplayHeight half = toggledDisplayHeight(false, 1020, 64);
    QVERIFY(half.halfHeight);
    QCOMPARE(half.outerHeightTwips, 510.0);
    QCOMPARE(half.scaleHeight, 32);
    QCOMPARE(half.caption, QStringLiteral("128x32"));

    const DisplayHeight full = toggledDisplayHeight(half.halfHeight, 1020, 64);
    QVERIFY(!full.halfHeight);
    QCOMPARE(full.outerHeightTwips, 1020.0);
    QCOMPARE(full.scaleHeight, 64);
    QCOMPARE(full.caption, QStringLiteral("128x64"));

    QCOMPARE(toggledDisplayHeight(false, 1021, 64).outerHeightTwips, 510.5);
}

void TestCanvas::positionCaptionFloors()
{
    QCOMPARE(positionCaption(12.5, 40.9), QStringLiteral("X:12 Y:40"));
    QCOMPARE(positionCaption(-2.5, 70), QStringLiteral("X:-3 Y:70"));
    QCOMPARE(positionCaption(0, -0.1), QStringLiteral("X:0 Y:-1"));
}

void TestCanvas::strokesLeaveNoGaps()
{
    Canvas canvas;
    plotStroke(canvas, 0, 0, 127.9, 63.9);
    // Every column and every row of a steep or flat line is reached.
    for (int x = 0; x < 128; ++x) {
        bool any = false;
        for (int y = 0; y < 64; ++y)
            any = any || canvas.pixelIsSet(x, y);
        QVERIFY2(any, qPrintable(QString::number(x)));
    }
    Canvas steep;
    plotStroke(steep, 3.5, 0, 5.5, 63.5);
    for (int y = 0; y < 64; ++y) {
        bool any = false;
        for (int x = 0; x < 128; ++x)
            any = any || steep.pixelIsSet(x, y);
        QVERIFY2(any, qPrintable(QString::number(y)));
    }
    // The start point belongs to the previous event: a zero-length move
    // paints the end point only.
    Canvas still;
    plotStroke(still, 9.5, 9.5, 9.5, 9.5);
    QCOMPARE(setPixels(still), 1);
    // A jump from far off the canvas does not stall.
    Canvas far;
    plotStroke(far, -1e12, -1e12, 10, 10);
    QVERIFY(far.pixelIsSet(10, 10));
}

void TestCanvas::onlyCompleteSanePicturesLoad_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("loads");

    // Run-length 4 x 3 pictures, bottom row first, a run of one value a row.
    const auto rle8 = [](const char *hex) { return bmpFile(4, 3, 8, Rle8, QByteArray::fromHex(hex)); };
    const auto rle4 = [](const char *hex) { return bmpFile(4, 3, 4, Rle4, QByteArray::fromHex(hex)); };
    QTest::newRow("RLE8 line ends, end mark") << rle8("0401 0000 0402 0000 0403 0000 0001") << true;
    QTest::newRow("RLE8 no end mark, last line ended") << rle8("0401 0000 0402 0000 0403 0000") << true;
    QTest::newRow("RLE8 no end mark, last row full") << rle8("0401 0000 0402 0000 0403") << true;
    QTest::newRow("RLE8 end mark before the last row") << rle8("0401 0001") << true;
    QTest::newRow("RLE8 jump past the last row") << rle8("0401 0002 0005") << true;
    QTest::newRow("RLE8 pixels as they are") << rle8("0004 01020304 0000 0003 050607 00 0000 0004 08090a0b") << true;
    QTest::newRow("RLE8 no data") << rle8("") << false;
    QTest::newRow("RLE8 cut after the first row") << rle8("0401 0000") << false;
    QTest::newRow("RLE8 cut within the last row") << rle8("0401 0000 0402 0000 0203") << false;
    QTest::newRow("RLE8 cut in a jump") << rle8("0401 0002 00") << false;
    QTest::newRow("RLE8 cut in an escape") << rle8("0401 0000 0402 00") << false;
    QTest::newRow("RLE4 line ends, end mark") << rle4("0412 0000 0434 0000 0456 0000 0001") << true;
    QTest::newRow("RLE4 pixels as they are") << rle4("0003 1230 0000 0004 4567 0000 0001 10 00") << true;
    QTest::newRow("RLE4 cut after the second row") << rle4("0412 0000 0434 0000") << false;
    QTest::newRow("RLE4 cut in pixels as they are") << rle4("0412 0000 0003 12") << false;

    // Headers no picture has: refused before any size is computed from them.
    const QByteArray some(64, '\x55');
    QTest::newRow("largest sides") << bmpFile(INT_MAX, INT_MAX, 24, Uncompressed, some) << false;
    QTest::newRow("smallest height") << bmpFile(128, INT_MIN, 24, Uncompressed, some) << false;
    QTest::newRow("negative width") << bmpFile(-128, 64, 24, Uncompressed, some) << false;
    QTest::newRow("65535 bits a pixel") << bmpFile(16384, 16384, 65535, Uncompressed, some) << false;
    QTest::newRow("RLE8, largest sides") << bmpFile(INT_MAX, INT_MAX, 8, Rle8, QByteArray::fromHex("0001")) << false;
    QTest::newRow("RLE4, smallest height") << bmpFile(4, INT_MIN, 4, Rle4, QByteArray::fromHex("0001")) << false;
    QTest::newRow("data beyond the end") << bmpFile(4, 3, 24, Uncompressed, QByteArray(48, 0), UINT_MAX) << false;
    // The reader's limit on a side, and one past it: both files complete.
    QTest::newRow("16384 wide") << bmpFile(16384, 1, 24, Uncompressed, QByteArray(16384 * 3, 0)) << true;
    QTest::newRow("16385 wide") << bmpFile(16385, 1, 24, Uncompressed, QByteArray(16388 * 3, 0)) << false;
    // A GIF whose size shows only once it is read: 19850 wide.
    QTest::newRow("GIF beyond the limit") << QByteArray::fromBase64("R0lGODlhik0BAACAGiwBAACAAQAAAAAAAADi") << false;
    // Cut off: the decoders fill in the rest and report success, or only warn.
    const QByteArray gif =
        QByteArray::fromBase64("R0lGODlhCAAIAPABAAAAAP///yH5BAAAAAAALAAAAAAIAAgAAAIIjI95oO0PUwEAOw==");
    QTest::newRow("GIF whole") << gif << true;
    QTest::newRow("GIF cut off") << gif.chopped(3) << false;
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    QImage noise(64, 64, QImage::Format_RGB32);
    for (int i = 0; i < 64 * 64; ++i)
        noise.setPixel(i % 64, i / 64, qRgb(i * 37 % 256, i * 91 % 256, i * 13 % 256));
    QVERIFY(buffer.open(QIODevice::WriteOnly) && noise.save(&buffer, "jpeg"));
    QTest::newRow("JPEG whole") << jpeg << true;
    QTest::newRow("JPEG cut off") << jpeg.left(jpeg.size() / 2) << false;
}

void TestCanvas::onlyCompleteSanePicturesLoad()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, loads);
    // Also from a device on which the picture starts further on.
    for (const QByteArray &before : {QByteArray(), QByteArray("odd")}) {
        QBuffer buffer;
        buffer.setData(before + file);
        QVERIFY(buffer.open(QIODevice::ReadOnly) && buffer.seek(before.size()));
        QCOMPARE(readPicture(buffer).has_value(), loads);
    }
}

VOXCEL_TEST_APPLESS_MAIN(TestCanvas)
#include "test_canvas.moc"
