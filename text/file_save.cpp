#include "text/file_save.h"

#include "text/file_kind.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Some file systems (network ones) report a full disk or a used-up quota
// only when the data is synced, so the sync is part of the write.
bool syncToDisk(QFileDevice &file, QString *reason)
{
#ifdef Q_OS_UNIX
    if (::fsync(file.handle()) != 0) {
        *reason = systemError(errno);
        return false;
    }
#else
    Q_UNUSED(file);
    Q_UNUSED(reason);
#endif
    return true;
}

// Claims the disk space for a file that grows from oldSize to newSize, so
// that a full disk or a file-size limit shows before anything is written.
QString reserveRoom(QFile &file, qint64 oldSize, qint64 newSize)
{
#ifdef Q_OS_LINUX
    if (newSize > oldSize) {
        const int error = ::posix_fallocate(file.handle(), oldSize, newSize - oldSize);
        if (error != 0)
            return systemError(error);
    }
#else
    Q_UNUSED(file);
    Q_UNUSED(oldSize);
    Q_UNUSED(newSize);
#endif
    return QString();
}

// Writing in place is taken only when no temporary file can be made next
// to the file (its folder takes no new file from this user, though the file
// itself may be changed), because a write that fails halfway would damage
// the old content. To keep it whole: the file is opened without emptying
// it, the room for the new content is reserved first (a full disk or a
// file-size limit fails there, with nothing overwritten), and if a write
// still fails, the part already overwritten, and only that, is written back
// and the old length restored. (More would fail where the first write did,
// beyond a size limit, and report a loss that did not happen.)
QString writeInPlace(const QString &fileName, const QByteArray &bytes, const QString &noTemporaryReason)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return noTemporaryReason;
    const qint64 oldSize = file.size();
    const QByteArray oldHead = file.read(bytes.size());
    if (oldHead.size() != std::min<qint64>(oldSize, bytes.size()))
        return noTemporaryReason; // what could not be read could not be put back

    QString reason = reserveRoom(file, oldSize, bytes.size());
    qint64 overwritten = 0;
    if (reason.isEmpty()) {
        if (!file.seek(0) || !writeAll(file, bytes, &overwritten) || !file.resize(bytes.size()))
            reason = file.errorString();
        else
            syncToDisk(file, &reason);
    }
    if (reason.isEmpty())
        return QString();

    QString ignored;
    bool restored = overwritten == 0 || (file.seek(0) && writeAll(file, oldHead.left(overwritten)));
    restored = restored && file.resize(oldSize) && syncToDisk(file, &ignored);
    if (!restored)
        reason += QStringLiteral(" (the old content could not be put back)");
    return reason;
}

} // namespace

bool writeAll(QIODevice &device, const QByteArray &bytes, qint64 *done)
{
    qint64 count = 0;
    qint64 &written = done ? *done : count;
    written = 0;
    while (written < bytes.size()) {
        const qint64 now = device.write(bytes.constData() + written, bytes.size() - written);
        if (now <= 0)
            return false;
        written += now;
    }
    return true;
}

QString replaceFile(const QString &fileName, const QByteArray &bytes)
{
    // A FIFO or a device (/dev/null, /dev/stdout) is written into, as every
    // program does: put in its place, a file would take it from whoever
    // reads it, and /dev/null from the whole system.
    if (isSpecialFile(fileName)) {
        QFile device(fileName);
        if (!device.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || !writeAll(device, bytes))
            return device.errorString();
        return QString();
    }
    // A symlink is written through: the file it points to is replaced, the
    // link stays.
    QSaveFile file(fileName);
    // Qt's own fallback to a direct write empties the old file as it opens
    // it, before a byte of the new content is known to fit; writeInPlace
    // does that part more carefully.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        const QString reason = file.errorString();
        if (QFileInfo(fileName).isFile())
            return writeInPlace(fileName, bytes, reason);
        return reason;
    }
    // Unbuffered, so every write reaches the system here and its failure is
    // seen: a buffered one would be written by the flush in commit(), and
    // QSaveFile::commit() does not notice when that fails; it would put a
    // cut-off file in the old one's place.
    QString reason;
    if (!writeAll(file, bytes) || !file.flush())
        reason = file.errorString();
    else
        syncToDisk(file, &reason);
    if (!reason.isEmpty()) {
        file.cancelWriting(); // the temporary file goes, the old one stays
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return QString();
}

void ignoreFileSizeSignal()
{
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}
