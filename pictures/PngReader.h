// Reading PNG pictures (libpng) into ink and background, by the rules of the
// symbol import: a pixel is ink by the common rule (common/Ink.h) unless its
// alpha is below 128, so a transparent pixel is background whatever its colour.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "InkPicture.h"

// Whether data start with the PNG signature.
bool IsPng(const uint8_t* data, size_t size);

// The picture's size from its header, before any pixel is decoded; false,
// with error saying why, for data that are no PNG.
bool ReadPngSize(const uint8_t* data, size_t size, int& width, int& height, std::string& error);

// Decodes the whole picture; false, with error saying why, for a damaged PNG
// or one of more than kMaxInkPixels pixels.
bool ReadPngInk(const uint8_t* data, size_t size, InkPicture& out, std::string& error);
