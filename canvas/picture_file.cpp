#include "canvas/picture_file.h"

#include "canvas/decode_limits.h"
#include "canvas/drawing_text.h"
#include "text/file_kind.h"
#include "text/file_save.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QtEndian>
#include <algorithm>
#include <cstdlib>

namespace {
constexpr qint64 MaxSide = LoadLimits.maxSide;

enum Compression : quint32 { Uncompressed = 0, Rle8 = 1, Rle4 = 2, Bitfields = 3, AlphaBitfields = 6 };

// A device's bytes from a position on, read a block at a time.
class ByteWalk
{
public:
    ByteWalk(QIODevice &device, qint64 from) : device_(device), next_(from) {}

    std::optional<uchar> next()
    {
        if (at_ == block_.size()) {
            // An offset past the end is no data (and not a seek to warn about).
            if (next_ >= device_.size() || !device_.seek(next_))
                return std::nullopt;
            block_ = device_.read(4096);
            next_ += block_.size();
            at_ = 0;
            if (block_.isEmpty())
                return std::nullopt;
        }
        return uchar(block_.at(at_++));
    }

    bool skip(int count)
    {
        for (int i = 0; i < count; ++i) {
            if (!next())
                return false;
        }
        return true;
    }

private:
    QIODevice &device_;
    qint64 next_;
    QByteArray block_;
    qsizetype at_ = 0;
};

// Run-length data has no fixed length: it is complete when it reaches its
// end-of-picture mark, or when its runs, line ends and jumps have covered
// every row (some writers leave the mark out). Data that stops before both
// was cut off. The walk reads no further than the file goes and stops once
// width x height pixels are covered; it counts positions, so it needs no
// memory for the pixels.
bool runLengthDataIsComplete(QIODevice &device, qint64 dataOffset, qint64 width, qint64 height, bool fourBits)
{
    ByteWalk data(device, dataOffset);
    qint64 x = 0;
    qint64 y = 0;
    const auto advance = [&](qint64 pixels) { x = std::min(width, x + pixels); };
    while (y < height && !(y == height - 1 && x == width)) {
        const std::optional<uchar> count = data.next();
        const std::optional<uchar> value = data.next();
        if (!count || !value)
            return false;
        if (*count > 0) { // a run of one pixel value
            advance(*count);
            continue;
        }
        switch (*value) {
        case 0: // end of line
            x = 0;
            ++y;
            break;
        case 1: // end of picture
            return true;
        case 2: { // jump right and up
            const std::optional<uchar> dx = data.next();
            const std::optional<uchar> dy = data.next();
            if (!dx || !dy)
                return false;
            advance(*dx);
            y += *dy;
            break;
        }
        default: { // pixels as they are, padded to a whole 16-bit word
            const int bytes = fourBits ? (*value + 1) / 2 : *value;
            if (!data.skip(bytes))
                return false;
            data.skip(bytes % 2); // a missing pad at the very end is no loss
            advance(*value);
        }
        }
    }
    return true;
}

// The image reader fills a BMP whose pixel data stops short with whatever
// it has; a file cut off in transfer must not load as a picture. For the
// uncompressed kinds the header tells exactly how long the file must be;
// run-length data is walked through. Sides beyond the reader's limit are
// refused first, so no size computed from the header can overflow.
bool bmpIsComplete(QIODevice &device)
{
    const QByteArray header = device.peek(54);
    if (header.size() < 26 || !header.startsWith("BM"))
        return true; // not a BMP: the reader decides
    const auto *h = reinterpret_cast<const uchar *>(header.constData());
    // Offsets count from the start of the file: where the device is now.
    const qint64 dataOffset = device.pos() + qFromLittleEndian<quint32>(h + 10);
    const quint32 infoSize = qFromLittleEndian<quint32>(h + 14);
    qint64 width = 0;
    qint64 height = 0;
    qint64 bitsPerPixel = 0;
    quint32 compression = Uncompressed;
    if (infoSize == 12) {
        width = qFromLittleEndian<quint16>(h + 18);
        height = qFromLittleEndian<quint16>(h + 20);
        bitsPerPixel = qFromLittleEndian<quint16>(h + 24);
    } else if (header.size() >= 34) {
        width = qFromLittleEndian<qint32>(h + 18);
        height = std::abs(qint64(qFromLittleEndian<qint32>(h + 22))); // negative: rows top down
        bitsPerPixel = qFromLittleEndian<quint16>(h + 28);
        compression = qFromLittleEndian<quint32>(h + 30);
    } else {
        return false;
    }
    if (width <= 0 || width > MaxSide || height == 0 || height > MaxSide)
        return false;

    if (compression == Rle8 || compression == Rle4)
        return runLengthDataIsComplete(device, dataOffset, width, height, compression == Rle4);
    if (compression != Uncompressed && compression != Bitfields && compression != AlphaBitfields)
        return true; // a kind the reader does not take: it refuses it
    // At most 16384 x 65535 bits a row and 16384 rows: far from overflow.
    const qint64 stride = ((width * bitsPerPixel + 31) / 32) * 4;
    return device.size() >= dataOffset + stride * height;
}
} // namespace

