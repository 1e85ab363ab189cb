#pragma once

#include "picsim/pic_receiver.h"

#include <QByteArray>

// What the PIC simulator's tests feed it: a full display of bytes and
// the transmissions the program builds from them.

inline QByteArray testBytes()
{
    QByteArray bytes(PicReceiver::DisplayBytes, '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>((i * 37 + i / 128) & 0xFF);
    return bytes;
}

// The transmission the program builds: prefix, then pieces behind the
// wait text.
inline QByteArray transmission(const QByteArray &prefix, const QByteArray &bytes, int pieceLength,
                               const QByteArray &wait)
{
    const QByteArray hex = bytes.toHex();
    QByteArray text = prefix;
    for (qsizetype at = 0; at < hex.size(); at += pieceLength)
        text += wait + hex.mid(at, pieceLength);
    return text;
}
