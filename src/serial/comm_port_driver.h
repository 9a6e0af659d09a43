// TCommPortDriver: the one serial port of the tool.
//
// Opens a port by name, applies the line settings, writes bytes with a timeout and polls the port for
// received bytes on a periodic timer of the owning thread, handing each batch (or each packet of a fixed
// size) to an event handler. It knows nothing of what the bytes mean.
//
// Everything runs on the thread that owns the driver: the poll timer is a timer of that thread, the
// events are raised from the poll, a write blocks the thread for at most its timeout. No locks.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/clock.h"
#include "serial/serial_device.h"

namespace hx350 {

// The enumerations keep the member names and the order the rest of the tool computes with: the ordinal
// is meaningful (data bits = ordinal + 5, port n = ordinal n). They are unscoped on purpose so that both
// `br9600` and `TBaudRate::br9600` read naturally.

/// Line rate: a standard rate, or brCustom for the rate in BaudRateValue().
enum TBaudRate : std::uint8_t {
    brCustom,
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000,
};

/// Port number: pnCOMn is the n-th serial device of the machine; pnCustom opens PortName() as it is.
enum TPortNumber : std::uint8_t {
    pnCustom,
    pnCOM1,
    pnCOM2,
    pnCOM3,
    pnCOM4,
    pnCOM5,
    pnCOM6,
    pnCOM7,
    pnCOM8,
    pnCOM9,
    pnCOM10,
    pnCOM11,
    pnCOM12,
    pnCOM13,
    pnCOM14,
    pnCOM15,
    pnCOM16,
};

enum TDataBits : std::uint8_t { db5BITS, db6BITS, db7BITS, db8BITS };

enum TStopBits : std::uint8_t { sb1BITS, sb1HALFBITS, sb2BITS };

enum TParity : std::uint8_t { ptNONE, ptODD, ptEVEN, ptMARK, ptSPACE };

/// hfNONE: RTS held low; hfNONERTSON: RTS held high, no handshake; hfRTSCTS: RTS/CTS handshake.
enum THwFlowControl : std::uint8_t { hfNONE, hfNONERTSON, hfRTSCTS };

enum TSwFlowControl : std::uint8_t { sfNONE, sfXONXOFF };

/// What becomes of an incomplete packet when its timeout passes: dropped, or delivered short.
enum TPacketMode : std::uint8_t { pmDiscard, pmPass };

/// The rate a standard member stands for (110 .. 256000); 0 for brCustom.
std::uint32_t baudRateValueOf(TBaudRate rate);

/// The standard member for `value` bit/s, or brCustom when no member has that rate.
TBaudRate baudRateOf(std::uint32_t value);

class TCommPortDriver;

/// Received bytes: `data` points into the driver's receive buffer and is valid only during the call
/// (copy what you keep); `size` is at least 1.
using TReceiveDataEvent =
    std::function<void(TCommPortDriver& sender, const std::uint8_t* data, std::uint32_t size)>;

/// One received packet, same rules; `size` equals PacketSize() except for a short packet passed on
/// timeout (pmPass).
using TReceivePacketEvent =
    std::function<void(TCommPortDriver& sender, const std::uint8_t* packet, std::uint32_t size)>;

/// Path of the serial device for port number 1..16, or "" when the machine has none for it.
using PortPathLookup = std::function<std::string(int number)>;

class TCommPortDriver {
  public:
    static constexpr std::uint32_t kMinBufSize = 128;
    static constexpr std::uint32_t kMaxBufSize = 8192;
    static constexpr std::int16_t kMaxPacketSize = 8192;
    static constexpr std::uint16_t kMinPollingDelay = 5;

    /// A closed driver with the default settings.
    /// `device`: the platform device it will open; null means the POSIX termios device.
    /// `poll_timer`: the periodic timer of the owning thread; the driver sets its callback to PollTick()
    ///   and runs it exactly while the port is open. It must outlive the driver.
    /// `clock`: the millisecond tick counter for write timeouts and packet timing; must outlive the driver.
    /// `port_path`: maps pnCOM1..pnCOM16 to device paths (see PortCatalogue); empty: every number
    ///   maps to "". The default port name is the path of port 2.
    TCommPortDriver(std::unique_ptr<SerialDevice> device, Timer& poll_timer, const Clock& clock,
                    PortPathLookup port_path = {});
    /// Closes the port (restoring its original settings) and detaches from the timer.
    ~TCommPortDriver();
    TCommPortDriver(const TCommPortDriver&) = delete;
    TCommPortDriver& operator=(const TCommPortDriver&) = delete;

