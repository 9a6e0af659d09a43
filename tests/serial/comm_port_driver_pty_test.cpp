// TCommPortDriver on real pseudo-terminals: bytes out, batches and packets in, timer handling, bounded
// writes, a vanished far end.
#include <gtest/gtest.h>

#include <time.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/clock.h"
#include "serial/comm_port_driver.h"
#include "support/process_time.h"
#include "support/pty_pair.h"
#include "support/scripted_peer.h"

namespace hx350 {
namespace {

using test::Millis;
using test::PtyPair;

std::string pattern(std::size_t size, char first = 'a') {
    std::string s;
    for (std::size_t i = 0; i < size; ++i)
        s += static_cast<char>(first + static_cast<char>(i % 26));
    return s;
}

class DriverOnPty : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(pty_.ok());
        driver_.SetPortName(pty_.secondaryPath());
        driver_.SetOnReceiveData(
            [this](TCommPortDriver& sender, const std::uint8_t* data, std::uint32_t size) {
                EXPECT_EQ(&sender, &driver_);
                data_.emplace_back(reinterpret_cast<const char*>(data), size);
            });
        driver_.SetOnReceivePacket(
            [this](TCommPortDriver& sender, const std::uint8_t* data, std::uint32_t size) {
                EXPECT_EQ(&sender, &driver_);
                packets_.emplace_back(reinterpret_cast<const char*>(data), size);
            });
    }

    // Sends `bytes` from the far end and waits until the driver's side can see all of them.
    void arrive(const std::string& bytes) {
        const std::size_t before = pty_.secondaryInputCount();
        ASSERT_TRUE(pty_.writePrimary(bytes));
        ASSERT_TRUE(pty_.waitSecondaryInput(before + bytes.size()));
    }

    std::uint32_t write(const std::string& bytes) {
        return driver_.WriteData(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                 static_cast<std::uint32_t>(bytes.size()));
    }

    std::uint32_t tickAt(std::uint64_t ms) const { return static_cast<std::uint32_t>(start_tick_ + ms); }

    PtyPair pty_;
    std::uint32_t start_tick_ = 1000;
    ManualTimeSource time_{LocalDateTime{}, start_tick_};
    ManualTimer& timer_ = time_.makeTimer();
    TCommPortDriver driver_{nullptr, timer_, time_};
    std::vector<std::string> data_;
    std::vector<std::string> packets_;
};

TEST_F(DriverOnPty, ConnectRunsThePollTimerExactlyWhileOpen) {
    ASSERT_TRUE(driver_.Connect()) << driver_.LastError().operation << " " << driver_.LastError().sys_errno;
    EXPECT_TRUE(driver_.IsConnected());
    EXPECT_TRUE(driver_.LastError().ok());
    EXPECT_TRUE(timer_.isActive());
    EXPECT_EQ(timer_.period(), 50u);
    EXPECT_TRUE(driver_.Connect());  // already open: true at once

    driver_.SetPollingDelay(4000);
    EXPECT_TRUE(timer_.isActive());
    EXPECT_EQ(timer_.period(), 4000u);

    driver_.Disconnect();
    EXPECT_FALSE(driver_.IsConnected());
    EXPECT_FALSE(timer_.isActive());
    ASSERT_TRUE(driver_.Connect());  // the lock and the exclusive mode were released
    EXPECT_EQ(timer_.period(), 4000u);
}

TEST_F(DriverOnPty, SizesAndPortAreFrozenWhileOpen) {
    driver_.SetInBufSize(4096);
    ASSERT_TRUE(driver_.Connect());
    const std::string path = driver_.PortName();
    driver_.SetInBufSize(100);
    driver_.SetOutBufSize(100);
    driver_.SetPort(pnCOM3);
    driver_.SetPortName("/dev/null");
    EXPECT_EQ(driver_.InBufSize(), 4096u);
    EXPECT_EQ(driver_.OutBufSize(), 2048u);
    EXPECT_EQ(driver_.Port(), pnCustom);
    EXPECT_EQ(driver_.PortName(), path);
}

