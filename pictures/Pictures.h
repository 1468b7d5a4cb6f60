// Pictures of fonts: a sheet of every symbol of a font, and a line of text
// as the printer prints it; laid out in dots and written as PNG.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "PrintedLine.h"

class Font;
class FontImage;
struct Charset;

struct Picture {
    // The shades of a dot, as 2-bit grey levels.
    enum Shade : uint8_t { kInk = 0, kGrey = 2, kPaper = 3 };

    int width = 0;
    int height = 0;
    std::vector<uint8_t> dots;  // row by row from the top, one Shade each

    Picture(int width, int height);
    void Set(int x, int y, Shade shade) { dots[static_cast<size_t>(y) * width + x] = shade; }
    Shade At(int x, int y) const { return static_cast<Shade>(dots[static_cast<size_t>(y) * width + x]); }
};

// Fonts first to last of image, one under the other: for each, a title with
// its name (in charset's characters), height, interval and limit, and its
// 256 symbols in a 16 x 16 table with the codes in hex along the top and the
// left. The cells are as wide as the font's widest symbol; a grey bar under
// each symbol shows its width.
Picture SheetOf(const FontImage& image, int first, int last, const Charset& charset);

// The printed line of codes (PrintLine) as a picture, as wide as LineWidth
// tells.
Picture LineOf(const Font& font, const std::vector<int>& codes);

// The largest side of a picture EncodePng writes, in pixels.
constexpr long long kMaxPictureSide = 1000000;

// A PNG of picture with each dot a square of scale x scale pixels; false,
// with error saying why, for a picture too large to write.
bool EncodePng(const Picture& picture, int scale, std::vector<uint8_t>& png, std::string& error);
