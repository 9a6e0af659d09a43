// The simulated HX350 module: its whole settings and I/O state and the interpreter of its command
// vocabulary. Pure: a command text goes in, the answer text (lines closed by CR LF) comes out; no I/O.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/clock.h"
#include "sim/calendar_text.h"

namespace hx350::sim {

/// Threshold quadruple in the order the commands carry it: Min2, Min1, Max1, Max2.
using Thresholds = std::array<int, 4>;

/// Everything the module keeps. Arrays are indexed from 0 (slot or channel number minus one).
struct ModuleState {
    std::array<std::string, 7> alarm_numbers;    ///< SETNN / GETNR / CLRNR
    std::array<std::string, 7> phone_book;       ///< SETPB / GETPB
    std::array<std::string, 54> external_texts;  ///< SETTX / GETTX, at most 32 characters
    std::array<std::string, 78> short_texts;     ///< SETTI / GETTI, at most 15; 55..78 are the IO names
    std::string temp_mask = "FFFF";              ///< SETME: temperature 1, 2, counter 1, 2
    std::string analog_mask = "FFFF";            ///< SETME: analog 1..4
    std::string digital_mask = "FFFF--";         ///< SETME: digital 1..6
    std::array<Thresholds, 4> analog_levels{};   ///< ANLEV, percent 0..99
    std::array<Thresholds, 4> temp_levels{};     ///< TCLEV, degrees -999..999
    char reference_level = '2';                  ///< REFLV: '2' (2.56 V) or '5' (5 V)
    std::string analog_coeff = "1111";           ///< REFLV: one character per input
    std::array<std::string, 4> analog_multipliers{"1000", "1000", "1000", "1000"};  ///< ADDKF
    std::array<bool, 3> analog_420{};                                               ///< 420FL
    std::array<std::string, 3> sms_multipliers{"1000", "1000", "1000"};             ///< AKSMS
    bool extended_mode = false;                                                     ///< AEXTF
    int shunt = 3;                                                                  ///< R420M, 0..7
    int measure_delay = 0;                                                          ///< ANDEL, x 100 ms
    std::string schedule_code = std::string(9, ' ');                                ///< SETSH
    int schedule_recipients = 1;                                                    ///< SNFLT, 0..7
    std::string apn, user_id, password, ip_address = "0.0.0.0";                     ///< GPRS
    std::string ftp_host, ftp_user, ftp_password, dir_name;                         ///< FTP
    std::string http_host1, http_host2;                                             ///< HTTP
    int max_error_level = 4;                                                        ///< ESKTD
    std::string option_mask = "MPEDEEDDDEEDDDE";                                    ///< SETMP, 15 characters
    std::array<int, 4> timeout_filters{};  ///< SETTF: temperature 1, 2, analog 1, 2 (0..99)
    int digital_filter = 0;                ///< SETTF: 0..9
    bool restart_enable = false;           ///< RSTEN
    int runtime_mode = 0;                  ///< RTMOD, 0..7
    int counter_format = 0;                ///< CFLOW: 0 = format C, 1 = format F
    int sample_rate = 0;                   ///< SETTN / SRATE, 0..9
    int logger_period = 1;                 ///< SETTN / DLPER, 0..9
    std::array<int, 5> pulse_durations{};  ///< SETTN, outputs 1..3 (4, 5 kept at 0)
    std::array<bool, 5> outputs{};         ///< SETOU / RSTOU
    std::array<bool, 7> inputs{true, false, false, false, true, false, false};  ///< read-only
    std::array<std::uint32_t, 2> counters{1234, 56};                            ///< GETCT / CLRCT
    std::array<int, 4> temperatures_tenths{215, 190, 200, 200};                 ///< GETTC
    std::array<int, 4> analog_percent{12, 34, 56, 78};                          ///< GETAN
    int signal_quality = 18;                                                    ///< AT+CSQ of the GSM engine
    std::int64_t clock_offset_s = 0;  ///< module clock minus the host's local clock
    std::string zone;                 ///< SETTM zone ("+02"); empty = the host's offset
    int restarts = 0;                 ///< RSTRT count
};

/// The module. Commands are its vocabulary without framing (the line decoder removes it): a keyword of
/// five characters, a channel or slot number and fixed-width fields, e.g. "SETNN3 +4917012345",
/// "GETTX05", "ANLEV1,05,10,80,95". Leading and trailing spaces and line ends are ignored.
class Module {
  public:
    /// @param clock  the clock the module's own clock runs on (SETTM sets an offset to it).
    explicit Module(const Clock& clock);

    /// Executes one command.
    /// @return the answer: zero or more lines, each closed by CR LF. A write is confirmed with
    ///         "<KEYWORD><n> OK"; a parameter the module refuses gives "<KEYWORD> ERROR"; an unknown
    ///         command gives "UNKNOWN COMMAND". SETOU/RSTOU answer nothing while option 3 of the
    ///         option mask is "D". An empty command gives an empty answer.
    std::string execute(std::string_view command);

    /// The module's clock as "yy/mm/dd,hh:mm:ss+zz".
    std::string clockText() const;

    const ModuleState& state() const { return state_; }
    ModuleState& state() { return state_; }

  private:
    struct Commands;  // the interpreter's keyword table and handlers
    std::string dispatch(std::string_view keyword, std::string_view arg);

    const Clock& clock_;
    ModuleState state_;
};

}  // namespace hx350::sim
