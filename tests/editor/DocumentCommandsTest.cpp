// New, Open, Save and Save As through the menu, with the seam answering the
// questions and the file dialogs.
#include <windows.h>
#include <commdlg.h>

#include <fstream>
#include <vector>

#include "EditorTestSupport.h"
#include "Results.h"

namespace {

void WriteBytes(const std::string& path, size_t size, char fill) {
    std::ofstream(path, std::ios::binary) << std::string(size, fill);
}

TEST_F(EditorWindowTest, NewMakesOneUnnamedFontAndEnablesItsItems) {
    StartEditorHere();
    Menu(kCommandNew);
    ASSERT_NE(Document(), nullptr);
    EXPECT_TRUE(Script().messageBoxes.empty());  // nothing to save yet
    EXPECT_EQ(Text(main_), "Glyphmill < New File > ");
    EXPECT_STREQ(DocumentPath(), "");
    EXPECT_EQ(FontListItems(), std::vector<std::string>{"Font #0   \"Unnamed \"    (H = 1)"});
    EXPECT_EQ(Text(NameField()), "Unnamed ");
    EXPECT_EQ(Text(HeightField()), "1");
    EXPECT_EQ(Text(IntervalField()), "1");
    EXPECT_EQ(Text(HeightLimitField()), "8");
    for (HWND control : {AddFontButton(), DeleteFontButton(), SetNameButton(), SetHeightButton(), SetIntervalButton(),
                         SetHeightLimitButton(), NameField(), HeightField(), IntervalField(), HeightLimitField()}) {
        EXPECT_TRUE(IsWindowEnabled(control));
    }
    for (WPARAM on : {kCommandSaveAs, kCommandSend, kCommandImportFont, kCommandImportFontFile}) {
        EXPECT_TRUE(MenuEnabled(on)) << on;
    }
    for (WPARAM off : {kCommandSave, kCommandCutSymbol, kCommandCopySymbol, kCommandDeleteSymbol}) {
        EXPECT_FALSE(MenuEnabled(off)) << off;
    }
}

TEST_F(EditorWindowTest, NewAsksToSaveWheneverADocumentExists) {
    StartEditorHere();
    Menu(kCommandNew);
    FontImageView* first = Document();
    Script().messageBoxAnswers = {IDCANCEL};
    Menu(kCommandNew);
    ASSERT_EQ(Script().messageBoxes.size(), 1u);
    EXPECT_EQ(Script().messageBoxes[0].text, "Save changes?");
    EXPECT_EQ(Script().messageBoxes[0].caption, "Question");
    EXPECT_EQ(Document(), first);

    Script().messageBoxAnswers = {IDNO};
    Menu(kCommandNew);
    EXPECT_EQ(Script().messageBoxes.size(), 2u);
    EXPECT_TRUE(Script().fileDialogs.empty());

    // Yes shows the Save dialog; cancelling it still makes the new document.
    Script().messageBoxAnswers = {IDYES};
    Menu(kCommandNew);
    EXPECT_EQ(Script().fileDialogs.size(), 1u);
    EXPECT_NE(Document(), nullptr);
    EXPECT_EQ(Text(main_), "Glyphmill < New File > ");
}

TEST_F(EditorWindowTest, OpenRefusesFilesThatAreNotFontImages) {
    StartEditorHere();
    Menu(kCommandNew);
    FontImageView* document = Document();
    const std::string shortFile = PathInTestDir("short.bin");
    const std::string longFile = PathInTestDir("long.bin");
    const std::string garbage = PathInTestDir("garbage.bin");
    WriteBytes(shortFile, 65535, 0);
    WriteBytes(longFile, 65537, 0);
    WriteBytes(garbage, 65536, 0x7F);  // the right size, but no reader accepts it
    Script().fileNames = {shortFile, longFile, garbage, PathInTestDir("missing.bin")};
    for (int i = 0; i < 4; ++i) {
        Menu(kCommandOpen);
        ASSERT_EQ(Script().messageBoxes.size(), static_cast<size_t>(i + 1));
        EXPECT_EQ(Script().messageBoxes[i].text, "This file is not correct bin file. Load be cancel.");
        EXPECT_EQ(Script().messageBoxes[i].caption, "Error");
        EXPECT_EQ(Script().messageBoxes[i].type & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
    }
    EXPECT_EQ(Document(), document);
    EXPECT_EQ(Text(main_), "Glyphmill < New File > ");
    EXPECT_FALSE(MenuEnabled(kCommandSave));

    // The Open dialog as it was asked for.
    const FileDialogCall& dialog = Script().fileDialogs[0];
    EXPECT_EQ(dialog.title, "Open BIN File");
    EXPECT_EQ(dialog.filter, "Flash Image(*.bin)|*.bin|");
    EXPECT_EQ(dialog.flags, static_cast<DWORD>(OFN_FILEMUSTEXIST | OFN_HIDEREADONLY));
    EXPECT_EQ(dialog.structSize, static_cast<DWORD>(OPENFILENAME_SIZE_VERSION_400A));  // 76 in the 32-bit program
    EXPECT_EQ(dialog.capacity, 260u);
    EXPECT_EQ(dialog.owner, main_);
}

TEST_F(EditorWindowTest, OpenShowsTheFileAndEnablesEverything) {
    StartEditorHere();
    const std::string path = WriteImage("two.bin", {1, 2});
    Menu(kCommandOpen);  // cancelled dialog: nothing happens
    EXPECT_EQ(Document(), nullptr);
    Script().fileNames = {path};
    Menu(kCommandOpen);
    ASSERT_NE(Document(), nullptr);
    EXPECT_TRUE(Script().messageBoxes.empty());
    EXPECT_EQ(Text(main_), "Glyphmill <" + path + "> ");
    EXPECT_EQ(FontListItems().size(), 2u);
    EXPECT_EQ(FontListItems()[1], "Font #1   \"Font1   \"    (H = 2)");
    EXPECT_EQ(SendMessageA(FontList(), CB_GETCURSEL, 0, 0), 0);
    for (WPARAM on : {kCommandSave, kCommandSaveAs, kCommandSend, kCommandImportFont, kCommandCutSymbol,
                      kCommandCopySymbol, kCommandDeleteSymbol, kCommandImportFontFile}) {
        EXPECT_TRUE(MenuEnabled(on)) << on;
    }
    EXPECT_FALSE(MenuEnabled(kCommandPasteSymbol));
}

TEST_F(EditorWindowTest, OpenAsksToSaveOnlyWhenThereAreUnsavedChanges) {
    StartEditorHere();
    const std::string first = WriteImage("first.bin", {1});
    const std::string second = WriteImage("second.bin", {1, 2});
    Script().fileNames = {first, second};
    Menu(kCommandOpen);
    Menu(kCommandOpen);
    EXPECT_TRUE(Script().messageBoxes.empty()) << "nothing was changed";
    EXPECT_EQ(Text(main_), "Glyphmill <" + second + "> ");

    // Undone back to what was opened counts as no change.
    Type(IntervalField(), "7");
    Click(SetIntervalButton());
    Menu(kCommandUndo);
    Script().fileNames = {second};
    Menu(kCommandOpen);
    EXPECT_TRUE(Script().messageBoxes.empty());

    Type(IntervalField(), "7");
    Click(SetIntervalButton());
    FontImageView* changed = Document();
    Script().messageBoxAnswers = {IDCANCEL};
    Script().fileNames = {first};
    const size_t dialogsBefore = Script().fileDialogs.size();
    Menu(kCommandOpen);
    ASSERT_EQ(Script().messageBoxes.size(), 1u);
    EXPECT_EQ(Script().messageBoxes[0].text, "Save changes?");
    EXPECT_EQ(Script().messageBoxes[0].caption, "Question");
    EXPECT_EQ(Script().messageBoxes[0].type, static_cast<UINT>(MB_YESNOCANCEL | MB_ICONQUESTION));
    EXPECT_EQ(Script().fileDialogs.size(), dialogsBefore) << "Cancel shows no Open dialog";
    EXPECT_EQ(Document(), changed);
    EXPECT_EQ(Document()->GetInterval(0), 7);

    // Yes saves to the document's own file; with the Open dialog then
    // cancelled the document stays, saved.
    Script().messageBoxAnswers = {IDYES};
    Script().fileNames.clear();
    Menu(kCommandOpen);
    EXPECT_EQ(Script().messageBoxes.size(), 2u);
    FontImage saved;
    ASSERT_EQ(saved.Load(second), 0);
    EXPECT_EQ(saved.GetInterval(0), 7);
    EXPECT_EQ(Text(main_), "Glyphmill <" + second + "> ");
    EXPECT_EQ(Document()->GetInterval(0), 7);

    // No discards the changes.
    Type(IntervalField(), "9");
    Click(SetIntervalButton());
    Script().messageBoxAnswers = {IDNO};
    Script().fileNames = {first};
    Menu(kCommandOpen);
    EXPECT_EQ(Script().messageBoxes.size(), 3u);
    EXPECT_EQ(Text(main_), "Glyphmill <" + first + "> ");
    ASSERT_EQ(saved.Load(second), 0);
    EXPECT_EQ(saved.GetInterval(0), 7);
}

TEST_F(EditorWindowTest, SaveWritesTheOwnFileAndReadsItBack) {
    StartEditorHere();
    const std::string path = WriteImage("doc.bin", {1, 2});
    Script().fileNames = {path};
    Menu(kCommandOpen);
    PickFont(1);
    ClickTable(30, 60, WM_RBUTTONDOWN);
    EXPECT_EQ(Document()->GetCurrentSymbol(), 33);
    Type(IntervalField(), "7");
    Click(SetIntervalButton());
    FontImageView* before = Document();

    Menu(kCommandSave);
    EXPECT_TRUE(Script().fileDialogs.size() == 1u);  // only the Open dialog
    EXPECT_NE(Document(), before);                   // read back as a new object
    EXPECT_EQ(Document()->GetCurrentFont(), 1);
    EXPECT_EQ(Document()->GetCurrentSymbol(), 0);
    EXPECT_EQ(Document()->GetInterval(1), 7);
    EXPECT_FALSE(IsWindowVisible(PreviewWindow()));
    EXPECT_EQ(Text(IntervalField()), "7");
    FontImage saved;
    ASSERT_EQ(saved.Load(path), 0);
    EXPECT_EQ(saved.GetInterval(1), 7);
}

TEST_F(EditorWindowTest, SaveAsAlwaysAsksAndAddsTheExtension) {
    StartEditorHere();
    Menu(kCommandNew);
    Script().fileNames = {PathInTestDir("plain")};
    Menu(kCommandSaveAs);
    EXPECT_EQ(std::string(DocumentPath()), PathInTestDir("plain.bin"));
    EXPECT_EQ(Text(main_), "Glyphmill <" + PathInTestDir("plain.bin") + "> ");
    EXPECT_TRUE(MenuEnabled(kCommandSave));
    EXPECT_TRUE(MenuEnabled(kCommandCutSymbol));
    const FileDialogCall& dialog = Script().fileDialogs[0];
    EXPECT_EQ(dialog.title, "Open BIN File");
    EXPECT_EQ(dialog.flags, static_cast<DWORD>(OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY));

    // Also with a file, and the comparison is case-sensitive.
    Script().fileNames = {PathInTestDir("upper.BIN"), PathInTestDir("named.bin")};
    Menu(kCommandSaveAs);
    EXPECT_EQ(std::string(DocumentPath()), PathInTestDir("upper.BIN.bin"));
    Menu(kCommandSaveAs);
    EXPECT_EQ(std::string(DocumentPath()), PathInTestDir("named.bin"));
    EXPECT_EQ(Script().fileDialogs.size(), 3u);
    EXPECT_TRUE(Script().messageBoxes.empty());
}

TEST_F(EditorWindowTest, FailedSaveTellsTheUserAndKeepsTheDocument) {
    StartEditorHere();
    const std::string path = WriteImage("kept.bin", {1});
    Script().fileNames = {path};
    Menu(kCommandOpen);
    Type(NameField(), "Edited");
    Click(SetNameButton());
    FontImageView* edited = Document();

    // A file in a folder that does not exist cannot be written.
    Script().fileNames = {PathInTestDir("no-such-folder\\x.bin")};
    Menu(kCommandSaveAs);
    ASSERT_EQ(Script().messageBoxes.size(), 1u);
    EXPECT_EQ(Script().messageBoxes[0].caption, "Error");
    EXPECT_NE(Script().messageBoxes[0].text.find("could not be written"), std::string::npos);
    EXPECT_EQ(Document(), edited);
    EXPECT_EQ(std::string(DocumentPath()), path);
    EXPECT_EQ(FontListItems()[0], "Font #0   \"Edited  \"    (H = 1)");

    // Fonts too big for the image: Save says so and does not read back the
    // file's earlier content.
    for (int i = 0; i < 2; ++i) Click(AddFontButton());
    for (int f = 0; f < 3; ++f) {
        Font& font = Document()->FontAt(f);
        for (int code = 0; code < 256; ++code) {
            font.At(code).width = 120;
            for (int i = 0; i < 120; ++i) font.At(code).data[i] = static_cast<uint8_t>(code + i + f);
        }
    }
    Menu(kCommandSave);
    ASSERT_EQ(Script().messageBoxes.size(), 2u);
    EXPECT_EQ(Script().messageBoxes[1].caption, "Error");
    EXPECT_NE(Script().messageBoxes[1].text.find("do not fit"), std::string::npos);
    EXPECT_EQ(Document(), edited);
    EXPECT_EQ(Document()->GetFontCount(), 3);
    FontImage onDisk;
    ASSERT_EQ(onDisk.Load(path), 0);
    EXPECT_EQ(onDisk.GetFontCount(), 1);
}

// Save keeps what the user has. Through a symbolic link (made by the test's
// set-up on the Linux side, as Wine cannot make one) the file it leads to is
// replaced; a read-only file is refused and stays as it was.
TEST_F(EditorWindowTest, SaveReplacesWhatALinkLeadsToAndKeepsAReadOnlyFile) {
    StartEditorHere();
    const std::string folder = GLYVER_LINKED_IMAGE, readOnly = PathInTestDir("read-only.bin");
    FontImage image;
    ASSERT_EQ(image.InitNew(), 1);
    ASSERT_EQ(image.Save(folder + "/target.bin"), SaveResult::kSaved);
    ASSERT_EQ(image.Save(readOnly), SaveResult::kSaved);
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    const std::string before = ReadFileBytes(readOnly);

    ASSERT_EQ(OpenDocumentAt(folder + "/link.bin"), 1);
    Document()->SetInterval(0, 5);
    Menu(kCommandSave);
    EXPECT_TRUE(Script().messageBoxes.empty());
    FontImage target;
    ASSERT_EQ(target.Load(folder + "/target.bin"), LoadResult::kLoaded);
    EXPECT_EQ(target.GetInterval(0), 5);

    ASSERT_EQ(OpenDocumentAt(readOnly), 1);
    Document()->SetInterval(0, 5);
    Menu(kCommandSave);
    ASSERT_EQ(Script().messageBoxes.size(), 1u);
    EXPECT_EQ(Script().messageBoxes[0].text, "The file " + readOnly + " could not be written. The file was not saved.");
    EXPECT_EQ(ReadFileBytes(readOnly), before);
    EXPECT_TRUE(GetFileAttributesA(readOnly.c_str()) & FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
