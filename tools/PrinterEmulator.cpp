#include "PrinterEmulator.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

// A byte that is none of the answers or echoes the sender knows.
constexpr uint8_t kNoCode = 0x00;
constexpr int kRepeatsBeforeFault = kMaxRepeats + 1;
constexpr double kLongestTimeoutSeconds = 1e6;
constexpr int kSlowestBaud = 50;
// A paced line hands bytes on in slices of this length.
constexpr auto kPacingSlice = std::chrono::milliseconds(5);

bool ParseInt(const char* text, int& value) {
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || parsed < 0 || parsed > 1000000) return false;
    value = static_cast<int>(parsed);
    return true;
}

bool ParsePage(const char* text, int& page) { return ParseInt(text, page) && page < kPageTotal; }

}  // namespace

std::optional<PrinterOptions> ParsePrinterOptions(int argc, char** argv, std::string& error) {
    PrinterOptions options;
    for (int i = 0; i < argc; ++i) {
        const std::string name = argv[i];
        if (i + 1 >= argc) {
            error = "missing value after " + name;
            return std::nullopt;
        }
        const char* value = argv[++i];
        bool valid = true;
        if (name == "--device") options.device = value;
        else if (name == "--link") options.linkPath = value;
        else if (name == "--save") options.savePath = value;
        else if (name == "--serve") options.servePath = value;
        else if (name == "--fail") valid = ParsePage(value, options.failPage);
        else if (name == "--garbage") valid = ParsePage(value, options.garbagePage);
        else if (name == "--silent-after") valid = ParsePage(value, options.silentAfterPage);
        else if (name == "--bad-crc") valid = ParsePage(value, options.badCrcBlock);
        else if (name == "--exchanges") valid = ParseInt(value, options.exchanges);
        else if (name == "--baud") valid = ParseInt(value, options.baud) && options.baud >= kSlowestBaud;
        else if (name == "--answer-delay") valid = ParseInt(value, options.answerDelayMs);
        else if (name == "--timeout") {
            char* end = nullptr;
            options.timeoutSeconds = std::strtod(value, &end);
            // Bounded, so that the deadline computed from it cannot overflow.
            valid = end != value && *end == '\0' && options.timeoutSeconds >= 0 &&
                    options.timeoutSeconds <= kLongestTimeoutSeconds;
        } else if (name == "--wrong") {
            const std::string text = value;
            const size_t colon = text.find(':');
            valid = colon != std::string::npos && ParsePage(text.substr(0, colon).c_str(), options.wrongPage) &&
                    ParseInt(text.substr(colon + 1).c_str(), options.wrongTimes);
        } else {
            error = "unknown option " + name;
            return std::nullopt;
        }
        if (!valid) {
            error = "bad value '" + std::string(value) + "' for " + name;
            return std::nullopt;
        }
    }
    return options;
}

const char* OutcomeName(ExchangeOutcome outcome) {
    switch (outcome) {
        case ExchangeOutcome::Complete: return "complete";
        case ExchangeOutcome::VerificationError: return "verification error";
        case ExchangeOutcome::UnknownAnswer: return "unknown answer";
        case ExchangeOutcome::PageFault: return "page fault";
        case ExchangeOutcome::Silent: return "silent";
        case ExchangeOutcome::TimedOut: return "timed out";
    }
    return "?";
}

PrinterEmulator::PrinterEmulator(int fd, const PrinterOptions& options) : fd_(fd), options_(options) {
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
    while (filled < count) {
        if (stop_->load()) return Read::Ended;
        int waitMs = 200;
        if (deadline_) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*deadline_ - Clock::now());
            if (left.count() <= 0) return Read::Ended;
            waitMs = static_cast<int>(std::min<long long>(waitMs, left.count()));
        }
        pollfd request{fd_, POLLIN, 0};
        if (poll(&request, 1, waitMs) <= 0 || !(request.revents & POLLIN)) {
            // A pty master reports a hang-up while nobody holds the slave.
            if (request.revents & (POLLHUP | POLLERR)) std::this_thread::sleep_for(std::chrono::milliseconds(20));
            continue;
        }
        const ssize_t got = read(fd_, buffer + filled, count - filled);
        if (got > 0) {
            filled += static_cast<size_t>(got);
            CrossLine(inputFree_, static_cast<size_t>(got));
        }
        else if (got == 0 || (errno != EINTR && errno != EAGAIN)) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return Read::Done;
}

PrinterEmulator::Clock::duration PrinterEmulator::LineTime(size_t count) const {
    if (options_.baud <= 0) return Clock::duration::zero();
    return std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(static_cast<double>(count) * kBitsPerByte / options_.baud));
}

void PrinterEmulator::CrossLine(Clock::time_point& free, size_t count) {
    if (options_.baud <= 0) return;
    free = std::max(free, Clock::now()) + LineTime(count);
    std::this_thread::sleep_until(free);
}

void PrinterEmulator::Answer(uint8_t answer) {
    std::this_thread::sleep_for(std::chrono::milliseconds(options_.answerDelayMs));
    WriteByte(answer);
}

void PrinterEmulator::Write(const uint8_t* bytes, size_t count) {
    // On a paced line each slice is handed on once it has had time to cross.
    const Clock::duration byteTime = LineTime(1);
    const size_t slice = options_.baud <= 0 ? count : std::max<size_t>(1, kPacingSlice / byteTime);
    size_t sent = 0;
    while (sent < count) {
        const size_t piece = std::min(slice, count - sent);
        CrossLine(outputFree_, piece);
        if (WriteAll(bytes + sent, piece)) sent += piece;
        else return;  // the other end is gone; the protocol notices
    }
}

bool PrinterEmulator::WriteAll(const uint8_t* bytes, size_t count) {
    size_t sent = 0;
    while (sent < count) {
        const ssize_t done = write(fd_, bytes + sent, count - sent);
        if (done > 0) {
            sent += static_cast<size_t>(done);
        } else if (done < 0 && errno != EINTR && errno != EAGAIN) {
            return false;
        }
    }
    return true;
}

ExchangeReport PrinterEmulator::RunExchange(std::optional<Clock::time_point> deadline, const std::atomic<bool>& stop) {
    deadline_ = deadline;
    stop_ = &stop;
    ExchangeReport report;
    // Handshake: echo 0x01, then the byte that says which way the pages go.
    bool sawFirst = false;
    auto started = Clock::now();
    for (;;) {
        uint8_t byte = 0;
        if (ReadBytes(&byte, 1) != Read::Done) {
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
        if (ReadBytes(frame.data(), frame.size()) != Read::Done) return ExchangeOutcome::TimedOut;
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
            if (ReadBytes(&answer, 1) != Read::Done) return ExchangeOutcome::TimedOut;
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
