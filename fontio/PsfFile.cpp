#include "PsfFile.h"

#include <cstdio>
#include <cstring>
#include <iterator>

#include "Charsets.h"
#include "Font.h"
#include "Gzip.h"

namespace {

constexpr uint8_t kPsf1Magic[] = {0x36, 0x04};
constexpr uint8_t kPsf2Magic[] = {0x72, 0xB5, 0x4A, 0x86};
constexpr size_t kPsf1HeaderSize = 4;
constexpr size_t kPsf2HeaderSize = 32;

constexpr int kPsf1Has512 = 0x01;
constexpr int kPsf1HasTable = 0x02;
constexpr int kPsf1HasSequences = 0x04;
constexpr uint16_t kPsf1Sequence = 0xFFFE;
constexpr uint16_t kPsf1EndOfGlyph = 0xFFFF;

constexpr uint32_t kPsf2HasTable = 0x01;
constexpr uint8_t kPsf2Sequence = 0xFE;
constexpr uint8_t kPsf2EndOfGlyph = 0xFF;

constexpr int kWrittenGlyphs = Font::kSymbolCount;

uint32_t ReadU32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void AppendU32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

std::string Plural(uint64_t count, const char* one) {
    return std::to_string(count) + " " + one + (count == 1 ? "" : "s");
}

bool CheckSide(uint64_t pixels, const char* side, const char* unit, std::string& error) {
    if (pixels >= 1 && pixels <= kMaxBitmapGlyphSide) return true;
    error = "the header gives glyphs " + Plural(pixels, unit) + " " + side + "; a font takes them 1 to " +
            std::to_string(kMaxBitmapGlyphSide) + " " + unit + "s " + side;
    return false;
}

// Whether the file holds all the glyphs its header gives.
bool CheckGlyphCount(uint64_t count, uint64_t glyphBytes, uint64_t dataStart, size_t size, std::string& error) {
    if (dataStart + count * glyphBytes <= size) return true;
    const uint64_t held = size > dataStart ? (size - dataStart) / glyphBytes : 0;
    error = "the header gives " + Plural(count, "glyph") + " of " + Plural(glyphBytes, "byte") + ", " +
            std::to_string(dataStart + count * glyphBytes) + " bytes with the header; the file has " +
            std::to_string(size) + ", room for " + Plural(held, "glyph");
    return false;
}

void ReadGlyphs(const uint8_t* data, int count, int width, int height, BitmapFont& font) {
    font.height = height;
    font.glyphs.reserve(count);
    const size_t glyphBytes = static_cast<size_t>(height) * ((width + 7) / 8);
    for (int i = 0; i < count; ++i) font.AddGlyph(width, data + i * glyphBytes);
}

std::string TableEndsAt(int glyph, int count) {
    return "the Unicode table ends inside the entry of glyph " + std::to_string(glyph) + " of " + std::to_string(count);
}

// Entries of 16-bit characters, little-endian: the glyph's own, then
// sequences each after 0xFFFE, up to 0xFFFF.
bool ReadPsf1Table(const uint8_t* table, size_t size, int count, BitmapFont& font, std::string& error) {
    size_t at = 0;
    for (int glyph = 0; glyph < count; ++glyph) {
        bool inSequence = false;
        for (;;) {
            if (at + 2 > size) {
                error = TableEndsAt(glyph, count);
                return false;
            }
            const uint16_t value = static_cast<uint16_t>(table[at] | table[at + 1] << 8);
            at += 2;
            if (value == kPsf1EndOfGlyph) break;
            if (value == kPsf1Sequence) inSequence = true;
            else if (!inSequence) font.Map(value, glyph);
        }
    }
    return true;
}

bool ReadPsf1(const std::vector<uint8_t>& bytes, BitmapFont& font, std::string& error) {
    if (bytes.size() < kPsf1HeaderSize) {
        error = "a PSF1 header takes 4 bytes; the file has " + std::to_string(bytes.size());
        return false;
    }
    const int mode = bytes[2];
    if (mode > (kPsf1Has512 | kPsf1HasTable | kPsf1HasSequences)) {
        error = "the PSF1 header gives mode " + std::to_string(mode) + ", which is none of PSF1's (0 to 7)";
        return false;
    }
    const int height = bytes[3];
    if (!CheckSide(height, "high", "row", error)) return false;
    const int count = mode & kPsf1Has512 ? 512 : 256;
    if (!CheckGlyphCount(count, height, kPsf1HeaderSize, bytes.size(), error)) return false;
    ReadGlyphs(bytes.data() + kPsf1HeaderSize, count, 8, height, font);
    if (!(mode & (kPsf1HasTable | kPsf1HasSequences))) return true;
    const size_t tableStart = kPsf1HeaderSize + static_cast<size_t>(count) * height;
    return ReadPsf1Table(bytes.data() + tableStart, bytes.size() - tableStart, count, font, error);
}

// Entries of UTF-8 characters: the glyph's own, then sequences each after
// 0xFE, up to 0xFF; neither byte is ever part of UTF-8.
bool ReadPsf2Table(const uint8_t* table, size_t size, int count, BitmapFont& font, std::string& error) {
    size_t at = 0;
    std::u32string characters;
    for (int glyph = 0; glyph < count; ++glyph) {
        const auto* end = static_cast<const uint8_t*>(std::memchr(table + at, kPsf2EndOfGlyph, size - at));
        if (!end) {
            error = TableEndsAt(glyph, count);
            return false;
        }
        const size_t entryEnd = static_cast<size_t>(end - table);
        bool inSequence = false;
        while (at <= entryEnd) {
            size_t partEnd = at;
            while (partEnd < entryEnd && table[partEnd] != kPsf2Sequence) ++partEnd;
            if (!DecodeUtf8(std::string(table + at, table + partEnd), characters)) {
                error = "the Unicode table's entry of glyph " + std::to_string(glyph) + " is not UTF-8";
                return false;
            }
            if (!inSequence) {
                for (const char32_t character : characters) font.Map(character, glyph);
            }
            inSequence = true;
            at = partEnd + 1;
        }
    }
    return true;
}

bool ReadPsf2(const std::vector<uint8_t>& bytes, BitmapFont& font, std::string& error) {
    if (bytes.size() < kPsf2HeaderSize) {
        error = "a PSF2 header takes 32 bytes; the file has " + std::to_string(bytes.size());
        return false;
    }
    const uint8_t* header = bytes.data();
    const uint32_t version = ReadU32(header + 4), headerSize = ReadU32(header + 8), flags = ReadU32(header + 12);
    const uint32_t count = ReadU32(header + 16), glyphBytes = ReadU32(header + 20);
    const uint32_t height = ReadU32(header + 24), width = ReadU32(header + 28);
    if (version != 0) {
        error = "the PSF2 header gives version " + std::to_string(version) + "; only version 0 is known";
        return false;
    }
    if (headerSize < kPsf2HeaderSize || headerSize > bytes.size()) {
        error = "the PSF2 header gives a header of " + std::to_string(headerSize) + " bytes in a file of " +
                std::to_string(bytes.size());
        return false;
    }
    if (!CheckSide(width, "wide", "pixel", error) || !CheckSide(height, "high", "row", error)) return false;
    if (glyphBytes != height * ((width + 7) / 8)) {
        error = "the header gives glyphs of " + Plural(glyphBytes, "byte") + ", but " + std::to_string(width) + " x " +
                std::to_string(height) + " pixels take " + std::to_string(height * ((width + 7) / 8));
        return false;
    }
    if (count == 0) {
        error = "the header gives no glyphs";
        return false;
    }
    if (!CheckGlyphCount(count, glyphBytes, headerSize, bytes.size(), error)) return false;
    // The count fits in an int now: the file, of at most kMaxUnpackedBytes, holds that many glyphs.
    ReadGlyphs(bytes.data() + headerSize, static_cast<int>(count), static_cast<int>(width), static_cast<int>(height),
               font);
    if (!(flags & kPsf2HasTable)) return true;
    const size_t tableStart = headerSize + static_cast<size_t>(count) * glyphBytes;
    return ReadPsf2Table(bytes.data() + tableStart, bytes.size() - tableStart, static_cast<int>(count), font, error);
}

}  // namespace

