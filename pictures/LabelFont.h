// The small font that labels glyphmill's pictures: misc-fixed 5 x 7, the
// characters of every code page glyphmill knows but Arabic and Thai, 5 x 7
// dots a character cell, one blank column at the right of each glyph.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int kLabelWidth = 5;
constexpr int kLabelHeight = 7;

struct LabelGlyph {
    char32_t character;
    uint8_t rows[kLabelHeight];  // from the top; bit 4 of a row is the glyph's leftmost column
};

// In the order of their characters.
extern const LabelGlyph kLabelGlyphs[];
extern const size_t kLabelGlyphCount;
