#pragma once

#include <cstdint>

// The built-in LCD font: 5 x 7 dots for each printable ASCII character,
// space (32) to tilde (126). Each glyph is 7 rows from the top; in a row
// bit 4 is the leftmost dot and bit 0 the rightmost.
namespace LcdFont5x7 {
constexpr int GlyphWidth = 5;
constexpr int GlyphHeight = 7;
constexpr char32_t First = 32;
constexpr char32_t Last = 126;

// The rows of a character's glyph; characters outside the range get the
// glyph of '?'.
const std::uint8_t *glyphRows(char32_t character);
} // namespace LcdFont5x7
