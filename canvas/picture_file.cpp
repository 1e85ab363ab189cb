#include "canvas/picture_file.h"

#include "text/file_save.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QtEndian>
#include <cstdlib>

namespace {
// Display pictures are 128 x 64; allow generous room for larger drawings
// cut off at the edges, but never let a hostile header allocate gigabytes.
constexpr int MaxSide = 16384;
constexpr int AllocationLimitMb = 128;

// The image reader fills a BMP whose pixel data stops short with whatever
// it has; a file cut off in transfer must not load as a picture. For the
// uncompressed kinds the header tells exactly how long the file must be.
bool bmpIsComplete(QFile &file)
{
    const QByteArray header = file.peek(54);
    if (header.size() < 26 || !header.startsWith("BM"))
        return true; // not a BMP: the reader decides
    const auto *h = reinterpret_cast<const uchar *>(header.constData());
    const quint32 offBits = qFromLittleEndian<quint32>(h + 10);
    const quint32 infoSize = qFromLittleEndian<quint32>(h + 14);
    qint64 width = 0, height = 0, bitsPerPixel = 0, compression = 0;
    if (infoSize == 12) {
        width = qFromLittleEndian<quint16>(h + 18);
        height = qFromLittleEndian<quint16>(h + 20);
        bitsPerPixel = qFromLittleEndian<quint16>(h + 24);
    } else if (header.size() >= 34) {
        width = qFromLittleEndian<qint32>(h + 18);
        height = std::llabs(qFromLittleEndian<qint32>(h + 22));
        bitsPerPixel = qFromLittleEndian<quint16>(h + 28);
        compression = qFromLittleEndian<quint32>(h + 30);
    } else {
        return false;
    }
    const bool uncompressed = compression == 0 || compression == 3 || compression == 6;
    if (!uncompressed)
        return true; // run-length data has no fixed length
    const qint64 stride = ((width * bitsPerPixel + 31) / 32) * 4;
    return file.size() >= static_cast<qint64>(offBits) + stride * height;
}
} // namespace

std::optional<QImage> readPicture(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    if (!bmpIsComplete(file))
        return std::nullopt;
    QImageReader reader(&file);
    reader.setAllocationLimit(AllocationLimitMb);
    reader.setAutoTransform(false);
    if (!reader.canRead())
        return std::nullopt;
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > MaxSide || size.height() > MaxSide))
        return std::nullopt;
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return std::nullopt;
    return image;
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
