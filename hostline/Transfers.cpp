#include "Transfers.h"

#include <algorithm>
#include <cstdio>

#include "Results.h"

namespace {

// glyphmill's transfers confirm every page and give up on a line that keeps
// damaging one block.
TransferRules HostRules(std::chrono::milliseconds timeout) {
    TransferRules rules;
    rules.awaitLastAnswer = true;
    rules.limitBadBlocks = true;
    rules.silenceLimitMilliseconds = timeout.count();
    return rules;
}

// The machine on the line, waiting for the printer's first echo.
void Begin(TransferMachine& machine, const SerialLine& line) {
    PrepareTransfer(machine, line.Baud());
    SendHandshake(machine);
}

enum class Wait { Data, Silent, Stopped };

// Waits for what the printer sends until its answer is due. A line that
// stopped ends the outcome with why.
Wait WaitForBytes(SerialLine& line, const TransferMachine& machine, uint8_t* buffer, size_t maxCount, size_t& got,
                  TransferOutcome& outcome) {
    for (;;) {
        const SerialLine::Clock::time_point dueBy{std::chrono::milliseconds(machine.replyDueBy.load())};
        switch (line.ReadSome(buffer, maxCount, dueBy, got)) {
            case SerialLine::Read::Data: return Wait::Data;
            case SerialLine::Read::TimedOut:
                if (SilentTooLong(machine)) return Wait::Silent;
                break;
            case SerialLine::Read::Interrupted:
                outcome.progress.result = TransferResult::kInterrupted;
                outcome.progress.ended = true;
                return Wait::Stopped;
            case SerialLine::Read::Failed:
                outcome.progress.result = TransferResult::kLineLost;
                outcome.progress.ended = true;
                outcome.detail = line.FailureText();
                return Wait::Stopped;
        }
    }
}

// Takes the step into the outcome and tells the caller of a page answered.
void Take(const TransferStep& step, TransferOutcome& outcome, const ProgressFn& progress) {
    outcome.progress = step.progress;
    if (step.move == TransferStep::Move::Good || step.move == TransferStep::Move::Again)
        progress(step.progress.pages, step.progress.repeats);
}

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
    TransferMachine machine(line, SteadyMilliseconds, HostRules(timeout));
    machine.image = image;
    Begin(machine, line);
    TransferOutcome outcome;
    while (!outcome.progress.ended) {
        // As much as the window sender's listener takes in one look.
        uint8_t bytes[32];
        size_t got = 0;
        const Wait wait = WaitForBytes(line, machine, bytes, sizeof bytes, got, outcome);
        if (wait == Wait::Stopped) break;
        const int event = wait == Wait::Silent ? TransmitEvent::kNoAnswer : ClassifyTransmitRead(bytes, got);
        Take(TransmitStep(machine, event), outcome, progress);
        if (outcome.progress.result == TransferResult::kUnknownAnswer) outcome.detail = HexBytes(bytes, got);
    }
    return outcome;
}

TransferOutcome ReceiveImage(SerialLine& line, ImageBytes& image, std::chrono::milliseconds timeout,
                             const ProgressFn& progress) {
    TransferMachine machine(line, SteadyMilliseconds, HostRules(timeout));
    Begin(machine, line);
    TransferOutcome outcome;
    // What the line delivered, handed to the machine as its listener would take it.
    uint8_t bytes[kFrameSize];
    size_t got = 0, taken = 0;
    const ByteSource arrived = [&](uint8_t* buffer, size_t maxCount) {
        const size_t count = std::min(maxCount, got - taken);
        std::copy_n(bytes + taken, count, buffer);
        taken += count;
        return count;
    };
    while (!outcome.progress.ended) {
        int event = 0;
        if (taken < got) {
            event = CollectReceived(machine, arrived);
        } else {
            taken = 0;
            const Wait wait = WaitForBytes(line, machine, bytes, sizeof bytes, got, outcome);
            if (wait == Wait::Stopped) break;
            if (wait == Wait::Silent) event = ReceiveEvent::kNoAnswer;
        }
        if (event != 0) Take(ReceiveStep(machine, event), outcome, progress);
    }
    if (outcome.progress.result == TransferResult::kDone) image = machine.image;
    return outcome;
}
