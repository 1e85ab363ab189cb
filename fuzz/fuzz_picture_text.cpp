// Picture from Text reads whatever text the user pastes or opens: converted
// text in any output format, byte lists in C or assembler, transmissions.
// The input is the output format's four boxes and the text, split at NUL
// bytes; its first byte chooses the byte order. Whatever it holds, the text
// gives a picture of 64 or 32 rows, or none and a message.
#include "convert/picture_text.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const qint16 horizontalBytes = data[0] & 1;
    const QList<QByteArray> parts =
        QByteArray(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1)).split('\0');
    if (parts.size() < 5)
        return 0;
    const OutputFormat format{QString::fromUtf8(parts[0]), QString::fromUtf8(parts[1]), QString::fromUtf8(parts[2]),
                              QString::fromUtf8(parts[3])};
    const QString text = QString::fromUtf8(parts.mid(4).join('\0'));

    QString message;
    const std::optional<TextPicture> picture = readPictureText(text, format, horizontalBytes, &message);
    if (!picture)
        return 0;
    if (picture->height != 64 && picture->height != 32)
        std::abort();
    if (pictureFromByteMatrix(picture->matrix).size() != QSize(128, 64))
        std::abort();
    return 0;
}
