#include "SymbolWorkCopy.h"

#include <gtest/gtest.h>

#include <cstring>

#include "Symbol.h"

namespace {

void Fill(Symbol& symbol, int width, int height, int heightLimit, std::initializer_list<uint8_t> bytes) {
    symbol.Clear();
    symbol.width = width;
    symbol.height = height;
    symbol.heightLimit = heightLimit;
    int i = 0;
    for (uint8_t b : bytes) symbol.data[i++] = b;
}

SymbolWorkCopy Loaded(int width, int height, int heightLimit, std::initializer_list<uint8_t> bytes) {
    Symbol symbol;
    Fill(symbol, width, height, heightLimit, bytes);
    SymbolWorkCopy work;
    work.Load(symbol);
    return work;
}

TEST(SymbolWorkCopy, FreshSymbolIsOneBlankColumnOfEightRows) {
    Symbol symbol;
    SymbolWorkCopy work;
    work.Load(symbol);
    EXPECT_EQ(work.ColumnCount(), 1);
    EXPECT_EQ(work.HeightBytes(), 1);
    EXPECT_EQ(work.RowCount(), 8);
    for (int r = 0; r < 8; ++r) EXPECT_EQ(work.Cell(0, r), 0);
    EXPECT_EQ(work.ByteString(), "ff ");
}

TEST(SymbolWorkCopy, BytesAndCellsFollowTheSymbolLayout) {
    // Two columns, two bytes high: column 0 has its lowest row inked, column 1
    // its highest (bit 7 of its second byte).
    SymbolWorkCopy work = Loaded(2, 2, 8, {0xFE, 0xFF, 0xFF, 0x7F});
    EXPECT_EQ(work.RowCount(), 16);
    EXPECT_EQ(work.Cell(0, 0), 1);
    EXPECT_EQ(work.Cell(1, 15), 1);
    EXPECT_EQ(work.Cell(0, 15) + work.Cell(1, 0), 0);
    EXPECT_EQ(work.ByteString(), "fe ff ff 7f ");
    work.SetCell(1, 8, 1);
    EXPECT_EQ(work.WorkBytes()[3], 0x7E);
    work.SetCell(0, 0, 0);
    EXPECT_EQ(work.ByteString(), "ff ff ff 7e ");
    EXPECT_EQ(Loaded(2, 1, 8, {0xFF, 0xFE}).ByteString(), "ff fe ");
}

TEST(SymbolWorkCopy, RowsAboveTheHeightLimitPassThroughUntouched) {
    // Limit 5: bits 5-7 are not shown; bit 7 holds ink, bit 6 background.
    SymbolWorkCopy work = Loaded(1, 1, 5, {0x7F});
    EXPECT_EQ(work.RowCount(), 5);
    work.SetCell(0, 5, 1);  // not a shown row: ignored
    work.SetCell(0, 0, 1);
    EXPECT_EQ(work.WorkBytes()[0], 0x7E);
    ASSERT_TRUE(work.Shift(ShiftDirection::kUp));
    EXPECT_EQ(work.WorkBytes()[0], 0x7D);
    work.SetCell(0, 4, 1);
    EXPECT_FALSE(work.Shift(ShiftDirection::kUp)) << "row 4 is the top shown row";
    EXPECT_EQ(work.WorkBytes()[0], 0x6D);
}

TEST(SymbolWorkCopy, ShiftsMoveAllColumnsAndRefuseToPushInkOut) {
    // Three columns; ink at column 1 row 3 only.
    SymbolWorkCopy work = Loaded(3, 1, 8, {0xFF, 0xF7, 0xFF});
    ASSERT_TRUE(work.Shift(ShiftDirection::kLeft));
    EXPECT_EQ(work.ByteString(), "f7 ff ff ");
    EXPECT_FALSE(work.Shift(ShiftDirection::kLeft));
    EXPECT_EQ(work.ByteString(), "f7 ff ff ");
    ASSERT_TRUE(work.Shift(ShiftDirection::kRight));
    ASSERT_TRUE(work.Shift(ShiftDirection::kRight));
    EXPECT_EQ(work.ByteString(), "ff ff f7 ");
    EXPECT_FALSE(work.Shift(ShiftDirection::kRight));
    ASSERT_TRUE(work.Shift(ShiftDirection::kDown));
    EXPECT_EQ(work.ByteString(), "ff ff fb ");
    for (int i = 0; i < 2; ++i) ASSERT_TRUE(work.Shift(ShiftDirection::kDown));
    EXPECT_EQ(work.ByteString(), "ff ff fe ");
    EXPECT_FALSE(work.Shift(ShiftDirection::kDown));
    for (int i = 0; i < 7; ++i) ASSERT_TRUE(work.Shift(ShiftDirection::kUp));
    EXPECT_EQ(work.ByteString(), "ff ff 7f ");
    EXPECT_FALSE(work.Shift(ShiftDirection::kUp));
}

TEST(SymbolWorkCopy, ShiftsCrossByteBoundariesInTallSymbols) {
    SymbolWorkCopy work = Loaded(1, 2, 8, {0x7F, 0xFF});
    ASSERT_TRUE(work.Shift(ShiftDirection::kUp));
    EXPECT_EQ(work.ByteString(), "ff fe ");
    ASSERT_TRUE(work.Shift(ShiftDirection::kDown));
    EXPECT_EQ(work.ByteString(), "7f ff ");
}

TEST(SymbolWorkCopy, WidthChangesDropAtTheRightAndAddBlankColumns) {
    SymbolWorkCopy work = Loaded(2, 1, 8, {0x00, 0x00});
    EXPECT_FALSE(work.SetColumnCount(0) && work.ColumnCount() != 1);
    EXPECT_EQ(work.ColumnCount(), 1);
    EXPECT_TRUE(work.SetColumnCount(3));
    EXPECT_EQ(work.ByteString(), "00 ff ff ") << "the dropped column comes back blank";
    work.SetColumnCount(1);
    work.SetColumnCount(1);
    EXPECT_EQ(work.ByteString(), "00 ");
}

TEST(SymbolWorkCopy, WidthStopsAtWhatTheSymbolCanHold) {
    SymbolWorkCopy tall = Loaded(127, 4, 8, {});
    EXPECT_EQ(tall.MaxColumns(), 128);
    EXPECT_TRUE(tall.SetColumnCount(128));
    EXPECT_FALSE(tall.SetColumnCount(129));
    EXPECT_EQ(tall.ColumnCount(), 128);
    SymbolWorkCopy low = Loaded(255, 1, 8, {});
    EXPECT_EQ(low.MaxColumns(), 255);
    EXPECT_FALSE(low.SetColumnCount(256));
    EXPECT_EQ(low.ColumnCount(), 255);
    EXPECT_EQ(low.ByteString().size(), 3u * 255);
}

TEST(SymbolWorkCopy, ZeroWidthSymbolBecomesOneBlankColumn) {
    Symbol symbol;
    Fill(symbol, 0, 2, 8, {0x00, 0x00});
    SymbolWorkCopy work;
    work.Load(symbol);
    EXPECT_EQ(work.ColumnCount(), 1);
    EXPECT_EQ(work.ByteString(), "ff ff ");
    work.SetCell(0, 0, 1);
    work.CommitTo(symbol);
    EXPECT_EQ(symbol.width, 1);
    EXPECT_EQ(symbol.data[0], 0xFE);
}

TEST(SymbolWorkCopy, CommitWritesBytesWidthAndHeightOnly) {
    Symbol symbol;
    Fill(symbol, 3, 1, 6, {0x01, 0x02, 0x03, 0x04});
    SymbolWorkCopy work;
    work.Load(symbol);
    work.SetColumnCount(2);
    work.SetCell(1, 0, 0);
    work.CommitTo(symbol);
    EXPECT_EQ(symbol.width, 2);
    EXPECT_EQ(symbol.height, 1);
    EXPECT_EQ(symbol.heightLimit, 6);
    EXPECT_EQ(symbol.data[0], 0x01);
    EXPECT_EQ(symbol.data[1], 0x03);
    EXPECT_EQ(symbol.data[2], 0x03) << "bytes beyond the width stay";
}

TEST(SymbolWorkCopy, ImportTakesThePictureWidthAndFillsFromTheTop) {
    // 2 bytes high, 4 columns of ink; a 2 x 3 picture of ink on row 15 and 13.
    SymbolWorkCopy work = Loaded(4, 2, 8, {0, 0, 0, 0, 0, 0, 0, 0});
    ImportPicture picture;
    picture.columns = 2;
    picture.rows = 16;
    picture.cells.assign(32, 1);
    picture.cells[15] = 0;       // column 0, top row
    picture.cells[16 + 13] = 0;  // column 1, third row from the top
    work.ApplyImport(picture);
    EXPECT_EQ(work.ColumnCount(), 2);
    EXPECT_EQ(work.ByteString(), "ff 7f ff df ");
    picture.columns = 5;
    picture.cells.assign(80, 1);
    work.ApplyImport(picture);
    EXPECT_EQ(work.ByteString(), "ff ff ff ff ff ff ff ff ff ff ");
}

TEST(SymbolWorkCopy, ImportKeepsBitsAboveTheHeightLimit) {
    SymbolWorkCopy work = Loaded(1, 1, 5, {0x1F});  // rows 5-7 inked, hidden
    ImportPicture picture;
    picture.columns = 2;
    picture.rows = 5;
    picture.cells.assign(10, 0);
    work.ApplyImport(picture);
    EXPECT_EQ(work.ByteString(), "00 e0 ");
}

}  // namespace
