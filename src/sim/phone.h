// SMS mode: a GSM phone or modem driven with AT commands of 3GPP TS 27.007 / 27.005 in PDU mode, with the
// module reachable by SMS behind it. Pure: bytes in, bytes out, time from a Clock.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/clock.h"
#include "sim/gsm7.h"
#include "sim/module.h"
#include "sim/session.h"
#include "sim/sms_pdu.h"

namespace hx350::sim {

/// The module's number when none is given.
inline constexpr std::string_view kDefaultModuleNumber = "+491700350350";

/// Identity and behaviour of the simulated phone.
struct PhoneConfig {
    std::string module_number{kDefaultModuleNumber};        ///< SMS to this number reach the module
    std::string service_centre = "+491720000000";           ///< AT+CSCA?, and the SMSC field of stored PDUs
    std::string manufacturer = "HXSIM";                     ///< AT+CGMI
    std::string model = "HX350-GSM";                        ///< AT+CGMM
    std::string revision = "hx350-sim " HX350_SIM_VERSION;  ///< AT+CGMR
    std::string imei = "356938035643809";                   ///< AT+CGSN
    std::string imsi = "262019876543210";                   ///< AT+CIMI
    std::string operator_long = "HX NET";                   ///< AT+COPS?
    std::string operator_numeric = "26299";
    int signal_rssi = 21;                  ///< AT+CSQ
    std::uint32_t module_reply_ms = 1000;  ///< from AT+CMGS to the module's answer in the memory
    std::size_t capacity = 30;             ///< message slots of the SIM memory "SM"
};

/// One message in the SIM memory.
struct StoredSms {
    int stat = 0;  ///< TS 27.005 <stat>: 0 received unread, 1 received read
    Octets smsc;   ///< SMSC field as it is listed (length octet first)
    Octets tpdu;   ///< the SMS-DELIVER TPDU
};

/// Final result codes of a command (V.250 clause 5.7, TS 27.007 clause 9.2, TS 27.005 clause 3.2.5).
enum class Final { kOk, kError, kCme, kCms, kPrompt, kNone };

/// The forms of an extended command (TS 27.007 clause 4.1): action "+CMD", set "+CMD=<parameters>", test
/// "+CMD=?" (which parameters it takes) and read "+CMD?" (its current setting).
enum class CommandForm { kExecute, kSet, kTest, kRead };

class Phone final : public Session {
  public:
    Phone(PhoneConfig config, const Clock& clock, Module& module);

    /// Command state: characters up to CR form a command line; LF, NUL and ESC outside a line are dropped,
    /// backspace deletes. Junk before "AT" is ignored. With echo on (the default, ATE1) the printable
    /// part of each line and its CR are echoed. After AT+CMGS=n the bytes up to Ctrl-Z are the PDU (ESC
    /// cancels); bytes that arrive before the "> " prompt has gone out count as PDU as well.
    std::string feed(std::string_view bytes) override;
    /// Lets the module answer the commands it received by SMS once their delay has passed; returns
    /// "+CMTI" indications when AT+CNMI asked for them.
    std::string poll() override;
    std::optional<std::uint32_t> msUntilNextEvent() const override;

    /// Stores an SMS-DELIVER from `originator` as unread, in the lowest free slot.
    /// @return the slot index, or nothing when the memory is full.
    std::optional<int> deliver(std::string_view originator, std::string_view text);

    const std::map<int, StoredSms>& messages() const { return messages_; }
    const PhoneConfig& config() const { return config_; }
    bool echo() const { return echo_; }
    /// Texts the phone sent to numbers other than the module's (accepted, delivered nowhere).
    const std::vector<std::string>& sentElsewhere() const { return sent_elsewhere_; }

  private:
    struct Reply {
        std::vector<std::string> info;  // information text lines
        Final final = Final::kOk;
        int code = 0;  // CME / CMS error number
    };
    struct PendingCommand {
        std::uint32_t due_tick;
        std::string text;
    };

    std::string executeLine(std::string_view line);
    struct Extended;  // the extended commands' name table and handlers
    Reply executeExtended(std::string_view name, CommandForm form, std::string_view params);
    Reply executeBasic(char letter, int value, bool& ok);
    std::string finishPdu(bool cancelled);
    std::string finalText(const Reply& reply) const;
    SmsTimestamp timestampNow() const;
    std::string clockText() const;

    PhoneConfig config_;
    const Clock& clock_;
    Module& module_;

    // Line state.
    std::string line_;
    bool line_overflow_ = false;
    bool in_pdu_ = false;
    std::string pdu_;
    bool pdu_overflow_ = false;
    int pdu_length_ = 0;

    // Settings.
    bool echo_ = true;
    int cmee_ = 0;
    int creg_ = 0;
    int cgreg_ = 0;
    int cops_format_ = 0;
    int cnmi_mode_ = 0;
    int cnmi_mt_ = 0;
    std::string charset_ = "GSM";
    std::int64_t clock_offset_s_ = 0;
    std::string clock_zone_;  // empty = host offset

    std::uint8_t next_reference_ = 1;
    std::map<int, StoredSms> messages_;
    std::vector<PendingCommand> pending_;
    std::vector<std::string> sent_elsewhere_;
};

/// Splits AT command parameters at commas outside double quotes; quotes are kept.
std::vector<std::string> splitParameters(std::string_view params);

}  // namespace hx350::sim
