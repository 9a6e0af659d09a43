// Explanations of failed opens and lost devices: missing, not permitted, held by another process (real
// ones on pseudo-terminals, and a fake /proc with ModemManager), and a device that hangs up while open.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "host/fake_system_tree.h"
#include "host/port_diagnosis.h"
#include "serial/posix_serial_device.h"
#include "support/pty_pair.h"

namespace hx350 {
namespace {

namespace fs = std::filesystem;
using test::FakeUsb;
using ::testing::HasSubstr;

const FakeUsb kFtdi{"1-2", "0403", "6001", "FTDI", "FT232R USB UART", "A50285BI"};
const FakeUsb kOtherFtdi{"1-6", "0403", "6001", "FTDI", "FT232R USB UART", "Z9"};
const FakeUsb kModem{"1-3", "1546", "01a7", "u-blox AG", "u-blox 7", ""};

// ---- Child processes: the forked child does only plain system calls and leaves with _exit. ----

// Reads one line the child sends through `fd`, waiting at most `deadline_ms`.
std::string readLine(int fd, int deadline_ms = 5000) {
    std::string line;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(deadline_ms);
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0) return line;
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left.count())) <= 0) return line;
        char c = 0;
        if (read(fd, &c, 1) != 1 || c == '\n') return line;
        line.push_back(c);
    }
}

void writeAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n <= 0) return;
        done += static_cast<std::size_t>(n);
    }
}

// Waits for the child to end, killing it when it does not within the deadline. Result: its exit status.
int reap(pid_t child, int deadline_ms = 5000) {
    int status = 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(deadline_ms);
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() >= end) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return -1;
        }
        usleep(1000);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string groupName(gid_t gid) {
    const group* g = getgrgid(gid);
    return g != nullptr ? std::string(g->gr_name) : std::to_string(gid);
}

// The group technicians' serial devices belong to on this machine, or a spare number.
gid_t serialGroup() {
    for (const char* name : {"dialout", "uucp"})
        if (const group* g = getgrnam(name)) return g->gr_gid;
    return 4242;
}

class PortDiagnosisTest : public test::FakeSystemTree {
  protected:
    DiagnosisContext context() const {
        DiagnosisContext c;
        c.roots = roots_;
        return c;
    }
};

// ---- Missing device ----

TEST_F(PortDiagnosisTest, MissingPathFromARealOpen) {
    PosixSerialDevice device;
    const SerialError error = device.open(dev("ttyUSB7"));
    ASSERT_EQ(error.kind, SerialErrorKind::MissingDevice);
    const PortDiagnosis d = diagnoseOpenFailure(error, context());
    EXPECT_EQ(d.reason, "no such device");
    EXPECT_EQ(
        statusBarText("Com3", d),
        "Com3: " + dev("ttyUSB7") +
            ": no such device - the device is not there: plug in the adapter, check its cable, or choose "
            "another port");
    EXPECT_TRUE(d.moved_to.empty());
}

TEST_F(PortDiagnosisTest, APortNumberWithoutDevice) {
    const PortDiagnosis d =
        diagnoseOpenFailure({SerialErrorKind::MissingDevice, ENOENT, "", "open"}, context());
    EXPECT_EQ(
        statusBarText("Com9", d),
        "Com9: no such device - no serial device has this number on this machine: plug in the adapter or "
        "choose another port");
}

TEST_F(PortDiagnosisTest, ANodeWithoutHardwareBehindIt) {
    const std::string path = uart("ttyS2", 0);
    const PortDiagnosis d =
        diagnoseOpenFailure({SerialErrorKind::MissingDevice, ENXIO, path, "open"}, context());
    EXPECT_THAT(d.explanation, HasSubstr("no hardware answers"));
}

// Where the adapter that was /dev/ttyUSB0 went, for the adapters present afterwards.
struct MovedRow {
    const char* name;
    FakeUsb before;
    std::vector<FakeUsb> after;  // plugged in as ttyUSB1, ttyUSB2 ... (numbers 4, 5 ...)
    std::string expected;        // "" or the new node's name
};

void PrintTo(const MovedRow& row, std::ostream* os) {
    *os << row.name;
}

class MovedAdapter : public test::FakeSystemTree, public ::testing::WithParamInterface<MovedRow> {};

