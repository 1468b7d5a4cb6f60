#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Protocol.h"
#include "Results.h"
#include "ScriptedPort.h"

namespace {

std::vector<uint8_t> PatternImage(size_t size) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>((i * 7 + i / 512) & 0xFF);
    return bytes;
}

class TransmitTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = (std::filesystem::temp_directory_path() /
                 ("glysend-tx-" + std::to_string(reinterpret_cast<uintptr_t>(this)) + ".bin"))
                    .string();
        WriteFile(PatternImage(kImageSize));
    }
    void TearDown() override { std::remove(path_.c_str()); }

    void WriteFile(const std::vector<uint8_t>& bytes) {
        std::ofstream(path_, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }

    void Start(int speedIndex = 5) { StartTransmit(transfer_, path_, PortChoice{2, speedIndex}); }
    void Look() {
        port_.Poll([this](int event) { OnTransmitEvent(transfer_, event); });
    }
    // The printer's bytes arrive and the listener takes its next look.
    void Answer(std::initializer_list<uint8_t> bytes) {
        port_.Arrive(bytes);
        Look();
    }
    // Time passes with nothing from the printer, then the listener looks.
    void Silence(int64_t milliseconds) {
        clock_ += milliseconds;
        Look();
    }
    void Handshake(int speedIndex = 5) {
        Start(speedIndex);
        Answer({0x01});
        Answer({0x52});
    }
    std::vector<uint8_t> Frame(int page) const {
        std::vector<uint8_t> frame(transfer_.image.begin() + page * kPageSize,
                                   transfer_.image.begin() + (page + 1) * kPageSize);
        const uint16_t crc = PageCrc(frame.data(), frame.size());
        frame.push_back(crc >> 8);
        frame.push_back(crc & 0xFF);
        return frame;
    }
    // Everything written since the handshake, as one byte stream.
    std::vector<uint8_t> Written(size_t fromWrite) const {
        std::vector<uint8_t> all;
        for (size_t i = fromWrite; i < port_.writes.size(); ++i)
            all.insert(all.end(), port_.writes[i].begin(), port_.writes[i].end());
        return all;
    }

    std::string path_;
    RecordingWindow window_;
    ScriptedPort port_{window_};
    int64_t clock_ = 0;
    Transfer transfer_{port_, window_, [this] { return clock_; }};
};

constexpr int kSlowest = 0;  // 2400 baud: a page frame takes 2.14 s to leave
constexpr int kFastest = 5;  // 115200 baud: 45 ms

void ExpectNoAnswer(const RecordingWindow& window, const ScriptedPort& port) {
    EXPECT_EQ(window.Last().text, "No answer");
    EXPECT_EQ(window.Last().colour, kRed);
    EXPECT_FALSE(port.open);
    EXPECT_TRUE(window.controlsEnabled);
}

TEST_F(TransmitTest, FullRunSendsEveryPageAndEndsWithoutWaitingForTheLastAnswer) {
    Start();
    EXPECT_EQ(port_.openedPort, 2);
    EXPECT_EQ(port_.openedSpeed, 5);
    EXPECT_EQ(port_.openedQueue, kTransmitQueueSize);
    EXPECT_EQ(port_.Listener().pollMilliseconds, 250);
    EXPECT_EQ(port_.Listener().kind, TransferKind::Transmit);
    EXPECT_FALSE(window_.controlsEnabled);
    ASSERT_EQ(window_.shown.size(), 2u);
    EXPECT_EQ(window_.shown[0].text, "Initiate");
    EXPECT_EQ(window_.shown[1].text, "Wait Echo 1");
    EXPECT_EQ(port_.writes.back(), std::vector<uint8_t>{0x01});

    Answer({0x01});
    EXPECT_EQ(window_.Last().text, "Wait Echo 2");
    EXPECT_EQ(port_.writes.back(), std::vector<uint8_t>{0x52});

    const size_t firstPageWrite = port_.writes.size();
    Answer({0x52});
    EXPECT_EQ(window_.Last().text, "Page 0");
    EXPECT_FALSE(window_.Last().boxOn);
    for (int page = 1; page < kPageTotal; ++page) {
        Answer({'s'});
        if (page < kPageTotal - 1) {
            EXPECT_EQ(window_.Last().text, "Page " + std::to_string(page));
            EXPECT_TRUE(window_.Last().boxOn);
            EXPECT_EQ(window_.Last().colour, kGreen);
        }
    }
    EXPECT_EQ(window_.Last().text, "File Transmitted");
    EXPECT_FALSE(window_.Last().boxOn);
    EXPECT_FALSE(port_.open);
    EXPECT_TRUE(window_.controlsEnabled);

    // Each page goes out as two writes, 512 data bytes then 2 CRC bytes.
    ASSERT_EQ(port_.writes.size() - firstPageWrite, 2u * kPageTotal);
    EXPECT_EQ(port_.writes[firstPageWrite].size(), 512u);
    EXPECT_EQ(port_.writes[firstPageWrite + 1].size(), 2u);
    std::vector<uint8_t> expected;
    for (int page = 0; page < kPageTotal; ++page) {
        const auto frame = Frame(page);
        expected.insert(expected.end(), frame.begin(), frame.end());
    }
    EXPECT_EQ(Written(firstPageWrite), expected);

    // The answer to page 127 is never read: the listener has stopped.
    port_.Arrive({'s'});
    port_.Poll([](int) { FAIL() << "no event after the end"; });
}

