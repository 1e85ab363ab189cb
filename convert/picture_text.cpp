#include "convert/picture_text.h"

#include "convert/picture_text_readers.h"

namespace {

QString countMessage(std::size_t count)
{
    const QString found = count == 0   ? QStringLiteral("Found no bytes")
                          : count == 1 ? QStringLiteral("Found 1 byte")
                                       : QStringLiteral("Found %1 bytes").arg(qulonglong(count));
    return found + QStringLiteral("; a picture needs 1024, or 512 for 128 x 32");
}

TextPicture pictureOf(const Bytes &bytes, qint16 horizontalBytes)
{
    TextPicture picture;
    const int pages = static_cast<int>(bytes.size()) / ByteMatrix::Columns;
    picture.height = pages * 8;
    for (int i = 0; i < static_cast<int>(bytes.size()); ++i) {
        const int x = horizontalBytes == 0 ? i % ByteMatrix::Columns : i / pages;
        const int page = horizontalBytes == 0 ? i / ByteMatrix::Columns : i % pages;
        picture.matrix.at(x, page) = bytes[static_cast<std::size_t>(i)];
    }
    return picture;
}

} // namespace

std::optional<TextPicture> readPictureText(const QString &text, const OutputFormat &format, qint16 horizontalBytes,
                                           QString *message)
{
    const std::optional<Bytes> shaped = readConvertShape(text, format);
    if (shaped && isPictureCount(shaped->size()))
        return pictureOf(*shaped, horizontalBytes);
    // Text of another shape, or with a word such as "db" the shape took for
    // a byte, may still read as a list in source code.
    QString listMessage;
    const std::optional<Bytes> listed = readSourceList(text, &listMessage);
    if (listed && isPictureCount(listed->size()))
        return pictureOf(*listed, horizontalBytes);

    if (message) {
        // The boxes' own shape tells best what was wrong, when the text had it.
        *message = shaped ? countMessage(shaped->size()) : listed ? countMessage(listed->size()) : listMessage;
    }
    return std::nullopt;
}

QImage pictureFromByteMatrix(const ByteMatrix &matrix)
{
    constexpr QRgb Black = 0xFF000000u;
    constexpr QRgb White = 0xFFFFFFFFu;
    QImage picture(ByteMatrix::Columns, ByteMatrix::Pages * 8, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < ByteMatrix::Columns; ++x)
            line[x] = (matrix.at(x, y / 8) >> (y % 8) & 1) != 0 ? Black : White;
    }
    return picture;
}
