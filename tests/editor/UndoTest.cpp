// Undo and Redo of the Edit menu, driven as a user drives the editor: every
// kind of change undone and redone, the modified state following them, a
// fresh history for each New and Open; and files opened from the command
// line and by dropping them on the window.
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "BmpWriter.h"
#include "EditorTestSupport.h"
#include "SymbolEditor.h"
#include "SymbolEditorTestAccess.h"

namespace {

class UndoTest : public EditorWindowTest {
public:
    // For the table of changes.
    using EditorWindowTest::AddFontButton;
    using EditorWindowTest::Click;
    using EditorWindowTest::DeleteFontButton;
    using EditorWindowTest::HeightField;
    using EditorWindowTest::HeightLimitField;
    using EditorWindowTest::IntervalField;
    using EditorWindowTest::Menu;
    using EditorWindowTest::NameField;
    using EditorWindowTest::SetHeightButton;
    using EditorWindowTest::SetHeightLimitButton;
    using EditorWindowTest::SetIntervalButton;
    using EditorWindowTest::SetNameButton;

    void SetUp() override {
        EditorWindowTest::SetUp();
        StartEditorHere();
        path_ = WriteImage("undo.bin", {1, 2});
        Script().fileNames = {path_};
        Menu(kCommandOpen);
        ASSERT_NE(Document(), nullptr);
    }

    // Clicks the cell of a symbol in the table: left opens the symbol editor.
    void ClickSymbol(int code, UINT message = WM_RBUTTONDOWN) const {
        ClickTable(25 * (code % 16) + 12, 25 * (code / 16) + 12, message);
    }

    void SymbolEditorKey(WORD command) const {
        SendMessageA(SymbolEditorWindow(), WM_COMMAND, MAKEWPARAM(command, 1), 0);
        PumpMessages();
    }

    // An ink cell in the bottom row of the open symbol editor, then OK.
    void DrawAndConfirm(int column) const {
        const HWND grid = InspectSymbolEditor().grid;
        const int rows = InspectSymbolEditor().work->RowCount();
        SendMessageA(grid, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10 * column + 5, 10 * rows - 5));
        SendMessageA(grid, WM_LBUTTONUP, 0, MAKELPARAM(10 * column + 5, 10 * rows - 5));
        SendMessageA(InspectSymbolEditor().okButton, BM_CLICK, 0, 0);
        PumpMessages();
    }

    void ImportBitmapAndConfirm() const {
        const std::vector<uint8_t> file = MakeBmp({"#.#.#", ".#.#."});
        const std::string name = PathInTestDir("glyph.bmp");
        std::FILE* out = std::fopen(name.c_str(), "wb");
        ASSERT_NE(out, nullptr);
        std::fwrite(file.data(), 1, file.size(), out);
        std::fclose(out);
        Script().fileNames = {name};
        SymbolEditorKey(2100);  // Ctrl+O
        SendMessageA(InspectSymbolEditor().okButton, BM_CLICK, 0, 0);
        PumpMessages();
    }

    void SetField(HWND field, const char* text, HWND button) const {
        Type(field, text);
        Click(button);
    }

    std::string path_;
};

struct UserChange {
    const char* name;
    std::function<void(UndoTest&)> make;
};

void PrintTo(const UserChange& change, std::ostream* out) { *out << change.name; }

class UndoOfEachChange : public UndoTest, public testing::WithParamInterface<UserChange> {};

