// The symbol editor window driven in-process as a user drives it: clicks and
// drags on the grid, buttons, key commands, scrolling, the imports.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "BmpWriter.h"
#include "FontImageView.h"
#include "GdiObjectCount_win.h"
#include "Symbol.h"
#include "SymbolEditor.h"
#include "SymbolEditorHost.h"
#include "SymbolEditorTestAccess.h"
#include "UiSeam.h"

namespace {

FontImageView* TheDocument = nullptr;
FontImageView* TestDocument() { return TheDocument; }

// Answers of the seam.
std::string ChosenFile;
bool DialogCancelled = false;
std::string LastMessage, LastCaption;
int MessageCount = 0;

BOOL AnswerOpenDialog(OPENFILENAMEA* request) {
    if (DialogCancelled) return FALSE;
    EXPECT_STREQ(request->lpstrTitle, "Open BIN File");
    const char kFilter[] = "Pictures (*.bmp;*.png)\0*.bmp;*.png\0Bitmap Image(*.bmp)\0*.bmp\0";
    EXPECT_EQ(std::string(request->lpstrFilter, sizeof kFilter), std::string(kFilter, sizeof kFilter));
    snprintf(request->lpstrFile, request->nMaxFile, "%s", ChosenFile.c_str());
    return TRUE;
}

int AnswerMessageBox(HWND, const char* text, const char* caption, UINT type) {
    LastMessage = text;
    LastCaption = caption;
    EXPECT_TRUE(type & MB_ICONERROR);
    ++MessageCount;
    return IDOK;
}

void Pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

std::string Text(HWND window) {
    char buffer[4096] = "";
    GetWindowTextA(window, buffer, sizeof buffer);
    return buffer;
}

SIZE OuterSize(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

class SymbolEditorWindow : public testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA owner{};
        owner.lpfnWndProc = DefWindowProcA;
        owner.hInstance = GetModuleHandleA(nullptr);
        owner.lpszClassName = "SymbolEditorTestOwner";
        RegisterClassA(&owner);
        owner_ = CreateWindowExA(0, "SymbolEditorTestOwner", "owner", WS_OVERLAPPEDWINDOW, 400, 0, 300, 300,
                                 nullptr, nullptr, owner.hInstance, nullptr);
        document_ = std::make_unique<FontImageView>();
        document_->InitNew();
        document_->SetCurrentSymbol(65);
        TheDocument = document_.get();
        SetSymbolEditorDocumentSource(TestDocument);
        editor_ = CreateSymbolEditor(owner_, RECT{0, 0, 390, 580});
        ASSERT_NE(editor_, nullptr);
        Ui().getOpenFileName = AnswerOpenDialog;
        Ui().messageBox = AnswerMessageBox;
        DialogCancelled = false;
        MessageCount = 0;
        LastMessage.clear();
        LastCaption.clear();
    }

    void TearDown() override {
        DestroyWindow(owner_);
        Pump();
        RestoreRealUi();
        TheDocument = nullptr;
    }

    Symbol& Current() { return *document_->GetSymbol(-1); }

    // Loads the current symbol, set up as given, and shows the editor as the
    // symbol table does.
    void Open(int width, int height, int heightLimit, std::initializer_list<uint8_t> bytes = {}) {
        Symbol& symbol = Current();
        symbol.Clear();
        symbol.width = width;
        symbol.height = height;
        symbol.heightLimit = heightLimit;
        int i = 0;
        for (uint8_t b : bytes) symbol.data[i++] = b;
        ASSERT_EQ(LoadSymbolIntoEditor(&symbol), 1);
        ShowWindow(editor_, SW_SHOWNORMAL);
        UpdateWindow(editor_);
        Pump();
    }

    SymbolEditorInsight Inside() const { return InspectSymbolEditor(); }
    // The grid as it is on the screen, row by row from the top, each cell
    // read at its centre: '#' black, '.' white.
    std::string PaintedCells() const {
        std::string cells;
        HDC dc = GetDC(Inside().grid);
        for (int row = 0; row < Inside().gridHeight / 10; ++row) {
            for (int column = 0; column < Inside().gridWidth / 10; ++column) {
                const COLORREF pixel = GetPixel(dc, 10 * column + 5, 10 * row + 5);
                cells += pixel == RGB(0, 0, 0) ? '#' : pixel == RGB(255, 255, 255) ? '.' : '?';
            }
            cells += '/';
        }
        ReleaseDC(Inside().grid, dc);
        return cells;
    }
    const SymbolWorkCopy& Work() const { return *Inside().work; }
    std::string Bytes() const { return Text(Inside().byteString); }

