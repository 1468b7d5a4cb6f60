// The "Font Send" window in process under Wine: layout, defaults, the
// command line, the enabling rules and the status line of the refusals.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "Protocol.h"
#include "SenderWindow_win.h"
#include "UiSeam.h"

namespace {

std::string Text(HWND control) {
    char text[64] = {};
    GetWindowTextA(control, text, sizeof text);
    return text;
}

std::string BoxItem(HWND box, int index) {
    char text[32] = {};
    SendMessageA(box, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    return text;
}

RECT ChildRect(HWND parent, HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void Click(HWND button) {
    SendMessageA(GetParent(button), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

std::string ChosenFile;
BOOL AnswerDialog(OPENFILENAMEA* request) {
    EXPECT_STREQ(request->lpstrTitle, "Open BIN File");
    EXPECT_EQ(request->nMaxFile, 260u);
    EXPECT_EQ(request->Flags, static_cast<DWORD>(OFN_HIDEREADONLY));
    EXPECT_EQ(std::string(request->lpstrFilter), "Flash Image(*.bin)");
    if (ChosenFile.empty()) return FALSE;
    std::snprintf(request->lpstrFile, request->nMaxFile, "%s", ChosenFile.c_str());
    return TRUE;
}

class SenderWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(RegisterSenderClass(GetModuleHandleA(nullptr))); }
    void SetUp() override {
        window_ = CreateSenderWindow(GetModuleHandleA(nullptr));
        ASSERT_NE(window_, nullptr);
        Ui().getOpenFileName = AnswerDialog;
    }
    void TearDown() override {
        DestroyWindow(window_);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {}
        RestoreRealUi();
    }
    HWND window_ = nullptr;
};

TEST_F(SenderWindowTest, HasItsControlsWhereTheyBelongWithTheirDefaults) {
    const SenderView view = CurrentSenderView();
    char className[32] = {};
    GetClassNameA(window_, className, sizeof className);
    EXPECT_STREQ(className, "Glysend");
    EXPECT_EQ(Text(window_), "Font Send");
    RECT frame{};
    GetWindowRect(window_, &frame);
    EXPECT_EQ(frame.left, 350);
    EXPECT_EQ(frame.top, 150);
    EXPECT_EQ(frame.right - frame.left, 215);
    EXPECT_EQ(frame.bottom - frame.top, 180);
    const LONG style = GetWindowLongA(window_, GWL_STYLE);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);

    EXPECT_EQ(ChildRect(window_, view.fileButton).left, 8);
    EXPECT_EQ(ChildRect(window_, view.fileButton).top, 65);
    EXPECT_EQ(ChildRect(window_, view.readButton).left, 107);
    EXPECT_EQ(ChildRect(window_, view.readButton).top, 120);
    EXPECT_EQ(ChildRect(window_, view.speedBox).left, 120);
    EXPECT_EQ(Text(view.fileButton), "File Select");
    EXPECT_EQ(Text(view.sendButton), "Send");
    EXPECT_EQ(Text(view.readButton), "Read");

    ASSERT_EQ(SendMessageA(view.portBox, CB_GETCOUNT, 0, 0), 6);
    EXPECT_EQ(BoxItem(view.portBox, 0), "1");
    EXPECT_EQ(BoxItem(view.portBox, 5), "6");
    EXPECT_EQ(SendMessageA(view.portBox, CB_GETCURSEL, 0, 0), 0);
    ASSERT_EQ(SendMessageA(view.speedBox, CB_GETCOUNT, 0, 0), 6);
    const char* speeds[] = {"2400", "4800", "9600", "19200", "57600", "115200"};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(BoxItem(view.speedBox, i), speeds[i]);
    EXPECT_EQ(SendMessageA(view.speedBox, CB_GETCURSEL, 0, 0), 2);

    EXPECT_TRUE(IsWindowEnabled(view.fileButton));
    EXPECT_FALSE(IsWindowEnabled(view.sendButton));
    EXPECT_FALSE(IsWindowEnabled(view.readButton));
    EXPECT_TRUE(view.filePath.empty());
    EXPECT_TRUE(view.statusText.empty());
}

TEST_F(SenderWindowTest, CommandLineEnablesSendOnlyAndAMissingFileIsRefused) {
    TakeCommandLine("glysend.exe -fn:\"C:\\Temp\\no such folder\\current.bin\"");
    SenderView view = CurrentSenderView();
    EXPECT_EQ(view.filePath, "C:\\Temp\\no such folder\\current.bin");
    EXPECT_EQ(view.displayName, "current.bin");
    EXPECT_TRUE(IsWindowEnabled(view.sendButton));
    EXPECT_FALSE(IsWindowEnabled(view.readButton));

    Click(view.sendButton);
    view = CurrentSenderView();
    EXPECT_EQ(view.statusText, "Can't open file");
    EXPECT_TRUE(view.statusBox);
    EXPECT_EQ(view.statusColour, static_cast<COLORREF>(kRed));
    EXPECT_TRUE(IsWindowEnabled(view.fileButton));
    EXPECT_FALSE(IsWindowEnabled(view.readButton));
}

TEST_F(SenderWindowTest, FileSelectCancelledKeepsTheFileButClearsTheStatus) {
    TakeCommandLine("glysend.exe -fn:a.bin");
    Click(CurrentSenderView().sendButton);
    ASSERT_EQ(CurrentSenderView().statusText, "Can't open file");
    ChosenFile.clear();
    Click(CurrentSenderView().fileButton);
    const SenderView view = CurrentSenderView();
    EXPECT_EQ(view.filePath, "a.bin");
    EXPECT_EQ(view.displayName, "a.bin");
    EXPECT_TRUE(view.statusText.empty());
    EXPECT_FALSE(view.statusBox);
}

TEST_F(SenderWindowTest, AChosenFileEnablesBothAndAMissingPortIsShownOnRed) {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    ChosenFile = std::string(folder) + "glysend-window-test.bin";
    if (std::FILE* file = std::fopen(ChosenFile.c_str(), "wb")) {
        std::fputs("short image", file);
        std::fclose(file);
    }
    Click(CurrentSenderView().fileButton);
    SenderView view = CurrentSenderView();
    EXPECT_EQ(view.displayName, "glysend-window-test.bin");
    EXPECT_TRUE(IsWindowEnabled(view.sendButton));
    EXPECT_TRUE(IsWindowEnabled(view.readButton));

    SendMessageA(view.portBox, CB_SETCURSEL, 5, 0);  // COM6: not there
    Click(view.sendButton);
    view = CurrentSenderView();
    EXPECT_EQ(view.statusText, "Port init error");
    EXPECT_EQ(view.statusColour, static_cast<COLORREF>(kRed));
    for (HWND control : {view.portBox, view.speedBox, view.fileButton, view.sendButton, view.readButton}) {
        EXPECT_TRUE(IsWindowEnabled(control));
    }
    Click(view.readButton);
    EXPECT_EQ(CurrentSenderView().statusText, "Port init error");
    std::remove(ChosenFile.c_str());
}

}  // namespace
