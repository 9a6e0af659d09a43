// The far end stops reading (nobody drains the primary side of the pseudo-terminal, as when a phone or an
// adapter locks up): every operation of the link still returns after at most one output timeout, with
// the thread asleep in the meantime, and a PDU release ends at the first byte that did not go out.
//
// Unlike the stall tests with a device that refuses on command, these run on the real terminal: the
// kernel's queue fills and the driver's bounded wait for writability is what gives up.
#include <gtest/gtest.h>
#include <time.h>

#include <cstdio>
#include <functional>
#include <string>

#include "link_fixture.h"
#include "support/process_time.h"

namespace hx350 {
namespace {

using test::LinkOnPty;
using test::Millis;

using test::cpuSeconds;
using test::wallSeconds;

struct Spent {
    double wall = 0;
    double cpu = 0;
};

Spent measure(const std::function<void()>& work) {
    const double cpu0 = cpuSeconds();
    const double wall0 = wallSeconds();
    work();
    return {wallSeconds() - wall0, cpuSeconds() - cpu0};
}

// The output timeout the operations run with (the driver's own, set before each one).
constexpr std::uint32_t kTimeoutMs = 150;
// Scheduling slack on a loaded machine, on top of one timeout.
constexpr double kSlackSeconds = 0.35;

class PeerNotReading : public LinkOnPty {
  protected:
    void SetUp() override {
        LinkOnPty::SetUp();
        if (HasFatalFailure()) return;
        filled_ = pty_.fillSecondaryOutput();
        ASSERT_GT(filled_, 0u);
    }

    // What the link managed to put behind the filler (the wire is drained, so this is the whole output).
    std::string writtenAfterFiller() {
        const std::string all = pty_.drainPrimary(Millis(30), Millis(5000));
        EXPECT_GE(all.size(), filled_);
        return all.size() > filled_ ? all.substr(filled_) : std::string();
    }

    std::size_t filled_ = 0;
};

struct Operation {
    const char* name;
    bool sms_mode;
    std::function<void(DeviceLink&)> run;
};

TEST_F(PeerNotReading, EveryOperationReturnsWithinOneTimeoutAndSleepsMeanwhile) {
    const Operation operations[] = {
        {"module command, direct mode", false, [](DeviceLink& l) { l.ReadStateClick(); }},
        {"Connect (  OK)", false, [](DeviceLink& l) { l.ConnectBtnClick(); }},
        {"plain line (  AT+CSQ)", false, [](DeviceLink& l) { l.SqualityClick(); }},
        {"SendStrings", false, [](DeviceLink& l) { l.SendStrings("ABCDEFGHIJ", 10); }},
        {"SendCR", false, [](DeviceLink& l) { l.SendCR(); }},
        {"module command, SMS mode (AT+CMGS)", true, [](DeviceLink& l) { l.ReadStateClick(); }},
        {"manufacturer query", true, [](DeviceLink& l) { l.GetHersteller(); }},
        {"PDU mode (LF CR AT+CMGF=0)", true, [](DeviceLink& l) { l.SetCMGF(); }},
        {"clock query", true, [](DeviceLink& l) { l.GetDateTime(); }},
        {"listing", true, [](DeviceLink& l) { l.SendCMGL("AT+CMGL=0"); }},
    };
    for (const Operation& op : operations) {
        SCOPED_TRACE(op.name);
        link_.resetExchangeState();
        window_.sms_mode = op.sms_mode;
        driver_.SetOutputTimeout(kTimeoutMs);
        const Spent spent = measure([&] { op.run(link_); });
        EXPECT_LT(spent.wall, kTimeoutMs / 1000.0 + kSlackSeconds) << "more than one timed-out write";
        EXPECT_LT(spent.cpu, 0.1 * spent.wall + 0.02) << "cpu " << spent.cpu << " s over " << spent.wall;
    }
    // Nothing of any of them went out: the queue never had room.
    EXPECT_EQ(writtenAfterFiller(), "");
}

TEST_F(PeerNotReading, TimerTicksWithAListingStayWithinOneTimeoutEach) {
    window_.sms_mode = true;
    driver_.SetOutputTimeout(kTimeoutMs);
    // Twenty idle ticks write nothing; the 21st sends the listing, which times out once.
    double worst = 0;
    double cpu = 0;
    double wall = 0;
    for (int i = 0; i < 21; ++i) {
        const Spent spent = measure([&] { tick(); });
        worst = std::max(worst, spent.wall);
        cpu += spent.cpu;
        wall += spent.wall;
    }
    EXPECT_TRUE(state().listing_alternation) << "the listing did not go out";
    EXPECT_LT(worst, kTimeoutMs / 1000.0 + kSlackSeconds);
    EXPECT_LT(cpu, 0.1 * wall + 0.02);
    EXPECT_FALSE(state().sms_sending_busy);  // the phone is not left marked busy by a failed write
}

TEST_F(PeerNotReading, PduReleaseStopsAtTheFirstTimedOutByte) {
    window_.sms_mode = true;
    // Room for the announcement: read the filler away, send, and fill again before the prompt comes.
    pty_.drainPrimary(Millis(30), Millis(5000));
    ASSERT_EQ(link_.sendModuleCommand("GETST"), SendResult::Sent);
    ASSERT_EQ(wire(), "AT+CMGS=16\r");
    filled_ = pty_.fillSecondaryOutput();
    ASSERT_GT(filled_, 0u);
    std::string digits = state().stored_pdu;
    ASSERT_FALSE(digits.empty());
    digits.pop_back();                                      // the NUL the link keeps after the digits
    const std::uint32_t timeout = driver_.OutputTimeout();  // as SendSMS left it for the release
    ASSERT_GT(timeout, 0u);

    const std::size_t before = pty_.secondaryInputCount();
    ASSERT_TRUE(pty_.writePrimary("\r\n> "));
    ASSERT_TRUE(pty_.waitSecondaryInput(before + 4));
    const Spent spent = measure([&] { driver_.PollTick(); });

    // One byte timed out, not one per digit (34 digits would take 34 timeouts).
    EXPECT_LT(spent.wall, timeout / 1000.0 + kSlackSeconds);
    EXPECT_LT(spent.cpu, 0.1 * spent.wall + 0.02) << "cpu " << spent.cpu << " s over " << spent.wall;
    std::printf("[ figure   ] PDU release into a full terminal: %.0f ms wall, %.2f ms CPU, timeout %u ms\n",
                spent.wall * 1000, spent.cpu * 1000, timeout);
    // Whatever went out is the start of the PDU; no Ctrl-Z follows an incomplete PDU.
    const std::string out = writtenAfterFiller();
    EXPECT_LT(out.size(), digits.size());
    EXPECT_EQ(out, digits.substr(0, out.size()));
    EXPECT_TRUE(state().pdu_sent);
    EXPECT_FALSE(state().awaiting_prompt);
    EXPECT_FALSE(state().sms_sending_busy);
}

TEST_F(PeerNotReading, AfterTheFarEndReadsAgainTheNextCommandGoesOutWhole) {
    driver_.SetOutputTimeout(kTimeoutMs);
    link_.ReadStateClick();
    writtenAfterFiller();  // the far end catches up and reads everything
    link_.ReadStateClick();
    EXPECT_EQ(wire(), std::string(14, ' ') + "SETUP:GETST\r" + std::string(1, '\0'));
}

}  // namespace
}  // namespace hx350
