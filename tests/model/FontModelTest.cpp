// The document in memory: fonts, names, the font list, height changes and
// the symbol clipboard.
#include <gtest/gtest.h>

#include "FontImageView.h"
#include "ModelTestSupport.h"

namespace {

TEST(NewDocument, HoldsOneResetFont) {
    FontImage image;
    ASSERT_EQ(image.InitNew(), 1);
    ASSERT_EQ(image.GetFontCount(), 1);
    char name[9];
    EXPECT_EQ(image.GetFontName(0, name), 0x17);
    EXPECT_STREQ(name, "Unnamed ");
    EXPECT_EQ(image.GetFontHeight(0), 1);
    EXPECT_EQ(image.GetInterval(0), 1);
    EXPECT_EQ(image.GetHeightLimit(0), 8);
    for (int code = 0; code < 256; ++code) {
        const Symbol& symbol = image.FontAt(0).At(code);
        EXPECT_EQ(symbol.width, 1);
        EXPECT_EQ(symbol.height, 1);
        EXPECT_TRUE(symbol.IsEmpty());
    }
}

TEST(FontNames, AreCutOrPaddedToEightBytesWithAChecksumToFF) {
    FontImage image;
    MakeDocument(image, 1);
    for (const char* text : {"Helvetica1", "Ab", ""}) {
        const uint8_t checksum = image.SetFontName(0, text);
        const std::string name = Name(image, 0);
        ASSERT_EQ(name.size(), 8u);
        EXPECT_EQ(name, (std::string(text) + "        ").substr(0, 8));
        unsigned sum = checksum;
        for (char c : name) sum += static_cast<uint8_t>(c);
        EXPECT_EQ(sum & 0xFF, 0xFFu) << text;
    }
}

TEST(FontNames, NegativeIndexNamesTheFiller) {
    FontImage image;
    char name[9];
    EXPECT_EQ(image.GetFontName(-1, name), 0x90);
    EXPECT_STREQ(name, "Empty   ");
}

TEST(FontList, AddingStopsAtFifteen) {
    FontImage image;
    MakeDocument(image, 15);
    EXPECT_EQ(image.GetFontCount(), 15);
    EXPECT_EQ(image.AddFont(), 0);
    EXPECT_EQ(image.GetFontCount(), 15);
}

TEST(FontList, TheOnlyFontIsNeverRemoved) {
    FontImage image;
    MakeDocument(image, 1);
    image.RemoveFont(0);
    EXPECT_EQ(image.GetFontCount(), 1);
}

TEST(FontList, RemovingShiftsLaterFontsUpAndAddAppendsAResetFont) {
    FontImage image;
    MakeDocument(image, 4);
    for (int i = 0; i < 4; ++i) image.SetFontName(i, std::string(1, static_cast<char>('A' + i)).c_str());
    image.SetFontHeight(1, 3);  // the font to be removed leaves its data in the pool
    DrawSymbol(image.FontAt(1), 'A', 5, 0x00);
    image.RemoveFont(1);
    ASSERT_EQ(image.GetFontCount(), 3);
    EXPECT_EQ(Name(image, 0), "A       ");
    EXPECT_EQ(Name(image, 1), "C       ");
    EXPECT_EQ(Name(image, 2), "D       ");

    ASSERT_EQ(image.AddFont(), 1);
    ASSERT_EQ(image.GetFontCount(), 4);
    EXPECT_EQ(Name(image, 3), "Unnamed ");
    EXPECT_EQ(image.GetFontHeight(3), 1);
    Symbol& reused = image.FontAt(3).At('A');
    reused.width = 5;  // as the symbol editor widens it
    EXPECT_TRUE(reused.IsEmpty());
    EXPECT_EQ(Name(image, 1), "C       ");
    EXPECT_EQ(Name(image, 2), "D       ");
}

std::string Names(const FontImage& image) {
    std::string names;
    for (int i = 0; i < image.GetFontCount(); ++i) names += Name(image, i).substr(0, 1);
    return names;
}

TEST(FontList, InsertingTakesAFreePoolFontUpToSixteenAndMovingRotatesTheList) {
    FontImage image;
    MakeDocument(image, 4);
    for (int i = 0; i < 4; ++i) image.SetFontName(i, std::string(1, static_cast<char>('A' + i)).c_str());
    image.RemoveFont(1);  // pool font 1 is free again
    Font* inserted = InsertFont(image, 1);
    ASSERT_NE(inserted, nullptr);
    EXPECT_EQ(inserted, &image.pool[1]);
    EXPECT_EQ(Name(image, 1), "Unnamed ");
    image.SetFontName(1, "X");
    EXPECT_EQ(Names(image), "AXCD");
    EXPECT_EQ(InsertFont(image, 5), nullptr) << "past the end of the list";
    while (image.GetFontCount() < FontImage::kMaxFonts) ASSERT_NE(InsertFont(image, image.GetFontCount()), nullptr);
    EXPECT_EQ(InsertFont(image, 0), nullptr) << "a list of 16 is full";
    EXPECT_EQ(image.used[15], 1);

    FontImage small;
    MakeDocument(small, 4);
    for (int i = 0; i < 4; ++i) small.SetFontName(i, std::string(1, static_cast<char>('A' + i)).c_str());
    EXPECT_TRUE(MoveFont(small, 0, 2));
    EXPECT_EQ(Names(small), "BCAD");
    EXPECT_TRUE(MoveFont(small, 3, 0));
    EXPECT_EQ(Names(small), "DBCA");
    EXPECT_FALSE(MoveFont(small, 1, 4));
    EXPECT_EQ(Names(small), "DBCA");
}

TEST(HeightChange, RaisingAddsBlankBytesOnTopAndLoweringKeepsTheBottom) {
    FontImage image;
    MakeDocument(image, 1);
    DrawSymbol(image.FontAt(0), 'A', 2, 0x00);
    image.FontAt(0).At('A').data[1] = 0x5A;

    EXPECT_EQ(image.SetFontHeight(0, 3), EditResult::kDone);
    const Symbol& raised = image.FontAt(0).At('A');
    EXPECT_EQ(raised.height, 3);
    EXPECT_EQ(raised.width, 2);
    const uint8_t expectedRaised[] = {0x00, 0xFF, 0xFF, 0x5A, 0xFF, 0xFF};
    EXPECT_EQ(0, std::memcmp(raised.data.get(), expectedRaised, sizeof expectedRaised));

    image.FontAt(0).At('A').data[1] = 0x11;  // ink in column 0's middle byte is dropped
    EXPECT_EQ(image.SetFontHeight(0, 1), EditResult::kDone);
    const Symbol& lowered = image.FontAt(0).At('A');
    EXPECT_EQ(lowered.height, 1);
    EXPECT_EQ(lowered.data[0], 0x00);
    EXPECT_EQ(lowered.data[1], 0x5A);
    EXPECT_EQ(image.GetFontHeight(0), 1);
}

TEST(HeightChange, IsClampedToOneToFourBytes) {
    FontImage image;
    MakeDocument(image, 1);
    image.SetFontHeight(0, 9);
    EXPECT_EQ(image.GetFontHeight(0), 4);
    image.SetFontHeight(0, 0);
    EXPECT_EQ(image.GetFontHeight(0), 1);
}

TEST(HeightChange, ARaiseAWideSymbolCannotTakeChangesNothing) {
    FontImage image;
    MakeDocument(image, 1);
    DrawSymbol(image.FontAt(0), 'W', 200, 0x00);
    EXPECT_EQ(image.SetFontHeight(0, 3), EditResult::kTooWide);
    EXPECT_EQ(image.GetFontHeight(0), 1);
    EXPECT_EQ(image.FontAt(0).At('W').height, 1);
    EXPECT_EQ(image.FontAt(0).At('A').height, 1);
    EXPECT_EQ(image.SetFontHeight(0, 2), EditResult::kDone);
}

TEST(SymbolClipboard, PasteTakesTheTargetFontsHeightAndLimit) {
    FontImage image;
    MakeDocument(image, 2);
    image.SetHeightLimit(0, 6);
    DrawSymbol(image.FontAt(0), 'A', 3, 0x0F);
    image.SetFontHeight(1, 2);
    ASSERT_EQ(image.CopySymbol(0, 'A'), 1);
    ASSERT_EQ(image.PasteSymbol(1, 'B'), EditResult::kDone);
    const Symbol& pasted = image.FontAt(1).At('B');
    EXPECT_EQ(pasted.width, 3);
    EXPECT_EQ(pasted.height, 2);
    EXPECT_EQ(pasted.heightLimit, 8);
    const uint8_t expected[] = {0x0F, 0xFF, 0x0F, 0xFF, 0x0F, 0xFF};
    EXPECT_EQ(0, std::memcmp(pasted.data.get(), expected, sizeof expected));
}

TEST(SymbolClipboard, PasteOfASymbolTooWideForTheTargetChangesNothing) {
    FontImage image;
    MakeDocument(image, 2);
    DrawSymbol(image.FontAt(0), 'A', 300, 0x00);
    image.SetFontHeight(1, 2);
    image.CopySymbol(0, 'A');
    EXPECT_EQ(image.PasteSymbol(1, 'B'), EditResult::kTooWide);
    EXPECT_EQ(image.FontAt(1).At('B').width, 1);
    EXPECT_TRUE(image.FontAt(1).At('B').IsEmpty());
}

bool answer = false;
bool Answer() { return answer; }

TEST(ClearSymbol, AsksWhenToldToAndOnlyClearsOnYes) {
    FontImage image;
    MakeDocument(image, 1);
    image.SetHeightLimit(0, 5);
    DrawSymbol(image.FontAt(0), 'A', 4, 0x00);
    SetConfirmDelete(Answer);

    answer = false;
    EXPECT_EQ(image.ClearSymbol(0, 'A', 1), EditResult::kDeclined);
    EXPECT_EQ(image.FontAt(0).At('A').width, 4);

    answer = true;
    EXPECT_EQ(image.ClearSymbol(0, 'A', 1), EditResult::kDone);
    const Symbol& cleared = image.FontAt(0).At('A');
    EXPECT_EQ(cleared.width, 1);
    EXPECT_EQ(cleared.heightLimit, 5);
    EXPECT_TRUE(cleared.IsEmpty());

    answer = false;
    DrawSymbol(image.FontAt(0), 'B', 2, 0x00);
    EXPECT_EQ(image.ClearSymbol(0, 'B', 0), EditResult::kDone);
    EXPECT_TRUE(image.FontAt(0).At('B').IsEmpty());
    SetConfirmDelete(nullptr);
}

TEST(PackColumns, PutsRowZeroInBitZeroAndInkAsZero) {
    FontImage image;
    const std::vector<std::vector<int>> columns = {
        {1, 0, 0, 0, 0, 0, 0, 0, 0, 1}, {0, 0, 0, 0, 0, 0, 0, 1, 0, 0}};
    uint8_t out[4] = {};
    EXPECT_EQ(image.PackColumns(columns, 2, 2, out), 0);
    const uint8_t expected[] = {0xFE, 0xFD, 0x7F, 0xFF};
    EXPECT_EQ(0, std::memcmp(out, expected, sizeof expected));
}

TEST(DocumentView, ClampsCodesAndResolvesTheCurrentSymbol) {
    FontImageView view;
    ASSERT_EQ(view.InitNew(), 1);
    EXPECT_EQ(view.SetCurrentSymbol(300), 255);
    EXPECT_EQ(view.SetCurrentSymbol(-4), 0);
    view.SetCurrentSymbol('Q');
    EXPECT_EQ(view.GetSymbol(-1), &view.FontAt(0).At('Q'));
    EXPECT_EQ(view.GetSymbol(999), &view.FontAt(0).At(255));
    EXPECT_EQ(view.SetCurrentFont(20), 15);
    EXPECT_EQ(view.SetCursorSymbol(-1), 0);
}

}  // namespace
