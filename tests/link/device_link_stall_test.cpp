// A port that stops taking bytes in the middle of an operation: the rest of the operation is not written,
// so the window is held for one output timeout, not one per byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>

#include "link_fixture.h"
#include "serial/posix_serial_device.h"

namespace hx350 {
namespace {

using test::LinkOnPty;

// The real pseudo-terminal device; the devices below change how it writes.
class ForwardingDevice : public SerialDevice {
  public:
    SerialError open(const std::string& path) override { return real_.open(path); }
    void close() override { real_.close(); }
    bool isOpen() const override { return real_.isOpen(); }
    bool applyLineSettings(const SerialLineSettings& settings) override {
        return real_.applyLineSettings(settings);
    }
    bool purge(bool input, bool output) override { return real_.purge(input, output); }
    bool setQueueSizes(std::uint32_t input, std::uint32_t output) override {
        return real_.setQueueSizes(input, output);
    }
    std::optional<SerialQueueCounts> queueCounts() override { return real_.queueCounts(); }
    SerialIoResult read(std::uint8_t* buffer, std::size_t size) override { return real_.read(buffer, size); }
    std::optional<ModemLineSet> modemLines() override { return real_.modemLines(); }
    bool hungUp() const override { return real_.hungUp(); }
    const SerialError& lastError() const override { return real_.lastError(); }

  protected:
    PosixSerialDevice real_;
};

// The real pseudo-terminal device, except that once stalled it takes no byte and reports at once that
// waiting would not help (as after the whole output timeout passed in vain).
class StallingDevice final : public ForwardingDevice {
  public:
    StallingDevice(std::shared_ptr<bool> stalled, std::shared_ptr<int> refused)
        : stalled_(std::move(stalled)), refused_(std::move(refused)) {}
    SerialIoResult write(const std::uint8_t* data, std::size_t size) override {
        if (!*stalled_) return real_.write(data, size);
        ++*refused_;
        return {SerialIoResult::Status::WouldBlock, 0, 0};
    }
    bool waitWritable(std::uint32_t timeout_ms) override {
        return *stalled_ ? false : real_.waitWritable(timeout_ms);
    }

  private:
    std::shared_ptr<bool> stalled_;
    std::shared_ptr<int> refused_;
};

// The switches of the device, made before the fixture's base (which takes the device) is built.
struct StallSwitches {
    std::shared_ptr<bool> stalled_ = std::make_shared<bool>(false);
    std::shared_ptr<int> refused_ = std::make_shared<int>(0);
};

class StalledLink : protected StallSwitches, public LinkOnPty {
  protected:
    StalledLink() : LinkOnPty(test::noon(), std::make_unique<StallingDevice>(stalled_, refused_)) {}
};

TEST_F(StalledLink, PduReleaseStopsAtTheFirstRefusedByte) {
    window_.sms_mode = true;
    link_.sendModuleCommand("GETST");
    EXPECT_EQ(wire(), "AT+CMGS=16\r");
    *stalled_ = true;
    answer("> ");
    EXPECT_EQ(*refused_, 1);
    *stalled_ = false;
    EXPECT_EQ(wire(), "");
    // The exchange goes on as after a written PDU: the phone's next answer ends it.
    EXPECT_TRUE(state().pdu_sent);
    EXPECT_FALSE(state().sms_sending_busy);
}

TEST_F(StalledLink, FrameStopsAtTheFirstRefusedWrite) {
    *stalled_ = true;
    link_.ReadStateClick();
    EXPECT_EQ(*refused_, 1);
    link_.SendStrings("ABCDEFGH", 8);
    EXPECT_EQ(*refused_, 2);
    window_.sms_mode = true;
    link_.SetCMGF();
    link_.state().sms_sending_busy = false;
    link_.SendCMGL("AT+CMGL=1");
    EXPECT_EQ(*refused_, 4);
    *stalled_ = false;
    EXPECT_EQ(wire(), "");
}

// A peer that takes one byte every 1.4 s, just inside the output timeout of 1.5 s: the real terminal,
// except that after each byte it takes no more until the driver has waited 1.4 s for it (which moves the
// hand-driven clock as the wait would).
class TrickleDevice final : public ForwardingDevice {
  public:
    TrickleDevice(std::shared_ptr<bool> slow, std::shared_ptr<ManualTimeSource*> time)
        : slow_(std::move(slow)), time_(std::move(time)) {}
    SerialIoResult write(const std::uint8_t* data, std::size_t size) override {
        if (!*slow_) return real_.write(data, size);
        if (!ready_) return {SerialIoResult::Status::WouldBlock, 0, 0};
        ready_ = false;
        return real_.write(data, 1);
    }
    bool waitWritable(std::uint32_t timeout_ms) override {
        if (!*slow_) return real_.waitWritable(timeout_ms);
        const std::uint32_t wait = std::min<std::uint32_t>(timeout_ms, kByteMs);
        (*time_)->skip(wait);
        ready_ = wait == kByteMs;
        return ready_;
    }

    static constexpr std::uint32_t kByteMs = 1400;

  private:
    std::shared_ptr<bool> slow_;
    std::shared_ptr<ManualTimeSource*> time_;
    bool ready_ = true;
};

struct TrickleSwitches {
    std::shared_ptr<bool> slow_ = std::make_shared<bool>(false);
    std::shared_ptr<ManualTimeSource*> clock_ = std::make_shared<ManualTimeSource*>(nullptr);
};

class TrickleLink : protected TrickleSwitches, public LinkOnPty {
  protected:
    TrickleLink() : LinkOnPty(test::noon(), std::make_unique<TrickleDevice>(slow_, clock_)) {
        *clock_ = &time_;
    }
};

// Each write operation has one deadline, its output timeout, however the peer spaces its bytes.
TEST_F(TrickleLink, OneDeadlinePerWriteOperation) {
    struct Row {
        const char* name;
        std::function<void()> operation;
        std::uint16_t timeout_ms;
    };
    const Row rows[] = {
        {"Write",
         [this] {
             const std::string bytes(40, 'x');
             driver_.WriteData(reinterpret_cast<const std::uint8_t*>(bytes.data()), 40);
         },
         1500},
        {"WriteTakingSeveralBytes",
         [this] {
             const std::string bytes(40, 'x');
             driver_.WriteData(reinterpret_cast<const std::uint8_t*>(bytes.data()), 40);
         },
         5000},
        {"CommandByteByByte", [this] { link_.SendStrings(std::string(40, 'y'), 40); }, 1500},
        {"PduRelease",
         [this] {
             window_.sms_mode = true;
             *slow_ = false;
             link_.sendModuleCommand("GETST");
             wire();
             *slow_ = true;
             answer("> ");  // releases the PDU: 32 digits and Ctrl-Z
         },
         1500},
    };
    for (const Row& row : rows) {
        *slow_ = true;
        driver_.SetOutputTimeout(row.timeout_ms);
        const std::uint64_t before = time_.elapsedSinceStart();
        row.operation();
        const std::uint64_t spent = time_.elapsedSinceStart() - before;
        *slow_ = false;
        EXPECT_LE(spent, row.timeout_ms) << row.name;
        EXPECT_LE(wire().size(), row.timeout_ms / TrickleDevice::kByteMs + 1) << row.name;
    }
}

}  // namespace
}  // namespace hx350
