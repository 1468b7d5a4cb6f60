// Font menu "Import font file..." with the seam answering the open dialog and
// the options dialog: the document gets the bytes that glyphmill import makes
// of the same image with the same options (make-import-oracles.sh) from every
// kind of font file, the options dialog asking a raw dump's glyph size and a
// sheet's cell; one Undo takes them back, a file that cannot be imported
// leaves the document as it was, and OK waits while the preview refuses the
// options.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "EditorTestSupport.h"
#include "GlyverIds.h"

namespace {

// The Wine path of the folder make-import-oracles.sh filled.
const std::string kOracles = GLYVER_IMPORT_ORACLES;
const std::string kDejaVu = "Z:/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
const std::string kFixed6x13 = "Z:/usr/share/fonts/X11/misc/6x13.pcf.gz";
const std::string kTerminusPsf = "Z:/usr/share/consolefonts/Lat15-Terminus16.psf.gz";

struct ImportCase {
    const char* oracle;  // the image glyphmill made, in kOracles
    std::string fontFile;
    const char* charset;
    const char* size;    // as typed: "" is automatic
    const char* height;  // the item of the height list
    bool monospace;
    bool asNewFont;
    const char* summaryHeight;  // what the preview's summary says of the height
    // Typed into the raw dump's glyph size or the sheet's cell ("" leaves it
    // as shown); null for a file that needs neither, whose row is hidden.
    const char* layout = nullptr;
    const char* offset = nullptr;  // typed into the raw dump's offset
};

const ImportCase kCases[] = {
    {"truetype-into", kDejaVu, "cp1252", "12", "2", false, false, "12 px, 2 bytes high"},
    {"truetype-new", kDejaVu, "cp437", "", "4", true, true, "4 bytes high"},
    {"bdf-new", kOracles + "/9x15.bdf", "iso8859-1", "", "Automatic", false, true, "15 px, 2 bytes high"},
    {"pcf-into", kFixed6x13, "cp1252", "", "1", false, false, "13 px, 1 byte high"},
    {"psf-new", kTerminusPsf, "cp437", "", "Automatic", false, true, "16 px, 2 bytes high"},
    {"hex-into", kOracles + "/latin1.hex", "iso8859-1", "", "2", false, false, "16 px, 2 bytes high"},
    {"raw-new", kOracles + "/terminus.f16", "cp437", "", "Automatic", false, true, "16 px, 2 bytes high", ""},
    {"raw-typed", kOracles + "/terminus14.rom", "cp1252", "", "Automatic", false, true, "14 px, 2 bytes high",
     "8x14", "3"},
    {"sheet-into", kOracles + "/sheet.png", "cp1252", "", "Automatic", true, false, "16 px, 2 bytes high", ""},
};

void PrintTo(const ImportCase& c, std::ostream* out) { *out << c.oracle; }

void Choose(HWND dialog, int comboId, const char* item) {
    const HWND combo = GetDlgItem(dialog, comboId);
    const LRESULT at = SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(item));
    ASSERT_NE(at, CB_ERR) << item;
    SendMessageA(combo, CB_SETCURSEL, at, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

void Press(HWND dialog, int buttonId) { SendDlgItemMessageA(dialog, buttonId, BM_CLICK, 0, 0); }

std::string ItemText(HWND dialog, int id) {
    char text[512] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

// Sets the options as a user does, keeps the summary the preview then shows
// and presses OK.
std::function<void(HWND)> AnswerWith(const ImportCase& c, std::string* summary) {
    return [c, summary](HWND dialog) {
        const LONG style = GetWindowLongA(GetDlgItem(dialog, IDC_IMPORT_LAYOUT), GWL_STYLE);
        EXPECT_EQ((style & WS_VISIBLE) != 0, c.layout != nullptr);
        if (c.layout && *c.layout) SetDlgItemTextA(dialog, IDC_IMPORT_LAYOUT, c.layout);
        if (c.offset) SetDlgItemTextA(dialog, IDC_IMPORT_OFFSET, c.offset);
        Choose(dialog, IDC_IMPORT_CHARSET, c.charset);
        SetDlgItemTextA(dialog, IDC_IMPORT_SIZE, c.size);
        Choose(dialog, IDC_IMPORT_HEIGHT, c.height);
        if (c.monospace) Press(dialog, IDC_IMPORT_MONOSPACE);
        if (c.asNewFont) Press(dialog, IDC_IMPORT_AS_NEW);
        *summary = ItemText(dialog, IDC_IMPORT_SUMMARY);
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    };
}

std::string DocumentBytes() {
    std::vector<uint8_t> bytes;
    Document()->Serialize(bytes);
    return std::string(bytes.begin(), bytes.end());
}

class ImportFontFileTest : public EditorWindowTest {
protected:
    void SetUp() override {
        EditorWindowTest::SetUp();
        StartEditorHere();
        ASSERT_EQ(OpenDocumentAt(kOracles + "/base.bin"), 1);
        base_ = DocumentBytes();
    }

    std::string base_;
};

class ImportFontFileCases : public ImportFontFileTest, public ::testing::WithParamInterface<ImportCase> {};

TEST_P(ImportFontFileCases, GiveGlyphmillsBytesAndOneUndoTakesThemBack) {
    const ImportCase& c = GetParam();
    Script().fileNames = {c.fontFile};
    std::string summary;
    Script().answerDialog = AnswerWith(c, &summary);
    Menu(kCommandImportFontFile);

    ASSERT_EQ(Script().fileDialogs.size(), 1u);
    EXPECT_EQ(Script().fileDialogs[0].filter,
              "Font files (TrueType, OpenType, WOFF, BDF, PCF, .fon, PSF, .hex, raw dumps, PNG and BMP sheets)|"
              "*.ttf;*.otf;*.ttc;*.woff;*.woff2;*.bdf;*.pcf;*.pcf.gz;*.fon;*.fnt;*.psf;*.psfu;*.psf.gz;*.hex;"
              "*.hex.gz;*.f08;*.f14;*.f16;*.rom;*.png;*.bmp|All files (*.*)|*.*|");
    EXPECT_EQ(Script().dialogs, std::vector<int>{IDD_IMPORT_FONT_FILE});
    EXPECT_NE(summary.find(c.summaryHeight), std::string::npos) << summary;
    EXPECT_TRUE(Script().messageBoxes.empty());
    EXPECT_TRUE(DocumentBytes() == ReadFileBytes(kOracles + "/" + c.oracle + ".bin"));
    EXPECT_EQ(Document()->GetCurrentFont(), c.asNewFont ? 2 : 0);
    EXPECT_TRUE(HasUnsavedChanges());

    Menu(kCommandUndo);
    EXPECT_TRUE(DocumentBytes() == base_);
    EXPECT_FALSE(HasUnsavedChanges());
    EXPECT_FALSE(MenuEnabled(kCommandUndo));
}

INSTANTIATE_TEST_SUITE_P(Fonts, ImportFontFileCases, ::testing::ValuesIn(kCases),
                         [](const auto& info) {
                             std::string name = info.param.oracle;
                             for (char& c : name) c = c == '-' ? '_' : c;
                             return name;
                         });

TEST_F(ImportFontFileTest, AFileThatCannotBeReadIsRefusedAndTheDocumentKept) {
    // A TrueType file cut off after its first 2 KiB, and a console font cut
    // off inside its glyphs.
    const std::string broken = PathInTestDir("broken.ttf");
    const std::string head = ReadFileBytes(kDejaVu).substr(0, 2048);
    std::FILE* file = std::fopen(broken.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(head.data(), 1, head.size(), file);
    std::fclose(file);
    const std::pair<std::string, std::string> cases[] = {
        {broken, "broken.ttf: not a font file (TrueType, OpenType, BDF, PCF, PSF or .hex)"},
        {kOracles + "/cut.psf", "cut.psf: the header gives 256 glyphs of 16 bytes"},
    };
    for (const auto& [path, why] : cases) {
        Script() = ScriptedUi{};
        Script().fileNames = {path};
        Menu(kCommandImportFontFile);
        EXPECT_TRUE(Script().dialogs.empty());
        ASSERT_EQ(Script().messageBoxes.size(), 1u);
        EXPECT_NE(Script().messageBoxes[0].text.find(why), std::string::npos) << Script().messageBoxes[0].text;
        EXPECT_EQ(Script().messageBoxes[0].caption, "Error");
        EXPECT_TRUE(DocumentBytes() == base_);
        EXPECT_FALSE(MenuEnabled(kCommandUndo));
    }
}

TEST_F(ImportFontFileTest, OkWaitsWhileThePreviewRefusesTheChoices) {
    Script().fileNames = {kFixed6x13};
    bool okWhileRefused = true, okOnceTaken = false;
    std::string summaryWhileRefused;
    Script().answerDialog = [&](HWND dialog) {
        SetDlgItemTextA(dialog, IDC_IMPORT_SIZE, "99");  // the font has 13 only
        okWhileRefused = IsWindowEnabled(GetDlgItem(dialog, IDOK));
        summaryWhileRefused = ItemText(dialog, IDC_IMPORT_SUMMARY);
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);  // as Enter would: nothing happens
        EXPECT_TRUE(DocumentBytes() == base_);
        SetDlgItemTextA(dialog, IDC_IMPORT_SIZE, "");
        okOnceTaken = IsWindowEnabled(GetDlgItem(dialog, IDOK));
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    };
    Menu(kCommandImportFontFile);
    EXPECT_FALSE(okWhileRefused);
    EXPECT_EQ(summaryWhileRefused, "");
    EXPECT_TRUE(okOnceTaken);
    EXPECT_TRUE(Script().messageBoxes.empty());
    EXPECT_FALSE(DocumentBytes() == base_);
    EXPECT_TRUE(MenuEnabled(kCommandUndo));
}

TEST_F(ImportFontFileTest, ADroppedFontFileOfEveryKindGoesStraightToTheOptions) {
    const std::pair<std::string, std::string> cases[] = {
        {kFixed6x13, "Fixed (6x13.pcf.gz)"},
        {kTerminusPsf, "Lat15-Terminus16 (Lat15-Terminus16.psf.gz)"},
        {kOracles + "/latin1.hex", "latin1 (latin1.hex)"},
        {kOracles + "/terminus.f16", "terminus (terminus.f16)"},
        {kOracles + "/sheet.png", "sheet (sheet.png)"},
    };
    for (const auto& [path, shown] : cases) {
        Script() = ScriptedUi{};
        std::string fileName;
        Script().answerDialog = [&fileName](HWND dialog) {
            fileName = ItemText(dialog, IDC_IMPORT_FILE_NAME);
            SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        };
        Drop({PathInTestDir("notes.txt"), path});
        EXPECT_TRUE(Script().fileDialogs.empty());
        EXPECT_EQ(Script().dialogs, std::vector<int>{IDD_IMPORT_FONT_FILE});
        EXPECT_EQ(fileName, shown);
        EXPECT_TRUE(DocumentBytes() == base_);
        EXPECT_FALSE(MenuEnabled(kCommandUndo));
    }
}

}  // namespace
