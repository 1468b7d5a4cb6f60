// The text preview: Font > "Preview..." and the line as the printer prints
// it, read back from a memory DC, following the text and the font.
#include <windows.h>

#include "EditorTestSupport.h"
#include "ScopedWin.h"

namespace {

class TextPreviewTest : public EditorWindowTest {
protected:
    void SetUp() override {
        EditorWindowTest::SetUp();
        StartEditorHere();
        // Font 0: 'A' 3 columns of solid ink, 1 byte high, 8 rows printed.
        Script().fileNames = {WriteImage("preview.bin", {1})};
        Menu(kCommandOpen);
        ASSERT_NE(Document(), nullptr);
    }

    // Which dots of a line drawn at scale from top are ink, read along its
    // middle row: '#' ink, '.' paper.
    static std::string Row(HDC dc, int top, int scale, int dots) {
        std::string row;
        for (int x = 0; x < dots; ++x) row += GetPixel(dc, 10 + scale * x + scale / 2, top + 4 * scale) == 0 ? '#' : '.';
        return row;
    }
};

// A 32-bit memory DC of the preview's client size.
class Canvas {
public:
    Canvas() {
        ScopedWindowDC screen(nullptr);
        dc_.Reset(CreateCompatibleDC(screen.Get()));
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), 760, 330, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        bitmap_.Reset(CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        previous_ = SelectObject(dc_.Get(), bitmap_.Get());
    }
    ~Canvas() { SelectObject(dc_.Get(), previous_); }
    HDC Get() const { return dc_.Get(); }

private:
    ScopedMemoryDC dc_;
    ScopedBitmap bitmap_;
    HGDIOBJ previous_ = nullptr;
};

TEST_F(TextPreviewTest, ShowsTheLineAsPrintedAndFollowsTheTextAndTheFont) {
    ASSERT_TRUE(MenuEnabled(kCommandPreview));
    Menu(kCommandPreview);
    ASSERT_NE(TextPreviewWindow(), nullptr);
    EXPECT_TRUE(IsWindowVisible(TextPreviewWindow()));
    EXPECT_EQ(Text(TextPreviewWindow()), "Preview");
    EXPECT_EQ(GetWindow(TextPreviewWindow(), GW_OWNER), main_);

    Canvas canvas;
    SetWindowTextA(TextPreviewField(), "AbA");  // 'b' is a blank column
    DrawTextPreviewLines(canvas.Get());
    EXPECT_EQ(Row(canvas.Get(), 44, 2, 12), "###...###...") << "the interval of 1 after each symbol";
    EXPECT_EQ(Row(canvas.Get(), 118, 6, 12), "###...###...");

    Type(IntervalField(), "3");
    Click(Button(632, 180));
    DrawTextPreviewLines(canvas.Get());
    EXPECT_EQ(Row(canvas.Get(), 44, 2, 16), "###.......###...");
    Menu(kCommandUndo);
    DrawTextPreviewLines(canvas.Get());
    EXPECT_EQ(Row(canvas.Get(), 44, 2, 12), "###...###...");

    // Closing hides it; it comes back with its text.
    SendMessageA(TextPreviewWindow(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(TextPreviewWindow()));
    Menu(kCommandPreview);
    EXPECT_EQ(Text(TextPreviewField()), "AbA");
}

// The large line is cut at the window's edge; its scroll bar shows the rest.
TEST_F(TextPreviewTest, LargeLineScrollsToItsEndAndEscapeCloses) {
    Menu(kCommandPreview);
    const std::string forty(40, 'A');  // 40 x 3 columns and 39 gaps: 159 dots
    SetWindowTextA(TextPreviewField(), forty.c_str());
    SCROLLINFO bar{};
    bar.cbSize = sizeof bar;
    bar.fMask = SIF_ALL;
    GetScrollInfo(TextPreviewWindow(), SB_HORZ, &bar);
    EXPECT_EQ(bar.nMax, 158);
    EXPECT_EQ(bar.nPage, 123u);  // 740 pixels of 6
    EXPECT_EQ(bar.nPos, 0);

    // From dot first on: ink but in every fourth column.
    const auto dotsFrom = [](int first, int count) {
        std::string dots;
        for (int d = first; d < first + count; ++d) dots += d < 159 && d % 4 != 3 ? '#' : '.';
        return dots;
    };
    Canvas canvas;
    const struct {
        WORD code;
        int first;
    } moves[] = {{SB_RIGHT, 36}, {SB_LINELEFT, 28}, {SB_PAGERIGHT, 36}, {SB_LEFT, 0}, {SB_LINERIGHT, 8}};
    for (const auto& move : moves) {
        SendMessageA(TextPreviewWindow(), WM_HSCROLL, move.code, 0);
        GetScrollInfo(TextPreviewWindow(), SB_HORZ, &bar);
        EXPECT_EQ(bar.nPos, move.first) << move.code;
        DrawTextPreviewLines(canvas.Get());
        EXPECT_EQ(Row(canvas.Get(), 118, 6, 123), dotsFrom(move.first, 123)) << move.code;
        EXPECT_EQ(Row(canvas.Get(), 44, 2, 159), dotsFrom(0, 159)) << "the small line stands";
    }
    SetWindowTextA(TextPreviewField(), "AA");
    GetScrollInfo(TextPreviewWindow(), SB_HORZ, &bar);
    EXPECT_EQ(bar.nPos, 0) << "a line that fits is shown from its start";

    // Escape in the field, which has the focus, closes the window; the main
    // loop leaves the field's keys untranslated.
    EXPECT_EQ(GetFocus(), TextPreviewField());
    MSG escape{TextPreviewField(), WM_KEYDOWN, VK_ESCAPE, 0x00010001, 0, {0, 0}};
    EXPECT_TRUE(IsForTextPreviewField(escape));
    SendMessageA(TextPreviewField(), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    EXPECT_FALSE(IsWindowVisible(TextPreviewWindow()));
}

}  // namespace
