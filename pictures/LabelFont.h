// The small font that labels glyphmill's pictures: printable ASCII, 5 x 7
// dots a character cell, one blank column at the right of each glyph.
#pragma once

#include <cstdint>

constexpr int kLabelWidth = 5;
constexpr int kLabelHeight = 7;
constexpr char kLabelFirst = 0x20;
constexpr char kLabelLast = 0x7E;

// Row by row from the top; bit 4 of a row is the glyph's leftmost column.
extern const uint8_t kLabelGlyphs[kLabelLast - kLabelFirst + 1][kLabelHeight];
