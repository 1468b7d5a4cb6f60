#include "BitmapHeader.h"

namespace {

constexpr uint32_t kUncompressed = 0;  // BI_RGB

uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

uint32_t ReadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

bool IsSupportedDepth(uint16_t bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// The 40 bytes of a BITMAPINFOHEADER; the caller has checked they are there.
BitmapInfo ParseInfoHeader(const uint8_t* p) {
    BitmapInfo info;
    info.headerSize = ReadU32(p);
    info.width = static_cast<int32_t>(ReadU32(p + 4));
    info.height = static_cast<int32_t>(ReadU32(p + 8));
    info.planes = ReadU16(p + 12);
    info.bitCount = ReadU16(p + 14);
    info.compression = ReadU32(p + 16);
    info.colorsUsed = ReadU32(p + 32);
    return info;
}

// A height of INT32_MIN has no positive magnitude and is refused with the rest.
bool HasUsableDimensions(const BitmapInfo& info) {
    return info.width >= 1 && info.height != 0 && info.height != INT32_MIN;
}

struct Rgb {
    int red, green, blue;
};

bool IsDark(Rgb colour) { return (colour.red + colour.green + colour.blue) / 3 < 128; }

class PixelReader {
public:
    PixelReader(const BitmapLayout& layout, const uint8_t* file)
        : layout_(layout), palette_(file + kBitmapHeadersSize), pixels_(file + layout.pixelOffset) {}

    // The colour of pixel x of the row rowFromTop.
    Rgb At(int x, int rowFromTop) const {
        const BitmapInfo& info = layout_.info;
        const int storedRow = info.TopDown() ? rowFromTop : info.Rows() - 1 - rowFromTop;
        const uint8_t* row = pixels_ + static_cast<size_t>(storedRow) * layout_.stride;
        switch (info.bitCount) {
            case 1: return PaletteColour((row[x / 8] >> (7 - x % 8)) & 1);
            case 4: return PaletteColour((row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0x0F);
            case 8: return PaletteColour(row[x]);
            case 16: {
                // 5 bits each of red, green and blue, scaled to 8 bits.
                const uint16_t value = ReadU16(row + 2 * x);
                auto scale = [](int five) { return (five << 3) | (five >> 2); };
                return {scale((value >> 10) & 0x1F), scale((value >> 5) & 0x1F), scale(value & 0x1F)};
            }
            case 24: return {row[3 * x + 2], row[3 * x + 1], row[3 * x]};
            default: return {row[4 * x + 2], row[4 * x + 1], row[4 * x]};
        }
    }

private:
    // An index beyond the colour table reads as black.
    Rgb PaletteColour(uint32_t index) const {
        if (index >= layout_.colorCount) return {0, 0, 0};
        const uint8_t* entry = palette_ + 4 * index;
        return {entry[2], entry[1], entry[0]};
    }

    const BitmapLayout& layout_;
    const uint8_t* palette_;
    const uint8_t* pixels_;
};

}  // namespace

const char* DescribeBitmapProblem(BitmapProblem problem) {
    switch (problem) {
        case BitmapProblem::kNone: return "";
        case BitmapProblem::kFileTooShort: return "The bitmap file is shorter than its headers.";
        case BitmapProblem::kNotABitmap: return "The file is not a bitmap file.";
        case BitmapProblem::kInfoHeaderSize: return "The bitmap's info header is not 40 bytes long.";
        case BitmapProblem::kOffsetOutOfRange: return "The bitmap's pixel data offset lies outside the file.";
        case BitmapProblem::kSizeNotAboveOffset: return "The bitmap's file size is not above its pixel data offset.";
        case BitmapProblem::kFileShorterThanSize: return "The bitmap file is shorter than its header says.";
        case BitmapProblem::kBadDimensions: return "The bitmap's width or height is below 1.";
        case BitmapProblem::kUnsupportedFormat: return "Compressed bitmaps cannot be imported.";
        case BitmapProblem::kUnsupportedDepth: return "The bitmap's colour depth cannot be imported.";
        case BitmapProblem::kColorTableTooShort: return "The bitmap's colour table is shorter than its depth needs.";
        case BitmapProblem::kPixelDataTooShort: return "The bitmap's pixel data are shorter than its header promises.";
        case BitmapProblem::kTooHigh: return "Bitmap height is larger than grid height";
        case BitmapProblem::kTooWide: return "Bitmap width is larger than 128 pixels";
    }
    return "The bitmap cannot be imported.";
}

BitmapProblem ReadInfoHeader(const uint8_t* data, size_t size, BitmapInfo* out) {
    if (size < static_cast<size_t>(kInfoHeaderSize)) return BitmapProblem::kFileTooShort;
    *out = ParseInfoHeader(data);
    if (out->headerSize < static_cast<uint32_t>(kInfoHeaderSize) || out->headerSize > size) {
        return BitmapProblem::kInfoHeaderSize;
    }
    if (!HasUsableDimensions(*out)) return BitmapProblem::kBadDimensions;
    return BitmapProblem::kNone;
}

BitmapProblem CheckBitmapFile(const uint8_t* head, size_t headSize, uint64_t fileSize, BitmapLayout* out) {
    if (headSize < static_cast<size_t>(kBitmapHeadersSize) || fileSize < static_cast<uint64_t>(kBitmapHeadersSize)) {
        return BitmapProblem::kFileTooShort;
    }
    if (head[0] != 'B' || head[1] != 'M') return BitmapProblem::kNotABitmap;
    BitmapLayout layout;
    layout.declaredSize = ReadU32(head + 2);
    layout.pixelOffset = ReadU32(head + 10);
    layout.info = ParseInfoHeader(head + kFileHeaderSize);
    const BitmapInfo& info = layout.info;
    if (info.headerSize != static_cast<uint32_t>(kInfoHeaderSize)) return BitmapProblem::kInfoHeaderSize;
    if (layout.pixelOffset < static_cast<uint32_t>(kBitmapHeadersSize) || layout.pixelOffset >= fileSize) {
        return BitmapProblem::kOffsetOutOfRange;
    }
    if (layout.declaredSize <= layout.pixelOffset) return BitmapProblem::kSizeNotAboveOffset;
    if (layout.declaredSize > fileSize) return BitmapProblem::kFileShorterThanSize;
    if (!HasUsableDimensions(info)) return BitmapProblem::kBadDimensions;
    if (info.planes != 1 || info.compression != kUncompressed) return BitmapProblem::kUnsupportedFormat;
    if (!IsSupportedDepth(info.bitCount)) return BitmapProblem::kUnsupportedDepth;

    if (info.bitCount <= 8) {
        const uint32_t depthColours = 1u << info.bitCount;
        layout.colorCount = info.colorsUsed != 0 && info.colorsUsed < depthColours ? info.colorsUsed : depthColours;
        const uint64_t tableBytes = static_cast<uint64_t>(layout.pixelOffset) - kBitmapHeadersSize;
        if (tableBytes < 4ull * layout.colorCount) return BitmapProblem::kColorTableTooShort;
    }
    const uint64_t stride = (static_cast<uint64_t>(info.width) * info.bitCount + 31) / 32 * 4;
    const uint64_t pixelBytes = stride * static_cast<uint64_t>(info.Rows());
    if (pixelBytes > layout.declaredSize - layout.pixelOffset) return BitmapProblem::kPixelDataTooShort;
    // Both fit in 32 bits now: they lie within bfSize.
    layout.stride = static_cast<uint32_t>(stride);
    layout.pixelBytes = static_cast<uint32_t>(pixelBytes);
    *out = layout;
    return BitmapProblem::kNone;
}

BitmapProblem CheckImportLimits(const BitmapInfo& info, int rowCount) {
    if (info.Rows() > rowCount) return BitmapProblem::kTooHigh;
    if (info.width > kMaxImportWidth) return BitmapProblem::kTooWide;
    return BitmapProblem::kNone;
}

ImportPicture SampleBitmapFile(const BitmapLayout& layout, const uint8_t* file, int rowCount) {
    ImportPicture picture;
    picture.columns = layout.info.width;
    picture.rows = rowCount;
    picture.cells.assign(static_cast<size_t>(picture.columns) * rowCount, 1);
    const PixelReader reader(layout, file);
    const int shownRows = layout.info.Rows() < rowCount ? layout.info.Rows() : rowCount;
    for (int y = 0; y < shownRows; ++y) {
        for (int x = 0; x < picture.columns; ++x) {
            if (IsDark(reader.At(x, y))) picture.cells[static_cast<size_t>(x) * rowCount + (rowCount - 1 - y)] = 0;
        }
    }
    return picture;
}

BitmapProblem ReadBitmapFile(const uint8_t* data, size_t size, int rowCount, ImportPicture* out) {
    BitmapLayout layout;
    BitmapProblem problem = CheckBitmapFile(data, size, size, &layout);
    if (problem == BitmapProblem::kNone) problem = CheckImportLimits(layout.info, rowCount);
    if (problem != BitmapProblem::kNone) return problem;
    *out = SampleBitmapFile(layout, data, rowCount);
    return BitmapProblem::kNone;
}
