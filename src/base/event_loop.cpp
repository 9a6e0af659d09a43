#include "base/event_loop.h"

#include <poll.h>

#include <algorithm>

namespace hx350 {

void LoopTimer::start(std::uint32_t period_ms) {
    active_ = true;
    period_ = std::max<std::uint32_t>(period_ms, 1);
    due_ = loop_.clock_.tickCount() + period_;
}

LoopTimer& EventLoop::makeTimer() {
    timers_.push_back(std::unique_ptr<LoopTimer>(new LoopTimer(*this)));
    return *timers_.back();
}

bool EventLoop::runUntil(const std::function<bool()>& done, std::uint32_t limit_ms) {
    const std::uint32_t start = clock_.tickCount();
    while (!done()) {
        const std::uint32_t now = clock_.tickCount();
        const std::uint32_t spent = elapsedMs(start, now);
        if (spent >= limit_ms) return false;
        // The earliest due timer; ticks are compared as distances from now, which is safe across the wrap.
        LoopTimer* next = nullptr;
        std::uint32_t wait = limit_ms - spent;
        for (const auto& timer : timers_) {
            if (!timer->active_) continue;
            const auto ahead = static_cast<std::int32_t>(timer->due_ - now);
            const std::uint32_t in = ahead > 0 ? static_cast<std::uint32_t>(ahead) : 0;
            if (in < wait || (next == nullptr && in == wait)) {
                next = timer.get();
                wait = in;
            }
        }
        if (wait > 0) {
            ::poll(nullptr, 0, static_cast<int>(wait));
            continue;
        }
        if (next == nullptr) continue;
        next->due_ = clock_.tickCount() + next->period_;
        next->fire();
    }
    return true;
}

}  // namespace hx350
