#include "EditorTestSupport.h"

#include <shlobj.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "UiSeam.h"

namespace {

ScriptedUi TheScript;

int FakeMessageBox(HWND, const char* text, const char* caption, UINT type) {
    TheScript.messageBoxes.push_back({text ? text : "", caption ? caption : "", type});
    if (TheScript.messageBoxAnswers.empty()) return IDOK;
    const int answer = TheScript.messageBoxAnswers.front();
    TheScript.messageBoxAnswers.pop_front();
    return answer;
}

std::string FilterText(const char* filter) {
    std::string text;
    while (filter && *filter) {
        text += filter;
        text += '|';
        filter += std::strlen(filter) + 1;
    }
    return text;
}

BOOL FakeFileDialog(OPENFILENAMEA* request) {
    TheScript.fileDialogs.push_back({request->lpstrTitle ? request->lpstrTitle : "", FilterText(request->lpstrFilter),
                                     request->Flags, request->lStructSize, request->nMaxFile, request->hwndOwner});
    if (TheScript.fileNames.empty()) return FALSE;
    const std::string name = TheScript.fileNames.front();
    TheScript.fileNames.pop_front();
    std::strncpy(request->lpstrFile, name.c_str(), request->nMaxFile - 1);
    if (TheScript.fileType != 0) request->nFilterIndex = TheScript.fileType;
    return TRUE;
}

BOOL FakeChooseFont(CHOOSEFONTA* request) {
    TheScript.chooseFontMaxSize = request->nSizeMax;
    TheScript.chooseFontRequests.push_back(*request);
    if (!TheScript.chooseFontAnswer) return FALSE;
    *request->lpLogFont = TheScript.chosenFont;
    return TRUE;
}

// Records the start and, unless told to fail, hands out two fresh event
// handles as the process and thread, so that a test can see them closed.
BOOL FakeCreateProcess(const char* application, char* commandLine, SECURITY_ATTRIBUTES* processAttributes,
                       SECURITY_ATTRIBUTES* threadAttributes, BOOL inheritHandles, DWORD flags, void* environment,
                       const char* directory, STARTUPINFOA* startup, PROCESS_INFORMATION* process) {
    TheScript.processStarts.push_back({application != nullptr, commandLine ? commandLine : "",
                                       processAttributes != nullptr || threadAttributes != nullptr, inheritHandles,
                                       flags, environment != nullptr, directory != nullptr, *startup,
                                       ReadFileBytes(HandOverPath())});
    if (TheScript.processStartError != 0) {
        SetLastError(TheScript.processStartError);
        return FALSE;
    }
    TheScript.startedProcess = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    TheScript.startedThread = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    *process = PROCESS_INFORMATION{TheScript.startedProcess, TheScript.startedThread, 4242, 4243};
    return TRUE;
}

constexpr UINT kAnswerDialog = WM_APP + 0x3A;
DLGPROC DialogProcedure = nullptr;

// The dialog's own procedure, and once it is set up the script's answer.
INT_PTR CALLBACK AnsweringDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kAnswerDialog) {
        const INT_PTR result = DialogProcedure(dialog, message, wParam, lParam);
        if (message == WM_INITDIALOG) PostMessageA(dialog, kAnswerDialog, 0, 0);
        return result;
    }
    if (TheScript.answerDialog) {
        TheScript.answerDialog(dialog);
    } else {
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }
    return TRUE;
}

INT_PTR FakeDialogBox(HINSTANCE instance, const char* name, HWND owner, DLGPROC procedure, LPARAM parameter) {
    TheScript.dialogs.push_back(IS_INTRESOURCE(name) ? static_cast<int>(reinterpret_cast<ULONG_PTR>(name)) : -1);
    DialogProcedure = procedure;
    return DialogBoxParamA(instance, name, owner, AnsweringDialogProc, parameter);
}

}  // namespace

ScriptedUi& Script() { return TheScript; }

std::string HandOverPath() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + "current.bin";
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void EditorWindowTest::SetUp() {
    TheScript = ScriptedUi{};
    Ui().messageBox = FakeMessageBox;
    Ui().getOpenFileName = FakeFileDialog;
    Ui().getSaveFileName = FakeFileDialog;
    Ui().chooseFont = FakeChooseFont;
    Ui().createProcess = FakeCreateProcess;
    Ui().dialogBox = FakeDialogBox;

    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    previousDirectory_ = previous;
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info->name();
    for (char& c : name) c = c == '/' ? '-' : c;  // parameterized tests
    directory_ = std::string(temp) + "glyver-test-" + name + "-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(directory_.c_str(), nullptr);
    SetCurrentDirectoryA(directory_.c_str());
}

