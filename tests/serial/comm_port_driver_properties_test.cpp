// Property rules of TCommPortDriver that need no open port: defaults, clamping, the coupling between
// related properties, and what the operations do on a closed port.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "base/clock.h"
#include "serial/comm_port_driver.h"

namespace hx350 {
namespace {

std::string fakePath(int number) {
    return "/dev/fake" + std::to_string(number);
}

class ClosedDriver : public ::testing::Test {
  protected:
    ManualTimeSource time_;
    ManualTimer& timer_ = time_.makeTimer();
    TCommPortDriver driver_{nullptr, timer_, time_, fakePath};
};

TEST_F(ClosedDriver, StartsWithTheDocumentedDefaults) {
    EXPECT_EQ(driver_.Port(), pnCOM2);
    EXPECT_EQ(driver_.PortName(), fakePath(2));
    EXPECT_EQ(driver_.BaudRate(), br9600);
    EXPECT_EQ(driver_.BaudRateValue(), 9600u);
    EXPECT_EQ(driver_.DataBits(), db8BITS);
    EXPECT_EQ(driver_.StopBits(), sb1BITS);
    EXPECT_EQ(driver_.Parity(), ptNONE);
    EXPECT_EQ(driver_.HwFlow(), hfNONERTSON);
    EXPECT_EQ(driver_.SwFlow(), sfNONE);
    EXPECT_EQ(driver_.InBufSize(), 2048u);
    EXPECT_EQ(driver_.OutBufSize(), 2048u);
    EXPECT_EQ(driver_.PacketSize(), -1);
    EXPECT_EQ(driver_.PacketTimeout(), -1);
    EXPECT_EQ(driver_.PacketMode(), pmDiscard);
    EXPECT_EQ(driver_.PollingDelay(), 50u);
    EXPECT_TRUE(driver_.EnableDTROnOpen());
    EXPECT_EQ(driver_.OutputTimeout(), 500u);
    EXPECT_EQ(driver_.InputTimeout(), 200u);
    EXPECT_FALSE(driver_.CheckLineStatus());
    EXPECT_FALSE(driver_.OnReceiveData());
    EXPECT_FALSE(driver_.OnReceivePacket());
    EXPECT_FALSE(driver_.IsConnected());
    EXPECT_FALSE(timer_.isActive());
}

TEST(CommPortDriverDefaults, WithoutAPortCatalogueEveryNumberHasNoPath) {
    ManualTimeSource time;
    TCommPortDriver driver(nullptr, time.makeTimer(), time);
    EXPECT_EQ(driver.PortName(), "");
    driver.SetPort(pnCOM1);
    EXPECT_EQ(driver.PortName(), "");
}

struct ClampRow {
    std::uint32_t given;
    std::uint32_t stored;
};
void PrintTo(const ClampRow& r, std::ostream* os) {
    *os << r.given << " -> " << r.stored;
}

class PollingDelayRule : public ClosedDriver, public ::testing::WithParamInterface<ClampRow> {};
TEST_P(PollingDelayRule, StoresAtLeastFive) {
    driver_.SetPollingDelay(static_cast<std::uint16_t>(GetParam().given));
    EXPECT_EQ(driver_.PollingDelay(), GetParam().stored);
}
INSTANTIATE_TEST_SUITE_P(Values, PollingDelayRule,
                         ::testing::Values(ClampRow{0, 5}, ClampRow{3, 5}, ClampRow{4, 5}, ClampRow{5, 5},
                                           ClampRow{6, 6}, ClampRow{4000, 4000}, ClampRow{65535, 65535}));

class BufSizeRule : public ClosedDriver, public ::testing::WithParamInterface<ClampRow> {};
TEST_P(BufSizeRule, InputAndOutputClampTo128Through8192) {
    driver_.SetInBufSize(GetParam().given);
    driver_.SetOutBufSize(GetParam().given);
    EXPECT_EQ(driver_.InBufSize(), GetParam().stored);
    EXPECT_EQ(driver_.OutBufSize(), GetParam().stored);
}
INSTANTIATE_TEST_SUITE_P(Values, BufSizeRule,
                         ::testing::Values(ClampRow{0, 128}, ClampRow{100, 128}, ClampRow{127, 128},
                                           ClampRow{128, 128}, ClampRow{129, 129}, ClampRow{8192, 8192},
                                           ClampRow{8193, 8192}, ClampRow{10000, 8192},
                                           ClampRow{0xFFFFFFFFu, 8192}));

struct PacketSizeRow {
    std::int16_t given;
    std::int16_t stored;
    std::uint32_t in_buf_after;  // InBufSize starts at 2048
};
void PrintTo(const PacketSizeRow& r, std::ostream* os) {
    *os << r.given << " -> " << r.stored << ", InBufSize " << r.in_buf_after;
}
class PacketSizeRule : public ClosedDriver, public ::testing::WithParamInterface<PacketSizeRow> {};
TEST_P(PacketSizeRule, StoresMinusOneOrAtMost8192AndGrowsTheBuffer) {
    driver_.SetPacketSize(GetParam().given);
    EXPECT_EQ(driver_.PacketSize(), GetParam().stored);
    EXPECT_EQ(driver_.InBufSize(), GetParam().in_buf_after);
}
INSTANTIATE_TEST_SUITE_P(Values, PacketSizeRule,
                         ::testing::Values(PacketSizeRow{0, -1, 2048}, PacketSizeRow{-1, -1, 2048},
                                           PacketSizeRow{-32768, -1, 2048}, PacketSizeRow{1, 1, 2048},
                                           PacketSizeRow{10, 10, 2048}, PacketSizeRow{2048, 2048, 2048},
                                           PacketSizeRow{2049, 2049, 2049}, PacketSizeRow{8192, 8192, 8192},
                                           PacketSizeRow{8193, 8192, 8192},
                                           PacketSizeRow{32767, 8192, 8192}));

TEST_F(ClosedDriver, ShrinkingTheBufferBelowThePacketSizeKeepsItAtThePacketSize) {
    driver_.SetPacketSize(1000);
    driver_.SetInBufSize(500);
    EXPECT_EQ(driver_.InBufSize(), 1000u);
    driver_.SetPacketSize(-1);
    driver_.SetInBufSize(500);
    EXPECT_EQ(driver_.InBufSize(), 500u);
}

struct PacketTimeoutRow {
    std::uint16_t polling_delay;
    std::int32_t given;
    std::int32_t stored;
};
void PrintTo(const PacketTimeoutRow& r, std::ostream* os) {
    *os << "delay " << r.polling_delay << ": " << r.given << " -> " << r.stored;
}
class PacketTimeoutRule : public ClosedDriver, public ::testing::WithParamInterface<PacketTimeoutRow> {};
TEST_P(PacketTimeoutRule, NeverShorterThanThePoll) {
    driver_.SetPollingDelay(GetParam().polling_delay);
    driver_.SetPacketTimeout(GetParam().given);
    EXPECT_EQ(driver_.PacketTimeout(), GetParam().stored);
}
INSTANTIATE_TEST_SUITE_P(Values, PacketTimeoutRule,
                         ::testing::Values(PacketTimeoutRow{50, 30, 70}, PacketTimeoutRow{50, 0, -1},
                                           PacketTimeoutRow{50, -7, -1}, PacketTimeoutRow{50, 1, 70},
                                           PacketTimeoutRow{50, 49, 70}, PacketTimeoutRow{50, 50, 50},
                                           PacketTimeoutRow{50, 200, 200}, PacketTimeoutRow{7, 6, 9},
                                           PacketTimeoutRow{65535, 1, 65535 + 26214}));

TEST_F(ClosedDriver, ChangingThePollingDelayRevalidatesThePacketTimeout) {
    driver_.SetPacketTimeout(200);
    driver_.SetPollingDelay(300);
    EXPECT_EQ(driver_.PacketTimeout(), 420);
    driver_.SetPollingDelay(100);  // a longer timeout than the poll stays
    EXPECT_EQ(driver_.PacketTimeout(), 420);
}

TEST_F(ClosedDriver, CustomRateSwitchesToBrCustomAndAStandardMemberSetsItsRate) {
    driver_.SetBaudRateValue(4800);
    EXPECT_EQ(driver_.BaudRate(), brCustom);
    EXPECT_EQ(driver_.BaudRateValue(), 4800u);
    driver_.SetBaudRate(br57600);
    EXPECT_EQ(driver_.BaudRate(), br57600);
    EXPECT_EQ(driver_.BaudRateValue(), 57600u);
    driver_.SetBaudRate(brCustom);  // keeps the rate it has
    EXPECT_EQ(driver_.BaudRate(), brCustom);
    EXPECT_EQ(driver_.BaudRateValue(), 57600u);
}

struct RateRow {
    TBaudRate member;
    std::uint32_t rate;
};
void PrintTo(const RateRow& r, std::ostream* os) {
    *os << "member " << int{r.member} << " = " << r.rate;
}
class BaudRateTable : public ::testing::TestWithParam<RateRow> {};
TEST_P(BaudRateTable, EachMemberStandsForTheRateInItsName) {
    EXPECT_EQ(baudRateValueOf(GetParam().member), GetParam().rate);
    EXPECT_EQ(baudRateOf(GetParam().rate), GetParam().member);
}
INSTANTIATE_TEST_SUITE_P(All, BaudRateTable,
                         ::testing::Values(RateRow{br110, 110}, RateRow{br300, 300}, RateRow{br600, 600},
                                           RateRow{br1200, 1200}, RateRow{br2400, 2400},
                                           RateRow{br4800, 4800}, RateRow{br9600, 9600},
                                           RateRow{br14400, 14400}, RateRow{br19200, 19200},
                                           RateRow{br38400, 38400}, RateRow{br56000, 56000},
                                           RateRow{br57600, 57600}, RateRow{br115200, 115200},
                                           RateRow{br128000, 128000}, RateRow{br256000, 256000}));

TEST(BaudRateTable, CustomHasNoRateAndUnknownRatesAreCustom) {
    EXPECT_EQ(baudRateValueOf(brCustom), 0u);
    EXPECT_EQ(baudRateOf(0), brCustom);
    EXPECT_EQ(baudRateOf(31250), brCustom);
    EXPECT_EQ(static_cast<int>(br256000), 15);  // the ordinals are part of the contract
    EXPECT_EQ(static_cast<int>(pnCOM16), 16);
}

TEST_F(ClosedDriver, PortNumberSetsThePathAndAPathMakesThePortCustom) {
    driver_.SetPort(pnCOM12);
    EXPECT_EQ(driver_.Port(), pnCOM12);
    EXPECT_EQ(driver_.PortName(), fakePath(12));
    driver_.SetPortName("/dev/ttyUSB7");
    EXPECT_EQ(driver_.Port(), pnCustom);
    EXPECT_EQ(driver_.PortName(), "/dev/ttyUSB7");
    driver_.SetPort(pnCustom);  // leaves the name alone
    EXPECT_EQ(driver_.PortName(), "/dev/ttyUSB7");
    driver_.SetPort(pnCOM1);
    EXPECT_EQ(driver_.PortName(), fakePath(1));
}

TEST(CommPortDriverPorts, ANumberWithoutADeviceLeavesTheNameEmptyAndConnectFailsAsMissing) {
    ManualTimeSource time;
    ManualTimer& timer = time.makeTimer();
    TCommPortDriver driver(nullptr, timer, time, [](int n) { return n == 1 ? "/dev/null" : ""; });
    driver.SetPort(pnCOM5);
    EXPECT_EQ(driver.PortName(), "");
    EXPECT_FALSE(driver.Connect());
    EXPECT_EQ(driver.LastError().kind, SerialErrorKind::MissingDevice);
    EXPECT_FALSE(timer.isActive());
}

TEST_F(ClosedDriver, OperationsOnAClosedPortDoNothingAndSaySo) {
    const std::uint8_t bytes[] = {1, 2, 3};
    EXPECT_EQ(driver_.WriteData(bytes, 3), 0u);
    EXPECT_EQ(driver_.WriteDataTimed(bytes, 3, 1000), 0u);
    EXPECT_FALSE(driver_.WriteByte(0x41));
    EXPECT_EQ(driver_.OutputFreeSpace(), 65535u);
    EXPECT_TRUE(driver_.ModemLineStatus().empty());
    EXPECT_FALSE(driver_.ApplyLineSettings());
    EXPECT_FALSE(driver_.PurgeQueues(true, true));
    EXPECT_FALSE(driver_.HungUp());
    int events = 0;
    driver_.SetOnReceiveData([&](TCommPortDriver&, const std::uint8_t*, std::uint32_t) { ++events; });
    driver_.PollTick();
    EXPECT_EQ(events, 0);
    driver_.Disconnect();  // harmless
    EXPECT_FALSE(driver_.IsConnected());
}

TEST_F(ClosedDriver, PlainStoresKeepWhatIsGiven) {
    driver_.SetPacketMode(pmPass);
    driver_.SetEnableDTROnOpen(false);
    driver_.SetOutputTimeout(200);
    driver_.SetInputTimeout(0);
    driver_.SetCheckLineStatus(true);
    driver_.SetDataBits(db7BITS);
    driver_.SetStopBits(sb2BITS);
    driver_.SetParity(ptSPACE);
    driver_.SetHwFlow(hfRTSCTS);
    driver_.SetSwFlow(sfXONXOFF);
    EXPECT_EQ(driver_.PacketMode(), pmPass);
    EXPECT_FALSE(driver_.EnableDTROnOpen());
    EXPECT_EQ(driver_.OutputTimeout(), 200u);
    EXPECT_EQ(driver_.InputTimeout(), 0u);
    EXPECT_TRUE(driver_.CheckLineStatus());
    EXPECT_EQ(driver_.DataBits(), db7BITS);
    EXPECT_EQ(driver_.StopBits(), sb2BITS);
    EXPECT_EQ(driver_.Parity(), ptSPACE);
    EXPECT_EQ(driver_.HwFlow(), hfRTSCTS);
    EXPECT_EQ(driver_.SwFlow(), sfXONXOFF);
}

}  // namespace
}  // namespace hx350
