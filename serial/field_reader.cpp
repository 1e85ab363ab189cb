#include "serial/field_reader.h"

#include "text/file_kind.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>

namespace {
bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool endsField(char c)
{
    return c == ',' || c == '\n' || c == '\r';
}
} // namespace

void FieldReader::feed(QByteArrayView bytes)
{
    for (const char c : bytes) {
        switch (state_) {
        case State::FieldStart:
            if (isBlank(c) || endsField(c))
                break; // a CR LF is two empty ends, which add nothing
            if (c == '"') {
                state_ = State::Quoted;
            } else {
                fields_ += c;
                state_ = State::Unquoted;
            }
            break;
        case State::Unquoted:
            if (endsField(c))
                state_ = State::FieldStart;
            else
                fields_ += c;
            break;
        case State::Quoted:
            if (c == '"')
                state_ = State::AfterQuote;
            else
                fields_ += c;
            break;
        case State::AfterQuote:
            if (endsField(c)) {
                state_ = State::FieldStart;
            } else if (!isBlank(c)) {
                fields_ += c;
                state_ = State::Unquoted;
            }
            break;
        }
    }
}

QString readFields(QByteArrayView bytes)
{
    FieldReader reader;
    reader.feed(bytes);
    return reader.text();
}

FieldFileResult readFieldDevice(QIODevice &device)
{
    FieldReader reader;
    char chunk[64 * 1024];
    for (;;) {
        const qint64 n = device.read(chunk, sizeof chunk);
        if (n < 0)
            return {reader.text(), device.errorString()};
        if (n == 0)
            break;
        reader.feed(QByteArrayView(chunk, n));
    }
    return {reader.text(), QString()};
}

FieldFileResult readFieldFile(const QString &fileName)
{
    // A FIFO or a device could keep the read waiting for ever.
    if (QFileInfo::exists(fileName) && !QFileInfo(fileName).isDir() && !isRegularFile(fileName))
        return {QString(), QStringLiteral("%1 is not a regular file (a FIFO, a device or a socket)").arg(fileName)};
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {QString(), file.errorString()};
    return readFieldDevice(file);
}