TEST_P(MovedAdapter, IsFoundByIdentityNotByName) {
    const MovedRow& row = GetParam();
    const std::string old_path = usbSerial("ttyUSB0", row.before);
    DiagnosisContext c;
    c.roots = roots_;
    c.last_seen = describePort(old_path, roots_);
    // The adapter is pulled out: its node, by-id link and USB folder go.
    fs::remove(old_path);
    fs::remove_all(dev("serial/by-id"));
    fs::remove_all(roots_.sys + "/" + usbDeviceFolder(row.before));
    c.ports[1] = node("ttyS0");
    for (std::size_t i = 0; i < row.after.size(); ++i) {
        const std::string name = "ttyUSB" + std::to_string(i + 1);
        c.ports[static_cast<int>(i) + 4] = usbSerial(name, row.after[i]);
    }

    const PortDiagnosis d =
        diagnoseOpenFailure({SerialErrorKind::MissingDevice, ENOENT, old_path, "open"}, c);
    if (row.expected.empty()) {
        EXPECT_EQ(d.moved_to, "");
        EXPECT_THAT(d.explanation, HasSubstr("not there"));
        return;
    }
    EXPECT_EQ(d.moved_to, dev(row.expected));
    const int number = row.expected == "ttyUSB1" ? 4 : 5;
    EXPECT_EQ(d.moved_to_number, number);
    EXPECT_EQ(d.explanation, "the adapter is now " + dev(row.expected) + " (Com" + std::to_string(number) +
                                 "): choose Com" + std::to_string(number));
}

const FakeUsb kNoSerialA{"1-2", "067b", "2303", "Prolific", "PL2303", ""};
const FakeUsb kNoSerialB{"1-6", "067b", "2303", "Prolific", "PL2303", ""};
const FakeUsb kCh340{"1-8", "1a86", "7523", "QinHeng", "CH340", ""};

INSTANTIATE_TEST_SUITE_P(
    Rows, MovedAdapter,
    ::testing::Values(
        MovedRow{"SameSerialNumberElsewhere",
                 kFtdi,
                 {{"1-5", "0403", "6001", "FTDI", "FT232R USB UART", "A50285BI"}},
                 "ttyUSB1"},
        MovedRow{"SameSerialAmongOthersOfItsModel",
                 kFtdi,
                 {kOtherFtdi, {"1-5", "0403", "6001", "FTDI", "FT232R USB UART", "A50285BI"}},
                 "ttyUSB2"},
        MovedRow{"OnlyAnotherAdapterOfTheModel", kFtdi, {kOtherFtdi}, ""},
        MovedRow{"NoSerialNumberButTheOnlyOneOfItsModel", kNoSerialA, {kCh340, kNoSerialB}, "ttyUSB2"},
        MovedRow{"NoSerialNumberAndTwoOfItsModel",
                 kNoSerialA,
                 {kNoSerialB, {"1-7", "067b", "2303", "Prolific", "PL2303", ""}},
                 ""},
        MovedRow{"OtherMakerOnly", kFtdi, {kCh340}, ""}),
    [](const auto& row_info) { return std::string(row_info.param.name); });

TEST_F(PortDiagnosisTest, MovedAdapterIsFoundInTheDeviceFolderWhenNoNumberingIsGiven) {
    const std::string old_path = usbSerial("ttyUSB0", kFtdi);
    DiagnosisContext c = context();
    c.last_seen = describePort(old_path, roots_);
    fs::remove(old_path);
    usbSerial("ttyUSB1", {"1-5", "0403", "6001", "FTDI", "FT232R USB UART", "A50285BI"});
    const PortDiagnosis d =
        diagnoseOpenFailure({SerialErrorKind::MissingDevice, ENOENT, old_path, "open"}, c);
    EXPECT_EQ(d.moved_to, dev("ttyUSB1"));
    EXPECT_EQ(d.moved_to_number, 0);
    EXPECT_EQ(d.explanation, "the adapter is now " + dev("ttyUSB1"));
}

// ---- Permission denied ----

