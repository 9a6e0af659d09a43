#include "params/schedule.h"

#include "params/fields.h"

namespace hx350::params {

namespace {

// 0-based index of the first character of send hour 1..4 (characters 2-3, 4-5, 6-7, 8-9).
std::size_t hourIndex(int hour) {
    return static_cast<std::size_t>(2 * hour - 1);
}

bool isSendHour(int hour) {
    return hour >= 1 && hour <= kSendHours;
}

void writeAt(std::string& code, std::size_t index, std::string_view text) {
    code.replace(index, text.size(), text);
}

std::string_view periodDigits(int period_index) {
    switch (period_index) {
        case 0:
            return "33";
        case 1:
            return "44";
        case 2:
            return "55";
        case 3:
            return "66";
        default:
            return {};
    }
}

}  // namespace

std::string paddedScheduleCode(std::string_view code) {
    if (code.empty()) return {};
    std::string result(code.substr(0, kScheduleCodeLength));
    result.resize(kScheduleCodeLength, ' ');
    return result;
}

std::string applyTrackBarChange(std::string_view code, int hour, int position, bool enabled) {
    std::string result = paddedScheduleCode(code);
    if (result.empty() || !enabled || !isSendHour(hour)) return std::string(code);
    writeAt(result, hourIndex(hour), twoDigits(position));
    return result;
}

std::string applyCheckBoxSClick(std::string_view code, int hour, bool checked) {
    std::string result = paddedScheduleCode(code);
    if (result.empty() || checked || !isSendHour(hour)) return std::string(code);
    writeAt(result, hourIndex(hour), "  ");
    return result;
}

std::string applyRadioGroup1Click(std::string_view code, int period_index) {
    std::string result = paddedScheduleCode(code);
    const std::string_view digits = periodDigits(period_index);
    if (result.empty() || digits.empty()) return std::string(code);
    writeAt(result, 1, digits);
    return result;
}

std::string applySMSShedClick(std::string_view code, int type_index) {
    std::string result = paddedScheduleCode(code);
    if (result.empty()) return result;
    static constexpr std::string_view kLetters = "ATD35";
    result[0] = type_index >= 0 && type_index < static_cast<int>(kLetters.size())
                    ? kLetters[static_cast<std::size_t>(type_index)]
                    : ' ';
    return result;
}

std::string scheduleCodeForSet(std::string_view code, const ScheduleControls& controls) {
    std::string working = code.empty() ? std::string(kScheduleCodeLength, ' ') : paddedScheduleCode(code);
    for (int hour = 1; hour <= kSendHours; ++hour) {
        const auto k = static_cast<std::size_t>(hour - 1);
        if (controls.enabled[k]) writeAt(working, hourIndex(hour), twoDigits(controls.hours[k]));
    }
    const std::string_view digits = periodDigits(controls.period_index);
    if (!digits.empty()) writeAt(working, 1, digits);
    static constexpr std::string_view kTypes = "ATCL";
    if (controls.type_index >= 0 && controls.type_index < static_cast<int>(kTypes.size())) {
        working[0] = kTypes[static_cast<std::size_t>(controls.type_index)];
    } else {
        working.assign(kScheduleCodeLength, ' ');
    }
    return working;
}

std::string setScheduleCommand(std::string_view code) {
    std::string fixed(code.substr(0, kScheduleCodeLength));
    fixed.resize(kScheduleCodeLength, ' ');
    return "SETSH," + fixed;
}

RestoredSchedule decodeScheduleCode(std::string_view code) {
    code = code.substr(0, kScheduleCodeLength);
    const auto at = [code](std::size_t index) { return index < code.size() ? code[index] : '\0'; };
    RestoredSchedule restored;

    for (int hour = 1; hour <= kSendHours; ++hour) {
        const char tens = at(hourIndex(hour));
        const char units = at(hourIndex(hour) + 1);
        if (!isDecimalDigit(tens) || !isDecimalDigit(units)) continue;
        int value = (tens - '0') * 10 + (units - '0');
        if (hour == 1 && value >= 24) value = 0;
        restored.hour_position[hour - 1] = value;
    }

    switch (at(0)) {
        case 'A':
            restored.type_index = 0;
            break;
        case 'T':
            restored.type_index = 1;
            break;
        case 'D':
            restored.type_index = 2;
            break;
        case '3':
            restored.type_index = 3;
            break;
        case '5':
            restored.type_index = 4;
            break;
        default:
            restored.type_index = kScheduleTypeDisable;
            break;
    }

    const char first = at(1);
    if (first < '3' || first > '6') {
        restored.period_index = kSchedulePeriodOther;
    } else if (at(2) == first) {
        restored.period_index = first - '3';
    }
    return restored;
}

int recipientMaskWith(int mask, int number, bool checked) {
    if (number < 1 || number > 3) return mask;
    const int bit = 1 << (number - 1);
    return checked ? (mask | bit) : (mask & ~bit);
}

std::string recipientsCommand(int mask) {
    return "SNFLT" + oneDigit(mask & 7);
}

}  // namespace hx350::params
