// SerialDevice over a POSIX terminal device (termios), as Linux offers it for UARTs, USB adapters and
// pseudo-terminals.
#pragma once

#include <cstdint>
#include <string>

#include "serial/line_state.h"
#include "serial/serial_device.h"

namespace hx350 {

/// The termios implementation of SerialDevice.
///
/// open(): O_RDWR|O_NOCTTY|O_NONBLOCK|O_CLOEXEC, then an exclusive flock() (refuses a second holder, even
/// root) and TIOCEXCL (refuses further opens by others; not fatal where unsupported). The settings found
/// at open are restored by close(). Reads and writes never block; waitWritable() blocks in poll().
/// Modem-control and modem-status requests that the device does not support (a pseudo-terminal) are not
/// failures: DTR/RTS are then simply not set and modemLines() gives nullopt.
class PosixSerialDevice final : public SerialDevice {
  public:
    PosixSerialDevice() = default;
    ~PosixSerialDevice() override;
    PosixSerialDevice(const PosixSerialDevice&) = delete;
    PosixSerialDevice& operator=(const PosixSerialDevice&) = delete;

    SerialError open(const std::string& path) override;
    void close() override;
    bool isOpen() const override { return fd_ >= 0; }
    bool applyLineSettings(const SerialLineSettings& settings) override;
    bool purge(bool input, bool output) override;
    bool setQueueSizes(std::uint32_t input, std::uint32_t output) override;
    std::optional<SerialQueueCounts> queueCounts() override;
    SerialIoResult read(std::uint8_t* buffer, std::size_t size) override;
    SerialIoResult write(const std::uint8_t* data, std::size_t size) override;
    bool waitWritable(std::uint32_t timeout_ms) override;
    std::optional<ModemLineSet> modemLines() override;
    bool hungUp() const override;
    const SerialError& lastError() const override { return last_error_; }

    /// The file descriptor while open, else -1 (for diagnostics and tests).
    int fd() const { return fd_; }

  private:
    bool fail(const char* operation, int sys_errno);

    int fd_ = -1;
    std::string path_;
    KernelLineState original_;
    std::uint32_t output_queue_size_ = 0;  // 0: no bound set
    SerialError last_error_;
};

}  // namespace hx350