    void Key(WORD command) {
        SendMessageA(editor_, WM_COMMAND, MAKEWPARAM(command, 1), 0);
        Pump();
    }
    void Menu(WORD command) {
        SendMessageA(editor_, WM_COMMAND, MAKEWPARAM(command, 0), 0);
        Pump();
    }
    void Click(HWND button) {
        SendMessageA(editor_, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(button));
        Pump();
    }
    void Mouse(UINT message, int x, int y) {
        SendMessageA(Inside().grid, message, 0, MAKELPARAM(x, y));
    }
    // Centre of the cell of column (as shown) and row (from the top).
    void Press(UINT down, UINT up, int column, int rowFromTop) {
        Mouse(down, 10 * column + 5, 10 * rowFromTop + 5);
        Mouse(up, 10 * column + 5, 10 * rowFromTop + 5);
    }

    HWND owner_ = nullptr;
    HWND editor_ = nullptr;
    std::unique_ptr<FontImageView> document_;
};

TEST_F(SymbolEditorWindow, FreshSymbolShowsOneBlankColumnWithItsFields) {
    Open(1, 1, 8);
    EXPECT_EQ(Text(editor_), "Symbol Editor   #65");
    EXPECT_EQ(Bytes(), "ff ");
    EXPECT_EQ(Text(Inside().widthField), "1");
    EXPECT_EQ(Text(Inside().heightField), "1");
    EXPECT_EQ(Text(Inside().limitField), "8");
    EXPECT_TRUE(IsWindowVisible(Inside().limitField));
    EXPECT_EQ(OuterSize(editor_).cx, 385);
    EXPECT_EQ(OuterSize(editor_).cy, 580);
    RECT grid;
    GetClientRect(Inside().grid, &grid);
    EXPECT_EQ(grid.right, 10);
    EXPECT_EQ(grid.bottom, 80);
    EXPECT_FALSE(IsWindowVisible(Inside().scrollBar));
    for (HWND button : {Inside().upButton, Inside().downButton, Inside().leftButton, Inside().rightButton}) {
        EXPECT_NE(SendMessageA(button, BM_GETIMAGE, IMAGE_ICON, 0), 0) << "each shift button shows its triangle";
    }
    HMENU file = GetSubMenu(GetMenu(editor_), 0);
    char item[64];
    GetMenuStringA(file, 2100, item, sizeof item, MF_BYCOMMAND);
    EXPECT_STREQ(item, "LoadFrom&Bitmap\tCTRL+V");
    GetMenuStringA(file, 2101, item, sizeof item, MF_BYCOMMAND);
    EXPECT_STREQ(item, "LoadFrom&Clipboard\tCTRL+O");
    GetMenuStringA(file, 2102, item, sizeof item, MF_BYCOMMAND);
    EXPECT_STREQ(item, "Close edit window");

    document_->SetCurrentSymbol(0);
    Open(1, 1, 8);
    EXPECT_EQ(Text(editor_), "Symbol Editor   #0");
}

TEST_F(SymbolEditorWindow, TallSymbolShowsSixteenRowsTopRowIsBitSevenOfTheSecondByte) {
    Open(2, 2, 8, {0xFF, 0xFF, 0xFF, 0xFF});
    EXPECT_FALSE(IsWindowVisible(Inside().limitField));
    EXPECT_EQ(Inside().gridHeight, 160);
    Press(WM_LBUTTONDOWN, WM_LBUTTONUP, 0, 0);
    Press(WM_LBUTTONDOWN, WM_LBUTTONUP, 1, 15);
    EXPECT_EQ(Bytes(), "ff 7f fe ff ");
}

// A click on another symbol loads it into the editor that is already shown.
TEST_F(SymbolEditorWindow, EachLoadRepaintsTheGridAndTheLimitField) {
    Open(2, 1, 3, {0xFE, 0xFB});  // the bottom cell of column 0, the top one of column 1
    EXPECT_EQ(PaintedCells(), ".#/../#./");
    document_->SetCurrentSymbol(66);
    Open(2, 1, 3, {0xFB, 0xFE});
    EXPECT_EQ(Text(editor_), "Symbol Editor   #66");
    EXPECT_EQ(PaintedCells(), "#./../.#/");
    Open(2, 2, 8, {0xFF, 0x7F, 0xFE, 0xFF});
    EXPECT_FALSE(IsWindowVisible(Inside().limitField));
    EXPECT_EQ(PaintedCells().substr(0, 3), "#./") << "the top row";
    EXPECT_EQ(PaintedCells().substr(45), ".#/") << "the bottom row";
}

