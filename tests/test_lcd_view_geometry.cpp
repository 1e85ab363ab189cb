// Where the LCD View opens beside the main window, and zooming around the pointer.
#include "app/lcd_view_geometry.h"
#include "support/test_main.h"

#include <QtTest>

class TestLcdViewGeometry : public QObject
{
    Q_OBJECT
private slots:
    void placement_data();
    void placement();
    void zoomKeepsTheDot();
};

void TestLcdViewGeometry::placement_data()
{
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QRect>("main");
    QTest::addColumn<int>("zoom");
    QTest::addColumn<QRect>("frame");
    // The main window centred, as it starts; a 30-pixel panel at the bottom.
    QTest::newRow("1366x768, centred") << QRect(0, 0, 1366, 738) << QRect(433, 129, 500, 480) << 3
                                       << QRect(933, 129, 420, 342);
    QTest::newRow("1366x768, left") << QRect(0, 0, 1366, 738) << QRect(0, 0, 500, 480) << 6 << QRect(500, 0, 798, 534);
    QTest::newRow("1920x1080, centred") << QRect(0, 0, 1920, 1050) << QRect(710, 285, 500, 480) << 5
                                        << QRect(1210, 285, 670, 470);
    QTest::newRow("right, second screen")
        << QRect(1920, 0, 1366, 738) << QRect(2786, 100, 500, 480) << 6 << QRect(1988, 100, 798, 534);
    QTest::newRow("room only below") << QRect(0, 0, 1366, 738) << QRect(0, 0, 1366, 300) << 4
                                     << QRect(0, 300, 542, 406);
    QTest::newRow("no room: smallest, on screen")
        << QRect(0, 0, 800, 600) << QRect(150, 60, 500, 480) << 2 << QRect(380, 60, 420, 300);
}

void TestLcdViewGeometry::placement()
{
    QFETCH(QRect, available);
    QFETCH(QRect, main);
    QFETCH(int, zoom);
    QFETCH(QRect, frame);
    const LcdViewPlace placed = placeLcdView({available, main, QSize(128, 64), QSize(30, 150), QSize(420, 300), 2, 16});
    QCOMPARE(placed.zoom, zoom);
    QCOMPARE(placed.frame, frame);
    QVERIFY(available.contains(frame) && (zoom == 2 || !frame.intersects(main)));
}

void TestLcdViewGeometry::zoomKeepsTheDot()
{
    // In; in again; out until it fits; the pointer beside the picture.
    const QSize dots(128, 64), visible(400, 300);
    QCOMPARE(scrollKeepingDot(dots, 4, 5, visible, {50, 0}, {100, 150}), QPoint(88, 10));
    QCOMPARE(scrollKeepingDot(dots, 5, 6, visible, {88, 10}, {100, 150}), QPoint(126, 42));
    QCOMPARE(scrollKeepingDot(dots, 5, 2, visible, {88, 10}, {100, 150}), QPoint(0, 0));
    QCOMPARE(scrollKeepingDot(dots, 2, 4, visible, {0, 0}, {390, 10}), QPoint(112, 0));
}

VOXCEL_TEST_APPLESS_MAIN(TestLcdViewGeometry)
#include "test_lcd_view_geometry.moc"
