#pragma once

#include <QString>

class Canvas;

// The pen position as the label shows it: "X:12 Y:40", each coordinate
// floored, negative ones with their minus sign.
QString positionCaption(double x, double y);

// Paints dots along the straight segment from one mouse position to the
// next, so a fast movement leaves no gaps; the end point is painted, the
// start point (painted by the previous event) is not painted again.
void plotStroke(Canvas &canvas, double fromX, double fromY, double toX, double toY);
