#pragma once

#include <QString>

// Sizes of the image box are kept in twips, the unit of the window's
// layout: 15 twips make one screen pixel at 96 dpi.
inline constexpr double twipsPerPixel = 15.0;

// How the image box looks in one of its two display heights.
struct DisplayHeight
{
    bool halfHeight = false; // true in 128x32 mode
    double outerHeightTwips = 0;
    int scaleHeight = 64; // canvas rows spread over the inner height
    QString caption;      // of the toggle button: names the current mode
};

// The view after one click of the toggle, from the mode it is in now.
// The full height is the box's height recorded at start-up; the half
// height is a real half of it, so an odd value keeps its half.
DisplayHeight toggledDisplayHeight(bool halfHeight, qint16 canvasFullHeight, qint16 imageHeight);
