// What the editor's benchmarks under Wine share: the editor on screen with
// a new document, the font chooser and the font file's dialogs answered in code, the message pump and
// a timer.
#pragma once

#include <windows.h>

// Starts the editor's main window on screen with a new document whose first
// font is fontHeight bytes high; the font chooser then answers DejaVu Sans
// Mono at that height. nullptr when the window could not be made.
HWND StartBenchEditor(int fontHeight);

// Answers "Import font file..." from then on: the open dialog with path, the
// options dialog with the height in bytes given and OK, after the previews
// the dialog draws on its way.
void AnswerImportFontFile(const char* path, int height);

// Handles the messages waiting, without waiting for more.
void PumpMessages();

// The seconds action takes, by the performance counter.
template <typename Action>
double SecondsTaken(Action action) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    QueryPerformanceCounter(&start);
    action();
    QueryPerformanceCounter(&end);
    return static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}
