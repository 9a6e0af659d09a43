// A small event loop for programs without a window toolkit: periodic timers on the machine's monotonic
// clock, run on the calling thread. The serial driver polls its device from its own timers, so timers are
// all such a program needs to drive the form as the window's event loop would.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "base/clock.h"

namespace hx350 {

class EventLoop;

/// A periodic timer of an EventLoop. A callback that falls behind (a blocking write) runs once when it is
/// late, then keeps its period from then on: ticks are never bunched up to catch up.
class LoopTimer final : public Timer {
  public:
    void start(std::uint32_t period_ms) override;
    void stop() override { active_ = false; }
    bool isActive() const override { return active_; }
    std::uint32_t period() const override { return period_; }

  private:
    friend class EventLoop;
    explicit LoopTimer(EventLoop& loop) : loop_(loop) {}
    EventLoop& loop_;
    bool active_ = false;
    std::uint32_t period_ = 0;
    std::uint32_t due_ = 0;  ///< tick count of the next run
};

class EventLoop {
  public:
    /// `clock`: the tick counter the timers follow; must outlive the loop.
    explicit EventLoop(const Clock& clock) : clock_(clock) {}
    EventLoop(const EventLoop&) = delete;
    EventLoop& operator=(const EventLoop&) = delete;

    /// A new timer of this loop; the loop keeps it alive.
    LoopTimer& makeTimer();

    /// Runs due timers, sleeping until the next one is due, until `done` returns true (checked after each
    /// timer run and at the start) or `limit_ms` have passed. Result: whether `done` became true.
    bool runUntil(const std::function<bool()>& done, std::uint32_t limit_ms);

    const Clock& clock() const { return clock_; }

  private:
    friend class LoopTimer;
    const Clock& clock_;
    std::vector<std::unique_ptr<LoopTimer>> timers_;
};

}  // namespace hx350
