// The LCD View's rasteriser: shapes, their Shift constraints and the flood
// fill, dot by dot on the canvas.
#include "canvas/shapes.h"
#include "support/test_main.h"

#include <QtTest>

namespace {
using Dots = QVector<QPoint>;

int setCount(const Canvas &canvas)
{
    int count = 0;
    for (int y = 0; y < Canvas::Height; ++y)
        for (int x = 0; x < Canvas::Width; ++x)
            count += canvas.pixelIsSet(x, y) ? 1 : 0;
    return count;
}

Canvas painted(Shape shape, QPoint from, QPoint to, bool half = false)
{
    Canvas canvas;
    canvas.setHalfHeight(half);
    paintDots(canvas, shapeDots(shape, from, to), Canvas::Black);
    return canvas;
}
} // namespace

class TestShapes : public QObject
{
    Q_OBJECT
private slots:
    void dotsOfShapes_data();
    void dotsOfShapes();
    void clippedAtTheEdges_data();
    void clippedAtTheEdges();
    void shiftConstrains_data();
    void shiftConstrains();
    void floodFill_data();
    void floodFill();
};

void TestShapes::dotsOfShapes_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<int>("count");
    QTest::addColumn<Dots>("included");
    auto row = [](const char *name, Shape shape, QPoint from, QPoint to, int count, Dots included) {
        QTest::newRow(name) << int(shape) << from << to << count << included;
    };
    row("line: both ends", Shape::Line, {2, 3}, {9, 5}, 8, {{2, 3}, {9, 5}});
    row("line backwards: both ends", Shape::Line, {9, 5}, {2, 3}, 8, {{2, 3}, {9, 5}});
    row("steep line", Shape::Line, {4, 1}, {5, 11}, 11, {{4, 1}, {5, 11}});
    row("line of one dot", Shape::Line, {4, 4}, {4, 4}, 1, {{4, 4}});
    row("rectangle: corners", Shape::Rectangle, {3, 3}, {0, 0}, 12, {{0, 0}, {3, 3}, {0, 3}, {3, 0}});
    row("rectangle of zero width", Shape::Rectangle, {5, 2}, {5, 6}, 5, {{5, 2}, {5, 6}});
    row("rectangle of one dot", Shape::Rectangle, {7, 7}, {7, 7}, 1, {{7, 7}});
    row("filled rectangle", Shape::FilledRectangle, {1, 1}, {3, 2}, 6, {{2, 1}, {3, 2}});
    row("ellipse of one dot", Shape::Ellipse, {6, 6}, {6, 6}, 1, {{6, 6}});
    row("ellipse of zero height", Shape::Ellipse, {0, 9}, {6, 9}, 7, {{0, 9}, {6, 9}});
    row("ellipse touches its box", Shape::Ellipse, {10, 10}, {30, 20}, -1, {{20, 10}, {20, 20}, {10, 15}, {30, 15}});
}

void TestShapes::dotsOfShapes()
{
    QFETCH(int, shape);
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(int, count);
    QFETCH(Dots, included);
    const Canvas canvas = painted(Shape(shape), from, to);
    if (count >= 0)
        QCOMPARE(setCount(canvas), count);
    for (const QPoint &dot : included)
        QVERIFY2(canvas.pixelIsSet(dot.x(), dot.y()), qPrintable(QStringLiteral("%1,%2").arg(dot.x()).arg(dot.y())));
    // Nothing outside the box the two points span.
    const QRect box(QPoint(qMin(from.x(), to.x()), qMin(from.y(), to.y())),
                    QPoint(qMax(from.x(), to.x()), qMax(from.y(), to.y())));
    QCOMPARE(setCount(painted(Shape::FilledRectangle, box.topLeft(), box.bottomRight())), box.width() * box.height());
    Canvas outside = canvas;
    paintDots(outside, shapeDots(Shape::FilledRectangle, box.topLeft(), box.bottomRight()), Canvas::White);
    QCOMPARE(setCount(outside), 0);
}

