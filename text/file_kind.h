#pragma once

#include <QString>

// True when the path names a regular file (through any symlinks): not a
// folder, a FIFO, a device or a socket, which a read could block on or
// never finish.
bool isRegularFile(const QString &fileName);

// True when both paths name one file on the disk (the same device and
// inode, through any symlinks); false when either does not exist.
bool isSameFile(const QString &a, const QString &b);

// Where a write to the path lands: the absolute path with every symlink on
// the way resolved, those of its folders and of the file itself, also when
// the file (or a folder above it) does not exist yet. A dangling symlink
// leads to the file it would make.
QString landingPath(const QString &fileName);

// What tells files apart: where a write lands, and for a file that exists,
// which file on the disk it is (a second hard link lands elsewhere by name).
struct FileKey
{
    QString landing;
    bool exists = false;
    quint64 device = 0;
    quint64 inode = 0;

    bool sameFileAs(const FileKey &other) const
    {
        return landing == other.landing || (exists && other.exists && device == other.device && inode == other.inode);
    }
};
FileKey fileKey(const QString &fileName);

// The one rule for two paths that lead to one file: the same landing path
// (so a symlinked folder or file leads nowhere else), or for files that
// exist, the same file on the disk. For outputs that may not exist yet.
bool namesOneFile(const QString &a, const QString &b);

// True when the path names an existing FIFO, device or socket: something a
// program writes into, never one to replace.
bool isSpecialFile(const QString &fileName);
