#include <fcntl.h>
// The emulated printer against a PC side played by the test over a socket
// pair, and its pseudo-terminal.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <future>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "PrinterEmulator.h"
#include "PrinterLine.h"

namespace {

class PcSide {
public:
    explicit PcSide(int fd) : fd_(fd) {}
    void Send(const std::vector<uint8_t>& bytes) { ASSERT_EQ(write(fd_, bytes.data(), bytes.size()), ssize_t(bytes.size())); }
    std::vector<uint8_t> Take(size_t count) {
        std::vector<uint8_t> bytes(count);
        size_t got = 0;
        while (got < count) {
            const ssize_t n = read(fd_, bytes.data() + got, count - got);
            if (n <= 0) break;
            got += size_t(n);
        }
        bytes.resize(got);
        return bytes;
    }
    uint8_t TakeByte() {
        auto bytes = Take(1);
        return bytes.empty() ? 0xEE : bytes[0];
    }
    std::vector<uint8_t> Frame(const std::vector<uint8_t>& image, int page, bool goodCrc = true) {
        std::vector<uint8_t> frame(image.begin() + page * kPageSize, image.begin() + (page + 1) * kPageSize);
        uint16_t crc = PageCrc(frame.data(), kPageSize);
        if (!goodCrc) crc = ~crc;
        frame.push_back(crc >> 8);
        frame.push_back(crc & 0xFF);
        return frame;
    }
    void Handshake(uint8_t second) {
        Send({0x01});
        EXPECT_EQ(TakeByte(), 0x01);
        Send({second});
        EXPECT_EQ(TakeByte(), second);
    }

private:
    int fd_;
};

std::vector<uint8_t> Image(uint8_t seed) {
    std::vector<uint8_t> image(kImageSize);
    for (int i = 0; i < kImageSize; ++i) image[i] = static_cast<uint8_t>(i * 13 + seed + i / 700);
    return image;
}

class PrinterEmulatorTest : public ::testing::Test {
protected:
    // The printer's end goes to a SerialLine, which closes it.
    void SetUp() override {
        ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, fds_), 0);
        std::string error;
        ASSERT_TRUE(line_.Assign(fds_[0], 0, error)) << error;
    }
    void TearDown() override { close(fds_[1]); }
    std::future<ExchangeReport> Serve(PrinterEmulator& printer) {
        return std::async(std::launch::async, [&printer, this] {
            return printer.RunExchange(PrinterEmulator::Clock::now() + std::chrono::seconds(10), stop_);
        });
    }

    int fds_[2] = {-1, -1};
    SerialLine line_;
    std::atomic<bool> stop_{false};
    PcSide pc_{-1};
};

TEST_F(PrinterEmulatorTest, TakesAWholeTransmissionAndKeepsTheImage) {
    PrinterOptions options;
    PrinterEmulator printer(line_, options);
    const auto image = Image(1);
    // What is done with the image is done before the last page's answer.
    std::atomic<bool> handedOver{false};
    printer.OnImageReceived([&](const PrinterEmulator::Image& received) {
        handedOver = std::equal(image.begin(), image.end(), received.begin());
    });
    auto report = Serve(printer);
    PcSide pc(fds_[1]);
    pc.Send({0x33});  // noise before the handshake is ignored
    pc.Handshake(0x52);
    for (int page = 0; page < kPageTotal; ++page) {
        EXPECT_FALSE(handedOver) << page;
        pc.Send(pc.Frame(image, page));
        ASSERT_EQ(pc.TakeByte(), 's') << page;
    }
    EXPECT_TRUE(handedOver);
    const ExchangeReport done = report.get();
    EXPECT_EQ(done.kind, TransferKind::Transmit);
    EXPECT_EQ(done.outcome, ExchangeOutcome::Complete);
    EXPECT_EQ(done.pages, kPageTotal);
    EXPECT_EQ(done.repeats, 0);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), printer.ReceivedImage().begin()));
}

TEST_F(PrinterEmulatorTest, AnswersWrongAsAskedAndOnABadCrc) {
    PrinterOptions options;
    options.wrongPage = 1;
    options.wrongTimes = 2;
    options.silentAfterPage = 2;
    PrinterEmulator printer(line_, options);
    auto report = Serve(printer);
    PcSide pc(fds_[1]);
    const auto image = Image(2);
    pc.Handshake(0x52);
    pc.Send(pc.Frame(image, 0, false));
    EXPECT_EQ(pc.TakeByte(), 'w');
    pc.Send(pc.Frame(image, 0));
    EXPECT_EQ(pc.TakeByte(), 's');
    for (int i = 0; i < 2; ++i) {
        pc.Send(pc.Frame(image, 1));
        EXPECT_EQ(pc.TakeByte(), 'w');
    }
    pc.Send(pc.Frame(image, 1));
    EXPECT_EQ(pc.TakeByte(), 's');
    pc.Send(pc.Frame(image, 2));
    EXPECT_EQ(pc.TakeByte(), 's');
    const ExchangeReport done = report.get();
    EXPECT_EQ(done.outcome, ExchangeOutcome::Silent);
    EXPECT_EQ(done.outcome, printer.PlannedOutcome(TransferKind::Transmit));
    EXPECT_EQ(done.pages, 3);
    EXPECT_EQ(done.repeats, 3);
}