TEST_F(PortDiagnosisTest, ADeviceTheUserMayNotOpen) {
    if (geteuid() != 0) {
        // Without root: a node of our own that nobody may open.
        const std::string path = node("ttyUSB0");
        ASSERT_EQ(chmod(path.c_str(), 0), 0);
        PosixSerialDevice device;
        const SerialError error = device.open(path);
        ASSERT_EQ(error.kind, SerialErrorKind::PermissionDenied);
        const PortDiagnosis d = diagnoseOpenFailure(error, context());
        EXPECT_EQ(d.reason, "permission denied");
        EXPECT_EQ(d.group, groupName(getegid()));
        EXPECT_THAT(d.explanation, HasSubstr("may use it"));
        return;
    }
    // As root: a real terminal owned by root and the serial group, opened by an unprivileged child.
    test::PtyPair pty;
    ASSERT_TRUE(pty.ok());
    const gid_t gid = serialGroup();
    ASSERT_EQ(chown(pty.secondaryPath().c_str(), 0, gid), 0);
    ASSERT_EQ(chmod(pty.secondaryPath().c_str(), 0660), 0);
    int channel[2];
    ASSERT_EQ(pipe(channel), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(channel[0]);
        if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
        PosixSerialDevice device;
        const SerialError error = device.open(pty.secondaryPath());
        const PortDiagnosis d = diagnoseOpenFailure(error, {});
        writeAll(channel[1],
                 std::to_string(static_cast<int>(error.kind)) + "\n" + statusBarText("Com2", d) + "\n");
        _exit(0);
    }
    close(channel[1]);
    const std::string kind = readLine(channel[0]);
    const std::string text = readLine(channel[0]);
    close(channel[0]);
    ASSERT_EQ(reap(child), 0);
    EXPECT_EQ(kind, std::to_string(static_cast<int>(SerialErrorKind::PermissionDenied)));
    const std::string group = groupName(gid);
    EXPECT_EQ(text, "Com2: " + pty.secondaryPath() + ": permission denied - it belongs to group \"" + group +
                        "\": add yourself with 'sudo usermod -aG " + group + " $USER' and log in again");
}

// The advice follows the node's group and mode (needs root to give a node away).
struct AccessRow {
    const char* name;
    bool serial_group;  // the serial group, else root's group
    mode_t mode;
    const char* expected_start;
};

void PrintTo(const AccessRow& row, std::ostream* os) {
    *os << row.name;
}

class PermissionAdvice : public test::FakeSystemTree, public ::testing::WithParamInterface<AccessRow> {};

TEST_P(PermissionAdvice, NamesTheGroupOrTheRuleNeeded) {
    if (geteuid() != 0) GTEST_SKIP() << "giving a node to another group needs root";
    const AccessRow& row = GetParam();
    const std::string path = node("ttyUSB0");
    const gid_t gid = row.serial_group ? serialGroup() : 0;
    ASSERT_EQ(chown(path.c_str(), 0, gid), 0);
    ASSERT_EQ(chmod(path.c_str(), row.mode), 0);
    const PortDiagnosis d =
        diagnoseOpenFailure({SerialErrorKind::PermissionDenied, EACCES, path, "open"}, {});
    EXPECT_EQ(d.group, groupName(gid));
    const std::string expected =
        std::string(row.expected_start) + (row.serial_group ? groupName(gid) : "root");
    EXPECT_EQ(d.explanation.substr(0, expected.size()), expected) << d.explanation;
}

INSTANTIATE_TEST_SUITE_P(Rows, PermissionAdvice,
                         ::testing::Values(AccessRow{"GroupMayUseIt", true, 0660, "it belongs to group \""},
                                           AccessRow{"OnlyTheOwner", true, 0600,
                                                     "only its owner root may use it, not the group \""},
                                           AccessRow{"RootGroup", false, 0660,
                                                     "it belongs to root and group \""}),
                         [](const auto& row_info) { return std::string(row_info.param.name); });

TEST(DeviceAccess, UnknownForAMissingNode) {
    EXPECT_FALSE(deviceAccess("/tmp/hx350-no-such-node").known);
    const PortDiagnosis d = diagnoseOpenFailure(
        {SerialErrorKind::PermissionDenied, EACCES, "/tmp/hx350-no-such-node", "open"}, {});
    EXPECT_EQ(d.explanation, "you may not open it: ask the administrator for access");
}

TEST(DeviceAccess, OurOwnFileIsOurs) {
    char name[] = "/tmp/hx350-access-XXXXXX";
    const int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    close(fd);
    const DeviceAccess access = deviceAccess(name);
    unlink(name);
    EXPECT_TRUE(access.known);
    EXPECT_EQ(access.owner_uid, geteuid());
    EXPECT_EQ(access.group_gid, getegid());
    EXPECT_TRUE(access.session_has_group);
}

// ---- In use ----

