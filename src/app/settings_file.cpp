#include "app/settings_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <system_error>

namespace hx350 {
namespace {

std::string describe(std::string_view step, const std::string& path, int error_number) {
    std::string text(step);
    text += ' ';
    text += path;
    if (error_number != 0) {
        text += ": ";
        text += std::error_code(error_number, std::generic_category()).message();
    }
    return text;
}

SettingsFileStatus accessError(std::string_view step, const std::string& path, int error_number) {
    SettingsFileStatus status;
    status.result = SettingsFileResult::AccessError;
    status.context = describe(step, path, error_number);
    status.error_number = error_number;
    return status;
}

/// Closes a descriptor on every path out of a scope.
class FdGuard {
  public:
    explicit FdGuard(int fd) : fd_(fd) {}
    FdGuard(const FdGuard&) = delete;
    FdGuard& operator=(const FdGuard&) = delete;
    ~FdGuard() {
        if (fd_ >= 0) ::close(fd_);
    }

  private:
    int fd_;
};

/// Makes the rename itself durable. Some file systems refuse fsync on a directory; the new file is
/// complete and in place by then, so a refusal here is not a failed save.
void syncDirectory(const std::string& directory) {
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

/// Whether an existing file may be replaced. The mode bits are checked as well as access(): the
/// superuser passes access(W_OK) for any file, yet a file its owner marked read-only must stay as it is.
bool isWritable(const std::string& path, const struct stat& info) {
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return false;
    return ::access(path.c_str(), W_OK) == 0;
}

// Where a save goes: `name` with its links followed as the kernel would follow them. A name that does not
// exist is a new file; a link that leads nowhere, or one the kernel would refuse, is an error.
struct SaveTarget {
    std::string path;
    SettingsFileStatus status;
};

SaveTarget resolveSaveTarget(const std::string& name) {
    constexpr int kMaxLinks = 40;  // as the kernel's own limit for one path
    std::string path = name;
    for (int links = 0;; ++links) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0) {
            if (errno == ENOENT && links == 0) return {path, {}};
            return {path, accessError("resolve link", name, errno)};
        }
        if (!S_ISLNK(info.st_mode)) return {path, {}};
        if (links == kMaxLinks) return {path, accessError("resolve link", name, ELOOP)};

        std::string folder = std::filesystem::path(path).parent_path().string();
        if (folder.empty()) folder = ".";
        struct stat folder_info {};
        if (::stat(folder.c_str(), &folder_info) != 0) return {path, accessError("stat", folder, errno)};
        if (!kernelFollowsLink({info.st_uid, folder_info.st_uid, folder_info.st_mode, ::geteuid()}))
            return {path, accessError("link of another user in a shared folder:", path, EACCES)};

        std::string target(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 255) + 1, '\0');
        const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n < 0) return {path, accessError("resolve link", path, errno)};
        if (static_cast<std::size_t>(n) >= target.size())
            return {path, accessError("resolve link", path, ENAMETOOLONG)};
        target.resize(static_cast<std::size_t>(n));
        path = target.front() == '/' ? target : std::string(folder).append("/").append(target);
    }
}

// Whether `entry` is the name of a temporary file of a save of `file`: "." + file + "." + the six letters
// and digits mkostemp puts in place of "XXXXXX".
bool isTemporaryOf(std::string_view entry, std::string_view file) {
    const std::size_t prefix = file.size() + 2;
    if (entry.size() != prefix + 6 || entry[0] != '.' || entry.substr(1, file.size()) != file ||
        entry[prefix - 1] != '.')
        return false;
    for (const char c : entry.substr(prefix)) {
        const bool letter_or_digit =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!letter_or_digit) return false;
    }
    return true;
}

// A save killed between writing its temporary file and renaming it leaves the file (mode 0600, with the
// passwords) behind. Those of this user that are old enough to belong to no save under way are removed.
void removeLeftoverTemporaries(const std::string& directory, const std::string& file) {
    constexpr time_t kAgeSeconds = time_t{10} * 60;
    const time_t now = ::time(nullptr);
    std::error_code ec;
    for (std::filesystem::directory_iterator it(directory, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string entry = it->path().filename().string();
        if (!isTemporaryOf(entry, file)) continue;
        struct stat info {};
        if (::lstat(it->path().c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid())
            continue;
        if (now - info.st_mtime < kAgeSeconds) continue;
        ::unlink(it->path().c_str());
    }
}

}  // namespace

bool kernelFollowsLink(const LinkFacts& facts) {
    if (facts.link_owner == facts.user) return true;
    const bool shared = (facts.folder_mode & S_ISVTX) != 0 && (facts.folder_mode & S_IWOTH) != 0;
    return !shared || facts.link_owner == facts.folder_owner;
}

int SettingsFileOps::createTemporary(std::string& path_template) {
    // mkostemp creates the file with mode 0600 and O_EXCL, so it never opens someone else's file.
    return ::mkostemp(path_template.data(), O_CLOEXEC);
}

ssize_t SettingsFileOps::writeSome(int fd, const void* data, std::size_t size) {
    return ::write(fd, data, size);
}

int SettingsFileOps::sync(int fd) {
    return ::fsync(fd);
}

int SettingsFileOps::close(int fd) {
    return ::close(fd);
}

int SettingsFileOps::rename(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str());
}

