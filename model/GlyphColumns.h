// The sampling rules every font import follows: a glyph drawn with its
// cell's top-left corner on the symbol's top-left is read as columns of ink,
// and becomes a symbol as wide as its ink plus one blank column.
#pragma once

#include <vector>

class FontImage;
class Symbol;

// Columns sampled of each glyph, and so the widest symbol an import makes.
constexpr int kImportColumns = 128;

// Sampled pixel columns, one entry per pixel row, entry 0 the bottom row;
// 1 is ink.
using GlyphColumns = std::vector<std::vector<int>>;

// Width of an imported glyph: one blank column after its last ink, all the
// columns when the ink reaches the last one, 1 for a glyph without ink.
int ImportedWidth(const GlyphColumns& columns);

// Makes glyph the symbol of the first width columns, height bytes high, with
// the font's heightLimit; the bytes are packed by image's PackColumns and
// nothing of an earlier glyph stays behind them.
void PackImportedGlyph(FontImage& image, const GlyphColumns& columns, int width, int height, int heightLimit,
                       Symbol& glyph);
