#include "PrinterEmulator.h"

#include <algorithm>
#include <thread>

namespace {

// A byte that is none of the answers or echoes the sender knows.
constexpr uint8_t kNoCode = 0x00;
constexpr int kRepeatsBeforeFault = kMaxRepeats + 1;
// A paced line hands bytes on in slices of this length.
constexpr auto kPacingSlice = std::chrono::milliseconds(5);
// A PC sends a page and its CRC in one go: bytes that stop coming this long
// before the frame is whole mean that it has given the exchange up.
constexpr auto kFrameStall = std::chrono::seconds(1);

}  // namespace

const char* OutcomeName(ExchangeOutcome outcome) {
    switch (outcome) {
        case ExchangeOutcome::Complete: return "complete";
        case ExchangeOutcome::VerificationError: return "verification error";
        case ExchangeOutcome::UnknownAnswer: return "unknown answer";
        case ExchangeOutcome::PageFault: return "page fault";
        case ExchangeOutcome::Silent: return "silent";
        case ExchangeOutcome::Abandoned: return "abandoned by the PC";
        case ExchangeOutcome::TimedOut: return "timed out";
        case ExchangeOutcome::Interrupted: return "interrupted";
    }
    return "?";
}

PrinterEmulator::PrinterEmulator(SerialLine& line, const PrinterOptions& options) : line_(line), options_(options) {
    served_.fill(0xFF);
}

void PrinterEmulator::SetServedImage(const std::vector<uint8_t>& image) {
    served_.fill(0xFF);
    std::copy_n(image.begin(), std::min(image.size(), served_.size()), served_.begin());
}

ExchangeOutcome PrinterEmulator::PlannedOutcome(TransferKind kind) const {
    // The fault at the earliest page decides how the exchange ends.
    ExchangeOutcome planned = ExchangeOutcome::Complete;
    int plannedPage = kPageTotal;
    auto consider = [&](int page, ExchangeOutcome outcome) {
        if (page >= 0 && page < plannedPage) {
            plannedPage = page;
            planned = outcome;
        }
    };
    if (kind == TransferKind::Transmit) {
        consider(options_.failPage, ExchangeOutcome::VerificationError);
        consider(options_.garbagePage, ExchangeOutcome::UnknownAnswer);
        if (options_.wrongTimes >= kRepeatsBeforeFault) consider(options_.wrongPage, ExchangeOutcome::PageFault);
    }
    consider(options_.silentAfterPage, ExchangeOutcome::Silent);
    return planned;
}

PrinterEmulator::Read PrinterEmulator::ReadBytes(uint8_t* buffer, size_t count) {
    size_t filled = 0;
    return ReadBytes(buffer, count, filled);
}

