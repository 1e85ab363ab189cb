#include "import/picture_series.h"

#include "text/file_kind.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QRegularExpression>

#include <algorithm>

namespace {

QString frameCountError(const QString &source)
{
    return QStringLiteral("Cannot read %1: the series would have more than %2 frames")
        .arg(QDir::toNativeSeparators(source))
        .arg(MaxSeriesFrames);
}

// Name order with the numbers in names read by value: "f2" before "f10".
// Case does not count, except to break a tie.
bool comesBefore(const QString &a, const QString &b)
{
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            const qsizetype iStart = i, jStart = j;
            while (i < a.size() && a[i].isDigit())
                ++i;
            while (j < b.size() && b[j].isDigit())
                ++j;
            // By value: without leading zeros, the longer run is larger.
            const QString x = a.mid(iStart, i - iStart).remove(QRegularExpression(QStringLiteral("^0+")));
            const QString y = b.mid(jStart, j - jStart).remove(QRegularExpression(QStringLiteral("^0+")));
            if (x.size() != y.size())
                return x.size() < y.size();
            if (x != y)
                return x < y;
            continue;
        }
        const QChar x = a[i++].toLower(), y = b[j++].toLower();
        if (x != y)
            return x < y;
    }
    if (a.size() - i != b.size() - j)
        return a.size() - i < b.size() - j;
    return a < b;
}

bool isPictureName(const QString &name)
{
    static const QList<QByteArray> kinds = QImageReader::supportedImageFormats();
    const QByteArray suffix = QFileInfo(name).suffix().toLower().toLatin1();
    return !suffix.isEmpty() && kinds.contains(suffix);
}

// Whether the file holds more than one frame. Only a regular file is
// opened: anything else is left to the import to refuse.
bool isAnimated(const QString &fileName)
{
    if (!isRegularFile(fileName))
        return false;
    QImageReader reader(fileName);
    return reader.supportsAnimation() && reader.imageCount() > 1;
}

// Every frame of an animation. The first goes through the import's own
// reading, which checks the file and its size before decoding; the frames
// of one animation share that size.
bool loadAnimation(const QString &fileName, const ImportOptions &options, QSize target, qint64 pixelBudget,
                   std::vector<SeriesFrame> &frames, QString *error)
{
    if (!importPicture(fileName, options, target, error))
        return false;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("Cannot read %1: %2").arg(QDir::toNativeSeparators(fileName), file.errorString());
        return false;
    }
    QImageReader reader(&file);
    QImage image;
    qint64 pixels = 0;
    for (int number = 1; reader.read(&image); ++number) {
        if (frames.size() >= MaxSeriesFrames) {
            *error = frameCountError(fileName);
            return false;
        }
        pixels += qint64(image.width()) * image.height();
        if (pixels > pixelBudget) {
            *error = QStringLiteral("Cannot read %1: its first %2 frames already hold %3 million pixels, more than "
                                    "the %4 million an animation may")
                         .arg(QDir::toNativeSeparators(fileName))
                         .arg(number)
                         .arg(pixels / 1000000)
                         .arg(pixelBudget / 1000000);
            return false;
        }
        const QString source = QStringLiteral("%1, frame %2").arg(QFileInfo(fileName).fileName()).arg(number);
        frames.push_back({importSeriesFrame(image, options, target), reader.nextImageDelay(), source});
    }
    return true;
}

bool loadPicture(const QString &fileName, const ImportOptions &options, QSize target, qint64 animationPixels,
                 std::vector<SeriesFrame> &frames, QString *error)
{
    if (isAnimated(fileName))
        return loadAnimation(fileName, options, target, animationPixels, frames, error);
    if (frames.size() >= MaxSeriesFrames) {
        *error = frameCountError(fileName);
        return false;
    }
    const std::optional<QImage> picture = importPicture(fileName, options, target, error);
    if (picture)
        frames.push_back({*picture, 0, QFileInfo(fileName).fileName()});
    return picture.has_value();
}

} // namespace

QStringList seriesFolderPictures(const QString &folder)
{
    const QDir dir(folder);
    QStringList names;
    for (const QString &name : dir.entryList(QDir::Files | QDir::NoDotAndDotDot))
        if (isPictureName(name) && isRegularFile(dir.filePath(name)))
            names << name;
    std::sort(names.begin(), names.end(), comesBefore);
    for (QString &name : names)
        name = dir.filePath(name);
    return names;
}

QImage importSeriesFrame(const QImage &frame, const ImportOptions &options, QSize target)
{
    return renderDots(scalePicture(importSourceFromImage(frame, target), options.fit, target), options);
}

std::optional<std::vector<SeriesFrame>> loadSeries(const QStringList &paths, const ImportOptions &options, QSize target,
                                                   QString *error, qint64 animationPixels)
{
    QString reason;
    std::vector<SeriesFrame> frames;
    for (const QString &path : paths) {
        const QStringList files = QFileInfo(path).isDir() ? seriesFolderPictures(path) : QStringList{path};
        for (const QString &file : files)
            if (!loadPicture(file, options, target, animationPixels, frames, &reason)) {
                if (error)
                    *error = reason;
                return std::nullopt;
            }
    }
    if (frames.empty()) {
        if (error)
            *error = QStringLiteral("No pictures found in %1").arg(paths.join(QStringLiteral(", ")));
        return std::nullopt;
    }
    return frames;
}