const UserChange kChanges[] = {
    {"SymbolEditedAndConfirmed",
     [](UndoTest& t) {
         t.ClickSymbol('B', WM_LBUTTONDOWN);
         t.DrawAndConfirm(0);
     }},
    {"BitmapImportedAndConfirmed",
     [](UndoTest& t) {
         t.ClickSymbol('B', WM_LBUTTONDOWN);
         t.ImportBitmapAndConfirm();
     }},
    {"CutAndPaste",
     [](UndoTest& t) {
         t.ClickSymbol('A');
         t.Menu(kCommandCutSymbol);
         t.ClickSymbol('Q');
         t.Menu(kCommandPasteSymbol);
     }},
    {"DeleteSymbol",
     [](UndoTest& t) {
         t.ClickSymbol('A');
         t.Menu(kCommandDeleteSymbol);
     }},
    {"AddFont", [](UndoTest& t) { t.Click(t.AddFontButton()); }},
    {"DeleteFont", [](UndoTest& t) { t.Click(t.DeleteFontButton()); }},
    {"SetName", [](UndoTest& t) { t.SetField(t.NameField(), "Renamed", t.SetNameButton()); }},
    {"SetHeight", [](UndoTest& t) { t.SetField(t.HeightField(), "3", t.SetHeightButton()); }},
    {"SetInterval", [](UndoTest& t) { t.SetField(t.IntervalField(), "7", t.SetIntervalButton()); }},
    {"SetHeightLimit", [](UndoTest& t) { t.SetField(t.HeightLimitField(), "5", t.SetHeightLimitButton()); }},
    {"ImportWindowsFont",
     [](UndoTest& t) {
         Script().chooseFontAnswer = true;
         Script().chosenFont.lfHeight = 8;
         Script().chosenFont.lfCharSet = ANSI_CHARSET;
         lstrcpyA(Script().chosenFont.lfFaceName, "DejaVu Sans Mono");
         t.Menu(kCommandImportFont);
     }},
};

TEST_P(UndoOfEachChange, UndoReturnsToTheSavedStateAndRedoComesBack) {
    EXPECT_FALSE(MenuEnabled(kCommandUndo));
    EXPECT_FALSE(MenuEnabled(kCommandRedo));
    GetParam().make(*this);
    ASSERT_TRUE(HasUnsavedChanges()) << "the change was made";
    const std::vector<std::string> changedList = FontListItems();
    EXPECT_TRUE(MenuEnabled(kCommandUndo));

    Menu(kCommandUndo);
    EXPECT_FALSE(HasUnsavedChanges()) << "back to the file's content";
    EXPECT_FALSE(MenuEnabled(kCommandUndo));
    EXPECT_TRUE(MenuEnabled(kCommandRedo));
    Menu(kCommandRedo);
    EXPECT_TRUE(HasUnsavedChanges());
    EXPECT_EQ(FontListItems(), changedList);
    EXPECT_TRUE(MenuEnabled(kCommandUndo));
    EXPECT_FALSE(MenuEnabled(kCommandRedo));
}

