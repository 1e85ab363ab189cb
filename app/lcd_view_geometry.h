#pragma once

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>

// Where the LCD View opens and how it zooms: plain geometry, so the rules
// are tested without a window.

// What the view's place depends on. Sizes are of the window with its frame.
struct LcdViewRoom
{
    QRect available; // the screen without its panels
    QRect mainFrame; // the main window, which the view must not cover
    QSize dots;      // the picture's dots, shown zoom x zoom each
    QSize around;    // what the view adds to the enlarged dots
    QSize minimum;   // the view's smallest size, whatever the zoom
    int minZoom = 1;
    int maxZoom = 1;
};

struct LcdViewPlace
{
    int zoom = 0;
    QRect frame;
};

// The view's size at a zoom.
QSize lcdViewSize(const LcdViewRoom &room, int zoom);

// Beside the main window, on the side of the screen where the largest zoom
// fits (at equal zooms, the side with the most room), against the main
// window's edge and level with it. Where not even the smallest zoom fits
// beside it, the smallest zoom on the side with the most room, kept on the
// screen.
LcdViewPlace placeLcdView(const LcdViewRoom &room);

// The scroll position after a zoom that keeps the dot under `pointer` (in
// the visible area's pixels) under it. `scroll` is the position before; a
// picture smaller than the visible area is centred in it, unscrolled.
QPoint scrollKeepingDot(QSize dots, int fromZoom, int toZoom, QSize visible, QPoint scroll, QPointF pointer);
