#include "params/status_outputs.h"

#include "params/fields.h"

namespace hx350::params {

std::string setOutputCommand(int output) {
    return "SETOU" + oneDigit(output);
}

std::string resetOutputCommand(int output) {
    return "RSTOU" + oneDigit(output);
}

std::string getOutputCommand(int output) {
    return "GETOS" + oneDigit(output);
}

std::string getInputCommand(int input) {
    return "GETIS" + oneDigit(input);
}

std::string_view outputStateText(bool on) {
    return on ? "ON " : "OFF";
}

std::string pulseDisplayText(int position) {
    return std::to_string(2 * position);
}

std::string setPulseCommand(const PulseParameters& parameters) {
    return "SETTN" + oneDigit(parameters.sample_rate) + "," + oneDigit(parameters.logger_period) + "," +
           oneDigit(parameters.pulse[0]) + oneDigit(parameters.pulse[1]) + oneDigit(parameters.pulse[2]);
}

std::string sampleRateCommand(int position) {
    return "SRATE" + oneDigit(position);
}

std::string dataLoggerPeriodCommand(int position) {
    return "DLPER" + oneDigit(position);
}

std::string dateText(const DateTime& when) {
    // Remainder that is never negative, so years before 2000 (or after 2099) still give two digits.
    const int year = ((when.year % 100) + 100) % 100;
    return twoDigits(year) + "/" + twoDigits(when.month) + "/" + twoDigits(when.day) + ",";
}

std::string timeText(const DateTime& when) {
    return twoDigits(when.hour) + ":" + twoDigits(when.minute) + ":" + twoDigits(when.second);
}

std::string setDateTimeCommand(const DateTime& when, std::string_view zone) {
    return "SETTM " + dateText(when) + timeText(when) + std::string(zone.substr(0, 3));
}

}  // namespace hx350::params
