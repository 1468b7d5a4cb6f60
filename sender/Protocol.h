// The sender's protocol logic, free of the platform: the page checksum, the
// transmit and receive state machines, and the operations they use to reach
// the serial port and the window. The Win32 program and the native tests
// plug their own port and window in behind SerialPort and SenderWindow;
// glyphmill feeds the same machines from its line, which they write to as a
// PortWriter, and reads how each event left the transfer from TransferStep.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "Results.h"

constexpr int kPageSize = 512;
constexpr int kPageTotal = 128;
constexpr int kImageSize = kPageSize * kPageTotal;  // 65,536
constexpr int kFrameSize = kPageSize + 2;           // page and its CRC, high byte first

// Input queue sizes asked for by the two kinds of transfer.
constexpr int kTransmitQueueSize = 512;
constexpr int kReceiveQueueSize = 1024;

// TransferState: each value is the byte the state is waiting for.
constexpr int kWaitEcho1 = 0x01;
constexpr int kWaitEcho2 = 0x52;
constexpr int kSendingPages = 0x73;
constexpr int kReceivingPages = 0x98;

// Bytes on the wire.
constexpr uint8_t kHandshake1 = 0x01;
constexpr uint8_t kTransmitHandshake2 = 0x52;  // "R"
constexpr uint8_t kReceiveHandshake2 = 0x07;
constexpr uint8_t kAnswerGood = 0x73;          // "s"
constexpr uint8_t kAnswerWrong = 0x77;         // "w"
constexpr uint8_t kAnswerFailed = 0x66;        // "f"

// Events handed from a listener to the window thread.
namespace TransmitEvent {
constexpr int kEcho1 = 0x01;
constexpr int kEcho2 = 0x52;
constexpr int kGood = 0x73;
constexpr int kWrong = 0x77;
constexpr int kVerificationFailed = 0x66;
constexpr int kUnknown = 0x99;
constexpr int kNoAnswer = 0x100;  // no byte at all where an answer was due
}  // namespace TransmitEvent

namespace ReceiveEvent {
constexpr int kEcho1 = 0x01;
constexpr int kEcho2 = 0x52;
constexpr int kBlock = 0x98;
constexpr int kNoAnswer = 0x100;  // no byte at all where an echo or a block was due
}  // namespace ReceiveEvent

// Status box colours as COLORREF values (red in the low byte).
constexpr uint32_t kRed = 0x000000FF;
constexpr uint32_t kGreen = 0x0000FF00;
constexpr uint32_t kLightRed = 0x008080FF;

constexpr int kMaxRepeats = 3;

// How long the printer may stay silent where an answer, an echo or a block is
// due: counted from when the bytes it answers have left at the chosen speed,
// plus the time the awaited bytes themselves take on the line.
constexpr int64_t kSilenceLimitMilliseconds = 5000;
// A start bit, 8 data bits and a stop bit.
constexpr int kBitsPerByte = 10;

// Milliseconds on a steady clock; the transfers measure the printer's silence
// with it. Tests hand in a clock of their own.
using Clock = std::function<int64_t()>;
int64_t SteadyMilliseconds();

enum class StatusBox { Keep, Off, On };

// The window operations the protocols and the link use. SetStatus repaints.
class SenderWindow {
public:
    virtual ~SenderWindow() = default;
    // Sets the status text; with StatusBox::On also the box colour.
    virtual void SetStatus(const std::string& text, StatusBox box, uint32_t colour = 0) = 0;
    // Enables or disables all five controls.
    virtual void EnableControls(bool enable) = 0;
};

// Hands one event to the window thread and returns once it has been handled.
using HandOver = std::function<void(int event)>;

enum class TransferKind { Transmit, Receive };

// What a transfer's listener does: how often it looks at the port, and one look.
struct ListenerRoutine {
    TransferKind kind;
    int pollMilliseconds;
    std::function<void(const HandOver&)> pollOnce;
};

