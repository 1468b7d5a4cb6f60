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
void Write(TransferMachine& machine, const uint8_t* bytes, size_t count) {
    machine.writer.WritePort(bytes, count);
    machine.lineFreeAt = std::max(machine.lineFreeAt, machine.now()) + LineMilliseconds(machine.baud, count);
}

void WriteByte(TransferMachine& machine, uint8_t byte) { Write(machine, &byte, 1); }

// The printer owes replyBytes: they are due once everything written has left
// and they have had the time to cross the line, and the silence limit runs
// from then, so that a slow line is never taken for a silent printer.
void AwaitReply(TransferMachine& machine, size_t replyBytes) {
    machine.replyDueBy = std::max(machine.lineFreeAt, machine.now()) + LineMilliseconds(machine.baud, replyBytes) +
                         machine.rules.silenceLimitMilliseconds;
}

// The step so far, with how far the transfer has come.
TransferStep Step(const TransferMachine& machine, TransferStep::Move move) {
    TransferStep step;
    step.move = move;
    const int state = machine.transferState;
    step.progress.paging = state == kSendingPages || state == kReceivingPages;
    step.progress.pages = machine.pageCount;
    step.progress.repeats = machine.repeats;
    return step;
}

TransferStep Ended(const TransferMachine& machine, TransferStep::Move move, int result) {
    TransferStep step = Step(machine, move);
    step.progress.ended = true;
    step.progress.result = result;
    return step;
}

std::string PageText(int page) { return "Page " + std::to_string(page); }

void ShowFailure(SenderWindow& window, int result) {
    window.SetStatus(TransferResult::StatusText(result, false), StatusBox::On, kRed);
}

// The window's status line for what an event did before any ending.
void ShowMove(Transfer& transfer, TransferStep::Move move, TransferKind kind) {
    SenderWindow& window = transfer.window;
    switch (move) {
        case TransferStep::Move::None: return;
        case TransferStep::Move::Echo1: window.SetStatus("Wait Echo 2", StatusBox::Keep); return;
        case TransferStep::Move::Echo2: window.SetStatus(PageText(0), StatusBox::Keep); return;
        case TransferStep::Move::Good: window.SetStatus(PageText(transfer.pageCount), StatusBox::On, kGreen); return;
        case TransferStep::Move::Again:
            if (kind == TransferKind::Receive) {
                window.SetStatus(PageText(transfer.pageCount), StatusBox::On, kRed);
            } else {
                window.SetStatus(PageText(transfer.pageCount) + " Rep. " + std::to_string(transfer.repeatCount),
                                 StatusBox::On, kLightRed);
            }
            return;
    }
}

// How a transfer ended: done with the box off, anything else on red.
void ShowEnd(SenderWindow& window, int result, bool reception) {
    if (result == TransferResult::kDone) {
        window.SetStatus(TransferResult::StatusText(result, reception), StatusBox::Off);
    } else {
        ShowFailure(window, result);
    }
}

}  // namespace

void PrepareTransfer(TransferMachine& machine, uint32_t baud) {
    machine.pageCount = 0;
    machine.repeatCount = 0;
    machine.repeats = 0;
    machine.blockFill = 0;
    machine.transferState = kWaitEcho1;
    machine.baud = baud;
    machine.lineFreeAt = 0;
    AwaitReply(machine, 1);
}

void SendHandshake(TransferMachine& machine) {
    WriteByte(machine, kHandshake1);
    AwaitReply(machine, 1);
}

bool SilentTooLong(const TransferMachine& machine) { return machine.now() >= machine.replyDueBy; }

void SendPage(TransferMachine& machine, int page) {
    const uint8_t* data = machine.image.data() + static_cast<size_t>(page) * kPageSize;
    const std::array<uint8_t, 2> crc = PageCrcBytes(data);
    Write(machine, data, kPageSize);
    Write(machine, crc.data(), crc.size());
    AwaitReply(machine, 1);
}

namespace {

// The printer echoed the first handshake byte: the second one, which says
// which way the image goes, follows.
void AnswerFirstEcho(TransferMachine& machine, uint8_t secondHandshake) {
    machine.transferState = kWaitEcho2;
    WriteByte(machine, secondHandshake);
    AwaitReply(machine, 1);
}

}  // namespace

