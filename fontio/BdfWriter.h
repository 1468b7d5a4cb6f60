// A font of the image as a BDF 2.1 font: the format X11's fonts, Terminus
// and the microcontroller font collections are made from.
#pragma once

#include <string>

class Font;
struct Charset;

// The BDF text of font: one glyph per code, encoded as the charset's
// character (as is for raw), advancing by the symbol's width and the
// font's interval, with its ink's bounding box; the baseline at the bottom
// of the symbols.
std::string BdfOf(const Font& font, const Charset& charset);
