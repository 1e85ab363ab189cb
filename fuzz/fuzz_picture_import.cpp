// Any file at all may be imported: from the window's Import dialog, a drop,
// or voxcel-convert. The first two bytes choose the import's options (fit,
// dithering, threshold, inversion, display height); the rest is the file,
// in any format the readers take, drawings included. Whatever it holds,
// the import ends with dots of the display's size, or with a message.
#include "import/picture_import.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {
QTemporaryDir *folder = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv); // drawings are rendered with fonts
    folder = new QTemporaryDir;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    ImportOptions options;
    options.fit = static_cast<ImportFit>(data[0] % 4);
    options.dither = static_cast<ImportDither>((data[0] >> 2) % 4);
    options.invert = data[0] & 0x10;
    options.autoThreshold = data[0] & 0x20;
    options.threshold = data[1];
    const QSize target = importTargetSize(data[0] & 0x40);

    const QString path = folder->filePath(QStringLiteral("picture"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(reinterpret_cast<const char *>(data + 2), qint64(size - 2)) != qint64(size - 2))
        std::abort();
    file.close();

    QString error;
    const std::optional<QImage> dots = importPicture(path, options, target, &error);
    if (dots ? dots->size() != target : error.isEmpty())
        std::abort();
    return 0;
}
