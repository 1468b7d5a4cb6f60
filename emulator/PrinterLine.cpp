#include "PrinterLine.h"

#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "Results.h"

namespace {

bool MakeRaw(int fd) {
    termios settings{};
    if (tcgetattr(fd, &settings) != 0) return false;
    cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    return tcsetattr(fd, TCSANOW, &settings) == 0;
}

std::string SystemError(const std::string& what) { return what + ": " + std::strerror(errno); }

}  // namespace

PrinterLine::~PrinterLine() {
    if (!linkPath_.empty()) {
        // Only our own link is taken away; a newer emulator may own it now.
        char target[PATH_MAX] = {};
        const ssize_t length = readlink(linkPath_.c_str(), target, sizeof target - 1);
        if (length > 0 && devicePath_ == std::string(target, length)) unlink(linkPath_.c_str());
    }
    if (slaveFd_ >= 0) close(slaveFd_);
}

bool PrinterLine::OpenPseudoTerminal(std::string& error) {
    char name[PATH_MAX] = {};
    int masterFd = -1;
    if (openpty(&masterFd, &slaveFd_, name, nullptr, nullptr) != 0) {
        error = SystemError("openpty");
        return false;
    }
    if (!line_.Assign(masterFd, 0, error)) {
        close(masterFd);
        return false;
    }
    if (!MakeRaw(slaveFd_)) {
        error = SystemError("raw mode");
        return false;
    }
    devicePath_ = name;
    return true;
}

bool PrinterLine::OpenDevice(const std::string& path, unsigned baud, std::string& error) {
    if (line_.Open(path, baud, error) != TransferResult::kDone) return false;
    devicePath_ = path;
    return true;
}

bool PrinterLine::PlaceLink(const std::string& linkPath, std::string& error) {
    if (unlink(linkPath.c_str()) != 0 && errno != ENOENT) {
        error = SystemError(linkPath);
        return false;
    }
    if (symlink(devicePath_.c_str(), linkPath.c_str()) != 0) {
        error = SystemError(linkPath);
        return false;
    }
    linkPath_ = linkPath;
    return true;
}