SettingsFileStatus readSettingsFile(const std::string& name, SettingsRecord& record) {
    // What the name leads to is checked before anything opens it: opening a terminal raises DTR, and a
    // FIFO could hold start-up waiting for a writer. A path-only descriptor opens nothing, and reopening
    // it through /proc reads the very file that was checked, even if the name changes meanwhile.
    const int path_fd = ::open(name.c_str(), O_PATH | O_CLOEXEC);
    if (path_fd < 0) return accessError("open", name, errno);
    FdGuard path_guard(path_fd);
    struct stat info {};
    if (::fstat(path_fd, &info) != 0) return accessError("stat", name, errno);
    if (!S_ISREG(info.st_mode)) return accessError("not a regular file:", name, 0);

    const std::string reopen = "/proc/self/fd/" + std::to_string(path_fd);
    int fd = ::open(reopen.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) {
        // No /proc: open by name, and make sure it is still the file that was checked.
        fd = ::open(name.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    }
    if (fd < 0) return accessError("open", name, errno);
    FdGuard guard(fd);
    struct stat opened {};
    if (::fstat(fd, &opened) != 0) return accessError("stat", name, errno);
    if (opened.st_dev != info.st_dev || opened.st_ino != info.st_ino)
        return accessError("changed while opening:", name, 0);

    SettingsRecord::Image buffer{};
    std::size_t got = 0;
    while (got < buffer.size()) {
        const ssize_t n = ::read(fd, buffer.data() + got, buffer.size() - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            return accessError("read", name, errno);
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }

    record.loadPrefix(std::span<const std::uint8_t>(buffer.data(), got));
    SettingsFileStatus status;
    status.bytes_read = got;
    if (got < buffer.size()) {
        status.result = SettingsFileResult::ReadBeyondEnd;
        status.context = describe("read", name, 0) + ": " + std::to_string(got) + " of " +
                         std::to_string(kSettingsRecordSize) + " bytes";
    }
    return status;
}

SettingsFileStatus writeSettingsFile(const std::string& name, const SettingsRecord& record) {
    SettingsFileOps system_ops;
    return writeSettingsFile(name, record, system_ops);
}

SettingsFileStatus writeSettingsFile(const std::string& name, const SettingsRecord& record,
                                     SettingsFileOps& ops) {
    return writeFileAtomically(name, record.image(), ops);
}

SettingsFileStatus writeFileAtomically(const std::string& name, std::span<const std::uint8_t> bytes,
                                       SettingsFileOps& ops) {
    // A link is followed, so the file it names is replaced and the link itself stays; but only where the
    // kernel would follow it, since the rename below does not ask the kernel.
    const SaveTarget resolved = resolveSaveTarget(name);
    if (!resolved.status.ok()) return resolved.status;
    const std::string& target = resolved.path;
    struct stat info {};

    bool exists = false;
    mode_t mode = S_IRUSR | S_IWUSR;  // a new file: owner only, it holds the GPRS and FTP passwords
    if (::stat(target.c_str(), &info) == 0) {
        exists = true;
        if (!S_ISREG(info.st_mode)) return accessError("not a regular file:", target, 0);
        if (!isWritable(target, info)) return accessError("read-only:", target, EACCES);
        mode = info.st_mode & 07777;
    } else if (errno != ENOENT) {
        return accessError("stat", target, errno);
    }

    const std::filesystem::path target_path(target);
    std::string directory = target_path.parent_path().string();
    if (directory.empty()) directory = ".";
    removeLeftoverTemporaries(directory, target_path.filename().string());
    std::string temporary = directory + "/." + target_path.filename().string() + ".XXXXXX";

    int fd = ops.createTemporary(temporary);
    if (fd < 0) return accessError("create", temporary, errno);

    // From here every failure removes the temporary file and leaves the target untouched.
    auto fail = [&](std::string_view step, int error_number) {
        if (fd >= 0) ops.close(fd);
        ::unlink(temporary.c_str());
        return accessError(step, temporary, error_number);
    };

    if (exists && (info.st_uid != ::geteuid() || info.st_gid != ::getegid())) {
        // Keep the owner where the system lets us (the superuser saving someone's file); otherwise the
        // file becomes ours, as any rewrite by another user would make it.
        if (::fchown(fd, info.st_uid, info.st_gid) != 0) {
            // best effort only
        }
    }
    // After fchown, which may clear set-id bits, and regardless of the umask.
    if (::fchmod(fd, mode) != 0) return fail("chmod", errno);

    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ops.writeSome(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail("write", errno);
        }
        if (n == 0) return fail("write (no progress)", EIO);
        written += static_cast<std::size_t>(n);
    }
    if (ops.sync(fd) != 0) return fail("flush", errno);
    const int close_result = ops.close(fd);
    fd = -1;  // released even when close reports an error
    if (close_result != 0) return fail("close", errno);
    if (ops.rename(temporary, target) != 0) return fail("rename to " + target + " from", errno);

    syncDirectory(directory);
    return {};
}

SettingsFileStatus ReadCFGFile(const std::string& name, SettingsRecord& record, WindowServices& window) {
    SettingsFileStatus status = readSettingsFile(name, record);
    switch (status.result) {
        case SettingsFileResult::Ok:
            break;
        case SettingsFileResult::AccessError:
            window.showMessage(kCfgAccessErrorText, kSettingsMessageCaption, MessageIcon::Warning);
            break;
        case SettingsFileResult::ReadBeyondEnd:
            window.showMessage(kReadBeyondEndOfFileText, kSettingsMessageCaption, MessageIcon::Error);
            break;
    }
    return status;
}

SettingsFileStatus SaveCFGFile(const std::string& name, const SettingsRecord& record, WindowServices& window,
                               SettingsFileOps& ops) {
    SettingsFileStatus status = writeSettingsFile(name, record, ops);
    if (!status.ok()) window.showMessage(kCfgAccessErrorText, kSettingsMessageCaption, MessageIcon::Warning);
    return status;
}

SettingsFileStatus SaveCFGFile(const std::string& name, const SettingsRecord& record,
                               WindowServices& window) {
    SettingsFileOps system_ops;
    return SaveCFGFile(name, record, window, system_ops);
}

}  // namespace hx350
