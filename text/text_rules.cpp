#include "text/text_rules.h"

QString trimBlanks(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

QString lowerCase(const QString &text)
{
    return text.toLower();
}

QString oneBreakPerLine(const QString &text)
{
    QString lines;
    lines.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (ch != QLatin1Char('\n') && ch != QLatin1Char('\r')) {
            lines += ch;
            continue;
        }
        lines += QLatin1Char('\n');
        // The other half of a two-character line end belongs to the same break.
        const QChar partner = ch == QLatin1Char('\n') ? QLatin1Char('\r') : QLatin1Char('\n');
        if (i + 1 < text.size() && text.at(i + 1) == partner)
            ++i;
    }
    return lines;
}
