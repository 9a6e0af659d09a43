// What a technician needs to recognise a serial device: where its path leads, which USB adapter it is
// (maker, product, serial number), which stable /dev/serial/by-id/ names point to it; and a cheap way to
// notice that devices were plugged in or pulled out.
//
// Everything is read from the file system (sysfs, the device folder), never by opening the device: opening
// a real port can raise DTR and reset the equipment behind it. The roots are injectable so tests run on a
// fake tree.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "serial/port_catalogue.h"

namespace hx350 {

/// Where the system's views of devices and processes are mounted. Tests point them into a fake tree.
struct SystemRoots {
    std::string sys = "/sys";    ///< sysfs
    std::string dev = "/dev";    ///< device nodes, with serial/by-id/ below
    std::string proc = "/proc";  ///< process information
};

/// One serial device as the user can recognise it. Texts are Latin-1 (USB strings, which the kernel
/// gives as UTF-8, are converted; characters outside Latin-1 become '?'), without control characters.
struct PortInfo {
    std::string path;         ///< the path as asked for
    std::string device;       ///< the device node the path leads to (symbolic links followed); "" if none
    std::string kernel_name;  ///< its name in the kernel's tty class ("ttyUSB0"); "" when sysfs has none
    std::string driver;      ///< the kernel driver behind it ("ftdi_sio", "cdc_acm", "serial8250"); may be ""
    bool usb = false;        ///< the device belongs to a USB device (adapter, phone, modem)
    std::string vendor_id;   ///< USB vendor id, four hex digits as sysfs writes them ("0403")
    std::string product_id;  ///< USB product id ("6001")
    std::string manufacturer;        ///< USB maker string ("FTDI"); may be "" even for USB
    std::string product;             ///< USB product string ("FT232R USB UART")
    std::string serial;              ///< USB serial number string ("A50285BI")
    std::vector<std::string> by_id;  ///< full paths in <dev>/serial/by-id/ that lead to the device, sorted
    bool unknown_uart = false;       ///< an on-board UART (ttyS*) whose port type sysfs does not give

    /// Whether the path leads to something that exists.
    bool exists() const { return !device.empty(); }
};

/// Describes the device at `path` (a node such as /dev/ttyUSB0 or a link such as a by-id name).
/// Parameters: `path` any path; `roots` where sysfs and the device folder are (the kernel name is looked
/// up under <sys>/class/tty, the by-id names under <dev>/serial/by-id).
/// Result: the description; for a path that leads nowhere only `path` is set. Never fails otherwise:
/// whatever cannot be read stays empty.
PortInfo describePort(const std::string& path, const SystemRoots& roots = {});

/// A one-line label for the Serial Port page, for example
/// "/dev/ttyUSB0: FTDI FT232R USB UART, serial A50285BI (0403:6001), by-id usb-FTDI_..._A50285BI-if00-port0".
/// A device without USB details shows its path and driver ("/dev/ttyS0: serial8250"); an on-board UART
/// that sysfs cannot classify ends in "(unknown UART)"; a path that leads nowhere shows "<path>: not
/// present".
std::string portSummary(const PortInfo& info);

/// A phantom test for PortCatalogue that reads the port type from <sys>/class/tty/<name>/type (0: the
/// driver knows no UART behind the node). A node without that attribute is kept (not a phantom).
PortCatalogue::PhantomTest sysfsPhantomTest(const SystemRoots& roots);

/// Notices serial devices appearing, disappearing or being replaced (unplugged and plugged in again
/// under the same name) by comparing a signature of the device folder: the names of the serial device
/// nodes (ttyS*, ttyUSB*, ttyACM*, ttyAMA*, rfcomm*) with their inode and device numbers, and the by-id
/// links with their targets. Cheap enough to call from a one-second UI timer (a few hundred microseconds
/// on a desktop machine). Not thread-safe.
class PortWatch {
  public:
    /// Takes the first signature at once, so the first changed() reports changes since construction.
    explicit PortWatch(std::string dev_root = "/dev");

    /// Takes a new signature. Result: true when it differs from the previous one. Reads the device folder
    /// only when it (or its serial/ and serial/by-id/ folders) may have changed since the last reading.
    bool changed();

    /// The current signature (as of construction or the last changed()).
    std::uint64_t signature() const { return signature_; }

    /// The signature of the serial devices in `dev_root` now; a missing folder gives a fixed value.
    static std::uint64_t scan(const std::string& dev_root);

    /// How many times the device folder was read (construction included).
    std::uint64_t scans() const { return scans_; }

  private:
    std::uint64_t rescan();

    std::string dev_root_;
    std::uint64_t signature_ = 0;
    std::uint64_t folders_ = 0;  // identity and modification times of the watched folders
    bool recent_ = true;         // a folder was modified close to the last reading
    std::uint64_t scans_ = 0;
};

/// Converts text the kernel gives as UTF-8 (USB strings, process names) to the Latin-1 byte strings the
/// tool shows: characters above U+00FF and malformed sequences become '?', control characters become
/// '?', and trailing white space (the newline of a sysfs attribute) is dropped.
std::string latin1FromUtf8(const std::string& text);

/// Whether `name` is the name of a serial device node of the families the catalogue numbers: one of
/// ttyS, ttyUSB, ttyACM, ttyAMA, rfcomm followed by decimal digits only.
bool isSerialDeviceName(const std::string& name);

}  // namespace hx350
