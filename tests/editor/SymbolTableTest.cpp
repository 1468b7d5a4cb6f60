// The symbol table and its preview box: clicks, the box's place, the Edit
// commands, the drawing (read back from a memory DC) and the font import.
#include <windows.h>

#include <cstring>

#include "EditorTestSupport.h"
#include "GdiObjectCount_win.h"
#include "ScopedWin.h"
#include "SymbolEditor.h"
#include "SymbolEditorTestAccess.h"

namespace {

class SymbolTableTest : public EditorWindowTest {
protected:
    void SetUp() override {
        EditorWindowTest::SetUp();
        StartEditorHere();
        Script().fileNames = {WriteImage("table.bin", {1, 2})};
        Menu(kCommandOpen);
        ASSERT_NE(Document(), nullptr);
    }

    RECT PreviewBox() const {
        RECT box;
        GetWindowRect(PreviewWindow(), &box);
        MapWindowPoints(nullptr, SymbolTableWindow(), reinterpret_cast<POINT*>(&box), 2);
        return box;
    }

    static void Ink(Symbol& symbol, int width, uint8_t pattern) {
        symbol.width = width;
        for (int i = 0; i < width * symbol.height; ++i) symbol.data[i] = pattern;
    }
};

// A 24-bit memory DC to draw into and read back.
class Canvas {
public:
    Canvas(int width, int height) : width_(width), height_(height) {
        ScopedWindowDC screen(nullptr);
        dc_.Reset(CreateCompatibleDC(screen.Get()));
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        bitmap_.Reset(CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        previous_ = SelectObject(dc_.Get(), bitmap_.Get());
        RECT all{0, 0, width, height};
        FillRect(dc_.Get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    ~Canvas() { SelectObject(dc_.Get(), previous_); }
    HDC Get() const { return dc_.Get(); }
    bool IsBlack(int x, int y) const { return GetPixel(dc_.Get(), x, y) == RGB(0, 0, 0); }
    bool IsWhite(int x, int y) const { return GetPixel(dc_.Get(), x, y) == RGB(255, 255, 255); }
    bool AnyInk(int left, int top, int right, int bottom) const {
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                if (!IsWhite(x, y)) return true;
        return false;
    }

private:
    int width_;
    int height_;
    ScopedMemoryDC dc_;
    ScopedBitmap bitmap_;
    HGDIOBJ previous_ = nullptr;
};

TEST_F(SymbolTableTest, RightClickChoosesTheSymbolAndPlacesTheBox) {
    ClickTable(30, 60, WM_RBUTTONDOWN);
    EXPECT_EQ(Document()->GetCurrentSymbol(), 33);
    EXPECT_EQ(Document()->cursorSymbol, 33);
    EXPECT_TRUE(IsWindowVisible(PreviewWindow()));
    EXPECT_FALSE(IsWindowVisible(SymbolEditorWindow()));
    RECT box = PreviewBox();
    EXPECT_EQ(box.left, 17);  // 25 + 12 - 20
    EXPECT_EQ(box.top, 42);   // 50 + 12 - 0.33 * 60
    EXPECT_EQ(box.right - box.left, 40);
    EXPECT_EQ(box.bottom - box.top, 60);

    // Pushed back from the right and bottom, never before pixel 1.
    ClickTable(390, 390, WM_RBUTTONDOWN);
    EXPECT_EQ(Document()->GetCurrentSymbol(), 255);
    box = PreviewBox();
    EXPECT_EQ(box.left, 402 - 40);
    EXPECT_EQ(box.top, 402 - 60);
    ClickTable(0, 0, WM_RBUTTONDOWN);
    box = PreviewBox();
    EXPECT_EQ(box.left, 1);
    EXPECT_EQ(box.top, 1);
    // The last two pixels lie outside the cells: still the last symbol.
    ClickTable(401, 401, WM_RBUTTONDOWN);
    EXPECT_EQ(Document()->GetCurrentSymbol(), 255);
}

TEST_F(SymbolTableTest, BoxGrowsWithWideAndTallSymbols) {
    PickFont(1);
    Type(HeightField(), "4");
    Click(SetHeightButton());
    Ink(*Document()->GetSymbol(40), 45, 0x00);
    ClickTable(0, 60, WM_RBUTTONDOWN);  // code 32, width 1, 32 rows
    RECT box = PreviewBox();
    EXPECT_EQ(box.right - box.left, 40);
    EXPECT_EQ(box.bottom - box.top, 62);
    ClickTable(8 * 25 + 3, 60, WM_RBUTTONDOWN);  // code 40
    box = PreviewBox();
    EXPECT_EQ(box.right - box.left, 55);
}

TEST_F(SymbolTableTest, LeftClickOpensTheSymbolEditorAndClickOnBoxActsOnTable) {
    ClickTable(30, 60);
    EXPECT_EQ(Document()->GetCurrentSymbol(), 33);
    EXPECT_TRUE(IsWindowVisible(SymbolEditorWindow()));
    ShowWindow(SymbolEditorWindow(), SW_HIDE);

    // A right click on the box at its own (5, 5) is a click on the table at
    // the same screen point.
    RECT box;
    RECT table;
    GetWindowRect(PreviewWindow(), &box);
    GetWindowRect(SymbolTableWindow(), &table);
    SendMessageA(PreviewWindow(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    const int x = 5 + box.left - table.left;
    const int y = 5 + box.top - table.top;
    EXPECT_EQ(Document()->GetCurrentSymbol(), 16 * (y / 25) + x / 25);
    EXPECT_FALSE(IsWindowVisible(SymbolEditorWindow()));
}

// The font panel reloads the open symbol editor after a change of height or
// height limit; a removed font or a replaced document takes the edited symbol
// away from it, so that OK cannot write into what is gone.
TEST_F(SymbolTableTest, SymbolEditorFollowsThePanelAndLetsGoOfSymbolsThatGo) {
    ClickTable(30, 60);  // code 33 of font 0, 1 byte high
    ASSERT_EQ(InspectSymbolEditor().work->HeightBytes(), 1);
    Type(HeightLimitField(), "5");
    Click(SetHeightLimitButton());
    EXPECT_EQ(InspectSymbolEditor().work->RowCount(), 5);
    Type(HeightField(), "3");
    Click(SetHeightButton());
    EXPECT_EQ(InspectSymbolEditor().work->HeightBytes(), 3);
    EXPECT_EQ(InspectSymbolEditor().work->RowCount(), 24);
    EXPECT_EQ(InspectSymbolEditor().editedSymbol, Document()->GetSymbol(33));

    Click(DeleteFontButton());
    EXPECT_FALSE(IsWindowVisible(SymbolEditorWindow()));
    EXPECT_EQ(InspectSymbolEditor().editedSymbol, nullptr);

    ClickTable(30, 60);
    ASSERT_TRUE(IsWindowVisible(SymbolEditorWindow()));
    Script().messageBoxAnswers = {IDNO};
    Menu(kCommandNew);
    EXPECT_FALSE(IsWindowVisible(SymbolEditorWindow()));
    EXPECT_EQ(InspectSymbolEditor().editedSymbol, nullptr);
    // OK of a detached editor writes nothing anywhere.
    const SymbolEditorInsight editor = InspectSymbolEditor();
    SendMessageA(editor.window, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(editor.okButton));
    EXPECT_EQ(Document()->GetSymbol(33)->width, 1);
}

TEST_F(SymbolTableTest, CopyAndPasteLeaveTheSource) {
    ClickTable(1 * 25 + 3, 4 * 25 + 3, WM_RBUTTONDOWN);  // 'A', inked by WriteImage
    EXPECT_FALSE(MenuEnabled(kCommandPasteSymbol));
    Menu(kCommandCopySymbol);
    EXPECT_TRUE(MenuEnabled(kCommandPasteSymbol));
    ClickTable(3, 3, WM_RBUTTONDOWN);
    Menu(kCommandPasteSymbol);
    const Symbol& source = *Document()->GetSymbol('A');
    const Symbol& target = *Document()->GetSymbol(0);
    EXPECT_EQ(source.width, 3);
    EXPECT_EQ(target.width, 3);
    EXPECT_EQ(std::memcmp(source.data.get(), target.data.get(), 3), 0);
}

TEST_F(SymbolTableTest, CutAndPasteMovesTheSymbolOnce) {
    ClickTable(1 * 25 + 3, 4 * 25 + 3, WM_RBUTTONDOWN);
    Menu(kCommandCutSymbol);
    EXPECT_EQ(Document()->GetSymbol('A')->width, 3);  // stays until the Paste
    ClickTable(2 * 25 + 3, 4 * 25 + 3, WM_RBUTTONDOWN);
    Menu(kCommandPasteSymbol);
    EXPECT_EQ(Document()->GetSymbol('B')->width, 3);
    const Symbol& cut = *Document()->GetSymbol('A');
    EXPECT_EQ(cut.width, 1);
    EXPECT_EQ(cut.data[0], 0xFF);

    // The clipboard keeps the symbol; a second Paste clears nothing more.
    Ink(*Document()->GetSymbol('A'), 2, 0x0F);
    ClickTable(3 * 25 + 3, 4 * 25 + 3, WM_RBUTTONDOWN);
    Menu(kCommandPasteSymbol);
    EXPECT_EQ(Document()->GetSymbol('C')->width, 3);
    EXPECT_EQ(Document()->GetSymbol('A')->width, 2);
}

TEST_F(SymbolTableTest, CutPastedOntoItselfOrAcrossFontsClearsOnlyTheCutSymbol) {
    ClickTable(1 * 25 + 3, 4 * 25 + 3, WM_RBUTTONDOWN);
    Menu(kCommandCutSymbol);
    Menu(kCommandPasteSymbol);
    EXPECT_EQ(Document()->GetSymbol('A')->width, 3);

    // Cut in font 0, pasted into symbol 'A' of font 1: font 0's 'A' is
    // cleared and font 1's is the pasted one.
    Menu(kCommandCutSymbol);
    PickFont(1);
    Menu(kCommandPasteSymbol);
    EXPECT_EQ(Document()->FontAt(1).At('A').width, 3);
    EXPECT_EQ(Document()->FontAt(1).At('A').height, 2);  // laid out at its new font's height
    EXPECT_EQ(Document()->FontAt(0).At('A').width, 1);
}

TEST_F(SymbolTableTest, CutFromADeletedFontClearsNothing) {
    PickFont(1);
    ClickTable(1 * 25 + 3, 4 * 25 + 3, WM_RBUTTONDOWN);
    Menu(kCommandCutSymbol);
    Click(DeleteFontButton());
    ClickTable(2 * 25 + 3, 4 * 25 + 3, WM_RBUTTONDOWN);
    Menu(kCommandPasteSymbol);
    EXPECT_EQ(Document()->FontAt(0).At('B').width, 3);
    EXPECT_EQ(Document()->FontAt(0).At('A').width, 3);
}

TEST_F(SymbolTableTest, PasteWithNothingInThisDocumentsClipboardDoesNothing) {
    ClickTable(1 * 25 + 3, 4 * 25 + 3, WM_RBUTTONDOWN);
    Menu(kCommandCopySymbol);
    Menu(kCommandSave);  // reads the file back: a new document object
    EXPECT_TRUE(MenuEnabled(kCommandPasteSymbol));
    Ink(*Document()->GetSymbol(0), 5, 0x55);
    Menu(kCommandPasteSymbol);
    EXPECT_EQ(Document()->GetSymbol(0)->width, 5);
    EXPECT_EQ(Document()->GetSymbol(0)->data[0], 0x55);
}

TEST_F(SymbolTableTest, DeleteSymbolAsksFirst) {
    ClickTable(1 * 25 + 3, 4 * 25 + 3, WM_RBUTTONDOWN);
    Script().messageBoxAnswers = {IDCANCEL};
    Menu(kCommandDeleteSymbol);
    ASSERT_EQ(Script().messageBoxes.size(), 1u);
    EXPECT_EQ(Script().messageBoxes[0].text, "Delete?");
    EXPECT_EQ(Script().messageBoxes[0].caption, "");
    EXPECT_EQ(Script().messageBoxes[0].type, static_cast<UINT>(MB_OKCANCEL | MB_ICONQUESTION));
    EXPECT_EQ(Document()->GetSymbol('A')->width, 3);
    Script().messageBoxAnswers = {IDOK};
    Menu(kCommandDeleteSymbol);
    EXPECT_EQ(Document()->GetSymbol('A')->width, 1);
    EXPECT_EQ(Document()->GetSymbol('A')->data[0], 0xFF);
}

TEST_F(SymbolTableTest, TableDrawsEachSymbolInItsFramedCell) {
    Canvas canvas(kTableSize, kTableSize);
    ASSERT_EQ(Document()->DrawSymbolTable(canvas.Get(), kTableSize, kTableSize), 1);
    // A blank symbol: a white cell with a black line on its top and left.
    EXPECT_TRUE(canvas.IsBlack(0, 12));
    EXPECT_TRUE(canvas.IsBlack(12, 0));
    EXPECT_FALSE(canvas.AnyInk(2, 2, 24, 24));
    // 'A' (three inked columns, 8 rows) in row 4, column 1, centred.
    EXPECT_TRUE(canvas.IsBlack(25 + 12, 100 + 12));
    EXPECT_TRUE(canvas.IsWhite(25 + 4, 100 + 12));
    EXPECT_TRUE(canvas.IsWhite(25 + 20, 100 + 12));
    // The grid lines show only in the two pixels that no cell covers.
    EXPECT_TRUE(canvas.IsBlack(25, 401));
    EXPECT_TRUE(canvas.IsWhite(30, 401));
    EXPECT_TRUE(canvas.IsBlack(401, 50));

    // A 60-column symbol is shrunk into its cell.
    Ink(*Document()->GetSymbol(0), 60, 0x00);
    ASSERT_EQ(Document()->DrawSymbolTable(canvas.Get(), kTableSize, kTableSize), 1);
    EXPECT_TRUE(canvas.IsBlack(3, 12));
    EXPECT_TRUE(canvas.IsBlack(22, 12));
}

TEST_F(SymbolTableTest, PreviewDrawsTheCodeAndTheSymbolAtOneToOne) {
    Document()->SetCurrentSymbol('A');
    Canvas canvas(40, 60);
    Document()->DrawSymbolPreview(canvas.Get(), 100, 200, 140, 260, -1);
    EXPECT_TRUE(canvas.AnyInk(0, 0, 40, 20));
    // x0 = 20 - 1, bottom row at 30 + 4: three columns of eight dots.
    for (int x = 19; x <= 21; ++x) {
        EXPECT_TRUE(canvas.IsBlack(x, 34));
        EXPECT_TRUE(canvas.IsBlack(x, 27));
        EXPECT_TRUE(canvas.IsWhite(x, 26));
        EXPECT_TRUE(canvas.IsWhite(x, 35));
    }
    EXPECT_TRUE(canvas.IsWhite(18, 30));
    EXPECT_TRUE(canvas.IsWhite(22, 30));

    Canvas caption(40, 60);
    Document()->DrawSymbolPreview(caption.Get(), 0, 0, 40, 60, 7);
    EXPECT_TRUE(caption.AnyInk(0, 0, 40, 20));
    EXPECT_FALSE(caption.AnyInk(0, 21, 40, 60));  // symbol 7 is blank
}

TEST_F(SymbolTableTest, PaintingLeaksNoGdiObjects) {
    ClickTable(30, 60, WM_RBUTTONDOWN);
    InvalidateRect(SymbolTableWindow(), nullptr, FALSE);
    UpdateWindow(SymbolTableWindow());
    UpdateWindow(PreviewWindow());
    const DWORD first = GdiObjectCount();
    for (int i = 0; i < 1000; ++i) {
        InvalidateRect(SymbolTableWindow(), nullptr, FALSE);
        InvalidateRect(PreviewWindow(), nullptr, TRUE);
        UpdateWindow(SymbolTableWindow());
        UpdateWindow(PreviewWindow());
    }
    EXPECT_EQ(GdiObjectCount(), first);
}

TEST_F(SymbolTableTest, ImportFillsTheFontFromTheChosenTypeface) {
    PickFont(1);
    Ink(*Document()->GetSymbol('&'), 4, 0x00);
    Menu(kCommandImportFont);  // chooser cancelled: nothing changes
    EXPECT_EQ(Script().chooseFontMaxSize, 16);
    EXPECT_EQ(Document()->GetSymbol('&')->width, 4);

    Script().chooseFontAnswer = true;
    Script().chosenFont.lfHeight = -16;
    Script().chosenFont.lfWeight = FW_NORMAL;
    Script().chosenFont.lfCharSet = ANSI_CHARSET;
    lstrcpyA(Script().chosenFont.lfFaceName, "Tahoma");
    Menu(kCommandImportFont);
    const Symbol& letter = *Document()->GetSymbol('W');
    EXPECT_GT(letter.width, 4);
    EXPECT_LT(letter.width, 40);
    EXPECT_EQ(letter.height, 2);
    bool inked = false;
    for (int i = 0; i < letter.width * 2; ++i) inked |= letter.data[i] != 0xFF;
    EXPECT_TRUE(inked);
    // The blank draws nothing: one blank column.
    const Symbol& blank = *Document()->GetSymbol(' ');
    EXPECT_EQ(blank.width, 1);
    EXPECT_EQ(blank.data[0], 0xFF);
    EXPECT_EQ(blank.data[1], 0xFF);
    EXPECT_FALSE(IsWindowVisible(Child("msctls_progress32", 35, 462)));
}

}  // namespace
