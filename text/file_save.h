#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

// Replaces the file with these bytes, or leaves it as it was. The bytes go
// to a temporary file next to it that takes the file's place only once
// every byte is written, flushed and synced. Where the folder takes no new
// file but the file itself may be written, the bytes are written into it in
// place (see file_save.cpp for how the old content is kept safe then).
// An existing FIFO or device is written into, never replaced; through a
// symlink, the file it points to is replaced and the link kept.
// Returns the reason of a failure, or an empty text on success.
QString replaceFile(const QString &fileName, const QByteArray &bytes);

// A write beyond the file-size limit (ulimit -f) raises SIGXFSZ, which ends
// the program by default, before it can report anything. Ignored, the write
// fails with "File too large" and the save reports it. Programs that save
// files call this once at start.
void ignoreFileSizeSignal();

// Writes all the bytes and counts in `done` those written. A write the
// system cuts short (the disk filled up or a size limit was reached on the
// way) reports no error of its own; the next one, for the rest, fails and
// the device tells why.
bool writeAll(QIODevice &device, const QByteArray &bytes, qint64 *done = nullptr);
