#pragma once

#include "serial/receive_gatherer.h"

#include <QString>
#include <optional>

// The receive window's placeholder while the port is open and nothing has
// arrived yet, and its caption text while the port is closed.
inline const QString WaitingText = QStringLiteral("Waiting.....");
inline const QString SerialInputTitle = QStringLiteral("Serial Input from PIC");

// The most the receive window holds; older text is dropped to make room.
inline constexpr qsizetype ReceiveWindowLimit = 10000;
static_assert(ReceiveKeptLimit == 2 * ReceiveWindowLimit, "the line's thread keeps enough to fill the window");

// The receive window after a poll: the placeholder goes at the first data,
// the received text is appended unchanged, and the oldest characters are
// dropped beyond ReceiveWindowLimit. What just arrived is always kept (its
// last ReceiveWindowLimit characters when it is longer by itself). Nothing
// received leaves the text as it is.
QString appendReceived(const QString &current, const QString &received);

// The same rule as an edit of the text shown, so that appending costs what
// the new text does: drop the first dropFront characters, then add text at
// the end; or, when the window is empty (or shows the placeholder) or the
// new text fills it alone, show text in place of everything. A dropFront
// that falls inside a character typed by the user takes all of it.
struct ReceiveAppend
{
    bool replaceAll = false;
    qsizetype dropFront = 0;
    QString text;
};
ReceiveAppend receiveAppend(qsizetype currentLength, const QString &shown);

// Keeps the newest ReceiveWindowLimit characters of a text.
QString capReceiveText(const QString &text);

// The receive window when the port closes: the placeholder turns back into
// the caption, any other text stays.
QString receiveTextOnClose(const QString &current);

// The character a key typed into the transmit window sends, given its
// character code: lower-cased, control codes unchanged. Codes beyond
// 8 bits go out as '?'; code 0 (no character) sends nothing.
std::optional<char> characterToSend(char32_t code);

// The same for a key event: Enter and Return send CR, Backspace sends BS,
// other keys send their one-character text; keys without text (Shift, the
// arrows) send nothing.
std::optional<char> keyPressToSend(int qtKey, const QString &text);
