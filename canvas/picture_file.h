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

// Whether a picture file holds all of its picture, as far as can be told
// before decoding: a BMP's data reaches as far as its header says, a GIF
// ends with its trailer. Decoders fill in what a cut-off file lacks and
// report success. The device stays where it was.
bool pictureFileIsWhole(QIODevice &device);

// For the length of a decode: whether a decoder warned that the data was
// damaged or ended early (libjpeg does, and still returns a picture).
// Those warnings are taken here, not printed.
class DecoderWarnings
{
public:
    DecoderWarnings();
    ~DecoderWarnings();
    DecoderWarnings(const DecoderWarnings &) = delete;
    DecoderWarnings &operator=(const DecoderWarnings &) = delete;

    bool any() const { return count_ > 0; }

private:
    static void take(QtMsgType type, const QMessageLogContext &context, const QString &text);

    QtMessageHandler previous_;
    int count_ = 0;
};
