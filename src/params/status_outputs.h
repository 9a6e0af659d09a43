// Module commands that read the module's state, switch its relay outputs, read its inputs and counters,
// set its clock, restart it, and set the data-logger and output-pulse parameters.
#pragma once

#include <string>
#include <string_view>

namespace hx350::params {

// Fixed commands of the Main page (each is also its own log line unless a separate echo is given).
inline constexpr std::string_view kReadStatus = "GETST";
inline constexpr std::string_view kReadAnalog = "GETAN";
inline constexpr std::string_view kReadTemperature = "GETTC";
inline constexpr std::string_view kReadTemperatureLevels = "TCLEV0";
inline constexpr std::string_view kReadAnalogLevels = "GETLV";
inline constexpr std::string_view kRestartModule = "RSTRT";
/// The module expects two spaces before the version and clock reads; the log shows the bare keyword.
inline constexpr std::string_view kReadVersion = "  GETVR";
inline constexpr std::string_view kReadVersionEcho = "GETVR";
inline constexpr std::string_view kReadDateTime = "  GETTM";
inline constexpr std::string_view kReadDateTimeEcho = "GETTM";
inline constexpr std::string_view kReadCounters = "GETCT";
inline constexpr std::string_view kClearCounters = "CLRCT0";
/// Output or input number 0 asks for all outputs or inputs at once.
inline constexpr int kAllOutputsOrInputs = 0;

/// setOutputCommand: "SETOU" + output digit, e.g. "SETOU2".
/// Parameters: output - 1..3 (clamped to one digit 0..9).
std::string setOutputCommand(int output);

/// resetOutputCommand: "RSTOU" + output digit.
std::string resetOutputCommand(int output);

/// getOutputCommand: "GETOS" + output digit; kAllOutputsOrInputs gives "GETOS0".
std::string getOutputCommand(int output);

/// getInputCommand: "GETIS" + input digit; kAllOutputsOrInputs gives "GETIS0".
std::string getInputCommand(int input);

/// outputStateText: what an output's edit shows after its last command, "ON " (three characters, the last a
/// space) or "OFF".
std::string_view outputStateText(bool on);

/// pulseDisplayText: the display of an output-pulse slider, twice its position in decimal ("18" for 9).
std::string pulseDisplayText(int position);

/// Slider positions of the data-logger and output-pulse group.
struct PulseParameters {
    int sample_rate = 0;       ///< `SRateSB`, 0..9
    int logger_period = 1;     ///< `DLoggerTmSB`, 1..9
    int pulse[3] = {0, 0, 0};  ///< `PulseDsb1`..`PulseDsb3`, 0..9
};

/// setPulseCommand: "SETTN" rate "," period "," pulse1 pulse2 pulse3, each one digit, e.g. "SETTN3,5,109".
/// Every position is limited to one digit (0..9) before it is written.
std::string setPulseCommand(const PulseParameters& parameters);

/// sampleRateCommand: "SRATE" + one digit of the sampling-rate position.
std::string sampleRateCommand(int position);

/// dataLoggerPeriodCommand: "DLPER" + one digit of the data-logger period position.
std::string dataLoggerPeriodCommand(int position);

/// A local date and time of the PC as the clock command needs it.
struct DateTime {
    int year = 2000;  ///< full year, e.g. 2009
    int month = 1;    ///< 1..12
    int day = 1;      ///< 1..31
    int hour = 0;     ///< 0..23
    int minute = 0;   ///< 0..59
    int second = 0;   ///< 0..59
};

/// dateText: two-digit year, "/", two-digit month, "/", two-digit day, ",", e.g. "09/01/05,".
/// The year is written modulo 100 (never three digits or a minus sign, whatever the century).
std::string dateText(const DateTime& when);

/// timeText: two-digit hour, ":", two-digit minute, ":", two-digit second, e.g. "07:08:09".
std::string timeText(const DateTime& when);

/// setDateTimeCommand: "SETTM " + dateText + timeText + the first three characters of `zone`,
/// e.g. "SETTM 09/01/05,07:08:09+02". An empty zone ends the command after the seconds.
std::string setDateTimeCommand(const DateTime& when, std::string_view zone);

}  // namespace hx350::params
