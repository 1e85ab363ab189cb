#pragma once

#include "convert/byte_matrix.h"

#include <QImage>
#include <QString>
#include <optional>

// A picture read back from text: its display bytes and how many rows the
// text held.
struct TextPicture
{
    ByteMatrix matrix;
    // 64, or 32 when the text held 512 bytes; then pages 4 to 7 are clear.
    int height = ByteMatrix::Pages * 8;
};

// Reads the display bytes back from text. 1024 bytes make a 128 x 64
// picture, 512 bytes a 128 x 32 one. The bytes stand in the order given by
// horizontalBytes, as formatByteMatrix writes them: 0 page by page, each
// page left to right; any other value column by column, each column's pages
// top to bottom (4 pages a column for 512 bytes).
//
// First the text is read as Convert writes it with format: the whole text,
// or failing that each of its lines, is an optional Header, then Format and
// two hex digits per byte between Delimiters, then an optional Footer.
// Case, blanks and line breaks around the pieces do not matter, and a line
// may end with a Delimiter, so text trimmed, re-spaced or cut into lines
// still reads.
//
// Where the text does not have that shape, or gives no picture, it is read
// as a byte list in source code. Comments (/* */, //, ;) are skipped. In C
// text only what stands between braces is read (not the array size). Where
// most of the text stands on lines that begin with a data directive (db,
// dt, de, data, retlw, .byte, .db, defb, fcb, dc.b; a label may come first)
// only what follows the directives is read; otherwise all but preprocessor
// lines (#define ...). A transmission text's parameter prefix ("*" and its
// digits) is skipped. Numbers are written:
//   hex      0x1F, $1F, &H1F, 1Fh (a digit first: 0FFh), H'1F'
//   binary   0b00011111, B'00011111'
//   decimal  31, D'31'
// Unmarked numbers are decimal, with two exceptions where they are hex: the
// text is nothing but hex digits, 2048 (or 1024) of them, in runs of even
// length (a converted text without Format, the body of a transmission
// text); or no number is marked and some number starting with a digit holds
// a hex letter (1f, 0a): then every run of hex digits is hex, two digits a
// byte. Words (names, directives, types) are passed over.
//
// Returns nothing when the text gives no picture and puts into message, when
// given, what was found: the number of bytes when they are not 1024 or 512,
// or the first number that is no byte.
std::optional<TextPicture> readPictureText(const QString &text, const OutputFormat &format, qint16 horizontalBytes,
                                           QString *message = nullptr);

// The picture the matrix stands for, as the canvas holds it: 128 x 64, pure
// black (0, 0, 0) for a set bit, white for a clear one. Bit k of the byte at
// (x, page) is the pixel in row 8 * page + k, so a canvas holding this
// picture gives the same matrix back.
QImage pictureFromByteMatrix(const ByteMatrix &matrix);
