#include "text/shared_files.h"

#include "text/file_kind.h"

#include <QHash>
#include <QPair>

namespace {

struct Seen
{
    qsizetype group;
    QString file;
};

QString named(const FileGroup &group, const QString &file)
{
    return group.label.isEmpty() ? file : group.label + QLatin1Char(' ') + file;
}

QString problem(const QList<FileGroup> &groups, const Seen &first, const Seen &second)
{
    const FileGroup &a = groups.at(first.group);
    const FileGroup &b = groups.at(second.group);
    if (!a.written || !b.written) {
        const Seen &writer = a.written ? first : second;
        const Seen &reader = a.written ? second : first;
        const QString shown = reader.file == writer.file ? QString() : QStringLiteral(" (%1)").arg(reader.file);
        return QStringLiteral("%1 would overwrite %2%3")
            .arg(named(groups.at(writer.group), writer.file), groups.at(reader.group).label, shown);
    }
    if (first.group == second.group)
        return QStringLiteral("two pictures would both be written to %1").arg(second.file);
    return QStringLiteral("%1 and %2 lead to one file").arg(named(a, first.file), named(b, second.file));
}

} // namespace

QString numberedFile(const QString &pattern, int number)
{
    return QString(pattern).replace(QLatin1String("%d"), QString::number(number));
}

QStringList numberedFiles(const QString &pattern, int count)
{
    QStringList files;
    for (int number = 1; number <= count && !pattern.isEmpty(); ++number)
        files << numberedFile(pattern, number);
    return files;
}

QString sharedFileProblem(const QList<FileGroup> &groups)
{
    // By landing path and by the file on the disk, so a series of a
    // thousand names is not compared pair by pair.
    QHash<QString, Seen> byLanding;
    QHash<QPair<quint64, quint64>, Seen> byInode;
    for (qsizetype g = 0; g < groups.size(); ++g) {
        for (const QString &file : groups.at(g).files) {
            const FileKey key = fileKey(file);
            const Seen here{g, file};
            const QPair<quint64, quint64> inode{key.device, key.inode};
            for (const Seen *seen : {byLanding.contains(key.landing) ? &byLanding[key.landing] : nullptr,
                                     key.exists && byInode.contains(inode) ? &byInode[inode] : nullptr}) {
                if (seen && (groups.at(g).written || groups.at(seen->group).written))
                    return problem(groups, *seen, here);
            }
            byLanding.insert(key.landing, here);
            if (key.exists)
                byInode.insert(inode, here);
        }
    }
    return QString();
}
