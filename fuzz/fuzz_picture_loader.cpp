// Any file at all may be loaded as a picture: by Load BMP in the window and
// by voxcel-convert. Whatever it holds, loading ends with a picture that
// fits the limits, or with none, and the canvas takes what is loaded.
#include "canvas/canvas.h"
#include "canvas/picture_file.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QBuffer buffer;
    buffer.setData(reinterpret_cast<const char *>(data), qsizetype(size));
    buffer.open(QIODevice::ReadOnly);
    const std::optional<QImage> picture = readPicture(buffer);
    if (!picture)
        return 0;
    if (picture->isNull() || picture->width() > 16384 || picture->height() > 16384)
        std::abort();
    Canvas canvas;
    canvas.placePicture(*picture);
    return 0;
}