INSTANTIATE_TEST_SUITE_P(Changes, UndoOfEachChange, testing::ValuesIn(kChanges),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(UndoTest, MenuItemsFollowTheEditItemsAndKeysReachTheDocument) {
    HMENU edit = GetSubMenu(GetMenu(main_), 1);
    ASSERT_EQ(GetMenuItemCount(edit), 8);
    char text[64];
    GetMenuStringA(edit, 3, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "") << "the separator stays in its place";
    GetMenuStringA(edit, 4, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&Delete Symbol");
    GetMenuStringA(edit, 6, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&Undo\tCtrl+Z");
    GetMenuStringA(edit, 7, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&Redo\tCtrl+Y");
    HMENU font = GetSubMenu(GetMenu(main_), 3);
    GetMenuStringA(font, 1, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&Preview...");

    // With the symbol editor hidden Ctrl+Z and Ctrl+Y undo the document.
    EXPECT_EQ(UndoKeysTarget(), main_);
    SetField(IntervalField(), "9", SetIntervalButton());
    SendMessageA(main_, WM_COMMAND, MAKEWPARAM(kCommandUndo, 1), 0);
    EXPECT_EQ(Document()->GetInterval(0), 1);
    SendMessageA(main_, WM_COMMAND, MAKEWPARAM(kCommandRedo, 1), 0);
    EXPECT_EQ(Document()->GetInterval(0), 9);
}

TEST_F(UndoTest, StepsUndoInTurnAndSavesKeepTheHistory) {
    SetField(NameField(), "First", SetNameButton());
    Click(AddFontButton());
    SetField(NameField(), "Second", SetNameButton());
    Menu(kCommandSave);
    EXPECT_FALSE(HasUnsavedChanges());
    ASSERT_TRUE(MenuEnabled(kCommandUndo)) << "the re-read after a save keeps the history";

    Menu(kCommandUndo);
    EXPECT_TRUE(HasUnsavedChanges()) << "the saved state was left";
    EXPECT_EQ(Document()->GetCurrentFont(), 2) << "undo shows the font it changed";
    Menu(kCommandUndo);
    EXPECT_EQ(Document()->GetFontCount(), 2);
    Menu(kCommandUndo);
    EXPECT_EQ(FontListItems()[0], "Font #0   \"Font0   \"    (H = 1)");
    EXPECT_FALSE(MenuEnabled(kCommandUndo));
    Menu(kCommandRedo);
    Menu(kCommandRedo);
    Menu(kCommandRedo);
    EXPECT_FALSE(HasUnsavedChanges()) << "redone up to the saved state";

    // New and Open start afresh.
    Script().messageBoxAnswers = {IDNO};
    Menu(kCommandNew);
    EXPECT_FALSE(MenuEnabled(kCommandUndo));
    EXPECT_FALSE(MenuEnabled(kCommandRedo));
    Click(AddFontButton());
    Script().messageBoxAnswers = {IDNO};  // the added font is not kept
    Script().fileNames = {path_};
    Menu(kCommandOpen);
    EXPECT_FALSE(MenuEnabled(kCommandUndo));
}

TEST_F(UndoTest, UndoOfTheSymbolInTheSymbolEditorTakesItAway) {
    ClickSymbol('B', WM_LBUTTONDOWN);
    DrawAndConfirm(0);
    ClickSymbol('B', WM_LBUTTONDOWN);
    ASSERT_TRUE(IsWindowVisible(SymbolEditorWindow()));
    Menu(kCommandUndo);
    EXPECT_FALSE(IsWindowVisible(SymbolEditorWindow())) << "its working copy no longer shows the symbol";
    EXPECT_EQ(InspectSymbolEditor().editedSymbol, nullptr);

    // An undo elsewhere leaves the editor at work.
    ClickSymbol('B', WM_LBUTTONDOWN);
    DrawAndConfirm(0);
    ClickSymbol('C', WM_LBUTTONDOWN);
    Menu(kCommandUndo);
    EXPECT_TRUE(IsWindowVisible(SymbolEditorWindow()));
}

// --- files the Windows way ---

TEST_F(UndoTest, CommandLineFileIsOpenedQuotedOrNot) {
    const std::string other = WriteImage("other file.bin", {3});
    for (const std::string& line : {"\"" + other + "\"", "  " + other + " "}) {
        Script().messageBoxes.clear();
        OpenCommandLineFile(line.c_str());
        EXPECT_EQ(Text(main_), "Glyphmill <" + other + "> ") << line;
        EXPECT_EQ(Document()->GetFontHeight(0), 3);
        EXPECT_FALSE(MenuEnabled(kCommandUndo));
        EXPECT_TRUE(Script().messageBoxes.empty());
    }
    OpenCommandLineFile("");
    EXPECT_EQ(Text(main_), "Glyphmill <" + other + "> ") << "an empty command line opens nothing";
    OpenCommandLineFile(PathInTestDir("missing.bin").c_str());
    ASSERT_EQ(Script().messageBoxes.size(), 1u);
    EXPECT_EQ(Script().messageBoxes[0].text, "This file is not correct bin file. Load be cancel.");
}

TEST_F(UndoTest, DroppedImageIsOpenedAfterAskingAboutUnsavedChanges) {
    const std::string other = WriteImage("dropped.BIN", {4});
    Drop({PathInTestDir("notes.txt"), other});
    EXPECT_EQ(Text(main_), "Glyphmill <" + other + "> ");
    EXPECT_TRUE(Script().messageBoxes.empty()) << "nothing to save, nothing asked";

    SetField(IntervalField(), "5", SetIntervalButton());
    Script().messageBoxAnswers = {IDCANCEL};
    Drop({path_});
    ASSERT_EQ(Script().messageBoxes.size(), 1u);
    EXPECT_EQ(Script().messageBoxes[0].text, "Save changes?");
    EXPECT_EQ(Text(main_), "Glyphmill <" + other + "> ") << "Cancel keeps the document";

    Script().messageBoxAnswers = {IDNO};
    Drop({path_});
    EXPECT_EQ(Text(main_), "Glyphmill <" + path_ + "> ");
    EXPECT_FALSE(MenuEnabled(kCommandUndo));

    Drop({PathInTestDir("picture.bmp")});
    EXPECT_EQ(Text(main_), "Glyphmill <" + path_ + "> ") << "only .bin files are opened";
}

}  // namespace
