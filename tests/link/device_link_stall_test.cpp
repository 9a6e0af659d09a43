// A port that stops taking bytes in the middle of an operation: the rest of the operation is not written,
// so the window is held for one output timeout, not one per byte.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "link_fixture.h"
#include "serial/posix_serial_device.h"

namespace hx350 {
namespace {

using test::LinkOnPty;

// The real pseudo-terminal device, except that once stalled it takes no byte and reports at once that
// waiting would not help (as after the whole output timeout passed in vain).
class StallingDevice final : public SerialDevice {
  public:
    StallingDevice(std::shared_ptr<bool> stalled, std::shared_ptr<int> refused)
        : stalled_(std::move(stalled)), refused_(std::move(refused)) {}
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
    SerialIoResult write(const std::uint8_t* data, std::size_t size) override {
        if (!*stalled_) return real_.write(data, size);
        ++*refused_;
        return {SerialIoResult::Status::WouldBlock, 0, 0};
    }
    bool waitWritable(std::uint32_t timeout_ms) override {
        return *stalled_ ? false : real_.waitWritable(timeout_ms);
    }
    std::optional<ModemLineSet> modemLines() override { return real_.modemLines(); }
    bool hungUp() const override { return real_.hungUp(); }
    const SerialError& lastError() const override { return real_.lastError(); }

  private:
    std::shared_ptr<bool> stalled_;
    std::shared_ptr<int> refused_;
    PosixSerialDevice real_;
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

}  // namespace
}  // namespace hx350
