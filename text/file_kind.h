#pragma once

#include <QString>

// True when the path names a regular file (through any symlinks): not a
// folder, a FIFO, a device or a socket, which a read could block on or
// never finish.
bool isRegularFile(const QString &fileName);

// True when both paths name one file on the disk (the same device and
// inode, through any symlinks); false when either does not exist.
bool isSameFile(const QString &a, const QString &b);

// True when both paths lead to one file: the same path, or for files that
// exist, the same file on the disk (so a symlink or a second name leads
// nowhere else). For outputs that may not exist yet.
bool namesOneFile(const QString &a, const QString &b);

// True when the path names an existing FIFO, device or socket: something a
// program writes into, never one to replace.
bool isSpecialFile(const QString &fileName);
