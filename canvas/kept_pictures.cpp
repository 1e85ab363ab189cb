#include "canvas/kept_pictures.h"

#include "canvas/picture_file.h"

#include <QDir>

#include <algorithm>

namespace {
const QString NameFormat = QStringLiteral("'picture-'yyyy-MM-dd-HHmmss-zzz'.bmp'");
} // namespace

QString KeptPictures::keep(const QImage &picture, const QDateTime &when) const
{
    if (!QDir().mkpath(folder_))
        return QStringLiteral("cannot make the folder %1").arg(folder_);
    const QString failure = writeBmp(picture, QDir(folder_).filePath(when.toString(NameFormat)));
    if (!failure.isEmpty())
        return failure;
    const QList<Entry> kept = list();
    for (qsizetype i = Kept; i < kept.size(); ++i)
        QFile::remove(kept.at(i).path);
    return QString();
}

QList<KeptPictures::Entry> KeptPictures::list() const
{
    QList<Entry> entries;
    const QDir folder(folder_);
    for (const QString &name : folder.entryList({QStringLiteral("picture-*.bmp")}, QDir::Files)) {
        const QDateTime when = QDateTime::fromString(name, NameFormat);
        if (when.isValid())
            entries.append({folder.filePath(name), when});
    }
    std::sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) { return a.when > b.when; });
    return entries;
}
