// Fuzzes the device link's receive path: batch after batch of whatever the far end sends, in direct mode
// and in SMS mode, interleaved with the operations that put the exchange into each of its states (AT+CMGS
// out and the prompt awaited, a listing requested, console queries armed), with ticks of Timer1 and the
// clock crossing midnight.
//
// The input is a program. Its first byte picks the mode, "Skip CR/LF", the page shown, whether there is a
// module number and whether the port is open; then each
// operation is one byte, followed by its operands:
//   op % 8 == 0, 1, 2  a batch: one length byte, then that many bytes (fewer when the input ends); when
//                      op >= 0x80 a long batch instead: the length byte times 32 (up to 8 KiB), filled by
//                      repeating the 1 to 64 bytes that follow (a second byte says how many)
//   op % 8 == 3        one tick of Timer1
//   op % 8 == 4        a module command through SendSMS (one byte picks it); SMS mode awaits the prompt
//   op % 8 == 5        a listing request (AT+CMGL=1 or =0)
//   op % 8 == 6        a console operation (one byte picks it), arming its query flag
//   op % 8 == 7        a window, clock or device change (one byte picks it and carries its value)
//
// The open port is a device in memory that takes every byte at once (a pseudo-terminal would cost a
// system call per byte written and keep the run to a few hundred inputs a second); a window change can
// make it stall, so the paths where a write times out are fuzzed too. The closed port is a driver that
// was never connected (an adapter that is gone): every write fails at once.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/clock.h"
#include "fake_link_window.h"
#include "link/device_link.h"
#include "serial/comm_port_driver.h"
#include "serial/serial_device.h"

namespace {

// Time that moves one millisecond each time it is read, so a write that cannot finish still reaches its
// timeout, and that starts over at the same moment for every input so runs are reproducible.
class FuzzClock final : public hx350::Clock {
  public:
    void reset(std::uint64_t start_ms) {
        start_ms_ = start_ms;
        elapsed_ms_ = 0;
    }
    void advance(std::uint64_t ms) { elapsed_ms_ += ms; }
    std::uint32_t tickCount() const override {
        ++elapsed_ms_;
        return static_cast<std::uint32_t>(0xFFFF0000u + elapsed_ms_);  // wraps within a minute
    }
    hx350::LocalDateTime localNow() const override {
        const std::uint64_t seconds = (start_ms_ + elapsed_ms_) / 1000;
        hx350::LocalDateTime t{2026, 12, 7, 0, 0, 0, 60};
        const std::uint64_t day_seconds = seconds % 86400;
        t.day += static_cast<int>(seconds / 86400 % 20);
        t.hour = static_cast<int>(day_seconds / 3600);
        t.minute = static_cast<int>(day_seconds / 60 % 60);
        t.second = static_cast<int>(day_seconds % 60);
        return t;
    }

  private:
    std::uint64_t start_ms_ = 0;
    mutable std::uint64_t elapsed_ms_ = 0;
};

// A device that is always there and takes everything written, unless stalled; it never has anything to
// read (batches are handed to the receive handler directly).
class MemoryDevice final : public hx350::SerialDevice {
  public:
    explicit MemoryDevice(const bool& stalled) : stalled_(stalled) {}
    hx350::SerialError open(const std::string&) override {
        open_ = true;
        return {};
    }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    bool applyLineSettings(const hx350::SerialLineSettings&) override { return open_; }
    bool purge(bool, bool) override { return open_; }
    bool setQueueSizes(std::uint32_t, std::uint32_t) override { return open_; }
    std::optional<hx350::SerialQueueCounts> queueCounts() override {
        if (!open_) return std::nullopt;
        return hx350::SerialQueueCounts{};
    }
    hx350::SerialIoResult read(std::uint8_t*, std::size_t) override { return {}; }
    hx350::SerialIoResult write(const std::uint8_t*, std::size_t size) override {
        if (stalled_) return {hx350::SerialIoResult::Status::WouldBlock, 0, 0};
        written_ += size;
        return {hx350::SerialIoResult::Status::Ok, size, 0};
    }
    bool waitWritable(std::uint32_t) override { return open_ && !stalled_; }
    std::optional<hx350::ModemLineSet> modemLines() override { return std::nullopt; }
    bool hungUp() const override { return false; }
    const hx350::SerialError& lastError() const override { return error_; }

  private:
    const bool& stalled_;
    bool open_ = false;
    std::size_t written_ = 0;
    hx350::SerialError error_;
};

struct Port {
    Port() : driver(std::make_unique<MemoryDevice>(stalled), poll_timer, clock) {
        driver.SetPortName("/dev/ttyFUZZ0");
        if (!driver.Connect()) std::abort();
    }