TEST_F(DriverOnPty, WritesExactlyTheBytesGivenIncludingControlBytes) {
    ASSERT_TRUE(driver_.Connect());
    std::string bytes = "              SETUP:GETTX05 \r";
    bytes += std::string("\0\n\x11\x13\x1A\xFF\x80", 7);
    EXPECT_EQ(write(bytes), bytes.size());
    EXPECT_TRUE(driver_.WriteByte(0x00));
    EXPECT_EQ(driver_.OutputFreeSpace(), 2048u);  // a pseudo-terminal keeps no output queue of its own
    EXPECT_EQ(pty_.readPrimary(bytes.size() + 1), bytes + std::string(1, '\0'));
}

TEST_F(DriverOnPty, APollDeliversWhatArrivedAsOneBatch) {
    ASSERT_TRUE(driver_.Connect());
    time_.advance(50);  // nothing there: no event
    EXPECT_TRUE(data_.empty());

    const std::string batch = std::string("+CMGS: 12\r\n\0OK\r", 16) + "\n";
    ASSERT_EQ(batch.size(), 17u);
    arrive(batch);
    time_.advance(50);
    ASSERT_EQ(data_.size(), 1u);
    EXPECT_EQ(data_[0], batch);
    EXPECT_TRUE(packets_.empty());
    time_.advance(50);
    EXPECT_EQ(data_.size(), 1u);
}

TEST_F(DriverOnPty, ABatchLargerThanTheBufferComesInBufferSizedEvents) {
    driver_.SetInBufSize(128);
    ASSERT_TRUE(driver_.Connect());
    const std::string bytes = pattern(300);
    arrive(bytes);
    driver_.PollTick();
    driver_.PollTick();
    driver_.PollTick();
    driver_.PollTick();
    ASSERT_EQ(data_.size(), 3u);
    EXPECT_EQ(data_[0].size(), 128u);
    EXPECT_EQ(data_[1].size(), 128u);
    EXPECT_EQ(data_[0] + data_[1] + data_[2], bytes);
}

TEST_F(DriverOnPty, PurgingInputDropsWhatWaits) {
    ASSERT_TRUE(driver_.Connect());
    arrive("stale answer");
    EXPECT_TRUE(driver_.PurgeQueues(true, false));
    driver_.PollTick();
    EXPECT_TRUE(data_.empty());
    EXPECT_TRUE(driver_.PurgeQueues(false, true));
    EXPECT_TRUE(driver_.PurgeQueues(false, false));
}

TEST_F(DriverOnPty, AnswersInPiecesAreCollectedOverSeveralPolls) {
    ASSERT_TRUE(driver_.Connect());
    test::ScriptedPeer peer(pty_.primaryFd());
    peer.expect("AT+CGMM\r").send("\r\nHX-GSM 900\r\n\r\nOK\r\n", 3, Millis(5));
    peer.start();
    EXPECT_EQ(write("AT+CGMM\r"), 8u);
    std::string got;
    ASSERT_TRUE(test::waitUntil(
        [&] {
            driver_.PollTick();
            got.clear();
            for (const auto& d : data_)
                got += d;
            return got.size() >= 20;
        },
        Millis(3000), Millis(2)));
    EXPECT_TRUE(peer.finished()) << peer.failure();
    EXPECT_EQ(got, "\r\nHX-GSM 900\r\n\r\nOK\r\n");
    EXPECT_GT(data_.size(), 1u);  // it did arrive in more than one batch
}

TEST_F(DriverOnPty, AHandlerMayCloseThePortFromInsideTheEvent) {
    driver_.SetPacketSize(4);
    driver_.SetOnReceivePacket(
        [](TCommPortDriver& sender, const std::uint8_t*, std::uint32_t) { sender.Disconnect(); });
    ASSERT_TRUE(driver_.Connect());
    arrive("12345678");
    driver_.PollTick();
    EXPECT_FALSE(driver_.IsConnected());
    EXPECT_FALSE(timer_.isActive());
}

// ---- Packets

class PacketsOnPty : public DriverOnPty {
  protected:
    void SetUp() override {
        DriverOnPty::SetUp();
        driver_.SetPacketSize(10);
        driver_.SetPacketTimeout(200);
    }
};

