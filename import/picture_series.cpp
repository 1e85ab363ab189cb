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

// The frames of an animation, or 0 for a picture of one frame. Only a
// regular file is opened: anything else is left to the import to refuse.
int animationFrames(const QString &fileName)
{
    if (!isRegularFile(fileName))
        return 0;
    QImageReader reader(fileName);
    const int count = reader.supportsAnimation() ? reader.imageCount() : 0;
    return count > 1 ? count : 0;
}

// Where a load has come to: the file in hand of how many, for progress,
// and whether it is to stop.
struct LoadStep
{
    const SeriesLoadWatch &watch;
    int file = 0;
    int files = 1;

    bool cancelled(QString *error) const
    {
        if (!watch.cancelled || !watch.cancelled())
            return false;
        *error = SeriesLoadCancelledText;
        return true;
    }
    void done(double ofFile, std::size_t frames) const
    {
        if (watch.progress)
            watch.progress((file + std::min(ofFile, 1.0)) / files, int(frames));
    }
};

// Every frame of an animation. The first goes through the import's own
// reading, which checks the file and its size before decoding; the frames
// of one animation share that size.
bool loadAnimation(const QString &fileName, int count, const ImportOptions &options, QSize target, qint64 pixelBudget,
                   const LoadStep &step, std::vector<SeriesFrame> &frames, QString *error)
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
    for (int number = 1;; ++number) {
        if (step.cancelled(error))
            return false;
        if (!reader.read(&image))
            return true; // the animation's end, or the frames read before a damaged one
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
        step.done(double(number) / count, frames.size());
    }
}

bool loadPicture(const QString &fileName, const ImportOptions &options, QSize target, qint64 animationPixels,
                 const LoadStep &step, std::vector<SeriesFrame> &frames, QString *error)
{
    if (step.cancelled(error))
        return false;
    if (const int count = animationFrames(fileName))
        return loadAnimation(fileName, count, options, target, animationPixels, step, frames, error);
    if (frames.size() >= MaxSeriesFrames) {
        *error = frameCountError(fileName);
        return false;
    }
    const std::optional<QImage> picture = importPicture(fileName, options, target, error);
    if (picture)
        frames.push_back({*picture, 0, QFileInfo(fileName).fileName()});
    step.done(1, frames.size());
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
                                                   QString *error, qint64 animationPixels, const SeriesLoadWatch &watch)
{
    QStringList files;
    for (const QString &path : paths)
        files << (QFileInfo(path).isDir() ? seriesFolderPictures(path) : QStringList{path});
    QString reason;
    std::vector<SeriesFrame> frames;
    LoadStep step{watch, 0, int(files.size())};
    for (; step.file < step.files; ++step.file)
        if (!loadPicture(files[step.file], options, target, animationPixels, step, frames, &reason)) {
            if (error)
                *error = reason;
            return std::nullopt;
        }
    if (frames.empty()) {
        if (error)
            *error = QStringLiteral("No pictures found in %1").arg(paths.join(QStringLiteral(", ")));
        return std::nullopt;
    }
    return frames;
}
