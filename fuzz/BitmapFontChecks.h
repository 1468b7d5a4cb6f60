// What every bitmap font reader promises of a font it accepts, checked on
// what it makes of arbitrary bytes.
#pragma once

#include "BitmapFont.h"

inline void CheckBitmapFont(const BitmapFont& font, int maxWidth = kMaxBitmapGlyphSide) {
    if (font.height < 1 || font.height > kMaxBitmapGlyphSide || font.glyphs.empty()) __builtin_trap();
    for (const BitmapGlyph& glyph : font.glyphs) {
        if (glyph.width < 1 || glyph.width > maxWidth ||
            glyph.rows.size() != static_cast<size_t>(glyph.RowBytes()) * font.height)
            __builtin_trap();
    }
    for (const auto& [character, glyph] : font.unicode) {
        if (glyph < 0 || static_cast<size_t>(glyph) >= font.glyphs.size()) __builtin_trap();
    }
}
