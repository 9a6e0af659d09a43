#include "params/temperature.h"

namespace hx350::params {

std::string temperatureDisplayText(int position) {
    return std::to_string(position);
}

std::string temperatureLevelCommand(int input, const ThresholdQuad& levels) {
    return "TCLEV" + std::to_string(input) + String4(levels.min2) + String4(levels.min1) +
           String4(levels.max1) + String4(levels.max2);
}

std::string clearCounterCommand(int counter) {
    return "CLRCT" + oneDigit(counter);
}

}  // namespace hx350::params