TEST_F(PacketsOnPty, WholePacketsAreDeliveredAndARemainderWaits) {
    ASSERT_TRUE(driver_.Connect());
    const std::string bytes = pattern(25);
    arrive(bytes);
    time_.advance(50);
    ASSERT_EQ(packets_.size(), 2u);
    EXPECT_EQ(packets_[0], bytes.substr(0, 10));
    EXPECT_EQ(packets_[1], bytes.substr(10, 10));
    EXPECT_TRUE(data_.empty());
    EXPECT_EQ(pty_.secondaryInputCount(), 5u);
    EXPECT_EQ(driver_.PacketStartTime(), tickAt(50));
}

TEST_F(PacketsOnPty, DiscardDropsTheRemainderOnceTheTimeoutHasPassed) {
    driver_.SetPacketMode(pmDiscard);
    ASSERT_TRUE(driver_.Connect());
    arrive(pattern(25));
    time_.advance(50);  // two packets; the remainder is timed from here
    ASSERT_EQ(packets_.size(), 2u);
    time_.advance(200);  // 200 ms old at the poll: not more than the timeout yet
    EXPECT_EQ(pty_.secondaryInputCount(), 5u);
    time_.advance(50);
    EXPECT_EQ(packets_.size(), 2u);
    EXPECT_EQ(pty_.secondaryInputCount(), 0u);
    EXPECT_FALSE(driver_.PacketStartTime());
}

TEST_F(PacketsOnPty, PassDeliversTheRemainderAsAShortPacket) {
    driver_.SetPacketMode(pmPass);
    ASSERT_TRUE(driver_.Connect());
    const std::string bytes = pattern(25);
    arrive(bytes);
    time_.advance(250);
    EXPECT_EQ(packets_.size(), 2u);
    time_.advance(50);
    ASSERT_EQ(packets_.size(), 3u);
    EXPECT_EQ(packets_[2], bytes.substr(20));
    EXPECT_FALSE(driver_.PacketStartTime());
}