// Where a transfer's bytes go: the window sender's port, glyphmill's line.
class PortWriter {
public:
    virtual ~PortWriter() = default;
    // Hands the bytes to the port without waiting for them to leave.
    virtual void WritePort(const uint8_t* bytes, size_t count) = 0;
};

// The serial link. OpenPort reports its own failures (ReportPortFailure) and
// EndTransfer enables the controls again, so callers only test for 0.
class SerialPort : public PortWriter {
public:
    // 0 when open with the listener running, else a PortResult code.
    virtual int OpenPort(int portNumber, int speedIndex, int inputQueueSize, ListenerRoutine listener) = 0;
    // The bytes that have arrived, at most maxCount; never waits.
    virtual size_t ReadPort(uint8_t* buffer, size_t maxCount) = 0;
    // Enables the controls, closes the port and stops this transfer's listener.
    virtual void EndTransfer() = 0;
};

// The speed table indexed by the speed box position; 38400 is not offered.
constexpr std::array<uint32_t, 6> kBaudRates = {2400, 4800, 9600, 19200, 57600, 115200};
// The baud rate for a speed box position, clamped to the table.
uint32_t BaudRateForIndex(int speedIndex);

// Shows a failed OpenPort step on red and enables the controls again.
void ReportPortFailure(SenderWindow& window, int result);

// Reads the first 65,536 bytes of path as a transmission sends them, a short
// file zero-padded: TransferResult::kDone, kFileNotOpened or kFileNotRead.
int ReadImageToSend(const std::string& path, std::array<uint8_t, kImageSize>& image);

// CRC-16/XMODEM: polynomial 0x1021, initial 0, no reflection, no final XOR.
uint16_t PageCrc(const uint8_t* bytes, size_t count);
// The two bytes that follow a page on the wire: its CRC, high byte first.
std::array<uint8_t, 2> PageCrcBytes(const uint8_t* page);
// Whether a frame's last two bytes are the CRC of its page.
bool FrameCrcMatches(const uint8_t* frame);

// The single event one transmit listener read stands for: the first of
// 0x01, 0x52, "s", "w", "f" found among the bytes, else 0x99.
int ClassifyTransmitRead(const uint8_t* bytes, size_t count);

// The time count bytes take on a line of this speed, 10 bits a byte; none
// at speed 0 (a line that is not paced).
std::chrono::microseconds LineTime(uint32_t baud, size_t count);
// The same in milliseconds, rounded up.
int64_t LineMilliseconds(uint32_t baud, size_t count);

// Where glyphmill's transfers are stricter than the window's.
struct TransferRules {
    // A transmission waits for the answer to its last page, repeating it on
    // "w", so that done means the printer took every page.
    bool awaitLastAnswer = false;
    // A reception ends with TransferResult::kBadBlocks at the fourth bad
    // block in a row, which is not answered.
    bool limitBadBlocks = false;
    // How long the printer may stay silent beyond the line time of what it owes.
    int64_t silenceLimitMilliseconds = kSilenceLimitMilliseconds;
};

// How far a transfer has come and, once it has ended, how.
struct TransferProgress {
    bool ended = false;
    int result = TransferResult::kDone;  // how it ended; kDone while it runs
    bool paging = false;                 // past the handshake
    int pages = 0;                       // pages that went across good
    int repeats = 0;                     // pages or blocks that went across again
};

// What one event did to a transfer.
struct TransferStep {
    enum class Move {
        None,   // nothing for this state
        Echo1,  // the first echo came: the second handshake byte went out
        Echo2,  // the second echo came: the pages start
        Good,   // a page was answered "s", or a block arrived good
        Again,  // a page goes out again, or a bad block was answered "w"
    };
    Move move = Move::None;  // what happened before any ending
    TransferProgress progress;
};