void EditorWindowTest::StartEditorHere() {
    main_ = StartEditor(GetModuleHandleA(nullptr));
    ASSERT_NE(main_, nullptr);
    ShowWindow(main_, SW_SHOWNOACTIVATE);
    UpdateWindow(main_);
    PumpMessages();
}

void EditorWindowTest::TearDown() {
    if (main_ && IsWindow(main_)) DestroyWindow(main_);
    PumpMessages();
    MSG quit;
    while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    RestoreRealUi();
    SetCurrentDirectoryA(previousDirectory_.c_str());
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((directory_ + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            DeleteFileA((directory_ + "\\" + found.cFileName).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(directory_.c_str());
}

std::string EditorWindowTest::PathInTestDir(const std::string& name) const { return directory_ + "\\" + name; }

HWND EditorWindowTest::Child(const char* className, int x, int y) const {
    for (HWND child = GetWindow(main_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[64] = {};
        GetClassNameA(child, name, sizeof name);
        RECT rect;
        GetWindowRect(child, &rect);
        POINT origin{rect.left, rect.top};
        ScreenToClient(main_, &origin);
        if (lstrcmpiA(name, className) == 0 && origin.x == x && origin.y == y) return child;
    }
    ADD_FAILURE() << "no " << className << " at " << x << "," << y;
    return nullptr;
}

void EditorWindowTest::Menu(WPARAM command) const { SendMessageA(main_, WM_COMMAND, command, 0); }

void EditorWindowTest::Click(HWND button) const {
    SendMessageA(main_, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void EditorWindowTest::Type(HWND field, const char* text) const { SetWindowTextA(field, text); }

void EditorWindowTest::LeaveField(HWND field) const {
    SendMessageA(main_, WM_COMMAND, MAKEWPARAM(0, EN_KILLFOCUS), reinterpret_cast<LPARAM>(field));
}

void EditorWindowTest::PickFont(int index) const {
    SendMessageA(FontList(), CB_SETCURSEL, index, 0);
    SendMessageA(main_, WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), reinterpret_cast<LPARAM>(FontList()));
}

void EditorWindowTest::ClickTable(int x, int y, UINT message) const {
    SendMessageA(SymbolTableWindow(), message, message == WM_LBUTTONDOWN ? MK_LBUTTON : MK_RBUTTON,
                 MAKELPARAM(x, y));
}

// A DROPFILES block of ANSI names, each ended by a 0, the list by another.
void EditorWindowTest::Drop(const std::vector<std::string>& names) const {
    size_t size = sizeof(DROPFILES) + 1;
    for (const std::string& name : names) size += name.size() + 1;
    HGLOBAL block = GlobalAlloc(GHND, size);
    auto* files = static_cast<DROPFILES*>(GlobalLock(block));
    files->pFiles = sizeof(DROPFILES);
    char* at = reinterpret_cast<char*>(files) + sizeof(DROPFILES);
    for (const std::string& name : names) {
        std::memcpy(at, name.c_str(), name.size() + 1);
        at += name.size() + 1;
    }
    GlobalUnlock(block);
    SendMessageA(main_, WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0);
    PumpMessages();
}

std::string EditorWindowTest::Text(HWND window) {
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

bool EditorWindowTest::MenuEnabled(WPARAM command) const {
    const UINT state = GetMenuState(GetMenu(main_), static_cast<UINT>(command), MF_BYCOMMAND);
    EXPECT_NE(state, static_cast<UINT>(-1)) << "no menu item " << command;
    return (state & (MF_GRAYED | MF_DISABLED)) == 0;
}

std::vector<std::string> EditorWindowTest::FontListItems() const {
    std::vector<std::string> items;
    const int count = static_cast<int>(SendMessageA(FontList(), CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[256] = {};
        SendMessageA(FontList(), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

void EditorWindowTest::PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            TheScript.quitPosted = true;
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

std::string EditorWindowTest::WriteImage(const std::string& name, std::initializer_list<int> heights) const {
    FontImage image;
    image.InitNew();
    int index = 0;
    for (int height : heights) {
        if (index > 0) image.AddFont();
        image.SetFontHeight(index, height);
        image.SetFontName(index, ("Font" + std::to_string(index)).c_str());
        Symbol& symbol = image.FontAt(index).At('A');
        symbol.width = 3;
        for (int i = 0; i < 3 * height; ++i) symbol.data[i] = 0x00;
        ++index;
    }
    const std::string path = PathInTestDir(name);
    EXPECT_EQ(image.Save(path), 1);
    return path;
}
