#pragma once

#include <QByteArray>
#include <QImage>

// What the 128 x 64 display shows for its 1024 bytes in the order sent:
// byte i is column i mod 128 of page i div 128, bit k the dot in row
// 8 * page + k. Lit dots are black on white. Missing bytes read as 0.
QImage lcdPicture(const QByteArray &displayBytes);

// The inverse, for checking a picture against the bytes sent: a dot is lit
// where the pixel is exactly black.
QByteArray displayBytesOf(const QImage &picture);
