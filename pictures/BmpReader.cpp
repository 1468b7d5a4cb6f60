#include "BmpReader.h"

#include <algorithm>
#include <utility>

#include "Ink.h"

namespace {

// Compression values of an info header.
constexpr uint32_t kRgb = 0;             // BI_RGB: uncompressed
constexpr uint32_t kRle8 = 1;            // BI_RLE8
constexpr uint32_t kRle4 = 2;            // BI_RLE4
constexpr uint32_t kBitfields = 3;       // BI_BITFIELDS (Huffman 1D in an OS/2 2.x header)
constexpr uint32_t kAlphaBitfields = 6;  // BI_ALPHABITFIELDS

// Info header sizes.
constexpr uint32_t kCoreHeaderSize = 12;  // OS/2 1.x BITMAPCOREHEADER: 16-bit dimensions, 3-byte colours
constexpr uint32_t kV3HeaderSize = 56;    // the first with an alpha mask
constexpr uint32_t kShortestOs2Header = 16;
constexpr uint32_t kLongestOs2Header = 64;
// Where a Windows header of 40 bytes or more has its masks (or, at 40 bytes,
// where the masks after it start).
constexpr uint32_t kMasksAt = 40;
constexpr uint32_t kAlphaMaskAt = 52;

// A symbol's picture (at most 128 x 32 pixels) needs a few kilobytes of
// run-length stream even when written pixel by pixel; a stream that has not
// ended within this many bytes is refused rather than read further.
constexpr uint64_t kMaxRunLengthBytes = 1u << 20;

// In a run-length decode: a pixel the stream skipped.
constexpr int16_t kSkipped = -1;

enum class HeaderKind { kUnknown, kCore, kOs2, kWindows };

uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

uint32_t ReadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

HeaderKind KindOfHeader(uint32_t size) {
    switch (size) {
        case kCoreHeaderSize: return HeaderKind::kCore;
        case 40:   // BITMAPINFOHEADER
        case 52:   // BITMAPV2INFOHEADER
        case 56:   // BITMAPV3INFOHEADER
        case 108:  // BITMAPV4HEADER
        case 124:  // BITMAPV5HEADER
            return HeaderKind::kWindows;
        default:
            return size >= kShortestOs2Header && size <= kLongestOs2Header ? HeaderKind::kOs2 : HeaderKind::kUnknown;
    }
}

bool IsSupportedDepth(uint16_t bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// The header at p, all info.headerSize bytes of it present. The fields a
// short OS/2 2.x header leaves out read as 0.
BitmapInfo ParseInfoHeader(const uint8_t* p, uint32_t size) {
    BitmapInfo info;
    info.headerSize = size;
    if (size == kCoreHeaderSize) {
        info.width = ReadU16(p + 4);
        info.height = ReadU16(p + 6);
        info.planes = ReadU16(p + 8);
        info.bitCount = ReadU16(p + 10);
        return info;
    }
    info.width = static_cast<int32_t>(ReadU32(p + 4));
    info.height = static_cast<int32_t>(ReadU32(p + 8));
    info.planes = ReadU16(p + 12);
    info.bitCount = ReadU16(p + 14);
    if (size >= 20) info.compression = ReadU32(p + 16);
    if (size >= 36) info.colorsUsed = ReadU32(p + 32);
    return info;
}

// The info header at p, of which available bytes are present.
PictureProblem ReadHeader(const uint8_t* p, size_t available, BitmapInfo* out) {
    if (available < 4) return PictureProblem::kFileTooShort;
    const uint32_t size = ReadU32(p);
    if (KindOfHeader(size) == HeaderKind::kUnknown) return PictureProblem::kInfoHeaderSize;
    if (available < size) return PictureProblem::kFileTooShort;
    *out = ParseInfoHeader(p, size);
    return PictureProblem::kNone;
}

// A height of INT32_MIN has no positive magnitude and is refused with the rest.
bool HasUsableDimensions(const BitmapInfo& info) {
    return info.width >= 1 && info.height != 0 && info.height != INT32_MIN;
}

bool HasMasks(const BitmapInfo& info, HeaderKind kind) {
    return kind == HeaderKind::kWindows && (info.compression == kBitfields || info.compression == kAlphaBitfields);
}

// Masks of a 16- or 32-bit picture follow a 40-byte header (three, or four
// with alpha); larger Windows headers hold them.
uint32_t MaskBytesAfterHeader(const BitmapInfo& info, HeaderKind kind) {
    const bool maskedDepth = info.bitCount == 16 || info.bitCount == 32;
    if (!HasMasks(info, kind) || !maskedDepth || info.headerSize != static_cast<uint32_t>(kInfoHeaderSize)) return 0;
    return info.compression == kAlphaBitfields ? 16 : 12;
}

// ImageMagick's RGB555 files (BMP3 with -define bmp:subtype=RGB555) say
// BI_BITFIELDS but put the pixels right after the 40-byte header, with no
// masks; ImageMagick reads them with the 5-5-5 masks, and so does this reader.
bool HasMasksLeftOut(const BitmapInfo& info, HeaderKind kind, uint32_t pixelOffset) {
    return kind == HeaderKind::kWindows && info.headerSize == static_cast<uint32_t>(kInfoHeaderSize) &&
           info.compression == kBitfields && info.bitCount == 16 &&
           pixelOffset == static_cast<uint32_t>(kFileHeaderSize + kInfoHeaderSize);
}

constexpr ColourMasks kMasks555{0x7C00, 0x03E0, 0x001F, 0};

PictureProblem ChooseEncoding(HeaderKind kind, BitmapLayout* layout) {
    const BitmapInfo& info = layout->info;
    if (info.compression == kRgb) {
        if (!IsSupportedDepth(info.bitCount)) return PictureProblem::kUnsupportedDepth;
        layout->encoding = info.bitCount <= 8 ? PixelEncoding::kIndexed : PixelEncoding::kDirect;
        return PictureProblem::kNone;
    }
    if (info.compression == kRle8 || info.compression == kRle4) {
        const bool eightBits = info.compression == kRle8;
        if (info.bitCount != (eightBits ? 8 : 4)) return PictureProblem::kCompressionDepthMismatch;
        layout->encoding = eightBits ? PixelEncoding::kRle8 : PixelEncoding::kRle4;
        return PictureProblem::kNone;
    }
    if (HasMasks(info, kind)) {
        if (info.bitCount != 16 && info.bitCount != 32) return PictureProblem::kCompressionDepthMismatch;
        layout->encoding = PixelEncoding::kDirect;
        return PictureProblem::kNone;
    }
    return PictureProblem::kUnsupportedCompression;
}

// A mask is usable when its bits form one run (or it is empty).
bool IsOneRun(uint32_t mask) {
    if (mask == 0) return true;
    while ((mask & 1) == 0) mask >>= 1;
    return (mask & (mask + 1)) == 0;
}

// The masks of a direct-colour picture whose header starts at header, with
// the masks of a 40-byte header after it.
PictureProblem ReadMasks(const uint8_t* header, HeaderKind kind, BitmapLayout* layout) {
    const BitmapInfo& info = layout->info;
    ColourMasks& masks = layout->masks;
    if (!HasMasks(info, kind)) {
        if (info.bitCount == 16) {
            masks = kMasks555;
        } else {
            masks = {0xFF0000, 0x00FF00, 0x0000FF, 0};
            layout->alphaIfAnyNonZero = info.bitCount == 32;
        }
        return PictureProblem::kNone;
    }
    if (HasMasksLeftOut(info, kind, layout->pixelOffset)) {
        masks = kMasks555;
        return PictureProblem::kNone;
    }
    masks.red = ReadU32(header + kMasksAt);
    masks.green = ReadU32(header + kMasksAt + 4);
    masks.blue = ReadU32(header + kMasksAt + 8);
    const bool alphaMask = info.headerSize >= kV3HeaderSize || info.compression == kAlphaBitfields;
    masks.alpha = alphaMask ? ReadU32(header + kAlphaMaskAt) : 0;
    if ((masks.red | masks.green | masks.blue) == 0) return PictureProblem::kBadColourMasks;
    for (uint32_t mask : {masks.red, masks.green, masks.blue, masks.alpha}) {
        if (!IsOneRun(mask)) return PictureProblem::kBadColourMasks;
    }
    return PictureProblem::kNone;
}

PictureProblem PlaceColourTable(HeaderKind kind, BitmapLayout* layout) {
    const BitmapInfo& info = layout->info;
    if (info.bitCount > 8) return PictureProblem::kNone;
    const uint32_t depthColours = 1u << info.bitCount;
    layout->entrySize = kind == HeaderKind::kCore ? 3 : 4;
    layout->colorCount = info.colorsUsed != 0 && info.colorsUsed < depthColours ? info.colorsUsed : depthColours;
    // OS/2 writers may store only the colours used; the entries that lie
    // before the pixels are read, as Pillow reads them.
    const bool os2 = kind == HeaderKind::kCore || kind == HeaderKind::kOs2;
    const uint32_t present = (layout->pixelOffset - layout->tableOffset) / layout->entrySize;
    if (os2 && present >= 1) layout->colorCount = std::min(layout->colorCount, present);
    if (layout->HeadBytes() > layout->pixelOffset) return PictureProblem::kColorTableTooShort;
    return PictureProblem::kNone;
}

// How many bytes from the pixel offset the decode reads, and the stride of
// an uncompressed picture. The last row's padding is not needed.
PictureProblem PlacePixels(uint64_t available, BitmapLayout* layout) {
    const BitmapInfo& info = layout->info;
    if (layout->encoding == PixelEncoding::kRle8 || layout->encoding == PixelEncoding::kRle4) {
        layout->pixelBytes = std::min(available, kMaxRunLengthBytes);
        return PictureProblem::kNone;
    }
    const uint64_t rowBits = static_cast<uint64_t>(info.width) * info.bitCount;
    const uint64_t stride = (rowBits + 31) / 32 * 4;
    const uint64_t rowsBeforeLast = static_cast<uint64_t>(info.Rows()) - 1;
    // Divided rather than multiplied: stride x rows may not fit in 64 bits.
    if (rowsBeforeLast > available / stride) return PictureProblem::kPixelDataTooShort;
    const uint64_t needed = stride * rowsBeforeLast + (rowBits + 7) / 8;
    if (needed > available) return PictureProblem::kPixelDataTooShort;
    layout->stride = stride;
    layout->pixelBytes = needed;
    return PictureProblem::kNone;
}

// --- decoding: one ink flag per pixel, stored rows in file order ---

// Ink of each colour table index; an index beyond the table reads as black.
std::vector<uint8_t> InkOfEachIndex(const BitmapLayout& layout, const uint8_t* file) {
    std::vector<uint8_t> ink(256, 1);
    for (uint32_t i = 0; i < layout.colorCount; ++i) {
        const uint8_t* entry = file + layout.tableOffset + i * layout.entrySize;
        ink[i] = IsInkColour(entry[2], entry[1], entry[0]);
    }
    return ink;
}

std::vector<uint8_t> DecodeIndexed(const BitmapLayout& layout, const uint8_t* pixels,
                                   const std::vector<uint8_t>& inkOfIndex) {
    const int width = layout.info.width;
    const int rows = layout.info.Rows();
    const int bits = layout.info.bitCount;
    const int perByte = 8 / bits;
    const int valueMask = (1 << bits) - 1;
    std::vector<uint8_t> ink(static_cast<size_t>(width) * rows);
    for (int r = 0; r < rows; ++r) {
        const uint8_t* row = pixels + r * layout.stride;
        for (int x = 0; x < width; ++x) {
            // The leftmost pixel of a byte is in its highest bits.
            const int shift = bits * (perByte - 1 - x % perByte);
            ink[static_cast<size_t>(r) * width + x] = inkOfIndex[(row[x / perByte] >> shift) & valueMask];
        }
    }
    return ink;
}

// Follows a run-length stream of size bytes into one colour table index per
// pixel (kSkipped where a delta or an early end of line passes over it). A
// row may take pixels up to its padded length, as encoders that run over a
// row's padding write them; those beyond the width are dropped.
PictureProblem DecodeRunLengths(const BitmapLayout& layout, const uint8_t* stream, uint64_t size,
                               std::vector<int16_t>* indices) {
    const bool nibbles = layout.encoding == PixelEncoding::kRle4;
    const int width = layout.info.width;
    const int rows = layout.info.Rows();
    const int rowBytes = (width * (nibbles ? 4 : 8) + 31) / 32 * 4;
    const int rowPixels = nibbles ? 2 * rowBytes : rowBytes;
    indices->assign(static_cast<size_t>(width) * rows, kSkipped);
    int x = 0;
    int y = 0;
    auto put = [&](int index) {
        if (x < width) (*indices)[static_cast<size_t>(y) * width + x] = static_cast<int16_t>(index);
        ++x;
    };
    auto fits = [&](int count) { return y < rows && count <= rowPixels - x; };
    uint64_t at = 0;
    while (true) {
        // A stream may end without its end-of-bitmap once every row is done.
        if (size - at < 2) return y >= rows ? PictureProblem::kNone : PictureProblem::kPixelDataTooShort;
        const int count = stream[at];
        const int value = stream[at + 1];
        at += 2;
        if (count > 0) {  // a run of one index, or of two alternating nibbles
            if (!fits(count)) return PictureProblem::kRunOutsidePicture;
            for (int i = 0; i < count; ++i) put(nibbles ? (i % 2 == 0 ? value >> 4 : value & 0x0F) : value);
            continue;
        }
        switch (value) {
            case 0:  // end of line
                x = 0;
                if (y < rows) ++y;
                break;
            case 1:  // end of bitmap
                return PictureProblem::kNone;
            case 2: {  // delta: right and up
                if (size - at < 2) return PictureProblem::kPixelDataTooShort;
                const int right = stream[at];
                const int up = stream[at + 1];
                at += 2;
                if (up >= rows - y || right > rowPixels - x) return PictureProblem::kRunOutsidePicture;
                x += right;
                y += up;
                break;
            }
            default: {  // absolute: value literal indexes, padded to a 16-bit boundary
                const uint64_t bytes = nibbles ? (value + 1) / 2 : value;
                if (!fits(value)) return PictureProblem::kRunOutsidePicture;
                if (size - at < bytes) return PictureProblem::kPixelDataTooShort;
                for (int i = 0; i < value; ++i) {
                    put(nibbles ? (stream[at + i / 2] >> (i % 2 == 0 ? 4 : 0)) & 0x0F : stream[at + i]);
                }
                at += std::min(size - at, bytes + bytes % 2);
                break;
            }
        }
    }
}

// One channel of a direct-colour pixel, scaled to 0-255.
class Channel {
public:
    explicit Channel(uint32_t mask) : mask_(mask) {
        if (mask == 0) return;
        while ((mask & 1) == 0) {
            mask >>= 1;
            ++shift_;
        }
        top_ = mask;
    }
    bool Present() const { return mask_ != 0; }
    int Level(uint32_t pixel) const {
        if (mask_ == 0) return 0;
        const uint64_t value = (pixel & mask_) >> shift_;
        return static_cast<int>((value * 255 + top_ / 2) / top_);
    }

private:
    uint32_t mask_;
    int shift_ = 0;
    uint64_t top_ = 1;  // the channel's largest value
};

uint32_t ReadPixel(const uint8_t* p, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | p[i];
    return value;
}

bool AnyFourthByteSet(const BitmapLayout& layout, const uint8_t* pixels) {
    for (int r = 0; r < layout.info.Rows(); ++r) {
        const uint8_t* row = pixels + r * layout.stride;
        for (int x = 0; x < layout.info.width; ++x) {
            if (row[4 * x + 3] != 0) return true;
        }
    }
    return false;
}

std::vector<uint8_t> DecodeDirect(const BitmapLayout& layout, const uint8_t* pixels) {
    const int width = layout.info.width;
    const int rows = layout.info.Rows();
    const int bytes = layout.info.bitCount / 8;
    const Channel red(layout.masks.red), green(layout.masks.green), blue(layout.masks.blue);
    const bool fourthByteIsAlpha = layout.alphaIfAnyNonZero && AnyFourthByteSet(layout, pixels);
    const Channel alpha(fourthByteIsAlpha ? 0xFF000000u : layout.masks.alpha);
    std::vector<uint8_t> ink(static_cast<size_t>(width) * rows);
    for (int r = 0; r < rows; ++r) {
        const uint8_t* row = pixels + r * layout.stride;
        for (int x = 0; x < width; ++x) {
            const uint32_t pixel = ReadPixel(row + bytes * x, bytes);
            const bool transparent = alpha.Present() && alpha.Level(pixel) < 128;
            ink[static_cast<size_t>(r) * width + x] =
                !transparent && IsInkColour(red.Level(pixel), green.Level(pixel), blue.Level(pixel));
        }
    }
    return ink;
}

PictureProblem DecodeInk(const BitmapLayout& layout, const uint8_t* file, std::vector<uint8_t>* ink) {
    const uint8_t* pixels = file + layout.pixelOffset;
    switch (layout.encoding) {
        case PixelEncoding::kIndexed:
            *ink = DecodeIndexed(layout, pixels, InkOfEachIndex(layout, file));
            return PictureProblem::kNone;
        case PixelEncoding::kRle8:
        case PixelEncoding::kRle4: {
            std::vector<int16_t> indices;
            const PictureProblem problem = DecodeRunLengths(layout, pixels, layout.pixelBytes, &indices);
            if (problem != PictureProblem::kNone) return problem;
            const std::vector<uint8_t> inkOfIndex = InkOfEachIndex(layout, file);
            ink->resize(indices.size());
            for (size_t i = 0; i < indices.size(); ++i) (*ink)[i] = indices[i] != kSkipped && inkOfIndex[indices[i]];
            return PictureProblem::kNone;
        }
        case PixelEncoding::kDirect:
            *ink = DecodeDirect(layout, pixels);
            return PictureProblem::kNone;
    }
    return PictureProblem::kUnsupportedCompression;
}

}  // namespace

PictureProblem ReadInfoHeader(const uint8_t* data, size_t size, BitmapInfo* out) {
    BitmapInfo info;
    const PictureProblem problem = ReadHeader(data, size, &info);
    if (problem != PictureProblem::kNone) return problem;
    *out = info;
    return HasUsableDimensions(info) ? PictureProblem::kNone : PictureProblem::kBadDimensions;
}

PictureProblem CheckBitmapFile(const uint8_t* head, size_t headSize, uint64_t fileSize, BitmapLayout* out) {
    const size_t available = static_cast<size_t>(std::min<uint64_t>(headSize, fileSize));
    if (available < 2 || head[0] != 'B' || head[1] != 'M') return PictureProblem::kNotABitmap;
    if (available < static_cast<size_t>(kFileHeaderSize) + 4) return PictureProblem::kFileTooShort;
    BitmapLayout layout;
    PictureProblem problem = ReadHeader(head + kFileHeaderSize, available - kFileHeaderSize, &layout.info);
    if (problem != PictureProblem::kNone) return problem;
    const BitmapInfo& info = layout.info;
    const HeaderKind kind = KindOfHeader(info.headerSize);
    layout.pixelOffset = ReadU32(head + 10);
    const bool masksLeftOut = HasMasksLeftOut(info, kind, layout.pixelOffset);
    layout.tableOffset = kFileHeaderSize + info.headerSize + (masksLeftOut ? 0 : MaskBytesAfterHeader(info, kind));
    if (available < layout.tableOffset) return PictureProblem::kFileTooShort;
    if (layout.pixelOffset < layout.tableOffset || layout.pixelOffset >= fileSize) {
        return PictureProblem::kOffsetOutOfRange;
    }
    if (!HasUsableDimensions(info)) return PictureProblem::kBadDimensions;
    if (info.planes != 1) return PictureProblem::kBadPlanes;
    problem = ChooseEncoding(kind, &layout);
    if (problem == PictureProblem::kNone && layout.encoding == PixelEncoding::kDirect) {
        problem = ReadMasks(head + kFileHeaderSize, kind, &layout);
    }
    if (problem == PictureProblem::kNone) problem = PlaceColourTable(kind, &layout);
    if (problem == PictureProblem::kNone) problem = PlacePixels(fileSize - layout.pixelOffset, &layout);
    if (problem != PictureProblem::kNone) return problem;
    *out = layout;
    return PictureProblem::kNone;
}

PictureProblem DecodeBitmapFile(const BitmapLayout& layout, const uint8_t* file, InkPicture* out) {
    const int width = layout.info.width;
    const int rows = layout.info.Rows();
    if (static_cast<long long>(width) * rows > kMaxInkPixels) return PictureProblem::kPictureTooLarge;
    std::vector<uint8_t> ink;
    const PictureProblem problem = DecodeInk(layout, file, &ink);
    if (problem != PictureProblem::kNone) return problem;
    if (!layout.info.TopDown()) {  // stored bottom row first
        for (int y = 0; y < rows / 2; ++y) {
            std::swap_ranges(ink.begin() + static_cast<ptrdiff_t>(y) * width,
                             ink.begin() + static_cast<ptrdiff_t>(y + 1) * width,
                             ink.begin() + static_cast<ptrdiff_t>(rows - 1 - y) * width);
        }
    }
    out->width = width;
    out->height = rows;
    out->ink = std::move(ink);
    return PictureProblem::kNone;
}
