// Line settings as the terminal really holds them after Connect and after a change while open, read back
// from the pseudo-terminal; restoring the original settings on close; open failures and their reasons.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ostream>
#include <string>

#include "base/clock.h"
#include "serial/comm_port_driver.h"
#include "serial/line_state.h"
#include "serial/posix_serial_device.h"
#include "serial/termios_settings.h"
#include "support/pty_pair.h"

namespace hx350 {
namespace {

using test::PtyPair;

termios settingsOf(int fd) {
    termios t{};
    EXPECT_EQ(tcgetattr(fd, &t), 0);
    return t;
}

struct LineRow {
    const char* name;
    TBaudRate rate;
    std::uint32_t rate_value;  // used with brCustom
    TDataBits data_bits;
    TParity parity;
    TStopBits stop_bits;
    THwFlowControl hw;
    TSwFlowControl sw;
    // expected
    std::uint32_t bit_rate;
    tcflag_t size_flag;
    tcflag_t parity_flags;  // within PARENB|PARODD|CMSPAR
    bool two_stop;
    bool rts_cts;
    bool xon_xoff;
};

void PrintTo(const LineRow& r, std::ostream* os) {
    *os << r.name;
}

const LineRow kLineRows[] = {LineRow{"Defaults", br9600, 0, db8BITS, ptNONE, sb1BITS, hfNONERTSON, sfNONE,
                                     9600, CS8, 0, false, false, false},
                             LineRow{"SevenEvenTwo", br19200, 0, db7BITS, ptEVEN, sb2BITS, hfNONE, sfNONE,
                                     19200, CS7, PARENB, true, false, false},
                             LineRow{"SixOdd", br1200, 0, db6BITS, ptODD, sb1BITS, hfNONE, sfNONE, 1200, CS6,
                                     PARENB | PARODD, false, false, false},
                             LineRow{"FiveMark", br110, 0, db5BITS, ptMARK, sb1BITS, hfNONE, sfNONE, 110, CS5,
                                     PARENB | PARODD | CMSPAR, false, false, false},
                             LineRow{"EightSpace", br57600, 0, db8BITS, ptSPACE, sb1BITS, hfNONE, sfNONE,
                                     57600, CS8, PARENB | CMSPAR, false, false, false},
                             LineRow{"RtsCts", br115200, 0, db8BITS, ptNONE, sb1BITS, hfRTSCTS, sfNONE,
                                     115200, CS8, 0, false, true, false},
                             LineRow{"XonXoff", br38400, 0, db8BITS, ptNONE, sb1BITS, hfNONERTSON, sfXONXOFF,
                                     38400, CS8, 0, false, false, true},
                             LineRow{"Rate14400", br14400, 0, db8BITS, ptNONE, sb1BITS, hfNONE, sfNONE, 14400,
                                     CS8, 0, false, false, false},
                             LineRow{"Rate56000", br56000, 0, db8BITS, ptNONE, sb1BITS, hfNONE, sfNONE, 56000,
                                     CS8, 0, false, false, false},
                             LineRow{"Rate128000", br128000, 0, db8BITS, ptNONE, sb1BITS, hfNONE, sfNONE,
                                     128000, CS8, 0, false, false, false},
                             LineRow{"Rate256000", br256000, 0, db8BITS, ptEVEN, sb2BITS, hfRTSCTS, sfXONXOFF,
                                     256000, CS8, PARENB, true, true, true},
                             LineRow{"CustomMidi", brCustom, 31250, db8BITS, ptNONE, sb1BITS, hfNONE, sfNONE,
                                     31250, CS8, 0, false, false, false}};

class LineSettingsOnPty : public ::testing::TestWithParam<LineRow> {};

TEST_P(LineSettingsOnPty, TheTerminalHoldsExactlyTheSettingsAsked) {
    const LineRow& row = GetParam();
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    ManualTimeSource time;
    TCommPortDriver driver(nullptr, time.makeTimer(), time);
    driver.SetPortName(pty.secondaryPath());
    if (row.rate == brCustom)
        driver.SetBaudRateValue(row.rate_value);
    else
        driver.SetBaudRate(row.rate);
    driver.SetDataBits(row.data_bits);
    driver.SetParity(row.parity);
    driver.SetStopBits(row.stop_bits);
    driver.SetHwFlow(row.hw);
    driver.SetSwFlow(row.sw);
    ASSERT_TRUE(driver.Connect()) << driver.LastError().operation << " errno "
                                  << driver.LastError().sys_errno;

    const termios t = settingsOf(pty.secondaryFd());
    EXPECT_EQ(kernelBitRate(pty.secondaryFd()), row.bit_rate);
    // A pseudo-terminal forces CS8 and clears PARENB whatever it is given (it has no line to frame);
    // the byte size and parity enable are checked on the record itself in TermiosRecord below.
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_cflag & (PARODD | CMSPAR), row.parity_flags & (PARODD | CMSPAR));
    EXPECT_EQ((t.c_cflag & CSTOPB) != 0, row.two_stop);
    EXPECT_EQ((t.c_cflag & CRTSCTS) != 0, row.rts_cts);
    EXPECT_EQ((t.c_iflag & IXON) != 0, row.xon_xoff);
    EXPECT_EQ((t.c_iflag & IXOFF) != 0, row.xon_xoff);
    EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(t.c_cflag & HUPCL, 0u);
    // Raw and binary: nothing translated, stripped, checked, echoed or interpreted.
    EXPECT_EQ(t.c_iflag & (INPCK | ISTRIP | ICRNL | INLCR | IGNCR | IGNPAR | PARMRK | IXANY | BRKINT), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ECHOE | ECHONL | ISIG | IEXTEN), 0u);
    EXPECT_EQ(t.c_cc[VMIN], 0);
    EXPECT_EQ(t.c_cc[VTIME], 0);
    EXPECT_EQ(t.c_cc[VSTART], 0x11);
    EXPECT_EQ(t.c_cc[VSTOP], 0x13);
}