TEST_F(SymbolEditorWindow, DragsDrawAndEraseOnlyInsideTheGrid) {
    Open(3, 1, 8);
    Mouse(WM_LBUTTONDOWN, 5, 75);  // column 0, bottom row
    EXPECT_EQ(Inside().dragMode, 1);
    EXPECT_EQ(GetCapture(), Inside().grid);
    Mouse(WM_MOUSEMOVE, 15, 75);
    Mouse(WM_MOUSEMOVE, 0xFFF0, 75);   // left of the grid
    Mouse(WM_MOUSEMOVE, 25, 0xFFF0);   // above it
    Mouse(WM_MOUSEMOVE, 35, 75);       // right of it
    Mouse(WM_MOUSEMOVE, 25, 5);        // back inside: top row of column 2
    Mouse(WM_LBUTTONUP, 25, 5);
    EXPECT_EQ(Inside().dragMode, 0);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Bytes(), "fe fe 7f ");
    Mouse(WM_MOUSEMOVE, 25, 45);  // no button: nothing
    Mouse(WM_RBUTTONDOWN, 5, 75);
    EXPECT_EQ(Inside().dragMode, 2);
    Mouse(WM_MOUSEMOVE, 15, 75);
    Mouse(WM_RBUTTONUP, 15, 75);
    EXPECT_EQ(Bytes(), "ff ff 7f ");
    EXPECT_EQ(Work().Cell(2, 7), 1);
    EXPECT_EQ(Current().data[2], 0xFF) << "the symbol changes only on OK";
}

TEST_F(SymbolEditorWindow, OkAndEnterWriteBackEverythingElseLeavesTheSymbol) {
    struct Way {
        const char* name;
        std::function<void()> close;
        bool writes;
    };
    const Way ways[] = {
        {"Ok", [this] { SendMessageA(Inside().okButton, BM_CLICK, 0, 0); Pump(); }, true},
        {"Enter", [this] { Key(10003); }, true},
        {"Cancel", [this] { SendMessageA(Inside().cancelButton, BM_CLICK, 0, 0); Pump(); }, false},
        {"Escape", [this] { Key(10004); }, false},
        {"Close edit window", [this] { Menu(2102); }, false},
        {"close box", [this] { SendMessageA(editor_, WM_CLOSE, 0, 0); Pump(); }, false},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        Open(1, 1, 6, {0xFF});
        Press(WM_LBUTTONDOWN, WM_LBUTTONUP, 0, 5);  // bottom row of six
        Key(10000);                                 // Insert: a second column
        way.close();
        EXPECT_FALSE(IsWindowVisible(editor_));
        EXPECT_EQ(Current().width, way.writes ? 2 : 1);
        EXPECT_EQ(Current().data[0], way.writes ? 0xFE : 0xFF);
        EXPECT_EQ(Current().heightLimit, 6);
        LoadSymbolIntoEditor(&Current());
        EXPECT_EQ(Bytes(), way.writes ? "fe ff " : "ff ");
    }
}

TEST_F(SymbolEditorWindow, ShiftButtonsAndArrowKeysMoveTheImageAndRefuseAtTheEdge) {
    Open(2, 1, 5, {0x7E, 0xFF});  // ink in column 0, row 0; bit 7 hidden ink
    Click(Inside().leftButton);
    EXPECT_EQ(Bytes(), "7e ff ") << "ink in column 0 refuses a left shift";
    Key(10005);
    EXPECT_EQ(Bytes(), "7e ff ");
    Click(Inside().rightButton);
    EXPECT_EQ(Bytes(), "7f fe ");
    Click(Inside().upButton);
    Key(10007);
    EXPECT_EQ(Bytes(), "7f fb ");
    Key(10007);
    Key(10007);
    EXPECT_EQ(Bytes(), "7f ef ");
    Key(10007);
    EXPECT_EQ(Bytes(), "7f ef ") << "row 4 is the top of a limit of 5";
    Key(10008);
    Click(Inside().downButton);
    Key(10006);
    EXPECT_EQ(Bytes(), "7f fb ") << "ink in the last column refuses a right shift";
    Key(10005);
    EXPECT_EQ(Bytes(), "7b ff ");
}

TEST_F(SymbolEditorWindow, ColumnsAreAddedBlankAndDroppedAtTheRight) {
    Open(1, 1, 8, {0x00});
    Click(Inside().deleteColumnButton);
    EXPECT_EQ(Bytes(), "00 ") << "one column stays";
    Click(Inside().addColumnButton);
    Press(WM_LBUTTONDOWN, WM_LBUTTONUP, 1, 0);
    EXPECT_EQ(Bytes(), "00 7f ");
    EXPECT_EQ(Text(Inside().widthField), "2");
    Key(10001);
    Key(10000);
    EXPECT_EQ(Bytes(), "00 ff ") << "a dropped column comes back blank";
    EXPECT_EQ(Text(Inside().widthField), "2");
}

