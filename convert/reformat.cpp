#include "convert/reformat.h"

#include "text/text_rules.h"

bool formatAllowsReformat(const QString &format, const QString &delimiter)
{
    return format.isEmpty() && delimiter.isEmpty();
}

QString workTextFrom(const QString &shownText)
{
    return lowerCase(trimBlanks(shownText));
}

QString reformatForOutput(const QString &text, int N, const QString &waitChars, const QString &paramPrefix)
{
    Q_ASSERT(N >= 1);
    const qsizetype pieceLength = qMax(N, 1);
    const qsizetype pieceCount = (text.size() + pieceLength - 1) / pieceLength;

    QString sendText;
    sendText.reserve(paramPrefix.size() + pieceCount * waitChars.size() + text.size());
    sendText += paramPrefix;
    for (qsizetype start = 0; start < text.size(); start += pieceLength) {
        sendText += waitChars;
        sendText += QStringView(text).mid(start, pieceLength);
    }
    return sendText;
}
