#pragma once

#include <QString>

// A picture's transmission with the start-up settings, as Reformat For
// Output builds it: the prefix "*02000000A", then 64 pieces of 32 hex
// digits, each behind "]" (2122 characters).
inline QString pictureTransmission()
{
    QString text = QStringLiteral("*02000000A");
    const char digits[] = "0123456789abcdef";
    for (int piece = 0; piece < 64; ++piece) {
        text += QLatin1Char(']');
        for (int i = 0; i < 32; ++i)
            text += QLatin1Char(digits[(piece * 7 + i * 3) % 16]);
    }
    return text;
}
