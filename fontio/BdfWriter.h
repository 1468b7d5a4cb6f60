// A font of the image as a BDF 2.1 font: the format X11's fonts, Terminus
// and the microcontroller font collections are made from.
#pragma once

#include <string>

class Font;
struct Charset;

// What the image does not keep of a font: its weight and slant, as XLFD names
// them ("Medium", "Bold"...; "R" roman, "I" italic, "O" oblique).
struct BdfStyle {
    std::string weight = "Medium";
    std::string slant = "R";
};

// The BDF text of font: one glyph per code, encoded as the charset's
// character (as is for raw), advancing by the symbol's width and the
// font's interval, with its ink's bounding box; FAMILY_NAME is the font's
// name in the charset's characters (UTF-8). The image keeps no baseline:
// it is taken to be where most digits and capitals have their lowest ink,
// which is where an import puts the font's baseline; without any, at the
// bottom of the symbols.
std::string BdfOf(const Font& font, const Charset& charset, const BdfStyle& style = {});

// The row, counted from the bottom of the symbols, that BdfOf takes for the
// baseline.
int BaselineOf(const Font& font, const Charset& charset);
