#include "Pictures.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <new>

#include "Charsets.h"
#include "FontImage.h"
#include "LabelFont.h"

Picture::Picture(int width, int height)
    : width(width), height(height), dots(static_cast<size_t>(width) * height, kPaper) {}

namespace {

// Draws the bottom rows of symbol with its top-left dot at (left, top).
void DrawSymbol(Picture& picture, const Symbol& symbol, int left, int top, int rows) {
    for (int column = 0; column < symbol.DrawableColumns(); ++column) {
        for (int row = 0; row < rows; ++row) {
            if (symbol.IsInk(column, row)) picture.Set(left + column, top + rows - 1 - row, Picture::kInk);
        }
    }
}

int TextWidth(const std::u32string& text) { return kLabelWidth * static_cast<int>(text.size()); }

// The rows of character's glyph; a character the label font lacks shows as "?".
const uint8_t* LabelRows(char32_t character) {
    const LabelGlyph* end = kLabelGlyphs + kLabelGlyphCount;
    const auto ordered = [](const LabelGlyph& glyph, char32_t wanted) { return glyph.character < wanted; };
    const LabelGlyph* found = std::lower_bound(kLabelGlyphs, end, character, ordered);
    if (found == end || found->character != character) found = std::lower_bound(kLabelGlyphs, end, U'?', ordered);
    return found->rows;
}

// Text in the label font.
void DrawText(Picture& picture, int left, int top, const std::u32string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const uint8_t* rows = LabelRows(text[i]);
        for (int y = 0; y < kLabelHeight; ++y) {
            for (int x = 0; x < kLabelWidth; ++x) {
                if (rows[y] & (0x10 >> x)) picture.Set(left + kLabelWidth * static_cast<int>(i) + x, top + y, Picture::kInk);
            }
        }
    }
}

constexpr int kMargin = 2;
constexpr int kTitleGap = 3;   // between a title and its table
constexpr int kLabelGap = 2;   // between the codes and the table
constexpr int kFontGap = 8;    // between two fonts
constexpr char kHexDigits[] = "0123456789ABCDEF";

std::u32string Ascii(const std::string& text) { return std::u32string(text.begin(), text.end()); }

// The name as the characters its bytes stand for in charset; a byte that
// stands for none shown is a "?".
std::u32string Title(const FontImage& image, int index, const Charset& charset) {
    char name[Font::kNameLength + 1];
    image.GetFontName(index, name);
    std::u32string shown;
    for (int i = 0; i < Font::kNameLength; ++i) {
        const char32_t character = charset.unicode[static_cast<unsigned char>(name[i])];
        shown += IsShownCharacter(character) ? character : U'?';
    }
    const Font& font = image.FontAt(index);
    return Ascii("Font " + std::to_string(index) + " \"") + shown +
           Ascii("\" height " + std::to_string(font.GetHeight()) + " interval " + std::to_string(font.GetInterval()) +
                 " limit " + std::to_string(font.GetHeightLimit()));
}

// The table of one font, in dots. A cell holds a symbol with a dot of
// paper around it and its width bar under it; grid lines lie between the
// cells.
struct Table {
    int rows = 0;       // the symbols' pixel rows
    int cellWidth = 0;  // inside the grid lines
    int cellHeight = 0;
    int left = 0;       // the table's top-left grid line
    int top = 0;

    Table(const Font& font, int blockLeft, int blockTop) {
        int widest = 1;
        for (int code = 0; code < Font::kSymbolCount; ++code) widest = std::max(widest, font.At(code).DrawableColumns());
        rows = 8 * font.GetHeight();
        cellWidth = std::max(widest, kLabelWidth) + 2;
        cellHeight = rows + 4;
        left = blockLeft + TextWidth(U"00") + kLabelGap;
        top = blockTop + kLabelHeight + kTitleGap + kLabelHeight + kLabelGap;
    }
    int Right() const { return left + 16 * (cellWidth + 1); }
    int Bottom() const { return top + 16 * (cellHeight + 1); }
    int CellLeft(int column) const { return left + 1 + column * (cellWidth + 1); }
    int CellTop(int row) const { return top + 1 + row * (cellHeight + 1); }
};

int BlockHeight(const Table& table, int blockTop) { return table.Bottom() + 1 - blockTop; }

void DrawTable(Picture& picture, const FontImage& image, int index, const Charset& charset, const Table& table,
               int blockLeft, int blockTop) {
    DrawText(picture, blockLeft, blockTop, Title(image, index, charset));
    for (int k = 0; k <= 16; ++k) {
        const int x = table.left + k * (table.cellWidth + 1), y = table.top + k * (table.cellHeight + 1);
        for (int i = table.top; i <= table.Bottom(); ++i) picture.Set(x, i, Picture::kGrey);
        for (int i = table.left; i <= table.Right(); ++i) picture.Set(i, y, Picture::kGrey);
    }
    for (int k = 0; k < 16; ++k) {
        DrawText(picture, table.CellLeft(k) + (table.cellWidth - kLabelWidth + 1) / 2,
                 table.top - kLabelGap - kLabelHeight, std::u32string(1, kHexDigits[k]));
        DrawText(picture, blockLeft, table.CellTop(k) + (table.cellHeight - kLabelHeight) / 2,
                 std::u32string{static_cast<char32_t>(kHexDigits[k]), U'0'});
    }
    const Font& font = image.FontAt(index);
    for (int code = 0; code < Font::kSymbolCount; ++code) {
        const Symbol& symbol = font.At(code);
        const int left = table.CellLeft(code % 16) + 1, top = table.CellTop(code / 16) + 1;
        DrawSymbol(picture, symbol, left, top, table.rows);
        for (int x = 0; x < symbol.DrawableColumns(); ++x) picture.Set(left + x, top + table.rows + 1, Picture::kGrey);
    }
}

