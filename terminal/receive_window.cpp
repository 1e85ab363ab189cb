#include "terminal/receive_window.h"

#include "text/text_rules.h"

#include <QList>
#include <Qt>
#include <algorithm>

QString capReceiveText(const QString &text)
{
    if (text.size() <= ReceiveWindowLimit)
        return text;
    qsizetype start = text.size() - ReceiveWindowLimit;
    // Do not begin with the second half of a character typed by the user.
    if (text.at(start).isLowSurrogate())
        ++start;
    return text.mid(start);
}

ReceiveAppend receiveAppend(qsizetype currentLength, const QString &shown)
{
    if (currentLength == 0 || shown.size() >= ReceiveWindowLimit)
        return {true, 0, capReceiveText(shown)};
    return {false, std::max<qsizetype>(0, currentLength + shown.size() - ReceiveWindowLimit), shown};
}

QString appendReceived(const QString &current, const QString &received)
{
    if (received.isEmpty())
        return current;
    const QString before = current == WaitingText ? QString() : current;
    const ReceiveAppend edit = receiveAppend(before.size(), received);
    if (edit.replaceAll)
        return edit.text;
    qsizetype from = edit.dropFront;
    if (from > 0 && from < before.size() && before.at(from).isLowSurrogate())
        ++from;
    return before.mid(from) + edit.text;
}

QString receiveTextOnClose(const QString &current)
{
    return current == WaitingText ? SerialInputTitle : current;
}

std::optional<char> characterToSend(char32_t code)
{
    if (code == 0)
        return std::nullopt;
    if (code > 0xFF)
        return '?';
    const QString lowered = lowerCase(QString(QChar(static_cast<char16_t>(code))));
    const char16_t result = lowered.size() == 1 ? lowered.at(0).unicode() : char16_t(code);
    return static_cast<char>(result <= 0xFF ? result : code);
}

std::optional<char> keyPressToSend(int qtKey, const QString &text)
{
    if (qtKey == Qt::Key_Return || qtKey == Qt::Key_Enter)
        return '\r';
    if (qtKey == Qt::Key_Backspace)
        return '\b';
    const QList<uint> codes = text.toUcs4();
    if (codes.size() != 1)
        return std::nullopt;
    return characterToSend(codes.at(0));
}