TEST_F(TransmitTest, ThreeRepeatsAreAllowedAndAFourthWrongEndsWithPageFault) {
    Handshake();
    Answer({'s'});
    Answer({'s'});  // page 2 is out
    for (int repeat = 1; repeat <= 3; ++repeat) {
        const size_t before = port_.writes.size();
        Answer({'w'});
        EXPECT_EQ(window_.Last().text, "Page 2 Rep. " + std::to_string(repeat));
        EXPECT_EQ(window_.Last().colour, kLightRed);
        EXPECT_EQ(Written(before), Frame(2));
    }
    const size_t before = port_.writes.size();
    Answer({'w'});
    EXPECT_EQ(window_.Last().text, "Page fault error");
    EXPECT_EQ(window_.Last().colour, kRed);
    EXPECT_EQ(port_.writes.size(), before);
    EXPECT_FALSE(port_.open);
    EXPECT_TRUE(window_.controlsEnabled);
}

TEST_F(TransmitTest, AGoodAnswerAfterRepeatsStartsTheNextPageWithAFreshCount) {
    Handshake();
    Answer({'w'});
    Answer({'w'});
    Answer({'w'});
    Answer({'s'});
    EXPECT_EQ(window_.Last().text, "Page 1");
    EXPECT_EQ(transfer_.repeatCount, 0);
    Answer({'w'});
    Answer({'w'});
    Answer({'w'});
    EXPECT_EQ(window_.Last().text, "Page 1 Rep. 3");
    EXPECT_TRUE(port_.open);
}

TEST_F(TransmitTest, OneReadGivesOneEventByPriority) {
    EXPECT_EQ(ClassifyTransmitRead(reinterpret_cast<const uint8_t*>("ws"), 2), TransmitEvent::kGood);
    const uint8_t echoes[] = {0x52, 0x01};
    EXPECT_EQ(ClassifyTransmitRead(echoes, 2), TransmitEvent::kEcho1);
    const uint8_t noise[] = {0x00};
    EXPECT_EQ(ClassifyTransmitRead(noise, 1), TransmitEvent::kUnknown);
    EXPECT_EQ(ClassifyTransmitRead(reinterpret_cast<const uint8_t*>("xfw"), 3), TransmitEvent::kWrong);

    // Both echoes in one read: only 0x01 counts, and the "R" is lost.
    Start();
    Answer({0x01, 0x52});
    EXPECT_EQ(transfer_.transferState, kWaitEcho2);
    EXPECT_EQ(window_.Last().text, "Wait Echo 2");
    Answer({'s'});  // ignored during the handshake
    EXPECT_EQ(transfer_.transferState, kWaitEcho2);
    EXPECT_TRUE(port_.open);
}

TEST_F(TransmitTest, MixedAnswerCountsAsGood) {
    Handshake();
    Answer({'s', 'w'});
    EXPECT_EQ(window_.Last().text, "Page 1");
    EXPECT_EQ(window_.Last().colour, kGreen);
}

TEST_F(TransmitTest, UnknownByteEndsInAnyState) {
    Start();
    Answer({0x00});
    EXPECT_EQ(window_.Last().text, "Unknown Error");
    EXPECT_EQ(window_.Last().colour, kRed);
    EXPECT_FALSE(port_.open);

    Handshake();
    Answer({'s'});
    Answer({0x42});
    EXPECT_EQ(window_.Last().text, "Unknown Error");
    EXPECT_TRUE(window_.controlsEnabled);
}

TEST_F(TransmitTest, VerificationErrorEndsEvenDuringTheHandshake) {
    Start();
    Answer({0x01});
    Answer({'f'});
    EXPECT_EQ(window_.Last().text, "Verification error");
    EXPECT_EQ(window_.Last().colour, kRed);
    EXPECT_FALSE(port_.open);
    EXPECT_TRUE(window_.controlsEnabled);
}

