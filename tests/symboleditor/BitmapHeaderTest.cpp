#include "BitmapHeader.h"

#include <gtest/gtest.h>

#include "BmpWriter.h"

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

BitmapProblem Read(const std::vector<uint8_t>& file, int rowCount, ImportPicture* picture) {
    return ReadBitmapFile(file.data(), file.size(), rowCount, picture);
}

TEST(BitmapFileImport, BlackIsInkAndWhiteBackgroundInEveryDepthBothOrientations) {
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        for (bool topDown : {false, true}) {
            SCOPED_TRACE(testing::Message() << bits << " bits, top-down " << topDown);
            ImportPicture picture;
            ASSERT_EQ(Read(MakeBmp(kArrow, {bits, topDown}), 5, &picture), BitmapProblem::kNone);
            EXPECT_EQ(picture.columns, 5);
            EXPECT_EQ(Render(picture), kArrow);
        }
    }
}

TEST(BitmapFileImport, PictureLowerThanTheGridSitsOnTheTopRows) {
    ImportPicture picture;
    ASSERT_EQ(Read(MakeBmp(kArrow, {24, false}), 16, &picture), BitmapProblem::kNone);
    ASSERT_EQ(picture.rows, 16);
    std::vector<std::string> expected = kArrow;
    expected.resize(16, ".....");
    EXPECT_EQ(Render(picture), expected);
}

TEST(BitmapFileImport, LimitsAreInclusiveAndHeightIsTestedFirst) {
    ImportPicture picture;
    EXPECT_EQ(Read(MakeBmp(BlankPicture(128, 16)), 16, &picture), BitmapProblem::kNone);
    EXPECT_EQ(picture.columns, 128);
    EXPECT_EQ(Read(MakeBmp(BlankPicture(129, 16)), 16, &picture), BitmapProblem::kTooWide);
    EXPECT_EQ(Read(MakeBmp(BlankPicture(10, 17)), 16, &picture), BitmapProblem::kTooHigh);
    EXPECT_EQ(Read(MakeBmp(BlankPicture(129, 17)), 16, &picture), BitmapProblem::kTooHigh);
    EXPECT_EQ(Read(MakeBmp(BlankPicture(3, 6), {1, true}), 5, &picture), BitmapProblem::kTooHigh);
    EXPECT_STREQ(DescribeBitmapProblem(BitmapProblem::kTooHigh), "Bitmap height is larger than grid height");
    EXPECT_STREQ(DescribeBitmapProblem(BitmapProblem::kTooWide), "Bitmap width is larger than 128 pixels");
}

struct Damage {
    const char* what;
    size_t at;        // byte to overwrite with a 32-bit value, or SIZE_MAX
    int32_t value;
    size_t truncateTo;  // 0: keep the length
    BitmapProblem expected;
};

TEST(BitmapFileImport, DamagedHeadersAreRefusedWithTheirReason) {
    // A 1-bit 5 x 5 bitmap: offset 62, stride 4, size 82.
    const std::vector<uint8_t> good = MakeBmp(kArrow);
    ASSERT_EQ(good.size(), 82u);
    const Damage damages[] = {
        {"shorter than the headers", SIZE_MAX, 0, 53, BitmapProblem::kFileTooShort},
        {"no signature", 0, 0x4141, 0, BitmapProblem::kNotABitmap},
        {"core header", 14, 12, 0, BitmapProblem::kInfoHeaderSize},
        {"v5 header", 14, 124, 0, BitmapProblem::kInfoHeaderSize},
        {"offset inside headers", 10, 20, 0, BitmapProblem::kOffsetOutOfRange},
        {"offset past the end", 10, 82, 0, BitmapProblem::kOffsetOutOfRange},
        {"offset huge", 10, -1, 0, BitmapProblem::kOffsetOutOfRange},
        {"size equal to offset", 2, 62, 0, BitmapProblem::kSizeNotAboveOffset},
        {"size zero", 2, 0, 0, BitmapProblem::kSizeNotAboveOffset},
        {"size beyond the file", 2, 83, 0, BitmapProblem::kFileShorterThanSize},
        {"file cut in the pixels", SIZE_MAX, 0, 70, BitmapProblem::kFileShorterThanSize},
        {"width zero", 18, 0, 0, BitmapProblem::kBadDimensions},
        {"width negative", 18, -5, 0, BitmapProblem::kBadDimensions},
        {"height zero", 22, 0, 0, BitmapProblem::kBadDimensions},
        {"height most negative", 22, INT32_MIN, 0, BitmapProblem::kBadDimensions},
        {"two planes", 26, 0x00010002, 0, BitmapProblem::kUnsupportedFormat},
        {"run-length compressed", 30, 1, 0, BitmapProblem::kUnsupportedFormat},
        {"2 bits per pixel", 26, 0x00020001, 0, BitmapProblem::kUnsupportedDepth},
        {"8 bits with 2 colours", 26, 0x00080001, 0, BitmapProblem::kColorTableTooShort},
        {"taller than its pixels", 22, 6, 0, BitmapProblem::kPixelDataTooShort},
        {"wider than its pixels", 18, 33, 0, BitmapProblem::kPixelDataTooShort},
        {"huge width", 18, 0x7FFFFFFF, 0, BitmapProblem::kPixelDataTooShort},
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
        EXPECT_STRNE(DescribeBitmapProblem(damage.expected), "");
    }
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
    ASSERT_EQ(Read(small, 8, &picture), BitmapProblem::kNone);
    EXPECT_EQ(Render(picture)[0], "#.#");
}

TEST(BitmapFileImport, HeadersAloneAreCheckedAgainstTheFileSize) {
    const std::vector<uint8_t> file = MakeBmp(kArrow);
    BitmapLayout layout;
    ASSERT_EQ(CheckBitmapFile(file.data(), 54, file.size(), &layout), BitmapProblem::kNone);
    EXPECT_EQ(layout.pixelOffset, 62u);
    EXPECT_EQ(layout.stride, 4u);
    EXPECT_EQ(layout.BytesNeeded(), 82u);
    EXPECT_EQ(CheckBitmapFile(file.data(), 54, 81, &layout), BitmapProblem::kFileShorterThanSize);
    EXPECT_EQ(CheckBitmapFile(file.data(), 53, file.size(), &layout), BitmapProblem::kFileTooShort);
}

TEST(ClipboardInfoHeader, ChecksSizeAndDimensions) {
    const std::vector<uint8_t> file = MakeBmp(kArrow, {24, true});
    std::vector<uint8_t> dib(file.begin() + 14, file.end());
    BitmapInfo info;
    ASSERT_EQ(ReadInfoHeader(dib.data(), dib.size(), &info), BitmapProblem::kNone);
    EXPECT_EQ(info.width, 5);
    EXPECT_EQ(info.Rows(), 5);
    EXPECT_TRUE(info.TopDown());
    EXPECT_EQ(ReadInfoHeader(dib.data(), 39, &info), BitmapProblem::kFileTooShort);
    PutU32(dib, 0, 124);
    EXPECT_EQ(ReadInfoHeader(dib.data(), 100, &info), BitmapProblem::kInfoHeaderSize);
    EXPECT_EQ(ReadInfoHeader(dib.data(), 124, &info), BitmapProblem::kNone);
    PutU32(dib, 0, 40);
    PutU32(dib, 4, 0);
    EXPECT_EQ(ReadInfoHeader(dib.data(), dib.size(), &info), BitmapProblem::kBadDimensions);
}

}  // namespace
