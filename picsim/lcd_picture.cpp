#include "picsim/lcd_picture.h"

#include "text/file_kind.h"
#include "text/file_save.h"
#include "text/shared_files.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageWriter>

namespace {

constexpr int Columns = 128;
constexpr int Rows = 64;
constexpr int Pages = Rows / 8;

QByteArray imageFormat(const QString &file)
{
    return QFileInfo(file).suffix().toLower().toLatin1();
}

} // namespace

QImage lcdPicture(const QByteArray &displayBytes)
{
    QImage picture(Columns, Rows, QImage::Format_Mono);
    picture.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    picture.fill(0);
    const qsizetype count = std::min<qsizetype>(displayBytes.size(), Columns * Pages);
    for (qsizetype i = 0; i < count; ++i) {
        const int column = static_cast<int>(i % Columns);
        const int page = static_cast<int>(i / Columns);
        const auto byte = static_cast<unsigned char>(displayBytes.at(i));
        for (int bit = 0; bit < 8; ++bit) {
            if (byte & (1u << bit))
                picture.setPixel(column, page * 8 + bit, 1);
        }
    }
    return picture;
}

QByteArray displayBytesOf(const QImage &picture)
{
    QByteArray bytes(Columns * Pages, '\0');
    for (int page = 0; page < Pages; ++page) {
        for (int column = 0; column < Columns; ++column) {
            unsigned byte = 0;
            for (int bit = 0; bit < 8; ++bit) {
                const int row = page * 8 + bit;
                if (column < picture.width() && row < picture.height() && (picture.pixel(column, row) & 0xFFFFFF) == 0)
                    byte |= 1u << bit;
            }
            bytes[page * Columns + column] = static_cast<char>(byte);
        }
    }
    return bytes;
}

QString lcdPictureFileName(const QString &pattern, int number)
{
    return numberedFile(pattern, number);
}

QString lcdPictureFileProblem(const QString &pattern)
{
    const QString file = lcdPictureFileName(pattern, 1);
    if (!QImageWriter::supportedImageFormats().contains(imageFormat(file)))
        return QStringLiteral("the name does not end in .png or .bmp");
    const QFileInfo info(file);
    const QFileInfo folder(info.absolutePath());
    if (!folder.exists())
        return QStringLiteral("the folder %1 does not exist").arg(info.path());
    if (!folder.isDir())
        return QStringLiteral("%1 is not a folder").arg(info.path());
    if (!folder.isWritable())
        return QStringLiteral("the folder %1 cannot be written").arg(info.path());
    if (info.isDir())
        return QStringLiteral("%1 is a folder").arg(file);
    if (isSpecialFile(file))
        return QStringLiteral("%1 is not a regular file (a FIFO, a device or a socket)").arg(file);
    if (info.exists() && !info.isWritable())
        return QStringLiteral("%1 cannot be written").arg(file);
    return {};
}

QString saveLcdPicture(const QByteArray &displayBytes, const QString &file)
{
    // Opening a FIFO for writing waits for a reader, for ever.
    if (isSpecialFile(file))
        return QStringLiteral("not a regular file (a FIFO, a device or a socket)");
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, imageFormat(file));
    if (!writer.write(lcdPicture(displayBytes)))
        return writer.errorString();
    return replaceFile(file, bytes);
}
