#include "Protocol.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>

#include "AtomicFile.h"
#include "Results.h"

uint32_t BaudRateForIndex(int speedIndex) {
    return kBaudRates[std::clamp(speedIndex, 0, static_cast<int>(kBaudRates.size()) - 1)];
}

void ReportPortFailure(SenderWindow& window, int result) {
    window.SetStatus(PortResult::Message(result), StatusBox::On, kRed);
    window.EnableControls(true);
}

uint16_t PageCrc(const uint8_t* bytes, size_t count) {
    uint32_t crc = 0;
    for (size_t i = 0; i < count; ++i) {
        crc ^= static_cast<uint32_t>(bytes[i]) << 8;
        for (int bit = 0; bit < 8; ++bit) {
            crc <<= 1;
            if (crc & 0x10000) crc = (crc & 0xFFFF) ^ 0x1021;
        }
    }
    return static_cast<uint16_t>(crc);
}

std::array<uint8_t, 2> PageCrcBytes(const uint8_t* page) {
    const uint16_t crc = PageCrc(page, kPageSize);
    return {static_cast<uint8_t>(crc >> 8), static_cast<uint8_t>(crc & 0xFF)};
}

bool FrameCrcMatches(const uint8_t* frame) {
    const std::array<uint8_t, 2> crc = PageCrcBytes(frame);
    return frame[kPageSize] == crc[0] && frame[kPageSize + 1] == crc[1];
}

int ClassifyTransmitRead(const uint8_t* bytes, size_t count) {
    static constexpr int kPriority[] = {TransmitEvent::kEcho1, TransmitEvent::kEcho2, TransmitEvent::kGood,
                                        TransmitEvent::kWrong, TransmitEvent::kVerificationFailed};
    for (int code : kPriority) {
        if (std::find(bytes, bytes + count, code) != bytes + count) return code;
    }
    return TransmitEvent::kUnknown;
}

namespace {

constexpr int kTransmitPollMilliseconds = 250;
constexpr int kReceivePollMilliseconds = 100;
constexpr size_t kTransmitReadSize = 32;

void WriteByte(Transfer& transfer, uint8_t byte) { transfer.port.WritePort(&byte, 1); }

std::string PageText(int page) { return "Page " + std::to_string(page); }

// Reads the whole file into the image buffer; the rest of the buffer is
// zeroed so a short file never carries bytes of an earlier transfer.
bool LoadImage(Transfer& transfer, std::FILE* file) {
    transfer.image.fill(0);
    std::fread(transfer.image.data(), 1, transfer.image.size(), file);
    return std::ferror(file) == 0;
}

// Whether the file can be replaced later: an existing file must open for
// update, a missing one must be creatable (it is removed again so that a
// failed reception leaves nothing behind).
bool CanWriteFile(const std::string& path) {
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        if (OpenFile(path, "r+b")) return true;
        if (errno != ENOENT) continue;
        if (OpenFile(path, "wb")) {
            std::remove(path.c_str());
            return true;
        }
    }
    return false;
}

}  // namespace

void StartTransmit(Transfer& transfer, const std::string& path, PortChoice choice) {
    transfer.pageCount = 0;
    transfer.repeatCount = 0;
    const ScopedFile file = OpenWithRetries(path, "rb");
    if (!file) {
        transfer.window.SetStatus("Can't open file", StatusBox::On, kRed);
        return;
    }
    if (!LoadImage(transfer, file.get())) {
        transfer.window.SetStatus("Read file error", StatusBox::On, kRed);
        return;
    }
    transfer.window.SetStatus("Initiate", StatusBox::Off);
    transfer.window.EnableControls(false);
    // The state is set before the listener's first look (it sleeps first).
    transfer.transferState = kWaitEcho1;
    ListenerRoutine listener{TransferKind::Transmit, kTransmitPollMilliseconds,
                             [&transfer](const HandOver& handOver) { TransmitListener(transfer, handOver); }};
    if (transfer.port.OpenPort(choice.portNumber, choice.speedIndex, kTransmitQueueSize, std::move(listener)) != 0) {
        return;
    }
    transfer.window.SetStatus("Wait Echo 1", StatusBox::Off);
    WriteByte(transfer, kHandshake1);
}

void TransmitListener(Transfer& transfer, const HandOver& handOver) {
    uint8_t bytes[kTransmitReadSize] = {};
    const size_t count = transfer.port.ReadPort(bytes, sizeof bytes);
    if (count == 0) return;
    handOver(ClassifyTransmitRead(bytes, count));
}

void SendPage(Transfer& transfer, int page) {
    const uint8_t* data = transfer.image.data() + static_cast<size_t>(page) * kPageSize;
    const std::array<uint8_t, 2> crc = PageCrcBytes(data);
    transfer.port.WritePort(data, kPageSize);
    transfer.port.WritePort(crc.data(), crc.size());
}

