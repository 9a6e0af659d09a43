#include "host/port_info.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <ctime>

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string_view>
#include <system_error>

namespace hx350 {

namespace fs = std::filesystem;

namespace {

constexpr std::array<const char*, 5> kSerialFamilies = {"ttyS", "ttyUSB", "ttyACM", "ttyAMA", "rfcomm"};

// Where `path` leads with every symbolic link followed; "" when it leads nowhere.
std::string resolved(const std::string& path) {
    if (path.empty()) return {};
    std::error_code ec;
    const fs::path target = fs::canonical(path, ec);
    return ec ? std::string() : target.string();
}

// The first line of a small attribute file such as a sysfs entry, converted for display; "" if unreadable.
std::string readAttribute(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    if (!in || !std::getline(in, line)) return {};
    return latin1FromUtf8(line);
}

// The driver of the hardware behind a tty's device folder ("ftdi_sio" for .../drivers/ftdi_sio). Since
// Linux 6.2 the serial core puts its own "port" and "ctrl" devices (bus serial-base) between the tty and
// the UART's device; those are skipped, so the UART's own driver is named.
std::string hardwareDriver(const fs::path& device_link) {
    std::error_code ec;
    fs::path folder = fs::canonical(device_link, ec);
    for (int depth = 0; !ec && depth < 3; ++depth, folder = folder.parent_path()) {
        const fs::path target = fs::read_symlink(folder / "driver", ec);
        if (ec) return {};
        if (target.string().find("/serial-base/") == std::string::npos) return target.filename().string();
    }
    return {};
}

bool isUnder(const std::string& path, const std::string& root) {
    if (root.empty()) return false;
    if (path.size() < root.size() || path.compare(0, root.size(), root) != 0) return false;
    return path.size() == root.size() || path[root.size()] == '/' || root.back() == '/';
}

// The tty class entry of a device node: by its name first, then by its device numbers (the node may
// have been given another name by a udev rule).
fs::path ttyClassEntry(const std::string& device, const SystemRoots& roots) {
    fs::path by_name = fs::path(roots.sys) / "class" / "tty" / fs::path(device).filename();
    std::error_code ec;
    if (fs::exists(by_name, ec)) return by_name;
    struct stat st {};
    if (::stat(device.c_str(), &st) == 0 && S_ISCHR(st.st_mode)) {
        fs::path by_number = fs::path(roots.sys) / "dev" / "char" /
                             (std::to_string(major(st.st_rdev)) + ":" + std::to_string(minor(st.st_rdev)));
        if (fs::exists(by_number, ec)) return by_number;
    }
    return {};
}

// Fills the USB fields from the USB device folder above the tty's device: the first ancestor that has
// an idVendor attribute. USB serial adapters sit two levels below it (device, interface, port), modems
// and phones of the CDC-ACM class one level (device, interface).
void fillUsb(const fs::path& tty_device, const SystemRoots& roots, PortInfo& info) {
    const std::string sys_root = resolved(roots.sys);
    std::error_code ec;
    fs::path folder = fs::canonical(tty_device, ec);
    if (ec || sys_root.empty()) return;
    for (int depth = 0; depth < 8 && isUnder(folder.string(), sys_root) && folder.string() != sys_root;
         ++depth, folder = folder.parent_path()) {
        if (!fs::exists(folder / "idVendor", ec)) continue;
        info.usb = true;
        info.vendor_id = readAttribute(folder / "idVendor");
        info.product_id = readAttribute(folder / "idProduct");
        info.manufacturer = readAttribute(folder / "manufacturer");
        info.product = readAttribute(folder / "product");
        info.serial = readAttribute(folder / "serial");
        return;
    }
}

void fillByIdNames(const SystemRoots& roots, PortInfo& info) {
    const fs::path folder = fs::path(roots.dev) / "serial" / "by-id";
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (resolved(it->path().string()) == info.device) info.by_id.push_back(it->path().string());
    }
    std::sort(info.by_id.begin(), info.by_id.end());
}

// FNV-1a: a stable 64-bit digest, enough to tell two directory states apart.
class Digest {
  public:
    void add(const std::string& text) {
        for (const char c : text)
            addByte(static_cast<unsigned char>(c));
        addByte(0);  // a separator, so "ab","c" and "a","bc" differ
    }
    void add(std::uint64_t value) {
        for (int i = 0; i < 8; ++i)
            addByte(static_cast<unsigned char>(value >> (8 * i)));
    }
    std::uint64_t value() const { return hash_; }