TEST_F(SymbolEditorWindow, WindowWidthFollowsTheColumnsAndScrollsAboveNinety) {
    const std::pair<int, int> widths[] = {{37, 385}, {38, 395}, {90, 915}};
    for (auto [columns, windowWidth] : widths) {
        Open(columns, 1, 8);
        EXPECT_EQ(OuterSize(editor_).cx, windowWidth) << columns;
        EXPECT_FALSE(IsWindowVisible(Inside().scrollBar));
        EXPECT_FALSE(Inside().scrollMode);
    }
    Open(91, 1, 8);
    EXPECT_EQ(OuterSize(editor_).cx, 915);
    EXPECT_TRUE(Inside().scrollMode);
    EXPECT_EQ(Inside().gridWidth, 900);
    EXPECT_TRUE(IsWindowVisible(Inside().scrollBar));
    int minimum = -1, maximum = -1;
    SendMessageA(Inside().scrollBar, SBM_GETRANGE, reinterpret_cast<WPARAM>(&minimum), reinterpret_cast<LPARAM>(&maximum));
    EXPECT_EQ(minimum, 0);
    EXPECT_EQ(maximum, 1);

    const HWND bar = Inside().scrollBar;
    auto scroll = [&](WORD code, WORD position = 0) {
        SendMessageA(editor_, WM_HSCROLL, MAKEWPARAM(code, position), reinterpret_cast<LPARAM>(bar));
    };
    Key(10000);  // 92 columns, range 0..2
    scroll(SB_LINERIGHT);
    scroll(SB_PAGERIGHT);
    scroll(SB_RIGHT);
    EXPECT_EQ(Inside().viewOffset, 2);
    Press(WM_LBUTTONDOWN, WM_LBUTTONUP, 89, 7);  // the last column, bottom row
    EXPECT_EQ(Work().Cell(91, 0), 1);
    Key(10000);
    EXPECT_EQ(Inside().viewOffset, 2) << "Add Column keeps the view";
    EXPECT_EQ(SendMessageA(bar, SBM_GETPOS, 0, 0), 2);
    Key(10001);
    Key(10001);
    EXPECT_EQ(Inside().viewOffset, 1) << "Delete Column at the right end moves the view back";
    EXPECT_EQ(SendMessageA(bar, SBM_GETPOS, 0, 0), 1);
    scroll(SB_LEFT);
    scroll(SB_LINELEFT);
    EXPECT_EQ(Inside().viewOffset, 0);
    scroll(SB_THUMBTRACK, 1);
    EXPECT_EQ(Inside().viewOffset, 1);
    scroll(SB_THUMBPOSITION, 500);
    EXPECT_EQ(Inside().viewOffset, 1) << "a position beyond the range is held to it";
    scroll(SB_ENDSCROLL);
    EXPECT_EQ(Inside().viewOffset, 1);
}

TEST_F(SymbolEditorWindow, WidthStopsWhereTheSymbolIsFull) {
    Open(128, 4, 8);
    Key(10000);
    Click(Inside().addColumnButton);
    EXPECT_EQ(Work().ColumnCount(), 128);
    EXPECT_EQ(Text(Inside().widthField), "128");
    Key(10003);
    EXPECT_EQ(Current().width, 128);
}

TEST_F(SymbolEditorWindow, ZeroWidthSymbolIsEditedAsOneColumn) {
    Open(0, 1, 8);
    EXPECT_EQ(Text(Inside().widthField), "1");
    Press(WM_LBUTTONDOWN, WM_LBUTTONUP, 0, 7);
    Key(10003);
    EXPECT_EQ(Current().width, 1);
    EXPECT_EQ(Current().data[0], 0xFE);
}

TEST_F(SymbolEditorWindow, HiddenEditorIgnoresItsCommands) {
    Open(1, 1, 8);
    Key(10004);
    ASSERT_FALSE(IsWindowVisible(editor_));
    Key(10000);
    Key(10003);
    Menu(2101);
    EXPECT_EQ(Work().ColumnCount(), 1);
    EXPECT_EQ(Current().width, 1);
}

TEST_F(SymbolEditorWindow, DetachedEditorNeverWritesThroughTheOldSymbol) {
    Open(1, 1, 8);
    Press(WM_LBUTTONDOWN, WM_LBUTTONUP, 0, 0);
    DetachSymbolEditor();
    EXPECT_FALSE(IsWindowVisible(editor_));
    EXPECT_EQ(Inside().editedSymbol, nullptr);
    ShowWindow(editor_, SW_SHOW);
    SendMessageA(Inside().okButton, BM_CLICK, 0, 0);
    Pump();
    EXPECT_EQ(Current().data[0], 0xFF);
}

