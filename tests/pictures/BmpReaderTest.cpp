// The BMP reader through ReadPicture, with bitmaps made here: every depth,
// header kind and compression, the limits, and damaged files.
#include "BmpReader.h"

#include <gtest/gtest.h>

#include "BmpWriter.h"
#include "SymbolPicture.h"

namespace {

const std::vector<std::string> kArrow = {
    "#....",
    "##...",
    "###..",
    "##...",
    "#...#",
};

// The picture as the import sees it: rows from the top, '#' for ink.
std::vector<std::string> Render(const ImportPicture& picture) {
    std::vector<std::string> rows;
    for (int r = picture.rows - 1; r >= 0; --r) {
        std::string row;
        for (int c = 0; c < picture.columns; ++c) row += picture.IsInk(c, r) ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

PictureProblem Read(const std::vector<uint8_t>& file, int rowCount, ImportPicture* picture) {
    return ReadPicture(file.data(), file.size(), rowCount, picture);
}

TEST(BitmapFileImport, BlackIsInkAndWhiteBackgroundInEveryDepthBothOrientations) {
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        for (bool topDown : {false, true}) {
            SCOPED_TRACE(testing::Message() << bits << " bits, top-down " << topDown);
            ImportPicture picture;
            ASSERT_EQ(Read(MakeBmp(kArrow, {bits, topDown}), 5, &picture), PictureProblem::kNone);
            EXPECT_EQ(picture.columns, 5);
            EXPECT_EQ(Render(picture), kArrow);
        }
    }
}

TEST(BitmapFileImport, PictureLowerThanTheGridSitsOnTheTopRows) {
    ImportPicture picture;
    ASSERT_EQ(Read(MakeBmp(kArrow, {24, false}), 16, &picture), PictureProblem::kNone);
    ASSERT_EQ(picture.rows, 16);
    std::vector<std::string> expected = kArrow;
    expected.resize(16, ".....");
    EXPECT_EQ(Render(picture), expected);
}

TEST(BitmapFileImport, LimitsAreInclusiveAndHeightIsTestedFirst) {
    ImportPicture picture;
    EXPECT_EQ(Read(MakeBmp(BlankPicture(128, 16)), 16, &picture), PictureProblem::kNone);
    EXPECT_EQ(picture.columns, 128);
    EXPECT_EQ(Read(MakeBmp(BlankPicture(129, 16)), 16, &picture), PictureProblem::kTooWide);
    EXPECT_EQ(Read(MakeBmp(BlankPicture(10, 17)), 16, &picture), PictureProblem::kTooHigh);
    EXPECT_EQ(Read(MakeBmp(BlankPicture(129, 17)), 16, &picture), PictureProblem::kTooHigh);
    EXPECT_EQ(Read(MakeBmp(BlankPicture(3, 6), {1, true}), 5, &picture), PictureProblem::kTooHigh);
    EXPECT_STREQ(DescribePictureProblem(PictureProblem::kTooHigh), "Bitmap height is larger than grid height");
    EXPECT_STREQ(DescribePictureProblem(PictureProblem::kTooWide), "Bitmap width is larger than 128 pixels");
}

struct Damage {
    const char* what;
    size_t at;        // byte to overwrite with a 32-bit value, or SIZE_MAX
    int32_t value;
    size_t truncateTo;  // 0: keep the length
    PictureProblem expected;
};

TEST(BitmapFileImport, DamagedHeadersAreRefusedWithTheirReason) {
    // A 1-bit 5 x 5 bitmap: offset 62, stride 4, size 82.
    const std::vector<uint8_t> good = MakeBmp(kArrow);
    ASSERT_EQ(good.size(), 82u);
    const Damage damages[] = {
        {"shorter than the headers", SIZE_MAX, 0, 53, PictureProblem::kFileTooShort},
        {"no signature", 0, 0x4141, 0, PictureProblem::kNotABitmap},
        {"header size of no kind", 14, 100, 0, PictureProblem::kInfoHeaderSize},
        {"core header: its 16-bit height reads 0", 14, 12, 0, PictureProblem::kBadDimensions},
        {"v5 header longer than the file", 14, 124, 0, PictureProblem::kFileTooShort},
        {"offset inside headers", 10, 20, 0, PictureProblem::kOffsetOutOfRange},
        {"offset past the end", 10, 82, 0, PictureProblem::kOffsetOutOfRange},
        {"offset huge", 10, -1, 0, PictureProblem::kOffsetOutOfRange},
        {"file cut in the pixels", SIZE_MAX, 0, 70, PictureProblem::kPixelDataTooShort},
        {"width zero", 18, 0, 0, PictureProblem::kBadDimensions},
        {"width negative", 18, -5, 0, PictureProblem::kBadDimensions},
        {"height zero", 22, 0, 0, PictureProblem::kBadDimensions},
        {"height most negative", 22, INT32_MIN, 0, PictureProblem::kBadDimensions},
        {"two planes", 26, 0x00010002, 0, PictureProblem::kBadPlanes},
        {"run-length compressed at 1 bit", 30, 1, 0, PictureProblem::kCompressionDepthMismatch},
        {"colour masks at 1 bit", 30, 3, 0, PictureProblem::kCompressionDepthMismatch},
        {"JPEG", 30, 4, 0, PictureProblem::kUnsupportedCompression},
        {"2 bits per pixel", 26, 0x00020001, 0, PictureProblem::kUnsupportedDepth},
        {"8 bits with 2 colours", 26, 0x00080001, 0, PictureProblem::kColorTableTooShort},
        {"taller than its pixels", 22, 6, 0, PictureProblem::kPixelDataTooShort},
        {"wider than its pixels", 18, 33, 0, PictureProblem::kPixelDataTooShort},
        {"huge width", 18, 0x7FFFFFFF, 0, PictureProblem::kPixelDataTooShort},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.what);
        std::vector<uint8_t> file = good;
        if (damage.at != SIZE_MAX) PutU32(file, damage.at, static_cast<uint32_t>(damage.value));
        if (damage.truncateTo) file.resize(damage.truncateTo);
        ImportPicture picture;
        picture.columns = 7;
        EXPECT_EQ(Read(file, 8, &picture), damage.expected);
        EXPECT_EQ(picture.columns, 7) << "a refused file leaves the buffer alone";
        EXPECT_STRNE(DescribePictureProblem(damage.expected), "");
    }
}

TEST(BitmapFileImport, DeclaredFileSizeIsNotTrustedOnlyTheRealLength) {
    // bfSize as real files get it wrong, and a file without its last row's padding.
    const std::vector<uint8_t> good = MakeBmp(kArrow);
    for (uint32_t declared : {0u, 62u, 83u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(declared);
        std::vector<uint8_t> file = good;
        PutU32(file, 2, declared);
        ImportPicture picture;
        ASSERT_EQ(Read(file, 5, &picture), PictureProblem::kNone);
        EXPECT_EQ(Render(picture), kArrow);
    }
    std::vector<uint8_t> unpadded(good.begin(), good.end() - 3);
    ImportPicture picture;
    ASSERT_EQ(Read(unpadded, 5, &picture), PictureProblem::kNone);
    EXPECT_EQ(Render(picture), kArrow);
    unpadded.pop_back();
    EXPECT_EQ(Read(unpadded, 5, &picture), PictureProblem::kPixelDataTooShort);
}

TEST(BitmapFileImport, ColoursUsedLimitTheTableAndStrayIndexesReadBlack) {
    // 8 bits, a table of 2 colours declared with biClrUsed, pixels 0, 1 and 200.
    std::vector<uint8_t> file = MakeBmp({"..."}, {8, false});
    std::vector<uint8_t> small(file.begin(), file.begin() + 54 + 8);
    small.insert(small.end(), file.end() - 4, file.end());
    PutU32(small, 2, static_cast<uint32_t>(small.size()));
    PutU32(small, 10, 62);
    PutU32(small, 46, 2);
    const size_t pixels = 62;
    small[pixels] = 0;
    small[pixels + 1] = 1;
    small[pixels + 2] = 200;
    ImportPicture picture;
    ASSERT_EQ(Read(small, 8, &picture), PictureProblem::kNone);
    EXPECT_EQ(Render(picture)[0], "#.#");
}

TEST(BitmapFileImport, HeadersAloneAreCheckedAgainstTheFileSize) {
    const std::vector<uint8_t> file = MakeBmp(kArrow);
    BitmapLayout layout;
    ASSERT_EQ(CheckBitmapFile(file.data(), 54, file.size(), &layout), PictureProblem::kNone);
    EXPECT_EQ(layout.pixelOffset, 62u);
    EXPECT_EQ(layout.HeadBytes(), 62u);
    EXPECT_EQ(layout.stride, 4u);
    EXPECT_EQ(layout.pixelBytes, 17u) << "four padded rows and the last one's single byte";
    EXPECT_EQ(CheckBitmapFile(file.data(), 54, 78, &layout), PictureProblem::kPixelDataTooShort);
    EXPECT_EQ(CheckBitmapFile(file.data(), 53, file.size(), &layout), PictureProblem::kFileTooShort);
}

TEST(ClipboardInfoHeader, ChecksSizeAndDimensions) {
    const std::vector<uint8_t> file = MakeBmp(kArrow, {24, true});
    std::vector<uint8_t> dib(file.begin() + 14, file.end());
    BitmapInfo info;
    ASSERT_EQ(ReadInfoHeader(dib.data(), dib.size(), &info), PictureProblem::kNone);
    EXPECT_EQ(info.width, 5);
    EXPECT_EQ(info.Rows(), 5);
    EXPECT_TRUE(info.TopDown());
    int width = 0;
    EXPECT_EQ(CheckClipboardDib(dib.data(), dib.size(), 5, &width), PictureProblem::kNone);
    EXPECT_EQ(width, 5);
    EXPECT_EQ(CheckClipboardDib(dib.data(), dib.size(), 4, &width), PictureProblem::kTooHigh);
    EXPECT_EQ(ReadInfoHeader(dib.data(), 39, &info), PictureProblem::kFileTooShort);
    PutU32(dib, 0, 124);
    EXPECT_EQ(ReadInfoHeader(dib.data(), 100, &info), PictureProblem::kFileTooShort);
    EXPECT_EQ(ReadInfoHeader(dib.data(), 124, &info), PictureProblem::kNone);
    PutU32(dib, 0, 100);
    EXPECT_EQ(ReadInfoHeader(dib.data(), dib.size(), &info), PictureProblem::kInfoHeaderSize);
    const std::vector<uint8_t> core = AssembleBmp({12, 300, 7, 24, 0, {}, {}, {}, std::vector<uint8_t>(7 * 900)});
    ASSERT_EQ(ReadInfoHeader(core.data() + 14, 12, &info), PictureProblem::kNone);
    EXPECT_EQ(info.width, 300) << "the core header's dimensions are 16 bits";
    EXPECT_EQ(info.Rows(), 7);
    PutU32(dib, 0, 40);
    PutU32(dib, 4, 0);
    EXPECT_EQ(ReadInfoHeader(dib.data(), dib.size(), &info), PictureProblem::kBadDimensions);
}

// --- other headers, colour masks, alpha ---

struct Masks {
    uint32_t red, green, blue, alpha;
};

// Bottom-up rows of bytesPerPixel-byte pixels: '#' opaque black, '.' opaque
// white, 't' transparent black; each channel at the full value of its mask.
std::vector<uint8_t> PackDirect(const std::vector<std::string>& rows, int bytesPerPixel, Masks masks) {
    const size_t stride = (rows[0].size() * bytesPerPixel + 3) / 4 * 4;
    std::vector<uint8_t> out(stride * rows.size(), 0);
    for (size_t y = 0; y < rows.size(); ++y) {
        for (size_t x = 0; x < rows[y].size(); ++x) {
            const char c = rows[y][x];
            const uint32_t value = (c == '.' ? masks.red | masks.green | masks.blue : 0) | (c == 't' ? 0 : masks.alpha);
            for (int b = 0; b < bytesPerPixel; ++b) {
                out[(rows.size() - 1 - y) * stride + x * bytesPerPixel + b] = (value >> (8 * b)) & 0xFF;
            }
        }
    }
    return out;
}

std::vector<uint8_t> MaskBytes(std::vector<uint32_t> masks) {
    std::vector<uint8_t> out(4 * masks.size());
    for (size_t i = 0; i < masks.size(); ++i) PutU32(out, 4 * i, masks[i]);
    return out;
}

const std::vector<std::string> kDots = {"#.t", ".#."};
const std::vector<std::string> kDotsWithAlpha = {"#..", ".#."};  // 't' is background
const std::vector<std::string> kDotsNoAlpha = {"#.#", ".#."};    // 't' is black ink

TEST(BitmapFileImport, EveryHeaderKindReadsItsOwnLayout) {
    const Masks rgb565{0xF800, 0x07E0, 0x001F, 0};
    const Masks argb1555{0x7C00, 0x03E0, 0x001F, 0x8000};
    const Masks odd32{0x0000FF00, 0x00FF0000, 0xFF000000, 0x000000FF};  // alpha in the lowest byte
    const Masks bgra32{0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    const std::vector<uint8_t> mono = {0xBF, 0, 0, 0, 0x7F, 0, 0, 0};  // ".#." then "#..", bottom-up; 1 is white
    struct Case {
        const char* what;
        BmpParts parts;
        std::vector<std::string> expected;
    } cases[] = {
        {"OS/2 core, 3-byte colours", {12, 3, 2, 1, 0, {}, {}, BlackWhiteTable(3), mono}, kDotsWithAlpha},
        {"OS/2 2.x, 16 bytes", {16, 3, 2, 1, 0, {}, {}, BlackWhiteTable(), mono}, kDotsWithAlpha},
        {"OS/2 2.x, 64 bytes", {64, 3, 2, 1, 0, {}, {}, BlackWhiteTable(), mono}, kDotsWithAlpha},
        {"masks after a 40-byte header",
         {40, 3, 2, 16, 3, {}, MaskBytes({0xF800, 0x07E0, 0x001F}), {}, PackDirect(kDots, 2, rgb565)},
         kDotsNoAlpha},
        {"alpha masks after a 40-byte header",
         {40, 3, 2, 32, 6, {}, MaskBytes({odd32.red, odd32.green, odd32.blue, odd32.alpha}), {},
          PackDirect(kDots, 4, odd32)},
         kDotsWithAlpha},
        {"V2 header: masks without alpha",
         {52, 3, 2, 16, 3, {0x7C00, 0x03E0, 0x001F}, {}, {}, PackDirect(kDots, 2, argb1555)},
         kDotsNoAlpha},
        {"V3 header: 16-bit alpha",
         {56, 3, 2, 16, 3, {0x7C00, 0x03E0, 0x001F, 0x8000}, {}, {}, PackDirect(kDots, 2, argb1555)},
         kDotsWithAlpha},
        {"V4 header, 32-bit alpha",
         {108, 3, 2, 32, 3, {odd32.red, odd32.green, odd32.blue, odd32.alpha}, {}, {}, PackDirect(kDots, 4, odd32)},
         kDotsWithAlpha},
        {"V5 header, masks ignored without bitfields",
         {124, 3, 2, 24, 0, {0xFF, 0xFF00, 0xFF0000, 0}, {}, {}, PackDirect(kDots, 3, bgra32)},
         kDotsNoAlpha},
        {"32 bits without masks, fourth bytes all 0: opaque",
         {40, 3, 2, 32, 0, {}, {}, {}, PackDirect(kDots, 4, {0xFF0000, 0xFF00, 0xFF, 0})},
         kDotsNoAlpha},
        {"32 bits without masks, fourth byte used: alpha",
         {40, 3, 2, 32, 0, {}, {}, {}, PackDirect(kDots, 4, bgra32)},
         kDotsWithAlpha},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        ImportPicture picture;
        ASSERT_EQ(Read(AssembleBmp(test.parts), 2, &picture), PictureProblem::kNone);
        EXPECT_EQ(Render(picture), test.expected);
    }
}

TEST(BitmapFileImport, ColourMasksMustBeOneRunOfBits) {
    auto readWithMasks = [](std::vector<uint32_t> masks) {
        ImportPicture picture;
        return Read(AssembleBmp({56, 3, 2, 32, 3, masks, {}, {}, PackDirect(kDots, 4, {})}), 2, &picture);
    };
    EXPECT_EQ(readWithMasks({0xF0F0, 0xFF00, 0xFF, 0}), PictureProblem::kBadColourMasks);
    EXPECT_EQ(readWithMasks({0x80000001, 0xFF00, 0xFF, 0}), PictureProblem::kBadColourMasks);
    EXPECT_EQ(readWithMasks({0, 0, 0, 0xFF}), PictureProblem::kBadColourMasks) << "no colour at all";
    EXPECT_STREQ(DescribePictureProblem(PictureProblem::kBadColourMasks),
                 "The bitmap's colour masks are missing or not contiguous.");
}

// --- run-length encoding ---

// A 6 x 4 picture, index 0 white and 1 black, with the stream given.
std::vector<uint8_t> RunLengthBmp(int bits, const std::vector<uint8_t>& stream, int height = 4) {
    return AssembleBmp({40, 6, height, bits, bits == 8 ? 1u : 2u, {}, {},
                        {0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0}, stream});
}

TEST(BitmapFileImport, RunLengthEscapesDrawWhereTheyPoint) {
    const std::vector<std::string> expected = {
        "######",  // a run over the row's padding, cut at the width
        "..##..",  // after a delta
        "......",  // skipped by the delta
        "###.#.",  // a run and an absolute stretch
    };
    const std::vector<uint8_t> rle8 = {
        3, 1, 0, 3, 0, 1, 0, 0,  // bottom row: run of 3 black, absolute 3 (padded to 4 bytes)
        0, 0,                    // end of line
        0, 2, 2, 1,              // delta: 2 right, 1 up
        2, 1, 0, 0,              // run of 2, end of line
        8, 1, 0, 0,              // 8 black into a row of 6 padded to 8
        0, 1,                    // end of bitmap
    };
    const std::vector<uint8_t> rle4 = {
        3, 0x11, 0, 3, 0x01, 0x00,  // run of 3 black, absolute nibbles 0 1 0 (2 bytes, already even)
        0, 0,
        0, 2, 2, 1,
        2, 0x11, 0, 0,
        8, 0x11, 0, 0,
        0, 1,
    };
    for (const auto& [bits, stream] : {std::pair{8, rle8}, std::pair{4, rle4}}) {
        SCOPED_TRACE(bits);
        ImportPicture picture;
        ASSERT_EQ(Read(RunLengthBmp(bits, stream), 4, &picture), PictureProblem::kNone);
        EXPECT_EQ(Render(picture), expected);
    }
    // Alternating nibbles, and a stream that ends with its rows, without end of bitmap.
    ImportPicture picture;
    ASSERT_EQ(Read(RunLengthBmp(4, {5, 0x10, 0, 0}, 1), 1, &picture), PictureProblem::kNone);
    EXPECT_EQ(Render(picture)[0], "#.#.#.");
}

TEST(BitmapFileImport, RunLengthStreamsLeavingThePictureOrCutShortAreRefused) {
    struct Case {
        const char* what;
        int bits;
        std::vector<uint8_t> stream;
        PictureProblem expected;
    } cases[] = {
        {"run past the row's padding", 8, {9, 1}, PictureProblem::kRunOutsidePicture},
        {"nibble run past the row's padding", 4, {9, 0x11}, PictureProblem::kRunOutsidePicture},
        {"absolute stretch past the row", 8, {4, 1, 0, 5, 1, 1, 1, 1, 1, 0}, PictureProblem::kRunOutsidePicture},
        {"run above the top row", 8, {0, 0, 0, 0, 0, 0, 0, 0, 1, 1}, PictureProblem::kRunOutsidePicture},
        {"delta above the top row", 8, {0, 2, 0, 4}, PictureProblem::kRunOutsidePicture},
        {"delta past the right edge", 8, {4, 1, 0, 2, 5, 0}, PictureProblem::kRunOutsidePicture},
        {"stream cut in a row", 8, {2, 1}, PictureProblem::kPixelDataTooShort},
        {"absolute stretch cut", 8, {0, 5, 1, 1}, PictureProblem::kPixelDataTooShort},
        {"delta cut", 8, {0, 2, 1}, PictureProblem::kPixelDataTooShort},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        ImportPicture picture;
        picture.columns = 7;
        EXPECT_EQ(Read(RunLengthBmp(test.bits, test.stream), 4, &picture), test.expected);
        EXPECT_EQ(picture.columns, 7) << "a refused file leaves the buffer alone";
    }
}

}  // namespace
