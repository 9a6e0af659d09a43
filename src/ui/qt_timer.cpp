#include "ui/qt_timer.h"

#include <limits>

namespace hx350::ui {

QtTimer::QtTimer() {
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] { fire(); });
}

void QtTimer::start(std::uint32_t period_ms) {
    period_ = period_ms;
    // QTimer takes an int; a period beyond it is weeks long and is capped.
    constexpr auto kMax = static_cast<std::uint32_t>(std::numeric_limits<int>::max());
    timer_.start(static_cast<int>(period_ms > kMax ? kMax : period_ms));
}

void QtTimer::stop() {
    timer_.stop();
}

bool QtTimer::isActive() const {
    return timer_.isActive();
}

}  // namespace hx350::ui
