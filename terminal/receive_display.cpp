#include "terminal/receive_display.h"

QString ReceiveDisplay::toDisplay(const QString &received)
{
    QString shown;
    shown.reserve(received.size());
    for (const QChar ch : received) {
        const char16_t code = ch.unicode();
        if (code == u'\n') {
            if (!lastWasCR_)
                shown += QLatin1Char('\n');
            lastWasCR_ = false;
            continue;
        }
        lastWasCR_ = code == u'\r';
        if (code == u'\r')
            shown += QLatin1Char('\n');
        else if (code == u'\t')
            shown += ch;
        else if (code < 0x20)
            shown += QChar(char16_t(0x2400 + code));
        else if (code == 0x7F)
            shown += QChar(char16_t(0x2421));
        else
            shown += ch;
    }
    return shown;
}

QString displayableText(const QString &text)
{
    ReceiveDisplay display;
    return display.toDisplay(text);
}
