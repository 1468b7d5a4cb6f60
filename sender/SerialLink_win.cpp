#include "SerialLink_win.h"

#include <algorithm>
#include <atomic>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "Results.h"

namespace {

// A write handed to the port; its record and bytes live until it completes.
struct PendingWrite {
    OVERLAPPED io{};
    ScopedHandle event;
    std::vector<uint8_t> bytes;
};

// How long the end of a transfer waits for written bytes to leave the port
// (a whole page frame at 2400 baud takes over two seconds).
constexpr DWORD kDrainMilliseconds = 3000;
// How long closing waits for a listener: far more than one look at the port.
constexpr DWORD kListenerJoinMilliseconds = 5000;

}  // namespace

// One transfer: its port, its I/O records and its own stop flag, shared by
// the link and the transfer's listener thread, so a listener never reads the
// port of a later transfer.
struct LinkTransfer {
    ScopedHandle port;
    OVERLAPPED readIo{};
    ScopedHandle readEvent;
    std::list<PendingWrite> writes;  // touched by the window thread only
    std::atomic<bool> stop{false};
    ListenerRoutine listener;
    HWND eventWindow = nullptr;
    UINT eventMessage = 0;

    ~LinkTransfer() {
        // Closing the port cancels what is still pending; the records must
        // outlive that cancellation.
        port.Reset();
        for (PendingWrite& write : writes) WaitForSingleObject(write.event.Get(), 1000);
    }
};

namespace {

// The transfer whose listener runs on this thread.
thread_local LinkTransfer* ListenerTransfer = nullptr;

DWORD WINAPI ListenerThread(void* parameter) {
    // The thread keeps its transfer alive until it has ended.
    std::unique_ptr<std::shared_ptr<LinkTransfer>> owned(static_cast<std::shared_ptr<LinkTransfer>*>(parameter));
    LinkTransfer& transfer = **owned;
    ListenerTransfer = &transfer;
    const HandOver handOver = [&transfer](int event) {
        SendMessageA(transfer.eventWindow, transfer.eventMessage, static_cast<WPARAM>(event), 0);
    };
    while (!transfer.stop) {
        Sleep(static_cast<DWORD>(transfer.listener.pollMilliseconds));
        if (transfer.stop) break;
        try {
            transfer.listener.pollOnce(handOver);
        } catch (...) {
            break;  // nothing may escape a thread routine
        }
    }
    return 0;
}

void ReapCompletedWrites(std::list<PendingWrite>& writes) {
    writes.remove_if([](const PendingWrite& write) { return HasOverlappedIoCompleted(&write.io); });
}

bool HasEnded(const ScopedHandle& thread) { return WaitForSingleObject(thread.Get(), 0) == WAIT_OBJECT_0; }

// Waits for a listener thread to end. Called on the window's thread, which
// the listener may be blocked in handing an event to: the events it sends
// meanwhile are handled here, so that it can go on to find its stop flag.
void JoinListener(HANDLE thread) {
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD waited = GetTickCount() - start;
        if (waited >= kListenerJoinMilliseconds) return;
        const DWORD woken =
            MsgWaitForMultipleObjects(1, &thread, FALSE, kListenerJoinMilliseconds - waited, QS_SENDMESSAGE);
        if (woken != WAIT_OBJECT_0 + 1) return;  // ended, or given up
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

}  // namespace

Win32SerialLink::~Win32SerialLink() { Close(); }

int Win32SerialLink::OpenPort(int portNumber, int speedIndex, int inputQueueSize, ListenerRoutine listener) {
    auto fail = [this](int result) {
        current_.reset();
        ReportPortFailure(window_, result);
        return result;
    };
    auto transfer = std::make_shared<LinkTransfer>();
    const std::string device = "\\\\.\\COM" + std::to_string(portNumber);
    transfer->port.Reset(CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_OVERLAPPED, nullptr));
    if (!transfer->port) return fail(PortResult::kNotOpened);
    const HANDLE port = transfer->port.Get();

    DCB settings{};
    settings.DCBlength = sizeof settings;
    if (!GetCommState(port, &settings)) return fail(PortResult::kNoState);
    settings.BaudRate = BaudRateForIndex(speedIndex);
    settings.ByteSize = 8;
    settings.Parity = NOPARITY;
    settings.StopBits = ONESTOPBIT;
    if (!SetCommState(port, &settings)) return fail(PortResult::kStateRefused);

    COMMTIMEOUTS timeouts{};
    if (!GetCommTimeouts(port, &timeouts)) return fail(PortResult::kNoTimeouts);
    // A read returns at once with what has arrived; a write has no time-out.
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = 0;
    timeouts.WriteTotalTimeoutMultiplier = 0;
    timeouts.WriteTotalTimeoutConstant = 0;
    if (!SetCommTimeouts(port, &timeouts)) return fail(PortResult::kTimeoutsRefused);

