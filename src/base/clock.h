// Time seams: a 32-bit millisecond tick counter with the local date and time, and periodic timers.
//
// Everything in the tool that depends on time (write timeouts, packet timing, the one-second exchange
// timer, the nightly command) reads it through these interfaces, so tests can drive a whole simulated
// night in microseconds and the window can plug in its toolkit's timers.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace hx350 {

/// Local calendar date and time of day, as the PC's clock shows it.
struct LocalDateTime {
    int year = 2000;             ///< four digits
    int month = 1;               ///< 1..12
    int day = 1;                 ///< 1..31
    int hour = 0;                ///< 0..23
    int minute = 0;              ///< 0..59
    int second = 0;              ///< 0..59
    int utc_offset_minutes = 0;  ///< local time minus UTC

    int secondsOfDay() const { return hour * 3600 + minute * 60 + second; }
};

/// Source of time. tickCount() wraps after about 49.7 days; compare ticks with elapsedMs().
class Clock {
  public:
    virtual ~Clock() = default;
    /// Milliseconds since an arbitrary origin, modulo 2^32.
    virtual std::uint32_t tickCount() const = 0;
    /// The local date and time now.
    virtual LocalDateTime localNow() const = 0;
};

/// Milliseconds from `earlier` to `later`, correct across one wrap of the 32-bit counter.
constexpr std::uint32_t elapsedMs(std::uint32_t earlier, std::uint32_t later) {
    return later - earlier;
}

/// The machine's monotonic clock and its local time zone.
class SystemClock final : public Clock {
  public:
    std::uint32_t tickCount() const override;
    LocalDateTime localNow() const override;
};

/// A periodic timer on the thread that owns it. start() while running restarts it with the new period.
class Timer {
  public:
    using Callback = std::function<void()>;
    virtual ~Timer() = default;
    virtual void start(std::uint32_t period_ms) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
    virtual std::uint32_t period() const = 0;
    void setCallback(Callback callback) { callback_ = std::move(callback); }

  protected:
    void fire() {
        if (callback_) callback_();
    }

  private:
    Callback callback_;
};

class ManualTimeSource;

/// A timer that fires only when a test (or a ManualTimeSource) says so.
class ManualTimer final : public Timer {
  public:
    ManualTimer() = default;
    void start(std::uint32_t period_ms) override;
    void stop() override { active_ = false; }
    bool isActive() const override { return active_; }
    std::uint32_t period() const override { return period_; }
    /// Runs the callback once if the timer is active; returns whether it ran.
    bool trigger();
    /// How often the callback ran.
    std::uint64_t fireCount() const { return fire_count_; }

  private:
    friend class ManualTimeSource;
    bool active_ = false;
    std::uint32_t period_ = 0;
    std::uint64_t due_ms_ = 0;  // used by ManualTimeSource
    std::uint64_t fire_count_ = 0;
    ManualTimeSource* source_ = nullptr;
};

/// Hand-driven time: a clock plus the timers made from it. advance() moves time forward and fires every
/// timer that falls due, in time order, as an event loop would. Ticks start at `start_tick` so tests can
/// begin just before the 32-bit wrap.
class ManualTimeSource final : public Clock {
  public:
    explicit ManualTimeSource(LocalDateTime start = {}, std::uint32_t start_tick = 0);
    std::uint32_t tickCount() const override { return static_cast<std::uint32_t>(start_tick_ + now_ms_); }
    LocalDateTime localNow() const override;
    /// A new timer driven by this source; the source keeps it alive.
    ManualTimer& makeTimer();
    /// Moves time forward by `ms`, firing due timers at their due times.
    void advance(std::uint64_t ms);
    /// Moves the clock without firing anything (time that passed while the thread was blocked).
    void skip(std::uint64_t ms) { now_ms_ += ms; }
    std::uint64_t elapsedSinceStart() const { return now_ms_; }

  private:
    friend class ManualTimer;
    void scheduled(ManualTimer& timer);
    LocalDateTime start_;
    std::uint32_t start_tick_;
    std::uint64_t now_ms_ = 0;
    std::vector<std::unique_ptr<ManualTimer>> timers_;
};

}  // namespace hx350