bool IsPsf(const uint8_t* data, size_t size) {
    return (size >= sizeof kPsf1Magic && std::memcmp(data, kPsf1Magic, sizeof kPsf1Magic) == 0) ||
           (size >= sizeof kPsf2Magic && std::memcmp(data, kPsf2Magic, sizeof kPsf2Magic) == 0);
}

bool ReadPsf(std::vector<uint8_t> bytes, BitmapFont& font, std::string& error) {
    if (!UnpackFontFile(bytes, error)) return false;
    if (!IsPsf(bytes.data(), bytes.size())) {
        error = "not a PSF font: it starts with neither PSF1's nor PSF2's magic number";
        return false;
    }
    BitmapFont read;
    const bool psf1 = bytes[0] == kPsf1Magic[0];
    if (!(psf1 ? ReadPsf1(bytes, read, error) : ReadPsf2(bytes, read, error))) return false;
    font = std::move(read);
    return true;
}

bool WritePsf2(const Font& font, const Charset& charset, std::vector<uint8_t>& bytes, std::string& error) {
    for (int code = 0; code < Font::kSymbolCount; ++code) {
        const int columns = font.At(code).DrawableColumns();
        if (columns <= kMaxBitmapGlyphSide) continue;
        char symbol[8];
        std::snprintf(symbol, sizeof symbol, "0x%02X", code);
        error = std::string("symbol ") + symbol + " is " + std::to_string(columns) +
                " columns wide; a PSF font is read back up to " + std::to_string(kMaxBitmapGlyphSide);
        return false;
    }
    const int width = WidestSymbol(font);
    const int rows = 8 * font.GetHeight();
    bytes.assign(std::begin(kPsf2Magic), std::end(kPsf2Magic));
    AppendU32(bytes, 0);
    AppendU32(bytes, kPsf2HeaderSize);
    AppendU32(bytes, charset.raw ? 0 : kPsf2HasTable);
    AppendU32(bytes, kWrittenGlyphs);
    AppendU32(bytes, static_cast<uint32_t>(rows * ((width + 7) / 8)));
    AppendU32(bytes, static_cast<uint32_t>(rows));
    AppendU32(bytes, static_cast<uint32_t>(width));
    for (int code = 0; code < kWrittenGlyphs; ++code) {
        const BitmapGlyph glyph = GlyphOfSymbol(font.At(code), width);
        bytes.insert(bytes.end(), glyph.rows.begin(), glyph.rows.end());
    }
    if (charset.raw) return true;
    for (int code = 0; code < kWrittenGlyphs; ++code) {
        const std::string character = EncodeUtf8(charset.unicode[code]);
        bytes.insert(bytes.end(), character.begin(), character.end());
        bytes.push_back(kPsf2EndOfGlyph);
    }
    return true;
}
