#include "FontImage.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "Results.h"

namespace {

ConfirmDeleteFn ConfirmDelete = nullptr;

}  // namespace

void SetConfirmDelete(ConfirmDeleteFn fn) { ConfirmDelete = fn; }

FontImage::~FontImage() = default;

int FontImage::AllocateFonts(int n) {
    pool.reset();
    pool.reset(new (std::nothrow) Font[n]);
    return pool != nullptr;
}

int FontImage::InitNew() {
    if (!AllocateFonts(kMaxFonts)) return 0;
    for (int i = 0; i < kMaxFonts; ++i) {
        fonts[i] = &pool[i];
        pool[i].Reset();
        used[i] = 0;
    }
    used[0] = 1;
    count = 1;
    return 1;
}

int FontImage::AddFont() {
    if (count >= kMaxAddedFonts) return 0;
    for (int i = 0; i < kMaxAddedFonts; ++i) {
        if (used[i]) continue;
        fonts[count++] = &pool[i];
        used[i] = 1;
        pool[i].Reset();
        return 1;
    }
    return 0;
}

void FontImage::RemoveFont(int index) {
    if (count <= 1 || index < 0 || index >= count) return;
    used[fonts[index] - pool.get()] = 0;
    for (int i = index; i < kMaxFonts - 1; ++i) fonts[i] = fonts[i + 1];
    --count;
}

int FontImage::GetFontCount() const { return count; }

Font* InsertFont(FontImage& image, int index) {
    if (!image.pool || image.count >= FontImage::kMaxFonts || index < 0 || index > image.count) return nullptr;
    int slot = 0;
    while (slot < FontImage::kMaxFonts && image.used[slot]) ++slot;
    if (slot == FontImage::kMaxFonts) return nullptr;
    Font& font = image.pool[slot];
    font.Reset();
    image.used[slot] = 1;
    for (int i = image.count; i > index; --i) image.fonts[i] = image.fonts[i - 1];
    image.fonts[index] = &font;
    ++image.count;
    return &font;
}

bool MoveFont(FontImage& image, int from, int to) {
    if (from < 0 || from >= image.count || to < 0 || to >= image.count) return false;
    Font** fonts = image.fonts;
    if (from < to) {
        std::rotate(fonts + from, fonts + from + 1, fonts + to + 1);
    } else {
        std::rotate(fonts + to, fonts + from, fonts + from + 1);
    }
    return true;
}

uint8_t FontImage::GetFontName(int index, char* buffer) const {
    if (index < 0) {
        std::memcpy(buffer, "Empty   ", Font::kNameLength + 1);
        return 0x90;
    }
    return fonts[index]->GetName(buffer);
}

uint8_t FontImage::SetFontName(int index, const char* text) {
    char padded[Font::kNameLength];
    std::memset(padded, ' ', sizeof padded);
    const size_t length = std::min<size_t>(std::strlen(text), Font::kNameLength);
    std::memcpy(padded, text, length);
    const uint8_t checksum = NameChecksum(padded);
    fonts[index]->SetName(padded, checksum);
    return checksum;
}

int FontImage::GetFontHeight(int index) const { return fonts[index]->GetHeight(); }

int FontImage::SetFontHeight(int index, int bytes) {
    return fonts[index]->ChangeHeight(std::clamp(bytes, 1, 4));
}

int FontImage::GetInterval(int index) const { return fonts[index]->GetInterval(); }

void FontImage::SetInterval(int index, int value) { fonts[index]->SetInterval(value); }

int FontImage::GetHeightLimit(int index) const { return fonts[index]->GetHeightLimit(); }

void FontImage::SetHeightLimit(int index, int bits) { fonts[index]->SetHeightLimit(bits); }

int FontImage::ClearSymbol(int index, int code, int confirm) {
    if (confirm && !(ConfirmDelete && ConfirmDelete())) return EditResult::kDeclined;
    Font& font = *fonts[index];
    Symbol& symbol = font.At(std::clamp(code, 0, 255));
    symbol.width = 1;
    symbol.height = font.GetHeight();
    symbol.heightLimit = SymbolHeightLimit(font);
    symbol.Clear();
    return EditResult::kDone;
}

int FontImage::CopySymbol(int index, int code) {
    clipboard.CopyFrom(fonts[index]->At(std::clamp(code, 0, 255)));
    return 1;
}

int FontImage::PasteSymbol(int index, int code) {
    Font& font = *fonts[index];
    const int height = font.GetHeight();
    if (clipboard.width * height > Symbol::kDataSize) return EditResult::kTooWide;
    Symbol& symbol = font.At(std::clamp(code, 0, 255));
    symbol.CopyFrom(clipboard);
    // A symbol always has its font's height and limit, as in the file.
    if (symbol.height != height) symbol.Relayout(height);
    symbol.heightLimit = SymbolHeightLimit(font);
    return EditResult::kDone;
}

int FontImage::PackColumns(const std::vector<std::vector<int>>& columns, int columnCount, int bytesPerColumn,
                           uint8_t* out) {
    for (int i = 0; i < columnCount; ++i) {
        const std::vector<int>& column = columns[i];
        for (int k = 0; k < bytesPerColumn; ++k) {
            unsigned ink = 0;
            for (int bit = 0; bit < 8; ++bit) {
                const size_t row = static_cast<size_t>(8 * k + bit);
                if (row < column.size() && column[row] == 1) ink |= 1u << bit;
            }
            out[i * bytesPerColumn + k] = static_cast<uint8_t>(~ink);
        }
    }
    return 0;
}
