// Reading PNG pictures (libpng) into ink and background, by the rules of the
// symbol import: a pixel is ink by the common rule (common/Ink.h) unless its
// alpha is below 128, so a transparent pixel is background whatever its colour.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct InkPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> ink;  // row by row from the top, 1 ink, 0 background

    bool IsInk(int x, int y) const { return ink[static_cast<size_t>(y) * width + x] != 0; }
};

// Whether data start with the PNG signature.
bool IsPng(const uint8_t* data, size_t size);

// The picture's size from its header, before any pixel is decoded; false,
// with error saying why, for data that are no PNG.
bool ReadPngSize(const uint8_t* data, size_t size, int& width, int& height, std::string& error);

// Decodes the whole picture; false, with error saying why, for a damaged PNG
// or one of more than kMaxInkPixels pixels.
bool ReadPngInk(const uint8_t* data, size_t size, InkPicture& out, std::string& error);

constexpr long long kMaxInkPixels = 1 << 24;
