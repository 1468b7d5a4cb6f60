// The glyphs of a bitmap font file (a console PSF font, a Unifont .hex file,
// a raw character-ROM dump, a picture sheet) as the file holds them, before
// an import lays them into symbols: pixel rows from the top, and the Unicode
// characters each glyph serves.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

class Font;
class Symbol;

// One glyph: rows of (width + 7) / 8 bytes, top row first, the leftmost
// pixel in a byte's high bit, a set bit ink; the bits past the width are
// padding.
struct BitmapGlyph {
    int width = 0;
    std::vector<uint8_t> rows;

    // A glyph of width x height pixels without ink.
    static BitmapGlyph Blank(int width, int height) {
        BitmapGlyph glyph;
        glyph.width = width;
        glyph.rows.assign(static_cast<size_t>(glyph.RowBytes()) * height, 0);
        return glyph;
    }

    int RowBytes() const { return (width + 7) / 8; }
    // x < width; y from the top, below the font's height.
    bool IsInk(int x, int y) const { return (rows[Byte(x, y)] & Bit(x)) != 0; }
    void SetInk(int x, int y) { rows[Byte(x, y)] |= Bit(x); }

private:
    size_t Byte(int x, int y) const { return static_cast<size_t>(y) * RowBytes() + x / 8; }
    static uint8_t Bit(int x) { return static_cast<uint8_t>(0x80u >> (x % 8)); }
};

// The widest and tallest glyphs the readers take: a symbol's 512 bytes hold
// at most 4 bytes (32 rows) a column, and no console font is wider.
constexpr int kMaxBitmapGlyphSide = 32;

struct BitmapFont {
    int height = 0;  // rows of every glyph
    std::vector<BitmapGlyph> glyphs;
    // The glyph of each character the file's Unicode table names; empty for a
    // file without a table, whose glyph n stands for code n.
    std::unordered_map<char32_t, int> unicode;
    // The glyphs' order means nothing, their characters are their only key
    // (a .hex file's): code n of the raw charset is character U+n.
    bool keyedByCharacter = false;

    bool HasUnicodeTable() const { return !unicode.empty(); }
    // The glyph of character, or -1.
    int GlyphOf(char32_t character) const {
        const auto found = unicode.find(character);
        return found == unicode.end() ? -1 : found->second;
    }
    // Appends a glyph of width x height pixels from rows laid out as
    // BitmapGlyph keeps them.
    void AddGlyph(int width, const uint8_t* rows) {
        BitmapGlyph glyph;
        glyph.width = width;
        glyph.rows.assign(rows, rows + static_cast<size_t>(glyph.RowBytes()) * height);
        glyphs.push_back(std::move(glyph));
    }
    // The first glyph a table gives a character keeps it.
    void Map(char32_t character, int glyph) { unicode.emplace(character, glyph); }
};

// The symbol's pixel rows from the top, all 8 x height of them, in a glyph
// width pixels wide: columns past the symbol's width are blank, columns past
// width left out.
BitmapGlyph GlyphOfSymbol(const Symbol& symbol, int width);

// The columns of font's widest symbol, at least 1.
int WidestSymbol(const Font& font);
