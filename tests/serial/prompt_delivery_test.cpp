// Prompt delivery on real pseudo-terminals: a batch goes out once the line has been quiet for the gap after
// its last byte, never in the middle of a burst, and the poll still delivers a peer that never pauses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/clock.h"
#include "serial/comm_port_driver.h"
#include "support/pty_pair.h"

namespace hx350 {
namespace {

using test::PtyPair;

class PromptDelivery : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(pty_.ok());
        driver_.SetPortName(pty_.secondaryPath());
        driver_.SetPollingDelay(5000);
        driver_.SetBaudRate(br19200);
        driver_.SetQuietGapWatch(&watch_);
        driver_.SetOnReceiveData([this](TCommPortDriver&, const std::uint8_t* data, std::uint32_t size) {
            batches_.emplace_back(reinterpret_cast<const char*>(data), size);
        });
        driver_.SetOnPromptBatch([this] { ++follow_ups_; });
    }

    void arrive(const std::string& bytes) {
        const std::size_t before = pty_.secondaryInputCount();
        ASSERT_TRUE(pty_.writePrimary(bytes));
        ASSERT_TRUE(pty_.waitSecondaryInput(before + bytes.size()));
    }

    PtyPair pty_;
    ManualTimeSource time_{LocalDateTime{}, 0xFFFFFF00u};  // across the 32-bit wrap
    ManualTimer& poll_ = time_.makeTimer();
    ManualTimer& watch_ = time_.makeTimer();
    TCommPortDriver driver_{nullptr, poll_, time_};
    std::vector<std::string> batches_;
    int follow_ups_ = 0;
};

TEST(QuietGap, IsThreeCharacterTimesPlus20MsAndAtLeast25) {
    struct Case {
        std::uint32_t rate;
        TParity parity;
        TStopBits stop;
        std::uint32_t gap_ms;
    };
    const Case cases[] = {
        {115200, ptNONE, sb1BITS, 25}, {19200, ptNONE, sb1BITS, 25},    {1200, ptNONE, sb1BITS, 45},
        {300, ptEVEN, sb2BITS, 140},   {110, ptNONE, sb1HALFBITS, 320},
    };
    ManualTimeSource time;
    for (const Case& c : cases) {
        TCommPortDriver driver(nullptr, time.makeTimer(), time);
        driver.SetBaudRateValue(c.rate);
        driver.SetParity(c.parity);
        driver.SetStopBits(c.stop);
        EXPECT_EQ(driver.QuietGapMs(), c.gap_ms) << c.rate;
    }
}

TEST_F(PromptDelivery, WatchRunsOnlyWhileOnAndOpen) {
    ASSERT_TRUE(driver_.Connect());
    EXPECT_FALSE(watch_.isActive());
    driver_.SetPromptDelivery(true);
    EXPECT_TRUE(watch_.isActive());
    EXPECT_EQ(watch_.period(), TCommPortDriver::kQuietGapWatchMs);
    driver_.Disconnect();
    EXPECT_FALSE(watch_.isActive());
    ASSERT_TRUE(driver_.Connect());
    EXPECT_TRUE(watch_.isActive());
    driver_.SetPromptDelivery(false);
    EXPECT_FALSE(watch_.isActive());
}

TEST_F(PromptDelivery, OffTheAnswerWaitsForThePoll) {
    ASSERT_TRUE(driver_.Connect());
    arrive("OK\r\n");
    time_.advance(4999);
    EXPECT_TRUE(batches_.empty());
    time_.advance(1);
    EXPECT_EQ(batches_, std::vector<std::string>{"OK\r\n"});
    EXPECT_EQ(follow_ups_, 0);
}

TEST_F(PromptDelivery, OnTheWholeBurstGoesOutOneGapAfterItsLastByte) {
    driver_.SetPromptDelivery(true);
    ASSERT_TRUE(driver_.Connect());
    arrive("1:Temp.Inp.1 ");
    time_.advance(20);  // a pause shorter than the gap is part of the burst
    arrive("MAXIMUM1\r\n");
    time_.advance(20);
    EXPECT_TRUE(batches_.empty());
    time_.advance(10);  // 25 ms and one look after the last byte
    EXPECT_EQ(batches_, std::vector<std::string>{"1:Temp.Inp.1 MAXIMUM1\r\n"});
    EXPECT_EQ(follow_ups_, 1);
    time_.advance(5000);  // the poll finds nothing left
    EXPECT_EQ(batches_.size(), 1u);
    EXPECT_EQ(follow_ups_, 1);
}

TEST_F(PromptDelivery, ThePollDoesNotCutABurstButDeliversAPeerThatNeverPauses) {
    driver_.SetPollingDelay(100);
    driver_.SetPromptDelivery(true);
    ASSERT_TRUE(driver_.Connect());
    std::string sent;
    for (int i = 0; i < 30; ++i) {  // a byte every 10 ms for 300 ms: never quiet for a gap
        const std::string byte(1, static_cast<char>('a' + i % 26));
        arrive(byte);
        sent += byte;
        time_.advance(10);
    }
    EXPECT_EQ(batches_.size(), 1u);  // the poll handed on what had been arriving for a whole period
    EXPECT_EQ(follow_ups_, 0);
    time_.advance(30);  // then the line falls quiet
    std::string got;
    for (const std::string& b : batches_)
        got += b;
    EXPECT_EQ(got, sent);  // nothing lost, nothing twice
    EXPECT_EQ(batches_.size(), 2u);
    EXPECT_EQ(follow_ups_, 1);
}

}  // namespace
}  // namespace hx350