// The state one transfer's machine keeps, whoever drives it. Everything but
// the block collection is touched on the thread that handles the events; the
// window's listener also reads transferState and replyDueBy (and pushes
// replyDueBy back while a block arrives), which is why they are atomic.
struct TransferMachine {
    TransferMachine(PortWriter& writer, Clock clock, TransferRules rules = {})
        : writer(writer), now(std::move(clock)), rules(rules) {}
    PortWriter& writer;
    Clock now;
    TransferRules rules;
    std::array<uint8_t, kImageSize> image{};  // ImageBuffer
    std::atomic<int> transferState{0};
    int pageCount = 0;
    int repeatCount = 0;  // repeats of the current page or block
    int repeats = 0;      // repeats of the whole transfer
    // The block being collected.
    std::array<uint8_t, kFrameSize> blockBuffer{};
    int blockFill = 0;
    uint32_t baud = kBaudRates[0];  // the chosen speed
    int64_t lineFreeAt = 0;         // when the bytes written so far have left
    // The printer has answered nothing by then: the transfer ends with "No answer".
    std::atomic<int64_t> replyDueBy{0};
};

// Readies the machine for a new transfer at this speed: counts cleared,
// waiting for the first echo (before the first look at the line).
void PrepareTransfer(TransferMachine& machine, uint32_t baud);
// Writes the first handshake byte; its echo is due from then.
void SendHandshake(TransferMachine& machine);
// Whether the printer has been silent past its limit.
bool SilentTooLong(const TransferMachine& machine);

// Handles one transmit event: writes what it calls for and says what it did.
TransferStep TransmitStep(TransferMachine& machine, int event);
// Writes page n's frame: its 512 bytes, then its CRC high byte first; its
// answer is due once the frame has left.
void SendPage(TransferMachine& machine, int page);

// The bytes that have arrived, at most maxCount; never waits.
using ByteSource = std::function<size_t(uint8_t* buffer, size_t maxCount)>;
// Takes from read what one look of the receive listener takes: one byte
// during the handshake, the rest of the block while pages arrive. Returns
// the event it makes (an echo, a whole block), or 0 for none.
int CollectReceived(TransferMachine& machine, const ByteSource& read);
// Handles one receive event: answers what it calls for and says what it did.
TransferStep ReceiveStep(TransferMachine& machine, int event);
// Stores the collected block as the next page and answers it (the next block
// is due from then); returns the status colour: green for a good block, red
// for a bad one.
uint32_t CheckBlock(TransferMachine& machine);

// The window sender's transfer: the machine on the window's port, with the
// status line and the file a reception replaces.
struct Transfer : TransferMachine {
    Transfer(SerialPort& port, SenderWindow& window, Clock clock = SteadyMilliseconds)
        : TransferMachine(port, std::move(clock)), port(port), window(window) {}
    SerialPort& port;
    SenderWindow& window;
    std::string receivePath;  // the file a reception replaces when it completes
};

// The port and speed box selections.
struct PortChoice {
    int portNumber;  // 1 to 6
    int speedIndex;  // 0 to 5
};

// "Send": reads the file into the image buffer and starts a transmission.
void StartTransmit(Transfer& transfer, const std::string& path, PortChoice choice);
// One look of the transmit listener at the port: an event for what arrived,
// or kNoAnswer once the printer has been silent past its limit.
void TransmitListener(Transfer& transfer, const HandOver& handOver);
// Handles a transmit event on the window thread and shows it.
void OnTransmitEvent(Transfer& transfer, int event);

// "Read": checks the file can be written and starts a reception.
void StartReceive(Transfer& transfer, const std::string& path, PortChoice choice);
// One look of the receive listener at the port: collects blocks, hands over
// echoes and whole blocks, or kNoAnswer once the printer has been silent
// past its limit.
void ReceiveListener(Transfer& transfer, const HandOver& handOver);
// Handles a receive event on the window thread and shows it; a complete
// image replaces the file.
void OnReceiveEvent(Transfer& transfer, int event);