void OnTransmitEvent(Transfer& transfer, int event) {
    SenderWindow& window = transfer.window;
    if (event == TransmitEvent::kEcho1 && transfer.transferState == kWaitEcho1) {
        transfer.transferState = kWaitEcho2;
        window.SetStatus("Wait Echo 2", StatusBox::Keep);
        WriteByte(transfer, kTransmitHandshake2);
    }
    if (event == TransmitEvent::kEcho2 && transfer.transferState == kWaitEcho2) {
        SendPage(transfer, 0);
        transfer.transferState = kSendingPages;
        window.SetStatus(PageText(0), StatusBox::Keep);
    }
    if (transfer.transferState == kSendingPages && event == TransmitEvent::kGood) {
        transfer.repeatCount = 0;
        ++transfer.pageCount;
        SendPage(transfer, transfer.pageCount);
        window.SetStatus(PageText(transfer.pageCount), StatusBox::On, kGreen);
    }
    if (transfer.transferState == kSendingPages && event == TransmitEvent::kWrong) {
        if (transfer.repeatCount == kMaxRepeats) {
            transfer.port.EndTransfer();
            window.SetStatus("Page fault error", StatusBox::On, kRed);
            return;
        }
        ++transfer.repeatCount;
        SendPage(transfer, transfer.pageCount);
        window.SetStatus(PageText(transfer.pageCount) + " Rep. " + std::to_string(transfer.repeatCount),
                         StatusBox::On, kLightRed);
    }
    if (event == TransmitEvent::kVerificationFailed) {
        transfer.port.EndTransfer();
        window.SetStatus("Verification error", StatusBox::On, kRed);
    }
    if (event == TransmitEvent::kUnknown) {
        transfer.port.EndTransfer();
        window.SetStatus("Unknown Error", StatusBox::On, kRed);
    }
    if (transfer.pageCount == kPageTotal - 1) {
        // Page 127 has been handed to the port: its answer is not waited for.
        transfer.port.EndTransfer();
        window.SetStatus("File Transmitted", StatusBox::Off);
    }
}

void StartReceive(Transfer& transfer, const std::string& path, PortChoice choice) {
    transfer.pageCount = 0;
    if (!CanWriteFile(path)) {
        transfer.window.SetStatus("Can't open file", StatusBox::On, kRed);
        return;
    }
    transfer.receivePath = path;
    transfer.window.SetStatus("Initiate", StatusBox::Off);
    transfer.window.EnableControls(false);
    transfer.transferState = kWaitEcho1;
    transfer.blockFill = 0;
    ListenerRoutine listener{TransferKind::Receive, kReceivePollMilliseconds,
                             [&transfer](const HandOver& handOver) { ReceiveListener(transfer, handOver); }};
    if (transfer.port.OpenPort(choice.portNumber, choice.speedIndex, kReceiveQueueSize, std::move(listener)) != 0) {
        return;
    }
    transfer.window.SetStatus("Wait Echo 1", StatusBox::Off);
    WriteByte(transfer, kHandshake1);
}

void ReceiveListener(Transfer& transfer, const HandOver& handOver) {
    if (transfer.transferState == kReceivingPages) {
        const size_t missing = kFrameSize - transfer.blockFill;
        transfer.blockFill += static_cast<int>(
            transfer.port.ReadPort(transfer.blockBuffer.data() + transfer.blockFill, missing));
        if (transfer.blockFill == kFrameSize) {
            // Emptied before the hand-over (CheckBlock reads only the buffer):
            // the hand-over may end this transfer, and a reception started
            // right after it collects into the same fill count.
            transfer.blockFill = 0;
            handOver(ReceiveEvent::kBlock);
        }
        return;
    }
    uint8_t byte = 0;
    if (transfer.port.ReadPort(&byte, 1) != 1) return;
    if (byte == kHandshake1) handOver(ReceiveEvent::kEcho1);
    if (byte == kReceiveHandshake2) handOver(ReceiveEvent::kEcho2);
}

uint32_t CheckBlock(Transfer& transfer) {
    uint8_t* page = transfer.image.data() + static_cast<size_t>(transfer.pageCount) * kPageSize;
    std::copy_n(transfer.blockBuffer.data(), kPageSize, page);
    if (FrameCrcMatches(transfer.blockBuffer.data())) {
        uint8_t answer = kAnswerGood;
        transfer.port.WritePort(&answer, 1);
        ++transfer.pageCount;
        return kGreen;
    }
    uint8_t answer = kAnswerWrong;
    transfer.port.WritePort(&answer, 1);
    return kRed;
}

void OnReceiveEvent(Transfer& transfer, int event) {
    SenderWindow& window = transfer.window;
    if (event == ReceiveEvent::kEcho1 && transfer.transferState == kWaitEcho1) {
        transfer.transferState = kWaitEcho2;
        window.SetStatus("Wait Echo 2", StatusBox::Keep);
        WriteByte(transfer, kReceiveHandshake2);
    }
    if (event == ReceiveEvent::kEcho2 && transfer.transferState == kWaitEcho2) {
        transfer.transferState = kReceivingPages;
        window.SetStatus(PageText(0), StatusBox::Keep);
    }
    if (transfer.transferState == kReceivingPages && event == ReceiveEvent::kBlock) {
        const uint32_t colour = CheckBlock(transfer);
        window.SetStatus(PageText(transfer.pageCount), StatusBox::On, colour);
    }
    if (transfer.pageCount == kPageTotal) {
        transfer.port.EndTransfer();
        // Only a complete image replaces the file, and atomically: a failed
        // write leaves the old content in place.
        if (WriteFileAtomically(transfer.receivePath, transfer.image.data(), transfer.image.size())) {
            window.SetStatus("File Received", StatusBox::Off);
        } else {
            window.SetStatus("File write error", StatusBox::On, kRed);
        }
    }
}