    // ---- Properties. Setters that change line settings re-apply them at once while the port is open.

    /// Default pnCOM2. Ignored while open. pnCOMn also sets PortName() to the path of port n ("" when the
    /// machine has no such port); pnCustom leaves PortName() alone.
    TPortNumber Port() const { return port_; }
    void SetPort(TPortNumber value);

    /// The device path that Connect() opens. Ignored while open; otherwise stores it and sets Port() to
    /// pnCustom.
    const std::string& PortName() const { return port_name_; }
    void SetPortName(const std::string& value);

    /// Default br9600. A standard member also sets BaudRateValue(); brCustom keeps it.
    TBaudRate BaudRate() const { return baud_rate_; }
    void SetBaudRate(TBaudRate value);

    /// The rate in bit/s actually applied; default 9600. Setting it sets BaudRate() to brCustom.
    std::uint32_t BaudRateValue() const { return baud_rate_value_; }
    void SetBaudRateValue(std::uint32_t value);

    TDataBits DataBits() const { return data_bits_; }  ///< default db8BITS
    void SetDataBits(TDataBits value);
    TStopBits StopBits() const { return stop_bits_; }  ///< default sb1BITS
    void SetStopBits(TStopBits value);
    TParity Parity() const { return parity_; }  ///< default ptNONE
    void SetParity(TParity value);
    THwFlowControl HwFlow() const { return hw_flow_; }  ///< default hfNONERTSON
    void SetHwFlow(THwFlowControl value);
    TSwFlowControl SwFlow() const { return sw_flow_; }  ///< default sfNONE
    void SetSwFlow(TSwFlowControl value);

    /// Size of the receive buffer and the input queue, 128..8192, default 2048. Ignored while open;
    /// otherwise clamped, the buffer is allocated anew zero-filled, and PacketSize() is validated again
    /// (so the buffer never ends up smaller than a packet).
    std::uint32_t InBufSize() const { return in_buf_size_; }
    void SetInBufSize(std::uint32_t value);

    /// Size of the output queue, 128..8192, default 2048. Ignored while open; otherwise clamped.
    std::uint32_t OutBufSize() const { return out_buf_size_; }
    void SetOutBufSize(std::uint32_t value);

    /// Bytes per packet; -1 (default): no packets, every poll delivers what arrived. 0 or less stores -1;
    /// above 8192 stores 8192; a size above InBufSize() raises InBufSize() to it (while closed).
    std::int16_t PacketSize() const { return packet_size_; }
    void SetPacketSize(std::int16_t value);

    /// Ms after which an incomplete packet is flushed; -1 (default): never. Below 1 stores -1; below
    /// PollingDelay() stores 140 % of PollingDelay() (integer arithmetic); otherwise stored as given.
    std::int32_t PacketTimeout() const { return packet_timeout_; }
    void SetPacketTimeout(std::int32_t value);

    /// Default pmDiscard.
    TPacketMode PacketMode() const { return packet_mode_; }
    void SetPacketMode(TPacketMode value) { packet_mode_ = value; }

    /// Period of the receive poll in ms, default 50, at least 5 (smaller values become 5). A change
    /// restarts the running poll timer with the new period and validates PacketTimeout() again.
    std::uint16_t PollingDelay() const { return polling_delay_; }
    void SetPollingDelay(std::uint16_t value);

    /// Raise DTR while open (default true); takes effect at the next ApplyLineSettings().
    bool EnableDTROnOpen() const { return enable_dtr_on_open_; }
    void SetEnableDTROnOpen(bool value) { enable_dtr_on_open_ = value; }

    /// Ms a write may make no progress before it gives up; default 500.
    std::uint16_t OutputTimeout() const { return output_timeout_; }
    void SetOutputTimeout(std::uint16_t value) { output_timeout_ = value; }

