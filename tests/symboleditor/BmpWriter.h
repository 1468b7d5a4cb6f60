// Builds .bmp files in memory for the import tests: any supported depth,
// bottom-up or top-down, from a picture given as rows of '#' (black) and
// '.' (white), the first string the top row.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct BmpOptions {
    int bitCount = 1;
    bool topDown = false;
};

inline void PutU16(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    out[at] = value & 0xFF;
    out[at + 1] = (value >> 8) & 0xFF;
}

inline void PutU32(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) out[at + i] = (value >> (8 * i)) & 0xFF;
}

// Blank picture of width x height in white.
inline std::vector<std::string> BlankPicture(int width, int height) {
    return std::vector<std::string>(height, std::string(width, '.'));
}

inline std::vector<uint8_t> MakeBmp(const std::vector<std::string>& rows, BmpOptions options = {}) {
    const int height = static_cast<int>(rows.size());
    const int width = height ? static_cast<int>(rows[0].size()) : 0;
    const int bits = options.bitCount;
    const uint32_t paletteEntries = bits <= 8 ? (1u << bits) : 0;
    const uint32_t stride = (static_cast<uint32_t>(width) * bits + 31) / 32 * 4;
    const uint32_t offset = 54 + 4 * paletteEntries;
    const uint32_t size = offset + stride * height;
    std::vector<uint8_t> out(size, 0);
    out[0] = 'B';
    out[1] = 'M';
    PutU32(out, 2, size);
    PutU32(out, 10, offset);
    PutU32(out, 14, 40);
    PutU32(out, 18, width);
    PutU32(out, 22, options.topDown ? -height : height);
    PutU16(out, 26, 1);
    PutU16(out, 28, bits);
    PutU32(out, 34, stride * height);
    // Palette: entry 0 black, entry 1 white, the rest mid grey.
    for (uint32_t i = 0; i < paletteEntries; ++i) {
        const uint8_t level = i == 0 ? 0 : i == 1 ? 255 : 128;
        out[54 + 4 * i] = out[55 + 4 * i] = out[56 + 4 * i] = level;
    }
    for (int y = 0; y < height; ++y) {
        const int storedRow = options.topDown ? y : height - 1 - y;
        uint8_t* row = out.data() + offset + static_cast<size_t>(storedRow) * stride;
        for (int x = 0; x < width; ++x) {
            const bool black = rows[y][x] == '#';
            switch (bits) {
                case 1: if (!black) row[x / 8] |= 0x80 >> (x % 8); break;
                case 4: if (!black) row[x / 2] |= x % 2 == 0 ? 0x10 : 0x01; break;
                case 8: row[x] = black ? 0 : 1; break;
                case 16: if (!black) { row[2 * x] = 0xFF; row[2 * x + 1] = 0x7F; } break;
                case 24: if (!black) row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = 0xFF; break;
                case 32: if (!black) row[4 * x] = row[4 * x + 1] = row[4 * x + 2] = 0xFF; break;
            }
        }
    }
    return out;
}
