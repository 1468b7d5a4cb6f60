// One glyph: a bitmap of width columns of height bytes, stored column-major.
// Byte 0 of a column holds its bottom 8 rows, bit 0 is the lowest row, and a
// 0 bit is ink (a printed dot); a blank byte is 0xFF.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>

class Symbol {
public:
    static constexpr int kDataSize = 512;
    static constexpr uint8_t kBlank = 0xFF;

    int width = 1;
    std::unique_ptr<uint8_t[]> data;
    int height = 1;
    int heightLimit = 8;

    Symbol();
    Symbol(const Symbol&) = delete;
    Symbol& operator=(const Symbol&) = delete;

    virtual bool IsEmpty() const;
    virtual int Clear();
    virtual ~Symbol();

    void CopyFrom(const Symbol& other);
    // Re-lays out every column for newHeight bytes: blank bytes are added on
    // top, or the top bytes dropped. The caller keeps width x newHeight <= 512.
    void Relayout(int newHeight);
    int ByteCount() const { return width * height; }

    // The columns that lie within the 512 bytes: a width beyond them (a damaged
    // or hand-made file) draws no more than the data hold.
    int DrawableColumns() const { return height > 0 ? std::min(width, kDataSize / height) : 0; }
    // Whether the dot at column (< DrawableColumns()) and row (counted from the
    // bottom, < 8 x height) is printed.
    bool IsInk(int column, int row) const { return (data[column * height + row / 8] & (1u << (row % 8))) == 0; }
};
