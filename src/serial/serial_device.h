// The platform's serial port as the driver needs it: a small interface over one open device.
//
// TCommPortDriver holds all the logic (polling, packets, write timeouts); an implementation of this
// interface only moves bytes and settings between the driver and the operating system. The real one is
// PosixSerialDevice (termios); tests may pass their own, for instance one that refuses to open.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace hx350 {

/// Why an operation on the port failed, in the few categories a user can act on.
enum class SerialErrorKind : std::uint8_t {
    None,              ///< no failure
    MissingDevice,     ///< no such device (or no device for that port number)
    PermissionDenied,  ///< the user may not open it
    Busy,              ///< another program holds it
    Other,             ///< anything else (not a terminal, settings refused, I/O error ...)
};

/// The reason a port operation failed: category, the system's errno and the device path.
struct SerialError {
    SerialErrorKind kind = SerialErrorKind::None;
    int sys_errno = 0;      ///< errno of the failing call, 0 when none applies
    std::string path;       ///< the device that was being used
    std::string operation;  ///< the failing step in a few words ("open", "lock", "line settings" ...)

    bool ok() const { return kind == SerialErrorKind::None; }
};

/// Maps an errno of an open or lock call to its category (ENOENT -> MissingDevice, EACCES ->
/// PermissionDenied, EBUSY/EWOULDBLOCK -> Busy, anything else -> Other; 0 -> None).
SerialErrorKind serialErrorKindOf(int sys_errno);

/// The four modem status lines a port reports.
enum class ModemLine : std::uint8_t {
    ClearToSend,
    DataSetReady,
    RingIndicator,
    CarrierDetect,  ///< receive line signal detect
};

/// A set of modem status lines (those that are on).
class ModemLineSet {
  public:
    constexpr ModemLineSet() = default;
    constexpr bool contains(ModemLine line) const { return (bits_ & bit(line)) != 0; }
    constexpr void insert(ModemLine line) { bits_ = static_cast<std::uint8_t>(bits_ | bit(line)); }
    constexpr bool empty() const { return bits_ == 0; }
    constexpr std::uint8_t bits() const { return bits_; }
    friend constexpr bool operator==(ModemLineSet, ModemLineSet) = default;

  private:
    static constexpr std::uint8_t bit(ModemLine line) {
        return static_cast<std::uint8_t>(1u << static_cast<unsigned>(line));
    }
    std::uint8_t bits_ = 0;
};

/// Line settings in platform terms, built from zero by the driver on every change.
struct SerialLineSettings {
    enum class Parity : std::uint8_t { None, Odd, Even, Mark, Space };
    enum class StopBits : std::uint8_t { One, OneAndHalf, Two };

    std::uint32_t baud_rate = 9600;  ///< bit/s; any positive rate, standard or not
    int data_bits = 8;               ///< 5..8
    Parity parity = Parity::None;    ///< generated on output; received parity is never checked
    StopBits stop_bits = StopBits::One;
    bool dtr_on = true;     ///< DTR raised while open
    bool rts_on = true;     ///< RTS raised (ignored by the line when rts_cts handshakes)
    bool rts_cts = false;   ///< RTS/CTS hardware handshake; output waits for CTS
    bool xon_xoff = false;  ///< XON/XOFF flow control in both directions
    std::uint8_t xon_char = 0x11;
    std::uint8_t xoff_char = 0x13;
    std::uint32_t xon_limit = 0;   ///< input-queue fill that sends XON (where the platform supports it)
    std::uint32_t xoff_limit = 0;  ///< free input-queue space that sends XOFF (same)
};

/// Byte counts of the two queues of the device.
struct SerialQueueCounts {
    std::uint32_t input = 0;   ///< received bytes waiting to be read
    std::uint32_t output = 0;  ///< bytes written but not yet sent
};

/// Outcome of one read or write call.
struct SerialIoResult {
    enum class Status : std::uint8_t {
        Ok,          ///< `count` bytes moved (may be 0: nothing there to read)
        WouldBlock,  ///< nothing moved now; try again later (EAGAIN, EINTR)
        Failed,      ///< the device failed; `sys_errno` says why
    };
    Status status = Status::Ok;
    std::size_t count = 0;
    int sys_errno = 0;
};

/// One serial device. Not thread-safe: used from the one thread that owns the driver.
class SerialDevice {
  public:
    virtual ~SerialDevice() = default;

    /// Opens `path` for reading and writing, exclusively, as an existing device, without blocking and
    /// without making it the controlling terminal. Keeps the device's current settings for close().
    /// Result: an error with kind None on success; otherwise the category, errno, path and failing step,
    /// and the device stays closed. Opening an open device closes it first.
    virtual SerialError open(const std::string& path) = 0;

    /// Restores the settings found at open and closes the device. Nothing happens when closed.
    virtual void close() = 0;

    virtual bool isOpen() const = 0;

    /// Applies `settings` as a whole (raw binary mode, nothing inherited from before), then sets DTR and
    /// RTS as they say. Modem-control requests the device does not support are not failures.
    /// Result: false when closed, when a setting cannot be represented (1.5 stop bits, rate 0) or when
    /// the system refuses them; lastError() then says why.
    virtual bool applyLineSettings(const SerialLineSettings& settings) = 0;

    /// Discards received bytes (`input`) and/or bytes not yet sent (`output`). False when closed or on
    /// failure.
    virtual bool purge(bool input, bool output) = 0;

    /// Sets the sizes the driver gives its input and output queues. The output size bounds how much
    /// waitWritable() lets wait in the device. False when closed or refused.
    virtual bool setQueueSizes(std::uint32_t input, std::uint32_t output) = 0;

    /// The current queue counts; nullopt when closed or when the device fails (for instance after it
    /// vanished).
    virtual std::optional<SerialQueueCounts> queueCounts() = 0;

    /// Reads up to `size` bytes that are already waiting; never waits for more.
    virtual SerialIoResult read(std::uint8_t* buffer, std::size_t size) = 0;

    /// Writes up to `size` bytes without waiting; returns how many the device took.
    virtual SerialIoResult write(const std::uint8_t* data, std::size_t size) = 0;

    /// Waits at most `timeout_ms` until a write can make progress: the device accepts bytes and holds
    /// fewer than the output queue size in its output queue. Result: true when it can; false when the
    /// whole time passed without that, or at once when the device is closed, has failed or hung up (no
    /// write can succeed then). A caller that sees false may take the time as passed.
    virtual bool waitWritable(std::uint32_t timeout_ms) = 0;

    /// The modem status lines that are on; nullopt when closed or when the device has no modem lines
    /// (a pseudo-terminal) or the query fails.
    virtual std::optional<ModemLineSet> modemLines() = 0;

    /// Whether the other end has gone: the device hung up or reports an error condition (a USB adapter
    /// pulled out, the far side of a pseudo-terminal closed). Does not wait. False when closed.
    virtual bool hungUp() const = 0;

    /// The reason the last failing call failed (kind None when none failed since open).
    virtual const SerialError& lastError() const = 0;
};

}  // namespace hx350
