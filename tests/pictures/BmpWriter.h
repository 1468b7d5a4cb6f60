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

// A .bmp file put together from its parts, for headers and encodings that
// MakeBmp does not write: an info header of headerSize bytes (12 is the OS/2
// core header, with 16-bit dimensions), then whatever follows it (masks), the
// colour table and the pixel bytes as given. In a header of 52 bytes or more
// headerMasks fill its mask fields from byte 40; a header with the field
// counts the colour table's entries in biClrUsed.
struct BmpParts {
    uint32_t headerSize = 40;
    int width = 1;
    int height = 1;
    int bitCount = 8;
    uint32_t compression = 0;
    std::vector<uint32_t> headerMasks;
    std::vector<uint8_t> afterHeader;
    std::vector<uint8_t> colourTable;
    std::vector<uint8_t> pixels;
};

inline std::vector<uint8_t> AssembleBmp(const BmpParts& parts) {
    std::vector<uint8_t> out(14 + parts.headerSize, 0);
    out[0] = 'B';
    out[1] = 'M';
    PutU32(out, 14, parts.headerSize);
    if (parts.headerSize == 12) {
        PutU16(out, 18, parts.width);
        PutU16(out, 20, parts.height);
        PutU16(out, 22, 1);
        PutU16(out, 24, parts.bitCount);
    } else {
        PutU32(out, 18, parts.width);
        PutU32(out, 22, parts.height);
        PutU16(out, 26, 1);
        PutU16(out, 28, parts.bitCount);
        if (parts.headerSize >= 20) PutU32(out, 30, parts.compression);
        if (parts.headerSize >= 36) PutU32(out, 46, static_cast<uint32_t>(parts.colourTable.size() / 4));
        for (size_t i = 0; i < parts.headerMasks.size(); ++i) PutU32(out, 54 + 4 * i, parts.headerMasks[i]);
    }
    out.insert(out.end(), parts.afterHeader.begin(), parts.afterHeader.end());
    out.insert(out.end(), parts.colourTable.begin(), parts.colourTable.end());
    PutU32(out, 10, static_cast<uint32_t>(out.size()));
    out.insert(out.end(), parts.pixels.begin(), parts.pixels.end());
    PutU32(out, 2, static_cast<uint32_t>(out.size()));
    return out;
}

// A colour table of black (index 0) and white (index 1), entries of entrySize bytes.
inline std::vector<uint8_t> BlackWhiteTable(int entrySize = 4) {
    std::vector<uint8_t> table(2 * entrySize, 0);
    table[entrySize] = table[entrySize + 1] = table[entrySize + 2] = 0xFF;
    return table;
}