INSTANTIATE_TEST_SUITE_P(Rows, LineSettingsOnPty, ::testing::ValuesIn(kLineRows),
                         [](const ::testing::TestParamInfo<LineRow>& row) {
                             return std::string(row.param.name);
                         });

// Records the settings the driver hands to its device; opens whatever it is asked to.
class RecordingDevice final : public SerialDevice {
  public:
    explicit RecordingDevice(SerialLineSettings& last) : last_(last) {}
    SerialError open(const std::string&) override {
        open_ = true;
        return {};
    }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    bool applyLineSettings(const SerialLineSettings& settings) override {
        last_ = settings;
        return true;
    }
    bool purge(bool, bool) override { return true; }
    bool setQueueSizes(std::uint32_t, std::uint32_t) override { return true; }
    std::optional<SerialQueueCounts> queueCounts() override { return SerialQueueCounts{}; }
    SerialIoResult read(std::uint8_t*, std::size_t) override { return {}; }
    SerialIoResult write(const std::uint8_t*, std::size_t) override { return {}; }
    bool waitWritable(std::uint32_t) override { return false; }
    std::optional<ModemLineSet> modemLines() override { return std::nullopt; }
    bool hungUp() const override { return false; }
    const SerialError& lastError() const override { return error_; }

  private:
    SerialLineSettings& last_;
    bool open_ = false;
    SerialError error_;
};

class TermiosRecord : public ::testing::TestWithParam<LineRow> {};

TEST_P(TermiosRecord, HoldsEveryFlagTheSettingsAskFor) {
    const LineRow& row = GetParam();
    SerialLineSettings given;
    ManualTimeSource time;
    TCommPortDriver driver(std::make_unique<RecordingDevice>(given), time.makeTimer(), time);
    driver.SetInBufSize(1000);
    if (row.rate == brCustom)
        driver.SetBaudRateValue(row.rate_value);
    else
        driver.SetBaudRate(row.rate);
    driver.SetDataBits(row.data_bits);
    driver.SetParity(row.parity);
    driver.SetStopBits(row.stop_bits);
    driver.SetHwFlow(row.hw);
    driver.SetSwFlow(row.sw);
    ASSERT_TRUE(driver.Connect());
    EXPECT_EQ(given.baud_rate, row.bit_rate);
    EXPECT_EQ(given.xon_char, 0x11);
    EXPECT_EQ(given.xoff_char, 0x13);
    EXPECT_EQ(given.xon_limit, 250u);
    EXPECT_EQ(given.xoff_limit, 250u);

    const auto plan = termiosFor(given);
    ASSERT_TRUE(plan);
    const termios& t = plan->settings;
    EXPECT_EQ(plan->custom_rate, !speedConstantOf(row.bit_rate).has_value());
    EXPECT_EQ(t.c_cflag & CSIZE, row.size_flag);
    EXPECT_EQ(t.c_cflag & (PARENB | PARODD | CMSPAR), row.parity_flags);
    EXPECT_EQ((t.c_cflag & CSTOPB) != 0, row.two_stop);
    EXPECT_EQ((t.c_cflag & CRTSCTS) != 0, row.rts_cts);
    EXPECT_EQ(t.c_iflag, row.xon_xoff ? static_cast<tcflag_t>(IXON | IXOFF) : 0u);
    EXPECT_EQ(t.c_oflag, 0u);
    EXPECT_EQ(t.c_lflag, 0u);
    EXPECT_EQ(t.c_cflag & ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | CBAUD),
              static_cast<tcflag_t>(CLOCAL | CREAD));
}

