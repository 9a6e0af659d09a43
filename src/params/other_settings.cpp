#include "params/other_settings.h"

#include "params/fields.h"

namespace hx350::params {

namespace {

std::string withCharacter(std::string_view mask, std::size_t index, char ch) {
    std::string result(mask);
    if (index < result.size()) result[index] = ch;
    return result;
}

}  // namespace

std::string optionMaskWith(std::string_view mask, int box, bool checked) {
    if (box < kFirstOptionBox || box > kLastOptionBox) return std::string(mask);
    return withCharacter(mask, static_cast<std::size_t>(box - 1), checked ? 'E' : 'D');
}

std::string minusMarkWith(std::string_view mask, std::string_view mark_text) {
    if (mark_text.empty()) return std::string(mask);
    return withCharacter(mask, 0, mark_text.front());
}

std::string plusMarkWith(std::string_view mask, std::string_view mark_text) {
    if (mark_text.empty()) return std::string(mask);
    return withCharacter(mask, 1, mark_text.front());
}

std::string paddedOptionMask(std::string_view mask) {
    std::string result(mask);
    if (result.size() < kOptionMaskLength) result.resize(kOptionMaskLength, ' ');
    return result;
}

std::string setOptionsCommand(std::string_view mask) {
    return "SETMP " + paddedOptionMask(mask).substr(0, kOptionMaskLength);
}

std::string timeoutFilterCommand(const TimeoutFilters& filters) {
    return "SETTF," + twoDigits(filters.temperature1) + "," + twoDigits(filters.temperature2) + "," +
           twoDigits(filters.analog1) + "," + twoDigits(filters.analog2) + " " + oneDigit(filters.digital);
}

std::string restartEnableCommand(bool enabled) {
    return enabled ? "RSTEN1" : "RSTEN0";
}

}  // namespace hx350::params
