#include "SerialLine.h"

#include <libserialport.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "Protocol.h"
#include "Results.h"

namespace {

int OpenFailure(const asio::error_code& error) {
    if (error.category() != asio::error::get_system_category()) return TransferResult::kPortRefused;
    switch (error.value()) {
        case ENOENT:
        case ENODEV:
        case ENXIO:
        case ENOTDIR: return TransferResult::kPortMissing;
        case EBUSY: return TransferResult::kPortBusy;  // held with TIOCEXCL
    }
    return TransferResult::kPortRefused;
}

std::string Text(const char* text) { return text ? text : ""; }

const char kById[] = "/dev/serial/by-id/";

// The by-id link that leads to device, if udev made one.
std::string ByIdName(const std::string& device) {
    std::error_code failure;
    for (const auto& entry : std::filesystem::directory_iterator(kById, failure)) {
        if (std::filesystem::canonical(entry.path(), failure) == std::filesystem::path(device))
            return entry.path().filename().string();
    }
    return "";
}

}  // namespace

SerialLine::SerialLine() : port_(io_), timer_(io_), signals_(io_) {}

SerialLine::~SerialLine() { ReleaseExclusiveUse(); }

void SerialLine::ReleaseExclusiveUse() {
    // A pty's exclusive mode outlives this descriptor while the other side
    // holds the line open, and would lock out the next program.
    if (exclusive_) ioctl(port_.native_handle(), TIOCNXCL);
    exclusive_ = false;
}

int SerialLine::Open(const std::string& path, unsigned baud, std::string& error) {
    asio::error_code failure;
    port_.open(path, failure);
    if (failure) {
        error = path + ": " + failure.message();
        return OpenFailure(failure);
    }
    // As serial tools do: an advisory lock for the tools that honour it, and
    // exclusive mode for everyone else the kernel can refuse.
    const int fd = port_.native_handle();
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        error = path;  // the message says that another program holds it
        port_.close(failure);
        return TransferResult::kPortBusy;
    }
    exclusive_ = ioctl(fd, TIOCEXCL) == 0;

    using Base = asio::serial_port_base;
    port_.set_option(Base::character_size(8), failure);
    if (!failure) port_.set_option(Base::parity(Base::parity::none), failure);
    if (!failure) port_.set_option(Base::stop_bits(Base::stop_bits::one), failure);
    if (failure) {
        error = path + ": 8N1 refused: " + failure.message();
    } else if (baud != 0) {
        port_.set_option(Base::baud_rate(baud), failure);
        if (failure) error = path + ": " + std::to_string(baud) + " baud refused: " + failure.message();
    }
    if (failure) {
        ReleaseExclusiveUse();
        port_.close(failure);
        return TransferResult::kPortRefused;
    }
    // Whatever was waiting from before this transfer is no answer to it.
    tcflush(fd, TCIOFLUSH);
    baud_ = baud;
    return TransferResult::kDone;
}

bool SerialLine::Assign(int fd, unsigned baud, std::string& error) {
    asio::error_code failure;
    port_.assign(fd, failure);
    if (failure) error = failure.message();
    baud_ = baud;
    return !failure;
}

void SerialLine::StopOnSignals() {
    if (watchingSignals_) return;
    watchingSignals_ = true;
    signals_.add(SIGINT);
    signals_.add(SIGTERM);
    signals_.async_wait([this](const asio::error_code& error, int) {
        if (!error) interrupted_ = true;
    });
}

bool SerialLine::Write(const uint8_t* bytes, size_t count) {
    asio::error_code failure;
    asio::write(port_, asio::buffer(bytes, count), failure);
    writtenOut_ = std::max(writtenOut_, Clock::now()) + LineTime(baud_, count);
    return !failure;
}

SerialLine::Read SerialLine::ReadSome(uint8_t* buffer, size_t maxCount, Clock::time_point deadline, size_t& got) {
    got = 0;
    // A signal that came while no wait was running is delivered here.
    io_.restart();
    io_.poll();
    if (interrupted_) return Read::Interrupted;

    bool readPending = true, timerPending = true, timedOut = false;
    asio::error_code readFailure;
    port_.async_read_some(asio::buffer(buffer, maxCount), [&](const asio::error_code& failure, size_t count) {
        readPending = false;
        readFailure = failure;
        got = count;
    });
    timer_.expires_at(deadline);
    timer_.async_wait([&](const asio::error_code& failure) {
        timerPending = false;
        timedOut = !failure;
    });
    io_.restart();  // the poll above stops a context that had nothing to do
    while (readPending && !timedOut && !interrupted_) io_.run_one();
    // Both handlers refer to this frame: let them finish before it ends.
    asio::error_code ignored;
    if (readPending) port_.cancel(ignored);
    if (timerPending) timer_.cancel();
    while (readPending || timerPending) io_.run_one();

    if (got > 0) return Read::Data;
    if (interrupted_) return Read::Interrupted;
    if (timedOut || !readFailure) return Read::TimedOut;
    failure_ = readFailure.message();
    return Read::Failed;
}

std::vector<SerialPortInfo> ListSerialPorts() {
    std::vector<SerialPortInfo> found;
    sp_port** ports = nullptr;
    if (sp_list_ports(&ports) != SP_OK) return found;
    const std::unique_ptr<sp_port*, void (*)(sp_port**)> owner(ports, sp_free_port_list);
    for (sp_port** port = ports; *port; ++port) {
        SerialPortInfo info{Text(sp_get_port_name(*port)), Text(sp_get_port_description(*port)), {}, {}, {}};
        info.byId = ByIdName(info.name);
        int vendor = 0, product = 0;
        if (sp_get_port_transport(*port) == SP_TRANSPORT_USB &&
            sp_get_port_usb_vid_pid(*port, &vendor, &product) == SP_OK) {
            char ids[16];
            std::snprintf(ids, sizeof ids, "%04x:%04x", vendor & 0xFFFF, product & 0xFFFF);
            info.usb = ids;
            for (const char* words : {sp_get_port_usb_manufacturer(*port), sp_get_port_usb_product(*port)}) {
                if (words && *words) info.usb += std::string(" ") + words;
            }
            info.serial = Text(sp_get_port_usb_serial(*port));
        }
        found.push_back(info);
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    return found;
}

std::string PortPath(const std::string& name) {
    if (name.find('/') != std::string::npos) return name;
    const std::string byId = kById + name;
    std::error_code failure;
    return std::filesystem::exists(byId, failure) ? byId : name;
}
