#pragma once

#include <QString>

// Turns received characters into text a text box can show, without losing
// any: CR LF, a lone CR and a lone LF each break the line (a CR LF split
// over two reads is still one break), and other control characters (NUL,
// ESC, DEL, ...) appear as their visible symbols (U+2400 onwards), so
// nothing that arrived is silently dropped.
class ReceiveDisplay
{
public:
    QString toDisplay(const QString &received);
    void reset() { lastWasCR_ = false; }

private:
    bool lastWasCR_ = false;
};

// The same mapping for a whole text at once (a file read into the
// transmit window).
QString displayableText(const QString &text);
