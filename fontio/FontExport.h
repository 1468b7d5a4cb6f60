// A font of the image written out as a font file, by glyphmill export and the
// editor's "Export font file..." alike: BDF, a PSF2 console font or a
// Unifont .hex file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "BdfWriter.h"

class Font;
struct Charset;

enum class ExportFormat { kBdf, kPsf, kHex };

// The format a file's name says by its extension (.bdf; .psf, .psfu; .hex,
// whatever the case of its letters), or none.
std::optional<ExportFormat> ExportFormatOfName(const std::string& path);

// The format's name in messages: "BDF", "PSF", ".hex".
const char* ExportFormatName(ExportFormat format);

// The bytes of font as a file of format, its glyphs the charset's characters
// (the style a BDF's only); false, with error saying why, for a font the
// format cannot hold.
bool ExportFont(ExportFormat format, const Font& font, const Charset& charset, const BdfStyle& style,
                std::vector<uint8_t>& bytes, std::string& error);
