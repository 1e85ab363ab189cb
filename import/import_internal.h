#pragma once

// What reading (step 1) and scaling (step 2) of the picture import both use;
// not part of the public import/picture_import.h.

#include <QImage>
#include <QPoint>
#include <QSize>

inline constexpr quint8 WhiteLevel = 255;
inline constexpr quint8 Opaque = 255;
inline constexpr quint8 SeeThrough = 0;

// The top-left corner, in picture pixels, of the target-sized window centred
// on the picture (negative when the picture is the smaller). An odd pixel
// left over goes to the right and bottom, as under Fit.
inline QPoint windowOrigin(QSize picture, QSize target)
{
    return {(picture.width() - target.width()) / 2, (picture.height() - target.height()) / 2};
}

inline QImage filledGrey(QSize size, quint8 level)
{
    QImage grey(size, QImage::Format_Grayscale8);
    grey.fill(level);
    return grey;
}

inline QImage whiteGrey(QSize size)
{
    return filledGrey(size, WhiteLevel);
}