TEST_F(PortDiagnosisTest, ADeviceHeldByAnotherProcessIsNamed) {
    test::PtyPair pty;
    ASSERT_TRUE(pty.ok());
    int ready[2];
    int release[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(release), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(ready[0]);
        close(release[1]);
        prctl(PR_SET_NAME, "hx350-holder");
        PosixSerialDevice device;
        const bool opened = device.open(pty.secondaryPath()).ok();
        writeAll(ready[1], opened ? "1\n" : "0\n");
        readLine(release[0], 5000);  // hold the port until the parent is done
        _exit(0);
    }
    close(ready[1]);
    close(release[0]);
    const std::string opened = readLine(ready[0]);
    close(ready[0]);

    PosixSerialDevice device;
    const SerialError error = device.open(pty.secondaryPath());
    // A link to the device (as a by-id name is) finds the same holders.
    const std::string link_path = root_ + "/link-to-pty";
    fs::create_symlink(pty.secondaryPath(), link_path);
    const std::vector<PortHolder> through_link = findPortHolders(link_path);
    const PortDiagnosis d = diagnoseOpenFailure(error, {});  // the real /proc
    close(release[1]);
    ASSERT_EQ(reap(child), 0);

    ASSERT_EQ(opened, "1");
    EXPECT_EQ(error.kind, SerialErrorKind::Busy);
    EXPECT_EQ(d.reason, "in use");
    const PortHolder holder{child, "hx350-holder"};
    EXPECT_NE(std::find(d.holders.begin(), d.holders.end(), holder), d.holders.end());
    EXPECT_NE(std::find(through_link.begin(), through_link.end(), holder), through_link.end());
    // The test's own pair keeps the secondary open too: it is listed, by increasing pid, each once.
    EXPECT_NE(std::find_if(d.holders.begin(), d.holders.end(),
                           [](const PortHolder& h) { return h.pid == getpid(); }),
              d.holders.end());
    for (std::size_t i = 1; i < d.holders.size(); ++i)
        EXPECT_LT(d.holders[i - 1].pid, d.holders[i].pid);
    EXPECT_THAT(d.explanation, HasSubstr("hx350-holder (pid " + std::to_string(child) + ")"));
    EXPECT_THAT(d.explanation, HasSubstr(": close that program first"));
    EXPECT_FALSE(d.modem_manager);
}

TEST_F(PortDiagnosisTest, ModemManagerHoldingTheModemGetsTheUdevAdvice) {
    const std::string modem = acm("ttyACM0", kModem);
    process(1, "systemd", {"/dev/null"});
    process(812, "ModemManager", {"/dev/null", modem});
    process(900, "bash", {"/dev/pts/0"});
    write(roots_.proc + "/self/comm", "ModemManager\n");         // not a pid: ignored
    std::filesystem::create_directories(roots_.proc + "/1000");  // a process without readable descriptors

    const PortDiagnosis d = diagnoseOpenFailure({SerialErrorKind::Busy, EBUSY, modem, "open"}, context());
    EXPECT_TRUE(d.modem_manager);
    EXPECT_EQ(d.holders, (std::vector<PortHolder>{{812, "ModemManager"}}));
    EXPECT_EQ(statusBarText("Com1", d),
              "Com1: " + modem +
                  ": in use - held by ModemManager (pid 812), which probes serial devices "
                  "for modems: a udev rule setting ID_MM_DEVICE_IGNORE for this adapter "
                  "frees it");
    EXPECT_EQ(d.udev_rule,
              "SUBSYSTEM==\"tty\", ATTRS{idVendor}==\"1546\", ATTRS{idProduct}==\"01a7\", "
              "ENV{ID_MM_DEVICE_IGNORE}=\"1\"");
}

TEST_F(PortDiagnosisTest, ModemManagerRunningButUnseenIsStillNamed) {
    // ModemManager runs as root: an ordinary user can read its name but not its descriptors.
    const std::string path = uart("ttyS0", 4);
    process(812, "ModemManager", {});
    const PortDiagnosis d =
        diagnoseOpenFailure({SerialErrorKind::Busy, EWOULDBLOCK, path, "lock"}, context());
    EXPECT_TRUE(d.modem_manager);
    EXPECT_TRUE(d.holders.empty());
    EXPECT_THAT(d.explanation, HasSubstr("ModemManager is running and may be probing it"));
    EXPECT_EQ(d.udev_rule, "SUBSYSTEM==\"tty\", KERNEL==\"ttyS0\", ENV{ID_MM_DEVICE_IGNORE}=\"1\"");
}