TEST_F(PrinterEmulatorTest, FourthWrongIsAPageFault) {
    PrinterOptions options;
    options.wrongPage = 0;
    options.wrongTimes = 4;
    PrinterEmulator printer(line_, options);
    EXPECT_EQ(printer.PlannedOutcome(TransferKind::Transmit), ExchangeOutcome::PageFault);
    auto report = Serve(printer);
    PcSide pc(fds_[1]);
    const auto image = Image(3);
    pc.Handshake(0x52);
    for (int i = 0; i < 4; ++i) {
        pc.Send(pc.Frame(image, 0));
        EXPECT_EQ(pc.TakeByte(), 'w');
    }
    EXPECT_EQ(report.get().outcome, ExchangeOutcome::PageFault);
}

TEST_F(PrinterEmulatorTest, FailAndGarbageEndTheExchange) {
    for (const bool fail : {true, false}) {
        PrinterOptions options;
        (fail ? options.failPage : options.garbagePage) = 1;
        PrinterEmulator printer(line_, options);
        auto report = Serve(printer);
        PcSide pc(fds_[1]);
        const auto image = Image(4);
        pc.Handshake(0x52);
        pc.Send(pc.Frame(image, 0));
        EXPECT_EQ(pc.TakeByte(), 's');
        pc.Send(pc.Frame(image, 1));
        const uint8_t answer = pc.TakeByte();
        EXPECT_EQ(answer, fail ? 'f' : 0x00);
        EXPECT_EQ(ClassifyTransmitRead(&answer, 1), fail ? TransmitEvent::kVerificationFailed : TransmitEvent::kUnknown);
        const auto outcome = report.get().outcome;
        EXPECT_EQ(outcome, fail ? ExchangeOutcome::VerificationError : ExchangeOutcome::UnknownAnswer);
        EXPECT_EQ(outcome, printer.PlannedOutcome(TransferKind::Transmit));
    }
}

TEST_F(PrinterEmulatorTest, ServesAnImageAndRepeatsABlockAnsweredWrong) {
    PrinterOptions options;
    options.badCrcBlock = 5;
    PrinterEmulator printer(line_, options);
    const auto image = Image(5);
    printer.SetServedImage(image);
    auto report = Serve(printer);
    PcSide pc(fds_[1]);
    pc.Handshake(0x07);
    std::vector<uint8_t> got;
    int wrongCrcs = 0;
    while (got.size() < size_t(kImageSize)) {
        const auto block = pc.Take(kFrameSize);
        ASSERT_EQ(block.size(), size_t(kFrameSize));
        const uint16_t crc = PageCrc(block.data(), kPageSize);
        if (block[512] == (crc >> 8) && block[513] == (crc & 0xFF)) {
            got.insert(got.end(), block.begin(), block.begin() + kPageSize);
            pc.Send({'s'});
        } else {
            ++wrongCrcs;
            EXPECT_EQ(got.size(), size_t(5 * kPageSize));
            pc.Send({'w'});
        }
    }
    EXPECT_EQ(wrongCrcs, 1);
    EXPECT_EQ(got, image);
    const ExchangeReport done = report.get();
    EXPECT_EQ(done.kind, TransferKind::Receive);
    EXPECT_EQ(done.outcome, ExchangeOutcome::Complete);
    EXPECT_EQ(done.repeats, 1);
}

TEST_F(PrinterEmulatorTest, PacedLineTakesAFrameAtItsSpeedAndHoldsTheAnswerBack) {
    PrinterOptions options;
    options.baud = 9600;
    options.answerDelayMs = 50;
    options.silentAfterPage = 0;
    PrinterEmulator printer(line_, options);
    auto report = Serve(printer);
    PcSide pc(fds_[1]);
    pc.Handshake(0x52);
    const auto sent = PrinterEmulator::Clock::now();
    pc.Send(pc.Frame(Image(6), 0));
    EXPECT_EQ(pc.TakeByte(), 's');
    // 514 bytes of 10 bits at 9600 baud, the answer's byte, and the delay.
    EXPECT_GE(PrinterEmulator::Clock::now() - sent, std::chrono::milliseconds(514 * 10 * 1000 / 9600 + 1 + 50));
    EXPECT_EQ(report.get().outcome, ExchangeOutcome::Silent);
}

