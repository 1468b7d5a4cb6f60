// A font of the image as a BDF 2.1 font: the format X11's fonts, Terminus
// and the microcontroller font collections are made from.
#pragma once

#include <string>

class Font;
struct Charset;

// Properties of the BDF glyphmill writes beyond the usual ones. A font that
// carries the interval and the limit is one of ours: its import takes each
// symbol's width from the glyph's advance less the interval, and restores
// the interval and the limit, so that export and import give the same font.
constexpr const char* kHeightProperty = "GLYPHMILL_HEIGHT";
constexpr const char* kIntervalProperty = "GLYPHMILL_INTERVAL";
constexpr const char* kHeightLimitProperty = "GLYPHMILL_HEIGHT_LIMIT";

// The BDF text of font: one glyph per code, encoded as the charset's
// character (as is for raw), advancing by the symbol's width and the
// font's interval, with its ink's bounding box; the baseline at the bottom
// of the symbols.
std::string BdfOf(const Font& font, const Charset& charset);
