#include "convert/text_file.h"

#include "text/text_rules.h"

#include <QSaveFile>

QString writeHexFile(const QString &text, const QString &fileName)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    const QByteArray bytes = trimBlanks(text).toLatin1() + "\r\n";
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return QString();
}
