#include "RawDump.h"

namespace {

bool CheckSide(int pixels, const char* what, std::string& error) {
    if (pixels >= 1 && pixels <= kMaxBitmapGlyphSide) return true;
    error = std::string("a raw dump's glyphs are 1 to ") + std::to_string(kMaxBitmapGlyphSide) + " pixels " + what +
            ", not " + std::to_string(pixels);
    return false;
}

}  // namespace

bool ReadRawDump(const std::vector<uint8_t>& bytes, int width, int height, uint64_t offset, BitmapFont& font,
                 std::string& error) {
    if (!CheckSide(width, "wide", error) || !CheckSide(height, "high", error)) return false;
    const uint64_t glyphBytes = static_cast<uint64_t>(height) * ((width + 7) / 8);
    const uint64_t size = bytes.size();
    const uint64_t held = offset < size ? (size - offset) / glyphBytes : 0;
    if (held < kRawDumpGlyphs) {
        error = "the file holds " + std::to_string(held) + " glyph" + (held == 1 ? "" : "s") + " of " +
                std::to_string(width) + " x " + std::to_string(height) + " pixels (" + std::to_string(glyphBytes) +
                " bytes each) after " + std::to_string(offset) + " bytes; a raw dump holds " +
                std::to_string(kRawDumpGlyphs) + " (" + std::to_string(kRawDumpGlyphs * glyphBytes) + " bytes)";
        return false;
    }
    BitmapFont read;
    read.height = height;
    read.glyphs.reserve(kRawDumpGlyphs);
    for (int i = 0; i < kRawDumpGlyphs; ++i) read.AddGlyph(width, bytes.data() + offset + i * glyphBytes);
    font = std::move(read);
    return true;
}
