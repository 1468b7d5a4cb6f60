// Helpers shared by the model's tests: documents and images built to order.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "FontImage.h"
#include "Results.h"

// Gives symbol code of font a width and fills its bytes with pattern (0x00 is
// all ink, 0xFF all background).
inline void DrawSymbol(Font& font, int code, int width, uint8_t pattern) {
    Symbol& symbol = font.At(code);
    symbol.width = width;
    std::memset(symbol.data.get(), pattern, width * symbol.height);
}

// Inks every symbol except the space with width columns.
inline void InkAllSymbols(Font& font, int width) {
    for (int code = 0; code < Font::kSymbolCount; ++code) {
        if (code != 32) DrawSymbol(font, code, width, 0x00);
    }
}

// A new document with fontCount reset fonts.
inline void MakeDocument(FontImage& image, int fontCount) {
    ASSERT_EQ(image.InitNew(), 1);
    for (int i = 1; i < fontCount; ++i) ASSERT_EQ(image.AddFont(), 1);
}

inline std::vector<uint8_t> SerializeOrFail(FontImage& image) {
    std::vector<uint8_t> bytes;
    EXPECT_EQ(image.Serialize(bytes), SaveResult::kSaved);
    return bytes;
}

inline int Entry(const std::vector<uint8_t>& bytes, size_t tableBase, int code) {
    return bytes[tableBase + 2 * code] << 8 | bytes[tableBase + 2 * code + 1];
}

inline std::string Name(const FontImage& image, int index) {
    char buffer[Font::kNameLength + 1];
    image.GetFontName(index, buffer);
    return buffer;
}

inline std::string TempPath(const std::string& name) { return ::testing::TempDir() + "glyphmill_" + name; }

inline bool FileExists(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file) std::fclose(file);
    return file != nullptr;
}

inline std::vector<uint8_t> ReadFile(const std::string& path) {
    std::vector<uint8_t> bytes;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        uint8_t chunk[4096];
        size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
        std::fclose(file);
    }
    return bytes;
}
