#include "FontSheet.h"

#include <cctype>

#include "BmpReader.h"
#include "SymbolPicture.h"
#include "Font.h"

namespace {

constexpr int kMaxSheetWidth = kSheetCells * kMaxSheetCellWidth;
constexpr int kMaxSheetHeight = kSheetCells * kMaxSheetCellHeight;

std::string Size(long long width, long long height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

bool CheckPictureSize(long long width, long long height, std::string& error) {
    if (width <= kMaxSheetWidth && height <= kMaxSheetHeight) return true;
    error = "the picture is " + Size(width, height) + " pixels; a sheet of the largest cells is " +
            Size(kMaxSheetWidth, kMaxSheetHeight);
    return false;
}

bool CheckCell(int width, int height, std::string& error) {
    if (width >= 1 && width <= kMaxSheetCellWidth && height >= 1 && height <= kMaxSheetCellHeight) return true;
    error = "cells of " + Size(width, height) + " pixels: a symbol holds 1 to " + std::to_string(kMaxSheetCellWidth) +
            " columns of 1 to " + std::to_string(kMaxSheetCellHeight) + " rows";
    return false;
}

// A picture that is not 16 cells of the given size is refused by its size,
// and ink outside the cells by where it is.
bool CheckGrid(const InkPicture& picture, int cellWidth, int cellHeight, std::string& error) {
    const int gridWidth = kSheetCells * cellWidth, gridHeight = kSheetCells * cellHeight;
    const std::string grid = "16 x 16 cells of " + Size(cellWidth, cellHeight) + " (" + Size(gridWidth, gridHeight) +
                             " pixels)";
    if (picture.width < gridWidth || picture.height < gridHeight) {
        error = "the picture is " + Size(picture.width, picture.height) + " pixels, smaller than " + grid;
        return false;
    }
    for (int y = 0; y < picture.height; ++y) {
        for (int x = y < gridHeight ? gridWidth : 0; x < picture.width; ++x) {
            if (!picture.IsInk(x, y)) continue;
            error = "the picture has ink at " + std::to_string(x) + ", " + std::to_string(y) + ", outside its " + grid;
            return false;
        }
    }
    return true;
}

bool DecodeBitmap(const std::vector<uint8_t>& bytes, InkPicture& picture, std::string& error) {
    BitmapLayout layout;
    PictureProblem problem = CheckBitmapFile(bytes.data(), bytes.size(), bytes.size(), &layout);
    if (problem == PictureProblem::kNone) {
        if (!CheckPictureSize(layout.info.width, layout.info.Rows(), error)) return false;
        problem = DecodeBitmapFile(layout, bytes.data(), &picture);
    }
    if (problem == PictureProblem::kNone) return true;
    // The message box's sentence, as a clause of the import's message.
    error = DescribePictureProblem(problem);
    error[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(error[0])));
    if (error.back() == '.') error.pop_back();
    return false;
}

bool DecodePng(const std::vector<uint8_t>& bytes, InkPicture& picture, std::string& error) {
    int width = 0, height = 0;
    return ReadPngSize(bytes.data(), bytes.size(), width, height, error) && CheckPictureSize(width, height, error) &&
           ReadPngInk(bytes.data(), bytes.size(), picture, error);
}

}  // namespace

bool IsSheetPicture(const uint8_t* data, size_t size) {
    return IsPng(data, size) || (size >= 2 && data[0] == 'B' && data[1] == 'M');
}

Picture GridSheetOf(const Font& font) {
    const int width = WidestSymbol(font), rows = 8 * font.GetHeight();
    Picture picture(kSheetCells * width, kSheetCells * rows);
    for (int code = 0; code < Font::kSymbolCount; ++code) {
        const BitmapGlyph glyph = GlyphOfSymbol(font.At(code), width);
        const int left = code % kSheetCells * width, top = code / kSheetCells * rows;
        for (int y = 0; y < rows; ++y) {
            for (int x = 0; x < width; ++x) {
                if (glyph.IsInk(x, y)) picture.Set(left + x, top + y, Picture::kInk);
            }
        }
    }
    return picture;
}

bool ReadSheet(const InkPicture& picture, int cellWidth, int cellHeight, BitmapFont& font, std::string& error) {
    if (cellWidth <= 0 && cellHeight <= 0) {
        if (picture.width % kSheetCells || picture.height % kSheetCells) {
            error = "the picture is " + Size(picture.width, picture.height) +
                    " pixels, which is not 16 x 16 cells; name the cell's size to read the cells in its top-left "
                    "corner";
            return false;
        }
        cellWidth = picture.width / kSheetCells;
        cellHeight = picture.height / kSheetCells;
    }
    if (!CheckCell(cellWidth, cellHeight, error) || !CheckGrid(picture, cellWidth, cellHeight, error)) return false;
    BitmapFont read;
    read.height = cellHeight;
    read.glyphs.reserve(Font::kSymbolCount);
    for (int code = 0; code < Font::kSymbolCount; ++code) {
        BitmapGlyph glyph = BitmapGlyph::Blank(cellWidth, cellHeight);
        const int left = code % kSheetCells * cellWidth, top = code / kSheetCells * cellHeight;
        for (int y = 0; y < cellHeight; ++y) {
            for (int x = 0; x < cellWidth; ++x) {
                if (picture.IsInk(left + x, top + y)) glyph.SetInk(x, y);
            }
        }
        read.glyphs.push_back(std::move(glyph));
    }
    font = std::move(read);
    return true;
}

bool ReadSheetPicture(const std::vector<uint8_t>& bytes, int cellWidth, int cellHeight, BitmapFont& font,
                      std::string& error) {
    InkPicture picture;
    bool decoded = false;
    if (IsPng(bytes.data(), bytes.size())) {
        decoded = DecodePng(bytes, picture, error);
    } else if (IsSheetPicture(bytes.data(), bytes.size())) {
        decoded = DecodeBitmap(bytes, picture, error);
    } else {
        error = "neither a PNG nor a BMP picture";
    }
    return decoded && ReadSheet(picture, cellWidth, cellHeight, font, error);
}
