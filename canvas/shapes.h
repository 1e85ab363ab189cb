#pragma once

#include "canvas/canvas.h"

#include <QPoint>
#include <QVector>

// The shapes of the LCD View, dot by dot on the canvas grid. Points are
// whole dots; both corners or ends belong to the shape.
enum class Shape { Line, Rectangle, FilledRectangle, Ellipse };

// The dots of a shape from `from` to `to`, unclipped: a line includes both
// ends, a rectangle or ellipse fills the box spanned by the two corners.
QVector<QPoint> shapeDots(Shape shape, QPoint from, QPoint to);

// Shift held: a line turns to the nearest of 0, 45 and 90 degrees, a
// rectangle or an ellipse to a square box, on the side of the larger span.
QPoint constrainedEnd(Shape shape, QPoint from, QPoint to);

// Paints dots in `colour`; those off the shown canvas (right of column 127,
// below the last shown row, negative ones) are dropped.
void paintDots(Canvas &canvas, const QVector<QPoint> &dots, QRgb colour);

// The region of dots 4-connected to `seed` that are set as it is set
// (lit or clear) takes `colour`. A diagonal line of dots, touching only at
// corners, bounds it. Nothing happens off the shown canvas, or when the
// seed already has the state `colour` gives.
void floodFill(Canvas &canvas, QPoint seed, QRgb colour);
