// The reader of the font files FreeType knows: TrueType, OpenType, BDF, PCF
// (also compressed) and Windows .fon/.fnt.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "FontImport.h"

// The font in bytes; null when FreeType does not take them, with error
// saying why (empty when it knows no such format at all).
std::unique_ptr<FontReader> ReadWithFreeType(std::vector<uint8_t> bytes, std::string& error);
