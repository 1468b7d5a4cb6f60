#include "Font.h"

#include <cstring>

#include "Results.h"

namespace {

int ClampCode(int code) { return code < 0 ? 0 : (code > 255 ? 255 : code); }

}  // namespace

uint8_t NameChecksum(const char* nameBytes) {
    unsigned sum = 0;
    for (int i = 0; i < Font::kNameLength; ++i) sum += static_cast<uint8_t>(nameBytes[i]);
    return static_cast<uint8_t>(0xFF - (sum & 0xFF));
}

void CopyFont(const Font& from, Font& to) {
    to.SetHeight(from.GetHeight());
    to.SetInterval(from.GetInterval());
    for (int code = 0; code < Font::kSymbolCount; ++code) to.SetSymbol(code, from.At(code));
    to.SetHeightLimit(from.GetHeightLimit());
    char name[Font::kNameLength + 1];
    const uint8_t checksum = from.GetName(name);
    to.SetName(name, checksum);
}

int SymbolHeightLimit(const Font& font) { return font.GetHeight() > 1 ? 8 : font.GetHeightLimit(); }

Font::Font() : symbols(new Symbol[kSymbolCount]), offsets(new int[kSymbolCount]()) {}

Font::~Font() = default;

int Font::SetSymbol(int code, const Symbol& symbol) {
    symbols[ClampCode(code)].CopyFrom(symbol);
    return 1;
}

uint8_t Font::GetName(char* buffer) const {
    std::memcpy(buffer, name, kNameLength);
    buffer[kNameLength] = '\0';
    return checksum;
}

void Font::SetName(const char* nameBytes, uint8_t nameChecksum) {
    std::memcpy(name, nameBytes, kNameLength);
    checksum = nameChecksum;
}

bool Font::IsSymbolEmpty(int code) const { return symbols[ClampCode(code)].IsEmpty(); }

int Font::GetImageSize() const {
    int size = kSymbolCount;
    bool blankCounted = false;
    for (int code = 0; code < kSymbolCount; ++code) {
        const Symbol& symbol = symbols[code];
        if (symbol.IsEmpty()) {
            if (blankCounted) continue;
            blankCounted = true;
        }
        size += symbol.ByteCount();
    }
    return size;
}

int Font::Reset() {
    SetHeight(1);
    SetInterval(1);
    SetHeightLimit(8);
    for (int code = 0; code < kSymbolCount; ++code) {
        Symbol& symbol = symbols[code];
        symbol.width = 1;
        symbol.height = 1;
        // The whole buffer, so that no ink of a removed font resurfaces when a
        // reused symbol is widened.
        symbol.Clear();
    }
    SetName("Unnamed ", 0x17);
    return 1;
}

int Font::GetOffset(int code) const { return offsets[ClampCode(code)]; }

void Font::SetOffset(int code, int value) { offsets[ClampCode(code)] = value; }

int Font::GetHeightLimit() const { return heightLimit; }

void Font::SetHeightLimit(int bits) {
    heightLimit = bits;
    for (int code = 0; code < kSymbolCount; ++code) symbols[code].heightLimit = bits;
}

void Font::SetInterval(int value) { interval = value; }

int Font::GetInterval() const { return interval; }

int Font::GetHeight() const { return height; }

int Font::ChangeHeight(int bytes) {
    for (int code = 0; code < kSymbolCount; ++code) {
        if (symbols[code].width * bytes > Symbol::kDataSize) return EditResult::kTooWide;
    }
    for (int code = 0; code < kSymbolCount; ++code) symbols[code].Relayout(bytes);
    height = bytes;
    return EditResult::kDone;
}

void Font::SetHeight(int bytes) { height = bytes; }