    SetCommMask(port, EV_RXCHAR);
    transfer->readEvent.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    transfer->readIo.hEvent = transfer->readEvent.Get();
    SetupComm(port, static_cast<DWORD>(inputQueueSize), 1024);

    transfer->eventWindow = eventWindow_;
    transfer->eventMessage = listener.kind == TransferKind::Transmit ? WM_TX_EVENT : WM_RX_EVENT;
    transfer->listener = std::move(listener);
    current_ = transfer;
    listeners_.erase(std::remove_if(listeners_.begin(), listeners_.end(), HasEnded), listeners_.end());
    auto threadShare = std::make_unique<std::shared_ptr<LinkTransfer>>(transfer);
    ScopedHandle thread(startThread_(nullptr, 0, ListenerThread, threadShare.get(), 0, nullptr));
    // Without its listener the transfer would wait for ever with the controls disabled.
    if (!thread) return fail(PortResult::kNoListener);
    threadShare.release();  // the thread's own now
    SetThreadPriority(thread.Get(), THREAD_PRIORITY_LOWEST);
    listeners_.push_back(std::move(thread));
    PurgeComm(port, PURGE_TXCLEAR | PURGE_RXCLEAR);
    return PortResult::kOpen;
}

void Win32SerialLink::WritePort(const uint8_t* bytes, size_t count) {
    if (!current_ || !current_->port) return;
    LinkTransfer& transfer = *current_;
    ReapCompletedWrites(transfer.writes);
    PendingWrite& write = transfer.writes.emplace_back();
    write.event.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    write.io.hEvent = write.event.Get();
    write.bytes.assign(bytes, bytes + count);
    if (!WriteFile(transfer.port.Get(), write.bytes.data(), static_cast<DWORD>(count), nullptr, &write.io) &&
        GetLastError() != ERROR_IO_PENDING) {
        transfer.writes.pop_back();  // failed at once; the protocol notices
    }
}

size_t Win32SerialLink::ReadPort(uint8_t* buffer, size_t maxCount) {
    LinkTransfer* transfer = ListenerTransfer;
    if (!transfer || transfer->stop || !transfer->port) return 0;
    // Only what has arrived is asked for: with the time-outs set at open a
    // read completes at once on Windows, but Wine keeps a read of an empty
    // port pending until a byte comes, which would leave the listener
    // blind to a silent printer and deaf to its stop flag.
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(transfer->port.Get(), &errors, &status)) return 0;
    const DWORD wanted = std::min<DWORD>(status.cbInQue, static_cast<DWORD>(maxCount));
    if (wanted == 0) return 0;
    DWORD got = 0;
    ResetEvent(transfer->readEvent.Get());
    if (!ReadFile(transfer->port.Get(), buffer, wanted, &got, &transfer->readIo)) {
        if (GetLastError() != ERROR_IO_PENDING) return 0;
        if (!GetOverlappedResult(transfer->port.Get(), &transfer->readIo, &got, TRUE)) return 0;
    }
    return got;
}

void Win32SerialLink::EndTransfer() {
    window_.EnableControls(true);
    if (current_) {
        LinkTransfer& transfer = *current_;
        // Let the bytes already handed over leave (the last page of a
        // transmission is written right before the end), then close.
        for (PendingWrite& write : transfer.writes) {
            if (WaitForSingleObject(write.event.Get(), kDrainMilliseconds) != WAIT_OBJECT_0) CancelIo(transfer.port.Get());
            DWORD done = 0;
            GetOverlappedResult(transfer.port.Get(), &write.io, &done, TRUE);
        }
        transfer.writes.clear();
        transfer.stop = true;
        transfer.port.Reset();
        current_.reset();
    }
}

bool Win32SerialLink::IsOpen() const { return current_ && current_->port; }

size_t Win32SerialLink::RunningListeners() const {
    return static_cast<size_t>(std::count_if(listeners_.begin(), listeners_.end(),
                                             [](const ScopedHandle& thread) { return !HasEnded(thread); }));
}

void Win32SerialLink::Close() {
    if (current_) current_->stop = true;
    for (const ScopedHandle& listener : listeners_) JoinListener(listener.Get());
    listeners_.erase(std::remove_if(listeners_.begin(), listeners_.end(), HasEnded), listeners_.end());
    if (current_) {
        CancelIo(current_->port.Get());  // an abandoned transfer's bytes need not leave
        current_.reset();                // the last share closes the port (~LinkTransfer)
    }
}