TEST_F(PortDiagnosisTest, OtherHoldersAndUnnamedOnes) {
    const std::string path = usbSerial("ttyUSB0", kFtdi);
    process(4242, "minicom", {path});
    process(4300, "screen", {"/dev/tty1", path});
    process(4400, "ModemManagerX", {});  // a name that only starts alike is not it
    PortDiagnosis d = diagnoseOpenFailure({SerialErrorKind::Busy, EBUSY, path, "open"}, context());
    EXPECT_EQ(d.explanation, "held by minicom (pid 4242), screen (pid 4300): close that program first");
    EXPECT_FALSE(d.modem_manager);

    fs::remove_all(roots_.proc + "/4242");
    fs::remove_all(roots_.proc + "/4300");
    d = diagnoseOpenFailure({SerialErrorKind::Busy, EBUSY, path, "open"}, context());
    EXPECT_EQ(d.explanation,
              "another program holds it (one that cannot be named, perhaps another user's): close it first");
}

TEST(FindPortHolders, NothingForAPathThatLeadsNowhereOrAMissingProc) {
    EXPECT_TRUE(findPortHolders("/tmp/hx350-no-such-node").empty());
    EXPECT_TRUE(findPortHolders("/dev/null", "/tmp/hx350-no-such-proc").empty());
    EXPECT_TRUE(findProcessesNamed("ModemManager", "/tmp/hx350-no-such-proc").empty());
}

// ---- Other failures and the device that goes away ----

TEST(PortDiagnosis, OtherFailureGivesTheStepAndTheSystemText) {
    const PortDiagnosis d =
        diagnoseOpenFailure({SerialErrorKind::Other, EIO, "/dev/ttyUSB0", "line settings"}, {});
    EXPECT_EQ(statusBarText("Com1", d), "Com1: /dev/ttyUSB0: not open - line settings: Input/output error");
    const PortDiagnosis none = diagnoseOpenFailure({}, {});
    EXPECT_EQ(none.reason, "");
    EXPECT_EQ(none.explanation, "");
}

TEST(PortDiagnosis, ATerminalWhosePrimaryClosedIsGoneLikeAPulledAdapter) {
    test::PtyPair pty;
    ASSERT_TRUE(pty.ok());
    PosixSerialDevice device;
    ASSERT_TRUE(device.open(pty.secondaryPath()).ok());
    EXPECT_FALSE(device.hungUp());
    pty.closePrimary();
    ASSERT_TRUE(test::waitUntil([&] { return device.hungUp(); }, test::Millis(2000)));
    // The kernel removes the secondary's node with the primary, as it removes a pulled adapter's node.
    const PortDiagnosis d = diagnoseDisconnect(pty.secondaryPath());
    EXPECT_TRUE(d.disconnected);
    EXPECT_EQ(d.kind, SerialErrorKind::MissingDevice);
    EXPECT_EQ(statusBarText("Com2", d),
              "Com2: " + pty.secondaryPath() +
                  ": disconnected - the device went away (adapter unplugged?) and the port "
                  "was closed: plug it in again and choose the port again");
}

TEST_F(PortDiagnosisTest, ADeviceThatHungUpButIsStillThere) {
    const PortDiagnosis d = diagnoseDisconnect(uart("ttyS0", 4), context());
    EXPECT_EQ(d.kind, SerialErrorKind::Other);
    EXPECT_EQ(d.reason, "disconnected");
    EXPECT_EQ(
        d.explanation,
        "the device hung up and the port was closed: check the cable and the device, then choose the port "
        "again");
}

TEST_F(PortDiagnosisTest, AnAdapterPulledWhileOpenAndPluggedInElsewhere) {
    const std::string old_path = usbSerial("ttyUSB0", kFtdi);
    DiagnosisContext c = context();
    c.last_seen = describePort(old_path, roots_);
    fs::remove(old_path);
    PortDiagnosis d = diagnoseDisconnect(old_path, c);
    EXPECT_EQ(d.kind, SerialErrorKind::MissingDevice);
    EXPECT_EQ(d.reason, "disconnected");
    EXPECT_EQ(
        d.explanation,
        "the device went away (adapter unplugged?) and the port was closed: plug it in again and choose the "
        "port again");

    c.ports[2] = usbSerial("ttyUSB1", {"1-5", "0403", "6001", "FTDI", "FT232R USB UART", "A50285BI"});
    d = diagnoseDisconnect(old_path, c);
    EXPECT_EQ(d.explanation,
              "the device went away (adapter unplugged?) and the port was closed: the adapter is now " +
                  dev("ttyUSB1") + " (Com2): choose Com2");
}

TEST(StatusBarText, LeavesOutEmptyParts) {
    PortDiagnosis d;
    d.reason = "in use";
    EXPECT_EQ(statusBarText("Com1", d), "Com1: in use");
    d.path = "/dev/ttyS0";
    EXPECT_EQ(statusBarText("", d), "/dev/ttyS0: in use");
}

}  // namespace
}  // namespace hx350
