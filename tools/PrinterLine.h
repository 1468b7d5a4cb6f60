// The emulated printer's end of the serial line: a new pseudo-terminal or a
// given serial device, in raw mode.
#pragma once

#include <string>

class PrinterLine {
public:
    PrinterLine() = default;
    PrinterLine(const PrinterLine&) = delete;
    PrinterLine& operator=(const PrinterLine&) = delete;
    ~PrinterLine();

    // Opens a new pseudo-terminal; its slave side is kept open so that the
    // line stays usable while the other program closes and reopens it.
    bool OpenPseudoTerminal(std::string& error);
    // Opens a serial device.
    bool OpenDevice(const std::string& path, std::string& error);
    // Points a symbolic link at the device, replacing whatever was there.
    bool PlaceLink(const std::string& linkPath, std::string& error);

    int Descriptor() const { return fd_; }
    // What the other program opens: the pty's slave or the device.
    const std::string& DevicePath() const { return devicePath_; }

private:
    int fd_ = -1;
    int slaveFd_ = -1;
    std::string devicePath_;
    std::string linkPath_;
};
