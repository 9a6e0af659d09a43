// The form's watch over its serial port: the device list beside the port choice, the status bar's
// account of a port that does not open, a device that goes away while open, and reopening it. Devices
// are pseudo-terminals behind a fake device folder and sysfs; Timer1 and the poll timer are driven by hand.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "app/form.h"
#include "app/port_status.h"
#include "base/clock.h"
#include "base/window_services.h"
#include "host/fake_system_tree.h"
#include "serial/port_catalogue.h"
#include "serial/posix_serial_device.h"
#include "support/pty_pair.h"

namespace hx350::test {
namespace {

const FakeUsb kFtdi{"1-2", "0403", "6001", "FTDI", "FT232R USB UART", "A50285BI"};
const FakeUsb kProlific{"1-3", "067b", "2303", "Prolific", "USB-Serial Controller", "PL01"};

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

class PortWatchForm : public FakeSystemTree {
  protected:
    PortWatchForm()
        : time_(LocalDateTime{2026, 3, 4, 12, 0, 0, 0}),
          poll_(time_.makeTimer()),
          timer1_(time_.makeTimer()) {}

    void SetUp() override {
        FakeSystemTree::SetUp();
        catalogue_ =
            std::make_unique<PortCatalogue>(PortCatalogue::Options{roots_.dev, sysfsPhantomTest(roots_)});
        cfg_path_ = root_ + "/HX350.cfg";
    }

    void TearDown() override {
        form_.reset();
        FakeSystemTree::TearDown();
    }

    /// The device node `name` in the fake device folder as a link to the pseudo-terminal `pty`, as udev
    /// makes it when an adapter is plugged in.
    std::string plug(const std::string& name, const PtyPair& pty) {
        link(pty.secondaryPath(), dev(name));
        return dev(name);
    }
    void unplug(const std::string& name) { std::filesystem::remove(dev(name)); }

    TForm1& start() {
        catalogue_->rescan();
        FormSeams s;
        s.catalogue = catalogue_.get();
        s.roots = roots_;
        s.clock = &time_;
        s.poll_timer = &poll_;
        s.timer1 = &timer1_;
        s.services = &services_;
        s.settings_path = cfg_path_;
        form_ = std::make_unique<TForm1>(std::move(s));
        form_->FormCreate();
        return *form_;
    }

    /// One tick of Timer1 (the link's work, then the port watch).
    void tick() { ASSERT_TRUE(timer1_.trigger()); }

