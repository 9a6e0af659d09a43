// Port descriptions, the catalogue and the plug watch over a fake sysfs and device folder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "host/fake_system_tree.h"
#include "host/port_info.h"
#include "serial/port_catalogue.h"

namespace hx350 {
namespace {

namespace fs = std::filesystem;
using test::FakeUsb;

const FakeUsb kFtdi{"1-2", "0403", "6001", "FTDI", "FT232R USB UART", "A50285BI"};
const FakeUsb kProlific{"1-4", "067b", "2303", "Prolific Technology Inc.", "USB-Serial Controller", ""};
const FakeUsb kPhone{"1-3", "1546", "01a7", "u-blox AG", "u-blox 7 - GPS/GNSS Receiver", ""};

class PortInfoTest : public test::FakeSystemTree {};

TEST_F(PortInfoTest, UsbAdapterShowsMakerProductSerialAndItsByIdName) {
    const std::string path = usbSerial("ttyUSB0", kFtdi);
    const PortInfo info = describePort(path, roots_);
    EXPECT_EQ(info.device, path);
    EXPECT_EQ(info.kernel_name, "ttyUSB0");
    EXPECT_EQ(info.driver, "ftdi_sio");
    EXPECT_TRUE(info.usb);
    EXPECT_EQ(info.vendor_id, "0403");
    EXPECT_EQ(info.product_id, "6001");
    EXPECT_EQ(info.manufacturer, "FTDI");
    EXPECT_EQ(info.product, "FT232R USB UART");
    EXPECT_EQ(info.serial, "A50285BI");
    const std::string by_id = dev("serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
    EXPECT_EQ(info.by_id, std::vector<std::string>{by_id});
    EXPECT_EQ(portSummary(info), path +
                                     ": FTDI FT232R USB UART, serial A50285BI (0403:6001), by-id "
                                     "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");

    // The stable name leads to the same description.
    const PortInfo through_link = describePort(by_id, roots_);
    EXPECT_EQ(through_link.path, by_id);
    EXPECT_EQ(through_link.device, path);
    EXPECT_EQ(through_link.serial, "A50285BI");
    EXPECT_EQ(through_link.by_id, info.by_id);
}

TEST_F(PortInfoTest, ModemOneLevelBelowItsUsbDeviceAndAdapterWithoutSerialNumber) {
    const std::string modem = acm("ttyACM0", kPhone);
    const PortInfo m = describePort(modem, roots_);
    EXPECT_TRUE(m.usb);
    EXPECT_EQ(m.driver, "cdc_acm");
    EXPECT_EQ(m.vendor_id, "1546");
    EXPECT_EQ(m.product, "u-blox 7 - GPS/GNSS Receiver");
    EXPECT_EQ(m.serial, "");

    const std::string adapter = usbSerial("ttyUSB3", kProlific, "pl2303");
    const PortInfo a = describePort(adapter, roots_);
    EXPECT_EQ(portSummary(a), adapter +
                                  ": Prolific Technology Inc. USB-Serial Controller (067b:2303), by-id "
                                  "usb-Prolific_Technology_Inc._USB-Serial_Controller-if00-port0");
}

TEST_F(PortInfoTest, OnBoardUartShowsItsDriverOnly) {
    const std::string path = uart("ttyS0", 4);
    const PortInfo info = describePort(path, roots_);
    EXPECT_FALSE(info.usb);
    EXPECT_EQ(info.driver, "serial8250");
    EXPECT_TRUE(info.by_id.empty());
    EXPECT_EQ(portSummary(info), path + ": serial8250");
}

TEST_F(PortInfoTest, UartDriverIsFoundAboveTheSerialCoresOwnDevices) {
    // Newer kernels put a port and a controller device of the serial core between the tty and the UART.
    const std::string uart_folder = "devices/pnp0/00:00";
    ttyClass("ttyS0", uart_folder + "/00:00:0/00:00:0.0", "");
    const std::string sys = roots_.sys + "/";
    link("../../../../../bus/serial-base/drivers/port", sys + uart_folder + "/00:00:0/00:00:0.0/driver");
    link("../../../../bus/serial-base/drivers/ctrl", sys + uart_folder + "/00:00:0/driver");
    link("../../../bus/pnp/drivers/serial", sys + uart_folder + "/driver");
    EXPECT_EQ(describePort(node("ttyS0"), roots_).driver, "serial");
}

TEST_F(PortInfoTest, APathThatLeadsNowhereIsNotPresent) {
    const PortInfo info = describePort(dev("ttyUSB9"), roots_);
    EXPECT_FALSE(info.exists());
    EXPECT_EQ(info.path, dev("ttyUSB9"));
    EXPECT_EQ(portSummary(info), dev("ttyUSB9") + ": not present");
    // A by-id link whose adapter is gone dangles: not present either.
    link("../../ttyUSB9", dev("serial/by-id/usb-gone-if00-port0"));
    EXPECT_FALSE(describePort(dev("serial/by-id/usb-gone-if00-port0"), roots_).exists());
    EXPECT_FALSE(describePort("", roots_).exists());
}

TEST_F(PortInfoTest, ANodeWithoutSysfsEntryIsStillDescribedByPath) {
    // A pseudo-terminal or a simulator's link has no tty class entry.
    const std::string path = node("ttyUSB5");
    const PortInfo info = describePort(path, roots_);
    EXPECT_TRUE(info.exists());
    EXPECT_EQ(info.kernel_name, "");
    EXPECT_FALSE(info.usb);
    EXPECT_EQ(portSummary(info), path);
}

TEST_F(PortInfoTest, UsbStringsInUtf8AreShownInLatin1) {
    const std::string path =
        usbSerial("ttyUSB0", {"1-5", "1a86", "7523", "M\xC3\xBCller \xE2\x82\xAC", "CH340", "7"});
    const PortInfo info = describePort(path, roots_);
    EXPECT_EQ(info.manufacturer, "M\xFCller ?");
}

struct Latin1Row {
    const char* name;
    std::string in;
    std::string out;
};

void PrintTo(const Latin1Row& row, std::ostream* os) {
    *os << row.name;
}

class Latin1FromUtf8 : public ::testing::TestWithParam<Latin1Row> {};

TEST_P(Latin1FromUtf8, Converts) {
    EXPECT_EQ(latin1FromUtf8(GetParam().in), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Latin1FromUtf8,
    ::testing::Values(
        Latin1Row{"Ascii", "FT232R USB UART", "FT232R USB UART"},
        Latin1Row{"TrailingNewlineAndBlanks", "FTDI \n", "FTDI"},
        Latin1Row{"TwoByteInRange", "\xC3\xA9t\xC3\xA9", "\xE9t\xE9"},
        Latin1Row{"HighestLatin1", "\xC3\xBF", "\xFF"}, Latin1Row{"BeyondLatin1", "\xE2\x84\xA2", "?"},
        Latin1Row{"FourByte", "a\xF0\x9F\x98\x80z", "a?z"}, Latin1Row{"LoneContinuation", "a\x80z", "a?z"},
        Latin1Row{"TruncatedAtEnd", "a\xC3", "a?"}, Latin1Row{"LeadWithoutContinuation", "\xC3z", "?z"},
        Latin1Row{"OverlongSlash", "\xC0\xAF", "??"}, Latin1Row{"OverlongThreeByte", "\xE0\x80\xAF", "???"},
        Latin1Row{"ControlCharacters", std::string("a\tb\x1b\0c", 6), "a?b??c"},
        Latin1Row{"C1Control", "\xC2\x85", "?"}, Latin1Row{"Empty", "", ""}),
    [](const auto& row_info) { return std::string(row_info.param.name); });

TEST(SerialDeviceName, OnlyTheNumberedFamiliesWithDigitsOnly) {
    for (const char* yes : {"ttyS0", "ttyS31", "ttyUSB10", "ttyACM0", "ttyAMA1", "rfcomm0"})
        EXPECT_TRUE(isSerialDeviceName(yes)) << yes;
    for (const char* no :
         {"ttyS", "tty0", "tty", "ttySAC0", "ttyUSBx1", "ttyUSB1a", "rfcomm", "null", "ttyGS0", ""})
        EXPECT_FALSE(isSerialDeviceName(no)) << no;
}

TEST_F(PortInfoTest, CatalogueOnFakeTreeLeavesOutPhantomUartsAndNumbersInOrder) {
    uart("ttyS0", 4);  // a real 16550A
    uart("ttyS1", 0);  // listed by the driver, no chip behind it
    uart("ttyS2", 0);
    uart("ttyS3", 0);
    usbSerial("ttyUSB10", {"1-7", "0403", "6001", "FTDI", "FT232R USB UART", "B1"});
    usbSerial("ttyUSB2", kFtdi);
    acm("ttyACM0", kPhone);
    node("tty0");
    node("console");

    PortCatalogue::Options options;
    options.device_dir = roots_.dev;
    options.is_phantom = sysfsPhantomTest(roots_);
    PortCatalogue catalogue(options);
    catalogue.rescan();
    const std::map<int, std::string> expected = {
        {1, dev("ttyS0")}, {2, dev("ttyUSB2")}, {3, dev("ttyUSB10")}, {4, dev("ttyACM0")}};
    EXPECT_EQ(catalogue.ports(), expected);

    // Each number's description carries the by-id name that leads to it.
    EXPECT_EQ(describePort(catalogue.pathOf(2), roots_).by_id,
              std::vector<std::string>{dev("serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0")});
    EXPECT_EQ(describePort(catalogue.pathOf(3), roots_).by_id,
              std::vector<std::string>{dev("serial/by-id/usb-FTDI_FT232R_USB_UART_B1-if00-port0")});
    EXPECT_TRUE(describePort(catalogue.pathOf(1), roots_).by_id.empty());
}

TEST_F(PortInfoTest, PhantomTestKeepsUartsWithoutTypeAttribute) {
    const auto phantom = sysfsPhantomTest(roots_);
    EXPECT_TRUE(phantom(uart("ttyS1", 0)));
    EXPECT_FALSE(phantom(uart("ttyS0", 4)));
    EXPECT_FALSE(phantom(node("ttyS7")));  // no sysfs entry: cannot tell, keep it
}

TEST_F(PortInfoTest, WatchNoticesPluggingUnpluggingAndReplacementOnly) {
    node("ttyS0");
    node("ttyUSB0");
    PortWatch watch(roots_.dev);
    EXPECT_FALSE(watch.changed());

    node("tty5");  // not a serial family: no change
    node("null");
    EXPECT_FALSE(watch.changed());

    node("ttyUSB1");  // plugged in
    EXPECT_TRUE(watch.changed());
    EXPECT_FALSE(watch.changed());  // reported once

    fs::remove(dev("ttyUSB1"));  // pulled out
    EXPECT_TRUE(watch.changed());

    // Pulled out and plugged in again between two looks: same name, new node.
    write(dev("ttyUSB0.new"), "");
    fs::rename(dev("ttyUSB0.new"), dev("ttyUSB0"));
    EXPECT_TRUE(watch.changed());

    link("../../ttyUSB0", dev("serial/by-id/usb-X_Y_1-if00-port0"));
    EXPECT_TRUE(watch.changed());
    link("../../ttyS0", dev("serial/by-id/usb-X_Y_1-if00-port0"));  // same name, other target
    EXPECT_TRUE(watch.changed());
    EXPECT_FALSE(watch.changed());
}

// Folder times an hour old: nothing has changed there lately.
void ageFolder(const std::string& folder) {
    timespec times[2] = {};
    ::clock_gettime(CLOCK_REALTIME, &times[0]);
    times[0].tv_sec -= 3600;
    times[1] = times[0];
    ASSERT_EQ(::utimensat(AT_FDCWD, folder.c_str(), times, 0), 0) << folder;
}

TEST_F(PortInfoTest, WatchReadsTheFolderOnlyWhenItMayHaveChanged) {
    node("ttyS0");
    link("../../ttyS0", dev("serial/by-id/usb-X_Y_1-if00-port0"));
    for (const char* folder : {"", "/serial", "/serial/by-id"})
        ageFolder(roots_.dev + folder);
    PortWatch watch(roots_.dev);
    EXPECT_EQ(watch.scans(), 1u);
    for (int tick = 0; tick < 5; ++tick)
        EXPECT_FALSE(watch.changed());
    EXPECT_EQ(watch.scans(), 1u);  // an idle second costs three stat calls, no listing

    // A change is seen at the next look; while it is fresh the folder is read at every look, since a
    // second change within the same coarse clock step would leave the folder's time as it was.
    node("ttyUSB0");
    EXPECT_TRUE(watch.changed());
    EXPECT_FALSE(watch.changed());
    EXPECT_EQ(watch.scans(), 3u);
    node("ttyUSB1");
    EXPECT_TRUE(watch.changed());

    // Once the change has settled: back to stat calls only.
    ageFolder(roots_.dev);
    EXPECT_FALSE(watch.changed());
    const auto settled = watch.scans();
    EXPECT_FALSE(watch.changed());
    EXPECT_FALSE(watch.changed());
    EXPECT_EQ(watch.scans(), settled);

    // A link changed in serial/by-id (not in the device folder itself) is seen too.
    link("../../ttyUSB0", dev("serial/by-id/usb-X_Y_2-if00-port0"));
    EXPECT_TRUE(watch.changed());
}

TEST(PortWatch, AMissingFolderIsStableAndNoError) {
    PortWatch watch("/tmp/hx350-no-such-folder");
    EXPECT_FALSE(watch.changed());
    EXPECT_EQ(PortWatch::scan("/tmp/hx350-no-such-folder"), watch.signature());
}

// Opening a serial device may toggle DTR and RTS on equipment another program drives: ports are told
// apart from sysfs alone, and a UART that sysfs cannot classify is listed as such, never opened to ask.
TEST_F(PortInfoTest, PortsAreClassifiedFromSysfsAloneAndNeverOpened) {
    struct Row {
        const char* name;
        int uart_type;  ///< sysfs "type" of a ttyS node; -1: a node sysfs knows nothing of
        bool listed;
        bool unknown_uart;
    };
    const Row rows[] = {
        {"ttyS0", 4, true, false},   // a 16550A
        {"ttyS1", 0, false, false},  // listed by the driver, no chip behind it
        {"ttyS57", -1, true, true},
        {"ttyUSB0", -1, true, false},  // not a UART of the 8250 family
    };
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    for (const Row& row : rows) {
        const std::string path = row.uart_type >= 0 ? uart(row.name, row.uart_type) : node(row.name);
        ASSERT_GE(::inotify_add_watch(watch, path.c_str(), IN_OPEN), 0) << row.name;
    }
    PortCatalogue on_fake_tree({roots_.dev, sysfsPhantomTest(roots_)});
    on_fake_tree.rescan();
    PortCatalogue as_the_program_makes_it({roots_.dev, {}});
    as_the_program_makes_it.rescan();
    for (const Row& row : rows) {
        const auto& detected = on_fake_tree.detected();
        EXPECT_EQ(std::count(detected.begin(), detected.end(), dev(row.name)), row.listed ? 1 : 0)
            << row.name;
        const std::string summary = portSummary(describePort(dev(row.name), roots_));
        EXPECT_EQ(summary.find("(unknown UART)") != std::string::npos, row.unknown_uart) << summary;
    }
    char events[512];
    EXPECT_LT(::read(watch, events, sizeof events), 0) << "a device node was opened";
    ::close(watch);
}

}  // namespace
}  // namespace hx350
