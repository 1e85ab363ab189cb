#include "serial/pic_settings.h"

QString applySettingsMessage(qint16 picBuffer, qint16 picDelay, const QString &waitChars, const QString &xmitDelayText)
{
    const QString lineEnd = QStringLiteral("\n\r");
    return QStringLiteral("Settings Now") + lineEnd + QStringLiteral("Buffer:") + QString::number(picBuffer) + lineEnd +
           QStringLiteral("Delay:") + QString::number(picDelay) + lineEnd + QStringLiteral("Wait Char(s): ") +
           waitChars + lineEnd + QStringLiteral("Xmit Delay:") + xmitDelayText;
}