  private:
    void addByte(unsigned char byte) {
        hash_ ^= byte;
        hash_ *= 0x100000001b3ULL;
    }
    std::uint64_t hash_ = 0xcbf29ce484222325ULL;
};

// The names in `folder` (without "." and ".."), sorted, so that the directory order does not matter.
std::vector<std::string> sortedNames(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

std::string latin1FromUtf8(const std::string& raw) {
    // Trailing white space (the newline that ends a sysfs attribute) is dropped before anything else.
    std::size_t size = raw.size();
    while (size > 0 && std::isspace(static_cast<unsigned char>(raw[size - 1])) != 0)
        --size;
    const std::string_view text(raw.data(), size);

    std::string out;
    out.reserve(size);
    std::size_t i = 0;
    while (i < size) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::uint32_t code = 0;
        std::size_t length = 1;
        if (lead < 0x80) {
            code = lead;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            code = lead & 0x1Fu;
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            code = lead & 0x0Fu;
            length = 3;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            code = lead & 0x07u;
            length = 4;
        } else {
            out.push_back('?');  // a continuation byte without a lead, or a byte UTF-8 never uses
            ++i;
            continue;
        }
        bool valid = i + length <= size;
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0u) == 0x80u;
            code = (code << 6) | (next & 0x3Fu);
        }
        // An overlong form (a short code in a long sequence) is malformed too.
        if (valid && length == 3 && code < 0x800) valid = false;
        if (!valid) {
            out.push_back('?');
            ++i;  // resynchronise on the next byte
            continue;
        }
        i += length;
        const bool control = code < 0x20 || (code >= 0x7F && code < 0xA0);
        out.push_back(code > 0xFF || control ? '?' : static_cast<char>(static_cast<unsigned char>(code)));
    }
    return out;
}

