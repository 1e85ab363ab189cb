#include "text/file_kind.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

#ifdef Q_OS_UNIX
namespace {
bool statOf(const QString &fileName, struct stat &info)
{
    return ::stat(QFile::encodeName(fileName).constData(), &info) == 0;
}
} // namespace
#endif

bool isRegularFile(const QString &fileName)
{
#ifdef Q_OS_UNIX
    struct stat info = {};
    return statOf(fileName, info) && S_ISREG(info.st_mode);
#else
    return QFileInfo(fileName).isFile();
#endif
}

bool isSameFile(const QString &a, const QString &b)
{
#ifdef Q_OS_UNIX
    struct stat first = {};
    struct stat second = {};
    return statOf(a, first) && statOf(b, second) && first.st_dev == second.st_dev && first.st_ino == second.st_ino;
#else
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
#endif
}

bool namesOneFile(const QString &a, const QString &b)
{
    return QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath() || isSameFile(a, b);
}

bool isSpecialFile(const QString &fileName)
{
#ifdef Q_OS_UNIX
    struct stat info = {};
    return statOf(fileName, info) && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode);
#else
    Q_UNUSED(fileName);
    return false;
#endif
}