void TestShapes::clippedAtTheEdges_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<bool>("half");
    QTest::addColumn<int>("count");
    QTest::newRow("line from above left") << int(Shape::Line) << QPoint(-10, -10) << QPoint(10, 10) << false << 11;
    QTest::newRow("box past the bottom right")
        << int(Shape::FilledRectangle) << QPoint(120, 60) << QPoint(140, 70) << false << 32;
    QTest::newRow("box across row 32 in 128x32")
        << int(Shape::FilledRectangle) << QPoint(0, 28) << QPoint(3, 40) << true << 16;
    QTest::newRow("ellipse far off") << int(Shape::Ellipse) << QPoint(-500, -500) << QPoint(-400, 900) << false << 0;
}

void TestShapes::clippedAtTheEdges()
{
    QFETCH(int, shape);
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(bool, half);
    QFETCH(int, count);
    const Canvas canvas = painted(Shape(shape), from, to, half);
    QCOMPARE(setCount(canvas), count);
    // Rows hidden in 128x32 keep what they held.
    QCOMPARE(canvas.colourAt(0, 32), half ? Canvas::White : canvas.colourAt(0, 32));
}

void TestShapes::shiftConstrains_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<QPoint>("end");
    QTest::newRow("nearly flat line") << int(Shape::Line) << QPoint(10, 3) << QPoint(10, 0);
    QTest::newRow("nearly upright line") << int(Shape::Line) << QPoint(-3, 10) << QPoint(0, 10);
    QTest::newRow("nearly diagonal line") << int(Shape::Line) << QPoint(10, 8) << QPoint(10, 10);
    QTest::newRow("diagonal up left") << int(Shape::Line) << QPoint(-7, -6) << QPoint(-7, -7);
    QTest::newRow("rectangle to a square") << int(Shape::Rectangle) << QPoint(5, -9) << QPoint(9, -9);
    QTest::newRow("ellipse to a circle") << int(Shape::Ellipse) << QPoint(-4, 2) << QPoint(-4, 4);
    QTest::newRow("rectangle straight down") << int(Shape::Rectangle) << QPoint(0, 6) << QPoint(6, 6);
    QTest::newRow("ellipse straight down") << int(Shape::Ellipse) << QPoint(0, 6) << QPoint(6, 6);
}

void TestShapes::shiftConstrains()
{
    QFETCH(int, shape);
    QFETCH(QPoint, to);
    QFETCH(QPoint, end);
    const QPoint from(20, 20);
    QCOMPARE(constrainedEnd(Shape(shape), from, from + to), from + end);
}

void TestShapes::floodFill_data()
{
    QTest::addColumn<bool>("half");
    QTest::addColumn<QPoint>("seed");
    QTest::addColumn<QRgb>("colour");
    QTest::addColumn<int>("count");
    // A diagonal from (0,10) to (10,0): 11 dots, 55 more above it.
    QTest::newRow("bounded by a diagonal") << false << QPoint(0, 0) << Canvas::Black << 66;
    QTest::newRow("below the diagonal") << false << QPoint(127, 63) << Canvas::Black
                                        << Canvas::Width * Canvas::Height - 55;
    QTest::newRow("not past row 32 in 128x32") << true << QPoint(127, 0) << Canvas::Black << Canvas::Width * 32 - 55;
    QTest::newRow("right button clears one dot of it") << false << QPoint(5, 5) << Canvas::White << 10;
    QTest::newRow("already clear") << false << QPoint(0, 0) << Canvas::White << 11;
    QTest::newRow("off the canvas") << false << QPoint(-1, 0) << Canvas::Black << 11;
}

void TestShapes::floodFill()
{
    QFETCH(bool, half);
    QFETCH(QPoint, seed);
    QFETCH(QRgb, colour);
    QFETCH(int, count);
    Canvas canvas = painted(Shape::Line, {0, 10}, {10, 0}, half);
    ::floodFill(canvas, seed, colour);
    QCOMPARE(setCount(canvas), count);
}

VOXCEL_TEST_APPLESS_MAIN(TestShapes)
#include "test_shapes.moc"
