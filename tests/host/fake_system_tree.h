// A fake sysfs, device folder and /proc in a temporary folder, laid out as the kernel and udev lay out
// the real ones (relative symbolic links included), for the port information and diagnosis tests.
#pragma once

#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host/port_info.h"

namespace hx350::test {

/// What a fake USB device reports about itself.
struct FakeUsb {
    std::string bus_port;  ///< the USB device's folder name, "1-2"
    std::string vendor_id;
    std::string product_id;
    std::string manufacturer;
    std::string product;
    std::string serial;  ///< "" leaves the attribute out, as for adapters without a serial number
};

class FakeSystemTree : public ::testing::Test {
  protected:
    void SetUp() override {
        char name[] = "/tmp/hx350-sys-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        // The code under test compares resolved paths; resolve the root once so the expectations match.
        root_ = std::filesystem::canonical(name).string();
        roots_.sys = root_ + "/sys";
        roots_.dev = root_ + "/dev";
        roots_.proc = root_ + "/proc";
        for (const auto& folder : {roots_.sys + "/class/tty", roots_.dev, roots_.proc})
            std::filesystem::create_directories(folder);
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }

    static void write(const std::string& file, const std::string& text) {
        std::filesystem::create_directories(std::filesystem::path(file).parent_path());
        std::ofstream(file) << text;
    }
    static void link(const std::string& target, const std::string& at) {
        std::filesystem::create_directories(std::filesystem::path(at).parent_path());
        std::error_code ec;
        std::filesystem::remove(at, ec);
        std::filesystem::create_symlink(target, at);
    }

    /// A device node (a plain file stands in for it).
    std::string node(const std::string& name) {
        const std::string path = dev(name);
        write(path, "");
        return path;
    }
    std::string dev(const std::string& name) const { return roots_.dev + "/" + name; }

    /// Registers `name` in the tty class with its device folder `device_folder` (relative to sys) and
    /// the driver of that device.
    void ttyClass(const std::string& name, const std::string& device_folder, const std::string& driver) {
        const std::string sys = roots_.sys;
        const std::string class_dir = device_folder + "/tty/" + name;
        std::filesystem::create_directories(sys + "/" + class_dir);
        link("../../" + class_dir, sys + "/class/tty/" + name);
        link("../../../" + std::filesystem::path(device_folder).filename().string(),
             sys + "/" + class_dir + "/device");
        if (!driver.empty()) {
            std::filesystem::create_directories(sys + "/bus/drivers/" + driver);
            std::string up;
            for (const char c : device_folder)
                if (c == '/') up += "../";
            link("../" + up + "bus/drivers/" + driver, sys + "/" + device_folder + "/driver");
        }
    }

    std::string usbDeviceFolder(const FakeUsb& usb) const {
        return "devices/pci0000:00/0000:00:14.0/usb1/" + usb.bus_port;
    }
    void usbDevice(const FakeUsb& usb) {
        const std::string folder = roots_.sys + "/" + usbDeviceFolder(usb);
        write(folder + "/idVendor", usb.vendor_id + "\n");
        write(folder + "/idProduct", usb.product_id + "\n");
        write(folder + "/manufacturer", usb.manufacturer + "\n");
        write(folder + "/product", usb.product + "\n");
        if (!usb.serial.empty()) write(folder + "/serial", usb.serial + "\n");
    }

    /// A USB serial adapter: device, interface, port (ttyUSBn below the interface), with a by-id name.
    std::string usbSerial(const std::string& name, const FakeUsb& usb,
                          const std::string& driver = "ftdi_sio") {
        usbDevice(usb);
        ttyClass(name, usbDeviceFolder(usb) + "/" + usb.bus_port + ":1.0/" + name, driver);
        link("../../" + name, dev("serial/by-id/" + byIdName(usb)));
        return node(name);
    }

    /// A CDC-ACM modem or phone: the tty sits right below the interface.
    std::string acm(const std::string& name, const FakeUsb& usb) {
        usbDevice(usb);
        ttyClass(name, usbDeviceFolder(usb) + "/" + usb.bus_port + ":1.0", "cdc_acm");
        link("../../" + name, dev("serial/by-id/" + byIdName(usb)));
        return node(name);
    }

    /// An on-board UART with the serial core's port type (0: unknown, no chip behind it; 4: 16550A).
    std::string uart(const std::string& name, int type) {
        ttyClass(name, "devices/platform/serial8250", "serial8250");
        write(roots_.sys + "/devices/platform/serial8250/tty/" + name + "/type", std::to_string(type) + "\n");
        return node(name);
    }

    /// The name udev gives: vendor, model and serial joined, blanks made underscores.
    static std::string byIdName(const FakeUsb& usb) {
        std::string name = "usb-" + usb.manufacturer + "_" + usb.product +
                           (usb.serial.empty() ? "" : "_" + usb.serial) + "-if00-port0";
        for (char& c : name)
            if (c == ' ') c = '_';
        return name;
    }

    /// A process in the fake /proc with its name and descriptors leading to `open_paths`.
    void process(int pid, const std::string& command, const std::vector<std::string>& open_paths) {
        const std::string folder = roots_.proc + "/" + std::to_string(pid);
        write(folder + "/comm", command + "\n");
        std::filesystem::create_directories(folder + "/fd");
        int fd = 0;
        for (const auto& path : open_paths)
            link(path, folder + "/fd/" + std::to_string(fd++));
    }

    std::string root_;
    SystemRoots roots_;
};

}  // namespace hx350::test
