#include "base/clock.h"

#include <gtest/gtest.h>

namespace hx350 {
namespace {

TEST(ElapsedMs, SurvivesTheWrapOfTheTickCounter) {
    EXPECT_EQ(elapsedMs(0xFFFFFF00u, 0x00000010u), 0x110u);
    EXPECT_EQ(elapsedMs(100u, 350u), 250u);
}

TEST(ManualTimeSource, FiresTimersInTimeOrderAtTheirPeriods) {
    ManualTimeSource time;
    ManualTimer& fast = time.makeTimer();
    ManualTimer& slow = time.makeTimer();
    std::vector<std::pair<char, std::uint64_t>> log;
    fast.setCallback([&] { log.emplace_back('f', time.elapsedSinceStart()); });
    slow.setCallback([&] { log.emplace_back('s', time.elapsedSinceStart()); });
    fast.start(300);
    slow.start(1000);
    time.advance(1000);
    const std::vector<std::pair<char, std::uint64_t>> expected = {
        {'f', 300}, {'f', 600}, {'f', 900}, {'s', 1000}};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(fast.fireCount(), 3u);
}

TEST(ManualTimeSource, StoppedTimerDoesNotFireAndRestartRebases) {
    ManualTimeSource time;
    ManualTimer& t = time.makeTimer();
    int fired = 0;
    t.setCallback([&] { ++fired; });
    t.start(100);
    time.advance(50);
    t.stop();
    time.advance(500);
    EXPECT_EQ(fired, 0);
    t.start(100);  // due 100 ms from now, not from the first start
    time.advance(99);
    EXPECT_EQ(fired, 0);
    time.advance(1);
    EXPECT_EQ(fired, 1);
}

TEST(ManualTimeSource, TickCountWrapsAndLocalTimeCrossesMidnight) {
    LocalDateTime start;
    start.year = 2026;
    start.month = 12;
    start.day = 31;
    start.hour = 23;
    start.minute = 59;
    start.second = 30;
    ManualTimeSource time(start, 0xFFFFFFFFu - 499u);
    time.advance(45'000);
    EXPECT_EQ(time.tickCount(), 45'000u - 500u);
    const LocalDateTime now = time.localNow();
    EXPECT_EQ(now.year, 2027);
    EXPECT_EQ(now.month, 1);
    EXPECT_EQ(now.day, 1);
    EXPECT_EQ(now.hour, 0);
    EXPECT_EQ(now.minute, 0);
    EXPECT_EQ(now.second, 15);
}

}  // namespace
}  // namespace hx350