bool isSerialDeviceName(const std::string& name) {
    for (const std::string family : kSerialFamilies) {
        if (name.size() <= family.size() || name.compare(0, family.size(), family) != 0) continue;
        return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(family.size()), name.end(),
                           [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
    }
    return false;
}

PortInfo describePort(const std::string& path, const SystemRoots& roots) {
    PortInfo info;
    info.path = path;
    info.device = resolved(path);
    if (!info.exists()) return info;

    const fs::path entry = ttyClassEntry(info.device, roots);
    if (!entry.empty()) {
        std::error_code ec;
        info.kernel_name = fs::canonical(entry, ec).filename().string();
        if (ec) info.kernel_name = entry.filename().string();
        const fs::path device_link = entry / "device";
        if (fs::exists(device_link, ec)) {
            info.driver = hardwareDriver(device_link);
            fillUsb(device_link, roots, info);
        }
    }
    // An on-board UART is told apart by the port type sysfs gives; where sysfs gives none, the port is
    // shown as such rather than opened to ask (opening may toggle DTR and RTS on someone's equipment).
    const std::string name = fs::path(info.device).filename().string();
    if (name.rfind("ttyS", 0) == 0 && isSerialDeviceName(name)) {
        std::ifstream type_file(fs::path(roots.sys) / "class" / "tty" / name / "type");
        int type = -1;
        info.unknown_uart = !(type_file >> type);
    }
    fillByIdNames(roots, info);
    return info;
}

std::string portSummary(const PortInfo& info) {
    if (!info.exists()) return info.path + ": not present";
    std::string text = info.device;
    std::string details;
    const auto append = [&details](const std::string& part, const char* separator) {
        if (part.empty()) return;
        if (!details.empty()) details += separator;
        details += part;
    };
    if (info.usb) {
        append(info.manufacturer, " ");
        append(info.product, " ");
        if (!info.serial.empty()) append("serial " + info.serial, ", ");
        if (!info.vendor_id.empty()) append("(" + info.vendor_id + ":" + info.product_id + ")", " ");
    } else {
        append(info.driver, " ");
    }
    for (const auto& name : info.by_id)
        append("by-id " + fs::path(name).filename().string(), ", ");
    if (info.unknown_uart) append("(unknown UART)", " ");
    if (!details.empty()) text += ": " + details;
    return text;
}

PortCatalogue::PhantomTest sysfsPhantomTest(const SystemRoots& roots) {
    return [sys = roots.sys](const std::string& path) {
        std::ifstream type_file(fs::path(sys) / "class" / "tty" / fs::path(path).filename() / "type");
        int type = -1;
        // 0 is the serial core's "unknown" port type: the 8250 driver lists such nodes without a UART.
        return static_cast<bool>(type_file >> type) && type == 0;
    };
}

namespace {

// What the watch looks at before reading a folder: a node created, removed or renamed in a folder
// changes the folder's modification time (and a folder made anew has a new inode).
struct FolderStamp {
    std::uint64_t digest = 0;
    std::int64_t newest_ns = 0;  // latest modification time among the folders, ns since the epoch
};

FolderStamp folderStamp(const std::string& dev_root) {
    Digest digest;
    FolderStamp stamp;
    for (const std::string& folder : {dev_root, dev_root + "/serial", dev_root + "/serial/by-id"}) {
        struct stat st {};
        if (::stat(folder.c_str(), &st) != 0) {
            digest.add(std::uint64_t{0});
            continue;
        }
        const std::int64_t ns = std::int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec;
        digest.add(static_cast<std::uint64_t>(st.st_ino));
        digest.add(static_cast<std::uint64_t>(ns));
        stamp.newest_ns = std::max(stamp.newest_ns, ns);
    }
    stamp.digest = digest.value();
    return stamp;
}

// `folder`/`name`, built in place (the scan runs every second).
std::string childPath(const std::string& folder, const std::string& name) {
    std::string path;
    path.reserve(folder.size() + 1 + name.size());
    path += folder;
    path += '/';
    path += name;
    return path;
}

std::int64_t realtimeNs() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return std::int64_t{now.tv_sec} * 1000000000 + now.tv_nsec;
}

// Folder times have the kernel's coarse clock (a few milliseconds), so a change just after a reading
// may leave the time as it was: while the newest change is this close to the reading, the folder is read
// again at every look.
constexpr std::int64_t kSettleNs = 2'000'000'000;

}  // namespace

PortWatch::PortWatch(std::string dev_root) : dev_root_(std::move(dev_root)) {
    signature_ = rescan();
}

std::uint64_t PortWatch::rescan() {
    const FolderStamp stamp = folderStamp(dev_root_);
    folders_ = stamp.digest;
    recent_ = realtimeNs() - stamp.newest_ns < kSettleNs;
    ++scans_;
    return scan(dev_root_);
}

bool PortWatch::changed() {
    // Reading /dev every second costs a directory listing and an lstat per serial node; most seconds
    // nothing there changed, and one stat per folder says so.
    if (!recent_ && folderStamp(dev_root_).digest == folders_) return false;
    const std::uint64_t now = rescan();
    const bool differs = now != signature_;
    signature_ = now;
    return differs;
}

std::uint64_t PortWatch::scan(const std::string& dev_root) {
    Digest digest;
    for (const auto& name : sortedNames(dev_root)) {
        if (!isSerialDeviceName(name)) continue;
        // A node that was removed and created again (adapter re-plugged between two looks) keeps its
        // name but gets a new inode.
        struct stat st {};
        if (::lstat(childPath(dev_root, name).c_str(), &st) != 0) continue;
        digest.add(name);
        digest.add(static_cast<std::uint64_t>(st.st_ino));
        digest.add(static_cast<std::uint64_t>(st.st_rdev));
    }
    const std::string by_id = dev_root + "/serial/by-id";
    for (const auto& name : sortedNames(by_id)) {
        char target[4096];
        const ssize_t n = ::readlink(childPath(by_id, name).c_str(), target, sizeof target);
        digest.add(name);
        digest.add(n > 0 ? std::string(target, static_cast<std::size_t>(n)) : std::string());
    }
    return digest.value();
}

}  // namespace hx350