TEST_F(TransmitTest, ASilentPrinterEndsWithNoAnswerFiveSecondsAfterTheAwaitedBytesHaveLeft) {
    Start(kSlowest);
    Silence(4900);
    EXPECT_EQ(window_.Last().text, "Wait Echo 1");
    Silence(200);
    ExpectNoAnswer(window_, port_);

    Handshake(kFastest);
    Answer({'s'});
    Silence(5100);
    ExpectNoAnswer(window_, port_);

    // At 2400 baud the limit also counts the frame's time on the line.
    Handshake(kSlowest);
    Silence(7000);
    EXPECT_TRUE(port_.open);
    Answer({'s'});
    EXPECT_EQ(window_.Last().text, "Page 1");
    Silence(7000);
    EXPECT_TRUE(port_.open);
    Silence(300);
    ExpectNoAnswer(window_, port_);
    port_.Poll([](int) { FAIL() << "no event after the end"; });
}

TEST_F(TransmitTest, ASlowButHealthyLineNeverTimesOut) {
    Handshake(kSlowest);
    for (int page = 1; page < kPageTotal; ++page) {
        Silence(7000);
        Answer({'s'});
    }
    EXPECT_EQ(window_.Last().text, "File Transmitted");
}

TEST_F(TransmitTest, AnEmptyReadIsNoEvent) {
    Start();
    port_.Poll([](int) { FAIL() << "nothing arrived"; });
    EXPECT_EQ(window_.Last().text, "Wait Echo 1");
}

TEST_F(TransmitTest, ShortFileIsPaddedWithZerosNotWithTheLastImage) {
    transfer_.image.fill(0xAB);  // left over from an earlier transfer
    WriteFile(std::vector<uint8_t>(1000, 0x11));
    Handshake();
    EXPECT_EQ(transfer_.image[999], 0x11);
    EXPECT_EQ(transfer_.image[1000], 0x00);
    EXPECT_EQ(transfer_.image[kImageSize - 1], 0x00);
    for (int page = 1; page < kPageTotal; ++page) Answer({'s'});
    EXPECT_EQ(window_.Last().text, "File Transmitted");
}

TEST_F(TransmitTest, LongFileSendsOnlyItsFirst64K) {
    auto bytes = PatternImage(kImageSize + 100);
    WriteFile(bytes);
    Start();
    EXPECT_TRUE(std::equal(transfer_.image.begin(), transfer_.image.end(), bytes.begin()));
}

TEST_F(TransmitTest, MissingFileIsRefusedWithoutTouchingControlsOrPort) {
    std::remove(path_.c_str());
    Start();
    EXPECT_EQ(window_.Last().text, "Can't open file");
    EXPECT_EQ(window_.Last().colour, kRed);
    EXPECT_TRUE(window_.controlsEnabled);
    EXPECT_EQ(port_.openedPort, 0);

    StartTransmit(transfer_, "", PortChoice{1, 2});
    EXPECT_EQ(window_.Last().text, "Can't open file");
}

TEST_F(TransmitTest, PortFailureShowsItsStepOnRedAndEnablesControls) {
    const std::pair<int, const char*> steps[] = {
        {PortResult::kNotOpened, "Port init error"},     {PortResult::kNoState, "Port Init error"},
        {PortResult::kStateRefused, "Port Init Error"},  {PortResult::kNoTimeouts, "PorT Init Error"},
        {PortResult::kTimeoutsRefused, "PorT IniT Error"}, {PortResult::kNoListener, "PorT IniT Error"}};
    for (const auto& [result, text] : steps) {
        port_.openResult = result;
        Start();
        EXPECT_EQ(window_.Last().text, text);
        EXPECT_EQ(window_.Last().colour, kRed);
        EXPECT_TRUE(window_.controlsEnabled);
        EXPECT_TRUE(port_.writes.empty());
    }
}

TEST(SpeedTable, HasNo38400AndClampsItsIndex) {
    EXPECT_EQ(BaudRateForIndex(0), 2400u);
    EXPECT_EQ(BaudRateForIndex(4), 57600u);
    EXPECT_EQ(BaudRateForIndex(5), 115200u);
    EXPECT_EQ(BaudRateForIndex(9), 115200u);
    EXPECT_EQ(BaudRateForIndex(-1), 2400u);
}

TEST(PageCrcTest, MatchesTheXmodemCheckValue) {
    const char* check = "123456789";
    EXPECT_EQ(PageCrc(reinterpret_cast<const uint8_t*>(check), 9), 0x31C3);
    EXPECT_EQ(PageCrc(nullptr, 0), 0);
    const std::vector<uint8_t> blank(kPageSize, 0xFF);
    const std::vector<uint8_t> zeros(kPageSize, 0x00);
    EXPECT_EQ(PageCrc(zeros.data(), zeros.size()), 0);
    EXPECT_NE(PageCrc(blank.data(), blank.size()), 0);
}

}  // namespace
