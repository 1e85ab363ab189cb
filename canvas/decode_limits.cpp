#include "canvas/decode_limits.h"

#include <algorithm>

namespace {

constexpr qint64 Mb = 1024 * 1024;

// Bytes a pixel of the decoded picture takes as the reader returns it: more
// only at 16 bits a channel, which the reader's own allocation limit refuses.
constexpr qint64 PictureBytesPerPixel = 4;

// What a decoder keeps beside the picture it returns, in bytes per pixel.
// Readers that decode a row or a strip at a time keep nothing worth
// counting. Measured on this platform's plugins with the bombs of
// bench_picture_bombs.
struct WorkingMemory
{
    const char *format;
    qint64 bytesPerPixel;
};
constexpr WorkingMemory DecoderWorkingMemory[] = {
    {"gif", 4},  // a second canvas, kept for the frames that follow
    {"mng", 8},  // the library's own canvas and the previous frame
    {"webp", 4}, // the decoded planes before they are copied out
    {"tiff", 4}, // a whole strip or tile, which can be the whole picture
    {"ico", 4},  // an embedded PNG is decoded, then copied
    {"icns", 4},
};

qint64 workingBytesPerPixel(const QByteArray &format)
{
    for (const WorkingMemory &entry : DecoderWorkingMemory)
        if (format == entry.format)
            return entry.bytesPerPixel;
    return 0;
}

// What libjpeg keeps while it decodes a progressive JPEG: every DCT
// coefficient of the whole picture, two bytes each, whatever size the
// result is scaled to. Read from the frame header; 0 for any other file.
// Baseline JPEGs decode a strip at a time.
qint64 progressiveJpegCoefficientBytes(const QByteArray &head)
{
    const auto *b = reinterpret_cast<const uchar *>(head.constData());
    if (head.size() < 4 || b[0] != 0xFF || b[1] != 0xD8)
        return 0;
    for (qsizetype at = 2; at + 9 < head.size() && b[at] == 0xFF;) {
        const uchar marker = b[at + 1];
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            const bool progressive = marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE;
            const qint64 height = (b[at + 5] << 8) | b[at + 6];
            const qint64 width = (b[at + 7] << 8) | b[at + 8];
            auto blocks = [](qint64 side) { return (side + 7) / 8 * 8; };
            return progressive ? blocks(width) * blocks(height) * b[at + 9] * 2 : 0;
        }
        at += 2 + ((b[at + 2] << 8) | b[at + 3]);
    }
    return 0;
}

QString sideRefusal(QSize size, const DecodeLimits &limits)
{
    if (std::max(size.width(), size.height()) <= limits.maxSide)
        return QString();
    return QStringLiteral("the picture is %1 x %2 pixels, more than the %3 pixels a side allowed")
        .arg(size.width())
        .arg(size.height())
        .arg(limits.maxSide);
}

QString memoryRefusal(QSize size, const QString &kind, qint64 bytes, const DecodeLimits &limits)
{
    if (bytes <= limits.memoryMb * Mb)
        return QString();
    return QStringLiteral("the picture is %1 x %2 pixels%3: decoding it would take %4 MB, more than the %5 MB allowed")
        .arg(size.width())
        .arg(size.height())
        .arg(kind)
        .arg((bytes + Mb - 1) / Mb)
        .arg(limits.memoryMb);
}

qint64 pixels(QSize size)
{
    return qint64(std::max(0, size.width())) * std::max(0, size.height());
}

} // namespace

QString decodeRefusal(const QByteArray &head, const QByteArray &format, QSize declared, QSize decoded,
                      const DecodeLimits &limits)
{
    if (!declared.isValid())
        return QString();
    if (QString refusal = sideRefusal(declared, limits); !refusal.isEmpty())
        return refusal;
    const qint64 coefficients = format == "jpeg" ? progressiveJpegCoefficientBytes(head) : 0;
    const qint64 bytes =
        pixels(decoded) * (PictureBytesPerPixel + limits.copyBytesPerPixel + workingBytesPerPixel(format)) +
        coefficients;
    return memoryRefusal(declared, coefficients ? QStringLiteral(" in progressive JPEG") : QString(), bytes, limits);
}

QString decodedRefusal(QSize decoded, const DecodeLimits &limits)
{
    if (QString refusal = sideRefusal(decoded, limits); !refusal.isEmpty())
        return refusal;
    return memoryRefusal(decoded, QString(), pixels(decoded) * (PictureBytesPerPixel + limits.copyBytesPerPixel),
                         limits);
}
