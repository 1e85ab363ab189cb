#include "text/file_kind.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

bool isRegularFile(const QString &fileName)
{
#ifdef Q_OS_UNIX
    struct stat info = {};
    return ::stat(QFile::encodeName(fileName).constData(), &info) == 0 && S_ISREG(info.st_mode);
#else
    return QFileInfo(fileName).isFile();
#endif
}