INSTANTIATE_TEST_SUITE_P(Rows, TermiosRecord, ::testing::ValuesIn(kLineRows),
                         [](const ::testing::TestParamInfo<LineRow>& row) {
                             return std::string(row.param.name);
                         });

struct ModemControlRow {
    bool dtr_on_open;
    THwFlowControl hw;
    bool dtr;
    bool rts;
};
void PrintTo(const ModemControlRow& r, std::ostream* os) {
    *os << "dtr-on-open " << r.dtr_on_open << " flow " << int{r.hw};
}
class ModemControl : public ::testing::TestWithParam<ModemControlRow> {};
TEST_P(ModemControl, DtrFollowsTheOpenChoiceAndRtsTheFlowControl) {
    SerialLineSettings given;
    ManualTimeSource time;
    TCommPortDriver driver(std::make_unique<RecordingDevice>(given), time.makeTimer(), time);
    driver.SetEnableDTROnOpen(GetParam().dtr_on_open);
    driver.SetHwFlow(GetParam().hw);
    ASSERT_TRUE(driver.Connect());
    EXPECT_EQ(given.dtr_on, GetParam().dtr);
    EXPECT_EQ(given.rts_on || given.rts_cts, GetParam().rts);
    EXPECT_EQ(given.rts_cts, GetParam().hw == hfRTSCTS);
}
INSTANTIATE_TEST_SUITE_P(Rows, ModemControl,
                         ::testing::Values(ModemControlRow{true, hfNONE, true, false},
                                           ModemControlRow{false, hfNONE, false, false},
                                           ModemControlRow{true, hfNONERTSON, true, true},
                                           ModemControlRow{false, hfRTSCTS, false, true}));

TEST(TermiosRecord, RefusesWhatTermiosCannotExpress) {
    SerialLineSettings s;
    s.stop_bits = SerialLineSettings::StopBits::OneAndHalf;
    EXPECT_FALSE(termiosFor(s));
    s = {};
    s.baud_rate = 0;
    EXPECT_FALSE(termiosFor(s));
    s = {};
    s.data_bits = 9;
    EXPECT_FALSE(termiosFor(s));
    s = {};
    EXPECT_TRUE(termiosFor(s));
}

class OpenPty : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(pty_.ok());
        driver_.SetPortName(pty_.secondaryPath());
    }
    PtyPair pty_;
    ManualTimeSource time_;
    ManualTimer& timer_ = time_.makeTimer();
    TCommPortDriver driver_{nullptr, timer_, time_};
};

TEST_F(OpenPty, ChangesWhileOpenAreAppliedAtOnce) {
    ASSERT_TRUE(driver_.Connect());
    driver_.SetBaudRate(br115200);
    EXPECT_EQ(kernelBitRate(pty_.secondaryFd()), 115200u);
    driver_.SetBaudRateValue(250000);
    EXPECT_EQ(kernelBitRate(pty_.secondaryFd()), 250000u);
    driver_.SetBaudRate(br2400);  // back from a rate without a B-constant to one with
    EXPECT_EQ(kernelBitRate(pty_.secondaryFd()), 2400u);
    driver_.SetParity(ptMARK);  // the pseudo-terminal keeps PARODD and CMSPAR (not PARENB, not CSIZE)
    EXPECT_EQ(settingsOf(pty_.secondaryFd()).c_cflag & (PARODD | CMSPAR),
              static_cast<tcflag_t>(PARODD | CMSPAR));
    driver_.SetStopBits(sb2BITS);
    EXPECT_NE(settingsOf(pty_.secondaryFd()).c_cflag & CSTOPB, 0u);
    driver_.SetHwFlow(hfRTSCTS);
    EXPECT_NE(settingsOf(pty_.secondaryFd()).c_cflag & CRTSCTS, 0u);
    driver_.SetSwFlow(sfXONXOFF);
    EXPECT_NE(settingsOf(pty_.secondaryFd()).c_iflag & IXON, 0u);
}

