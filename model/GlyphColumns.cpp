#include "GlyphColumns.h"

#include <algorithm>

#include "FontImage.h"

int ImportedWidth(const GlyphColumns& columns) {
    const int count = static_cast<int>(columns.size());
    for (int x = count - 1; x >= 0; --x) {
        if (std::find(columns[x].begin(), columns[x].end(), 1) != columns[x].end()) {
            return x == count - 1 ? count : x + 2;
        }
    }
    return 1;
}

void PackImportedGlyph(FontImage& image, const GlyphColumns& columns, int width, int height, int heightLimit,
                       Symbol& glyph) {
    std::fill(glyph.data.get(), glyph.data.get() + Symbol::kDataSize, Symbol::kBlank);
    image.PackColumns(columns, width, height, glyph.data.get());
    glyph.width = width;
    glyph.height = height;
    glyph.heightLimit = heightLimit;
}
