#include "canvas/drawing.h"

#include "canvas/canvas.h"

#include <cmath>

QString positionCaption(double x, double y)
{
    auto text = [](double v) {
        return std::isfinite(v) ? QString::number(static_cast<long long>(std::floor(v))) : QStringLiteral("?");
    };
    return QStringLiteral("X:") + text(x) + QStringLiteral(" Y:") + text(y);
}

void plotStroke(Canvas &canvas, double fromX, double fromY, double toX, double toY)
{
    const double dx = toX - fromX;
    const double dy = toY - fromY;
    const double length = std::hypot(dx, dy);
    if (!std::isfinite(length)) {
        canvas.plotDot(toX, toY);
        return;
    }
    // Half a canvas unit between dots: no pixel of the line is skipped.
    // The canvas is 128 wide, so a longer step count only repeats dots off it.
    const int steps = static_cast<int>(std::ceil(std::min(length, 400.0) * 2.0));
    for (int i = 1; i <= steps; ++i) {
        const double t = static_cast<double>(i) / steps;
        canvas.plotDot(fromX + dx * t, fromY + dy * t);
    }
    if (steps == 0)
        canvas.plotDot(toX, toY);
}