TEST_F(PacketsOnPty, WithoutATimeoutAnIncompletePacketWaitsForever) {
    driver_.SetPacketMode(pmPass);
    driver_.SetPacketTimeout(-1);
    ASSERT_TRUE(driver_.Connect());
    arrive("12345");
    time_.advance(60'000);
    EXPECT_TRUE(packets_.empty());
    arrive("67890");
    time_.advance(50);
    ASSERT_EQ(packets_.size(), 1u);
    EXPECT_EQ(packets_[0], "1234567890");
}

TEST_F(PacketsOnPty, TheStartMovesOnByOnePacketTimePerPacketTaken) {
    driver_.SetPacketMode(pmPass);
    driver_.SetPacketTimeout(190);
    ASSERT_TRUE(driver_.Connect());
    const std::string bytes = pattern(25);
    arrive(bytes.substr(0, 5));
    time_.advance(50);
    EXPECT_EQ(driver_.PacketStartTime(), tickAt(50));
    arrive(bytes.substr(5));
    time_.advance(100);  // 10 bytes at 9600 bit/s take round(10.42) = 10 ms each
    ASSERT_EQ(packets_.size(), 2u);
    EXPECT_EQ(driver_.PacketStartTime(), tickAt(70));
    time_.advance(100);  // the remainder is 180 ms old: kept
    EXPECT_EQ(packets_.size(), 2u);
    time_.advance(50);
    ASSERT_EQ(packets_.size(), 3u);
    EXPECT_EQ(packets_[2], bytes.substr(20));
}

TEST_F(PacketsOnPty, ABurstOfPacketsNeverMovesTheStartIntoTheFuture) {
    driver_.SetPacketMode(pmPass);
    driver_.SetBaudRate(br110);  // one packet takes 909 ms on the line
    ASSERT_TRUE(driver_.Connect());
    arrive("12345");
    time_.advance(50);
    arrive(pattern(20));
    time_.advance(50);
    ASSERT_EQ(packets_.size(), 2u);
    EXPECT_EQ(driver_.PacketStartTime(), tickAt(100));
    time_.advance(50);  // a start in the future would look ancient and flush at once
    EXPECT_EQ(packets_.size(), 2u);
}

TEST_F(PacketsOnPty, APacketLargerThanTheBufferNeverOverrunsIt) {
    driver_.SetPacketSize(-1);
    driver_.SetInBufSize(128);
    driver_.SetPacketMode(pmPass);
    ASSERT_TRUE(driver_.Connect());
    driver_.SetPacketSize(200);  // the buffer cannot grow while open
    EXPECT_EQ(driver_.PacketSize(), 200);
    EXPECT_EQ(driver_.InBufSize(), 128u);
    const std::string bytes = pattern(400);
    arrive(bytes);
    time_.advance(5000);
    std::string got;
    for (const auto& p : packets_) {
        EXPECT_LE(p.size(), 128u);
        got += p;
    }
    EXPECT_EQ(got, bytes);
}

TEST(PacketTimingAcrossTheWrap, TheTimeoutIsMeasuredAcrossTheWrapOfTheTickCounter) {
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    ManualTimeSource time({}, 0xFFFFFFFFu - 99u);  // the counter wraps 100 ms from now
    ManualTimer& timer = time.makeTimer();
    TCommPortDriver driver(nullptr, timer, time);
    driver.SetPortName(pty.secondaryPath());
    driver.SetPacketSize(10);
    driver.SetPacketTimeout(200);
    driver.SetPacketMode(pmPass);
    std::vector<std::string> packets;
    driver.SetOnReceivePacket([&](TCommPortDriver&, const std::uint8_t* data, std::uint32_t size) {
        packets.emplace_back(reinterpret_cast<const char*>(data), size);
    });
    ASSERT_TRUE(driver.Connect());
    ASSERT_TRUE(pty.writePrimary("abcde"));
    ASSERT_TRUE(pty.waitSecondaryInput(5));
    time.advance(50);
    EXPECT_EQ(driver.PacketStartTime(), 0xFFFFFFFFu - 49u);
    time.advance(200);  // now past the wrap; 200 ms old
    EXPECT_TRUE(packets.empty());
    time.advance(50);
    ASSERT_EQ(packets.size(), 1u);
    EXPECT_EQ(packets[0], "abcde");
}

// ---- Bounded writes

using test::cpuSeconds;
using test::wallSeconds;

TEST(BlockedWrite, GivesUpAfterTheTimeoutWithAShortCountWithoutSpinning) {
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    SystemClock clock;
    ManualTimeSource unused;
    TCommPortDriver driver(nullptr, unused.makeTimer(), clock);
    driver.SetPortName(pty.secondaryPath());
    driver.SetOutputTimeout(300);
    ASSERT_TRUE(driver.Connect());
    const std::size_t filled = pty.fillSecondaryOutput();  // nobody reads the primary side
    ASSERT_GT(filled, 0u);

    const std::vector<std::uint8_t> block(4096, 0x55);
    const double cpu0 = cpuSeconds();
    const double wall0 = wallSeconds();
    const std::uint32_t written = driver.WriteData(block.data(), static_cast<std::uint32_t>(block.size()));
    const double wall = wallSeconds() - wall0;
    const double cpu = cpuSeconds() - cpu0;

    EXPECT_LT(written, block.size());
    EXPECT_GE(wall, 0.29);
    EXPECT_LT(wall, 1.5);
    EXPECT_LT(cpu, 0.2 * wall) << "cpu " << cpu << " s over " << wall << " s";
    RecordProperty("blocked_write_wall_ms", static_cast<int>(wall * 1000));
    RecordProperty("blocked_write_cpu_us", static_cast<int>(cpu * 1e6));
    std::printf("[ figure   ] blocked write: %.1f ms wall, %.3f ms CPU (%.2f %%), %u of %zu bytes\n",
                wall * 1000, cpu * 1000, 100.0 * cpu / wall, written, block.size());
}

TEST(BlockedWrite, AShortCountCountsExactlyTheBytesThatWentOut) {
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    SystemClock clock;
    ManualTimeSource unused;
    TCommPortDriver driver(nullptr, unused.makeTimer(), clock);
    driver.SetPortName(pty.secondaryPath());
    ASSERT_TRUE(driver.Connect());
    std::string bytes = pattern(256 * 1024);
    const std::uint32_t written = driver.WriteDataTimed(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                                        static_cast<std::uint32_t>(bytes.size()), 50);
    ASSERT_GT(written, 0u);
    ASSERT_LT(written, bytes.size());
    EXPECT_EQ(pty.drainPrimary(Millis(50), Millis(3000)), bytes.substr(0, written));
}

TEST(BlockedWrite, AClockThatDoesNotMoveCannotMakeItWaitForever) {
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    ManualTimeSource frozen;  // nobody advances it
    TCommPortDriver driver(nullptr, frozen.makeTimer(), frozen);
    driver.SetPortName(pty.secondaryPath());
    driver.SetOutputTimeout(100);
    ASSERT_TRUE(driver.Connect());
    pty.fillSecondaryOutput();
    const double wall0 = wallSeconds();
    EXPECT_EQ(driver.WriteData(reinterpret_cast<const std::uint8_t*>("x"), 1), 0u);
    EXPECT_FALSE(driver.WriteByte('y'));
    EXPECT_LT(wallSeconds() - wall0, 1.0);
}

TEST(BlockedWrite, ZeroTimeoutTriesOnceAndReturns) {
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    ManualTimeSource time;
    TCommPortDriver driver(nullptr, time.makeTimer(), time);
    driver.SetPortName(pty.secondaryPath());
    ASSERT_TRUE(driver.Connect());
    pty.fillSecondaryOutput();
    const double wall0 = wallSeconds();
    EXPECT_EQ(driver.WriteDataTimed(reinterpret_cast<const std::uint8_t*>("x"), 1, 0), 0u);
    EXPECT_LT(wallSeconds() - wall0, 0.1);
}

TEST_F(DriverOnPty, CheckLineStatusRefusesWritesWhenNoModemLineIsOn) {
    ASSERT_TRUE(driver_.Connect());
    EXPECT_TRUE(driver_.ModemLineStatus().empty());  // a pseudo-terminal has no modem lines
    driver_.SetCheckLineStatus(true);
    EXPECT_EQ(write("AT\r"), 0u);
    driver_.SetCheckLineStatus(false);
    EXPECT_EQ(write("AT\r"), 3u);
    EXPECT_EQ(pty_.readPrimary(3), "AT\r");
}

// ---- The far end vanishes

TEST_F(DriverOnPty, AVanishedFarEndGivesNoEventNoErrorAndNoSpin) {
    ASSERT_TRUE(driver_.Connect());
    EXPECT_FALSE(driver_.HungUp());
    pty_.closePrimary();
    ASSERT_TRUE(test::waitUntil([&] { return driver_.HungUp(); }, Millis(1000)));

    const double cpu0 = cpuSeconds();
    time_.advance(50 * 200);  // two hundred polls
    for (int i = 0; i < 200; ++i)
        driver_.PollTick();
    EXPECT_TRUE(data_.empty());
    EXPECT_TRUE(driver_.IsConnected());  // closing is the caller's decision

    const double wall0 = wallSeconds();
    EXPECT_EQ(write("AT\r"), 0u);
    EXPECT_FALSE(driver_.WriteByte('x'));
    EXPECT_LT(wallSeconds() - wall0, 0.25);
    EXPECT_LT(cpuSeconds() - cpu0, 0.25);

    driver_.Disconnect();
    EXPECT_FALSE(driver_.IsConnected());
}

TEST_F(DriverOnPty, ASecondDriverCannotOpenAPortInUse) {
    ASSERT_TRUE(driver_.Connect());
    ManualTimeSource time;
    TCommPortDriver second(nullptr, time.makeTimer(), time);
    second.SetPortName(pty_.secondaryPath());
    EXPECT_FALSE(second.Connect());
    EXPECT_FALSE(second.IsConnected());
    EXPECT_EQ(second.LastError().kind, SerialErrorKind::Busy);
    EXPECT_EQ(second.LastError().path, pty_.secondaryPath());
    driver_.Disconnect();
    EXPECT_TRUE(second.Connect());
    EXPECT_TRUE(second.LastError().ok());
}

}  // namespace
}  // namespace hx350
