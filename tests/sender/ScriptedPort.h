// A serial port and a window that record what the protocols do to them, for
// driving the state machines without a line.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "Protocol.h"

struct StatusShown {
    std::string text;
    bool boxOn;
    uint32_t colour;
};

class RecordingWindow : public SenderWindow {
public:
    void SetStatus(const std::string& text, StatusBox box, uint32_t colour) override {
        if (box != StatusBox::Keep) boxOn = box == StatusBox::On;
        if (box == StatusBox::On) this->colour = colour;
        shown.push_back({text, boxOn, boxOn ? this->colour : 0});
    }
    void EnableControls(bool enable) override { controlsEnabled = enable; }

    const StatusShown& Last() const { return shown.back(); }

    std::vector<StatusShown> shown;
    bool boxOn = false;
    uint32_t colour = 0;
    bool controlsEnabled = true;
};

class ScriptedPort : public SerialPort {
public:
    explicit ScriptedPort(SenderWindow& window) : window_(window) {}

    int OpenPort(int portNumber, int speedIndex, int inputQueueSize, ListenerRoutine listener) override {
        openedPort = portNumber;
        openedSpeed = speedIndex;
        openedQueue = inputQueueSize;
        if (openResult != 0) {
            ReportPortFailure(window_, openResult);
            return openResult;
        }
        listener_ = std::move(listener);
        open = true;
        return 0;
    }
    void WritePort(const uint8_t* bytes, size_t count) override {
        if (open) writes.emplace_back(bytes, bytes + count);
    }
    size_t ReadPort(uint8_t* buffer, size_t maxCount) override {
        size_t count = 0;
        while (count < maxCount && !incoming.empty()) {
            buffer[count++] = incoming.front();
            incoming.pop_front();
        }
        return count;
    }
    void EndTransfer() override {
        window_.EnableControls(true);
        open = false;
    }

    // The printer sends these bytes.
    void Arrive(std::initializer_list<uint8_t> bytes) { incoming.insert(incoming.end(), bytes); }
    void Arrive(const std::vector<uint8_t>& bytes) { incoming.insert(incoming.end(), bytes.begin(), bytes.end()); }

    // One look of the listener, as the link's thread would take it (it stops
    // looking once the transfer has ended).
    void Poll(const HandOver& handOver) {
        if (open) listener_.pollOnce(handOver);
    }
    const ListenerRoutine& Listener() const { return listener_; }

    int openResult = 0;
    bool open = false;
    int openedPort = 0, openedSpeed = -1, openedQueue = 0;
    std::deque<uint8_t> incoming;
    std::vector<std::vector<uint8_t>> writes;

private:
    SenderWindow& window_;
    ListenerRoutine listener_;
};
