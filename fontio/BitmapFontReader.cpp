#include "BitmapFontReader.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <iterator>
#include <utility>

#include "BitmapFont.h"
#include "Charsets.h"
#include "FontSheet.h"
#include "Gzip.h"
#include "HexFile.h"
#include "PsfFile.h"
#include "RawDump.h"

namespace {

constexpr int kCodes = 256;

class BitmapFontReader : public FontReader {
public:
    BitmapFontReader(BitmapFont font, std::string family, bool inkOnly)
        : font_(std::move(font)), family_(std::move(family)), inkOnly_(inkOnly) {
        codes_.fill(-1);
    }

    std::string FamilyName() const override { return family_; }
    std::string WeightName() const override { return "Medium"; }
    std::string SlantName() const override { return "R"; }
    bool OwnSettings(int&, int&) const override { return false; }

    bool UseCharset(const Charset& charset, std::string&) override {
        const int glyphs = static_cast<int>(font_.glyphs.size());
        for (int code = 0; code < kCodes; ++code) {
            if (font_.keyedByCharacter) {
                codes_[code] = font_.GlyphOf(charset.raw ? static_cast<char32_t>(code) : charset.unicode[code]);
            } else if (charset.raw || !font_.HasUnicodeTable()) {
                codes_[code] = code < glyphs ? code : -1;
            } else {
                codes_[code] = font_.GlyphOf(charset.unicode[code]);
            }
        }
        return true;
    }

    bool SetSize(int size, std::string& error) override {
        if (size == font_.height) return true;
        error = "its glyphs are " + std::to_string(font_.height) + " pixels high, its only size";
        return false;
    }

    std::vector<int> SizesToTry(int, std::string&) override { return {font_.height}; }
    long Ascender() const override { return font_.height; }
    long PixelHeight() const override { return font_.height; }

    bool LoadGlyph(int code, GlyphPixels& glyph) override {
        if (code < 0 || code >= kCodes || codes_[code] < 0) return false;
        const BitmapGlyph& bitmap = font_.glyphs[codes_[code]];
        glyph.columns = bitmap.width;
        glyph.rows = font_.height;
        glyph.left = 0;
        glyph.top = font_.height;
        glyph.advance = bitmap.width;
        glyph.clipped = false;
        glyph.inkOnly = inkOnly_;
        glyph.ink.resize(static_cast<size_t>(glyph.rows) * glyph.columns);
        for (int y = 0; y < glyph.rows; ++y) {
            for (int x = 0; x < glyph.columns; ++x)
                glyph.ink[static_cast<size_t>(y) * glyph.columns + x] = bitmap.IsInk(x, y) ? 1 : 0;
        }
        return true;
    }

private:
    BitmapFont font_;
    std::string family_;
    bool inkOnly_;
    std::array<int, kCodes> codes_;  // the glyph of each code, -1 for none
};

std::string Lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool EndsWith(const std::string& text, const char* ending) {
    const std::string tail = ending;
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

BitmapFontFormat FormatByName(const std::string& path) {
    const std::string name = Lowered(path);
    for (const char* extension : {".psf", ".psfu", ".psf.gz", ".psfu.gz"}) {
        if (EndsWith(name, extension)) return BitmapFontFormat::kPsf;
    }
    if (EndsWith(name, ".hex") || EndsWith(name, ".hex.gz")) return BitmapFontFormat::kHex;
    if (EndsWith(name, ".png") || EndsWith(name, ".bmp")) return BitmapFontFormat::kSheet;
    return BitmapFontFormat::kNone;
}

bool IsHexDigit(uint8_t c) { return std::isxdigit(c) != 0; }

// A .hex file's first line begins with a code point, a colon and a digit of
// its glyph.
bool StartsAsHex(const std::vector<uint8_t>& text) {
    const auto colon = std::find_if_not(text.begin(), text.end(), IsHexDigit);
    const auto digits = std::distance(text.begin(), colon);
    return digits >= 1 && digits <= 8 && colon != text.end() && *colon == ':' && colon + 1 != text.end() &&
           IsHexDigit(colon[1]);
}

BitmapFontFormat FormatByBytes(const std::vector<uint8_t>& bytes) {
    if (IsSheetPicture(bytes.data(), bytes.size())) return BitmapFontFormat::kSheet;
    std::vector<uint8_t> unpacked;
    const std::vector<uint8_t>* plain = &bytes;
    if (IsGzip(bytes.data(), bytes.size())) {
        unpacked = bytes;
        std::string ignored;
        if (!UnpackFontFile(unpacked, ignored)) return BitmapFontFormat::kNone;
        plain = &unpacked;
    }
    if (IsPsf(plain->data(), plain->size())) return BitmapFontFormat::kPsf;
    if (StartsAsHex(*plain)) return BitmapFontFormat::kHex;
    return BitmapFontFormat::kNone;
}

// The file's name without its folders and its extension (and .gz before it).
std::string FamilyOf(const std::string& path) {
    std::string name = path.substr(path.find_last_of("\\/:") + 1);
    if (EndsWith(Lowered(name), ".gz")) name.resize(name.size() - 3);
    const size_t dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

bool ReadFormat(BitmapFontFormat format, const std::vector<uint8_t>& bytes, const FontFileLayout& layout,
                BitmapFont& font, std::string& error) {
    switch (format) {
        case BitmapFontFormat::kPsf: return ReadPsf(bytes, font, error);
        case BitmapFontFormat::kHex: return ReadHex(bytes, font, error);
        case BitmapFontFormat::kRawDump:
            return ReadRawDump(bytes, layout.rawWidth, layout.rawHeight, layout.rawOffset, font, error);
        case BitmapFontFormat::kSheet:
            return ReadSheetPicture(bytes, layout.cellWidth, layout.cellHeight, font, error);
        case BitmapFontFormat::kNone: break;
    }
    return false;
}

}  // namespace

BitmapFontFormat BitmapFontFormatOf(const std::vector<uint8_t>& bytes, const std::string& path,
                                    const FontFileLayout& layout) {
    if (layout.rawWidth > 0 || layout.rawHeight > 0) return BitmapFontFormat::kRawDump;
    if (layout.cellWidth > 0 || layout.cellHeight > 0) return BitmapFontFormat::kSheet;
    const BitmapFontFormat named = FormatByName(path);
    return named != BitmapFontFormat::kNone ? named : FormatByBytes(bytes);
}

std::unique_ptr<FontReader> ReadBitmapFontFile(BitmapFontFormat format, const std::vector<uint8_t>& bytes,
                                               const std::string& path, const FontFileLayout& layout,
                                               std::string& error) {
    BitmapFont font;
    if (!ReadFormat(format, bytes, layout, font, error)) return nullptr;
    return std::make_unique<BitmapFontReader>(std::move(font), FamilyOf(path), format == BitmapFontFormat::kSheet);
}
