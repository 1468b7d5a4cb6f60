// GNU Unifont's .hex files: a line per glyph, its Unicode code point in hex,
// a colon and its 16 rows in hex, 2 digits a row for a glyph 8 pixels wide,
// 4 for one 16 wide. Plain or gzip'ed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "BitmapFont.h"

class Font;
struct Charset;

// Reads a .hex file (gzip'ed or not) into font, every glyph keyed by its
// code point. False, with error naming the line and what is wrong with it,
// for anything else.
bool ReadHex(std::vector<uint8_t> bytes, BitmapFont& font, std::string& error);

// font as .hex, a line per code ordered by the charset's characters (raw:
// code n is U+00nn): each symbol's 8 x height rows on top of the 16, in a
// glyph 8 pixels wide, or 16 for a symbol with ink further right (the blank
// columns after the ink are the import's width rule). False, with error
// saying why, for a font higher than 2 bytes or ink beyond 16 columns.
bool WriteHex(const Font& font, const Charset& charset, std::string& text, std::string& error);
