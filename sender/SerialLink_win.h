// The serial link on a Win32 COM port: overlapped I/O, one listener thread
// per transfer that hands its events to the sender window synchronously.
#pragma once

#include <windows.h>

#include <list>
#include <memory>

#include "Protocol.h"

constexpr UINT WM_TX_EVENT = WM_USER + 1;
constexpr UINT WM_RX_EVENT = WM_USER + 2;

struct LinkTransfer;

class Win32SerialLink : public SerialPort {
public:
    explicit Win32SerialLink(SenderWindow& window) : window_(window) {}
    ~Win32SerialLink() override;
    Win32SerialLink(const Win32SerialLink&) = delete;
    Win32SerialLink& operator=(const Win32SerialLink&) = delete;

    // The window the listeners hand their events to.
    void SetEventWindow(HWND window) { eventWindow_ = window; }

    int OpenPort(int portNumber, int speedIndex, int inputQueueSize, ListenerRoutine listener) override;
    void WritePort(const uint8_t* bytes, size_t count) override;
    size_t ReadPort(uint8_t* buffer, size_t maxCount) override;
    void EndTransfer() override;

    // The window is going away: the current listener stops at its next look;
    // the port is left to the end of the program.
    void StopListener();

private:
    SenderWindow& window_;
    HWND eventWindow_ = nullptr;
    std::shared_ptr<LinkTransfer> current_;
};