// Each stroke, shift, column and import is one step of the session, undone
// and redone in turn by Ctrl+Z / Ctrl+Y and by the buttons; OK writes what
// is shown, and a new load starts afresh.
TEST_F(SymbolEditorWindow, EachEditIsOneStepUndoneAndRedoneInTurn) {
    Open(2, 1, 8, {0xFF, 0xFF});
    EXPECT_FALSE(IsWindowEnabled(Inside().undoButton));
    EXPECT_FALSE(IsWindowEnabled(Inside().redoButton));
    std::vector<std::pair<std::string, std::string>> states{{Bytes(), Text(Inside().widthField)}};
    auto kept = [&] { states.push_back({Bytes(), Text(Inside().widthField)}); };
    Mouse(WM_LBUTTONDOWN, 5, 75);  // a stroke over two cells
    Mouse(WM_MOUSEMOVE, 15, 75);
    Mouse(WM_LBUTTONUP, 15, 75);
    kept();
    Key(10005);  // refused: ink in column 0, no step
    Click(Inside().upButton);
    kept();
    Key(10000);
    kept();
    Press(WM_RBUTTONDOWN, WM_RBUTTONUP, 0, 6);  // an erasing click
    kept();
    Click(Inside().deleteColumnButton);
    kept();
    ASSERT_EQ(states.back().first, "ff fd ");

    for (size_t i = states.size() - 1; i > 0; --i) {
        EXPECT_TRUE(IsWindowEnabled(Inside().undoButton));
        Key(kUndoCommand);
        EXPECT_EQ(Bytes(), states[i - 1].first) << "undo to " << i - 1;
        EXPECT_EQ(Text(Inside().widthField), states[i - 1].second);
    }
    EXPECT_FALSE(IsWindowEnabled(Inside().undoButton));
    for (size_t i = 1; i < states.size(); ++i) {
        Click(Inside().redoButton);
        EXPECT_EQ(Bytes(), states[i].first) << "redo to " << i;
    }
    EXPECT_FALSE(IsWindowEnabled(Inside().redoButton));
    Click(Inside().undoButton);
    Click(Inside().undoButton);
    Key(kRedoCommand);
    SendMessageA(Inside().okButton, BM_CLICK, 0, 0);
    Pump();
    EXPECT_EQ(Current().width, 3) << "OK writes the state shown";
    EXPECT_EQ(Current().data[0], 0xFF);
    EXPECT_EQ(Current().data[1], 0xFD);

    Open(1, 1, 8);
    EXPECT_FALSE(IsWindowEnabled(Inside().undoButton)) << "a load starts a new session";
    Key(kUndoCommand);
    EXPECT_EQ(Bytes(), "ff ");
}

// --- the file import ---

class BitmapFileImport : public SymbolEditorWindow {
protected:
    void Import(const std::vector<uint8_t>& file, const char* extension = ".bmp") {
        char directory[MAX_PATH];
        GetTempPathA(sizeof directory, directory);
        ChosenFile = std::string(directory) + "symed_import_test" + extension;
        std::FILE* out = std::fopen(ChosenFile.c_str(), "wb");
        ASSERT_NE(out, nullptr);
        std::fwrite(file.data(), 1, file.size(), out);
        std::fclose(out);
        Key(2100);  // Ctrl+O
        std::remove(ChosenFile.c_str());
    }
};

const std::vector<std::string> kGlyph = {
    "#...#",
    ".#.#.",
    "..#..",
};

TEST_F(BitmapFileImport, AnImportIsOneStep) {
    Open(7, 1, 8, {0, 0, 0, 0, 0, 0, 0});
    Import(MakeBmp(kGlyph));
    ASSERT_EQ(Bytes(), "7f bf df bf 7f ");
    Key(kUndoCommand);
    EXPECT_EQ(Bytes(), "00 00 00 00 00 00 00 ");
    EXPECT_EQ(Text(Inside().widthField), "7");
    Key(kRedoCommand);
    EXPECT_EQ(Bytes(), "7f bf df bf 7f ");
}

TEST_F(BitmapFileImport, MonoAndTrueColourFilesBothOrientationsLandTopLeft) {
    for (BmpOptions options : {BmpOptions{1, false}, BmpOptions{1, true}, BmpOptions{24, false}, BmpOptions{24, true}}) {
        SCOPED_TRACE(testing::Message() << options.bitCount << " bits top-down " << options.topDown);
        Open(7, 1, 8, {0, 0, 0, 0, 0, 0, 0});
        Import(MakeBmp(kGlyph, options));
        EXPECT_EQ(MessageCount, 0) << LastMessage;
        EXPECT_EQ(Text(Inside().widthField), "5");
        // Rows 7, 6, 5 from the bottom hold the glyph: bits 7-5 of each byte.
        EXPECT_EQ(Bytes(), "7f bf df bf 7f ");
        EXPECT_EQ(Current().width, 7) << "the symbol waits for OK";
    }
}

