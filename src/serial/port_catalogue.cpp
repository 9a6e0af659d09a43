#include "serial/port_catalogue.h"

#include <linux/serial.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace hx350 {

namespace {

// Device families in the order their members are numbered: on-board UARTs first, then USB adapters
// (FTDI/Prolific style, then CDC-ACM modems and phones), then the SoC UARTs of ARM boards, then
// Bluetooth serial links.
constexpr const char* kFamilies[] = {"ttyS", "ttyUSB", "ttyACM", "ttyAMA", "rfcomm"};

// The instance number after `prefix`, as digits; empty when `name` is not prefix + digits.
std::string instanceDigits(const std::string& name, const std::string& prefix) {
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return {};
    std::string digits = name.substr(prefix.size());
    const bool all_digits = std::all_of(digits.begin(), digits.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
    return all_digits ? digits : std::string();
}

// Natural order of instance numbers of any length: ttyUSB2 before ttyUSB10.
bool numericLess(const std::string& a, const std::string& b) {
    const auto strip = [](const std::string& s) {
        const auto first = s.find_first_not_of('0');
        return first == std::string::npos ? std::string() : s.substr(first);
    };
    const std::string x = strip(a);
    const std::string y = strip(b);
    if (x.size() != y.size()) return x.size() < y.size();
    if (x != y) return x < y;
    return a < b;  // "01" and "1": any fixed order
}

}  // namespace

PortCatalogue::PortCatalogue() : PortCatalogue(Options{}) {}

PortCatalogue::PortCatalogue(Options options) : options_(std::move(options)) {
    if (!options_.is_phantom) options_.is_phantom = &PortCatalogue::isPhantomSerialPort;
}

bool PortCatalogue::setExplicit(int number, const std::string& path) {
    if (number < kFirstNumber || number > kLastNumber || path.empty()) return false;
    explicit_[number] = path;
    renumber();
    return true;
}

std::string PortCatalogue::pathOf(int number) const {
    const auto it = ports_.find(number);
    return it == ports_.end() ? std::string() : it->second;
}

void PortCatalogue::rescan() {
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(options_.device_dir, ec), end; !ec && it != end;
         it.increment(ec))
        names.push_back(it->path().filename().string());

    detected_.clear();
    for (const std::string family : kFamilies) {
        std::vector<std::pair<std::string, std::string>> members;  // digits, name
        for (const auto& name : names) {
            std::string digits = instanceDigits(name, family);
            if (!digits.empty()) members.emplace_back(std::move(digits), name);
        }
        std::sort(members.begin(), members.end(),
                  [](const auto& a, const auto& b) { return numericLess(a.first, b.first); });
        for (const auto& member : members) {
            const std::string path = options_.device_dir + "/" + member.second;
            // The 8250 driver lists a fixed number of ttyS nodes whether or not a UART answers behind
            // them; only those ports can be phantoms.
            if (family == "ttyS" && options_.is_phantom(path)) continue;
            detected_.push_back(path);
        }
    }
    renumber();
}

void PortCatalogue::renumber() {
    ports_ = explicit_;
    int next = kFirstNumber;
    for (const auto& path : detected_) {
        const bool taken = std::any_of(explicit_.begin(), explicit_.end(),
                                       [&](const auto& entry) { return entry.second == path; });
        if (taken) continue;
        while (next <= kLastNumber && ports_.count(next) != 0)
            ++next;
        if (next > kLastNumber) break;
        ports_[next] = path;
    }
}

bool PortCatalogue::isPhantomSerialPort(const std::string& path) {
    // sysfs tells the port type without opening the device (opening would raise DTR on real hardware).
    const std::string name = std::filesystem::path(path).filename().string();
    // A port sysfs says nothing of is kept (and listed as an unknown UART), never opened to find out:
    // this runs on every change in /dev, and the port may be in use by another program.
    std::ifstream type_file("/sys/class/tty/" + name + "/type");
    int type = -1;
    return (type_file >> type) && type == PORT_UNKNOWN;
}

}  // namespace hx350
