// The font image file: the exact bytes the writer lays out, and every image
// or document that reading or writing refuses.
#include <gtest/gtest.h>

#include <filesystem>

#include "ModelTestSupport.h"

namespace {

TEST(WrittenImage, NewDocumentGivesTheReferenceBytes) {
    std::vector<uint8_t> expected(0x10000, 0);
    expected[0x00] = 0x01;
    expected[0x01] = 0x01;
    for (int i = 0x02; i <= 0x0F; ++i) expected[i] = 0x04;
    expected[0x10] = 0x01;
    for (int i = 0x20; i <= 0x2F; ++i) expected[i] = 0x08;
    expected[0x30] = 0x07;
    std::memcpy(&expected[0x40], "Unnamed ", 8);
    expected[0x48] = 0x17;
    for (int code = 0; code < 256; ++code) {
        expected[0x100 + 2 * code] = 0x91;
        expected[0x101 + 2 * code] = code == 32 ? 0x02 : 0x00;
    }
    expected[0x1100] = 0x01;
    expected[0x1101] = 0xFF;
    expected[0x1102] = 0x01;
    expected[0x1103] = 0xFF;

    FontImage image;
    MakeDocument(image, 1);
    const std::string path = TempPath("new.bin");
    ASSERT_EQ(image.Save(path), SaveResult::kSaved);
    EXPECT_EQ(ReadFile(path), expected);
    // Nothing but the file itself is left of the write.
    const std::filesystem::path written(path);
    for (const auto& entry : std::filesystem::directory_iterator(written.parent_path()))
        EXPECT_NE(entry.path().filename().string().rfind(written.filename().string() + ".", 0), 0u) << entry.path();
    std::remove(path.c_str());
}

TEST(WrittenImage, OneStringFontsAreClippedInFileAndMemory) {
    FontImage image;
    MakeDocument(image, 1);
    image.SetHeightLimit(0, 7);
    DrawSymbol(image.FontAt(0), 'A', 3, 0x00);
    const std::vector<uint8_t> bytes = SerializeOrFail(image);

    const int record = Entry(bytes, 0x100, 'A') - 0x8000;
    EXPECT_EQ(bytes[0x20], 7);
    EXPECT_EQ(bytes[record], 3);
    for (int b = 0; b < 3; ++b) {
        EXPECT_EQ(bytes[record + 1 + b], 0x80);
        EXPECT_EQ(image.FontAt(0).At('A').data[b], 0x80);
    }
}

TEST(WrittenImage, HigherFontsAreNotClippedAndCarryLimitEight) {
    FontImage image;
    MakeDocument(image, 1);
    image.SetHeightLimit(0, 3);
    image.SetFontHeight(0, 2);
    DrawSymbol(image.FontAt(0), 'A', 1, 0x00);
    const std::vector<uint8_t> bytes = SerializeOrFail(image);
    EXPECT_EQ(bytes[0x20], 8);
    EXPECT_EQ(image.FontAt(0).At('A').data[0], 0x00);
}

TEST(WrittenImage, BlankSymbolsShareTheFirstBlankRecordButTheSpaceKeepsItsOwn) {
    FontImage image;
    MakeDocument(image, 1);
    Font& font = image.FontAt(0);
    InkAllSymbols(font, 2);
    DrawSymbol(font, 65, 3, 0xFF);
    DrawSymbol(font, 66, 5, 0xFF);
    DrawSymbol(font, 32, 4, 0xFF);
    const std::vector<uint8_t> bytes = SerializeOrFail(image);
    EXPECT_EQ(Entry(bytes, 0x100, 65), Entry(bytes, 0x100, 66));

    FontImage loaded;
    ASSERT_EQ(loaded.Deserialize(bytes.data(), bytes.size()), LoadResult::kLoaded);
    EXPECT_EQ(loaded.FontAt(0).At(65).width, 3);
    EXPECT_EQ(loaded.FontAt(0).At(66).width, 3);
    EXPECT_EQ(loaded.FontAt(0).At(32).width, 4);
    EXPECT_EQ(loaded.FontAt(0).At(67).width, 2);
}

TEST(BankLayout, NineSmallFontsPutTheNinthInBankOne) {
    FontImage image;
    MakeDocument(image, 9);
    const std::vector<uint8_t> bytes = SerializeOrFail(image);
    EXPECT_EQ(bytes[0], 9);
    EXPECT_EQ(Entry(bytes, 0x8100, 0), 0x8300);
    EXPECT_EQ(bytes[0x8300], 1);
    EXPECT_EQ(bytes[0x8301], 0xFF);
    // The eighth font's records follow the seventh's in bank 0.
    EXPECT_EQ(Entry(bytes, 0x100 + 7 * 0x200, 0), 0x8000 + 0x1100 + 7 * 4);
}

TEST(BankLayout, FewLargeFontsGetFillersUpToSlotSeven) {
    FontImage image;
    MakeDocument(image, 3);
    for (int i = 0; i < 3; ++i) {
        image.SetFontHeight(i, 4);
        InkAllSymbols(image.FontAt(i), 11);  // about 11,500 bytes each: two fit a bank
    }
    const std::vector<uint8_t> bytes = SerializeOrFail(image);
    ASSERT_EQ(bytes[0], 9);
    for (int slot = 2; slot < 8; ++slot) {
        EXPECT_EQ(bytes[0x01 + slot], 1);
        EXPECT_EQ(bytes[0x10 + slot], 1);
        EXPECT_EQ(bytes[0x20 + slot], 8);
        EXPECT_EQ(0, std::memcmp(&bytes[0x40 + 9 * slot], "Empty   \x90", 9));
        const size_t table = 0x100 + 0x200 * slot;
        const int record = Entry(bytes, table, 0) - 0x8000;
        EXPECT_EQ(bytes[record], 1);
        EXPECT_EQ(bytes[record + 1], 0xFF);
        for (int code = 1; code < 256; ++code) ASSERT_EQ(Entry(bytes, table, code), Entry(bytes, table, 0));
    }
    EXPECT_EQ(bytes[0x30 + 2], 7);  // position codes count the document's fonts only
    EXPECT_EQ(bytes[0x30 + 3], 0);
    EXPECT_EQ(bytes[0x01 + 8], 4);  // the third font, in slot 8
    EXPECT_EQ(Entry(bytes, 0x8100, 0), 0x8300);
}

TEST(BankLayout, SingleBankLeavesBankOneZero) {
    FontImage image;
    MakeDocument(image, 8);
    const std::vector<uint8_t> bytes = SerializeOrFail(image);
    EXPECT_EQ(bytes[0], 8);
    for (size_t i = 0x8000; i < bytes.size(); ++i) ASSERT_EQ(bytes[i], 0) << i;
}

// Fonts 0-6 fill bank 0 so far that font 7 goes to bank 1; with a filler in
// slot 7 the fifteen fonts take all sixteen slots.
void MakeSixteenSlotDocument(FontImage& image) {
    MakeDocument(image, 15);
    for (int i = 0; i < 7; ++i) InkAllSymbols(image.FontAt(i), 14);
    InkAllSymbols(image.FontAt(7), 7);
}

TEST(SixteenSlots, AreWrittenWhenSlotZerosIntervalIsSlotFifteensHeight) {
    FontImage image;
    MakeSixteenSlotDocument(image);
    image.SetFontHeight(14, 2);
    image.SetInterval(0, 2);
    image.SetFontName(14, "Last");
    const std::vector<uint8_t> bytes = SerializeOrFail(image);
    ASSERT_EQ(bytes[0], 16);

    FontImage loaded;
    ASSERT_EQ(loaded.Deserialize(bytes.data(), bytes.size()), LoadResult::kLoaded);
    ASSERT_EQ(loaded.GetFontCount(), 16);
    EXPECT_EQ(Name(loaded, 7), "Empty   ");
    EXPECT_EQ(Name(loaded, 15), "Last    ");
    EXPECT_EQ(loaded.GetFontHeight(15), 2);
    EXPECT_EQ(loaded.GetInterval(0), 2);
}

TEST(SixteenSlots, AreRefusedWhenSlotZerosIntervalDiffers) {
    FontImage image;
    MakeSixteenSlotDocument(image);
    image.SetInterval(0, 3);
    std::vector<uint8_t> bytes;
    EXPECT_EQ(image.Serialize(bytes), SaveResult::kTooManySlots);
    EXPECT_TRUE(bytes.empty());
}

TEST(SaveRefusal, MoreThanEightFontsForBankOne) {
    FontImage image;
    MakeDocument(image, 15);
    InkAllSymbols(image.FontAt(0), 80);  // about 20,000 bytes
    InkAllSymbols(image.FontAt(1), 35);  // about 9,000: no longer fits beside font 0
    std::vector<uint8_t> bytes;
    EXPECT_EQ(image.Serialize(bytes), SaveResult::kTooManySlots);
}

TEST(SaveRefusal, AFontLargerThanABank) {
    FontImage image;
    MakeDocument(image, 1);
    image.SetFontHeight(0, 4);
    InkAllSymbols(image.FontAt(0), 28);
    const std::string path = TempPath("too-large.bin");
    std::remove(path.c_str());
    EXPECT_EQ(image.Save(path), SaveResult::kFontsDoNotFit);
    EXPECT_FALSE(FileExists(path));
}

TEST(SaveRefusal, FontsAfterBankZeroLargerThanABank) {
    FontImage image;
    MakeDocument(image, 3);
    InkAllSymbols(image.FontAt(0), 100);
    InkAllSymbols(image.FontAt(1), 60);
    InkAllSymbols(image.FontAt(2), 60);
    std::vector<uint8_t> bytes;
    EXPECT_EQ(image.Serialize(bytes), SaveResult::kFontsDoNotFit);
}

TEST(SaveRefusal, RecordsLargerThanTheEstimateAreNeverWrittenPastTheBank) {
    // The estimate counts one blank symbol; a wide blank space is a second
    // record it does not count.
    FontImage image;
    MakeDocument(image, 1);
    image.SetFontHeight(0, 4);
    Font& font = image.FontAt(0);
    for (int code = 1; code < 256; ++code) {
        if (code != 32) DrawSymbol(font, code, code <= 60 ? 28 : 27, 0x00);
    }
    DrawSymbol(font, 32, 128, 0xFF);
    ASSERT_LT(font.GetImageSize(), 0x6F00);
    std::vector<uint8_t> bytes;
    EXPECT_EQ(image.Serialize(bytes), SaveResult::kFontsDoNotFit);
}

TEST(SaveRefusal, SymbolWidthsTheWidthByteCannotHold) {
    FontImage image;
    MakeDocument(image, 1);
    DrawSymbol(image.FontAt(0), 'A', 256, 0x00);
    std::vector<uint8_t> bytes;
    EXPECT_EQ(image.Serialize(bytes), SaveResult::kBadSymbolWidth);
    DrawSymbol(image.FontAt(0), 'A', 255, 0x00);
    EXPECT_EQ(image.Serialize(bytes), SaveResult::kSaved);
}

TEST(SaveAndLoad, ASymbolOfNoColumnsKeepsItsEmptyRecord) {
    FontImage image;
    MakeDocument(image, 1);
    image.FontAt(0).At(0).width = 0;  // code 0 is the font's first blank symbol: it gets its own record
    std::vector<uint8_t> bytes;
    ASSERT_EQ(image.Serialize(bytes), SaveResult::kSaved);
    FontImage loaded;
    ASSERT_EQ(loaded.Deserialize(bytes.data(), bytes.size()), LoadResult::kLoaded);
    EXPECT_EQ(loaded.FontAt(0).At(0).width, 0);
}

TEST(SaveRefusal, SettingsTheHeaderCannotCarryBack) {
    FontImage image;
    MakeDocument(image, 1);
    std::vector<uint8_t> bytes;
    image.SetInterval(0, 16);
    EXPECT_EQ(image.Serialize(bytes), SaveResult::kBadFontSetting);
    image.SetInterval(0, 15);
    image.SetHeightLimit(0, 0);
    EXPECT_EQ(image.Serialize(bytes), SaveResult::kBadFontSetting);
}

TEST(SaveRefusal, AnEmptyDocument) {
    FontImage image;
    std::vector<uint8_t> bytes;
    EXPECT_EQ(image.Serialize(bytes), SaveResult::kNoFonts);
}

TEST(SaveRefusal, KeepsThePreviousFile) {
    const std::string path = TempPath("previous.bin");
    FontImage image;
    MakeDocument(image, 1);
    ASSERT_EQ(image.Save(path), SaveResult::kSaved);
    const std::vector<uint8_t> before = ReadFile(path);
    DrawSymbol(image.FontAt(0), 'A', 300, 0x00);
    EXPECT_EQ(image.Save(path), SaveResult::kBadSymbolWidth);
    EXPECT_EQ(ReadFile(path), before);
    std::remove(path.c_str());
}

TEST(SaveRefusal, AFileThatCannotBeCreated) {
    FontImage image;
    MakeDocument(image, 1);
    EXPECT_EQ(image.Save(TempPath("no-such-folder/x.bin")), SaveResult::kWriteFailed);
}

TEST(ReadImage, AWrongNameChecksumGivesUnnamed) {
    FontImage image;
    MakeDocument(image, 2);
    image.SetFontName(1, "Serif");
    std::vector<uint8_t> bytes = SerializeOrFail(image);
    bytes[0x40 + 9 + 8] ^= 1;
    FontImage loaded;
    ASSERT_EQ(loaded.Deserialize(bytes.data(), bytes.size()), LoadResult::kLoaded);
    char name[9];
    EXPECT_EQ(loaded.GetFontName(1, name), 0x17);
    EXPECT_STREQ(name, "Unnamed ");
}

TEST(ReadImage, ReadsTheFileWithRecordOffsets) {
    FontImage image;
    MakeDocument(image, 1);
    DrawSymbol(image.FontAt(0), 'A', 2, 0x33);
    const std::string path = TempPath("offsets.bin");
    ASSERT_EQ(image.Save(path), SaveResult::kSaved);
    FontImage loaded;
    ASSERT_EQ(loaded.Load(path), LoadResult::kLoaded);
    EXPECT_EQ(loaded.FontAt(0).GetOffset(0), 0x1100);
    EXPECT_EQ(loaded.FontAt(0).GetOffset('A'), 0x1104);
    EXPECT_EQ(loaded.FontAt(0).At('A').width, 2);
    EXPECT_EQ(loaded.FontAt(0).At('A').data[1], 0x33);
    EXPECT_EQ(loaded.AddFont(), 1);  // the unused pool fonts are free
    std::remove(path.c_str());
}

// A loaded document and a crafted image it refuses; the document must stay.
class LoadRefusal : public ::testing::Test {
protected:
    void SetUp() override {
        MakeDocument(document_, 2);
        document_.SetFontName(1, "Kept");
        FontImage source;
        MakeDocument(source, 9);
        source.SetFontHeight(8, 4);
        DrawSymbol(source.FontAt(8), 'A', 3, 0x00);
        valid_ = SerializeOrFail(source);
    }

