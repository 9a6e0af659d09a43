#include "host/port_diagnosis.h"

#include <dirent.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace hx350 {

namespace fs = std::filesystem;

namespace {

constexpr const char* kModemManager = "ModemManager";

bool allDigits(const char* text) {
    if (*text == '\0') return false;
    for (; *text != '\0'; ++text)
        if (std::isdigit(static_cast<unsigned char>(*text)) == 0) return false;
    return true;
}

// The numeric entries of a /proc folder, as pids in increasing order.
std::vector<pid_t> processIds(const std::string& proc_root) {
    std::vector<pid_t> pids;
    DIR* dir = ::opendir(proc_root.c_str());
    if (dir == nullptr) return pids;
    while (const dirent* entry = ::readdir(dir)) {
        if (!allDigits(entry->d_name)) continue;
        errno = 0;
        const long pid = std::strtol(entry->d_name, nullptr, 10);
        if (errno == 0 && pid > 0 && pid <= 0x3fffffff) pids.push_back(static_cast<pid_t>(pid));
    }
    ::closedir(dir);
    std::sort(pids.begin(), pids.end());
    return pids;
}

std::string processName(const std::string& proc_root, pid_t pid) {
    std::ifstream in(proc_root + "/" + std::to_string(pid) + "/comm");
    std::string line;
    if (!in || !std::getline(in, line)) return {};
    return latin1FromUtf8(line);
}

// Whether one of the descriptors of process `pid` leads to `target`. The fd links of /proc read as the
// path the file was opened under, resolved by the kernel, so they compare as text with the resolved path.
bool holds(const std::string& proc_root, pid_t pid, const std::string& target) {
    const std::string fd_folder = proc_root + "/" + std::to_string(pid) + "/fd";
    DIR* dir = ::opendir(fd_folder.c_str());
    if (dir == nullptr) return false;  // gone meanwhile, or another user's process
    bool found = false;
    char link[4096];
    while (const dirent* entry = ::readdir(dir)) {
        if (!allDigits(entry->d_name)) continue;
        const ssize_t n = ::readlinkat(dirfd(dir), entry->d_name, link, sizeof link);
        if (n > 0 && static_cast<std::size_t>(n) == target.size() &&
            target.compare(0, target.size(), link, static_cast<std::size_t>(n)) == 0) {
            found = true;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

std::string resolvedPath(const std::string& path) {
    if (path.empty()) return {};
    std::error_code ec;
    const fs::path target = fs::canonical(path, ec);
    return ec ? std::string() : target.string();
}

bool exists(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

std::string systemText(int sys_errno) {
    return latin1FromUtf8(std::strerror(sys_errno));
}

std::string listHolders(const std::vector<PortHolder>& holders) {
    std::string text;
    for (const auto& holder : holders) {
        if (!text.empty()) text += ", ";
        text += (holder.command.empty() ? std::string("a process") : holder.command) + " (pid " +
                std::to_string(holder.pid) + ")";
    }
    return text;
}

// The same physical USB device as `before` among the devices present now: by vendor, product and serial
// number (the ports of a multi-port adapter share these and are told apart by their by-id names), else,
// for an adapter without a serial number, the only device of its vendor and product.
// Result: the path and its port number (0 when it has none); an empty path when none qualifies.
std::pair<std::string, int> findMovedAdapter(const PortInfo& before, const std::string& old_path,
                                             const DiagnosisContext& context) {
    if (!before.usb || before.vendor_id.empty()) return {};
    std::vector<std::pair<std::string, int>> present;
    if (!context.ports.empty()) {
        for (const auto& [number, path] : context.ports)
            present.emplace_back(path, number);
    } else {
        std::error_code ec;
        for (fs::directory_iterator it(context.roots.dev, ec), end; !ec && it != end; it.increment(ec)) {
            const std::string name = it->path().filename().string();
            if (isSerialDeviceName(name)) present.emplace_back(it->path().string(), 0);
        }
        std::sort(present.begin(), present.end());
    }

    const auto same_model = [&before](const PortInfo& now) {
        return now.usb && now.vendor_id == before.vendor_id && now.product_id == before.product_id;
    };
    std::vector<std::pair<PortInfo, int>> candidates;
    for (const auto& [path, number] : present) {
        if (path == old_path) continue;
        PortInfo now = describePort(path, context.roots);
        if (!now.exists() || !same_model(now)) continue;
        // A device numbered twice (by an explicit mapping through its by-id name, and as detected) counts
        // once.
        const bool seen = std::any_of(candidates.begin(), candidates.end(),
                                      [&now](const auto& c) { return c.first.device == now.device; });
        if (!seen) candidates.emplace_back(std::move(now), number);
    }
    if (!before.serial.empty()) {
        std::vector<std::pair<PortInfo, int>> same;
        for (auto& candidate : candidates)
            if (candidate.first.serial == before.serial) same.push_back(std::move(candidate));
        if (same.size() == 1) return {same.front().first.path, same.front().second};
        for (const auto& [now, number] : same)
            for (const auto& name : before.by_id)
                if (std::find(now.by_id.begin(), now.by_id.end(), name) != now.by_id.end())
                    return {now.path, number};
        return {};
    }
    // Without a serial number two adapters of one model cannot be told apart: only a single one counts.
    if (candidates.size() == 1) return {candidates.front().first.path, candidates.front().second};
    return {};
}

void noteMoved(PortDiagnosis& diagnosis, const DiagnosisContext& context) {
    if (!context.last_seen) return;
    const auto [path, number] = findMovedAdapter(*context.last_seen, diagnosis.path, context);
    if (path.empty()) return;
    diagnosis.moved_to = path;
    diagnosis.moved_to_number = number;
}

std::string movedText(const PortDiagnosis& diagnosis) {
    std::string text = "the adapter is now " + diagnosis.moved_to;
    if (diagnosis.moved_to_number > 0) {
        const std::string com = "Com" + std::to_string(diagnosis.moved_to_number);
        text += " (" + com + "): choose " + com;
    }
    return text;
}

void explainMissing(PortDiagnosis& d, const SerialError& error, const DiagnosisContext& context) {
    d.reason = "no such device";
    if (d.path.empty()) {
        d.explanation =
            "no serial device has this number on this machine: plug in the adapter or choose "
            "another port";
        return;
    }
    if (exists(d.path)) {
        // ENXIO/ENODEV: the node is there but no hardware answers behind it (a UART slot without a chip,
        // an unbound Bluetooth link).
        d.explanation = "the device node exists but no hardware answers behind it (" +
                        systemText(error.sys_errno) + "): choose another port";
        return;
    }
    noteMoved(d, context);
    if (!d.moved_to.empty()) {
        d.explanation = movedText(d);
        return;
    }
    d.explanation = "the device is not there: plug in the adapter, check its cable, or choose another port";
}

void explainPermission(PortDiagnosis& d) {
    d.reason = "permission denied";
    const DeviceAccess access = deviceAccess(d.path);
    if (!access.known) {
        d.explanation = "you may not open it: ask the administrator for access";
        return;
    }
    d.group = access.group;
    static const std::string kRule =
        "a udev rule must give it to group \"dialout\" (GROUP=\"dialout\", MODE=\"0660\")";
    if (access.group_gid == 0) {
        // Joining the root group to reach one device would be a bad trade.
        d.explanation = "it belongs to " + access.owner + " and group \"root\": " + kRule;
        return;
    }
    if (!access.group_can_use) {
        d.explanation = "only its owner " + access.owner + " may use it, not the group " +
                        quoted(access.group) + ": " + kRule;
        return;
    }
    if (access.session_has_group) {
        d.explanation =
            "it belongs to group " + quoted(access.group) +
            ", which you are in: something else refuses access (a security policy or a mount option)";
    } else if (access.user_in_group) {
        d.explanation = "it belongs to group " + quoted(access.group) +
                        ", which your account joined after you logged in: log out and in again";
    } else {
        d.explanation = "it belongs to group " + quoted(access.group) +
                        ": add yourself with 'sudo usermod -aG " + access.group + " $USER' and log in again";
    }
}

std::string udevRule(const std::string& path, const DiagnosisContext& context) {
    PortInfo info = describePort(path, context.roots);
    if (!info.usb && context.last_seen && context.last_seen->usb) info = *context.last_seen;
    std::string rule = "SUBSYSTEM==\"tty\", ";
    if (info.usb && !info.vendor_id.empty()) {
        rule +=
            "ATTRS{idVendor}==\"" + info.vendor_id + "\", ATTRS{idProduct}==\"" + info.product_id + "\", ";
    } else {
        const std::string name =
            info.kernel_name.empty() ? fs::path(path).filename().string() : info.kernel_name;
        rule += "KERNEL==\"" + name + "\", ";
    }
    return rule + "ENV{ID_MM_DEVICE_IGNORE}=\"1\"";
}

void explainBusy(PortDiagnosis& d, const DiagnosisContext& context) {
    d.reason = "in use";
    d.holders = findPortHolders(d.path, context.roots.proc);
    const auto manager = std::find_if(d.holders.begin(), d.holders.end(),
                                      [](const PortHolder& h) { return h.command == kModemManager; });
    if (manager != d.holders.end()) {
        d.modem_manager = true;
        d.udev_rule = udevRule(d.path, context);
        d.explanation =
            "held by ModemManager (pid " + std::to_string(manager->pid) +
            "), which probes serial devices for modems: a udev rule setting ID_MM_DEVICE_IGNORE for this "
            "adapter frees it";
        return;
    }
    if (!d.holders.empty()) {
        d.explanation = "held by " + listHolders(d.holders) + ": close that program first";
        return;
    }
    // Other users' descriptors are hidden from us; ModemManager runs as root, so its name is the clue.
    if (!findProcessesNamed(kModemManager, context.roots.proc).empty()) {
        d.modem_manager = true;
        d.udev_rule = udevRule(d.path, context);
        d.explanation =
            "another program holds it; ModemManager is running and may be probing it: a udev rule "
            "setting ID_MM_DEVICE_IGNORE for this adapter keeps it away";
        return;
    }
    d.explanation =
        "another program holds it (one that cannot be named, perhaps another user's): close it first";
}

}  // namespace

std::vector<PortHolder> findPortHolders(const std::string& path, const std::string& proc_root) {
    std::vector<PortHolder> holders;
    const std::string target = resolvedPath(path);
    if (target.empty()) return holders;
    for (const pid_t pid : processIds(proc_root))
        if (holds(proc_root, pid, target)) holders.push_back({pid, processName(proc_root, pid)});
    return holders;
}

std::vector<PortHolder> findProcessesNamed(const std::string& command, const std::string& proc_root) {
    std::vector<PortHolder> found;
    for (const pid_t pid : processIds(proc_root)) {
        std::string name = processName(proc_root, pid);
        if (name == command) found.push_back({pid, std::move(name)});
    }
    return found;
}

DeviceAccess deviceAccess(const std::string& path) {
    DeviceAccess access;
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) return access;
    access.known = true;
    access.owner_uid = st.st_uid;
    access.group_gid = st.st_gid;
    access.group_can_use = (st.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);

    // getpwuid/getgrgid keep their result in static storage: copy what is needed at once.
    const passwd* owner = ::getpwuid(st.st_uid);
    access.owner = owner != nullptr ? std::string(owner->pw_name) : std::to_string(st.st_uid);
    const passwd* me = ::getpwuid(::getuid());
    const std::string my_name = me != nullptr ? std::string(me->pw_name) : std::string();
    const gid_t my_primary = me != nullptr ? me->pw_gid : static_cast<gid_t>(-1);

    const group* g = ::getgrgid(st.st_gid);
    access.group = g != nullptr ? std::string(g->gr_name) : std::to_string(st.st_gid);
    if (g != nullptr && !my_name.empty())
        for (char* const* member = g->gr_mem; *member != nullptr; ++member)
            if (my_name == *member) access.user_in_group = true;
    if (my_primary == st.st_gid) access.user_in_group = true;

    if (::getegid() == st.st_gid) access.session_has_group = true;
    const int count = ::getgroups(0, nullptr);
    if (count > 0) {
        std::vector<gid_t> groups(static_cast<std::size_t>(count));
        const int got = ::getgroups(count, groups.data());
        for (int i = 0; i < got; ++i)
            if (groups[static_cast<std::size_t>(i)] == st.st_gid) access.session_has_group = true;
    }
    return access;
}

PortDiagnosis diagnoseOpenFailure(const SerialError& error, const DiagnosisContext& context) {
    PortDiagnosis d;
    d.kind = error.kind;
    d.path = error.path;
    switch (error.kind) {
        case SerialErrorKind::None:
            break;
        case SerialErrorKind::MissingDevice:
            explainMissing(d, error, context);
            break;
        case SerialErrorKind::PermissionDenied:
            explainPermission(d);
            break;
        case SerialErrorKind::Busy:
            explainBusy(d, context);
            break;
        case SerialErrorKind::Other:
            d.reason = "not open";
            d.explanation = error.operation.empty() ? std::string("open") : error.operation;
            if (error.sys_errno != 0) d.explanation += ": " + systemText(error.sys_errno);
            break;
    }
    return d;
}

PortDiagnosis diagnoseDisconnect(const std::string& path, const DiagnosisContext& context) {
    PortDiagnosis d;
    d.disconnected = true;
    d.path = path;
    d.reason = "disconnected";
    if (exists(path)) {
        d.kind = SerialErrorKind::Other;
        d.explanation =
            "the device hung up and the port was closed: check the cable and the device, then choose "
            "the port again";
        return d;
    }
    d.kind = SerialErrorKind::MissingDevice;
    noteMoved(d, context);
    d.explanation = "the device went away (adapter unplugged?) and the port was closed: ";
    d.explanation +=
        d.moved_to.empty() ? std::string("plug it in again and choose the port again") : movedText(d);
    return d;
}

std::string statusBarText(const std::string& port_label, const PortDiagnosis& diagnosis) {
    std::string text = port_label;
    if (!diagnosis.path.empty()) text += (text.empty() ? "" : ": ") + diagnosis.path;
    if (!diagnosis.reason.empty()) text += (text.empty() ? "" : ": ") + diagnosis.reason;
    if (!diagnosis.explanation.empty()) text += (text.empty() ? "" : " - ") + diagnosis.explanation;
    return text;
}

}  // namespace hx350
