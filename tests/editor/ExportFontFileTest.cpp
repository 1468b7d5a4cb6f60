// Font > "Export font file...": the file type chosen in the save dialog (or
// the extension typed) gives the format; each file is glyphmill export's and
// reads back into the same symbols, a BDF with its widths and interval too;
// a file that cannot be replaced is reported, not lost.
#include <windows.h>

#include <memory>
#include <string>

#include "Charsets.h"
#include "EditorTestSupport.h"
#include "FontExport.h"
#include "FontImport.h"
#include "FontImage.h"

namespace {

// Font 0 of a new image imported from the file at path.
FontImportResult ReadBack(const std::string& path, FontImage& image) {
    FontImportResult result;
    const std::unique_ptr<FontReader> file = OpenFontFile(path, result);
    if (!file) return result;
    image.InitNew();
    FontImportRequest request;
    request.font = 0;
    return ImportFontFile(*file, request, image);
}

// Row 0 is the symbol's top row; past its width a symbol has no ink.
bool InkAt(const Symbol& symbol, int column, int row) {
    return column < symbol.width && symbol.IsInk(column, 8 * symbol.height - 1 - row);
}

class ExportFontFileTest : public EditorWindowTest {
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

TEST_F(ExportFontFileTest, TheFileTypeGivesTheFormatAndTheFileReadsBackTheSame) {
    ASSERT_TRUE(MenuEnabled(kCommandExportFontFile));
    Charset charset;
    std::string error;
    ASSERT_TRUE(LoadCharset("cp1252", charset, error));
    const Font& exported = Document()->FontAt(1);
    const struct {
        DWORD fileType;
        const char* typed;
        const char* written;
        ExportFormat format;  // whose bytes glyphmill export writes
    } cases[] = {
        {1, "font.bdf", "font.bdf", ExportFormat::kBdf},
        {2, "font", "font.psf", ExportFormat::kPsf},
        {3, "font.hex", "font.hex", ExportFormat::kHex},
        {1, "typed.psf", "typed.psf", ExportFormat::kPsf},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        Script().fileNames = {PathInTestDir(c.typed)};
        Script().fileType = c.fileType;
        Menu(kCommandExportFontFile);
        ASSERT_TRUE(Script().messageBoxes.empty()) << Script().messageBoxes[0].text;
        EXPECT_EQ(Script().fileDialogs.back().title, "Export font file");
        const std::string path = PathInTestDir(c.written);
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(ExportFont(c.format, exported, charset, BdfStyle{}, bytes, error)) << error;
        ASSERT_TRUE(ReadFileBytes(path) == std::string(bytes.begin(), bytes.end()));

        FontImage readBack;
        const FontImportResult result = ReadBack(path, readBack);
        ASSERT_TRUE(result) << result.error;
        const Font& imported = readBack.FontAt(0);
        EXPECT_EQ(imported.GetHeight(), 2);
        const bool bdf = c.format == ExportFormat::kBdf;  // which carries the widths and the interval
        EXPECT_EQ(result.summary.ownExport, bdf);
        for (int code = 0; code < Font::kSymbolCount; ++code) {
            const Symbol& want = exported.At(code);
            const Symbol& got = imported.At(code);
            if (result.summary.ownExport) ASSERT_EQ(got.width, want.width) << "code " << code;
            for (int x = 0; x < std::max(want.width, got.width); ++x) {
                for (int y = 0; y < 16; ++y) ASSERT_EQ(InkAt(got, x, y), InkAt(want, x, y)) << code << " " << x << "," << y;
            }
        }
        if (result.summary.ownExport) EXPECT_EQ(imported.GetInterval(), 2);
    }
}

TEST_F(ExportFontFileTest, AReadOnlyFileIsReportedAndKept) {
    const std::string path = PathInTestDir("kept.bdf");
    {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        std::fputs("mine", file);
        std::fclose(file);
    }
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    Script().fileNames = {path};
    Menu(kCommandExportFontFile);
    ASSERT_EQ(Script().messageBoxes.size(), 1u);
    EXPECT_EQ(Script().messageBoxes[0].text, path + " is read-only: it was left as it was.");
    EXPECT_EQ(ReadFileBytes(path), "mine");
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
