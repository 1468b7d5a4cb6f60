// The Linux console's PC Screen Fonts: PSF1 (8 pixels wide, 256 or 512
// glyphs) and PSF2 (any size), plain or gzip'ed, each with or without a
// Unicode table that names the characters every glyph serves.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "BitmapFont.h"

class Font;
struct Charset;

// Whether data (unpacked) start with PSF1's or PSF2's magic number.
bool IsPsf(const uint8_t* data, size_t size);

// Reads a PSF (gzip'ed or not) into font: glyphs 1 to 32 pixels wide and
// high, and the table's single characters (its sequences of characters,
// which no code of a charset stands for, are passed over). False, with error
// naming what is wrong (the header's glyph count and size against the
// file's, the table's entry that is damaged), for anything else.
bool ReadPsf(std::vector<uint8_t> bytes, BitmapFont& font, std::string& error);

// font as a PSF2 of 256 glyphs, glyph n the symbol of code n, all as wide as
// the widest symbol and 8 x height rows high, with a Unicode table of the
// charset's characters (none for raw, whose glyph n is code n). False, with
// error saying why, for a symbol wider than the 32 pixels a PSF glyph is read
// back with.
bool WritePsf2(const Font& font, const Charset& charset, std::vector<uint8_t>& bytes, std::string& error);
