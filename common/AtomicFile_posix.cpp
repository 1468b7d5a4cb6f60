#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "AtomicFile.h"

namespace {

constexpr int kLinkHops = 40;  // as the kernel follows, before ELOOP

FileWrite Failure(int error) { return {WriteResult::kFailed, std::strerror(error)}; }

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a write lands in: path, or where its symbolic links lead. A link
// that leads nowhere yet names the file to create.
std::string FinalTarget(const std::string& path) {
    std::string target = path;
    for (int hop = 0; hop < kLinkHops; ++hop) {
        char link[PATH_MAX];
        const ssize_t length = readlink(target.c_str(), link, sizeof link);
        if (length < 0 || length == static_cast<ssize_t>(sizeof link)) return target;
        const std::string next(link, static_cast<size_t>(length));
        target = next[0] == '/' ? next : FolderOf(target) + "/" + next;
    }
    return target;  // a loop: stat reports it
}

// What the file to replace is like; exists false for a file still to make.
struct Existing {
    bool exists = false;
    struct stat status {};
};

// Refuses what may not be replaced: a folder, a device, a read-only file or
// one the user may not write (unless replaceReadOnly and the file is the
// user's). Read-only is the file's mode, no write bit for anyone: access()
// lets root write anything.
FileWrite Inspect(const std::string& target, bool replaceReadOnly, Existing& existing) {
    if (stat(target.c_str(), &existing.status) != 0) {
        if (errno == ENOENT) return {};
        return Failure(errno);
    }
    existing.exists = true;
    if (S_ISDIR(existing.status.st_mode)) return Failure(EISDIR);
    if (!S_ISREG(existing.status.st_mode)) return {WriteResult::kFailed, "not a regular file"};
    if ((existing.status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0) {
        if (faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) == 0) return {};
        if (errno != EACCES) return Failure(errno);
    }
    if (existing.status.st_uid != geteuid()) return {WriteResult::kNotYours, std::strerror(EACCES)};
    if (replaceReadOnly) return {};
    return {WriteResult::kReadOnly, std::strerror(EACCES)};
}

// A new empty file beside target, made only where no file has its name.
// One that replaces a file starts private and takes that file's permissions
// later; a new one gets the user's default (the umask's) as fopen gives.
int CreateTemporary(const std::string& target, const Existing& existing, std::string& name) {
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        name = TemporaryNameFor(target);
        const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, existing.exists ? 0600 : 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// The replaced file's owner and group where the user may give them, then
// its permissions (after chown, which may clear set-id bits). What the user
// may not give stays as made: the user's, and private.
void TakeOver(int fd, const struct stat& old) {
    if (fchown(fd, old.st_uid, old.st_gid) != 0) (void)!fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    (void)!fchmod(fd, old.st_mode & 07777);
}

bool WriteAll(int fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written == 0) errno = ENOSPC;
        if (written <= 0) return false;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

// Flushes the folder, so that the rename in it survives a crash too. Some
// file systems cannot flush a folder; the rename has happened by then, so
// that is no reason to report a failure.
void FlushFolder(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

// Writes everything into the temporary file fd and puts it in target's place.
FileWrite Replace(int fd, const std::string& temporary, const std::string& target, const Existing& existing,
                  const uint8_t* data, size_t size) {
    if (existing.exists) TakeOver(fd, existing.status);
    const bool written = WriteAll(fd, data, size) && fsync(fd) == 0;
    const int writeError = errno;
    const bool closed = close(fd) == 0;
    if (!written || !closed) return Failure(written ? errno : writeError);
    if (rename(temporary.c_str(), target.c_str()) != 0) return Failure(errno);
    FlushFolder(FolderOf(target));
    return {};
}

// A write under way: the file it replaces and the temporary file beside it.
struct Staged {
    std::string target;
    Existing existing;
    std::string temporary;
    int fd = -1;
};

// Finds where path's write lands, refuses what may not be replaced, and
// makes the temporary file there.
FileWrite Stage(const std::string& path, bool replaceReadOnly, Staged& staged) {
    staged.target = FinalTarget(path);
    if (FileWrite refused = Inspect(staged.target, replaceReadOnly, staged.existing); !refused) return refused;
    staged.fd = CreateTemporary(staged.target, staged.existing, staged.temporary);
    if (staged.fd < 0) return Failure(errno);
    return {};
}

}  // namespace

FileWrite CheckReplaceable(const std::string& path, bool replaceReadOnly) {
    Staged staged;
    if (FileWrite refused = Stage(path, replaceReadOnly, staged); !refused) return refused;
    close(staged.fd);
    unlink(staged.temporary.c_str());
    return {};
}

FileWrite WriteFileAtomically(const std::string& path, const uint8_t* data, size_t size, bool replaceReadOnly) {
    Staged staged;
    if (FileWrite refused = Stage(path, replaceReadOnly, staged); !refused) return refused;
    const FileWrite outcome = Replace(staged.fd, staged.temporary, staged.target, staged.existing, data, size);
    if (!outcome) unlink(staged.temporary.c_str());
    return outcome;
}

void UseBinaryMode(std::FILE*) {}  // every stream is binary here
