#include "SenderWindow_win.h"

#include <commdlg.h>

#include <memory>
#include <optional>

#include "SenderCommandLine.h"
#include "FileDialog_win.h"
#include "GlysendIds.h"
#include "Protocol.h"
#include "ScopedWin.h"
#include "SerialLink_win.h"
#include "WindowClass_win.h"

namespace {

constexpr char kClassName[] = "Glysend";
constexpr DWORD kWindowStyle = WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kBoxStyle = WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST;
constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE;
constexpr const char* kPortNames[] = {"1", "2", "3", "4", "5", "6"};
constexpr const char* kSpeedNames[] = {"2400", "4800", "9600", "19200", "57600", "115200"};
constexpr int kDefaultSpeed = 2;  // 9600

// The window's side of the protocols: status line and controls.
class WindowHooks : public SenderWindow {
public:
    void SetStatus(const std::string& text, StatusBox box, uint32_t colour) override;
    void EnableControls(bool enable) override;
};

struct SenderState {
    HWND window = nullptr;
    HWND portBox = nullptr, speedBox = nullptr;
    HWND fileButton = nullptr, sendButton = nullptr, readButton = nullptr;
    ScopedFont statusFont;
    std::string filePath, displayName, statusText;
    bool statusBox = false;
    COLORREF statusColour = 0;
    WindowHooks hooks;
    std::unique_ptr<Win32SerialLink> link;
    std::unique_ptr<Transfer> transfer;
    bool closing = false;  // the window is being destroyed: transfer events are dropped
};

SenderState State;

void Repaint() {
    if (State.window) InvalidateRect(State.window, nullptr, TRUE);
}

void WindowHooks::SetStatus(const std::string& text, StatusBox box, uint32_t colour) {
    State.statusText = text;
    if (box != StatusBox::Keep) State.statusBox = box == StatusBox::On;
    if (box == StatusBox::On) State.statusColour = colour;
    Repaint();
}

void WindowHooks::EnableControls(bool enable) {
    for (HWND control : {State.portBox, State.speedBox, State.fileButton, State.sendButton, State.readButton}) {
        EnableWindow(control, enable);
    }
}

HWND CreateControl(const char* className, const char* text, DWORD style, int x, int y, int width, int height) {
    return CreateWindowExA(0, className, text, style, x, y, width, height, State.window, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

HWND CreateBox(int y, const char* const* items, int count, int selected) {
    HWND box = CreateControl("COMBOBOX", "", kBoxStyle, 120, y, 80, 180);
    for (int i = 0; i < count; ++i) SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(items[i]));
    SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    return box;
}

void CreateStatusFont() {
    LOGFONTA font{};
    GetObjectA(GetStockObject(ANSI_VAR_FONT), sizeof font, &font);
    font.lfHeight = 14;
    font.lfWeight = FW_BOLD;
    State.statusFont.Reset(CreateFontIndirectA(&font));
}

void SetFile(const std::string& path) {
    State.filePath = path;
    State.displayName = DisplayNameOf(path);
}

int OnCreate(HWND window) {
    State.window = window;
    State.closing = false;
    State.portBox = CreateBox(3, kPortNames, 6, 0);
    State.speedBox = CreateBox(30, kSpeedNames, 6, kDefaultSpeed);
    State.fileButton = CreateControl("BUTTON", "File Select", kButtonStyle, 8, 65, 97, 25);
    State.sendButton = CreateControl("BUTTON", "Send", kButtonStyle | WS_DISABLED, 8, 120, 97, 25);
    State.readButton = CreateControl("BUTTON", "Read", kButtonStyle | WS_DISABLED, 107, 120, 97, 25);
    CreateStatusFont();
    State.filePath.clear();
    State.displayName.clear();
    State.statusText.clear();
    State.statusBox = false;
    State.link = std::make_unique<Win32SerialLink>(State.hooks);
    State.link->SetEventWindow(window);
    State.transfer = std::make_unique<Transfer>(*State.link, State.hooks);
    TakeCommandLine(GetCommandLineA());
    return 0;
}

void DrawLabel(HDC dc, const char* text, RECT area, UINT format) {
    DrawTextA(dc, text, -1, &area, format);
}

void OnPaint(HWND window) {
    ScopedPaint paint(window);
    const HDC dc = paint.Get();
    ScopedSelect font(dc, State.statusFont.Get());
    SetBkMode(dc, TRANSPARENT);
    DrawLabel(dc, "Comm port number:", RECT{6, 8, 160, 30}, DT_LEFT | DT_TOP);
    DrawLabel(dc, "Comm port speed:", RECT{6, 34, 160, 64}, DT_LEFT | DT_TOP);
    DrawLabel(dc, State.displayName.c_str(), RECT{8, 100, 105, 115}, DT_CENTER);
    if (State.statusBox) {
        ScopedBrush brush(CreateSolidBrush(State.statusColour));
        ScopedSelect selected(dc, brush.Get());
        Rectangle(dc, 107, 65, 204, 90);
    }
    DrawLabel(dc, State.statusText.c_str(), RECT{107, 70, 204, 85}, DT_CENTER);
}

void ChooseFile() {
    // A 1,024-byte buffer announced as 260 characters.
    const FileDialogSettings settings{"Flash Image(*.bin)\0*.bin\0", "Open BIN File", OFN_HIDEREADONLY, 1024, 260};
    const std::optional<std::string> file = AskFileName(State.window, FileDialogKind::kOpen, settings);
    if (!file) return;
    EnableWindow(State.sendButton, TRUE);
    EnableWindow(State.readButton, TRUE);
    SetFile(*file);
    Repaint();
}

PortChoice SelectedPort() {
    const LRESULT port = SendMessageA(State.portBox, CB_GETCURSEL, 0, 0);
    const LRESULT speed = SendMessageA(State.speedBox, CB_GETCURSEL, 0, 0);
    return PortChoice{static_cast<int>(port < 0 ? 0 : port) + 1, static_cast<int>(speed < 0 ? kDefaultSpeed : speed)};
}

void OnCommand(WPARAM wParam, LPARAM lParam) {
    if (HIWORD(wParam) != BN_CLICKED) return;
    const HWND control = reinterpret_cast<HWND>(lParam);
    if (control == State.fileButton) {
        ChooseFile();
        State.statusText.clear();
        State.statusBox = false;
    } else if (control == State.readButton) {
        StartReceive(*State.transfer, State.filePath, SelectedPort());
    } else if (control == State.sendButton) {
        StartTransmit(*State.transfer, State.filePath, SelectedPort());
    } else {
        return;
    }
    Repaint();
}

// A listener's event reaches the transfer unless the window is closing, when
// the transfer is being abandoned.
void OnTransferEvent(void (*handle)(Transfer&, int), WPARAM event) {
    if (!State.closing) handle(*State.transfer, static_cast<int>(event));
}

void OnDestroy() {
    // A transfer still running ends here: its listener is waited for and the
    // port closed. A reception leaves its file as it was.
    State.closing = true;
    if (State.link) State.link->Close();
    for (HWND control : {State.portBox, State.speedBox, State.fileButton, State.sendButton, State.readButton}) {
        DestroyWindow(control);
    }
    State.portBox = State.speedBox = State.fileButton = State.sendButton = State.readButton = nullptr;
    State.statusFont.Reset();
    State.window = nullptr;
    PostQuitMessage(0);
}

LRESULT CALLBACK SenderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        switch (message) {
            case WM_CREATE: return OnCreate(window);
            case WM_PAINT: OnPaint(window); return 0;
            case WM_COMMAND: OnCommand(wParam, lParam); break;
            case WM_TX_EVENT: OnTransferEvent(OnTransmitEvent, wParam); return 0;
            case WM_RX_EVENT: OnTransferEvent(OnReceiveEvent, wParam); return 0;
            case WM_DESTROY: OnDestroy(); return 0;
            case WM_SIZE:
            case WM_NCDESTROY:
            case WM_MOUSEMOVE:
            case WM_LBUTTONDOWN:
            case WM_LBUTTONUP: return 0;
            default: break;
        }
    } catch (...) {
        return 0;  // no exception may cross into the system
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

void TakeCommandLine(const std::string& commandLine) {
    const std::optional<std::string> path = PathFromCommandLine(commandLine);
    if (!path) return;
    SetFile(*path);
    EnableWindow(State.sendButton, TRUE);
    Repaint();
}

bool RegisterSenderClass(HINSTANCE instance) {
    return RegisterWindowClass(instance,
                               {kClassName, SenderProc, CS_HREDRAW | CS_VREDRAW, PanelBackgroundBrush(), IDI_GLYSEND});
}

HWND CreateSenderWindow(HINSTANCE instance) {
    return CreateWindowExA(0, kClassName, "Font Send", kWindowStyle, 350, 150, 215, 180, nullptr, nullptr, instance,
                           nullptr);
}

SenderView CurrentSenderView() {
    const bool portOpen = State.link && State.link->IsOpen();
    const size_t runningListeners = State.link ? State.link->RunningListeners() : 0;
    return SenderView{State.window,     State.portBox,    State.speedBox,     State.fileButton,
                      State.sendButton, State.readButton, State.filePath,     State.displayName,
                      State.statusText, State.statusBox,  State.statusColour, portOpen,
                      runningListeners};
}
