#include "HexFile.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <numeric>

#include "Charsets.h"
#include "Font.h"
#include "Gzip.h"

namespace {

constexpr int kHexRows = 16;
constexpr size_t kNarrowDigits = 2 * kHexRows;      // 8 pixels a row
constexpr size_t kWideDigits = 2 * kNarrowDigits;   // 16 pixels a row
constexpr size_t kMaxCodeDigits = 8;
constexpr int kNarrowColumns = 8;
constexpr int kWideColumns = 16;
constexpr char32_t kPastUnicode = 0x110000;

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// A character of the file as a message shows it.
std::string Shown(char c) {
    if (c > ' ' && c < 0x7F) return std::string("'") + c + "'";
    char byte[16];
    std::snprintf(byte, sizeof byte, "byte 0x%02X", static_cast<unsigned char>(c));
    return byte;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// The columns up to the symbol's last ink: what a glyph must hold of it, its
// blank columns after the ink being what the import's width rule gives back.
int InkedColumns(const Symbol& symbol) {
    for (int x = symbol.DrawableColumns() - 1; x >= 0; --x) {
        for (int row = 0; row < 8 * symbol.height; ++row) {
            if (symbol.IsInk(x, row)) return x + 1;
        }
    }
    return 0;
}

// One line, without its line end and trailing blanks; false with error
// saying what is wrong with it.
bool ReadLine(const char* line, size_t length, BitmapFont& font, std::string& error) {
    const char* colon = static_cast<const char*>(std::memchr(line, ':', length));
    if (!colon) {
        error = "no colon between a code point and its glyph";
        return false;
    }
    const size_t codeDigits = static_cast<size_t>(colon - line);
    if (codeDigits == 0 || codeDigits > kMaxCodeDigits) {
        error = "the code point before the colon takes 1 to 8 hex digits, not " + std::to_string(codeDigits);
        return false;
    }
    uint32_t code = 0;
    for (size_t i = 0; i < codeDigits; ++i) {
        const int digit = HexValue(line[i]);
        if (digit < 0) {
            error = Shown(line[i]) + " in the code point is not a hex digit";
            return false;
        }
        code = code << 4 | static_cast<uint32_t>(digit);
    }
    if (code >= kPastUnicode) {
        error = "the code point " + std::string(line, codeDigits) + " lies past Unicode's last, 10FFFF";
        return false;
    }
    const char* digits = colon + 1;
    const size_t digitCount = length - codeDigits - 1;
    if (digitCount != kNarrowDigits && digitCount != kWideDigits) {
        error = std::to_string(digitCount) + " hex digits after the colon; a glyph takes 32 (8 x 16 pixels) or 64 " +
                "(16 x 16)";
        return false;
    }
    std::array<uint8_t, kWideDigits / 2> rows;
    for (size_t i = 0; i < digitCount; i += 2) {
        const int high = HexValue(digits[i]), low = HexValue(digits[i + 1]);
        if (high < 0 || low < 0) {
            error = Shown(digits[high < 0 ? i : i + 1]) + " in the glyph is not a hex digit";
            return false;
        }
        rows[i / 2] = static_cast<uint8_t>(high << 4 | low);
    }
    font.Map(static_cast<char32_t>(code), static_cast<int>(font.glyphs.size()));
    font.AddGlyph(digitCount == kNarrowDigits ? 8 : 16, rows.data());
    return true;
}

}  // namespace

bool ReadHex(std::vector<uint8_t> bytes, BitmapFont& font, std::string& error) {
    if (!UnpackFontFile(bytes, error)) return false;
    BitmapFont read;
    read.height = kHexRows;
    read.keyedByCharacter = true;
    const char* text = reinterpret_cast<const char*>(bytes.data());
    size_t at = 0;
    for (long number = 1; at < bytes.size(); ++number) {
        const char* newline = static_cast<const char*>(std::memchr(text + at, '\n', bytes.size() - at));
        const size_t end = newline ? static_cast<size_t>(newline - text) : bytes.size();
        size_t length = end - at;
        while (length > 0 && IsBlank(text[at + length - 1])) --length;
        if (length > 0 && !ReadLine(text + at, length, read, error)) {
            error = "line " + std::to_string(number) + ": " + error;
            return false;
        }
        at = end + 1;
    }
    if (read.glyphs.empty()) {
        error = "no glyphs: a .hex file holds a line of code point and glyph for each";
        return false;
    }
    font = std::move(read);
    return true;
}

bool WriteHex(const Font& font, const Charset& charset, std::string& text, std::string& error) {
    const int height = font.GetHeight();
    if (8 * height > kHexRows) {
        error = "the font is " + std::to_string(8 * height) + " rows high; a .hex glyph takes " +
                std::to_string(kHexRows);
        return false;
    }
    std::array<int, Font::kSymbolCount> inked;
    for (int code = 0; code < Font::kSymbolCount; ++code) {
        inked[code] = InkedColumns(font.At(code));
        if (inked[code] <= kWideColumns) continue;
        char symbol[8];
        std::snprintf(symbol, sizeof symbol, "0x%02X", code);
        error = std::string("symbol ") + symbol + " has ink in " + std::to_string(inked[code]) +
                " columns; a .hex glyph takes at most 16";
        return false;
    }
    std::array<int, Font::kSymbolCount> codes;
    std::iota(codes.begin(), codes.end(), 0);
    std::sort(codes.begin(), codes.end(), [&](int a, int b) { return charset.unicode[a] < charset.unicode[b]; });
    static const char kDigits[] = "0123456789ABCDEF";
    text.clear();
    for (const int code : codes) {
        const Symbol& symbol = font.At(code);
        const BitmapGlyph glyph = GlyphOfSymbol(symbol, inked[code] <= kNarrowColumns ? kNarrowColumns : kWideColumns);
        char point[16];
        std::snprintf(point, sizeof point, "%04X:", static_cast<unsigned>(charset.unicode[code]));
        text += point;
        for (size_t i = 0; i < static_cast<size_t>(kHexRows * glyph.RowBytes()); ++i) {
            const uint8_t byte = i < glyph.rows.size() ? glyph.rows[i] : 0;
            text += kDigits[byte >> 4];
            text += kDigits[byte & 15];
        }
        text += '\n';
    }
    return true;
}
