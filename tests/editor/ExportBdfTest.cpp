// Font > "Export BDF...": the file written is read back by FreeType into the
// same font, and a file that cannot be replaced is reported, not lost.
#include <windows.h>

#include <memory>
#include <string>

#include "EditorTestSupport.h"
#include "FontImport.h"
#include "FontImage.h"

namespace {

class ExportBdfTest : public EditorWindowTest {
protected:
    void SetUp() override {
        EditorWindowTest::SetUp();
        StartEditorHere();
        Script().fileNames = {WriteImage("export.bin", {1, 2})};
        Menu(kCommandOpen);
        ASSERT_NE(Document(), nullptr);
        PickFont(1);
        Font& font = Document()->FontAt(1);
        // Symbols of several widths and a gap, ink down to the bottom row.
        for (int code : {int{'0'}, int{'H'}, int{'g'}, 0xE9}) {
            Symbol& symbol = font.At(code);
            symbol.width = 2 + code % 5;
            for (int i = 0; i < symbol.ByteCount(); ++i) symbol.data[i] = static_cast<uint8_t>(code * (i + 3));
        }
        Document()->SetInterval(1, 2);
    }
};

TEST_F(ExportBdfTest, WritesTheCurrentFontSoThatItReadsBackTheSame) {
    ASSERT_TRUE(MenuEnabled(kCommandExportBdf));
    const std::string path = PathInTestDir("font.bdf");
    Script().fileNames = {path};
    Menu(kCommandExportBdf);
    ASSERT_TRUE(Script().messageBoxes.empty()) << Script().messageBoxes[0].text;
    EXPECT_EQ(Script().fileDialogs.back().title, "Export BDF");

    FontImportResult result;
    const std::unique_ptr<FontReader> bdf = OpenFontFile(path, result);
    ASSERT_TRUE(bdf) << result.error;
    FontImage readBack;
    readBack.InitNew();
    FontImportRequest request;
    request.font = 0;
    result = ImportFontFile(*bdf, request, readBack);
    ASSERT_TRUE(result) << result.error;
    EXPECT_TRUE(result.summary.ownExport);
    const Font& exported = Document()->FontAt(1);
    const Font& imported = readBack.FontAt(0);
    EXPECT_EQ(imported.GetHeight(), 2);
    EXPECT_EQ(imported.GetInterval(), 2);
    for (int code = 0; code < Font::kSymbolCount; ++code) {
        const Symbol& want = exported.At(code);
        const Symbol& got = imported.At(code);
        ASSERT_EQ(got.width, want.width) << "code " << code;
        EXPECT_EQ(std::string(got.data.get(), got.data.get() + got.ByteCount()),
                  std::string(want.data.get(), want.data.get() + want.ByteCount()))
            << "code " << code;
    }
}

TEST_F(ExportBdfTest, AReadOnlyFileIsReportedAndKept) {
    const std::string path = PathInTestDir("kept.bdf");
    {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        std::fputs("mine", file);
        std::fclose(file);
    }
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    Script().fileNames = {path};
    Menu(kCommandExportBdf);
    ASSERT_EQ(Script().messageBoxes.size(), 1u);
    EXPECT_EQ(Script().messageBoxes[0].text, path + " is read-only: it was left as it was.");
    EXPECT_EQ(ReadFileBytes(path), "mine");
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
