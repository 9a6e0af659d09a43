// A note in the settings folder that a window is using it, so that a second window on the same folder can
// say so. Two windows on one folder each save their own pages over "HX350.cfg"; the last save wins. The
// note is an advisory lock on a file of its own beside the settings file, never a lock on the settings
// file itself, and it refuses nothing: it only lets the second window warn.
#pragma once

#include <string>

namespace hx350 {

/// The lock file's name in the settings folder. It does not start with the settings file's name, so
/// nothing that tidies up after the settings file takes it for one of its own.
inline constexpr const char* kFolderLockName = ".HX350.lock";

/// "Another HX350 window uses this folder (pid 4242): the last one to save wins"; "pid unknown" when the
/// holder wrote no number.
std::string otherWindowText(long pid);

class FolderLock {
  public:
    /// Takes the lock of the folder that holds `settings_path` ("HX350.cfg" alone means the working
    /// folder): creates kFolderLockName there if needed (never through a symbolic link, and only a regular
    /// file is used), locks it with flock() without waiting, and on success writes this process's id into
    /// it. Errors: a folder where the file cannot be made or opened leaves the lock not held and nobody
    /// named (nothing to warn about).
    explicit FolderLock(const std::string& settings_path);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    /// Whether this window holds the folder.
    bool held() const { return held_; }
    /// Whether another process holds it (held() is then false).
    bool takenByOther() const { return taken_; }
    /// The process id the holder wrote, or 0 when none could be read.
    long otherPid() const { return other_pid_; }

  private:
    int fd_ = -1;
    bool held_ = false;
    bool taken_ = false;
    long other_pid_ = 0;
};

}  // namespace hx350
