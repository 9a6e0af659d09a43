#include "app/settings_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <memory>
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

}  // namespace

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
    // O_NONBLOCK so that a FIFO at that name cannot hold start-up waiting for a writer; it is refused
    // below like any file that is not a regular one.
    const int fd = ::open(name.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return accessError("open", name, errno);
    FdGuard guard(fd);

    struct stat info {};
    if (::fstat(fd, &info) != 0) return accessError("stat", name, errno);
    if (!S_ISREG(info.st_mode)) return accessError("not a regular file:", name, 0);

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
    // A link is followed, so the file it names is replaced and the link itself stays.
    std::string target = name;
    struct stat info {};
    if (::lstat(name.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(name.c_str(), nullptr), &std::free);
        if (!resolved) return accessError("resolve link", name, errno);
        target = resolved.get();
    }

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