TransferStep TransmitStep(TransferMachine& machine, int event) {
    using Move = TransferStep::Move;
    Move move = Move::None;
    if (event == TransmitEvent::kEcho1 && machine.transferState == kWaitEcho1) {
        AnswerFirstEcho(machine, kTransmitHandshake2);
        move = Move::Echo1;
    }
    if (event == TransmitEvent::kEcho2 && machine.transferState == kWaitEcho2) {
        SendPage(machine, 0);
        machine.transferState = kSendingPages;
        move = Move::Echo2;
    }
    if (machine.transferState == kSendingPages && event == TransmitEvent::kGood) {
        machine.repeatCount = 0;
        // Only a transmission that awaits the last answer gets one for page 127.
        if (++machine.pageCount == kPageTotal) return Ended(machine, Move::Good, TransferResult::kDone);
        SendPage(machine, machine.pageCount);
        move = Move::Good;
    }
    if (machine.transferState == kSendingPages && event == TransmitEvent::kWrong) {
        if (machine.repeatCount == kMaxRepeats) return Ended(machine, Move::None, TransferResult::kPageFault);
        ++machine.repeatCount;
        ++machine.repeats;
        SendPage(machine, machine.pageCount);
        move = Move::Again;
    }
    if (event == TransmitEvent::kVerificationFailed) return Ended(machine, move, TransferResult::kVerifyError);
    if (event == TransmitEvent::kUnknown) return Ended(machine, move, TransferResult::kUnknownAnswer);
    if (event == TransmitEvent::kNoAnswer) return Ended(machine, move, TransferResult::kNoAnswer);
    // Page 127 has been handed to the port: the window does not wait for its answer.
    if (machine.pageCount == kPageTotal - 1 && !machine.rules.awaitLastAnswer)
        return Ended(machine, move, TransferResult::kDone);
    return Step(machine, move);
}

int CollectReceived(TransferMachine& machine, const ByteSource& read) {
    if (machine.transferState == kReceivingPages) {
        const size_t missing = kFrameSize - machine.blockFill;
        const size_t got = read(machine.blockBuffer.data() + machine.blockFill, missing);
        machine.blockFill += static_cast<int>(got);
        if (machine.blockFill == kFrameSize) {
            // Emptied before the event is handled (CheckBlock reads only the
            // buffer): the event may end this transfer, and a reception
            // started right after it collects into the same fill count.
            machine.blockFill = 0;
            return ReceiveEvent::kBlock;
        }
        // A block on its way: the printer is not silent.
        if (got > 0) {
            machine.replyDueBy = std::max<int64_t>(machine.replyDueBy,
                                                   machine.now() + machine.rules.silenceLimitMilliseconds);
        }
        return 0;
    }
    uint8_t byte = 0;
    if (read(&byte, 1) == 1 && (byte == kHandshake1 || byte == kReceiveHandshake2))
        return byte == kHandshake1 ? ReceiveEvent::kEcho1 : ReceiveEvent::kEcho2;
    return 0;
}

uint32_t CheckBlock(TransferMachine& machine) {
    uint8_t* page = machine.image.data() + static_cast<size_t>(machine.pageCount) * kPageSize;
    std::copy_n(machine.blockBuffer.data(), kPageSize, page);
    const bool good = FrameCrcMatches(machine.blockBuffer.data());
    WriteByte(machine, good ? kAnswerGood : kAnswerWrong);
    AwaitReply(machine, kFrameSize);
    if (!good) {
        ++machine.repeatCount;
        ++machine.repeats;
        return kRed;
    }
    machine.repeatCount = 0;
    ++machine.pageCount;
    return kGreen;
}

