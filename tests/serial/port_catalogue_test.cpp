// Port numbering over a fake device folder.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "base/clock.h"
#include "serial/comm_port_driver.h"
#include "serial/port_catalogue.h"

namespace hx350 {
namespace {

namespace fs = std::filesystem;

class FakeDevTree : public ::testing::Test {
  protected:
    void SetUp() override {
        char name[] = "/tmp/hx350-dev-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir_ = name;
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    void touch(std::initializer_list<const char*> names) {
        for (const char* n : names)
            std::ofstream(dir_ + "/" + n).put('\0');
    }
    PortCatalogue catalogue(std::set<std::string> phantoms = {}) {
        PortCatalogue::Options options;
        options.device_dir = dir_;
        options.is_phantom = [this, phantoms](const std::string& path) {
            EXPECT_EQ(path.rfind(dir_ + "/ttyS", 0), 0u) << "only ttyS nodes are asked: " << path;
            return phantoms.count(fs::path(path).filename().string()) != 0;
        };
        return PortCatalogue(options);
    }
    std::string p(const char* name) const { return dir_ + "/" + name; }

    std::string dir_;
};

TEST_F(FakeDevTree, FamiliesInOrderEachInNaturalNumericOrder) {
    touch({"ttyUSB10", "ttyUSB2", "ttyACM0", "ttyS1", "ttyS0", "rfcomm0", "ttyAMA0", "ttyUSB0", "tty0",
           "tty1", "ttyS", "ttySAC0", "ttyUSBx1", "console", "null", "ttyACM1"});
    PortCatalogue c = catalogue();
    c.rescan();
    const std::map<int, std::string> expected = {{1, p("ttyS0")},   {2, p("ttyS1")},    {3, p("ttyUSB0")},
                                                 {4, p("ttyUSB2")}, {5, p("ttyUSB10")}, {6, p("ttyACM0")},
                                                 {7, p("ttyACM1")}, {8, p("ttyAMA0")},  {9, p("rfcomm0")}};
    EXPECT_EQ(c.ports(), expected);
    EXPECT_EQ(c.pathOf(5), p("ttyUSB10"));
    EXPECT_EQ(c.pathOf(10), "");
    EXPECT_EQ(c.pathOf(0), "");
}

TEST_F(FakeDevTree, PhantomUartsAreLeftOut) {
    touch({"ttyS0", "ttyS1", "ttyS2", "ttyS3", "ttyUSB0"});
    PortCatalogue c = catalogue({"ttyS1", "ttyS2", "ttyS3"});
    c.rescan();
    const std::map<int, std::string> expected = {{1, p("ttyS0")}, {2, p("ttyUSB0")}};
    EXPECT_EQ(c.ports(), expected);
}

TEST_F(FakeDevTree, ExplicitMappingsComeFirstAndDetectedDevicesFillTheGaps) {
    touch({"ttyS0", "ttyUSB0", "ttyUSB1"});
    PortCatalogue c = catalogue();
    EXPECT_TRUE(c.setExplicit(2, "/tmp/sim-link"));
    EXPECT_TRUE(c.setExplicit(3, p("ttyUSB1")));  // a detected device mapped by hand is not numbered twice
    EXPECT_FALSE(c.setExplicit(0, "/dev/x"));
    EXPECT_FALSE(c.setExplicit(17, "/dev/x"));
    EXPECT_FALSE(c.setExplicit(4, ""));
    c.rescan();
    const std::map<int, std::string> expected = {
        {1, p("ttyS0")}, {2, "/tmp/sim-link"}, {3, p("ttyUSB1")}, {4, p("ttyUSB0")}};
    EXPECT_EQ(c.ports(), expected);
}

TEST_F(FakeDevTree, AtMostSixteenNumbers) {
    for (int i = 0; i < 20; ++i)
        std::ofstream(dir_ + "/ttyUSB" + std::to_string(i)).put('\0');
    PortCatalogue c = catalogue();
    c.rescan();
    EXPECT_EQ(c.ports().size(), 16u);
    EXPECT_EQ(c.pathOf(16), p("ttyUSB15"));
    EXPECT_EQ(c.detected().size(), 20u);
}

TEST_F(FakeDevTree, TheDriverTakesItsPortPathsFromTheCatalogue) {
    touch({"ttyS0", "ttyUSB0"});
    PortCatalogue c = catalogue();
    c.rescan();
    ManualTimeSource time;
    TCommPortDriver driver(nullptr, time.makeTimer(), time, c.lookup());
    EXPECT_EQ(driver.PortName(), p("ttyUSB0"));  // the default port 2
    driver.SetPort(pnCOM1);
    EXPECT_EQ(driver.PortName(), p("ttyS0"));
    driver.SetPort(pnCOM3);
    EXPECT_EQ(driver.PortName(), "");
}

TEST_F(FakeDevTree, RescanFollowsDevicesComingAndGoing) {
    touch({"ttyUSB0"});
    PortCatalogue c = catalogue();
    c.rescan();
    EXPECT_EQ(c.pathOf(1), p("ttyUSB0"));
    fs::remove(p("ttyUSB0"));
    touch({"ttyACM3"});
    c.rescan();
    EXPECT_EQ(c.pathOf(1), p("ttyACM3"));
    EXPECT_EQ(c.pathOf(2), "");
}

TEST(PortCatalogue, AMissingFolderGivesNoPortsAndNoError) {
    PortCatalogue::Options options;
    options.device_dir = "/tmp/hx350-no-such-folder";
    PortCatalogue c(options);
    c.rescan();
    EXPECT_TRUE(c.ports().empty());
    EXPECT_EQ(c.pathOf(1), "");
}

TEST(PortCatalogue, ADeviceThatCannotBeAskedIsNoPhantom) {
    EXPECT_FALSE(PortCatalogue::isPhantomSerialPort("/tmp/hx350-no-such-device"));
}

}  // namespace
}  // namespace hx350
