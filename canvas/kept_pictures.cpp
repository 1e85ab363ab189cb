#include "canvas/kept_pictures.h"

#include "canvas/picture_file.h"
#include "text/file_kind.h"
#include "text/file_save.h"

#include <QBuffer>
#include <QDir>
#include <QImageWriter>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// kept-000012-20261207T185901Z.bmp: the number, then the UTC time.
const QRegularExpression KeptName(QStringLiteral("^kept-(\\d{1,15})-(\\d{8}T\\d{6})Z\\.bmp$"));
const QString UtcFormat = QStringLiteral("yyyyMMdd'T'HHmmss");
// How an earlier version named them, by local time.
const QString LocalTimeName = QStringLiteral("'picture-'yyyy-MM-dd-HHmmss-zzz'.bmp'");
// A note longer than this is not ours.
constexpr qint64 MaxNote = 4096;
// New names tried when another program took the one chosen meanwhile.
constexpr int NameTries = 100;
// A temporary file this old is no write under way but one a crash cut off.
constexpr qint64 LeftoverSeconds = 600;

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Makes the folder and those above it. The reason names the part that
// failed: a file where a folder should be, a folder that takes no new one.
QString makeFolder(const QString &folder)
{
    QString path;
    for (const QString &part : QDir::cleanPath(QFileInfo(folder).absoluteFilePath()).split(u'/', Qt::SkipEmptyParts)) {
        path += QLatin1Char('/') + part;
        const QByteArray name = QFile::encodeName(path);
        struct stat status;
        if (::stat(name.constData(), &status) == 0) {
            if (S_ISDIR(status.st_mode))
                continue;
            return QStringLiteral("%1 is not a folder").arg(path);
        }
        if (::mkdir(name.constData(), 0777) != 0 && errno != EEXIST)
            return QStringLiteral("cannot make the folder %1: %2").arg(path, systemError());
    }
    return QString();
}

void removeLeftovers(const QString &folder)
{
    const QDateTime stale = QDateTime::currentDateTimeUtc().addSecs(-LeftoverSeconds);
    for (const QFileInfo &part :
         QDir(folder).entryInfoList({QStringLiteral(".kept-*.part")}, QDir::Files | QDir::Hidden))
        if (!part.isSymLink() && part.lastModified() < stale)
            QFile::remove(part.filePath());
}

std::optional<KeptPictures::Entry> entryFor(const QFileInfo &file)
{
    // Only regular files: a link could lead to a device or a FIFO.
    if (file.isSymLink() || !isRegularFile(file.filePath()))
        return std::nullopt;
    const QRegularExpressionMatch match = KeptName.match(file.fileName());
    if (match.hasMatch()) {
        QDateTime when = QDateTime::fromString(match.captured(2), UtcFormat);
        when.setTimeSpec(Qt::UTC);
        if (when.isValid())
            return KeptPictures::Entry{file.filePath(), when, match.captured(1).toLongLong()};
    }
    const QDateTime when = QDateTime::fromString(file.fileName(), LocalTimeName);
    if (when.isValid())
        return KeptPictures::Entry{file.filePath(), when, 0};
    return std::nullopt;
}
} // namespace

KeptPictures::KeptPictures(QString folder, Clock clock) : folder_(std::move(folder)), clock_(std::move(clock)) {}

QString KeptPictures::keep(const QImage &picture) const
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    QString failure = writer.write(picture) ? makeFolder(folder_) : writer.errorString();
    const QList<Entry> before = failure.isEmpty() ? list() : QList<Entry>();
    QString written;
    if (failure.isEmpty())
        failure = write(bytes, before.isEmpty() ? 1 : before.first().number + 1, &written);
    if (!failure.isEmpty()) {
        // For the note at the next start; where even this cannot be
        // written, standard error is all there is.
        const QString note = failureNotePath();
        if (makeFolder(QFileInfo(note).path()).isEmpty() && !isSpecialFile(note))
            replaceFile(note, failure.toUtf8());
        return failure;
    }
    removeLeftovers(folder_);
    const QList<Entry> kept = list();
    for (qsizetype i = Kept; i < kept.size(); ++i)
        if (kept.at(i).path != written)
            QFile::remove(kept.at(i).path);
    return QString();
}

QString KeptPictures::write(const QByteArray &bytes, qint64 number, QString *path) const
{
    // Written whole under a temporary name first, so a kept name never
    // holds half a picture; a failed write leaves nothing behind.
    QTemporaryFile part(QDir(folder_).filePath(QStringLiteral(".kept-XXXXXX.part")));
    if (!part.open())
        return QStringLiteral("cannot write in %1: %2").arg(folder_, part.errorString());
    if (!writeAll(part, bytes) || !part.flush())
        return QStringLiteral("cannot write in %1: %2").arg(folder_, part.errorString());
    if (::fsync(part.handle()) != 0)
        return QStringLiteral("cannot write in %1: %2").arg(folder_, systemError());
    part.close();
    const QString time = clock_().toUTC().toString(UtcFormat);
    QFile moved(part.fileName());
    for (int i = 0; i < NameTries; ++i, ++number) {
        // Never over another file: a second copy of the program may be
        // keeping its picture at the same moment.
        *path = QDir(folder_).filePath(
            QStringLiteral("kept-%1-%2Z.bmp").arg(QString::number(number).rightJustified(6, u'0'), time));
        if (QFileInfo(*path).isSymLink() || QFileInfo::exists(*path))
            continue;
        if (moved.rename(*path)) {
            part.setAutoRemove(false);
            return QString();
        }
    }
    return QStringLiteral("cannot name the picture %1: %2").arg(*path, moved.errorString());
}

QList<KeptPictures::Entry> KeptPictures::list() const
{
    QList<Entry> entries;
    const QDir folder(folder_);
    const QFileInfoList files = folder.entryInfoList({QStringLiteral("kept-*.bmp"), QStringLiteral("picture-*.bmp")},
                                                     QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &file : files)
        if (const std::optional<Entry> entry = entryFor(file))
            entries.append(*entry);
    // By number; those named by local time come from before the numbers.
    std::sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
        if (a.number != b.number)
            return a.number > b.number;
        return a.when != b.when ? a.when > b.when : a.path > b.path;
    });
    return entries;
}

KeptPictures::Read KeptPictures::read(const QString &path)
{
    const QFileInfo info(path);
    if (info.isSymLink() || (info.exists() && !isRegularFile(path)))
        return {std::nullopt, QStringLiteral("it is not a regular file")};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {std::nullopt, QStringLiteral("it cannot be read: %1").arg(file.errorString())};
    if (!pictureFileIsWhole(file))
        return {std::nullopt, QStringLiteral("the file is damaged: it ends before its picture does")};
    std::optional<QImage> picture = readPicture(file);
    if (!picture)
        return {std::nullopt, QStringLiteral("the file is damaged: it holds no picture that can be read")};
    return {std::move(picture), QString()};
}

QImage KeptPictures::thumbnail(const QImage &picture)
{
    return picture.scaled(ThumbnailSize, Qt::KeepAspectRatio, Qt::FastTransformation);
}

QString KeptPictures::takeFailureNote() const
{
    const QString path = failureNotePath();
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return QString();
    QString note;
    QFile file(path);
    if (!info.isSymLink() && isRegularFile(path) && file.open(QIODevice::ReadOnly))
        note = QString::fromUtf8(file.read(MaxNote)).trimmed();
    file.close();
    QFile::remove(path);
    return note;
}
