#pragma once

#include <QString>

// True when the path names a regular file (through any symlinks): not a
// folder, a FIFO, a device or a socket, which a read could block on or
// never finish.
bool isRegularFile(const QString &fileName);
