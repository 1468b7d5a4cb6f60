// The reader of the bitmap font files our own code reads: the console's PSF
// fonts, Unifont's .hex files, raw dumps and whole-font picture sheets. Each
// is read whole into a BitmapFont; the import then takes its one size, its
// glyphs on the symbols' top rows, and the codes through the file's Unicode
// table (or, without one or with the raw charset, glyph n for code n).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "FontImport.h"

enum class BitmapFontFormat { kNone, kPsf, kHex, kRawDump, kSheet };

// Which of them the file is: a raw dump or a sheet when layout says so, else
// by the name's extension, else by the bytes (gzip'ed or not); kNone for a
// file to leave to FreeType.
BitmapFontFormat BitmapFontFormatOf(const std::vector<uint8_t>& bytes, const std::string& path,
                                    const FontFileLayout& layout);

// Reads bytes as format, the typeface named after the file at path; null,
// with error saying what is wrong with the file, when it is not one.
std::unique_ptr<FontReader> ReadBitmapFontFile(BitmapFontFormat format, const std::vector<uint8_t>& bytes,
                                               const std::string& path, const FontFileLayout& layout,
                                               std::string& error);
