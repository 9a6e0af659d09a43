// Why a serial port did not open (or went away), in words a technician can act on: the one line the
// status bar shows, and the facts behind it (the group that owns the device, the process that holds it,
// where an adapter went after it was plugged in again).
//
// The driver keeps a failed open silent; the window asks for a diagnosis and shows it. Everything is
// looked up in the file system (device node, sysfs, /proc) at the moment of the call; nothing is opened.
#pragma once

#include <sys/types.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "host/port_info.h"
#include "serial/serial_device.h"

namespace hx350 {

/// A process that has a device open.
struct PortHolder {
    pid_t pid = 0;
    std::string command;  ///< the process name as the kernel keeps it (at most 15 characters), Latin-1

    friend bool operator==(const PortHolder&, const PortHolder&) = default;
};

/// The processes that have the device at `path` open, found through the links in <proc>/<pid>/fd.
/// Parameters: `path` the device (symbolic links are followed, so a by-id name finds holders of the
/// node it points to); `proc_root` where /proc is.
/// Result: the holders by increasing pid, each once; empty when the path leads nowhere. Processes whose
/// descriptors cannot be read (those of other users, unless we are root) are not seen. Reads every
/// process's descriptor table: about 10 ms for 130 processes, so call it once per failure, not per tick.
std::vector<PortHolder> findPortHolders(const std::string& path, const std::string& proc_root = "/proc");

/// The running processes whose name is `command` exactly (from <proc>/<pid>/comm, readable for every
/// user's processes), by increasing pid.
std::vector<PortHolder> findProcessesNamed(const std::string& command,
                                           const std::string& proc_root = "/proc");

/// Owner and access of a device node.
struct DeviceAccess {
    bool known = false;  ///< false when the node could not be examined (then nothing else is set)
    uid_t owner_uid = 0;
    gid_t group_gid = 0;
    std::string owner;               ///< user name, or the number when the user has no name
    std::string group;               ///< group name ("dialout"), or the number when the group has no name
    bool group_can_use = false;      ///< the group may both read and write
    bool user_in_group = false;      ///< the current user is a member of the group (account database)
    bool session_has_group = false;  ///< the running process already has the group (supplementary or own)
};

/// Examines who may open the device at `path` (stat, getpwuid, getgrgid, getgroups).
DeviceAccess deviceAccess(const std::string& path);

/// What the window needs to say about a port that did not open or went away.
struct PortDiagnosis {
    SerialErrorKind kind = SerialErrorKind::None;
    bool disconnected = false;  ///< the device went away while open (diagnoseDisconnect)
    std::string path;           ///< the device path concerned ("" when the port number has no device)
    /// A few words, the same as the status line's short form: "no such device", "permission denied",
    /// "in use", "disconnected", "not open".
    std::string reason;
    /// What is known and what to do, in one sentence without the path (for example "it belongs to group
    /// \"dialout\": add yourself with 'sudo usermod -aG dialout $USER' and log in again").
    std::string explanation;

    std::string group;                ///< PermissionDenied: the group that owns the device
    std::vector<PortHolder> holders;  ///< Busy: the processes found holding the device
    bool modem_manager = false;       ///< Busy: ModemManager holds it (or, unseen, is running)
    std::string udev_rule;            ///< Busy by ModemManager: a rule line that makes it leave the device
    std::string moved_to;             ///< MissingDevice/disconnect: where the same adapter is now
    int moved_to_number = 0;          ///< the port number of moved_to, 0 when it has none
};

/// What the caller knows beyond the error itself.
struct DiagnosisContext {
    SystemRoots roots;
    /// The current numbering (PortCatalogue::ports()), to say under which number a moved adapter is now.
    std::map<int, std::string> ports;
    /// What the failing path led to when it was last seen working or listed (for example the page's
    /// description from the last refresh). With it a missing USB adapter can be found under its new name.
    std::optional<PortInfo> last_seen;
};

/// Explains a failed open. Parameters: `error` as the device or driver reported it (kind, errno, path,
/// failing step); `context` as above.
/// Result: the diagnosis; kind None gives an empty reason and explanation. Never throws for a missing or
/// unreadable file; what cannot be found out is simply not said.
///  - MissingDevice: no device for this number, or the node does not exist; when `last_seen` was a USB
///    device and the same device (by vendor, product and serial number, the port of a multi-port adapter
///    by its by-id name; without a serial number, the only one of its vendor and product) is present
///    under another name, says where ("the adapter is now
///    /dev/ttyUSB1 (Com4)").
///  - PermissionDenied: names the group and says to join it and log in again (or only to log in again
///    when the account is already in the group, or that no group may use it when the mode says so).
///  - Busy: names the holders; ModemManager gets its own advice with an ID_MM_DEVICE_IGNORE udev rule.
///  - Other: the failing step and the system's text.
PortDiagnosis diagnoseOpenFailure(const SerialError& error, const DiagnosisContext& context = {});

/// Explains a device that went away while open (hang-up or I/O error; the driver has closed the port).
/// Parameters: `path` the device that was open; `context` as above (`last_seen`: the device as it was
/// when opened). Result: kind MissingDevice when the node is gone (else Other), disconnected true.
PortDiagnosis diagnoseDisconnect(const std::string& path, const DiagnosisContext& context = {});

/// The status-bar line: "<label>: <path>: <reason> - <explanation>", for example
/// "Com3: /dev/ttyUSB0: in use - held by minicom (pid 4242): close that program first". The path part
/// is left out when the diagnosis has none; the explanation part when it is empty.
std::string statusBarText(const std::string& port_label, const PortDiagnosis& diagnosis);

}  // namespace hx350
