#include "app/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace hx350 {

namespace {

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

long readPid(int fd) {
    char text[32] = {};
    const ssize_t n = ::pread(fd, text, sizeof text - 1, 0);
    if (n <= 0) return 0;
    char* end = nullptr;
    const long pid = std::strtol(text, &end, 10);
    return end != text && pid > 0 ? pid : 0;
}

}  // namespace

std::string otherWindowText(long pid) {
    const std::string who = pid > 0 ? "pid " + std::to_string(pid) : std::string("pid unknown");
    return "Another HX350 window uses this folder (" + who + "): the last one to save wins";
}

FolderLock::FolderLock(const std::string& settings_path) {
    const std::string path = folderOf(settings_path) + "/" + kFolderLockName;
    // O_NOFOLLOW: in a folder others can write to, a planted link must not make us create or lock
    // (and write into) a file elsewhere; O_NONBLOCK: a planted FIFO must not hang the start.
    const int flags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY;
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | flags, 0644);
    if (fd_ < 0) fd_ = ::open(path.c_str(), O_RDONLY | flags);  // another user's note: still readable
    if (fd_ < 0) return;
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        return;
    }
    int rc = 0;
    do {
        rc = ::flock(fd_, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc == 0) {
        held_ = true;
        const std::string pid = std::to_string(::getpid()) + "\n";
        // Best effort: a note that cannot be written still holds the lock; the other side reads no pid.
        const bool noted = ::ftruncate(fd_, 0) == 0 &&
                           ::pwrite(fd_, pid.data(), pid.size(), 0) == static_cast<ssize_t>(pid.size());
        (void)noted;
        return;
    }
    if (errno == EWOULDBLOCK) {
        taken_ = true;
        other_pid_ = readPid(fd_);
    }
    ::close(fd_);
    fd_ = -1;
}

FolderLock::~FolderLock() {
    if (fd_ >= 0) ::close(fd_);
}

}  // namespace hx350
