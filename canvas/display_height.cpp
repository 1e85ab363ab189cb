#include "canvas/display_height.h"

DisplayHeight toggledDisplayHeight(bool halfHeight, qint16 canvasFullHeight, qint16 imageHeight)
{
    DisplayHeight next;
    if (!halfHeight) {
        next.halfHeight = true;
        next.outerHeightTwips = canvasFullHeight / 2.0;
        next.scaleHeight = imageHeight / 2;
        next.caption = QStringLiteral("128x32");
    } else {
        next.halfHeight = false;
        next.outerHeightTwips = canvasFullHeight;
        next.scaleHeight = imageHeight;
        next.caption = QStringLiteral("128x64");
    }
    return next;
}
