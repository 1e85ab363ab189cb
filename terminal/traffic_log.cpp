#include "terminal/traffic_log.h"

#include "text/file_kind.h"
#include "text/file_save.h"

#include <QFileInfo>

namespace {
QString escaped(QChar ch)
{
    switch (ch.unicode()) {
    case u'\\':
        return QStringLiteral("\\\\");
    case u'\r':
        return QStringLiteral("\\r");
    case u'\n':
        return QStringLiteral("\\n");
    case u'\t':
        return QStringLiteral("\\t");
    default:
        break;
    }
    if (ch.unicode() < 0x20 || ch.unicode() > 0x7E)
        return QStringLiteral("\\x%1").arg(ch.unicode() & 0xFF, 2, 16, QLatin1Char('0'));
    return QString(ch);
}
} // namespace

QStringList trafficLogLines(const QDateTime &at, TrafficDirection direction, const QString &chars)
{
    const QString start = at.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")) +
                          (direction == TrafficDirection::Received ? QStringLiteral(" RX ") : QStringLiteral(" TX "));
    QStringList lines;
    QString line = start;
    for (qsizetype i = 0; i < chars.size(); ++i) {
        line += escaped(chars.at(i));
        if (chars.at(i) == QLatin1Char('\n') && i + 1 < chars.size()) {
            lines << line;
            line = start;
        }
    }
    if (!chars.isEmpty())
        lines << line;
    return lines;
}

bool TrafficLog::open(const QString &fileName, QString *error)
{
    close();
    if (isSpecialFile(fileName) || QFileInfo(fileName).isDir()) {
        *error = QStringLiteral("%1 is not a regular file").arg(fileName);
        return false;
    }
    file_.setFileName(fileName);
    // Unbuffered: a write the disk cuts short is seen at once, and the next
    // one, for the rest, tells why (a buffered flush reports no reason).
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text | QIODevice::Unbuffered))
        return fail(error);
    return true;
}

void TrafficLog::close()
{
    if (file_.isOpen())
        file_.close();
}

bool TrafficLog::write(TrafficDirection direction, const QString &chars, QString *error)
{
    if (!file_.isOpen())
        return false;
    for (const QString &line : trafficLogLines(QDateTime::currentDateTime(), direction, chars)) {
        const QByteArray bytes = line.toUtf8() + '\n';
        if (!writeAll(file_, bytes))
            return fail(error);
    }
    return true;
}

bool TrafficLog::fail(QString *error)
{
    *error = QStringLiteral("%1: %2").arg(file_.fileName(), file_.errorString());
    file_.close();
    return false;
}
