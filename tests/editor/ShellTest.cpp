// The main window at start-up, its menus and accelerators, About, Exit and
// closing.
#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

#include "EditorTestSupport.h"
#include "SymbolEditor.h"

namespace {

TEST_F(EditorWindowTest, StartsWithoutDocumentAndOnlyTheStartUpItems) {
    StartEditorHere();
    EXPECT_EQ(Text(main_), "Glyphmill ");
    char className[32] = {};
    GetClassNameA(main_, className, sizeof className);
    EXPECT_STREQ(className, "Glyver");
    EXPECT_EQ(GetClassLongA(main_, GCL_STYLE), 11u);
    RECT outer;
    GetWindowRect(main_, &outer);
    EXPECT_EQ(outer.left, 50);
    EXPECT_EQ(outer.top, 50);
    EXPECT_EQ(outer.right - outer.left, 700);
    EXPECT_EQ(outer.bottom - outer.top, 520);
    const LONG style = GetWindowLongA(main_, GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);

    EXPECT_EQ(Document(), nullptr);
    for (WPARAM on : {kCommandNew, kCommandOpen, kCommandExit, kCommandAbout}) EXPECT_TRUE(MenuEnabled(on)) << on;
    for (WPARAM off : {kCommandSave, kCommandSaveAs, kCommandSend, kCommandImportFont, kCommandCutSymbol,
                       kCommandCopySymbol, kCommandPasteSymbol, kCommandDeleteSymbol, kCommandManual,
                       kCommandImportFontFile}) {
        EXPECT_FALSE(MenuEnabled(off)) << off;
    }
    for (HWND control : {AddFontButton(), DeleteFontButton(), SetNameButton(), SetHeightButton(), SetIntervalButton(),
                         SetHeightLimitButton(), NameField(), HeightField(), IntervalField(), HeightLimitField()}) {
        EXPECT_FALSE(IsWindowEnabled(control));
    }
    EXPECT_TRUE(IsWindowEnabled(FontList()));
    EXPECT_EQ(SendMessageA(FontList(), CB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(SendMessageA(NameField(), EM_GETLIMITTEXT, 0, 0), 64);
    EXPECT_EQ(SendMessageA(IntervalField(), EM_GETLIMITTEXT, 0, 0), 2);

    // The table and the hidden preview and progress bar.
    EXPECT_EQ(Child("GridGlyver", 35, 55), SymbolTableWindow());
    GetWindowRect(SymbolTableWindow(), &outer);
    EXPECT_EQ(outer.right - outer.left, 402);
    EXPECT_EQ(outer.bottom - outer.top, 402);
    EXPECT_EQ(GetParent(PreviewWindow()), SymbolTableWindow());
    EXPECT_FALSE(IsWindowVisible(PreviewWindow()));
    EXPECT_FALSE(IsWindowVisible(Child("msctls_progress32", 35, 462)));

    // Clicks before a document exist do nothing.
    ClickTable(30, 60, WM_RBUTTONDOWN);
    EXPECT_FALSE(IsWindowVisible(PreviewWindow()));
}

TEST_F(EditorWindowTest, MenuBarHasTheFivePopupsInOrder) {
    StartEditorHere();
    HMENU bar = GetMenu(main_);
    ASSERT_EQ(GetMenuItemCount(bar), 5);
    const char* expected[] = {"&File", "&Edit", "&Send", "&Font", "&Help"};
    for (int i = 0; i < 5; ++i) {
        char text[32] = {};
        GetMenuStringA(bar, i, text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(text, expected[i]);
    }
    char text[64] = {};
    GetMenuStringA(bar, kCommandSaveAs, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "Save &As");
    GetMenuStringA(bar, kCommandImportFont, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "&Import windows font");
    HMENU edit = GetSubMenu(bar, 1);
    EXPECT_EQ(GetMenuItemCount(edit), 8) << "its five items, then a separator, Undo and Redo";
    EXPECT_EQ(GetMenuState(edit, 3, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
    HMENU font = GetSubMenu(bar, 3);
    ASSERT_EQ(GetMenuItemCount(font), 4) << "Import windows font, Preview..., Import font file..., Export font file...";
    EXPECT_EQ(GetMenuItemID(font, 2), static_cast<UINT>(kCommandImportFontFile));
    EXPECT_EQ(GetMenuItemID(font, 3), static_cast<UINT>(kCommandExportFontFile));
    GetMenuStringA(font, 2, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "Import font &file...");
}

TEST_F(EditorWindowTest, ManualItemFollowsTheStartUpDirectoryOnly) {
    std::ofstream(PathInTestDir("manual.pdf")) << "%PDF-1.4\n";
    StartEditorHere();
    EXPECT_TRUE(MenuEnabled(kCommandManual));
    DestroyWindow(main_);
    DeleteFileA(PathInTestDir("manual.pdf").c_str());
    StartEditorHere();
    EXPECT_FALSE(MenuEnabled(kCommandManual));
    std::ofstream(PathInTestDir("manual.pdf")) << "%PDF-1.4\n";  // too late: looked for at start-up only
    EXPECT_FALSE(MenuEnabled(kCommandManual));
}

TEST_F(EditorWindowTest, AcceleratorsCarryTheSymbolEditorKeysOnly) {
    StartEditorHere();
    HACCEL table = BuildAcceleratorTable();
    ACCEL keys[16];
    ASSERT_EQ(CopyAcceleratorTableA(table, keys, 16), 10);
    const struct {
        WORD key;
        BYTE modifiers;
        WORD command;
    } expected[] = {{'O', FVIRTKEY | FCONTROL, 2100}, {'V', FVIRTKEY | FCONTROL, 2101}, {VK_INSERT, FVIRTKEY, 10000},
                    {VK_DELETE, FVIRTKEY, 10001},     {VK_RETURN, FVIRTKEY, 10003},     {VK_ESCAPE, FVIRTKEY, 10004},
                    {VK_LEFT, FVIRTKEY, 10005},       {VK_RIGHT, FVIRTKEY, 10006},      {VK_UP, FVIRTKEY, 10007},
                    {VK_DOWN, FVIRTKEY, 10008}};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(keys[i].key, expected[i].key);
        EXPECT_EQ(keys[i].fVirt & (FVIRTKEY | FCONTROL), expected[i].modifiers);
        EXPECT_EQ(keys[i].cmd, expected[i].command);
    }
    // Delete pressed in the name field becomes the symbol editor's command.
    MSG deleteKey{NameField(), WM_KEYDOWN, VK_DELETE, 0x00530001, 0, {0, 0}};
    EXPECT_TRUE(TranslateAcceleratorA(SymbolEditorWindow(), table, &deleteKey));
    MSG letter{NameField(), WM_KEYDOWN, 'A', 0x001E0001, 0, {0, 0}};
    EXPECT_FALSE(TranslateAcceleratorA(SymbolEditorWindow(), table, &letter));
    DestroyAcceleratorTable(table);
}

TEST_F(EditorWindowTest, AboutBoxShowsItsPictureAndClosesWithOk) {
    StartEditorHere();
    std::string okText;
    COLORREF corner = 0;
    Script().answerDialog = [&](HWND about) {
        HWND ok = GetDlgItem(about, 1000);
        char text[16] = {};
        GetWindowTextA(ok, text, sizeof text);
        okText = text;
        UpdateWindow(about);
        // The picture is painted at (10, 10) of the client area.
        HDC dc = GetDC(about);
        corner = GetPixel(dc, 12, 12);
        ReleaseDC(about, dc);
        SendMessageA(about, WM_COMMAND, MAKEWPARAM(1000, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
    };
    Menu(kCommandAbout);
    EXPECT_EQ(Script().dialogs, std::vector<int>{120});
    EXPECT_EQ(okText, "OK");
    EXPECT_NE(corner, GetSysColor(COLOR_BTNFACE)) << "no picture";

    BITMAP picture{};
    HBITMAP bitmap = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(119));
    ASSERT_NE(bitmap, nullptr);
    GetObjectA(bitmap, sizeof picture, &picture);
    EXPECT_EQ(picture.bmWidth, 260);
    EXPECT_EQ(picture.bmHeight, 210);
    DeleteObject(bitmap);
    EXPECT_NE(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(110)), nullptr);
}

TEST_F(EditorWindowTest, ExitAsksOnlyWhenSomethingChanged) {
    StartEditorHere();
    Menu(kCommandExit);  // no document: nothing to ask
    PumpMessages();
    EXPECT_TRUE(Script().quitPosted);
    EXPECT_TRUE(Script().messageBoxes.empty());

    Script().quitPosted = false;
    Menu(kCommandNew);
    Menu(kCommandExit);  // a new, untouched document
    PumpMessages();
    EXPECT_TRUE(Script().quitPosted);
    EXPECT_TRUE(Script().messageBoxes.empty());

    Script().quitPosted = false;
    Type(NameField(), "Changed");
    Click(SetNameButton());
    Script().messageBoxAnswers = {IDCANCEL};
    Menu(kCommandExit);
    PumpMessages();
    EXPECT_FALSE(Script().quitPosted);
    ASSERT_EQ(Script().messageBoxes.size(), 1u);
    EXPECT_EQ(Script().messageBoxes[0].text, "Save changes?");
    EXPECT_EQ(Script().messageBoxes[0].caption, "Question");
    EXPECT_EQ(Script().messageBoxes[0].type, static_cast<UINT>(MB_YESNOCANCEL | MB_ICONQUESTION));

    Script().messageBoxAnswers = {IDNO};
    Menu(kCommandExit);
    PumpMessages();
    EXPECT_TRUE(Script().quitPosted);
}

TEST_F(EditorWindowTest, ClosingWithChangesCanBeCancelledOrSaved) {
    StartEditorHere();
    Menu(kCommandNew);
    Click(AddFontButton());
    Script().messageBoxAnswers = {IDCANCEL};
    SendMessageA(main_, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(main_));

    // Yes on a document without a file asks for a name; cancelling it keeps
    // the editor open.
    Script().messageBoxAnswers = {IDYES};
    SendMessageA(main_, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(main_));
    EXPECT_EQ(Script().fileDialogs.size(), 1u);

    Script().messageBoxAnswers = {IDYES};
    Script().fileNames = {PathInTestDir("closing")};
    SendMessageA(main_, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(main_));
    FontImage saved;
    EXPECT_EQ(saved.Load(PathInTestDir("closing.bin")), 0);
    EXPECT_EQ(saved.GetFontCount(), 2);
}

}  // namespace
