// The emulated printer's end of the serial line: a new pseudo-terminal or a
// given serial device, in raw mode, carried by a SerialLine.
#pragma once

#include <string>

#include "SerialLine.h"

class PrinterLine {
public:
    PrinterLine() = default;
    PrinterLine(const PrinterLine&) = delete;
    PrinterLine& operator=(const PrinterLine&) = delete;
    ~PrinterLine();

    // Opens a new pseudo-terminal; its slave side is kept open so that the
    // line stays usable while the other program closes and reopens it.
    bool OpenPseudoTerminal(std::string& error);
    // Opens a serial device for this process alone, at baud unless 0.
    bool OpenDevice(const std::string& path, unsigned baud, std::string& error);
    // Points a symbolic link at the device, replacing whatever was there.
    bool PlaceLink(const std::string& linkPath, std::string& error);

    SerialLine& Line() { return line_; }
    // What the other program opens: the pty's slave or the device.
    const std::string& DevicePath() const { return devicePath_; }

private:
    SerialLine line_;
    int slaveFd_ = -1;
    std::string devicePath_;
    std::string linkPath_;
};
