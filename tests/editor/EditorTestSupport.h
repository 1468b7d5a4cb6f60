// Drives the real main window of the editor inside the test process: the
// seam answers message boxes and file dialogs from a script, and helpers
// send the messages that a user's actions produce.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "EditorShell.h"
#include "FontImageView.h"

struct MessageBoxCall {
    std::string text;
    std::string caption;
    UINT type;
};

struct FileDialogCall {
    std::string title;
    std::string filter;
    DWORD flags;
    DWORD structSize;
    DWORD capacity;
    HWND owner;
};

struct ProcessStartCall {
    bool applicationGiven;
    std::string commandLine;
    bool securityGiven;
    BOOL inheritHandles;
    DWORD flags;
    bool environmentGiven;
    bool directoryGiven;
    STARTUPINFOA startup;
    std::string handOverContent;  // current.bin as the sender would find it
};

// What the fake dialogs were asked and how they answer.
struct ScriptedUi {
    std::vector<MessageBoxCall> messageBoxes;
    std::deque<int> messageBoxAnswers;  // IDOK when empty
    std::vector<FileDialogCall> fileDialogs;
    std::deque<std::string> fileNames;  // the dialog is cancelled when empty
    DWORD fileType = 0;  // the filter's pair a dialog answers with (from 1); 0 leaves the one shown
    LOGFONTA chosenFont{};
    bool chooseFontAnswer = false;
    int chooseFontMaxSize = 0;
    std::vector<CHOOSEFONTA> chooseFontRequests;
    std::vector<ProcessStartCall> processStarts;
    DWORD processStartError = 0;  // the start fails with this error when not 0
    HANDLE startedProcess = nullptr;  // handles the fake start hands out
    HANDLE startedThread = nullptr;
    bool quitPosted = false;  // a WM_QUIT came through PumpMessages
    std::vector<int> dialogs;  // the resource ids of the modal dialogs shown
    // Answers a modal dialog once it is shown and ends it; with none, Cancel.
    std::function<void(HWND dialog)> answerDialog;
};

ScriptedUi& Script();

// The hand-over file of Send to printer for the temporary directory as the
// test process sees it.
std::string HandOverPath();
std::string ReadFileBytes(const std::string& path);

class EditorWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the editor in the test's own empty directory (no manual there
    // unless the test made one).
    void StartEditorHere();
    std::string PathInTestDir(const std::string& name) const;

    HWND Child(const char* className, int x, int y) const;
    HWND Button(int x, int y) const { return Child("BUTTON", x, y); }
    HWND FontList() const { return Child("COMBOBOX", 50, 3); }
    HWND NameField() const { return Child("EDIT", 447, 70); }
    HWND HeightField() const { return Child("EDIT", 587, 110); }
    HWND IntervalField() const { return Child("EDIT", 587, 180); }
    HWND HeightLimitField() const { return Child("EDIT", 587, 145); }
    HWND AddFontButton() const { return Button(452, 3); }
    HWND DeleteFontButton() const { return Button(577, 3); }
    HWND SetNameButton() const { return Button(632, 71); }
    HWND SetHeightButton() const { return Button(632, 111); }
    HWND SetIntervalButton() const { return Button(632, 180); }
    HWND SetHeightLimitButton() const { return Button(632, 146); }

    void Menu(WPARAM command) const;
    void Click(HWND button) const;
    void Type(HWND field, const char* text) const;
    void LeaveField(HWND field) const;
    void PickFont(int index) const;
    void ClickTable(int x, int y, UINT message = WM_LBUTTONDOWN) const;
    // Drops files on the main window as the shell does.
    void Drop(const std::vector<std::string>& names) const;

    static std::string Text(HWND window);
    bool MenuEnabled(WPARAM command) const;
    std::vector<std::string> FontListItems() const;
    static void PumpMessages();
    // Writes a font image of the given fonts (heights) with one inked symbol.
    std::string WriteImage(const std::string& name, std::initializer_list<int> heights) const;

    HWND main_ = nullptr;
    std::string directory_;
    std::string previousDirectory_;
};
