// The printer's side of the transmit and receive protocols over a byte
// stream, with faults that can be asked for.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
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
    Abandoned,          // the PC gave the exchange up and began a new one
    TimedOut,           // the time ran out
    Interrupted,        // the stop flag was raised
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
    using Image = std::array<uint8_t, kImageSize>;

    // line: already open; the emulator does not close it.
    PrinterEmulator(SerialLine& line, const PrinterOptions& options);

    // The image sent for a reception (initially blank flash, 0xFF).
    void SetServedImage(const std::vector<uint8_t>& image);
    const Image& ReceivedImage() const { return received_; }
    // Called with each whole image received, before the answer to its last
    // page goes out: whoever that answer tells that the image has arrived
    // finds what was done with it done.
    void OnImageReceived(std::function<void(const Image&)> received) { imageReceived_ = std::move(received); }

    // Serves one exchange, from the handshake to its end. A PC that gives up
    // an exchange and begins anew (a handshake where an answer to a block is
    // due, or the pages stopping halfway) ends it as Abandoned, and the next
    // exchange starts with what it has sent of its handshake.
    ExchangeReport RunExchange(std::optional<Clock::time_point> deadline, const std::atomic<bool>& stop);

    // Holds the line open and says nothing, taking whatever comes, as a
    // printer gone silent does, until the deadline (Silent) or the stop flag
    // (Interrupted).
    ExchangeOutcome StaySilent(std::optional<Clock::time_point> deadline, const std::atomic<bool>& stop);

    // The outcome the options ask for in an exchange of this kind.
    ExchangeOutcome PlannedOutcome(TransferKind kind) const;

private:
    enum class Read { Done, Stalled, TimedOut, Stopped };
    Read ReadBytes(uint8_t* buffer, size_t count);
    // Reads count bytes, filled of them so far. Once the first has come, a
    // pause of stall ends the read as Stalled.
    Read ReadBytes(uint8_t* buffer, size_t count, size_t& filled, std::optional<Clock::duration> stall = std::nullopt);
    static ExchangeOutcome Ended(Read read);
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
    Image received_{};
    Image served_{};
    std::function<void(const Image&)> imageReceived_;
    std::optional<Clock::time_point> deadline_;
    const std::atomic<bool>* stop_ = nullptr;
    bool crcCorrupted_ = false;
    bool handshakeBegun_ = false;  // an abandoned exchange ended on the first byte of a new handshake
    Clock::time_point inputFree_{}, outputFree_{};  // when each direction of a paced line is idle
};
