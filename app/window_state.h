#pragma once

#include "convert/byte_matrix.h"

#include <QString>

// The variables the main window's commands share. They live as long as the
// window and are never saved; the window's load step sets the start values.
struct WindowState
{
    bool penDown = false;            // a mouse button is held on the canvas
    ::ByteMatrix ByteMatrix;         // the display bytes of the last conversion
    ByteValues byteValues{};         // per-byte sums of the last scan
    QString workText;                // working copy of the output text
    QString savedOutput;             // the last converted text, for Restore
    qint16 horizontalBytes = 0;      // 0 Vertical, any other value Horizontal
    qint16 canvasFullHeight = 0;     // image box height at start-up, in twips
    qint16 imageWidth = 0;
    qint16 imageHeight = 0;          // 64 also in 128x32 mode
    bool halfHeight = false;         // the image box shows 128x32
    qint16 picBuffer = 0;            // piece length of the transmission text
    qint16 picDelay = 0;             // the PIC's delay in ms, sent in the prefix
    QString waitChars;               // put before each piece; the pause trigger
    QString sendText;                // the transmission text
    bool eepromMode = false;         // the picture goes to the I2C EEPROM
    QString paramPrefix;             // the prefix built at the last Convert
};