// Gathers what libpng writes; a failure to grow is remembered, since no
// exception may cross libpng.
struct PngSink {
    std::vector<uint8_t>* bytes;
    bool failed = false;
};

void WriteToSink(png_structp png, png_bytep data, png_size_t length) {
    PngSink& sink = *static_cast<PngSink*>(png_get_io_ptr(png));
    if (sink.failed) return;
    try {
        sink.bytes->insert(sink.bytes->end(), data, data + length);
    } catch (const std::bad_alloc&) {
        sink.failed = true;
    }
}

void FlushNothing(png_structp) {}

struct PngWriter {
    png_structp png = nullptr;
    png_infop info = nullptr;
    PngWriter() {
        png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        if (png) info = png_create_info_struct(png);
    }
    PngWriter(const PngWriter&) = delete;
    PngWriter& operator=(const PngWriter&) = delete;
    ~PngWriter() { png_destroy_write_struct(&png, &info); }
};

// Packs dot row y, each dot scale pixels wide, into 2-bit pixels.
void PackRow(const Picture& picture, int y, int scale, std::vector<png_byte>& row) {
    std::fill(row.begin(), row.end(), 0);
    const uint8_t* dots = &picture.dots[static_cast<size_t>(y) * picture.width];
    size_t pixel = 0;
    for (int x = 0; x < picture.width; ++x) {
        for (int s = 0; s < scale; ++s, ++pixel) {
            row[pixel / 4] |= static_cast<png_byte>(dots[x] << (6 - 2 * (pixel % 4)));
        }
    }
}

}  // namespace

Picture SheetOf(const FontImage& image, int first, int last, const Charset& charset) {
    std::vector<Table> tables;
    int width = 0, height = kMargin;
    for (int index = first; index <= last; ++index) {
        tables.emplace_back(image.FontAt(index), kMargin, height);
        width = std::max({width, tables.back().Right() + 1, kMargin + TextWidth(Title(image, index, charset))});
        height += BlockHeight(tables.back(), height) + (index < last ? kFontGap : 0);
    }
    Picture picture(width + kMargin, height + kMargin);
    int blockTop = kMargin;
    for (int index = first; index <= last; ++index) {
        const Table& table = tables[index - first];
        DrawTable(picture, image, index, charset, table, kMargin, blockTop);
        blockTop += BlockHeight(table, blockTop) + kFontGap;
    }
    return picture;
}

Picture LineOf(const Font& font, const std::vector<int>& codes) {
    const PrintedLine line = PrintLine(font, codes, std::numeric_limits<int>::max());
    Picture picture(line.width, line.rows);
    for (int y = 0; y < line.rows; ++y) {
        for (int x = 0; x < line.width; ++x) {
            if (line.IsInk(x, y)) picture.Set(x, y, Picture::kInk);
        }
    }
    return picture;
}

bool EncodePng(const Picture& picture, int scale, std::vector<uint8_t>& png, std::string& error) {
    const long long width = static_cast<long long>(picture.width) * scale;
    const long long height = static_cast<long long>(picture.height) * scale;
    if (width < 1 || height < 1 || width > kMaxPictureSide || height > kMaxPictureSide) {
        error = "the picture would be " + std::to_string(width) + " x " + std::to_string(height) +
                " pixels; a side takes 1 to " + std::to_string(kMaxPictureSide);
        return false;
    }
    std::vector<png_byte> row(static_cast<size_t>((width + 3) / 4));
    PngSink sink{&png};
    png.clear();
    PngWriter writer;
    if (!writer.info) {
        error = "out of memory";
        return false;
    }
    if (setjmp(png_jmpbuf(writer.png))) {
        error = "libpng could not write the picture";
        return false;
    }
    png_set_write_fn(writer.png, &sink, WriteToSink, FlushNothing);
    png_set_IHDR(writer.png, writer.info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 2,
                 PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    // Each dot row is written scale times: against the row above, the copies
    // are all zeros, which deflate takes in a stride.
    png_set_filter(writer.png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
    png_write_info(writer.png, writer.info);
    for (int y = 0; y < picture.height; ++y) {
        PackRow(picture, y, scale, row);
        for (int s = 0; s < scale; ++s) png_write_row(writer.png, row.data());
    }
    png_write_end(writer.png, writer.info);
    if (sink.failed) {
        error = "out of memory";
        return false;
    }
    return true;
}
