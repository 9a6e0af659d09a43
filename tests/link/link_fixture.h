// The device link on a real pseudo-terminal: the test plays the module or the phone on the primary side,
// drives the driver's poll and Timer1 by hand, and reads back what the link wrote.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <string>

#include "base/clock.h"
#include "fake_link_window.h"
#include "link/device_link.h"
#include "serial/comm_port_driver.h"
#include "support/pty_pair.h"

namespace hx350::test {

inline LocalDateTime noon() {
    return LocalDateTime{2026, 12, 7, 12, 0, 0, 0};
}

class LinkOnPty : public ::testing::Test {
  protected:
    explicit LinkOnPty(LocalDateTime start = noon(), std::unique_ptr<SerialDevice> device = nullptr)
        : time_(start),
          poll_(time_.makeTimer()),
          timer1_(time_.makeTimer()),
          driver_(std::move(device), poll_, time_),
          link_(driver_, time_, timer1_, window_) {
        window_.on_skip_click = [this] { link_.SkipCRLFcbClick(); };
    }

    void SetUp() override {
        ASSERT_TRUE(pty_.ok());
        driver_.SetPortName(pty_.secondaryPath());
        driver_.SetPollingDelay(5000);
        ASSERT_TRUE(driver_.Connect());
        timer1_.start(1000);
    }

    /// Everything the link wrote since the last read (waits until nothing has come for 20 ms).
    std::string wire() { return pty_.drainPrimary(Millis(20)); }

    /// Whatever the primary side holds now, without waiting.
    std::string waitingOnWire() {
        std::string out;
        char buf[4096];
        for (;;) {
            const ssize_t n = ::read(pty_.primaryFd(), buf, sizeof buf);
            if (n > 0) {
                out.append(buf, static_cast<std::size_t>(n));
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            return out;
        }
    }

    /// The far end sends `bytes`; the driver's next poll delivers them as one batch.
    void answer(const std::string& bytes) {
        const std::size_t before = pty_.secondaryInputCount();
        ASSERT_TRUE(pty_.writePrimary(bytes));
        ASSERT_TRUE(pty_.waitSecondaryInput(before + bytes.size()));
        driver_.PollTick();
    }

    /// `count` ticks of Timer1 (without moving the clock).
    void tick(int count = 1) {
        for (int i = 0; i < count; ++i)
            timer1_.trigger();
    }

    const LinkState& state() const { return link_.state(); }

    PtyPair pty_;
    ManualTimeSource time_;
    ManualTimer& poll_;
    ManualTimer& timer1_;
    TCommPortDriver driver_;
    FakeLinkWindow window_;
    DeviceLink link_;
};

}  // namespace hx350::test