// The glyph as RLE8 and as 32 bits under a V5 header with a transparent black
// ground: the file is read in parts (headers, masks or colour table, pixels).
TEST_F(BitmapFileImport, RunLengthAndAlphaFilesLandTopLeft) {
    std::vector<uint8_t> stream;
    for (auto row = kGlyph.rbegin(); row != kGlyph.rend(); ++row) {
        for (char pixel : *row) stream.insert(stream.end(), {1, static_cast<uint8_t>(pixel == '#' ? 0 : 1)});
        stream.insert(stream.end(), {0, 0});
    }
    stream.insert(stream.end(), {0, 1});
    std::vector<uint8_t> argb;
    for (auto row = kGlyph.rbegin(); row != kGlyph.rend(); ++row) {
        for (char pixel : *row) argb.insert(argb.end(), {0, 0, 0, static_cast<uint8_t>(pixel == '#' ? 0xFF : 0)});
    }
    const std::vector<uint8_t> files[] = {
        AssembleBmp({40, 5, 3, 8, 1, {}, {}, BlackWhiteTable(), stream}),
        AssembleBmp({124, 5, 3, 32, 3, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, {}, {}, argb}),
    };
    for (const std::vector<uint8_t>& file : files) {
        Open(7, 1, 8, {0, 0, 0, 0, 0, 0, 0});
        Import(file);
        EXPECT_EQ(MessageCount, 0) << LastMessage;
        EXPECT_EQ(Bytes(), "7f bf df bf 7f ");
    }
}

TEST_F(BitmapFileImport, PictureInATallSymbolFillsTheTopRows) {
    Open(2, 2, 8);
    Import(MakeBmp(BlankPicture(10, 5)));
    ASSERT_EQ(MessageCount, 0) << LastMessage;
    EXPECT_EQ(Work().ColumnCount(), 10);
    std::vector<std::string> picture = BlankPicture(10, 5);
    picture[0][9] = '#';
    Import(MakeBmp(picture));
    EXPECT_EQ(Work().Cell(9, 15), 1);
    EXPECT_EQ(Work().Cell(9, 10), 0);
}

TEST_F(BitmapFileImport, LimitsAreInclusiveAndReportedHeightFirst) {
    Open(3, 2, 8);
    Import(MakeBmp(BlankPicture(128, 16)));
    EXPECT_EQ(MessageCount, 0);
    EXPECT_EQ(Work().ColumnCount(), 128);
    EXPECT_TRUE(Inside().scrollMode);
    EXPECT_EQ(Inside().viewOffset, 0);

    Open(3, 2, 8);
    Import(MakeBmp(BlankPicture(129, 16)));
    EXPECT_EQ(LastMessage, "Bitmap width is larger than 128 pixels");
    EXPECT_EQ(LastCaption, "Error");
    Import(MakeBmp(BlankPicture(10, 17)));
    EXPECT_EQ(LastMessage, "Bitmap height is larger than grid height");
    LastMessage.clear();
    Import(MakeBmp(BlankPicture(129, 17), {1, true}));
    EXPECT_EQ(LastMessage, "Bitmap height is larger than grid height");
    EXPECT_EQ(MessageCount, 3);
    EXPECT_EQ(Work().ColumnCount(), 3);

    Open(1, 1, 5);
    Import(MakeBmp(BlankPicture(2, 6)));
    EXPECT_EQ(LastMessage, "Bitmap height is larger than grid height");
    Import(MakeBmp(BlankPicture(2, 5)));
    EXPECT_EQ(Work().ColumnCount(), 2);
}

TEST_F(BitmapFileImport, CancelledDialogAndDamagedFilesChangeNothing) {
    Open(2, 1, 8, {0x00, 0x0F});
    DialogCancelled = true;
    Import(MakeBmp(kGlyph));
    EXPECT_EQ(MessageCount, 0);
    EXPECT_EQ(Bytes(), "00 0f ");
    DialogCancelled = false;

    std::vector<uint8_t> damaged = MakeBmp(kGlyph);
    PutU32(damaged, 14, 100);  // biSize
    Import(damaged);
    EXPECT_EQ(LastCaption, "Error");
    EXPECT_EQ(LastMessage, "The bitmap's info header has a size of no known kind.");
    damaged = MakeBmp(kGlyph);
    damaged.resize(damaged.size() - 4);  // into the last row's pixels, not only its padding
    Import(damaged);
    EXPECT_EQ(MessageCount, 2);
    EXPECT_EQ(Bytes(), "00 0f ");
    EXPECT_EQ(Text(Inside().widthField), "2");
}

// --- the clipboard import ---

