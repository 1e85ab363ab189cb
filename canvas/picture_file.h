#pragma once

#include "canvas/decoder_warnings.h"

#include <QIODevice>
#include <QImage>
#include <QString>
#include <optional>

// Reads a picture file (any BMP the image reader takes: 1 to 32 bits,
// RLE, top-down, every header version). Nothing on any failure: a missing
// file, a folder, a file that is no picture, a truncated one, or one whose
// header claims dimensions far beyond anything a display picture needs.
// reason, when given, gets the decoder's own words on a damaged file.
std::optional<QImage> readPicture(const QString &fileName, QString *reason = nullptr);

// The same from a device open for reading that can seek (a file, a
// buffer), from its current position on.
std::optional<QImage> readPicture(QIODevice &device, QString *reason = nullptr);

// Writes the picture as an uncompressed BMP with replaceFile(): a failure
// leaves any old file as it was. Returns the reason of the failure, or an
// empty text on success.
QString writeBmp(const QImage &picture, const QString &fileName);

// Whether a picture file holds all of its picture, as far as can be told
// before decoding: a BMP's data reaches as far as its header says, a GIF
// ends with its trailer. Decoders fill in what a cut-off file lacks and
// report success. The device stays where it was.
bool pictureFileIsWhole(QIODevice &device);
