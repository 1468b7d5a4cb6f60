#include "PrinterLine.h"

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

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
    if (fd_ >= 0) close(fd_);
}

bool PrinterLine::OpenPseudoTerminal(std::string& error) {
    char name[PATH_MAX] = {};
    if (openpty(&fd_, &slaveFd_, name, nullptr, nullptr) != 0) {
        error = SystemError("openpty");
        return false;
    }
    if (!MakeRaw(slaveFd_)) {
        error = SystemError("raw mode");
        return false;
    }
    devicePath_ = name;
    return true;
}

bool PrinterLine::OpenDevice(const std::string& path, std::string& error) {
    fd_ = open(path.c_str(), O_RDWR | O_NOCTTY);
    if (fd_ < 0) {
        error = SystemError(path);
        return false;
    }
    if (!MakeRaw(fd_)) {
        error = SystemError(path + ": raw mode");
        return false;
    }
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
