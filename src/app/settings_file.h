// The settings file "HX350.cfg": one settings record of 4204 bytes, read at start-up and written on save.
//
// Two levels:
// - readSettingsFile / writeSettingsFile do the file work and return a status with context; they show
//   nothing.
// - ReadCFGFile / SaveCFGFile are what the window calls: the same work, with the fixed message boxes
//   shown through WindowServices.
//
// A save never writes over the old file in place: the record goes to a temporary file in the same
// directory, which is flushed to disk and then renamed over the target, so a failure at any step leaves
// the old file byte for byte as it was.
#pragma once

#include <sys/types.h>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "app/settings_record.h"
#include "base/window_services.h"

namespace hx350 {

/// The settings file's name, relative to the working directory.
inline constexpr std::string_view kSettingsFileName = "HX350.cfg";
/// Warning shown when the settings file cannot be opened, created or written.
inline constexpr std::string_view kCfgAccessErrorText = "HX350.cfg access error";
/// Error shown when the settings file is shorter than one record.
inline constexpr std::string_view kReadBeyondEndOfFileText = "Read beyond end of file";
/// Caption of both boxes: the application title.
inline constexpr std::string_view kSettingsMessageCaption = "KALDEROMIX";

enum class SettingsFileResult {
    Ok,
    AccessError,    ///< cannot be opened, created, read or written: "HX350.cfg access error"
    ReadBeyondEnd,  ///< shorter than one record: "Read beyond end of file"
};

struct SettingsFileStatus {
    SettingsFileResult result = SettingsFileResult::Ok;
    std::string context;         ///< which step failed on which path, and the system's reason; empty on Ok
    int error_number = 0;        ///< errno of the failed call, 0 when none applies
    std::size_t bytes_read = 0;  ///< reads only: record bytes taken from the file (at most 4204)

    bool ok() const { return result == SettingsFileResult::Ok; }
};

/// The file operations of a save that can fail after the temporary file exists. The default passes them
/// to the system; tests substitute failures (a full disk, a failing device) here. All follow the POSIX
/// convention: -1 with errno set on failure.
class SettingsFileOps {
  public:
    virtual ~SettingsFileOps() = default;
    /// Creates and opens a new file from `path_template` (ending in "XXXXXX", replaced in place), readable
    /// and writable by its owner only. Returns the descriptor.
    virtual int createTemporary(std::string& path_template);
    /// Writes up to `size` bytes; returns how many were written.
    virtual ssize_t writeSome(int fd, const void* data, std::size_t size);
    /// Flushes the file's data to the device.
    virtual int sync(int fd);
    virtual int close(int fd);
    /// Atomically replaces `to` by `from`.
    virtual int rename(const std::string& from, const std::string& to);
};

/// What the kernel's rule for protected symbolic links looks at when a path meets a link: the link's
/// owner, the owner and mode of the folder holding it, and the user following it.
struct LinkFacts {
    uid_t link_owner;
    uid_t folder_owner;
    mode_t folder_mode;
    uid_t user;
};

/// Whether the kernel would follow such a link with its protected-symlinks rule on: always, unless the
/// folder is sticky and world-writable (like /tmp), where only the link's owner and the folder's owner
/// follow it. A save that resolves a link itself must decide as the kernel would, or another user's link
/// in a shared folder could make it replace a file that user cannot write.
bool kernelFollowsLink(const LinkFacts& facts);

/// Reads the first record of the file `name` into `record`; bytes after the first 4204 are ignored.
///
/// Errors (the record is changed only where stated):
/// - AccessError: the file is missing, cannot be opened, is not a regular file (a directory, a FIFO, a
///   device) or a read fails. `record` is unchanged. What is not a regular file is never opened for
///   reading (opening a terminal would raise its DTR).
/// - ReadBeyondEnd: the file holds fewer than 4204 bytes. Those bytes replace the start of `record`; the
///   rest of `record` is unchanged. bytes_read says how many.
/// Never blocks on a FIFO or device at that name.
SettingsFileStatus readSettingsFile(const std::string& name, SettingsRecord& record);

/// Writes `record` as the complete content of the file `name` (exactly 4204 bytes), atomically.
///
/// An existing file keeps its permission bits (and, where the system allows, its owner); a new file is
/// readable and writable by its owner only, since it holds passwords in clear. When `name` is a symbolic
/// link, the file it points to is replaced, provided the kernel would follow each link on the way
/// (kernelFollowsLink); a link it would not follow is an AccessError and nothing is written.
///
/// Temporary files that an earlier save left in the target's folder (killed between writing and
/// renaming: ".HX350.cfg.XXXXXX", owned by this user) are removed once they are ten minutes old.
///
/// Errors, all AccessError, each leaving an existing file byte for byte and mode for mode as it was and no
/// temporary file behind: the target exists but is not a regular file or is read-only (no write
/// permission bit, or no write access for this process; checked from the mode bits, so a read-only file
/// is refused even for the superuser); the link cannot be resolved or is one the kernel would not follow;
/// the temporary file cannot be created in
/// the target's directory; a write, the flush, the close or the rename fails.
SettingsFileStatus writeSettingsFile(const std::string& name, const SettingsRecord& record,
                                     SettingsFileOps& ops);
SettingsFileStatus writeSettingsFile(const std::string& name, const SettingsRecord& record);

/// Writes `bytes` as the complete content of the file `name`, atomically and with the same rules and errors
/// as writeSettingsFile (which writes the record through it). For other files of settings, such as texts.
SettingsFileStatus writeFileAtomically(const std::string& name, std::span<const std::uint8_t> bytes,
                                       SettingsFileOps& ops);

/// Reads the settings file `name` into `record` (readSettingsFile) and shows what the user must see:
/// - AccessError: the warning "HX350.cfg access error" (caption kSettingsMessageCaption, OK button);
/// - ReadBeyondEnd: the error "Read beyond end of file" (same caption, error icon).
/// Returns the status so start-up can stop after a short file; nothing is shown on success.
SettingsFileStatus ReadCFGFile(const std::string& name, SettingsRecord& record, WindowServices& window);

/// Writes `record` to the settings file `name` (writeSettingsFile). Any failure shows the warning
/// "HX350.cfg access error" (caption kSettingsMessageCaption, OK button); success shows nothing. The
/// snapshot of the pages into `record` is the caller's, before this call.
SettingsFileStatus SaveCFGFile(const std::string& name, const SettingsRecord& record, WindowServices& window);
SettingsFileStatus SaveCFGFile(const std::string& name, const SettingsRecord& record, WindowServices& window,
                               SettingsFileOps& ops);

}  // namespace hx350
