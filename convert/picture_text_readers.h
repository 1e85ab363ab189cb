#pragma once

// Inside convert/: the two readers readPictureText tries in turn, and what
// they share.

#include "convert/byte_matrix.h"

#include <QChar>
#include <QString>

#include <optional>
#include <vector>

// The bytes a reader found, in the order the text gives them.
using Bytes = std::vector<quint8>;

// The bytes of a 128 x 64 picture, and of a 128 x 32 one.
inline constexpr std::size_t FullCount = ByteMatrix::Columns * ByteMatrix::Pages;
inline constexpr std::size_t HalfCount = FullCount / 2;

inline bool isPictureCount(std::size_t count)
{
    return count == FullCount || count == HalfCount;
}

// The value of a hex digit, or -1.
inline int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// The text as Convert writes it with format (see readPictureText); nothing
// when it does not have that shape.
std::optional<Bytes> readConvertShape(const QString &text, const OutputFormat &format);

// The text as a byte list in source code (see readPictureText); nothing when
// it holds something that is no byte, and then *message says what.
std::optional<Bytes> readSourceList(const QString &text, QString *message);