    int Refusal(const std::vector<uint8_t>& bytes) {
        const int result = document_.Deserialize(bytes.data(), bytes.size());
        EXPECT_EQ(document_.GetFontCount(), 2);
        EXPECT_EQ(Name(document_, 1), "Kept    ");
        return result;
    }

    std::vector<uint8_t> With(size_t offset, uint8_t value) const {
        std::vector<uint8_t> bytes = valid_;
        bytes[offset] = value;
        return bytes;
    }

    std::vector<uint8_t> WithEntry(size_t table, int code, int value) const {
        std::vector<uint8_t> bytes = valid_;
        bytes[table + 2 * code] = static_cast<uint8_t>(value >> 8);
        bytes[table + 2 * code + 1] = static_cast<uint8_t>(value);
        return bytes;
    }

    FontImage document_;
    std::vector<uint8_t> valid_;
};

TEST_F(LoadRefusal, TheCraftedBaseImageLoads) {
    FontImage loaded;
    EXPECT_EQ(loaded.Deserialize(valid_.data(), valid_.size()), LoadResult::kLoaded);
}

TEST_F(LoadRefusal, AFileThatCannotBeOpened) {
    EXPECT_EQ(document_.Load(TempPath("does-not-exist.bin")), LoadResult::kNotOpened);
    EXPECT_EQ(document_.GetFontCount(), 2);
}

TEST_F(LoadRefusal, NoFonts) {
    EXPECT_EQ(Refusal(With(0, 0)), LoadResult::kNoFonts);
    EXPECT_EQ(Refusal({}), LoadResult::kNoFonts);
}

TEST_F(LoadRefusal, HeaderValuesOutOfRange) {
    EXPECT_EQ(Refusal(With(0, 17)), LoadResult::kBadHeader);
    EXPECT_EQ(Refusal(With(0x01 + 3, 0)), LoadResult::kBadHeader);
    EXPECT_EQ(Refusal(With(0x01 + 8, 5)), LoadResult::kBadHeader);
    EXPECT_EQ(Refusal(With(0x10 + 2, 16)), LoadResult::kBadHeader);
    EXPECT_EQ(Refusal(With(0x20 + 4, 0)), LoadResult::kBadHeader);
    EXPECT_EQ(Refusal(With(0x20 + 4, 9)), LoadResult::kBadHeader);
}

TEST_F(LoadRefusal, SixteenSlotsTakeSlotFifteensHeightFromOffset0x10) {
    std::vector<uint8_t> bytes = With(0, 16);
    bytes[0x10] = 5;
    EXPECT_EQ(Refusal(bytes), LoadResult::kBadHeader);
}

TEST_F(LoadRefusal, TableEntriesOutsideTheBanksDataArea) {
    EXPECT_EQ(Refusal(WithEntry(0x100, 5, 0x10FF + 0x8000)), LoadResult::kBadOffset);  // bank 0 tables
    EXPECT_EQ(Refusal(WithEntry(0x100, 5, 0x1200)), LoadResult::kBadOffset);           // not a bank 0 address
    EXPECT_EQ(Refusal(WithEntry(0x8100, 5, 0x2000)), LoadResult::kBadOffset);          // bank 0 seen from bank 1
    EXPECT_EQ(Refusal(WithEntry(0x8100, 5, 0x82FF)), LoadResult::kBadOffset);          // bank 1 tables
}

TEST_F(LoadRefusal, RecordsThatBreakTheSymbolModel) {
    const int record = Entry(valid_, 0x8100, 'A');
    EXPECT_EQ(Refusal(With(record, 129)), LoadResult::kBadRecord);  // 129 x 4 bytes
    std::vector<uint8_t> bytes = WithEntry(0x100, 5, 0xFFFF);
    bytes[0x7FFF] = 1;  // its one data byte would be bank 1's first
    EXPECT_EQ(Refusal(bytes), LoadResult::kBadRecord);
    bytes = WithEntry(0x8100, 5, 0xFFF8);
    bytes[0xFFF8] = 2;  // 1 + 2 x 4 bytes from 0xFFF8 run past the image
    EXPECT_EQ(Refusal(bytes), LoadResult::kBadRecord);
}

TEST(ReadImage, CheckSaysWhy) {
    std::vector<uint8_t> bytes(0x10000, 0);
    bytes[0] = 1;
    bytes[1] = 7;
    std::string why;
    EXPECT_EQ(CheckFontImage(bytes.data(), bytes.size(), &why), LoadResult::kBadHeader);
    EXPECT_EQ(why, "font 0: height 7 bytes, not 1-4");
}

}  // namespace