TransferStep ReceiveStep(TransferMachine& machine, int event) {
    using Move = TransferStep::Move;
    Move move = Move::None;
    if (event == ReceiveEvent::kEcho1 && machine.transferState == kWaitEcho1) {
        AnswerFirstEcho(machine, kReceiveHandshake2);
        move = Move::Echo1;
    }
    if (event == ReceiveEvent::kEcho2 && machine.transferState == kWaitEcho2) {
        AwaitReply(machine, kFrameSize);  // the first block
        machine.transferState = kReceivingPages;
        move = Move::Echo2;
    }
    if (machine.transferState == kReceivingPages && event == ReceiveEvent::kBlock) {
        if (machine.rules.limitBadBlocks && machine.repeatCount == kMaxRepeats &&
            !FrameCrcMatches(machine.blockBuffer.data())) {
            return Ended(machine, Move::None, TransferResult::kBadBlocks);
        }
        move = CheckBlock(machine) == kGreen ? Move::Good : Move::Again;
    }
    if (event == ReceiveEvent::kNoAnswer) return Ended(machine, move, TransferResult::kNoAnswer);
    if (machine.pageCount == kPageTotal) return Ended(machine, move, TransferResult::kDone);
    return Step(machine, move);
}

namespace {

// Shows "Initiate", opens the port with its listener and, once it is open,
// greets the printer.
void OpenAndHandshake(Transfer& transfer, PortChoice choice, int queueSize, ListenerRoutine listener) {
    transfer.window.SetStatus("Initiate", StatusBox::Off);
    transfer.window.EnableControls(false);
    PrepareTransfer(transfer, BaudRateForIndex(choice.speedIndex));
    if (transfer.port.OpenPort(choice.portNumber, choice.speedIndex, queueSize, std::move(listener)) != 0) return;
    transfer.window.SetStatus("Wait Echo 1", StatusBox::Off);
    SendHandshake(transfer);
}

}  // namespace

void StartTransmit(Transfer& transfer, const std::string& path, PortChoice choice) {
    transfer.pageCount = 0;
    transfer.repeatCount = 0;
    const int read = ReadImageToSend(path, transfer.image);
    if (read != TransferResult::kDone) {
        ShowFailure(transfer.window, read);
        return;
    }
    OpenAndHandshake(transfer, choice, kTransmitQueueSize,
                     {TransferKind::Transmit, kTransmitPollMilliseconds,
                      [&transfer](const HandOver& handOver) { TransmitListener(transfer, handOver); }});
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

void OnTransmitEvent(Transfer& transfer, int event) {
    const TransferStep step = TransmitStep(transfer, event);
    ShowMove(transfer, step.move, TransferKind::Transmit);
    if (!step.progress.ended) return;
    transfer.port.EndTransfer();
    ShowEnd(transfer.window, step.progress.result, false);
}

void StartReceive(Transfer& transfer, const std::string& path, PortChoice choice) {
    transfer.pageCount = 0;
    if (!CanReplaceFile(path)) {
        ShowFailure(transfer.window, TransferResult::kFileNotOpened);
        return;
    }
    transfer.receivePath = path;
    OpenAndHandshake(transfer, choice, kReceiveQueueSize,
                     {TransferKind::Receive, kReceivePollMilliseconds,
                      [&transfer](const HandOver& handOver) { ReceiveListener(transfer, handOver); }});
}

void ReceiveListener(Transfer& transfer, const HandOver& handOver) {
    const int event = CollectReceived(
        transfer, [&transfer](uint8_t* buffer, size_t maxCount) { return transfer.port.ReadPort(buffer, maxCount); });
    if (event != 0) {
        handOver(event);
    } else if (SilentTooLong(transfer)) {
        handOver(ReceiveEvent::kNoAnswer);
    }
}

void OnReceiveEvent(Transfer& transfer, int event) {
    const TransferStep step = ReceiveStep(transfer, event);
    ShowMove(transfer, step.move, TransferKind::Receive);
    if (!step.progress.ended) return;
    transfer.port.EndTransfer();
    // Only a complete image replaces the file, and atomically: a failed
    // write leaves the old content in place. The status line has one text
    // for every failed write, so the system's reason goes no further here
    // (glyphmill read, which writes its file itself, says it).
    int result = step.progress.result;
    if (result == TransferResult::kDone &&
        !WriteFileAtomically(transfer.receivePath, transfer.image.data(), transfer.image.size())) {
        result = TransferResult::kFileNotWritten;
    }
    ShowEnd(transfer.window, result, true);
}
