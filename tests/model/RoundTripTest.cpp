// Property: an image the writer produces reads back as the document it wrote,
// apart from what the format defines (blank symbols take the width of the
// first blank one, fillers come back as fonts, higher fonts carry limit 8).
#include <algorithm>
#include <random>

#include <gtest/gtest.h>

#include "ModelTestSupport.h"

namespace {

class RandomDocuments {
public:
    explicit RandomDocuments(unsigned seed) : random_(seed) {}

    void Make(FontImage& image) {
        MakeDocument(image, Pick(1, 15));
        for (int i = 0; i < image.GetFontCount(); ++i) MakeFont(image, i);
    }

private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    void MakeFont(FontImage& image, int index) {
        std::string name;
        for (int n = Pick(0, 10); n > 0; --n) name += static_cast<char>(Pick(0x20, 0xFE));
        image.SetFontName(index, name.c_str());
        image.SetFontHeight(index, Pick(1, 4));
        image.SetInterval(index, Pick(0, 15));
        image.SetHeightLimit(index, Pick(1, 8));
        Font& font = image.FontAt(index);
        // Sizes range from nearly empty fonts to fonts that fill most of a bank.
        const int inkPercent = Pick(0, 100);
        const int maxWidth = std::min(Pick(1, 40), Symbol::kDataSize / font.GetHeight());
        for (int code = 0; code < Font::kSymbolCount; ++code) {
            Symbol& symbol = font.At(code);
            symbol.width = Pick(1, maxWidth);
            const bool ink = Pick(1, 100) <= inkPercent;
            for (int b = 0; b < symbol.ByteCount(); ++b)
                symbol.data[b] = ink ? static_cast<uint8_t>(Pick(0, 255)) : Symbol::kBlank;
        }
    }

    std::mt19937 random_;
};

int FirstSharedBlankWidth(const Font& font) {
    for (int code = 0; code < Font::kSymbolCount; ++code) {
        if (code != 32 && font.At(code).IsEmpty()) return font.At(code).width;
    }
    return 0;
}

void ExpectSameFont(const Font& written, const Font& read) {
    EXPECT_EQ(0, std::memcmp(written.name, read.name, Font::kNameLength));
    EXPECT_EQ(written.checksum, read.checksum);
    EXPECT_EQ(written.GetHeight(), read.GetHeight());
    EXPECT_EQ(written.GetInterval(), read.GetInterval());
    EXPECT_EQ(written.GetHeight() == 1 ? written.GetHeightLimit() : 8, read.GetHeightLimit());
    const int blankWidth = FirstSharedBlankWidth(written);
    for (int code = 0; code < Font::kSymbolCount; ++code) {
        const Symbol& before = written.At(code);
        const Symbol& after = read.At(code);
        ASSERT_EQ(after.height, written.GetHeight());
        ASSERT_EQ(after.heightLimit, read.GetHeightLimit());
        if (before.IsEmpty() && code != 32) {
            ASSERT_EQ(after.width, blankWidth) << code;
            ASSERT_TRUE(after.IsEmpty()) << code;
        } else {
            ASSERT_EQ(after.width, before.width) << code;
            ASSERT_EQ(0, std::memcmp(before.data.get(), after.data.get(), before.ByteCount())) << code;
        }
        if (written.GetHeight() == 1) {
            const uint8_t aboveLimit = static_cast<uint8_t>(~((1u << written.GetHeightLimit()) - 1));
            for (int b = 0; b < before.width; ++b) ASSERT_EQ(before.data[b] & aboveLimit, aboveLimit);
        }
    }
}

void ExpectFiller(const FontImage& image, int index) {
    EXPECT_EQ(Name(image, index), "Empty   ");
    const Font& font = image.FontAt(index);
    EXPECT_EQ(font.GetHeight(), 1);
    EXPECT_EQ(font.GetInterval(), 1);
    EXPECT_EQ(font.GetHeightLimit(), 8);
    for (int code = 0; code < Font::kSymbolCount; ++code) {
        ASSERT_EQ(font.At(code).width, 1);
        ASSERT_TRUE(font.At(code).IsEmpty());
    }
}

TEST(RoundTrip, RandomDocumentsReadBackAsWritten) {
    RandomDocuments documents(20240611);
    int singleBank = 0, twoBank = 0, withFillers = 0, refused = 0;
    for (int run = 0; run < 150; ++run) {
        SCOPED_TRACE(run);
        FontImage written;
        documents.Make(written);
        std::vector<uint8_t> bytes;
        const int result = written.Serialize(bytes);
        if (result != SaveResult::kSaved) {
            ASSERT_TRUE(result == SaveResult::kFontsDoNotFit || result == SaveResult::kTooManySlots) << result;
            ASSERT_TRUE(bytes.empty());
            ++refused;
            continue;
        }
        ASSERT_EQ(bytes.size(), 0x10000u);
        FontImage read;
        ASSERT_EQ(read.Deserialize(bytes.data(), bytes.size()), LoadResult::kLoaded);

        const int fonts = written.GetFontCount();
        const int fillers = read.GetFontCount() - fonts;
        const int bank0Fonts = fillers > 0 ? 8 - fillers : std::min(fonts, 8);
        (fonts > 8 || fillers > 0 ? twoBank : singleBank)++;
        if (fillers > 0) ++withFillers;
        for (int i = 0; i < read.GetFontCount(); ++i) {
            if (i >= bank0Fonts && i < bank0Fonts + fillers) {
                ExpectFiller(read, i);
            } else {
                ExpectSameFont(written.FontAt(i < bank0Fonts ? i : i - fillers), read.FontAt(i));
            }
        }
        // Without fillers the image read back is written again unchanged.
        if (fillers == 0) {
            std::vector<uint8_t> again;
            ASSERT_EQ(read.Serialize(again), SaveResult::kSaved);
            ASSERT_EQ(again, bytes);
        }
        if (HasFatalFailure()) return;
    }
    // The generator must exercise every layout and the refusals.
    EXPECT_GT(singleBank, 20);
    EXPECT_GT(twoBank, 20);
    EXPECT_GT(withFillers, 5);
    EXPECT_GT(refused, 5);
}

}  // namespace
