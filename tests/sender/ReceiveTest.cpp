#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Protocol.h"
#include "ScriptedPort.h"

namespace {

std::vector<uint8_t> Block(int page, bool goodCrc = true) {
    std::vector<uint8_t> block(kPageSize);
    for (int i = 0; i < kPageSize; ++i) block[i] = static_cast<uint8_t>(page * 3 + i);
    uint16_t crc = PageCrc(block.data(), kPageSize);
    if (!goodCrc) crc ^= 0x0100;
    block.push_back(crc >> 8);
    block.push_back(crc & 0xFF);
    return block;
}

// Whether a temporary file of a write to path is still beside it.
bool TemporaryLeftBeside(const std::string& path) {
    const std::filesystem::path file(path);
    const std::string prefix = file.filename().string() + ".";
    for (const auto& entry : std::filesystem::directory_iterator(file.parent_path()))
        if (entry.path().filename().string().rfind(prefix, 0) == 0) return true;
    return false;
}

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ReceiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = (std::filesystem::temp_directory_path() /
                 ("glysend-rx-" + std::to_string(reinterpret_cast<uintptr_t>(this)) + ".bin"))
                    .string();
        std::ofstream(path_, std::ios::binary) << "old content";
    }
    void TearDown() override { std::remove(path_.c_str()); }

    void Poll() { port_.Poll([this](int event) { OnReceiveEvent(transfer_, event); }); }
    void Arrive(const std::vector<uint8_t>& bytes) {
        port_.Arrive(bytes);
        Poll();
    }
    // Time passes with nothing from the printer, then the listener looks.
    void Silence(int64_t milliseconds) {
        clock_ += milliseconds;
        Poll();
    }
    void Start(int speedIndex = 1) { StartReceive(transfer_, path_, PortChoice{3, speedIndex}); }
    void Handshake(int speedIndex = 1) {
        Start(speedIndex);
        Arrive({0x01});
        Arrive({0x07});
    }
    uint8_t LastAnswer() const { return port_.writes.back().at(0); }

    std::string path_;
    RecordingWindow window_;
    ScriptedPort port_{window_};
    int64_t clock_ = 0;
    Transfer transfer_{port_, window_, [this] { return clock_; }};
};

TEST_F(ReceiveTest, FullRunReplacesTheFileWithThePagesInOrder) {
    StartReceive(transfer_, path_, PortChoice{3, 1});
    EXPECT_EQ(port_.openedQueue, kReceiveQueueSize);
    EXPECT_EQ(port_.Listener().pollMilliseconds, 100);
    EXPECT_EQ(port_.Listener().kind, TransferKind::Receive);
    EXPECT_EQ(window_.Last().text, "Wait Echo 1");
    EXPECT_EQ(port_.writes.back(), std::vector<uint8_t>{0x01});
    Arrive({0x55});  // dropped during the handshake
    Arrive({0x01});
    EXPECT_EQ(window_.Last().text, "Wait Echo 2");
    EXPECT_EQ(port_.writes.back(), std::vector<uint8_t>{0x07});
    const size_t writesBefore = port_.writes.size();
    Arrive({0x07});
    EXPECT_EQ(window_.Last().text, "Page 0");
    EXPECT_FALSE(window_.Last().boxOn);
    EXPECT_EQ(port_.writes.size(), writesBefore);

    std::vector<uint8_t> expected;
    for (int page = 0; page < kPageTotal; ++page) {
        const auto block = Block(page);
        expected.insert(expected.end(), block.begin(), block.begin() + kPageSize);
        Arrive(block);
        EXPECT_EQ(LastAnswer(), 's');
        if (page < kPageTotal - 1) {
            EXPECT_EQ(ReadAll(path_), std::vector<uint8_t>(std::begin("old content"), std::end("old content") - 1));
            EXPECT_EQ(window_.Last().text, "Page " + std::to_string(page + 1));
            EXPECT_EQ(window_.Last().colour, kGreen);
        }
    }
    EXPECT_EQ(window_.Last().text, "File Received");
    EXPECT_FALSE(window_.Last().boxOn);
    EXPECT_FALSE(port_.open);
    EXPECT_TRUE(window_.controlsEnabled);
    EXPECT_EQ(ReadAll(path_), expected);
    EXPECT_FALSE(TemporaryLeftBeside(path_));
}

TEST_F(ReceiveTest, BadBlockIsAnsweredWrongAndTheNextBlockTakesItsPlace) {
    Handshake();
    Arrive(Block(0));
    Arrive(Block(1, false));
    EXPECT_EQ(LastAnswer(), 'w');
    EXPECT_EQ(window_.Last().text, "Page 1");
    EXPECT_EQ(window_.Last().colour, kRed);
    EXPECT_EQ(transfer_.pageCount, 1);
    Arrive(Block(1));
    EXPECT_EQ(LastAnswer(), 's');
    EXPECT_EQ(window_.Last().text, "Page 2");
    EXPECT_EQ(window_.Last().colour, kGreen);
    EXPECT_TRUE(std::equal(transfer_.image.begin() + kPageSize, transfer_.image.begin() + 2 * kPageSize,
                           Block(1).begin()));
}

