#include "canvas/canvas.h"

#include <cmath>

Canvas::Canvas()
{
    pixels_.fill(White);
}

void Canvas::plotDot(double x, double y)
{
    if (!std::isfinite(x) || !std::isfinite(y))
        return;
    auto paint = [this](long long px, long long py) {
        if (px >= 0 && px < Width && py >= 0 && py < shownRows_)
            pixels_[static_cast<std::size_t>(py * Width + px)] = drawColour_;
    };
    // Far-off points cannot touch the canvas; keep the arithmetic small.
    const double reach = penSize_ + 1.0;
    if (x < -reach || y < -reach || x > Width + reach || y > Height + reach)
        return;

    if (penSize_ <= 1) {
        paint(static_cast<long long>(std::floor(x)), static_cast<long long>(std::floor(y)));
        return;
    }
    // An odd diameter is centred on the middle of the pixel under the point,
    // an even one on the nearest pixel corner, so every size is symmetric.
    // A pixel is painted when its centre lies within the dot's radius.
    const double radius = penSize_ / 2.0;
    const bool odd = penSize_ % 2 == 1;
    const double cx = odd ? std::floor(x) + 0.5 : std::nearbyint(x);
    const double cy = odd ? std::floor(y) + 0.5 : std::nearbyint(y);
    const long long left = static_cast<long long>(std::floor(cx - radius));
    const long long top = static_cast<long long>(std::floor(cy - radius));
    for (long long py = top; py < top + penSize_ + 1; ++py) {
        for (long long px = left; px < left + penSize_ + 1; ++px) {
            const double dx = px + 0.5 - cx;
            const double dy = py + 0.5 - cy;
            if (dx * dx + dy * dy <= radius * radius)
                paint(px, py);
        }
    }
}

void Canvas::clearCanvas()
{
    pixels_.fill(White);
}

void Canvas::placePicture(const QImage &picture)
{
    pixels_.fill(White);
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    const int w = qMin(rgb.width(), Width);
    const int h = qMin(rgb.height(), Height);
    for (int y = 0; y < h; ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < w; ++x)
            pixels_[static_cast<std::size_t>(y * Width + x)] = line[x] & 0xFFFFFF;
    }
}

QImage Canvas::canvasImage() const
{
    QImage image(Width, Height, QImage::Format_RGB32);
    for (int y = 0; y < Height; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < Width; ++x)
            line[x] = 0xFF000000u | pixels_[static_cast<std::size_t>(y * Width + x)];
    }
    return image;
}