// A device bitmap of width x height in background, with a black square of 2 x 2 at its top-left.
HBITMAP MakeDeviceBitmap(int width, int height, COLORREF background) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    HBRUSH fill = CreateSolidBrush(background);
    RECT all{0, 0, width, height};
    FillRect(dc, &all, fill);
    RECT square{0, 0, 2, 2};
    FillRect(dc, &square, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SelectObject(dc, previous);
    DeleteObject(fill);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

class ClipboardImport : public SymbolEditorWindow {
protected:
    void Put(HBITMAP bitmap, bool withText = false) {
        ASSERT_TRUE(OpenClipboard(owner_));
        EmptyClipboard();
        SetClipboardData(CF_BITMAP, bitmap);
        if (withText) {
            HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, 4 * sizeof(wchar_t));
            wcscpy(static_cast<wchar_t*>(GlobalLock(text)), L"abc");
            GlobalUnlock(text);
            SetClipboardData(CF_UNICODETEXT, text);
        }
        CloseClipboard();
    }
};

TEST_F(ClipboardImport, BitmapOnTheClipboardIsImportedByControlV) {
    Open(1, 1, 8);
    Put(MakeDeviceBitmap(4, 3, RGB(255, 255, 255)));
    ASSERT_TRUE(IsClipboardFormatAvailable(CF_DIB));
    Key(2101);  // Ctrl+V
    EXPECT_EQ(MessageCount, 0) << LastMessage;
    EXPECT_EQ(Bytes(), "3f 3f ff ff ");
}

TEST_F(ClipboardImport, LightGreyBackgroundImportsAsSolidInk) {
    Open(1, 1, 8);
    Put(MakeDeviceBitmap(3, 2, RGB(250, 250, 250)));
    Menu(2101);
    EXPECT_EQ(Bytes(), "3f 3f 3f ");
}

TEST_F(ClipboardImport, TextBesideThePictureRefusesTheImport) {
    Open(1, 1, 8);
    Put(MakeDeviceBitmap(4, 3, RGB(255, 255, 255)), true);
    Key(2101);
    EXPECT_EQ(Bytes(), "ff ");
    EXPECT_EQ(MessageCount, 0);
}

TEST_F(ClipboardImport, LimitsAreReported) {
    Open(1, 1, 8);
    Put(MakeDeviceBitmap(4, 9, RGB(255, 255, 255)));
    Key(2101);
    EXPECT_EQ(LastMessage, "Bitmap height is larger than grid height");
    Put(MakeDeviceBitmap(129, 8, RGB(255, 255, 255)));
    Key(2101);
    EXPECT_EQ(LastMessage, "Bitmap width is larger than 128 pixels");
    EXPECT_EQ(Bytes(), "ff ");
}

TEST_F(ClipboardImport, ClipboardHeldElsewhereChangesNothing) {
    Open(1, 1, 8);
    Put(MakeDeviceBitmap(4, 3, RGB(255, 255, 255)));
    HANDLE opened = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        OpenClipboard(nullptr);
        SetEvent(opened);
        WaitForSingleObject(release, 10000);
        CloseClipboard();
    });
    WaitForSingleObject(opened, 10000);
    Key(2101);
    SetEvent(release);
    holder.join();
    CloseHandle(opened);
    CloseHandle(release);
    EXPECT_EQ(Bytes(), "ff ");
    EXPECT_EQ(MessageCount, 0);
}

TEST_F(ClipboardImport, EmptyClipboardChangesNothing) {
    Open(1, 1, 8);
    ASSERT_TRUE(OpenClipboard(owner_));
    EmptyClipboard();
    CloseClipboard();
    Key(2101);
    EXPECT_EQ(Bytes(), "ff ");
}

}  // namespace

