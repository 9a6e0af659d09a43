#include "params/analog.h"

namespace hx350::params {

std::string analogLevelDisplayText(int position) {
    return twoDigits(position);
}

std::string analogLevelCommand(int input, const ThresholdQuad& levels) {
    return "ANLEV" + std::to_string(input) + "," + twoDigits(levels.min2) + "," + twoDigits(levels.min1) +
           "," + twoDigits(levels.max1) + "," + twoDigits(levels.max2);
}

std::string referenceLevelCommand(ReferenceVoltage reference, std::string_view coefficients) {
    return std::string(reference == ReferenceVoltage::k5V ? "REFLV5" : "REFLV2") + "," +
           std::string(coefficients);
}

std::string analogMultiplierCommand(int input, std::string_view multiplier) {
    return "ADDKF" + std::to_string(input) + "," + std::string(multiplier);
}

std::string analog420Command(int input, bool current_mode) {
    return "420FL" + std::to_string(input) + (current_mode ? ",1" : ",0");
}

std::string extendedMultiplierCommand(int input, std::string_view multiplier) {
    return "AKSMS" + std::to_string(input) + "," + std::string(multiplier);
}

std::string extendedModeCommand(bool on) {
    return on ? "AEXTF1" : "AEXTF0";
}

int shuntChoiceWith(int choice, int input, bool shunt200) {
    if (input < 1 || input > 3) return choice;
    const int bit = 1 << (input - 1);
    return shunt200 ? (choice | bit) : (choice & ~bit);
}

std::string_view shuntLabel(bool shunt200) {
    return shunt200 ? "200 Om" : "249 Om";
}

std::string shuntCommand(int choice) {
    // A choice the three bits cannot hold is reset to 0 rather than sent as a wider number.
    return "R420M" + oneDigit(choice >= 0 && choice <= 7 ? choice : 0);
}

std::string measureDelayCommand(std::string_view delay_text) {
    return "ANDEL" + std::string(delay_text);
}

}  // namespace hx350::params
