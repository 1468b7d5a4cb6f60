// The serial link on a Win32 COM port: overlapped I/O, one listener thread
// per transfer that hands its events to the sender window synchronously.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "Protocol.h"
#include "ScopedWin.h"

constexpr UINT WM_TX_EVENT = WM_USER + 1;
constexpr UINT WM_RX_EVENT = WM_USER + 2;

struct LinkTransfer;

// How a transfer's listener thread is started: CreateThread, or a test's own.
using ThreadStarter = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE, LPVOID, DWORD, LPDWORD);

class Win32SerialLink : public SerialPort {
public:
    explicit Win32SerialLink(SenderWindow& window, ThreadStarter startThread = CreateThread)
        : window_(window), startThread_(startThread) {}
    ~Win32SerialLink() override;
    Win32SerialLink(const Win32SerialLink&) = delete;
    Win32SerialLink& operator=(const Win32SerialLink&) = delete;

    // The window the listeners hand their events to.
    void SetEventWindow(HWND window) { eventWindow_ = window; }

    // A listener that cannot start fails the open as a refused step does
    // (PortResult::kNoListener): the port is closed again.
    int OpenPort(int portNumber, int speedIndex, int inputQueueSize, ListenerRoutine listener) override;
    void WritePort(const uint8_t* bytes, size_t count) override;
    size_t ReadPort(uint8_t* buffer, size_t maxCount) override;
    void EndTransfer() override;

    // The window is going away: a transfer still running is abandoned without
    // a word to the window. Waits for every listener, handling the events they
    // send meanwhile (the window drops them), and closes the port.
    void Close();

    // For tests: whether a port is open, and how many listeners still run.
    bool IsOpen() const;
    size_t RunningListeners() const;

private:
    SenderWindow& window_;
    ThreadStarter startThread_;
    HWND eventWindow_ = nullptr;
    std::shared_ptr<LinkTransfer> current_;
    std::vector<ScopedHandle> listeners_;  // threads of this and earlier transfers, until they have ended
};
