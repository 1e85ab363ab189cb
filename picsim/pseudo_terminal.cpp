#include "picsim/pseudo_terminal.h"

#include "picsim/stop_signals.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <pty.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

bool openPseudoTerminal(Line &line, QString *error)
{
    char name[256] = {};
    if (::openpty(&line.fd, &line.keptSlave, name, nullptr, nullptr) != 0) {
        *error = QStringLiteral("cannot open a pseudo-terminal: %1").arg(systemError());
        return false;
    }
    termios raw{};
    if (::tcgetattr(line.keptSlave, &raw) == 0) {
        ::cfmakeraw(&raw);
        ::tcsetattr(line.keptSlave, TCSANOW, &raw);
    }
    line.name = QString::fromLocal8Bit(name);
    return true;
}

DeviceLink::~DeviceLink()
{
    if (!path_.isEmpty() && pointsTo(target_))
        ::unlink(path_.constData());
}

bool DeviceLink::create(const QString &path, const QString &target, QString *error)
{
    const QByteArray linkPath = QFile::encodeName(path);
    struct stat found
    {
    };
    if (::lstat(linkPath.constData(), &found) == 0) {
        if (!S_ISLNK(found.st_mode)) {
            *error = QStringLiteral("--link %1: exists and is not a symbolic link").arg(path);
            return false;
        }
        ::unlink(linkPath.constData());
    }
    if (::symlink(QFile::encodeName(target).constData(), linkPath.constData()) != 0) {
        *error = QStringLiteral("--link %1: %2").arg(path, systemError());
        return false;
    }
    path_ = linkPath;
    target_ = QFile::encodeName(target);
    removeLinkOnForcedEnd(path_, target_);
    return true;
}

bool DeviceLink::pointsTo(const QByteArray &target) const
{
    char buffer[4096];
    const ssize_t n = ::readlink(path_.constData(), buffer, sizeof buffer);
    return n >= 0 && QByteArray(buffer, static_cast<qsizetype>(n)) == target;
}
