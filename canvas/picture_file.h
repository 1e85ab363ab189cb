#pragma once

#include <QIODevice>
#include <QImage>
#include <QString>
#include <optional>

// Reads a picture file (any BMP the image reader takes: 1 to 32 bits,
// RLE, top-down, every header version). Nothing on any failure: a missing
// file, a folder, a file that is no picture, a truncated one, or one whose
// header claims dimensions far beyond anything a display picture needs.
std::optional<QImage> readPicture(const QString &fileName);

// The same from a device open for reading that can seek (a file, a
// buffer), from its current position on.
std::optional<QImage> readPicture(QIODevice &device);

// Writes the picture as an uncompressed BMP with replaceFile(): a failure
// leaves any old file as it was. Returns the reason of the failure, or an
// empty text on success.
QString writeBmp(const QImage &picture, const QString &fileName);
