// The event loop of programs without a window: timers run at their periods on the real clock, a stopped
// timer stays quiet, and the loop gives up at its limit.
#include <gtest/gtest.h>

#include "base/event_loop.h"

namespace hx350 {
namespace {

TEST(EventLoop, RunsTimersAtTheirPeriodsUntilDoneOrTheLimit) {
    const SystemClock clock;
    EventLoop loop(clock);
    LoopTimer& fast = loop.makeTimer();
    LoopTimer& stopped = loop.makeTimer();
    int fast_runs = 0;
    int stopped_runs = 0;
    fast.setCallback([&] { ++fast_runs; });
    stopped.setCallback([&] { ++stopped_runs; });
    fast.start(10);
    stopped.start(5);
    stopped.stop();

    const std::uint32_t start = clock.tickCount();
    EXPECT_TRUE(loop.runUntil([&] { return fast_runs == 3; }, 1000));
    const std::uint32_t took = elapsedMs(start, clock.tickCount());
    EXPECT_GE(took, 29u);
    EXPECT_LT(took, 300u);
    EXPECT_EQ(stopped_runs, 0);

    const std::uint32_t again = clock.tickCount();
    EXPECT_FALSE(loop.runUntil([] { return false; }, 50));
    EXPECT_GE(elapsedMs(again, clock.tickCount()), 50u);
    EXPECT_GE(fast_runs, 7);  // it kept running while the loop waited for nothing
}

}  // namespace
}  // namespace hx350
