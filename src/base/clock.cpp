#include "base/clock.h"

#include <ctime>

#include <algorithm>
#include <chrono>

namespace hx350 {

std::uint32_t SystemClock::tickCount() const {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

namespace {
LocalDateTime fromTm(const std::tm& tm) {
    LocalDateTime t;
    t.year = tm.tm_year + 1900;
    t.month = tm.tm_mon + 1;
    t.day = tm.tm_mday;
    t.hour = tm.tm_hour;
    t.minute = tm.tm_min;
    t.second = std::min(tm.tm_sec, 59);  // a leap second shows as :59
    t.utc_offset_minutes = static_cast<int>(tm.tm_gmtoff / 60);
    return t;
}
}  // namespace

LocalDateTime SystemClock::localNow() const {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    return fromTm(tm);
}

void ManualTimer::start(std::uint32_t period_ms) {
    active_ = true;
    period_ = period_ms;
    if (source_ != nullptr) source_->scheduled(*this);
}

bool ManualTimer::trigger() {
    if (!active_) return false;
    ++fire_count_;
    fire();
    return true;
}

ManualTimeSource::ManualTimeSource(LocalDateTime start, std::uint32_t start_tick)
    : start_(start), start_tick_(start_tick) {}

LocalDateTime ManualTimeSource::localNow() const {
    std::tm tm{};
    tm.tm_year = start_.year - 1900;
    tm.tm_mon = start_.month - 1;
    tm.tm_mday = start_.day;
    tm.tm_hour = start_.hour;
    tm.tm_min = start_.minute;
    tm.tm_sec = start_.second + static_cast<int>(now_ms_ / 1000);
    // timegm normalises the overflowing seconds into a real calendar date without any time zone.
    const std::time_t t = timegm(&tm);
    std::tm out{};
    gmtime_r(&t, &out);
    LocalDateTime result = fromTm(out);
    result.utc_offset_minutes = start_.utc_offset_minutes;
    return result;
}

ManualTimer& ManualTimeSource::makeTimer() {
    timers_.push_back(std::make_unique<ManualTimer>());
    timers_.back()->source_ = this;
    return *timers_.back();
}

void ManualTimeSource::scheduled(ManualTimer& timer) {
    timer.due_ms_ = now_ms_ + std::max<std::uint32_t>(timer.period_, 1);
}

void ManualTimeSource::advance(std::uint64_t ms) {
    const std::uint64_t end = now_ms_ + ms;
    for (;;) {
        ManualTimer* next = nullptr;
        for (auto& t : timers_) {
            if (t->active_ && t->due_ms_ <= end && (next == nullptr || t->due_ms_ < next->due_ms_))
                next = t.get();
        }
        if (next == nullptr) break;
        now_ms_ = std::max(now_ms_, next->due_ms_);
        next->due_ms_ = now_ms_ + std::max<std::uint32_t>(next->period_, 1);
        next->trigger();
    }
    now_ms_ = end;
}

}  // namespace hx350
