// The sender's window "Font Send": port and speed boxes, "File Select",
// "Send" and "Read", and the status line the transfers report on.
#pragma once

#include <windows.h>

#include <string>

// Registers the window class "Glysend".
bool RegisterSenderClass(HINSTANCE instance);
// Creates the main window; its creation reads the command line given.
HWND CreateSenderWindow(HINSTANCE instance);

// Takes the file from a command line (the " -fn:" option), as at creation.
void TakeCommandLine(const std::string& commandLine);

// What the window shows, for tests.
struct SenderView {
    HWND window, portBox, speedBox, fileButton, sendButton, readButton;
    std::string filePath, displayName, statusText;
    bool statusBox;
    COLORREF statusColour;
    bool portOpen;            // the serial link holds a port
    size_t runningListeners;  // listener threads of this and earlier transfers still running
};
SenderView CurrentSenderView();
