#include "serial/comm_port_driver.h"

#include <algorithm>
#include <array>
#include <cerrno>

#include "serial/posix_serial_device.h"

namespace hx350 {

namespace {

constexpr std::array<std::uint32_t, 16> kStandardRates = {
    0, 110, 300, 600, 1200, 2400, 4800, 9600, 14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000,
};

}  // namespace

std::uint32_t baudRateValueOf(TBaudRate rate) {
    const auto index = static_cast<std::size_t>(rate);
    return index < kStandardRates.size() ? kStandardRates[index] : 0;
}

TBaudRate baudRateOf(std::uint32_t value) {
    for (std::size_t i = 1; i < kStandardRates.size(); ++i)
        if (kStandardRates[i] == value) return static_cast<TBaudRate>(i);
    return brCustom;
}

TCommPortDriver::TCommPortDriver(std::unique_ptr<SerialDevice> device, Timer& poll_timer, const Clock& clock,
                                 PortPathLookup port_path)
    : device_(device ? std::move(device) : std::make_unique<PosixSerialDevice>()),
      poll_timer_(poll_timer),
      clock_(clock),
      port_path_(std::move(port_path)),
      receive_buffer_(in_buf_size_, 0) {
    if (port_path_) port_name_ = port_path_(static_cast<int>(port_));
    poll_timer_.setCallback([this] { PollTick(); });
}

TCommPortDriver::~TCommPortDriver() {
    Disconnect();
    poll_timer_.setCallback({});
    if (watch_ != nullptr) watch_->setCallback({});
}

// ---- Properties

void TCommPortDriver::SetPort(TPortNumber value) {
    if (IsConnected()) return;
    port_ = value;
    if (value != pnCustom) port_name_ = port_path_ ? port_path_(static_cast<int>(value)) : std::string();
}

void TCommPortDriver::SetPortName(const std::string& value) {
    if (IsConnected()) return;
    port_name_ = value;
    port_ = pnCustom;
}

void TCommPortDriver::SetBaudRate(TBaudRate value) {
    baud_rate_ = value;
    if (value != brCustom) baud_rate_value_ = baudRateValueOf(value);
    if (IsConnected()) ApplyLineSettings();
}

void TCommPortDriver::SetBaudRateValue(std::uint32_t value) {
    baud_rate_ = brCustom;
    baud_rate_value_ = value;
    if (IsConnected()) ApplyLineSettings();
}

void TCommPortDriver::SetDataBits(TDataBits value) {
    data_bits_ = value;
    if (IsConnected()) ApplyLineSettings();
}

void TCommPortDriver::SetStopBits(TStopBits value) {
    stop_bits_ = value;
    if (IsConnected()) ApplyLineSettings();
}

void TCommPortDriver::SetParity(TParity value) {
    parity_ = value;
    if (IsConnected()) ApplyLineSettings();
}

void TCommPortDriver::SetHwFlow(THwFlowControl value) {
    hw_flow_ = value;
    if (IsConnected()) ApplyLineSettings();
}

void TCommPortDriver::SetSwFlow(TSwFlowControl value) {
    sw_flow_ = value;
    if (IsConnected()) ApplyLineSettings();
}

void TCommPortDriver::SetInBufSize(std::uint32_t value) {
    if (IsConnected()) return;
    in_buf_size_ = std::clamp(value, kMinBufSize, kMaxBufSize);
    receive_buffer_.assign(in_buf_size_, 0);
    SetPacketSize(packet_size_);
}

void TCommPortDriver::SetOutBufSize(std::uint32_t value) {
    if (IsConnected()) return;
    out_buf_size_ = std::clamp(value, kMinBufSize, kMaxBufSize);
}

void TCommPortDriver::SetPacketSize(std::int16_t value) {
    if (value <= 0) {
        packet_size_ = -1;
        return;
    }
    packet_size_ = std::min(value, kMaxPacketSize);
    // While open the buffer cannot grow; PollTick then reads at most a buffer's worth per packet.
    if (static_cast<std::uint32_t>(packet_size_) > in_buf_size_)
        SetInBufSize(static_cast<std::uint32_t>(packet_size_));
}

void TCommPortDriver::SetPacketTimeout(std::int32_t value) {
    if (value < 1)
        packet_timeout_ = -1;
    else if (value < polling_delay_)
        packet_timeout_ = polling_delay_ + polling_delay_ * 40 / 100;
    else
        packet_timeout_ = value;
}

void TCommPortDriver::SetPollingDelay(std::uint16_t value) {
    value = std::max(value, kMinPollingDelay);
    if (value == polling_delay_) return;
    const bool running = IsConnected();
    if (running) poll_timer_.stop();
    polling_delay_ = value;
    if (running) poll_timer_.start(polling_delay_);
    SetPacketTimeout(packet_timeout_);
}

// ---- Operations

bool TCommPortDriver::IsConnected() const {
    return device_->isOpen();
}

bool TCommPortDriver::HungUp() const {
    return IsConnected() && device_->hungUp();
}

bool TCommPortDriver::Connect() {
    if (IsConnected()) return true;
    const SerialError opened = device_->open(port_name_);
    if (!opened.ok() || !device_->isOpen()) {
        last_error_ = opened;
        if (last_error_.ok()) last_error_ = {SerialErrorKind::Other, 0, port_name_, "open"};
        return false;
    }
    if (!ApplyLineSettings()) {
        const SerialError why = last_error_;
        Disconnect();
        last_error_ = why;
        return false;
    }
    // The platform's read and write timeouts have no counterpart here: the device never blocks in read()
    // or write(), and WriteDataTimed() waits in waitWritable() for a bounded time instead.
    last_error_ = {};
    packet_start_.reset();
    poll_timer_.start(polling_delay_);
    updateWatch();
    return true;
}

void TCommPortDriver::Disconnect() {
    if (!IsConnected()) return;
    poll_timer_.stop();
    device_->close();
    packet_start_.reset();
    updateWatch();
}

// ---- Prompt delivery

void TCommPortDriver::SetQuietGapWatch(Timer* watch) {
    if (watch_ != nullptr) {
        watch_->stop();
        watch_->setCallback({});
    }
    watch_ = watch;
    if (watch_ != nullptr) watch_->setCallback([this] { WatchTick(); });
    updateWatch();
}

void TCommPortDriver::SetPromptDelivery(bool on) {
    prompt_delivery_ = on;
    updateWatch();
}

void TCommPortDriver::updateWatch() {
    burst_count_ = 0;
    if (watch_ == nullptr) return;
    const bool run = prompt_delivery_ && IsConnected();
    if (run && !watch_->isActive()) watch_->start(kQuietGapWatchMs);
    if (!run && watch_->isActive()) watch_->stop();
}

std::uint32_t TCommPortDriver::QuietGapMs() const {
    // A character on the line: start bit, data bits, parity bit, stop bits (1.5 counted as 2).
    const std::uint32_t bits = 1 + (static_cast<std::uint32_t>(data_bits_) + 5) +
                               (parity_ == ptNONE ? 0 : 1) + (stop_bits_ == sb1BITS ? 1 : 2);
    const std::uint32_t rate = std::max<std::uint32_t>(baud_rate_value_, 1);
    const std::uint32_t three_chars_ms = (3 * bits * 1000 + rate - 1) / rate;
    return std::max<std::uint32_t>(25, three_chars_ms + 20);
}

bool TCommPortDriver::burstStillArriving(std::uint32_t waiting, std::uint32_t now) {
    if (waiting != burst_count_) {
        if (burst_count_ == 0) burst_started_ = now;
        burst_count_ = waiting;
        burst_changed_ = now;
        return true;
    }
    return elapsedMs(burst_changed_, now) < QuietGapMs();
}

void TCommPortDriver::WatchTick() {
    if (!IsConnected() || !prompt_delivery_ || packet_size_ >= 0) return;
    const auto counts = device_->queueCounts();
    if (!counts) return;
    const std::uint32_t waiting = counts->input;
    if (waiting == 0) {
        burst_count_ = 0;
        return;
    }
    // A full buffer cannot wait for a pause: hand it on as the poll would.
    if (waiting < in_buf_size_ && burstStillArriving(waiting, clock_.tickCount())) return;
    burst_count_ = 0;
    readAndRaise(std::min(waiting, in_buf_size_), false);
    if (on_prompt_batch_ && IsConnected()) on_prompt_batch_();
}

SerialLineSettings TCommPortDriver::lineSettings() const {
    SerialLineSettings s;
    s.baud_rate = baud_rate_value_;
    s.data_bits = static_cast<int>(data_bits_) + 5;
    static constexpr SerialLineSettings::Parity kParity[] = {
        SerialLineSettings::Parity::None, SerialLineSettings::Parity::Odd, SerialLineSettings::Parity::Even,
        SerialLineSettings::Parity::Mark, SerialLineSettings::Parity::Space};
    s.parity = kParity[std::min<std::size_t>(parity_, 4)];
    static constexpr SerialLineSettings::StopBits kStop[] = {SerialLineSettings::StopBits::One,
                                                             SerialLineSettings::StopBits::OneAndHalf,
                                                             SerialLineSettings::StopBits::Two};
    s.stop_bits = kStop[std::min<std::size_t>(stop_bits_, 2)];
    s.dtr_on = enable_dtr_on_open_;
    s.rts_on = hw_flow_ != hfNONE;
    s.rts_cts = hw_flow_ == hfRTSCTS;
    s.xon_xoff = sw_flow_ == sfXONXOFF;
    s.xon_char = 0x11;
    s.xoff_char = 0x13;
    s.xon_limit = in_buf_size_ / 4;
    s.xoff_limit = in_buf_size_ / 4;
    return s;
}

bool TCommPortDriver::ApplyLineSettings() {
    if (!IsConnected()) return false;
    if (!device_->applyLineSettings(lineSettings()) || !PurgeQueues(true, true) ||
        !device_->setQueueSizes(in_buf_size_, out_buf_size_)) {
        last_error_ = device_->lastError();
        if (last_error_.ok()) last_error_ = {SerialErrorKind::Other, 0, port_name_, "line settings"};
        return false;
    }
    return true;
}

bool TCommPortDriver::PurgeQueues(bool input, bool output) {
    if (!IsConnected()) return false;
    if (!device_->purge(input, output)) return false;
    packet_start_.reset();
    return true;
}

std::optional<std::uint32_t> TCommPortDriver::outputRoom() {
    const auto counts = device_->queueCounts();
    if (!counts) return std::nullopt;
    // A device whose own queue is longer than ours can hold more than OutBufSize: that is no room, not a
    // negative amount that wraps into a huge one.
    return counts->output >= out_buf_size_ ? 0 : out_buf_size_ - counts->output;
}

std::uint16_t TCommPortDriver::OutputFreeSpace() {
    if (!IsConnected()) return 0xFFFF;
    return static_cast<std::uint16_t>(outputRoom().value_or(0));
}

ModemLineSet TCommPortDriver::ModemLineStatus() {
    if (!IsConnected()) return {};
    return device_->modemLines().value_or(ModemLineSet{});
}

std::uint32_t TCommPortDriver::WriteDataTimed(const std::uint8_t* data, std::uint32_t size,
                                              std::uint32_t timeout_ms) {
    if (!IsConnected() || data == nullptr) return 0;
    std::uint32_t written = 0;
    // One deadline for the whole write (or the operation it belongs to): restarting it at every byte
    // let a peer that takes one byte just before each timeout hold the thread for minutes.
    const std::uint32_t start = write_operations_ > 0 ? operation_start_ : clock_.tickCount();
    if (write_operations_ > 0) timeout_ms = operation_timeout_;
    while (written < size) {
        const auto room = outputRoom();
        if (!room) break;  // the device no longer answers: no write can succeed
        if (*room > 0) {
            if (check_line_status_ && ModemLineStatus().empty()) break;
            const std::uint32_t chunk = std::min(size - written, *room);
            const SerialIoResult r = device_->write(data + written, chunk);
            if (r.status == SerialIoResult::Status::Failed) break;  // the device is gone or broken
            if (r.count > 0) {
                written += static_cast<std::uint32_t>(r.count);
                continue;
            }
        }
        // No progress: wait for the device for the rest of the allowance instead of retrying at once.
        const std::uint32_t passed = elapsedMs(start, clock_.tickCount());
        if (passed > timeout_ms) break;
        if (!device_->waitWritable(timeout_ms - passed)) break;  // the whole rest passed in vain
    }
    return written;
}

std::uint32_t TCommPortDriver::WriteData(const std::uint8_t* data, std::uint32_t size) {
    return WriteDataTimed(data, size, output_timeout_);
}

bool TCommPortDriver::WriteByte(std::uint8_t value) {
    return WriteData(&value, 1) == 1;
}

TCommPortDriver::WriteOperation::WriteOperation(TCommPortDriver& driver) : driver_(driver) {
    if (driver_.write_operations_++ == 0) {
        driver_.operation_start_ = driver_.clock_.tickCount();
        driver_.operation_timeout_ = driver_.output_timeout_;
    }
}

TCommPortDriver::WriteOperation::~WriteOperation() {
    --driver_.write_operations_;
}

// ---- Receiving

std::uint32_t TCommPortDriver::packetTransferMs() const {
    // Ten bit times per byte (start, eight data, stop), rounded to whole milliseconds. brCustom uses the
    // rate actually applied.
    std::uint32_t rate = baudRateValueOf(baud_rate_);
    if (rate == 0) rate = baud_rate_value_;
    if (rate == 0) return 0;
    const std::uint64_t bits_ms = static_cast<std::uint64_t>(packet_size_) * 10000u;
    return static_cast<std::uint32_t>((bits_ms + rate / 2) / rate);
}

// Reads up to `count` bytes (never more than the buffer holds) and raises the matching event.
// Returns nothing: a failed or empty read simply raises no event.
void TCommPortDriver::readAndRaise(std::uint32_t count, bool as_packet) {
    const std::uint32_t want = std::min(count, static_cast<std::uint32_t>(receive_buffer_.size()));
    if (want == 0) return;
    const SerialIoResult r = device_->read(receive_buffer_.data(), want);
    if (r.status != SerialIoResult::Status::Ok || r.count == 0) return;
    const auto got = static_cast<std::uint32_t>(r.count);
    if (as_packet) {
        if (on_receive_packet_) on_receive_packet_(*this, receive_buffer_.data(), got);
    } else if (on_receive_data_) {
        on_receive_data_(*this, receive_buffer_.data(), got);
    }
}

void TCommPortDriver::discard(std::uint32_t count) {
    while (count > 0) {
        const auto want = std::min(count, static_cast<std::uint32_t>(receive_buffer_.size()));
        const SerialIoResult r = device_->read(receive_buffer_.data(), want);
        if (r.status != SerialIoResult::Status::Ok || r.count == 0) return;
        count -= std::min(count, static_cast<std::uint32_t>(r.count));
    }
}

void TCommPortDriver::PollTick() {
    if (!IsConnected()) return;
    // Line errors (overrun, framing, parity) are not reported by a terminal through this query; the
    // count of waiting bytes is all the poll needs.
    const auto counts = device_->queueCounts();
    if (!counts) return;  // the device failed (vanished): nothing to read, nothing to report
    const std::uint32_t waiting = counts->input;
    if (packet_size_ < 0) {
        if (waiting == 0) return;
        if (prompt_delivery_ && watch_ != nullptr && watch_->isActive()) {
            // The watch delivers at the next pause; only a burst as long as a whole poll period goes now.
            const std::uint32_t now = clock_.tickCount();
            if (burstStillArriving(waiting, now) && elapsedMs(burst_started_, now) < polling_delay_) return;
            burst_count_ = 0;
        }
        readAndRaise(std::min(waiting, in_buf_size_), false);
        return;
    }
    pollPackets(waiting);
}

void TCommPortDriver::pollPackets(std::uint32_t waiting) {
    const auto size = static_cast<std::uint32_t>(packet_size_);
    const std::uint32_t now = clock_.tickCount();
    if (waiting < size) {
        if (packet_timeout_ > 0 && packet_start_ &&
            elapsedMs(*packet_start_, now) > static_cast<std::uint32_t>(packet_timeout_)) {
            if (waiting > 0) {
                if (packet_mode_ == pmPass) {
                    readAndRaise(waiting, true);
                } else {
                    discard(waiting);
                }
            }
            packet_start_.reset();
        } else if (waiting > 0 && !packet_start_) {
            packet_start_ = now;
        }
        return;
    }
    const std::uint32_t transfer = packetTransferMs();
    while (waiting >= size && IsConnected()) {
        readAndRaise(size, true);
        if (!IsConnected()) return;  // the handler closed the port
        if (packet_start_) {
            // The next packet began one packet time after this one; never later than now, so that a
            // burst of packets cannot push the start into the future (where the wrap-safe difference
            // would read as an enormous age and flush the remainder at once).
            packet_start_ = elapsedMs(*packet_start_, now) > transfer ? *packet_start_ + transfer : now;
        }
        waiting -= size;
        if (waiting == 0) packet_start_.reset();
    }
    // A remainder whose packet started between two polls is timed from now, when it was first seen.
    if (waiting > 0 && !packet_start_) packet_start_ = now;
}

}  // namespace hx350
