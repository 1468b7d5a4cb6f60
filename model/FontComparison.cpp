#include "FontComparison.h"

#include <algorithm>
#include <cstring>

#include "FontImage.h"

namespace {

void CompareSetting(std::vector<FontDifference>& out, FontDifference::What what, int font, int code, int first,
                    int second) {
    if (first != second) out.push_back({what, font, code, first, second});
}

void CompareSymbols(std::vector<FontDifference>& out, int font, const Font& first, const Font& second) {
    for (int code = 0; code < Font::kSymbolCount; ++code) {
        const Symbol& a = first.At(code);
        const Symbol& b = second.At(code);
        if (a.width != b.width) {
            CompareSetting(out, FontDifference::kWidth, font, code, a.width, b.width);
        } else if (a.height == b.height && std::memcmp(a.data.get(), b.data.get(), a.ByteCount()) != 0) {
            out.push_back({FontDifference::kColumns, font, code, a.width, b.width});
        }
    }
}

}  // namespace

std::vector<FontDifference> CompareFonts(const FontImage& first, const FontImage& second) {
    std::vector<FontDifference> out;
    const int shared = std::min(first.GetFontCount(), second.GetFontCount());
    for (int i = 0; i < std::max(first.GetFontCount(), second.GetFontCount()); ++i) {
        if (i >= shared) {
            const bool inFirst = i < first.GetFontCount();
            out.push_back({inFirst ? FontDifference::kOnlyInFirst : FontDifference::kOnlyInSecond, i, -1});
            continue;
        }
        const Font& a = first.FontAt(i);
        const Font& b = second.FontAt(i);
        if (std::memcmp(a.name, b.name, Font::kNameLength) != 0) out.push_back({FontDifference::kName, i, -1});
        CompareSetting(out, FontDifference::kHeight, i, -1, a.GetHeight(), b.GetHeight());
        CompareSetting(out, FontDifference::kInterval, i, -1, a.GetInterval(), b.GetInterval());
        CompareSetting(out, FontDifference::kHeightLimit, i, -1, a.GetHeightLimit(), b.GetHeightLimit());
        CompareSymbols(out, i, a, b);
    }
    return out;
}