    /// Stored only (default 200): reads never wait.
    std::uint32_t InputTimeout() const { return input_timeout_; }
    void SetInputTimeout(std::uint32_t value) { input_timeout_ = value; }

    /// Refuse to write while all modem status lines are off (default false). A device without modem lines
    /// (a pseudo-terminal) then accepts no writes.
    bool CheckLineStatus() const { return check_line_status_; }
    void SetCheckLineStatus(bool value) { check_line_status_ = value; }

    // ---- Prompt delivery (an addition: off by default, the poll alone delivers as described above)

    /// The timer that watches the line for a quiet gap while prompt delivery is on; a timer of the owning
    /// thread that must outlive the driver. Null: prompt delivery cannot run.
    void SetQuietGapWatch(Timer* watch);

    /// With prompt delivery on (and a watch timer given), bytes are delivered as one batch as soon as the
    /// line has been quiet for QuietGapMs() after the last of them, instead of at the next poll; the poll
    /// then leaves a batch that is still arriving alone, unless it has been arriving for a whole
    /// PollingDelay() (a peer that never pauses is delivered as the poll would). Only without packets.
    bool PromptDelivery() const { return prompt_delivery_; }
    void SetPromptDelivery(bool on);

    /// The quiet gap that ends a batch: three character times at the current line settings plus 20 ms,
    /// at least 25 ms.
    std::uint32_t QuietGapMs() const;

    /// Runs right after a batch that prompt delivery handed to OnReceiveData (not after a polled one).
    void SetOnPromptBatch(std::function<void()> handler) { on_prompt_batch_ = std::move(handler); }

    /// Period of the watch timer in ms.
    static constexpr std::uint32_t kQuietGapWatchMs = 5;

    /// One look of the watch timer (tests may call it): delivers what waits once the line has been quiet
    /// for QuietGapMs().
    void WatchTick();

    /// Handler for received bytes while PacketSize() is -1.
    const TReceiveDataEvent& OnReceiveData() const { return on_receive_data_; }
    void SetOnReceiveData(TReceiveDataEvent handler) { on_receive_data_ = std::move(handler); }

    /// Handler for received packets.
    const TReceivePacketEvent& OnReceivePacket() const { return on_receive_packet_; }
    void SetOnReceivePacket(TReceivePacketEvent handler) { on_receive_packet_ = std::move(handler); }

    // ---- Operations

    /// Opens PortName() exclusively and applies the line settings, then starts the poll timer with period
    /// PollingDelay(). Result: true when the port is open (at once if it already was); false when the
    /// device cannot be opened or refuses the settings; the driver is then closed and LastError() says why.
    bool Connect();

    /// Stops the poll timer and closes the port (restoring the settings found at open). Nothing when closed.
    void Disconnect();

    bool IsConnected() const;

    /// Builds the line settings from the properties and applies them, discards both queues and sets the
    /// queue sizes. Result: false when closed or when any step fails (LastError() says why).
    bool ApplyLineSettings();

    /// Discards received bytes (`input`) and/or unsent bytes (`output`); on success forgets the start of
    /// an incomplete packet. Result: false when closed or on failure.
    bool PurgeQueues(bool input, bool output);

    /// OutBufSize() minus the bytes waiting in the output queue (0 when the queue holds OutBufSize() or
    /// more, or when the device fails); 65535 when closed.
    std::uint16_t OutputFreeSpace();

    /// The modem status lines that are on; empty when closed, when the device has none, or on failure.
    ModemLineSet ModemLineStatus();

    /// Writes `size` bytes, waiting while the device accepts none; gives up once more than `timeout_ms`
    /// have passed since the write began (one deadline for the whole write: a peer that takes a byte now
    /// and then cannot stretch it), when CheckLineStatus() is on and no modem line is on, or when the
    /// device fails. Inside a WriteOperation the operation's deadline holds instead. Result: the number of
    /// bytes written (all of them, or a short count); 0 when closed.
    std::uint32_t WriteDataTimed(const std::uint8_t* data, std::uint32_t size, std::uint32_t timeout_ms);

