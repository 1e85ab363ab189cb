#pragma once

#include "import/picture_import.h"

#include <QImage>
#include <QPainter>
#include <QRect>
#include <QSize>

// Pictures for the picture import's tests, and checks of the dots they
// become.

inline const QSize Full(128, 64);
inline const QSize Half(128, 32);

inline QImage flat(QSize size, int level)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(qRgb(level, level, level));
    return image;
}

// White with the top-left quarter (rounded up) black.
inline QImage quarterPicture(QSize size)
{
    QImage image = flat(size, 255);
    QPainter(&image).fillRect(0, 0, (size.width() + 1) / 2, (size.height() + 1) / 2, Qt::black);
    return image;
}

inline bool isDot(const QImage &dots, int x, int y)
{
    return dots.pixel(x, y) == qRgb(0, 0, 0);
}

// Pixels that are not black inside the rectangle and pure white outside it.
inline int mismatches(const QImage &dots, const QRect &black)
{
    int count = 0;
    for (int y = 0; y < dots.height(); ++y)
        for (int x = 0; x < dots.width(); ++x)
            count += dots.pixel(x, y) != (black.contains(x, y) ? qRgb(0, 0, 0) : qRgb(255, 255, 255)) ? 1 : 0;
    return count;
}

// The threshold is automatic unless one is given.
inline ImportOptions options(ImportFit fit, ImportDither dither = ImportDither::None, int threshold = -1)
{
    ImportOptions o;
    o.fit = fit;
    o.dither = dither;
    o.autoThreshold = threshold < 0;
    o.threshold = threshold < 0 ? 128 : threshold;
    return o;
}

inline QImage dotsOf(const QImage &picture, QSize target, const ImportOptions &o)
{
    PictureImport import(picture, target);
    import.setOptions(o);
    return import.picture();
}
