// What the editor's benchmarks under Wine share: the editor on screen with
// a new document, the font chooser answered in code, the message pump and
// a timer.
#pragma once

#include <windows.h>

// Starts the editor's main window on screen with a new document whose first
// font is fontHeight bytes high; the font chooser then answers DejaVu Sans
// Mono at that height. nullptr when the window could not be made.
HWND StartBenchEditor(int fontHeight);

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
