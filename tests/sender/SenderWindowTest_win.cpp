// The "Font Send" window in process under Wine: layout, defaults, the
// command line, the enabling rules, the status line of the refusals, and
// transfers against the printer emulator on COM1, which goes silent after
// page 1 of every exchange; and the link on COM1 when its listener cannot
// start.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "Protocol.h"
#include "ScopedWin.h"
#include "SenderWindow_win.h"
#include "SerialLink_win.h"
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

// Handles the thread's messages, as the program's loop would, until done()
// holds or the time is up.
template <typename Done>
bool PumpUntil(Done done, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > milliseconds) return false;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    return true;
}

// The transfer is over for good: no port held, no listener left.
void ExpectLinkIdle() {
    const SenderView view = CurrentSenderView();
    EXPECT_FALSE(view.portOpen);
    EXPECT_EQ(view.runningListeners, 0u);
}

std::string TempFile(const char* name, const std::string& content) {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + name;
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
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

TEST_F(SenderWindowTest, ASilentPrinterEndsTheTransmissionWithNoAnswerAndFreesThePort) {
    // Zeros: no byte of the pages can pass for a handshake the printer would
    // answer once it has gone silent.
    ChosenFile = TempFile("glysend-silent.bin", std::string(kImageSize, '\0'));
    Click(CurrentSenderView().fileButton);
    Click(CurrentSenderView().sendButton);
    ASSERT_TRUE(PumpUntil([] { return CurrentSenderView().statusText == "Page 2"; }, 5000));
    // Page 2 has no answer: the limit is 5 s after it has left, 0.5 s at 9600 baud.
    ASSERT_TRUE(PumpUntil([] { return CurrentSenderView().statusText == "No answer"; }, 10000))
        << CurrentSenderView().statusText;
    const SenderView view = CurrentSenderView();
    EXPECT_TRUE(view.statusBox);
    EXPECT_EQ(view.statusColour, static_cast<COLORREF>(kRed));
    for (HWND control : {view.portBox, view.speedBox, view.fileButton, view.sendButton, view.readButton}) {
        EXPECT_TRUE(IsWindowEnabled(control));
    }
    EXPECT_FALSE(view.portOpen);
    // The listener ends at its next look.
    EXPECT_TRUE(PumpUntil([] { return CurrentSenderView().runningListeners == 0; }, 1000));
    std::remove(ChosenFile.c_str());
}

TEST_F(SenderWindowTest, ClosingDuringATransferEndsItCleanly) {
    // A transmission whose listener is blocked handing over the first echo:
    // this thread does not look at its messages before the window closes.
    ChosenFile = TempFile("glysend-close.bin", std::string(kImageSize, '\0'));
    Click(CurrentSenderView().fileButton);
    Click(CurrentSenderView().sendButton);
    Sleep(700);
    ASSERT_TRUE(CurrentSenderView().portOpen);
    DestroyWindow(window_);
    ExpectLinkIdle();
    std::remove(ChosenFile.c_str());

    // A reception with two pages in: the file keeps its content, and nothing
    // is left beside it.
    window_ = CreateSenderWindow(GetModuleHandleA(nullptr));
    ChosenFile = TempFile("glysend-close-read.bin", "old content");
    Click(CurrentSenderView().fileButton);
    Click(CurrentSenderView().readButton);
    ASSERT_TRUE(PumpUntil([] { return CurrentSenderView().statusText == "Page 2"; }, 5000));
    DestroyWindow(window_);
    ExpectLinkIdle();
    EXPECT_EQ(ReadAll(ChosenFile), "old content");
    WIN32_FIND_DATAA found;
    const HANDLE temporary = FindFirstFileA((ChosenFile + ".*.tmp").c_str(), &found);
    EXPECT_EQ(temporary, INVALID_HANDLE_VALUE);
    if (temporary != INVALID_HANDLE_VALUE) FindClose(temporary);
    std::remove(ChosenFile.c_str());
}

// The link's window operations, as the link last called them.
struct LinkWindow : SenderWindow {
    std::string status;
    uint32_t colour = 0;
    bool controlsEnabled = false;
    void SetStatus(const std::string& text, StatusBox, uint32_t boxColour) override {
        status = text;
        colour = boxColour;
    }
    void EnableControls(bool enable) override { controlsEnabled = enable; }
};

HANDLE WINAPI NoThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE, LPVOID, DWORD, LPDWORD) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
}

TEST(SerialLink, AListenerThatCannotStartFailsTheOpenAndFreesThePort) {
    LinkWindow window;
    Win32SerialLink link(window, NoThread);
    const ListenerRoutine listener{TransferKind::Transmit, 250, [](const HandOver&) {}};
    EXPECT_EQ(link.OpenPort(1, 2, kTransmitQueueSize, listener), PortResult::kNoListener);
    EXPECT_EQ(window.status, "PorT IniT Error");
    EXPECT_EQ(window.colour, static_cast<uint32_t>(kRed));
    EXPECT_TRUE(window.controlsEnabled);
    EXPECT_FALSE(link.IsOpen());
    EXPECT_EQ(link.RunningListeners(), 0u);
    // Nothing is left holding COM1, which allows one holder only.
    const ScopedHandle port(CreateFileA("\\\\.\\COM1", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_OVERLAPPED, nullptr));
    EXPECT_TRUE(port);
}

}  // namespace