    /// One deadline for several writes that make up one operation (a command written byte by byte, a PDU
    /// and its Ctrl-Z): while an instance lives, every write of the driver gives up once OutputTimeout()
    /// (as it was when the outermost instance was made) has passed since then. Operations nest; the
    /// outermost one's deadline holds.
    class WriteOperation {
      public:
        explicit WriteOperation(TCommPortDriver& driver);
        ~WriteOperation();
        WriteOperation(const WriteOperation&) = delete;
        WriteOperation& operator=(const WriteOperation&) = delete;

      private:
        TCommPortDriver& driver_;
    };

    /// WriteDataTimed() with OutputTimeout().
    std::uint32_t WriteData(const std::uint8_t* data, std::uint32_t size);

    /// Writes one byte; true when it was written.
    bool WriteByte(std::uint8_t value);

    /// The receive poll, run by the poll timer every PollingDelay() ms while open (tests may call it).
    /// Without packets: reads what is waiting (up to InBufSize()) and raises OnReceiveData once.
    /// With packets: raises OnReceivePacket once per whole packet waiting; an incomplete packet is
    /// flushed (pmPass: delivered short; pmDiscard: dropped) once PacketTimeout() has passed since its
    /// first byte was seen. Does nothing when closed; a vanished device gives no event and no error.
    void PollTick();

    // ---- Status for callers (the driver itself shows nothing)

    /// Why the last Connect() or ApplyLineSettings() failed; kind None after a successful Connect().
    const SerialError& LastError() const { return last_error_; }

    /// Whether the open device has hung up (unplugged adapter, far end of a pseudo-terminal closed).
    /// False when closed. Does not wait.
    bool HungUp() const;

    /// The start of the incomplete packet being collected (tick count), if any.
    std::optional<std::uint32_t> PacketStartTime() const { return packet_start_; }

  private:
    SerialLineSettings lineSettings() const;
    std::uint32_t packetTransferMs() const;
    std::optional<std::uint32_t> outputRoom();
    void readAndRaise(std::uint32_t count, bool as_packet);
    void discard(std::uint32_t count);
    void pollPackets(std::uint32_t waiting);
    void updateWatch();
    bool burstStillArriving(std::uint32_t waiting, std::uint32_t now);

    // The write operation under way: how many are open, and when and with which timeout the outermost
    // began.
    int write_operations_ = 0;
    std::uint32_t operation_start_ = 0;
    std::uint32_t operation_timeout_ = 0;

    std::unique_ptr<SerialDevice> device_;
    Timer& poll_timer_;
    const Clock& clock_;
    PortPathLookup port_path_;

    TPortNumber port_ = pnCOM2;
    std::string port_name_;
    TBaudRate baud_rate_ = br9600;
    std::uint32_t baud_rate_value_ = 9600;
    TDataBits data_bits_ = db8BITS;
    TStopBits stop_bits_ = sb1BITS;
    TParity parity_ = ptNONE;
    THwFlowControl hw_flow_ = hfNONERTSON;
    TSwFlowControl sw_flow_ = sfNONE;
    std::uint32_t in_buf_size_ = 2048;
    std::uint32_t out_buf_size_ = 2048;
    std::int16_t packet_size_ = -1;
    std::int32_t packet_timeout_ = -1;
    TPacketMode packet_mode_ = pmDiscard;
    std::uint16_t polling_delay_ = 50;
    bool enable_dtr_on_open_ = true;
    std::uint16_t output_timeout_ = 500;
    std::uint32_t input_timeout_ = 200;
    bool check_line_status_ = false;
    TReceiveDataEvent on_receive_data_;
    TReceivePacketEvent on_receive_packet_;

    Timer* watch_ = nullptr;
    bool prompt_delivery_ = false;
    std::function<void()> on_prompt_batch_;
    std::uint32_t burst_count_ = 0;    ///< bytes waiting at the last look; 0: no burst seen
    std::uint32_t burst_changed_ = 0;  ///< tick of the last look that saw the count change
    std::uint32_t burst_started_ = 0;  ///< tick of the look that first saw the burst

    std::vector<std::uint8_t> receive_buffer_;
    std::optional<std::uint32_t> packet_start_;
    SerialError last_error_;
};

}  // namespace hx350
