#include "params/fields.h"

#include <algorithm>
#include <cstdlib>

namespace hx350::params {

std::string oneDigit(int value) {
    return std::string(1, static_cast<char>('0' + std::clamp(value, 0, 9)));
}

std::string twoDigits(int value) {
    const int v = std::clamp(value, 0, 99);
    return {static_cast<char>('0' + v / 10), static_cast<char>('0' + v % 10)};
}

std::string String4(int value) {
    const int v = std::clamp(value, -999, 999);
    const int magnitude = std::abs(v);
    return {v < 0 ? '-' : '+', static_cast<char>('0' + magnitude / 100),
            static_cast<char>('0' + magnitude / 10 % 10), static_cast<char>('0' + magnitude % 10)};
}

std::string_view readWriteCaption(bool reading) {
    return reading ? "RD" : "WR";
}

}  // namespace hx350::params
