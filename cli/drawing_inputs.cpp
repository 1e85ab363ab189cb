#include "cli/drawing_inputs.h"

#include "text/file_kind.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <algorithm>

namespace {
bool isDrawingName(const QString &name)
{
    return name.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive) ||
           name.endsWith(QLatin1String(".svgz"), Qt::CaseInsensitive);
}

bool isDrawing(const QString &name)
{
    if (isDrawingName(name))
        return true;
    // A folder's pictures (a series) are taken by their names.
    if (QFileInfo(name).isDir()) {
        const QStringList names = QDir(name).entryList(QDir::Files);
        return std::any_of(names.begin(), names.end(), isDrawingName);
    }
    QFile file(name);
    // Never a FIFO or a device: the glance must not wait.
    return isRegularFile(name) && file.open(QIODevice::ReadOnly) && file.read(1024).contains("<svg");
}
} // namespace

bool drawingAmongArguments(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QString name = QFile::decodeName(argv[i]);
        if (!name.startsWith(QLatin1Char('-')) && isDrawing(name))
            return true;
    }
    return false;
}

bool textAmongArguments(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "--text" || argument.startsWith("--text=") || argument == "--list-fonts")
            return true;
    }
    return false;
}
