#include "params/status_outputs.h"

#include <gtest/gtest.h>

#include "command_table.h"

namespace hx350::params {
namespace {

using testing::CommandRow;

PulseParameters pulses(int rate, int period, int p1, int p2, int p3) {
    PulseParameters parameters;
    parameters.sample_rate = rate;
    parameters.logger_period = period;
    parameters.pulse[0] = p1;
    parameters.pulse[1] = p2;
    parameters.pulse[2] = p3;
    return parameters;
}

DateTime at(int year, int month, int day, int hour, int minute, int second) {
    return DateTime{year, month, day, hour, minute, second};
}

const CommandRow kStatusCommands[] = {
    {"ReadStatus", [] { return std::string(kReadStatus); }, "GETST"},
    {"ReadAnalog", [] { return std::string(kReadAnalog); }, "GETAN"},
    {"ReadTemperature", [] { return std::string(kReadTemperature); }, "GETTC"},
    {"TemperatureLevels", [] { return std::string(kReadTemperatureLevels); }, "TCLEV0"},
    {"AnalogLevels", [] { return std::string(kReadAnalogLevels); }, "GETLV"},
    {"Restart", [] { return std::string(kRestartModule); }, "RSTRT"},
    {"VersionTwoLeadingSpaces", [] { return std::string(kReadVersion); }, "  GETVR"},
    {"VersionEcho", [] { return std::string(kReadVersionEcho); }, "GETVR"},
    {"GetDateTimeTwoLeadingSpaces", [] { return std::string(kReadDateTime); }, "  GETTM"},
    {"GetDateTimeEcho", [] { return std::string(kReadDateTimeEcho); }, "GETTM"},
    {"ReadCounters", [] { return std::string(kReadCounters); }, "GETCT"},
    {"ClearCounters", [] { return std::string(kClearCounters); }, "CLRCT0"},
    {"SetOu1", [] { return setOutputCommand(1); }, "SETOU1"},
    {"SetOu2", [] { return setOutputCommand(2); }, "SETOU2"},
    {"SetOu3", [] { return setOutputCommand(3); }, "SETOU3"},
    {"RstOu2", [] { return resetOutputCommand(2); }, "RSTOU2"},
    {"RstOu3", [] { return resetOutputCommand(3); }, "RSTOU3"},
    {"GetOs1", [] { return getOutputCommand(1); }, "GETOS1"},
    {"GetOsAll", [] { return getOutputCommand(kAllOutputsOrInputs); }, "GETOS0"},
    {"GetIs1", [] { return getInputCommand(1); }, "GETIS1"},
    {"GetIs6", [] { return getInputCommand(6); }, "GETIS6"},
    {"GetIsAll", [] { return getInputCommand(kAllOutputsOrInputs); }, "GETIS0"},
    {"OutputOnHasTrailingSpace", [] { return std::string(outputStateText(true)); }, "ON "},
    {"OutputOff", [] { return std::string(outputStateText(false)); }, "OFF"},
    {"PulseDisplayZero", [] { return pulseDisplayText(0); }, "0"},
    {"PulseDisplayOne", [] { return pulseDisplayText(1); }, "2"},
    {"PulseDisplayNine", [] { return pulseDisplayText(9); }, "18"},
    {"SetTnDefaults", [] { return setPulseCommand(PulseParameters{}); }, "SETTN0,1,000"},
    {"SetTnMixed", [] { return setPulseCommand(pulses(3, 5, 1, 0, 9)); }, "SETTN3,5,109"},
    {"SetTnAllNine", [] { return setPulseCommand(pulses(9, 9, 9, 9, 9)); }, "SETTN9,9,999"},
    {"SetTnRateLimitedToNine", [] { return setPulseCommand(pulses(12, 1, 0, 0, 0)); }, "SETTN9,1,000"},
    {"SRate0", [] { return sampleRateCommand(0); }, "SRATE0"},
    {"SRate9", [] { return sampleRateCommand(9); }, "SRATE9"},
    {"DlPer1", [] { return dataLoggerPeriodCommand(1); }, "DLPER1"},
    {"DlPer9", [] { return dataLoggerPeriodCommand(9); }, "DLPER9"},
    {"SetTmExample", [] { return setDateTimeCommand(at(2009, 1, 5, 7, 8, 9), "+02"); },
     "SETTM 09/01/05,07:08:09+02"},
    {"SetTmTwoDigitFields", [] { return setDateTimeCommand(at(2023, 9, 25, 14, 5, 9), "+02"); },
     "SETTM 23/09/25,14:05:09+02"},
    {"SetTmEndOfYear", [] { return setDateTimeCommand(at(2099, 12, 31, 23, 59, 59), "-05"); },
     "SETTM 99/12/31,23:59:59-05"},
    {"SetTmMidnight2000", [] { return setDateTimeCommand(at(2000, 1, 1, 0, 0, 0), "+00"); },
     "SETTM 00/01/01,00:00:00+00"},
    {"SetTmEmptyZoneEndsAfterSeconds", [] { return setDateTimeCommand(at(2009, 1, 5, 7, 8, 9), ""); },
     "SETTM 09/01/05,07:08:09"},
    {"SetTmZoneCutToThree", [] { return setDateTimeCommand(at(2009, 1, 5, 7, 8, 9), "+0200"); },
     "SETTM 09/01/05,07:08:09+02"},
    {"SetTmYear2100IsTwoDigits", [] { return setDateTimeCommand(at(2100, 3, 4, 5, 6, 7), "+02"); },
     "SETTM 00/03/04,05:06:07+02"},
    {"SetTmYear1999IsTwoDigits", [] { return setDateTimeCommand(at(1999, 3, 4, 5, 6, 7), "+02"); },
     "SETTM 99/03/04,05:06:07+02"},
    {"DateText", [] { return dateText(at(2023, 9, 25, 0, 0, 0)); }, "23/09/25,"},
    {"TimeText", [] { return timeText(at(2023, 9, 25, 14, 5, 9)); }, "14:05:09"},
};
HX350_COMMAND_TABLE(StatusOutputCommands, kStatusCommands);

}  // namespace
}  // namespace hx350::params
