#include "Protocol.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
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

int64_t SteadyMilliseconds() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::chrono::microseconds LineTime(uint32_t baud, size_t count) {
    if (baud == 0) return std::chrono::microseconds::zero();
    return std::chrono::microseconds((static_cast<int64_t>(count) * kBitsPerByte * 1000000 + baud - 1) / baud);
}

int64_t LineMilliseconds(uint32_t baud, size_t count) { return (LineTime(baud, count).count() + 999) / 1000; }

int ReadImageToSend(const std::string& path, std::array<uint8_t, kImageSize>& image) {
    const ScopedFile file = OpenWithRetries(path, "rb");
    if (!file) return TransferResult::kFileNotOpened;
    // Zeroed first, so that a short file never carries bytes of an earlier transfer.
    image.fill(0);
    const size_t read = std::fread(image.data(), 1, image.size(), file.get());
    return read == image.size() || std::ferror(file.get()) == 0 ? TransferResult::kDone : TransferResult::kFileNotRead;
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

// Hands bytes to the port and notes when they will have left at the chosen speed.
void Write(Transfer& transfer, const uint8_t* bytes, size_t count) {
    transfer.port.WritePort(bytes, count);
    transfer.lineFreeAt = std::max(transfer.lineFreeAt, transfer.now()) + LineMilliseconds(transfer.baud, count);
}

void WriteByte(Transfer& transfer, uint8_t byte) { Write(transfer, &byte, 1); }

// The printer owes replyBytes: they are due once everything written has left
// and they have had the time to cross the line, and the silence limit runs
// from then, so that a slow line is never taken for a silent printer.
void AwaitReply(Transfer& transfer, size_t replyBytes) {
    transfer.replyDueBy = std::max(transfer.lineFreeAt, transfer.now()) + LineMilliseconds(transfer.baud, replyBytes) +
                          kSilenceLimitMilliseconds;
}

bool SilentTooLong(const Transfer& transfer) { return transfer.now() >= transfer.replyDueBy; }

// The speed and the wait for the first echo, set before the listener's first look.
void PrepareLine(Transfer& transfer, PortChoice choice) {
    transfer.transferState = kWaitEcho1;
    transfer.baud = BaudRateForIndex(choice.speedIndex);
    transfer.lineFreeAt = 0;
    AwaitReply(transfer, 1);
}

void ShowFailure(SenderWindow& window, int result) {
    window.SetStatus(TransferResult::StatusText(result, false), StatusBox::On, kRed);
}

// Ends the transfer after the port was opened, showing why on red.
void EndWithFailure(Transfer& transfer, int result) {
    transfer.port.EndTransfer();
    ShowFailure(transfer.window, result);
}

std::string PageText(int page) { return "Page " + std::to_string(page); }

}  // namespace

void StartTransmit(Transfer& transfer, const std::string& path, PortChoice choice) {
    transfer.pageCount = 0;
    transfer.repeatCount = 0;
    const int read = ReadImageToSend(path, transfer.image);
    if (read != TransferResult::kDone) {
        ShowFailure(transfer.window, read);
        return;
    }
    transfer.window.SetStatus("Initiate", StatusBox::Off);
    transfer.window.EnableControls(false);
    PrepareLine(transfer, choice);
    ListenerRoutine listener{TransferKind::Transmit, kTransmitPollMilliseconds,
                             [&transfer](const HandOver& handOver) { TransmitListener(transfer, handOver); }};
    if (transfer.port.OpenPort(choice.portNumber, choice.speedIndex, kTransmitQueueSize, std::move(listener)) != 0) {
        return;
    }
    transfer.window.SetStatus("Wait Echo 1", StatusBox::Off);
    WriteByte(transfer, kHandshake1);
    AwaitReply(transfer, 1);
}

void TransmitListener(Transfer& transfer, const HandOver& handOver) {
    uint8_t bytes[kTransmitReadSize] = {};
    const size_t count = transfer.port.ReadPort(bytes, sizeof bytes);
    if (count > 0) {
        handOver(ClassifyTransmitRead(bytes, count));
    } else if (SilentTooLong(transfer)) {
        handOver(TransmitEvent::kNoAnswer);
    }
}

void SendPage(Transfer& transfer, int page) {
    const uint8_t* data = transfer.image.data() + static_cast<size_t>(page) * kPageSize;
    const std::array<uint8_t, 2> crc = PageCrcBytes(data);
    Write(transfer, data, kPageSize);
    Write(transfer, crc.data(), crc.size());
    AwaitReply(transfer, 1);
}