namespace {

// Painting the grid and importing from a file and from the clipboard, also
// when an import is refused, leave no GDI object behind.
TEST_F(ClipboardImport, PaintingAndImportsLeakNoGdiObjects) {
    char directory[MAX_PATH];
    GetTempPathA(sizeof directory, directory);
    ChosenFile = std::string(directory) + "symed_leak_test.bmp";
    const std::vector<uint8_t> picture = MakeBmp(kGlyph, BmpOptions{24, false});
    std::FILE* out = std::fopen(ChosenFile.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    std::fwrite(picture.data(), 1, picture.size(), out);
    std::fclose(out);

    Open(95, 1, 8);  // the scroll bar is shown too
    auto round = [&] {
        Key(10006);  // a shift repaints the editor and its grid
        UpdateWindow(editor_);
        UpdateWindow(Inside().grid);
        Key(2100);
        Put(MakeDeviceBitmap(4, 3, RGB(255, 255, 255)));
        Key(2101);
        Put(MakeDeviceBitmap(200, 3, RGB(255, 255, 255)));  // refused: too wide
        Key(2101);
        Pump();
    };
    round();
    const DWORD first = GdiObjectCount();
    for (int i = 0; i < 50; ++i) round();
    std::remove(ChosenFile.c_str());
    EXPECT_EQ(GdiObjectCount(), first);
    EXPECT_EQ(LastMessage, "Bitmap width is larger than 128 pixels");
}

}  // namespace

namespace {

// --- PNG pictures, from files and the clipboard ---

// A PNG that write-png-pictures had ImageMagick or Pillow write before this
// test, and what it shows as Pillow reads it: rows of '#' (ink) and '.', the
// top row first.
std::vector<uint8_t> PngFile(const std::string& name) {
    std::ifstream in(PNG_PICTURES + name + ".png", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::string> ShownBy(const std::string& name) {
    std::ifstream in(PNG_PICTURES + name + ".txt");
    std::vector<std::string> rows;
    for (std::string row; std::getline(in, row);) rows.push_back(row);
    return rows;
}

class PngImport : public BitmapFileImport {
protected:
    // Whether the working copy shows rows on the top of its grid and nothing below them.
    testing::AssertionResult Shows(const std::vector<std::string>& rows) const {
        if (rows.empty()) return testing::AssertionFailure() << "no picture";
        const SymbolWorkCopy& work = Work();
        if (work.ColumnCount() != static_cast<int>(rows[0].size()))
            return testing::AssertionFailure() << work.ColumnCount() << " columns";
        for (int y = 0; y < work.RowCount(); ++y) {
            for (int x = 0; x < work.ColumnCount(); ++x) {
                const int ink = y < static_cast<int>(rows.size()) && rows[y][x] == '#';
                if (work.Cell(x, work.RowCount() - 1 - y) != ink)
                    return testing::AssertionFailure() << "pixel " << x << ", " << y << " is not " << ink;
            }
        }
        return testing::AssertionSuccess();
    }

    // Puts png on the clipboard under the name browsers use, with bitmap beside it.
    void PutPng(const std::vector<uint8_t>& png, HBITMAP bitmap) {
        ASSERT_TRUE(OpenClipboard(owner_));
        EmptyClipboard();
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, png.size());
        std::copy(png.begin(), png.end(), static_cast<uint8_t*>(GlobalLock(block)));
        GlobalUnlock(block);
        SetClipboardData(RegisterClipboardFormatA("PNG"), block);
        SetClipboardData(CF_BITMAP, bitmap);
        CloseClipboard();
    }
};

const char* const kPngKinds[] = {"magick-grey1", "pillow-grey1",        "pillow-grey8",       "magick-rgba",
                                 "pillow-rgba",  "magick-palette-trns", "pillow-palette-trns"};

TEST_F(PngImport, FilesOfEveryKindShowTheirInkAndAreOneStepOrRefused) {
    for (const char* kind : kPngKinds) {
        SCOPED_TRACE(kind);
        Open(1, 2, 8);
        Import(PngFile(kind), ".png");
        EXPECT_EQ(MessageCount, 0) << LastMessage;
        EXPECT_TRUE(Shows(ShownBy(kind)));
    }
    Key(kUndoCommand);
    EXPECT_EQ(Work().ColumnCount(), 1);
    Key(kRedoCommand);
    EXPECT_TRUE(Shows(ShownBy(kPngKinds[6])));

    const std::string before = Bytes();
    std::vector<uint8_t> damaged = PngFile("pillow-rgba");
    damaged.resize(damaged.size() - 20);  // IEND and the end of IDAT
    Import(damaged, ".png");
    EXPECT_EQ(LastCaption, "Error");
    EXPECT_EQ(LastMessage, "The PNG file is damaged and cannot be imported.");
    EXPECT_EQ(Bytes(), before);
    Open(1, 1, 8);
    Import(PngFile("pillow-grey8"), ".png");
    EXPECT_EQ(LastMessage, "Bitmap height is larger than grid height");
    EXPECT_EQ(MessageCount, 2);
    EXPECT_EQ(Bytes(), "ff ");
}

// A black bitmap beside the PNG: were it taken, every cell would be ink.
TEST_F(PngImport, ClipboardPngIsPreferredToTheBitmapAndKeepsTransparency) {
    Open(1, 2, 8);
    const std::vector<uint8_t> png = PngFile("pillow-rgba");
    const std::vector<std::string> shown = ShownBy("pillow-rgba");
    const int width = static_cast<int>(shown[0].size()), height = static_cast<int>(shown.size());
    PutPng(png, MakeDeviceBitmap(width, height, RGB(0, 0, 0)));
    Key(2101);
    EXPECT_EQ(MessageCount, 0) << LastMessage;
    EXPECT_TRUE(Shows(shown));

    PutPng({png.begin(), png.begin() + png.size() / 2}, MakeDeviceBitmap(width, height, RGB(0, 0, 0)));
    Key(2101);
    EXPECT_EQ(LastMessage, "The PNG file is damaged and cannot be imported.");
    EXPECT_TRUE(Shows(shown));
}

}  // namespace