TEST_F(OpenPty, OneAndAHalfStopBitsAreRefused) {
    driver_.SetStopBits(sb1HALFBITS);
    EXPECT_FALSE(driver_.Connect());
    EXPECT_FALSE(driver_.IsConnected());
    EXPECT_FALSE(timer_.isActive());
    EXPECT_EQ(driver_.LastError().kind, SerialErrorKind::Other);
    EXPECT_EQ(driver_.LastError().sys_errno, EINVAL);

    driver_.SetStopBits(sb1BITS);
    ASSERT_TRUE(driver_.Connect());
    driver_.SetStopBits(sb1HALFBITS);  // while open: refused, the port stays open with what it had
    EXPECT_FALSE(driver_.ApplyLineSettings());
    EXPECT_TRUE(driver_.IsConnected());
    EXPECT_EQ(settingsOf(pty_.secondaryFd()).c_cflag & CSTOPB, 0u);
}

TEST_F(OpenPty, RateZeroIsRefusedRatherThanHangingUpTheLine) {
    driver_.SetBaudRateValue(0);
    EXPECT_FALSE(driver_.Connect());
    EXPECT_EQ(driver_.LastError().sys_errno, EINVAL);
}

TEST_F(OpenPty, DtrLowOnADeviceWithoutModemLinesIsNoFailure) {
    driver_.SetEnableDTROnOpen(false);
    driver_.SetHwFlow(hfNONE);
    EXPECT_TRUE(driver_.Connect());
}

TEST_F(OpenPty, CloseRestoresTheSettingsFoundAtOpen) {
    termios before = settingsOf(pty_.secondaryFd());
    before.c_lflag |= ICANON | ECHO | ISIG;
    before.c_iflag |= ICRNL | IXANY;
    before.c_oflag |= OPOST | ONLCR;
    before.c_cflag = (before.c_cflag & ~CSIZE) | CS7 | PARENB | HUPCL;
    cfsetispeed(&before, B1200);
    cfsetospeed(&before, B1200);
    ASSERT_EQ(tcsetattr(pty_.secondaryFd(), TCSANOW, &before), 0);
    before = settingsOf(pty_.secondaryFd());

    driver_.SetBaudRate(br128000);
    ASSERT_TRUE(driver_.Connect());
    EXPECT_EQ(settingsOf(pty_.secondaryFd()).c_lflag & ICANON, 0u);
    driver_.Disconnect();

    const termios after = settingsOf(pty_.secondaryFd());
    EXPECT_EQ(after.c_iflag, before.c_iflag);
    EXPECT_EQ(after.c_oflag, before.c_oflag);
    EXPECT_EQ(after.c_cflag, before.c_cflag);
    EXPECT_EQ(after.c_lflag, before.c_lflag);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(after.c_cc), NCCS),
              std::string(reinterpret_cast<const char*>(before.c_cc), NCCS));
    EXPECT_EQ(kernelBitRate(pty_.secondaryFd()), 1200u);
}

TEST_F(OpenPty, TheDriverIsTheOnlyHolderEvenForTheSuperUser) {
    ASSERT_TRUE(driver_.Connect());
    PosixSerialDevice other;
    const SerialError e = other.open(pty_.secondaryPath());
    EXPECT_EQ(e.kind, SerialErrorKind::Busy);
    // The super-user passes the terminal's exclusive mode and meets the lock; anyone else meets the
    // exclusive mode already at open.
    EXPECT_TRUE(e.sys_errno == EWOULDBLOCK || e.sys_errno == EBUSY) << e.sys_errno;
    EXPECT_FALSE(other.isOpen());
}

struct TempFile {
    TempFile() {
        char name[] = "/tmp/hx350-serial-XXXXXX";
        const int fd = mkstemp(name);
        if (fd >= 0) ::close(fd);
        path = name;
    }
    ~TempFile() { std::remove(path.c_str()); }
    std::string path;
};

