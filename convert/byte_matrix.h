#pragma once

#include <QString>
#include <QtGlobal>

#include <array>

class Canvas;

// The picture as the KS0108 takes it: 128 columns by 8 pages of one byte.
// Bit k of the byte at (x, page) is the pixel in row 8 * page + k, so bit 0
// is the top row of the page and bit 7 its bottom row.
struct ByteMatrix
{
    static constexpr int Columns = 128;
    static constexpr int Pages = 8;

    // Column by column, the pages of a column next to each other: the order
    // in which the canvas is scanned.
    std::array<quint8, Columns * Pages> bytes{};

    quint8 at(int x, int page) const { return bytes[index(x, page)]; }
    quint8 &at(int x, int page) { return bytes[index(x, page)]; }

    friend bool operator==(const ByteMatrix &a, const ByteMatrix &b) { return a.bytes == b.bytes; }
    friend bool operator!=(const ByteMatrix &a, const ByteMatrix &b) { return !(a == b); }

private:
    static std::size_t index(int x, int page)
    {
        // The bounds are fixed; anything outside them is a fault of the caller.
        Q_ASSERT(x >= 0 && x < Columns && page >= 0 && page < Pages);
        return static_cast<std::size_t>(x * Pages + page);
    }
};

// Each byte's sum as it was added up during the scan, in scan order. The list
// has room for 1051 values; a full scan fills the first 1024.
using ByteValues = std::array<qint16, 1051>;

// How the bytes are written as text: Format and two hex digits and the
// Delimiter per byte, the Header before all and the Footer after all.
// Default-constructed it is all empty: plain hex digits.
struct OutputFormat
{
    QString Header;
    QString Footer;
    QString Delimiter;
    QString Format;

    // The values the boxes hold when the program starts: "$00,$01,..."
    static OutputFormat startUp() { return {QString(), QString(), QStringLiteral(","), QStringLiteral("$")}; }
};

// Scans the whole 128 x 64 canvas (also in 128x32 mode, where the hidden rows
// read as clear) through pixelIsSet: columns left to right, within a column
// the pages top to bottom. When byteValues is given it is zeroed and each
// byte's sum is written into it in that scan order.
ByteMatrix buildByteMatrix(const Canvas &canvas, ByteValues *byteValues = nullptr);

// The matrix as one line of text. horizontalBytes 0 (Vertical) writes page by
// page, each page left to right; any other value (Horizontal) writes column
// by column, each column top to bottom. The delimiter after the last byte is
// left out; the whole text is then trimmed of blanks and lower-cased.
// Only the first `pages` pages are written: 4 give a 128 x 32 picture.
QString formatByteMatrix(const ByteMatrix &matrix, qint16 horizontalBytes, const OutputFormat &format,
                         int pages = ByteMatrix::Pages);
