// Whole-font picture sheets: a font's 256 symbols in a grid of 16 x 16 cells,
// code = row x 16 + column, every cell as wide as the font's widest symbol
// and as high as its 8 x height rows, with no labels, gaps or scaling: ink
// black, paper white. Drawn by glyphmill, edited in any paint program, and
// read back cell by cell.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "BitmapFont.h"
#include "Pictures.h"
#include "PngReader.h"

class Font;

constexpr int kSheetCells = 16;  // across and down
// The largest cell read back: a symbol holds at most 512 columns, and 32 rows.
constexpr int kMaxSheetCellWidth = 512;
constexpr int kMaxSheetCellHeight = kMaxBitmapGlyphSide;

Picture GridSheetOf(const Font& font);

// Whether data start as a PNG or a BMP picture does.
bool IsSheetPicture(const uint8_t* data, size_t size);

// The glyphs of the sheet in picture: cells of cellWidth x cellHeight
// pixels from its top-left corner, or with 0 x 0 the picture's size divided
// by 16; glyph n is the cell of code n. False, with error naming the
// picture's size and what is wrong with it (not 16 cells either way, cells
// too large, ink outside the cells).
bool ReadSheet(const InkPicture& picture, int cellWidth, int cellHeight, BitmapFont& font, std::string& error);

// ReadSheet of a PNG or BMP picture, whose pixels become ink or paper as the
// symbol editor's import decides (a pixel with alpha below 128 is paper).
bool ReadSheetPicture(const std::vector<uint8_t>& bytes, int cellWidth, int cellHeight, BitmapFont& font,
                      std::string& error);