void OnTransmitEvent(Transfer& transfer, int event) {
    SenderWindow& window = transfer.window;
    if (event == TransmitEvent::kEcho1 && transfer.transferState == kWaitEcho1) {
        transfer.transferState = kWaitEcho2;
        window.SetStatus("Wait Echo 2", StatusBox::Keep);
        WriteByte(transfer, kTransmitHandshake2);
        AwaitReply(transfer, 1);
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
            EndWithFailure(transfer, TransferResult::kPageFault);
            return;
        }
        ++transfer.repeatCount;
        SendPage(transfer, transfer.pageCount);
        window.SetStatus(PageText(transfer.pageCount) + " Rep. " + std::to_string(transfer.repeatCount),
                         StatusBox::On, kLightRed);
    }
    if (event == TransmitEvent::kVerificationFailed) EndWithFailure(transfer, TransferResult::kVerifyError);
    if (event == TransmitEvent::kUnknown) EndWithFailure(transfer, TransferResult::kUnknownAnswer);
    if (event == TransmitEvent::kNoAnswer) EndWithFailure(transfer, TransferResult::kNoAnswer);
    if (transfer.pageCount == kPageTotal - 1) {
        // Page 127 has been handed to the port: its answer is not waited for.
        transfer.port.EndTransfer();
        window.SetStatus(TransferResult::StatusText(TransferResult::kDone, false), StatusBox::Off);
    }
}

void StartReceive(Transfer& transfer, const std::string& path, PortChoice choice) {
    transfer.pageCount = 0;
    if (!CanReplaceFile(path)) {
        ShowFailure(transfer.window, TransferResult::kFileNotOpened);
        return;
    }
    transfer.receivePath = path;
    transfer.window.SetStatus("Initiate", StatusBox::Off);
    transfer.window.EnableControls(false);
    PrepareLine(transfer, choice);
    transfer.blockFill = 0;
    ListenerRoutine listener{TransferKind::Receive, kReceivePollMilliseconds,
                             [&transfer](const HandOver& handOver) { ReceiveListener(transfer, handOver); }};
    if (transfer.port.OpenPort(choice.portNumber, choice.speedIndex, kReceiveQueueSize, std::move(listener)) != 0) {
        return;
    }
    transfer.window.SetStatus("Wait Echo 1", StatusBox::Off);
    WriteByte(transfer, kHandshake1);
    AwaitReply(transfer, 1);
}

void ReceiveListener(Transfer& transfer, const HandOver& handOver) {
    if (transfer.transferState == kReceivingPages) {
        const size_t missing = kFrameSize - transfer.blockFill;
        const size_t got = transfer.port.ReadPort(transfer.blockBuffer.data() + transfer.blockFill, missing);
        transfer.blockFill += static_cast<int>(got);
        if (transfer.blockFill == kFrameSize) {
            // Emptied before the hand-over (CheckBlock reads only the buffer):
            // the hand-over may end this transfer, and a reception started
            // right after it collects into the same fill count.
            transfer.blockFill = 0;
            handOver(ReceiveEvent::kBlock);
            return;
        }
        if (got > 0) {
            // A block on its way: the printer is not silent.
            transfer.replyDueBy = std::max<int64_t>(transfer.replyDueBy, transfer.now() + kSilenceLimitMilliseconds);
            return;
        }
    } else {
        uint8_t byte = 0;
        if (transfer.port.ReadPort(&byte, 1) == 1 && (byte == kHandshake1 || byte == kReceiveHandshake2)) {
            handOver(byte == kHandshake1 ? ReceiveEvent::kEcho1 : ReceiveEvent::kEcho2);
            return;
        }
    }
    if (SilentTooLong(transfer)) handOver(ReceiveEvent::kNoAnswer);
}

uint32_t CheckBlock(Transfer& transfer) {
    uint8_t* page = transfer.image.data() + static_cast<size_t>(transfer.pageCount) * kPageSize;
    std::copy_n(transfer.blockBuffer.data(), kPageSize, page);
    const bool good = FrameCrcMatches(transfer.blockBuffer.data());
    WriteByte(transfer, good ? kAnswerGood : kAnswerWrong);
    AwaitReply(transfer, kFrameSize);
    if (!good) return kRed;
    ++transfer.pageCount;
    return kGreen;
}

void OnReceiveEvent(Transfer& transfer, int event) {
    SenderWindow& window = transfer.window;
    if (event == ReceiveEvent::kEcho1 && transfer.transferState == kWaitEcho1) {
        transfer.transferState = kWaitEcho2;
        window.SetStatus("Wait Echo 2", StatusBox::Keep);
        WriteByte(transfer, kReceiveHandshake2);
        AwaitReply(transfer, 1);
    }
    if (event == ReceiveEvent::kEcho2 && transfer.transferState == kWaitEcho2) {
        AwaitReply(transfer, kFrameSize);  // the first block
        transfer.transferState = kReceivingPages;
        window.SetStatus(PageText(0), StatusBox::Keep);
    }
    if (transfer.transferState == kReceivingPages && event == ReceiveEvent::kBlock) {
        const uint32_t colour = CheckBlock(transfer);
        window.SetStatus(PageText(transfer.pageCount), StatusBox::On, colour);
    }
    if (event == ReceiveEvent::kNoAnswer) EndWithFailure(transfer, TransferResult::kNoAnswer);
    if (transfer.pageCount == kPageTotal) {
        transfer.port.EndTransfer();
        // Only a complete image replaces the file, and atomically: a failed
        // write leaves the old content in place.
        if (WriteFileAtomically(transfer.receivePath, transfer.image.data(), transfer.image.size())) {
            window.SetStatus(TransferResult::StatusText(TransferResult::kDone, true), StatusBox::Off);
        } else {
            ShowFailure(window, TransferResult::kFileNotWritten);
        }
    }
}
