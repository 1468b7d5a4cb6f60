// Helpers of the bitmap font files' tests: files and commands of the tools
// that judge them, FreeType's glyphs, and fonts imported from real font files.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "BitmapFont.h"
#include "Charsets.h"
#include "FontImport.h"
#include "FontImage.h"

// A file of this test program's own, apart from those of tests running beside it.
inline std::string Scratch(const std::string& name) {
    return ::testing::TempDir() + "glyphmill_fontio_" + std::to_string(::getpid()) + "_" + name;
}

inline std::vector<uint8_t> Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline std::string Text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

inline void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Runs a shell command and fails the test when it does not end well.
inline void RunOrFail(const std::string& command) { ASSERT_EQ(std::system(command.c_str()), 0) << command; }

// The ink of a glyph as (x, y) from its ink's top-left corner: what two
// readers of one glyph agree on wherever each puts it in its cell.
using Ink = std::set<std::pair<int, int>>;

inline Ink CroppedInk(const std::vector<std::pair<int, int>>& dots) {
    int left = 1 << 20, top = 1 << 20;
    for (const auto& [x, y] : dots) left = std::min(left, x), top = std::min(top, y);
    Ink ink;
    for (const auto& [x, y] : dots) ink.emplace(x - left, y - top);
    return ink;
}

inline Ink InkOf(const BitmapGlyph& glyph, int height) {
    std::vector<std::pair<int, int>> dots;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < glyph.width; ++x) {
            if (glyph.IsInk(x, y)) dots.emplace_back(x, y);
        }
    }
    return CroppedInk(dots);
}

// The ink FreeType renders for character from the font file at ppem pixels
// (0: its first bitmap strike).
inline Ink FreeTypeInk(const std::string& path, char32_t character, int ppem) {
    FT_Library library;
    FT_Face face;
    std::vector<std::pair<int, int>> dots;
    if (FT_Init_FreeType(&library) != 0) return {};
    if (FT_New_Face(library, path.c_str(), 0, &face) == 0) {
        if ((ppem ? FT_Set_Pixel_Sizes(face, 0, ppem) : FT_Select_Size(face, 0)) == 0 &&
            FT_Load_Char(face, character, FT_LOAD_TARGET_MONO | FT_LOAD_RENDER) == 0) {
            const FT_Bitmap& bitmap = face->glyph->bitmap;
            for (unsigned y = 0; y < bitmap.rows; ++y) {
                for (unsigned x = 0; x < bitmap.width; ++x) {
                    if (bitmap.buffer[y * bitmap.pitch + x / 8] & (0x80 >> (x % 8))) dots.emplace_back(x, y);
                }
            }
        }
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    return CroppedInk(dots);
}

// Font 0 of image filled from a real font file, as glyphmill import fills it.
inline void ImportFontFile(const std::string& path, const std::string& charsetName, int height, FontImage& image,
                           Charset& charset) {
    std::string error;
    ASSERT_TRUE(LoadCharset(charsetName, charset, error)) << error;
    ASSERT_EQ(image.InitNew(), 1);
    FontImportResult failure;
    const std::unique_ptr<FontReader> file = OpenFontFile(path, failure);
    ASSERT_TRUE(file) << failure.error;
    FontImportRequest request;
    request.font = 0;
    request.charset = charsetName;
    request.height = height;
    const FontImportResult imported = ::ImportFontFile(*file, request, image);
    ASSERT_TRUE(imported) << imported.error;
}

// Every symbol of font read back from a file as glyph (or glyph index) n,
// its 8 x height rows on the top of the glyph and nothing below them, and no
// ink beside them.
inline void ExpectSymbolsRead(const Font& font, const BitmapFont& read, const std::vector<int>& glyphOfCode) {
    const int rows = 8 * font.GetHeight();
    ASSERT_GE(read.height, rows);
    for (int code = 0; code < Font::kSymbolCount; ++code) {
        const Symbol& symbol = font.At(code);
        ASSERT_GE(glyphOfCode[code], 0) << "code " << code;
        const BitmapGlyph& glyph = read.glyphs[glyphOfCode[code]];
        for (int y = 0; y < read.height; ++y) {
            for (int x = 0; x < std::max(glyph.width, symbol.DrawableColumns()); ++x) {
                const bool ink = y < rows && x < symbol.DrawableColumns() && symbol.IsInk(x, rows - 1 - y);
                ASSERT_EQ(x < glyph.width && glyph.IsInk(x, y), ink) << "code " << code << " at " << x << "," << y;
            }
        }
    }
}
