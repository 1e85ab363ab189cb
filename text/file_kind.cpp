#include "text/file_kind.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {
#ifdef Q_OS_UNIX
bool statOf(const QString &fileName, struct stat &info)
{
    return ::stat(QFile::encodeName(fileName).constData(), &info) == 0;
}
#endif

// As many links as the system follows before it gives up (ELOOP).
constexpr int MostLinksFollowed = 40;

QString landingPathOf(const QString &path, int linksLeft)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (!canonical.isEmpty())
        return canonical;
    const QFileInfo info(path);
    if (linksLeft <= 0)
        return QDir::cleanPath(info.absoluteFilePath());
    if (info.isSymLink()) // dangling, or a loop: where the link leads
        return landingPathOf(info.symLinkTarget(), linksLeft - 1);
    // Missing: its folder's landing path and its name. The name is no
    // link, so "." and ".." after it are resolved by the text alone.
    QString absolute = QDir::isAbsolutePath(path) ? path : QDir::currentPath() + QLatin1Char('/') + path;
    while (absolute.size() > 1 && absolute.endsWith(QLatin1Char('/')))
        absolute.chop(1);
    const qsizetype slash = absolute.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return QDir::cleanPath(absolute);
    const QString folder = slash == 0 ? QStringLiteral("/") : absolute.left(slash);
    return QDir::cleanPath(landingPathOf(folder, linksLeft) + QLatin1Char('/') + absolute.mid(slash + 1));
}
} // namespace

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
    const FileKey first = fileKey(a);
    const FileKey second = fileKey(b);
    return first.exists && second.exists && first.sameFileAs(second);
}

QString landingPath(const QString &fileName)
{
    return landingPathOf(fileName, MostLinksFollowed);
}

FileKey fileKey(const QString &fileName)
{
    FileKey key;
    key.landing = landingPath(fileName);
#ifdef Q_OS_UNIX
    struct stat info = {};
    if (statOf(fileName, info)) {
        key.exists = true;
        key.device = info.st_dev;
        key.inode = info.st_ino;
    }
#endif
    return key;
}

bool namesOneFile(const QString &a, const QString &b)
{
    return fileKey(a).sameFileAs(fileKey(b));
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
