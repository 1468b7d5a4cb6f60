// One end of a serial line over standalone Asio: a serial device (COM1... on
// Windows, where Asio reads it with overlapped I/O) or, on Linux, a
// pseudo-terminal (or any descriptor) handed in. Reads wait for data, a
// deadline or a stop signal.
#pragma once

#include <asio.hpp>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Protocol.h"

class SerialLine : public PortWriter {
public:
    using Clock = std::chrono::steady_clock;
    enum class Read { Data, TimedOut, Interrupted, Failed };

    SerialLine();
    SerialLine(const SerialLine&) = delete;
    SerialLine& operator=(const SerialLine&) = delete;
    ~SerialLine();

    // Opens a serial device for this process alone, raw, 8 data bits, no
    // parity, one stop bit, at baud (0 keeps the device's speed). Returns a
    // TransferResult code: kDone, kPortMissing, kPortBusy or kPortRefused,
    // with the system's words in error.
    int Open(const std::string& path, unsigned baud, std::string& error);
#ifndef _WIN32
    // Takes over an open descriptor (a pty master, a socket); it is closed
    // with the line. baud only times the answers (0: bytes take no time).
    bool Assign(int fd, unsigned baud, std::string& error);
#endif
    // From now on SIGINT and SIGTERM end any wait with Read::Interrupted.
    void StopOnSignals();
    bool Interrupted() const { return interrupted_; }

    // Writes all bytes; false when the line is gone.
    bool Write(const uint8_t* bytes, size_t count);
    bool Write(const std::vector<uint8_t>& bytes) { return Write(bytes.data(), bytes.size()); }
    // The transfers' writes: a line that is gone shows up as their read failing.
    void WritePort(const uint8_t* bytes, size_t count) override { Write(bytes, count); }
    // Reads what has arrived, at most maxCount and at least one byte,
    // waiting until deadline at the latest; got holds the count.
    Read ReadSome(uint8_t* buffer, size_t maxCount, Clock::time_point deadline, size_t& got);
    // The system's words for the last read that failed.
    const std::string& FailureText() const { return failure_; }
    unsigned Baud() const { return baud_; }

private:
    // 8N1 at baud (0: as it is); false, saying why, when the device refuses.
    bool Configure(const std::string& path, unsigned baud, std::string& error);
#ifndef _WIN32
    void ReleaseExclusiveUse();
    bool exclusive_ = false;
#endif

    asio::io_context io_;
    asio::serial_port port_;
    asio::steady_timer timer_;
    asio::signal_set signals_;
    bool watchingSignals_ = false;
    bool interrupted_ = false;
    unsigned baud_ = 0;
    std::string failure_;
};

// A serial port of this machine as libserialport (Linux) or the registry
// and SetupAPI (Windows) list it.
struct SerialPortInfo {
    std::string name;         // the device path, or COM1...
    std::string description;  // the driver's or the USB product's words
    std::string usb;          // "VID:PID maker product" for a USB port, else empty
    std::string serial;       // the USB serial number, where the adapter has one
    std::string byId;         // its name in /dev/serial/by-id, which stays when the adapter moves
};
std::vector<SerialPortInfo> ListSerialPorts();
// The device a port name stands for: on Linux a name as /dev/serial/by-id
// lists it (without the folder) is that link, anything else a path; on
// Windows COM1... is the device itself.
std::string PortPath(const std::string& name);