    bool stalled = false;
    FuzzClock clock;
    hx350::ManualTimer poll_timer;
    hx350::ManualTimer timer1;
    hx350::TCommPortDriver driver;
    hx350::ManualTimer closed_poll_timer;
    hx350::TCommPortDriver closed{nullptr, closed_poll_timer, clock};
};

Port* port = nullptr;

// Period of Timer1.
constexpr std::uint32_t kTickMs = 1000;

// Module commands as the pages send them.
constexpr std::array<std::string_view, 8> kCommands = {
    "GETST", "GETTX05", "GETTI12", "SETNN3 +4917012345", "GETMH", "SETTX01Alarm input 1", "GETNN", "  OK"};

class Input {
  public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return at_ >= size_; }
    std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    std::string_view bytes(std::size_t count) {
        if (count > size_ - at_) count = size_ - at_;
        const std::string_view out(reinterpret_cast<const char*>(data_ + at_), count);
        at_ += count;
        return out;
    }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

void console(hx350::DeviceLink& link, std::uint8_t which) {
    switch (which % 15) {
        case 0:
            link.GetHersteller();
            break;
        case 1:
            link.GetModel();
            break;
        case 2:
            link.GetCharSetClick();
            break;
        case 3:
            link.GetDateTime();
            break;
        case 4:
            link.SetCMEE();
            break;
        case 5:
            link.SetCMGF();
            break;
        case 6:
            link.SetCMGL1();
            break;
        case 7:
            link.SqualityClick();
            break;
        case 8:
            link.ReadAllParameterClick();
            break;
        case 9:
            link.ReadStateClick();
            break;
        case 10:
            link.ConnectBtnClick();
            break;
        case 11:
            link.TestBtnClick();
            break;
        case 12:
            link.ClearBtnClick();
            break;
        case 13:
            link.Clear();
            break;
        default:
            link.resetExchangeState();
            break;
    }
}

void change(hx350::DeviceLink& link, hx350::test::FakeLinkWindow& window, std::uint8_t value) {
    switch (value % 6) {
        case 0:  // "SMS mode" clicked
            window.sms_mode = !window.sms_mode;
            link.SMSmodeClick();
            break;
        case 1:  // "Skip CR/LF" clicked
            window.skip_crlf = !window.skip_crlf;
            link.SkipCRLFcbClick();
            break;
        case 2:  // another page
            window.page = value / 5 % 16;
            break;
        case 3:  // to just before the nightly command
            port->clock.reset((24 * 3600 + 2 * 60 - 3) * 1000ull);
            break;
        case 4:  // the clock moves on by up to about an hour
            port->clock.advance(std::uint64_t{value} * 15000);
            break;
        default:  // the far end stops taking bytes, or takes them again
            port->stalled = !port->stalled;
            break;
    }
}

// What must hold after every operation, whatever came in.
void check(const hx350::DeviceLink& link) {
    const hx350::LinkState& s = link.state();
    if (s.query_step < 0 || s.query_step > 7 || s.watchdog_count < 0 || s.listing_count < 0 ||
        s.exchange_silent_ticks < 0)
        std::abort();
    // A stored PDU is hexadecimal digits and one NUL, or nothing.
    if (!s.stored_pdu.empty() && s.stored_pdu.back() != '\0') std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    port = new Port;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    port->clock.reset(12 * 3600 * 1000ull);
    port->stalled = false;

    Input in(data, size);
    const std::uint8_t setup = in.byte();
    hx350::test::FakeLinkWindow window;
    hx350::DeviceLink link((setup & 0x80) != 0 ? port->closed : port->driver, port->clock, port->timer1,
                           window);
    window.on_skip_click = [&link] { link.SkipCRLFcbClick(); };
    // A message box runs a nested event loop: Timer1 goes on ticking while it is open.
    window.services.while_open = [] { port->timer1.trigger(); };
    port->timer1.start(kTickMs);

    window.sms_mode = (setup & 1) != 0;
    window.skip_crlf = (setup & 2) != 0;
    window.page = setup >> 2 & 15;
    if ((setup & 0x40) != 0) window.br_number = "";  // no module number: no PDU can be built
    link.resetExchangeState();

    while (!in.empty()) {
        const std::uint8_t op = in.byte();
        switch (op % 8) {
            case 0:
            case 1:
            case 2: {
                const std::size_t length = in.byte();
                std::string batch;
                if (op >= 0x80) {
                    const std::string_view pattern = in.bytes(in.byte() % 64 + 1);
                    while (!pattern.empty() && batch.size() < length * 32)
                        batch += pattern;
                    batch.resize(pattern.empty() ? 0 : length * 32);
                } else {
                    batch = in.bytes(length);
                }
                link.CommPortDriver1ReceiveData(reinterpret_cast<const std::uint8_t*>(batch.data()),
                                                static_cast<std::uint32_t>(batch.size()));
                break;
            }
            case 3:
                port->clock.advance(kTickMs);
                port->timer1.trigger();
                break;
            case 4:
                (void)link.SendSMS(kCommands[in.byte() % kCommands.size()]);
                break;
            case 5:
                link.SendCMGL((op & 0x80) != 0 ? "AT+CMGL=0" : "AT+CMGL=1");
                break;
            case 6:
                console(link, in.byte());
                break;
            default:
                change(link, window, in.byte());
                break;
        }
        check(link);
    }
    port->timer1.stop();
    return 0;
}
