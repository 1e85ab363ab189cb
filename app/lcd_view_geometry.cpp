#include "app/lcd_view_geometry.h"

#include <QtGlobal>
#include <cmath>

namespace {
enum class Side { Left, Right, Above, Below };

QRect roomOn(Side side, const QRect &available, const QRect &main)
{
    // Each side's room reaches over the whole screen the other way.
    switch (side) {
    case Side::Left:
        return QRect(QPoint(available.left(), available.top()), QPoint(main.left() - 1, available.bottom()));
    case Side::Right:
        return QRect(QPoint(main.right() + 1, available.top()), available.bottomRight());
    case Side::Above:
        return QRect(available.topLeft(), QPoint(available.right(), main.top() - 1));
    case Side::Below:
        return QRect(QPoint(available.left(), main.bottom() + 1), available.bottomRight());
    }
    return QRect();
}

bool fits(QSize size, const QRect &free)
{
    return free.isValid() && size.width() <= free.width() && size.height() <= free.height();
}

qint64 area(const QRect &rect)
{
    return rect.isValid() ? qint64(rect.width()) * rect.height() : 0;
}

// Start and length along one axis: `start` wanted, kept within
// [low, low + room) where the length fits.
int within(int start, int length, int low, int room)
{
    return length >= room ? low : qBound(low, start, low + room - length);
}
} // namespace

QSize lcdViewSize(const LcdViewRoom &room, int zoom)
{
    return (room.dots * zoom + room.around).expandedTo(room.minimum);
}

LcdViewPlace placeLcdView(const LcdViewRoom &room)
{
    constexpr Side Sides[] = {Side::Right, Side::Left, Side::Below, Side::Above};
    Side best = Side::Right;
    int bestZoom = 0;
    qint64 bestArea = -1;
    for (const Side side : Sides) {
        const QRect free = roomOn(side, room.available, room.mainFrame);
        int zoom = room.maxZoom;
        while (zoom >= room.minZoom && !fits(lcdViewSize(room, zoom), free))
            --zoom;
        zoom = qMax(zoom, 0); // 0: not even the smallest fits
        if (zoom > bestZoom || (zoom == bestZoom && area(free) > bestArea)) {
            best = side;
            bestZoom = zoom;
            bestArea = area(free);
        }
    }
    const int zoom = qMax(bestZoom, room.minZoom);
    const QSize size = lcdViewSize(room, zoom);
    const QRect &main = room.mainFrame;
    QPoint at;
    switch (best) {
    case Side::Left:
        at = {main.left() - size.width(), main.top()};
        break;
    case Side::Right:
        at = {main.right() + 1, main.top()};
        break;
    case Side::Above:
        at = {main.left(), main.top() - size.height()};
        break;
    case Side::Below:
        at = {main.left(), main.bottom() + 1};
        break;
    }
    const QRect &screen = room.available;
    at = {within(at.x(), size.width(), screen.left(), screen.width()),
          within(at.y(), size.height(), screen.top(), screen.height())};
    return {zoom, QRect(at, size)};
}

QPoint scrollKeepingDot(QSize dots, int fromZoom, int toZoom, QSize visible, QPoint scroll, QPointF pointer)
{
    auto axis = [&](int count, int length, int position, double at) {
        const int before = count * fromZoom;
        const int after = count * toZoom;
        const double origin = before <= length ? (length - before) / 2 : -position;
        if (after <= length)
            return 0;
        const double dot = (at - origin) / fromZoom;
        return qBound(0, static_cast<int>(std::lround(dot * toZoom - at)), after - length);
    };
    return {axis(dots.width(), visible.width(), scroll.x(), pointer.x()),
            axis(dots.height(), visible.height(), scroll.y(), pointer.y())};
}
