#pragma once

#include <cstdint>

// The built-in LCD font: 5 x 7 dots for each printable ASCII character,
// space (32) to tilde (126), each Latin-1 character (160 to 255) and the
// euro sign. Each glyph is 7 rows from the top; in a row
// bit 4 is the leftmost dot and bit 0 the rightmost.
namespace LcdFont5x7 {
constexpr int GlyphWidth = 5;
constexpr int GlyphHeight = 7;
constexpr char32_t First = 32;
constexpr char32_t Last = 126;
constexpr char32_t LatinFirst = 0xA0;
constexpr char32_t LatinLast = 0xFF;
constexpr char32_t EuroSign = 0x20AC;

// The rows of a character's glyph; characters the font lacks get the
// glyph of '?'.
const std::uint8_t *glyphRows(char32_t character);
} // namespace LcdFont5x7