TEST(OpenFailures, EachReasonIsKeptWithItsErrnoAndPath) {
    ManualTimeSource time;
    ManualTimer& timer = time.makeTimer();
    TCommPortDriver driver(nullptr, timer, time);

    driver.SetPortName("/dev/hx350-no-such-port");
    EXPECT_FALSE(driver.Connect());
    EXPECT_EQ(driver.LastError().kind, SerialErrorKind::MissingDevice);
    EXPECT_EQ(driver.LastError().sys_errno, ENOENT);
    EXPECT_EQ(driver.LastError().path, "/dev/hx350-no-such-port");
    EXPECT_EQ(driver.LastError().operation, "open");

    TempFile file;  // a plain file is no terminal
    driver.SetPortName(file.path);
    EXPECT_FALSE(driver.Connect());
    EXPECT_EQ(driver.LastError().kind, SerialErrorKind::Other);
    EXPECT_EQ(driver.LastError().sys_errno, ENOTTY);
    EXPECT_FALSE(driver.IsConnected());
    EXPECT_FALSE(timer.isActive());

    driver.SetPortName("");
    EXPECT_FALSE(driver.Connect());
    EXPECT_EQ(driver.LastError().kind, SerialErrorKind::MissingDevice);
}

struct ErrnoRow {
    int sys_errno;
    SerialErrorKind kind;
};
void PrintTo(const ErrnoRow& r, std::ostream* os) {
    *os << "errno " << r.sys_errno;
}
class ErrnoMapping : public ::testing::TestWithParam<ErrnoRow> {};
TEST_P(ErrnoMapping, MapsToTheCategoryAUserCanActOn) {
    EXPECT_EQ(serialErrorKindOf(GetParam().sys_errno), GetParam().kind);
}
INSTANTIATE_TEST_SUITE_P(
    Rows, ErrnoMapping,
    ::testing::Values(ErrnoRow{0, SerialErrorKind::None}, ErrnoRow{ENOENT, SerialErrorKind::MissingDevice},
                      ErrnoRow{ENODEV, SerialErrorKind::MissingDevice},
                      ErrnoRow{ENXIO, SerialErrorKind::MissingDevice},
                      ErrnoRow{EACCES, SerialErrorKind::PermissionDenied},
                      ErrnoRow{EPERM, SerialErrorKind::PermissionDenied},
                      ErrnoRow{EBUSY, SerialErrorKind::Busy}, ErrnoRow{EWOULDBLOCK, SerialErrorKind::Busy},
                      ErrnoRow{EIO, SerialErrorKind::Other}, ErrnoRow{ENOTTY, SerialErrorKind::Other},
                      ErrnoRow{EISDIR, SerialErrorKind::Other}));

// A device that opens but refuses every setting: Connect must close it again and pass the reason on.
class RefusingDevice final : public SerialDevice {
  public:
    explicit RefusingDevice(bool& closed) : closed_(closed) {}
    SerialError open(const std::string& path) override {
        open_ = true;
        error_.path = path;
        return {};
    }
    void close() override {
        open_ = false;
        closed_ = true;
    }
    bool isOpen() const override { return open_; }
    bool applyLineSettings(const SerialLineSettings&) override {
        error_.kind = SerialErrorKind::Other;
        error_.sys_errno = EIO;
        error_.operation = "line settings";
        return false;
    }
    bool purge(bool, bool) override { return true; }
    bool setQueueSizes(std::uint32_t, std::uint32_t) override { return true; }
    std::optional<SerialQueueCounts> queueCounts() override { return SerialQueueCounts{}; }
    SerialIoResult read(std::uint8_t*, std::size_t) override { return {}; }
    SerialIoResult write(const std::uint8_t*, std::size_t) override { return {}; }
    bool waitWritable(std::uint32_t) override { return false; }
    std::optional<ModemLineSet> modemLines() override { return std::nullopt; }
    bool hungUp() const override { return false; }
    const SerialError& lastError() const override { return error_; }

  private:
    bool& closed_;
    bool open_ = false;
    SerialError error_;
};

TEST(ConnectFailure, RefusedSettingsCloseThePortAgainAndKeepTheReason) {
    bool closed = false;
    ManualTimeSource time;
    ManualTimer& timer = time.makeTimer();
    TCommPortDriver driver(std::make_unique<RefusingDevice>(closed), timer, time);
    driver.SetPortName("/dev/ttyS9");
    EXPECT_FALSE(driver.Connect());
    EXPECT_TRUE(closed);
    EXPECT_FALSE(driver.IsConnected());
    EXPECT_FALSE(timer.isActive());
    EXPECT_EQ(driver.LastError().sys_errno, EIO);
    EXPECT_EQ(driver.LastError().path, "/dev/ttyS9");
    EXPECT_EQ(driver.LastError().operation, "line settings");
}

}  // namespace
}  // namespace hx350