std::optional<QImage> readPicture(const QString &fileName, QString *reason)
{
    // A FIFO or a device could keep the read waiting for ever.
    QFile file(fileName);
    if (!isRegularFile(fileName) || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return readPicture(file, reason);
}

namespace {

bool gifIsComplete(QIODevice &device)
{
    if (!device.peek(6).startsWith("GIF"))
        return true; // not a GIF: the reader decides
    const qint64 start = device.pos();
    char last = 0;
    const bool ended = device.seek(device.size() - 1) && device.getChar(&last) && last == ';';
    return device.seek(start) && ended;
}

} // namespace

bool pictureFileIsWhole(QIODevice &device)
{
    const qint64 start = device.pos();
    const bool whole = bmpIsComplete(device) && device.seek(start) && gifIsComplete(device);
    return device.seek(start) && whole;
}

namespace {

std::optional<QImage> decodePicture(QIODevice &device, QString *reason)
{
    const QByteArray head = device.peek(DecodeHeaderBytes);
    QImageReader reader(&device);
    QImageReader::setAllocationLimit(LoadLimits.memoryMb);
    reader.setAutoTransform(false);
    if (!reader.canRead())
        return std::nullopt;
    // From here on the reader is loaded, and its header read may warn.
    const DecoderWarnings warnings;
    const QSize size = reader.size();
    if (!decodeRefusal(head, reader.format(), size, size, LoadLimits).isEmpty())
        return std::nullopt;
    QImage image;
    const int warnedBefore = warnings.count();
    if (!reader.read(&image) || image.isNull() || warnings.count() > warnedBefore) {
        if (reason)
            *reason = warnings.reason();
        return std::nullopt;
    }
    // Some kinds (GIF) tell no size before they are read, or a smaller one
    // than they then make.
    if (!decodedRefusal(image.size(), LoadLimits).isEmpty())
        return std::nullopt;
    return image;
}

} // namespace

std::optional<QImage> readPicture(QIODevice &device, QString *reason)
{
    if (!pictureFileIsWhole(device))
        return std::nullopt;
    // A drawing is rendered from its checked text, never from the file.
    const QByteArray format = QImageReader::imageFormat(&device);
    if (format != "svg" && format != "svgz")
        return decodePicture(device, reason);
    QString refusal;
    std::optional<QByteArray> svg = readDrawingText(device, format, &refusal);
    if (!svg)
        return std::nullopt;
    QBuffer text(&*svg);
    text.open(QIODevice::ReadOnly);
    return decodePicture(text, reason);
}

QString writeBmp(const QImage &picture, const QString &fileName)
{
    // The whole file is made in memory first: the old one is touched only
    // once there is something complete to put in its place.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    if (!writer.write(picture))
        return writer.errorString();
    return replaceFile(fileName, bytes);
}
