#include "canvas/shapes.h"

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

// Bresenham's line: every step moves one dot along the longer axis.
void addLine(QVector<QPoint> &dots, QPoint from, QPoint to)
{
    const int dx = std::abs(to.x() - from.x());
    const int dy = -std::abs(to.y() - from.y());
    const int sx = from.x() < to.x() ? 1 : -1;
    const int sy = from.y() < to.y() ? 1 : -1;
    int error = dx + dy;
    for (QPoint p = from;;) {
        dots.append(p);
        if (p == to)
            return;
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            p.rx() += sx;
        }
        if (twice <= dx) {
            error += dx;
            p.ry() += sy;
        }
    }
}

void addRectangle(QVector<QPoint> &dots, const QRect &box, bool filled)
{
    for (int y = box.top(); y <= box.bottom(); ++y) {
        const bool edgeRow = y == box.top() || y == box.bottom();
        if (filled || edgeRow) {
            for (int x = box.left(); x <= box.right(); ++x)
                dots.append({x, y});
        } else {
            dots.append({box.left(), y});
            if (box.width() > 1)
                dots.append({box.right(), y});
        }
    }
}

// Half the extent of an ellipse's chord at `offset` from its centre, for
// semi-axes `along` (in the offset's direction) and `across`.
double halfChord(double offset, double along, double across)
{
    const double t = offset / along;
    return across * std::sqrt(std::max(0.0, 1.0 - t * t));
}

// The outline inside the box: for each column its top and bottom dot, for
// each row its left and right dot, so steep and flat parts both close.
// Each dot is mirrored, so the shape is symmetric in its box.
void addEllipse(QVector<QPoint> &dots, const QRect &box)
{
    if (box.width() <= 2 || box.height() <= 2) {
        addRectangle(dots, box, true);
        return;
    }
    const double a = (box.width() - 1) / 2.0;
    const double b = (box.height() - 1) / 2.0;
    const double cx = box.left() + a;
    const double cy = box.top() + b;
    for (int x = box.left(); x <= box.right(); ++x) {
        const int top = static_cast<int>(std::floor(cy - halfChord(x - cx, a, b) + 0.5));
        dots.append({x, top});
        dots.append({x, box.top() + box.bottom() - top});
    }
    for (int y = box.top(); y <= box.bottom(); ++y) {
        const int left = static_cast<int>(std::floor(cx - halfChord(y - cy, b, a) + 0.5));
        dots.append({left, y});
        dots.append({box.left() + box.right() - left, y});
    }
}

// The box with both points as corners, both inside it. (QRect::normalized
// would leave out a row and a column when the points come right to left.)
QRect boxOf(QPoint a, QPoint b)
{
    return QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                 QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y())));
}

} // namespace

QVector<QPoint> shapeDots(Shape shape, QPoint from, QPoint to)
{
    QVector<QPoint> dots;
    const QRect box = boxOf(from, to);
    switch (shape) {
    case Shape::Line:
        addLine(dots, from, to);
        break;
    case Shape::Rectangle:
    case Shape::FilledRectangle:
        addRectangle(dots, box, shape == Shape::FilledRectangle);
        break;
    case Shape::Ellipse:
        addEllipse(dots, box);
        break;
    }
    return dots;
}

QPoint constrainedEnd(Shape shape, QPoint from, QPoint to)
{
    const int dx = to.x() - from.x();
    const int dy = to.y() - from.y();
    const int span = std::max(std::abs(dx), std::abs(dy));
    const int sx = dx < 0 ? -1 : 1;
    const int sy = dy < 0 ? -1 : 1;
    if (shape != Shape::Line)
        return from + QPoint(sx * span, sy * span);
    // tan(22.5 degrees): below it the line is nearer flat than diagonal.
    constexpr double tan22 = 0.41421356;
    if (std::abs(dy) <= std::abs(dx) * tan22)
        return {to.x(), from.y()};
    if (std::abs(dx) <= std::abs(dy) * tan22)
        return {from.x(), to.y()};
    return from + QPoint(sx * span, sy * span);
}

void paintDots(Canvas &canvas, const QVector<QPoint> &dots, QRgb colour)
{
    for (const QPoint &dot : dots)
        canvas.paintPixel(dot.x(), dot.y(), colour);
}

void floodFill(Canvas &canvas, QPoint seed, QRgb colour)
{
    const int rows = canvas.shownRows();
    auto inside = [rows](int x, int y) { return x >= 0 && x < Canvas::Width && y >= 0 && y < rows; };
    if (!inside(seed.x(), seed.y()))
        return;
    const bool lit = canvas.pixelIsSet(seed.x(), seed.y());
    if (lit == ((colour & 0xFFFFFF) == Canvas::Black))
        return;
    std::vector<bool> done(static_cast<std::size_t>(Canvas::Width * rows));
    std::vector<QPoint> pending{seed};
    while (!pending.empty()) {
        const QPoint p = pending.back();
        pending.pop_back();
        if (!inside(p.x(), p.y()) || canvas.pixelIsSet(p.x(), p.y()) != lit)
            continue;
        const auto index = static_cast<std::size_t>(p.y() * Canvas::Width + p.x());
        if (done[index])
            continue;
        done[index] = true;
        canvas.paintPixel(p.x(), p.y(), colour);
        pending.insert(pending.end(), {{p.x() + 1, p.y()}, {p.x() - 1, p.y()}, {p.x(), p.y() + 1}, {p.x(), p.y() - 1}});
    }
}
