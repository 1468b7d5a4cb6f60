#include "Transfers.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "Results.h"

namespace {

// The sender's transmit state machine writes through this port; the line
// was opened before and outlives the transfer.
class LinePort : public SerialPort {
public:
    explicit LinePort(SerialLine& line) : line_(line) {}
    int OpenPort(int, int, int, ListenerRoutine) override { return PortResult::kOpen; }
    void WritePort(const uint8_t* bytes, size_t count) override { line_.Write(bytes, count); }
    size_t ReadPort(uint8_t*, size_t) override { return 0; }  // the answers are read by the loop below
    void EndTransfer() override { ended_ = true; }
    // Whether the machine ended the transfer since the last call.
    bool TakeEnded() { return std::exchange(ended_, false); }

private:
    SerialLine& line_;
    bool ended_ = false;
};

// The machine's status texts have no reader here; the outcome is told by
// the event that ended the transfer.
class NoWindow : public SenderWindow {
public:
    void SetStatus(const std::string&, StatusBox, uint32_t) override {}
    void EnableControls(bool) override {}
};

// Reads whatever has arrived, waiting until timeout after the line last
// carried a byte either way. Fills outcome when nothing came.
class AnswerReader {
public:
    AnswerReader(SerialLine& line, std::chrono::milliseconds timeout) : line_(line), timeout_(timeout) {}

    bool Read(uint8_t* buffer, size_t maxCount, size_t& got, TransferOutcome& outcome) {
        const auto deadline = std::max(line_.WrittenOut(), lastArrival_) + timeout_;
        switch (line_.ReadSome(buffer, maxCount, deadline, got)) {
            case SerialLine::Read::Data: lastArrival_ = SerialLine::Clock::now(); return true;
            case SerialLine::Read::Interrupted: outcome.result = TransferResult::kInterrupted; break;
            case SerialLine::Read::TimedOut: outcome.result = TransferResult::kNoAnswer; break;
            case SerialLine::Read::Failed:
                outcome.result = TransferResult::kPortMissing;
                outcome.detail = "the port went away";
                break;
        }
        return false;
    }

private:
    SerialLine& line_;
    std::chrono::milliseconds timeout_;
    SerialLine::Clock::time_point lastArrival_{};
};

std::string HexBytes(const uint8_t* bytes, size_t count) {
    std::string text;
    for (size_t i = 0; i < std::min<size_t>(count, 8); ++i) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "%s0x%02x", i ? " " : "", bytes[i]);
        text += hex;
    }
    return count > 8 ? text + " ..." : text;
}

}  // namespace

TransferOutcome SendImage(SerialLine& line, const ImageBytes& image, std::chrono::milliseconds timeout,
                          const ProgressFn& progress) {
    LinePort port(line);
    NoWindow window;
    Transfer transfer(port, window);
    transfer.image = image;
    transfer.transferState = kWaitEcho1;
    port.WritePort(&kHandshake1, 1);

    AnswerReader reader(line, timeout);
    TransferOutcome outcome;
    bool lastPageOut = false;  // the machine is done; its last page awaits its answer
    for (;;) {
        // As much as the window sender's listener takes in one look.
        uint8_t bytes[32];
        size_t got = 0;
        outcome.page = transfer.pageCount;
        outcome.paging = transfer.transferState == kSendingPages;
        if (!reader.Read(bytes, sizeof bytes, got, outcome)) return outcome;
        const int event = ClassifyTransmitRead(bytes, got);
        if (lastPageOut && event == TransmitEvent::kGood) {
            outcome.page = kPageTotal;
            progress(kPageTotal, outcome.repeats);
            return outcome;
        }
        const int repeatsBefore = transfer.repeatCount;
        const int pageBefore = transfer.pageCount;
        OnTransmitEvent(transfer, event);
        if (transfer.repeatCount > repeatsBefore) ++outcome.repeats;
        if (port.TakeEnded()) {
            switch (event) {
                case TransmitEvent::kVerificationFailed: outcome.result = TransferResult::kVerifyError; return outcome;
                case TransmitEvent::kUnknown:
                    outcome.result = TransferResult::kUnknownAnswer;
                    outcome.detail = HexBytes(bytes, got);
                    return outcome;
                case TransmitEvent::kWrong:
                    if (repeatsBefore == kMaxRepeats) {
                        outcome.result = TransferResult::kPageFault;
                        return outcome;
                    }
                    break;
            }
            lastPageOut = true;  // page 127 went out (again)
        }
        if (transfer.pageCount != pageBefore || transfer.repeatCount > repeatsBefore)
            progress(transfer.pageCount, outcome.repeats);
    }
}

TransferOutcome ReceiveImage(SerialLine& line, ImageBytes& image, std::chrono::milliseconds timeout,
                             const ProgressFn& progress) {
    const auto answer = [&line](uint8_t byte) { line.Write(&byte, 1); };
    AnswerReader reader(line, timeout);
    TransferOutcome outcome;
    int state = kWaitEcho1;
    std::array<uint8_t, kFrameSize> block{};
    size_t fill = 0;
    int badInARow = 0;
    answer(kHandshake1);
    while (outcome.page < kPageTotal) {
        uint8_t bytes[kFrameSize];
        size_t got = 0;
        if (!reader.Read(bytes, sizeof bytes, got, outcome)) return outcome;
        for (size_t i = 0; i < got && outcome.page < kPageTotal; ++i) {
            if (state == kWaitEcho1 && bytes[i] == kHandshake1) {
                state = kWaitEcho2;
                answer(kReceiveHandshake2);
            } else if (state == kWaitEcho2 && bytes[i] == kReceiveHandshake2) {
                state = kReceivingPages;
                outcome.paging = true;
            } else if (state == kReceivingPages) {
                block[fill++] = bytes[i];
                if (fill < block.size()) continue;
                fill = 0;
                if (FrameCrcMatches(block.data())) {
                    std::copy_n(block.begin(), kPageSize, image.begin() + outcome.page * kPageSize);
                    answer(kAnswerGood);
                    ++outcome.page;
                    badInARow = 0;
                } else if (++badInARow > kMaxRepeats) {
                    outcome.result = TransferResult::kBadBlocks;
                    return outcome;
                } else {
                    answer(kAnswerWrong);
                    ++outcome.repeats;
                }
                progress(outcome.page, outcome.repeats);
            }
            // Anything else during the handshake is dropped, as the window sender does.
        }
    }
    return outcome;
}
