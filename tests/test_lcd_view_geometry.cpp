// Where the LCD View opens beside the main window, and zooming around the pointer.
#include "app/lcd_view_geometry.h"

#include <QtTest>

Q_DECLARE_METATYPE(LcdViewPlace)

class TestLcdViewGeometry : public QObject
{
    Q_OBJECT
private slots:
    void placement_data();
    void placement();
    void zoomKeepsTheDot_data();
    void zoomKeepsTheDot();
};

void TestLcdViewGeometry::placement_data()
{
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QRect>("main");
    QTest::addColumn<LcdViewPlace>("place");
    // The main window centred, as it starts; a 30-pixel panel at the bottom.
    QTest::newRow("1366x768, main centred")
        << QRect(0, 0, 1366, 738) << QRect(433, 129, 500, 480) << LcdViewPlace{3, QRect(933, 129, 420, 342)};
    QTest::newRow("1366x768, main at the left")
        << QRect(0, 0, 1366, 738) << QRect(0, 0, 500, 480) << LcdViewPlace{6, QRect(500, 0, 798, 534)};
    QTest::newRow("1920x1080, main centred")
        << QRect(0, 0, 1920, 1050) << QRect(710, 285, 500, 480) << LcdViewPlace{5, QRect(1210, 285, 670, 470)};
    QTest::newRow("main at the right, on a second screen")
        << QRect(1920, 0, 1366, 738) << QRect(2786, 100, 500, 480) << LcdViewPlace{6, QRect(1988, 100, 798, 534)};
    QTest::newRow("room only below") << QRect(0, 0, 1366, 738) << QRect(0, 0, 1366, 300)
                                     << LcdViewPlace{4, QRect(0, 300, 542, 406)};
    QTest::newRow("no room: the smallest, on the screen")
        << QRect(0, 0, 800, 600) << QRect(150, 60, 500, 480) << LcdViewPlace{2, QRect(380, 60, 420, 300)};
}

void TestLcdViewGeometry::placement()
{
    QFETCH(QRect, available);
    QFETCH(QRect, main);
    QFETCH(LcdViewPlace, place);
    const LcdViewRoom room{available, main, QSize(128, 64), QSize(30, 150), QSize(420, 300), 2, 16};
    const LcdViewPlace placed = placeLcdView(room);
    QCOMPARE(placed.zoom, place.zoom);
    QCOMPARE(placed.frame, place.frame);
    QVERIFY(available.contains(placed.frame));
    if (placed.zoom > room.minZoom)
        QVERIFY(!placed.frame.intersects(main));
}

void TestLcdViewGeometry::zoomKeepsTheDot_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QPoint>("scroll");
    QTest::addColumn<QPointF>("pointer");
    QTest::addColumn<QPoint>("after");
    // 128x64 dots in a visible area of 400x300.
    QTest::newRow("in, scrolled across, centred down")
        << 4 << 5 << QPoint(50, 0) << QPointF(100, 150) << QPoint(88, 10);
    QTest::newRow("in again from there") << 5 << 6 << QPoint(88, 10) << QPointF(100, 150) << QPoint(126, 42);
    QTest::newRow("out until it fits: centred") << 5 << 2 << QPoint(88, 10) << QPointF(100, 150) << QPoint(0, 0);
    QTest::newRow("pointer beside the picture: to the edge")
        << 2 << 4 << QPoint(0, 0) << QPointF(390, 10) << QPoint(112, 0);
}

void TestLcdViewGeometry::zoomKeepsTheDot()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QPoint, scroll);
    QFETCH(QPointF, pointer);
    QFETCH(QPoint, after);
    QCOMPARE(scrollKeepingDot(QSize(128, 64), from, to, QSize(400, 300), scroll, pointer), after);
}

QTEST_APPLESS_MAIN(TestLcdViewGeometry)
#include "test_lcd_view_geometry.moc"
