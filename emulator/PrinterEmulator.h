// The printer's side of the transmit and receive protocols over a byte
// stream, with faults that can be asked for.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Protocol.h"
#include "SerialLine.h"

struct PrinterOptions {
    std::string device;     // serial device to use instead of a new pty
    std::string linkPath;   // symlink placed at the device
    std::string savePath;   // where each received image is written
    std::string servePath;  // image sent for a reception
    int wrongPage = -1, wrongTimes = 0;  // answer "w" to this page so many times
    int failPage = -1;                   // answer "f" to this page
    int garbagePage = -1;                // answer this page with a byte that is no code
    int silentAfterPage = -1;            // answer nothing after this page or block
    int badCrcBlock = -1;                // corrupt this block's CRC once
    int exchanges = 1;                   // exchanges to serve; 0 for no end
    double timeoutSeconds = 0;           // give up after this long; 0 for never
    int baud = 0;                        // pace the line at this speed; 0 for as fast as it goes
    int answerDelayMs = 0;               // hold each answer to a page back this long
};

enum class ExchangeOutcome {
    Complete,           // all 128 pages went across
    VerificationError,  // "f" answered as asked
    UnknownAnswer,      // a byte that is no code answered as asked
    PageFault,          // a fourth "w" to one page: the sender gives up
    Silent,             // went silent as asked
    TimedOut,           // the time ran out, or the line was stopped
};

const char* OutcomeName(ExchangeOutcome outcome);

struct ExchangeReport {
    bool handshakeDone = false;
    TransferKind kind = TransferKind::Transmit;
    ExchangeOutcome outcome = ExchangeOutcome::TimedOut;
    int pages = 0;    // pages that went across good
    int repeats = 0;  // pages or blocks sent again after a "w"
    double seconds = 0;
};

class PrinterEmulator {
public:
    using Clock = std::chrono::steady_clock;

    // line: already open; the emulator does not close it.
    PrinterEmulator(SerialLine& line, const PrinterOptions& options);

    // The image sent for a reception (initially blank flash, 0xFF).
    void SetServedImage(const std::vector<uint8_t>& image);
    const std::array<uint8_t, kImageSize>& ReceivedImage() const { return received_; }

    // Serves one exchange, from the handshake to its end.
    ExchangeReport RunExchange(std::optional<Clock::time_point> deadline, const std::atomic<bool>& stop);

    // The outcome the options ask for in an exchange of this kind.
    ExchangeOutcome PlannedOutcome(TransferKind kind) const;

private:
    enum class Read { Done, Ended };
    Read ReadBytes(uint8_t* buffer, size_t count);
    void Write(const uint8_t* bytes, size_t count);
    void WriteByte(uint8_t byte) { Write(&byte, 1); }
    void Answer(uint8_t answer);
    // On a paced line: waits until count bytes have crossed a line that is
    // free from free on.
    void CrossLine(Clock::time_point& free, size_t count);
    ExchangeOutcome Transmit(ExchangeReport& report);
    ExchangeOutcome Receive(ExchangeReport& report);

    SerialLine& line_;
    PrinterOptions options_;
    std::array<uint8_t, kImageSize> received_{};
    std::array<uint8_t, kImageSize> served_{};
    std::optional<Clock::time_point> deadline_;
    const std::atomic<bool>* stop_ = nullptr;
    bool crcCorrupted_ = false;
    Clock::time_point inputFree_{}, outputFree_{};  // when each direction of a paced line is idle
};
