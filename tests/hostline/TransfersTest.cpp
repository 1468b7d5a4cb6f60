// glyphmill's send and read (SendImage, ReceiveImage) against the emulated
// printer with each of its faults, and against a printer played by the test
// where the emulator has no such fault; both ends in this process, over a
// socket pair.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <future>
#include <string>
#include <vector>

#include "PrinterEmulator.h"
#include "Results.h"
#include "Transfers.h"

namespace {

using namespace std::chrono_literals;
constexpr auto kTimeout = 300ms;

ImageBytes Pattern(uint8_t seed) {
    ImageBytes image{};
    for (int i = 0; i < kImageSize; ++i) image[i] = static_cast<uint8_t>(i * 11 + seed + i / 600);
    return image;
}

// The two ends of one line; each SerialLine closes its end.
struct Wire {
    Wire() {
        int fds[2] = {-1, -1};
        EXPECT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
        std::string error;
        EXPECT_TRUE(pc.Assign(fds[0], 0, error)) << error;
        printerFd = fds[1];
    }
    SerialLine pc;
    int printerFd = -1;
};

struct Exchanged {
    TransferOutcome outcome;
    ExchangeOutcome printerOutcome = ExchangeOutcome::TimedOut;
    ExchangeOutcome planned = ExchangeOutcome::Complete;
    ImageBytes pcImage{};       // what the PC sent, or what it read
    ImageBytes printerImage{};  // what the printer took, or what it served
    int lastPages = -1, lastRepeats = -1;  // the last progress report
};

Exchanged Exchange(TransferKind kind, const PrinterOptions& options) {
    Wire wire;
    SerialLine printerLine;
    std::string error;
    EXPECT_TRUE(printerLine.Assign(wire.printerFd, 0, error)) << error;
    PrinterEmulator printer(printerLine, options);
    Exchanged run;
    const bool sending = kind == TransferKind::Transmit;
    (sending ? run.pcImage : run.printerImage) = Pattern(sending ? 1 : 2);
    printer.SetServedImage({run.printerImage.begin(), run.printerImage.end()});
    run.planned = printer.PlannedOutcome(kind);
    // The printer ends every exchange by itself; the deadline only bounds a fault of the test.
    const std::atomic<bool> stop{false};
    auto served = std::async(std::launch::async,
                             [&] { return printer.RunExchange(PrinterEmulator::Clock::now() + 10s, stop); });
    const ProgressFn progress = [&run](int pages, int repeats) {
        run.lastPages = pages;
        run.lastRepeats = repeats;
    };
    run.outcome = sending ? SendImage(wire.pc, run.pcImage, kTimeout, progress)
                          : ReceiveImage(wire.pc, run.pcImage, kTimeout, progress);
    run.printerOutcome = served.get().outcome;
    if (sending) run.printerImage = printer.ReceivedImage();
    return run;
}

struct FaultCase {
    const char* fault;
    TransferKind kind;
    void (*ask)(PrinterOptions&);
    int result;
    int pages;  // where it ended: pages that went across good
    int repeats;
    const char* detail;
};

constexpr TransferKind kSend = TransferKind::Transmit;
constexpr TransferKind kRead = TransferKind::Receive;

const FaultCase kFaultCases[] = {
    {"none", kSend, [](PrinterOptions&) {}, TransferResult::kDone, kPageTotal, 0, ""},
    {"wrong 5:3", kSend, [](PrinterOptions& o) { o.wrongPage = 5, o.wrongTimes = 3; }, TransferResult::kDone, kPageTotal, 3, ""},
    // The last page's answer is awaited, and a "w" to it repeats it.
    {"wrong 127:3", kSend, [](PrinterOptions& o) { o.wrongPage = 127, o.wrongTimes = 3; }, TransferResult::kDone, kPageTotal, 3, ""},
    {"wrong 5:4", kSend, [](PrinterOptions& o) { o.wrongPage = 5, o.wrongTimes = 4; }, TransferResult::kPageFault, 5, 3, ""},
    {"fail 7", kSend, [](PrinterOptions& o) { o.failPage = 7; }, TransferResult::kVerifyError, 7, 0, ""},
    {"garbage 9", kSend, [](PrinterOptions& o) { o.garbagePage = 9; }, TransferResult::kUnknownAnswer, 9, 0, "0x00"},
    {"silent after 10", kSend, [](PrinterOptions& o) { o.silentAfterPage = 10; }, TransferResult::kNoAnswer, 11, 0, ""},
    {"none", kRead, [](PrinterOptions&) {}, TransferResult::kDone, kPageTotal, 0, ""},
    {"bad CRC 5", kRead, [](PrinterOptions& o) { o.badCrcBlock = 5; }, TransferResult::kDone, kPageTotal, 1, ""},
    {"silent after 3", kRead, [](PrinterOptions& o) { o.silentAfterPage = 3; }, TransferResult::kNoAnswer, 4, 0, ""},
};

TEST(HostTransfers, EachPrinterFaultEndsTheTransferAsTheMachineSays) {
    for (const FaultCase& c : kFaultCases) {
        SCOPED_TRACE(std::string(c.kind == kSend ? "send, " : "read, ") + c.fault);
        PrinterOptions options;
        c.ask(options);
        const Exchanged run = Exchange(c.kind, options);
        const TransferProgress& progress = run.outcome.progress;
        EXPECT_TRUE(progress.ended);
        EXPECT_EQ(progress.result, c.result) << TransferResult::Message(progress.result);
        EXPECT_TRUE(progress.paging);
        EXPECT_EQ(progress.pages, c.pages);
        EXPECT_EQ(progress.repeats, c.repeats);
        EXPECT_EQ(run.outcome.detail, c.detail);
        EXPECT_EQ(run.printerOutcome, run.planned);
        const bool done = c.result == TransferResult::kDone;
        if (done) {
            EXPECT_EQ(run.lastPages, kPageTotal);
            EXPECT_EQ(run.lastRepeats, c.repeats);
        }
        // Both ends hold the same image when all of it went across; a
        // reception that failed leaves the caller's image alone.
        if (done || c.kind == kRead) {
            EXPECT_EQ(run.pcImage == run.printerImage, done);
        }
        if (!done && c.kind == kRead) {
            EXPECT_EQ(run.pcImage, ImageBytes{});
        }
    }
}

// A printer played byte by byte over the other end of the wire.
class ScriptedPrinter {
public:
    explicit ScriptedPrinter(int fd) : fd_(fd) {}
    ~ScriptedPrinter() { Hang(); }
    void Send(const std::vector<uint8_t>& bytes) { ASSERT_EQ(write(fd_, bytes.data(), bytes.size()), ssize_t(bytes.size())); }
    uint8_t Take() {
        uint8_t byte = 0;
        return read(fd_, &byte, 1) == 1 ? byte : 0xEE;
    }
    // Whether a byte is waiting, without waiting for one.
    bool Pending() {
        uint8_t byte = 0;
        return recv(fd_, &byte, 1, MSG_DONTWAIT) == 1;
    }
    void Echo(uint8_t second) {
        EXPECT_EQ(Take(), kHandshake1);
        Send({kHandshake1});
        EXPECT_EQ(Take(), second);
        Send({second});
    }
    std::vector<uint8_t> Block(bool goodCrc) {
        std::vector<uint8_t> block(kPageSize, 0x5A);
        const std::array<uint8_t, 2> crc = PageCrcBytes(block.data());
        block.push_back(crc[0]);
        block.push_back(goodCrc ? crc[1] : crc[1] ^ 1);
        return block;
    }
    void Hang() {
        if (fd_ >= 0) close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

TEST(HostTransfers, AReceptionGivesUpOnTheFourthBadBlockInARowWithoutAnsweringIt) {
    Wire wire;
    ScriptedPrinter printer(wire.printerFd);
    ImageBytes image{};
    auto reading = std::async(std::launch::async, [&] { return ReceiveImage(wire.pc, image, kTimeout, [](int, int) {}); });
    printer.Echo(kReceiveHandshake2);
    printer.Send(printer.Block(true));
    EXPECT_EQ(printer.Take(), kAnswerGood);
    for (int bad = 1; bad <= 3; ++bad) {
        printer.Send(printer.Block(false));
        EXPECT_EQ(printer.Take(), kAnswerWrong);
    }
    printer.Send(printer.Block(false));
    const TransferProgress progress = reading.get().progress;
    EXPECT_EQ(progress.result, TransferResult::kBadBlocks);
    EXPECT_EQ(progress.pages, 1);
    EXPECT_EQ(progress.repeats, 3);
    EXPECT_FALSE(printer.Pending());
}

TEST(HostTransfers, SilenceInTheHandshakeAndALineThatWentAway) {
    {
        Wire wire;
        ScriptedPrinter printer(wire.printerFd);
        const TransferOutcome outcome = SendImage(wire.pc, Pattern(3), kTimeout, [](int, int) {});
        EXPECT_EQ(outcome.progress.result, TransferResult::kNoAnswer);
        EXPECT_FALSE(outcome.progress.paging);
    }
    Wire wire;
    ScriptedPrinter printer(wire.printerFd);
    ImageBytes image{};
    auto reading = std::async(std::launch::async, [&] { return ReceiveImage(wire.pc, image, 10s, [](int, int) {}); });
    printer.Echo(kReceiveHandshake2);
    printer.Hang();
    const TransferOutcome outcome = reading.get();
    EXPECT_EQ(outcome.progress.result, TransferResult::kLineLost);
    EXPECT_EQ(outcome.detail, "End of file");
}

}  // namespace