    ManualTimeSource time_;
    ManualTimer& poll_;
    ManualTimer& timer1_;
    RecordingWindowServices services_;
    std::unique_ptr<PortCatalogue> catalogue_;
    std::string cfg_path_;
    std::unique_ptr<TForm1> form_;
};

// ---- The device list beside the port choice

TEST_F(PortWatchForm, ListNamesTheDeviceBehindEachNumberWithTheAdaptersDetails) {
    uart("ttyS0", 4);
    uart("ttyS1", 0);  // listed by the kernel without a UART behind it: no number
    usbSerial("ttyUSB0", kFtdi);
    TForm1& f = start();
    ASSERT_EQ(f.MemoPorts.Lines().size(), 2u);
    EXPECT_EQ(f.MemoPorts.Lines()[0], "Com1 = " + dev("ttyS0") + ": serial8250");
    EXPECT_EQ(f.MemoPorts.Lines()[1], "Com2 = " + dev("ttyUSB0") +
                                          ": FTDI FT232R USB UART, serial A50285BI (0403:6001), by-id "
                                          "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
    // The captions of the port choice stay as designed.
    EXPECT_EQ(f.RadioGroupPort.Items().front(), "Com1");
    EXPECT_EQ(f.RadioGroupPort.Items().back(), "Com16");
}

TEST_F(PortWatchForm, ListFollowsDevicesPluggedInAndPulledOutOnTheNextTick) {
    TForm1& f = start();
    ASSERT_EQ(f.MemoPorts.Lines().size(), 1u);
    EXPECT_EQ(f.MemoPorts.Lines()[0], "No serial device found on this machine");

    usbSerial("ttyUSB0", kFtdi);
    tick();
    ASSERT_EQ(f.MemoPorts.Lines().size(), 1u);
    EXPECT_TRUE(startsWith(f.MemoPorts.Lines()[0], "Com1 = " + dev("ttyUSB0") + ": FTDI"));
    EXPECT_EQ(f.CommPortDriver1().Port(), pnCOM1);

    acm("ttyACM0", kProlific);
    tick();
    ASSERT_EQ(f.MemoPorts.Lines().size(), 2u);
    EXPECT_TRUE(startsWith(f.MemoPorts.Lines()[1], "Com2 = " + dev("ttyACM0") + ": Prolific"));

    unplug("ttyUSB0");
    tick();
    ASSERT_EQ(f.MemoPorts.Lines().size(), 1u);
    EXPECT_TRUE(startsWith(f.MemoPorts.Lines()[0], "Com1 = " + dev("ttyACM0")));
}

TEST_F(PortWatchForm, ListIsRefreshedWhenTheSerialPortPageIsShown) {
    TForm1& f = start();
    f.MemoPorts.SetText("stale");
    ASSERT_TRUE(f.PageControl1.userSelectPage(kMainPage + 1));
    EXPECT_EQ(f.MemoPorts.Text(), "stale");  // another page: nothing read
    ASSERT_TRUE(f.PageControl1.userSelectPage(kSerialPortPage));
    EXPECT_EQ(f.MemoPorts.Text(), "No serial device found on this machine");
}

TEST_F(PortWatchForm, ListControlIsRegisteredOnTheSerialPortPageBesideThePortChoice) {
    TForm1& f = start();
    const ControlEntry* entry = f.find("MemoPorts");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->kind, ControlKind::Memo);
    EXPECT_EQ(entry->page, kSerialPortPage);
    EXPECT_EQ(entry->label, "Devices behind the port numbers");
    EXPECT_EQ(f.find<Memo>("MemoPorts"), &f.MemoPorts);
}

// ---- A port that does not open

TEST_F(PortWatchForm, StatusBarExplainsANumberWithoutADevice) {
    TForm1& f = start();
    EXPECT_FALSE(f.CommPortDriver1().IsConnected());
    EXPECT_EQ(f.StatusBar1.Text(),
              "Com1: no such device - no serial device has this number on this machine: plug in the adapter "
              "or choose another port");
    EXPECT_TRUE(services_.messages.size() <= 1u);  // at most the settings file's warning, no port box
}

TEST_F(PortWatchForm, StatusBarNamesTheProcessHoldingThePort) {
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    const std::string path = plug("ttyUSB0", pty);
    // This test program holds the device, as another terminal program would.
    process(4242, "minicom", {pty.secondaryPath()});
    PosixSerialDevice holder;
    ASSERT_TRUE(holder.open(path).ok());
    TForm1& f = start();
    EXPECT_FALSE(f.CommPortDriver1().IsConnected());
    EXPECT_EQ(f.StatusBar1.Text(),
              "Com1: " + path + ": in use - held by minicom (pid 4242): close that program first");
    holder.close();
    f.RadioGroupRate.userSetItemIndex(1);  // choosing again tries again
    EXPECT_TRUE(f.CommPortDriver1().IsConnected());
    EXPECT_EQ(f.StatusBar1.Text(), "Com1: " + path + ", 19200 baud, open");
}

// ---- A device that goes away while open

TEST_F(PortWatchForm, HangUpClosesThePortSaysSoAndDoesNotReopenTheDeadDevice) {
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    const std::string path = plug("ttyUSB0", pty);
    TForm1& f = start();
    ASSERT_TRUE(f.CommPortDriver1().IsConnected());
    ASSERT_TRUE(poll_.isActive());

    pty.closePrimary();
    tick();
    EXPECT_FALSE(f.CommPortDriver1().IsConnected());
    EXPECT_FALSE(poll_.isActive());  // no poll keeps reading a dead device
    EXPECT_EQ(f.lostPortPath(), path);
    // The far end is gone and the pseudo-terminal's node with it: the link to it leads nowhere now.
    EXPECT_EQ(f.StatusBar1.Text(),
              "Com1: " + path +
                  ": disconnected - the device went away (adapter unplugged?) and the port "
                  "was closed: plug it in again and choose the port again");
    // Nothing changed in the device folder: the following ticks try nothing and say nothing new.
    const std::string said = f.StatusBar1.Text();
    for (int i = 0; i < 3; ++i)
        tick();
    EXPECT_FALSE(f.CommPortDriver1().IsConnected());
    EXPECT_EQ(f.StatusBar1.Text(), said);
    EXPECT_TRUE(services_.messages.size() <= 1u);
    f.ReadState.userClick();  // a closed port takes nothing and says nothing
    EXPECT_TRUE(services_.messages.size() <= 1u);
}

TEST_F(PortWatchForm, ChoosingThePortAgainOpensTheNewDeviceUnderTheSameNumber) {
    auto first = std::make_unique<PtyPair>();
    ASSERT_TRUE(first->ok());
    catalogue_->setExplicit(1, first->secondaryPath());
    TForm1& f = start();
    ASSERT_TRUE(f.CommPortDriver1().IsConnected());
    first->closePrimary();
    tick();
    ASSERT_FALSE(f.CommPortDriver1().IsConnected());
    first.reset();

    PtyPair second;
    ASSERT_TRUE(second.ok());
    catalogue_->setExplicit(1, second.secondaryPath());
    f.RadioGroupPort.userSetItemIndex(1);  // away and back: InitPort runs twice
    f.RadioGroupPort.userSetItemIndex(0);
    ASSERT_TRUE(f.CommPortDriver1().IsConnected());
    EXPECT_EQ(f.CommPortDriver1().PortName(), second.secondaryPath());
    EXPECT_EQ(f.lostPortPath(), "");
    EXPECT_EQ(f.StatusBar1.Text(), "Com1: " + second.secondaryPath() + ", 9600 baud, open");
    f.ReadState.userClick();
    EXPECT_NE(second.drainPrimary(Millis(20)).find("SETUP:GETST"), std::string::npos);
}

TEST_F(PortWatchForm, TheSameAdapterPluggedInAgainIsReopenedOnTheNextTick) {
    auto first = std::make_unique<PtyPair>();
    ASSERT_TRUE(first->ok());
    const std::string path = plug("ttyUSB0", *first);
    TForm1& f = start();
    ASSERT_TRUE(f.CommPortDriver1().IsConnected());

    // Pulled: the hang-up comes first, then udev removes the node.
    first->closePrimary();
    tick();
    ASSERT_FALSE(f.CommPortDriver1().IsConnected());
    unplug("ttyUSB0");
    first.reset();
    tick();
    EXPECT_FALSE(f.CommPortDriver1().IsConnected());
    EXPECT_EQ(f.StatusBar1.Text(),
              "Com1: " + path +
                  ": disconnected - the device went away (adapter unplugged?) and the port "
                  "was closed: plug it in again and choose the port again");
    tick();  // nothing changed: nothing tried
    EXPECT_FALSE(f.CommPortDriver1().IsConnected());

    // Plugged in again under the same name.
    PtyPair second;
    ASSERT_TRUE(second.ok());
    plug("ttyUSB0", second);
    tick();
    ASSERT_TRUE(f.CommPortDriver1().IsConnected());
    EXPECT_EQ(f.lostPortPath(), "");
    EXPECT_EQ(f.StatusBar1.Text(), "Com1: " + path + ", 9600 baud, open");
    f.ReadState.userClick();
    EXPECT_NE(second.drainPrimary(Millis(20)).find("SETUP:GETST"), std::string::npos);
}

TEST_F(PortWatchForm, StatusTextForAClosedPortNeverTried) {
    FormSeams s;
    s.roots = roots_;
    TForm1 f(std::move(s));
    EXPECT_EQ(portOpenStatusText(f.CommPortDriver1(), {}), "Port: no device, 9600 baud, closed");
}

}  // namespace
}  // namespace hx350::test