TEST_F(ReceiveTest, BlocksAreCollectedOverSeveralLooksAndSurplusStartsTheNextBlock) {
    Handshake();
    const auto first = Block(0);
    Arrive(std::vector<uint8_t>(first.begin(), first.begin() + 300));
    EXPECT_EQ(transfer_.blockFill, 300);
    EXPECT_EQ(window_.Last().text, "Page 0");
    auto rest = std::vector<uint8_t>(first.begin() + 300, first.end());
    const auto second = Block(1);
    rest.insert(rest.end(), second.begin(), second.begin() + 10);
    Arrive(rest);
    EXPECT_EQ(window_.Last().text, "Page 1");
    EXPECT_EQ(transfer_.blockFill, 0);
    EXPECT_EQ(port_.incoming.size(), 10u);  // waits in the queue for the next look
    Arrive(std::vector<uint8_t>(second.begin() + 10, second.end()));
    EXPECT_EQ(window_.Last().text, "Page 2");
}

TEST_F(ReceiveTest, AListenerLeavesTheBlockOfANewReceptionAloneAfterItsOwnEnded) {
    Handshake();
    const ListenerRoutine ended = port_.Listener();
    for (int page = 0; page < kPageTotal - 1; ++page) Arrive(Block(page));
    port_.Arrive(Block(kPageTotal - 1));
    const auto next = Block(0);
    ended.pollOnce([&](int event) {
        OnReceiveEvent(transfer_, event);
        ASSERT_EQ(window_.Last().text, "File Received");
        // "Read" is pressed again while the old listener is still returning
        // from its hand-over; the new listener collects part of a block.
        Handshake();
        Arrive(std::vector<uint8_t>(next.begin(), next.begin() + 100));
    });
    EXPECT_EQ(transfer_.blockFill, 100);
    Arrive(std::vector<uint8_t>(next.begin() + 100, next.end()));
    EXPECT_EQ(window_.Last().text, "Page 1");
}

TEST_F(ReceiveTest, ASilentPrinterEndsWithNoAnswerAndLeavesTheOldFile) {
    const auto oldContent = ReadAll(path_);
    Start(0);  // 2400 baud: a block takes 2.14 s to arrive
    Arrive({0x55});  // noise is no answer
    Silence(5100);
    EXPECT_EQ(window_.Last().text, "No answer");
    EXPECT_EQ(window_.Last().colour, kRed);
    EXPECT_FALSE(port_.open);
    EXPECT_TRUE(window_.controlsEnabled);

    // The first block is due 5 s after it has had the time to arrive, and
    // bytes of it that trickle in keep the reception going.
    Handshake(0);
    Silence(7000);
    const auto block = Block(0);
    Arrive(std::vector<uint8_t>(block.begin(), block.begin() + 100));
    Silence(4900);
    EXPECT_TRUE(port_.open);
    Arrive(std::vector<uint8_t>(block.begin() + 100, block.end()));
    EXPECT_EQ(window_.Last().text, "Page 1");
    Silence(7000);
    EXPECT_TRUE(port_.open);
    Silence(300);
    EXPECT_EQ(window_.Last().text, "No answer");
    EXPECT_FALSE(port_.open);
    EXPECT_EQ(ReadAll(path_), oldContent);
    EXPECT_FALSE(TemporaryLeftBeside(path_));
}

TEST_F(ReceiveTest, FailedRunLeavesTheOldFile) {
    Handshake();
    for (int page = 0; page < 5; ++page) Arrive(Block(page));
    EXPECT_EQ(ReadAll(path_).size(), std::string("old content").size());
}

TEST_F(ReceiveTest, AFileThatCannotBeWrittenIsRefusedAtTheStart) {
    const std::string inMissingFolder = path_ + ".missing/x.bin";
    StartReceive(transfer_, inMissingFolder, PortChoice{1, 2});
    EXPECT_EQ(window_.Last().text, "Can't open file");
    EXPECT_EQ(window_.Last().colour, kRed);
    EXPECT_EQ(port_.openedPort, 0);
    EXPECT_TRUE(window_.controlsEnabled);
}

TEST_F(ReceiveTest, AReadOnlyFileIsRefusedAtTheStartAndKept) {
    namespace fs = std::filesystem;
    // Read-only by its mode, for root too.
    fs::permissions(path_, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    Start();
    EXPECT_EQ(window_.Last().text, "Can't open file");
    EXPECT_EQ(window_.Last().colour, kRed);
    EXPECT_EQ(port_.openedPort, 0);
    EXPECT_EQ(ReadAll(path_).size(), std::string("old content").size());
    fs::permissions(path_, fs::perms::owner_write, fs::perm_options::add);
}

TEST_F(ReceiveTest, ANewFileIsNotCreatedBeforeTheImageIsComplete) {
    std::remove(path_.c_str());
    Handshake();
    EXPECT_FALSE(std::filesystem::exists(path_));
}

TEST_F(ReceiveTest, AWriteFailureAtTheEndIsShownOnRed) {
    Handshake();
    for (int page = 0; page < kPageTotal - 1; ++page) Arrive(Block(page));
    // The file turns into a folder, which an image cannot replace.
    std::filesystem::remove(path_);
    std::filesystem::create_directory(path_);
    Arrive(Block(kPageTotal - 1));
    EXPECT_EQ(window_.Last().text, "File write error");
    EXPECT_EQ(window_.Last().colour, kRed);
    EXPECT_TRUE(std::filesystem::is_directory(path_));
    EXPECT_FALSE(TemporaryLeftBeside(path_));
    EXPECT_TRUE(window_.controlsEnabled);
    std::filesystem::remove(path_);
}

}  // namespace
