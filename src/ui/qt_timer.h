// The core's periodic Timer seam over a QTimer of the user-interface thread.
#pragma once

#include <QTimer>
#include <cstdint>

#include "base/clock.h"

namespace hx350::ui {

/// A Timer that fires on the thread that created it, through its event loop (so it keeps firing inside
/// the nested loop of a modal message box). start() while running restarts it with the new period.
class QtTimer final : public Timer {
  public:
    QtTimer();
    QtTimer(const QtTimer&) = delete;
    QtTimer& operator=(const QtTimer&) = delete;

    /// Starts (or restarts) the timer; `period_ms` 0 fires at every pass of the event loop.
    void start(std::uint32_t period_ms) override;
    void stop() override;
    bool isActive() const override;
    /// The period of the last start(), 0 before the first.
    std::uint32_t period() const override { return period_; }

  private:
    QTimer timer_;
    std::uint32_t period_ = 0;
};

}  // namespace hx350::ui