PrinterEmulator::Read PrinterEmulator::ReadBytes(uint8_t* buffer, size_t count, size_t& filled,
                                                 std::optional<Clock::duration> stall) {
    // The stop flag and a stall are looked at between waits of at most this long.
    constexpr auto kLook = std::chrono::milliseconds(200);
    filled = 0;
    Clock::time_point lastByte{};
    while (filled < count) {
        if (stop_->load()) return Read::Stopped;
        const auto now = Clock::now();
        if (deadline_ && now >= *deadline_) return Read::TimedOut;
        if (stall && filled > 0 && now - lastByte >= *stall) return Read::Stalled;
        const auto until = deadline_ ? std::min(now + kLook, *deadline_) : now + kLook;
        size_t got = 0;
        const SerialLine::Read read = line_.ReadSome(buffer + filled, count - filled, until, got);
        if (read == SerialLine::Read::Data) {
            filled += got;
            CrossLine(inputFree_, got);
            lastByte = Clock::now();
        } else if (read == SerialLine::Read::Failed) {
            // A pty master fails its reads while nobody holds the slave.
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    return Read::Done;
}

ExchangeOutcome PrinterEmulator::Ended(Read read) {
    switch (read) {
        case Read::Stalled: return ExchangeOutcome::Abandoned;
        case Read::Stopped: return ExchangeOutcome::Interrupted;
        default: return ExchangeOutcome::TimedOut;
    }
}

void PrinterEmulator::CrossLine(Clock::time_point& free, size_t count) {
    if (options_.baud <= 0) return;
    free = std::max(free, Clock::now()) + LineTime(options_.baud, count);
    std::this_thread::sleep_until(free);
}

void PrinterEmulator::Answer(uint8_t answer) {
    std::this_thread::sleep_for(std::chrono::milliseconds(options_.answerDelayMs));
    WriteByte(answer);
}

void PrinterEmulator::Write(const uint8_t* bytes, size_t count) {
    // On a paced line each slice is handed on once it has had time to cross.
    const Clock::duration byteTime = LineTime(options_.baud, 1);
    const size_t slice = options_.baud <= 0 ? count : std::max<size_t>(1, kPacingSlice / byteTime);
    size_t sent = 0;
    while (sent < count) {
        const size_t piece = std::min(slice, count - sent);
        CrossLine(outputFree_, piece);
        if (!line_.Write(bytes + sent, piece)) return;  // the other end is gone; the protocol notices
        sent += piece;
    }
}

ExchangeReport PrinterEmulator::RunExchange(std::optional<Clock::time_point> deadline, const std::atomic<bool>& stop) {
    deadline_ = deadline;
    stop_ = &stop;
    ExchangeReport report;
    // Handshake: echo 0x01, then the byte that says which way the pages go.
    bool sawFirst = handshakeBegun_;
    auto started = Clock::now();
    if (handshakeBegun_) WriteByte(kHandshake1);
    handshakeBegun_ = false;
    for (;;) {
        uint8_t byte = 0;
        if (const Read read = ReadBytes(&byte, 1); read != Read::Done) {
            report.outcome = Ended(read);
            report.seconds = std::chrono::duration<double>(Clock::now() - started).count();
            return report;
        }
        if (byte == kHandshake1) {
            if (!sawFirst) started = Clock::now();  // the exchange is timed from its first byte
            sawFirst = true;
            WriteByte(byte);
        } else if (sawFirst && (byte == kTransmitHandshake2 || byte == kReceiveHandshake2)) {
            WriteByte(byte);
            report.handshakeDone = true;
            report.kind = byte == kTransmitHandshake2 ? TransferKind::Transmit : TransferKind::Receive;
            break;
        } else {
            sawFirst = false;
        }
    }
    report.outcome = report.kind == TransferKind::Transmit ? Transmit(report) : Receive(report);
    report.seconds = std::chrono::duration<double>(Clock::now() - started).count();
    return report;
}

ExchangeOutcome PrinterEmulator::Transmit(ExchangeReport& report) {
    int page = 0;
    int wrongLeft = options_.wrongTimes;
    int wrongInARow = 0;
    std::array<uint8_t, kFrameSize> frame{};
    while (page < kPageTotal) {
        size_t filled = 0;
        if (const Read read = ReadBytes(frame.data(), frame.size(), filled, kFrameStall); read != Read::Done) {
            // A PC that gave up and began anew waits for the echo of its 0x01.
            handshakeBegun_ = read == Read::Stalled && frame[filled - 1] == kHandshake1;
            return Ended(read);
        }
        if (page == options_.failPage) {
            Answer(kAnswerFailed);
            return ExchangeOutcome::VerificationError;
        }
        if (page == options_.garbagePage) {
            Answer(kNoCode);
            return ExchangeOutcome::UnknownAnswer;
        }
        const bool answerWrong = !FrameCrcMatches(frame.data()) || (page == options_.wrongPage && wrongLeft > 0);
        if (answerWrong) {
            if (page == options_.wrongPage && wrongLeft > 0) --wrongLeft;
            Answer(kAnswerWrong);
            if (++wrongInARow == kRepeatsBeforeFault) return ExchangeOutcome::PageFault;
            ++report.repeats;
            continue;
        }
        wrongInARow = 0;
        std::copy_n(frame.begin(), kPageSize, received_.begin() + page * kPageSize);
        if (page == kPageTotal - 1 && imageReceived_) imageReceived_(received_);
        Answer(kAnswerGood);
        report.pages = ++page;
        if (page - 1 == options_.silentAfterPage) return ExchangeOutcome::Silent;
    }
    return ExchangeOutcome::Complete;
}

ExchangeOutcome PrinterEmulator::Receive(ExchangeReport& report) {
    int block = 0;
    while (block < kPageTotal) {
        std::array<uint8_t, kFrameSize> frame{};
        std::copy_n(served_.begin() + block * kPageSize, kPageSize, frame.begin());
        const std::array<uint8_t, 2> crc = PageCrcBytes(frame.data());
        std::copy(crc.begin(), crc.end(), frame.begin() + kPageSize);
        if (block == options_.badCrcBlock && !crcCorrupted_) {
            frame[kPageSize + 1] ^= 0x5A;
            crcCorrupted_ = true;
        }
        Write(frame.data(), frame.size());
        uint8_t answer = 0;
        do {
            if (const Read read = ReadBytes(&answer, 1); read != Read::Done) return Ended(read);
            // The PC answers a block with "s" or "w": a 0x01 begins a new exchange.
            if (answer == kHandshake1) {
                handshakeBegun_ = true;
                return ExchangeOutcome::Abandoned;
            }
        } while (answer != kAnswerGood && answer != kAnswerWrong);
        if (answer == kAnswerWrong) {
            ++report.repeats;
            continue;
        }
        report.pages = ++block;
        if (block - 1 == options_.silentAfterPage) return ExchangeOutcome::Silent;
    }
    return ExchangeOutcome::Complete;
}

ExchangeOutcome PrinterEmulator::StaySilent(std::optional<Clock::time_point> deadline, const std::atomic<bool>& stop) {
    deadline_ = deadline;
    stop_ = &stop;
    uint8_t ignored = 0;
    Read read = Read::Done;
    while ((read = ReadBytes(&ignored, 1)) == Read::Done) {
    }
    return read == Read::Stopped ? ExchangeOutcome::Interrupted : ExchangeOutcome::Silent;
}