TEST_F(PrinterEmulatorTest, APcThatGivesUpIsServedAgainFromItsHandshake) {
    PrinterEmulator printer(line_, PrinterOptions{});
    printer.SetServedImage(Image(7));
    PcSide pc(fds_[1]);
    auto report = Serve(printer);
    // The exchange given up ends so, and the next one echoes the PC's 0x01 and then second.
    const auto beginAnew = [&](int pagesBefore, uint8_t second) {
        const ExchangeReport given = report.get();
        EXPECT_EQ(given.outcome, ExchangeOutcome::Abandoned);
        EXPECT_EQ(given.pages, pagesBefore);
        report = Serve(printer);
        EXPECT_EQ(pc.TakeByte(), 0x01);
        pc.Send({second});
        EXPECT_EQ(pc.TakeByte(), second);
    };
    // A reading given up with block 2 unanswered: the PC's next 0x01 begins anew.
    pc.Handshake(0x07);
    for (int block = 0; block < 3; ++block) {
        ASSERT_EQ(pc.Take(kFrameSize).size(), size_t(kFrameSize));
        if (block < 2) pc.Send({'s'});
    }
    pc.Send({0x01});
    beginAnew(2, 0x52);
    // A transmission given up after page 0: the 0x01 the PC then sends and
    // waits the echo of is no page, as the frame it began stalls.
    pc.Send(pc.Frame(Image(8), 0));
    EXPECT_EQ(pc.TakeByte(), 's');
    pc.Send({0x01});
    beginAnew(1, 0x07);
    EXPECT_EQ(pc.Take(kFrameSize), pc.Frame(Image(7), 0));
    stop_ = true;
    EXPECT_EQ(report.get().outcome, ExchangeOutcome::Interrupted);
}

TEST_F(PrinterEmulatorTest, StopsWhenTheTimeRunsOutOrWhenStopped) {
    PrinterEmulator printer(line_, PrinterOptions{});
    const auto started = PrinterEmulator::Clock::now();
    const ExchangeReport done = printer.RunExchange(started + std::chrono::milliseconds(300), stop_);
    EXPECT_EQ(done.outcome, ExchangeOutcome::TimedOut);
    EXPECT_LT(PrinterEmulator::Clock::now() - started, std::chrono::seconds(2));
    // Gone silent, it takes what comes and says nothing until the time runs out.
    PcSide pc(fds_[1]);
    pc.Send({0x01});
    EXPECT_EQ(printer.StaySilent(PrinterEmulator::Clock::now() + std::chrono::milliseconds(300), stop_),
              ExchangeOutcome::Silent);
    uint8_t answer = 0;
    EXPECT_EQ(recv(fds_[1], &answer, 1, MSG_DONTWAIT), -1);
    stop_ = true;
    EXPECT_EQ(printer.RunExchange(std::nullopt, stop_).outcome, ExchangeOutcome::Interrupted);
    EXPECT_EQ(printer.StaySilent(std::nullopt, stop_), ExchangeOutcome::Interrupted);
}

TEST(PrinterLineTest, OpensARawPseudoTerminalAndLinksIt) {
    const std::string link = (std::filesystem::temp_directory_path() / "glyphmill-printer-link-test").string();
    std::string error;
    {
        PrinterLine line;
        ASSERT_TRUE(line.OpenPseudoTerminal(error)) << error;
        ASSERT_TRUE(line.PlaceLink(link, error)) << error;
        EXPECT_EQ(std::filesystem::read_symlink(link).string(), line.DevicePath());
        // Bytes pass the raw line unchanged in both directions, 0x0D and 0x03 included.
        const int other = open(link.c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(other, 0);
        const uint8_t bytes[] = {0x01, 0x0D, 0x0A, 0x03, 0x7F, 0x11};
        ASSERT_EQ(write(other, bytes, sizeof bytes), ssize_t(sizeof bytes));
        uint8_t got[sizeof bytes] = {};
        size_t filled = 0;
        while (filled < sizeof bytes) {
            size_t count = 0;
            ASSERT_EQ(line.Line().ReadSome(got + filled, sizeof bytes - filled,
                                           SerialLine::Clock::now() + std::chrono::seconds(5), count),
                      SerialLine::Read::Data);
            filled += count;
        }
        EXPECT_EQ(std::memcmp(bytes, got, sizeof bytes), 0);
        close(other);
    }
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

}  // namespace
