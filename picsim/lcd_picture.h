#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// What the 128 x 64 display shows for its 1024 bytes in the order sent:
// byte i is column i mod 128 of page i div 128, bit k the dot in row
// 8 * page + k. Lit dots are black on white. Missing bytes read as 0.
QImage lcdPicture(const QByteArray &displayBytes);

// The inverse, for checking a picture against the bytes sent: a dot is lit
// where the pixel is exactly black.
QByteArray displayBytesOf(const QImage &picture);

// The file of picture `number` for the --out pattern: %d stands for the
// number.
QString lcdPictureFileName(const QString &pattern, int number);

// Why the pictures of the pattern cannot be written (a folder missing or
// read-only, no regular file there, a kind of picture that cannot be
// written), in words; empty when nothing is known to stand in the way.
QString lcdPictureFileProblem(const QString &pattern);

// Writes the display as a picture whose kind the file's extension names,
// in place of the old file whole, never into a FIFO or a device. Returns
// why that failed, or nothing.
QString saveLcdPicture(const QByteArray &displayBytes, const QString &file);
