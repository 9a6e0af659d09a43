// Small text helpers every layer uses: decimal numbers as text and the decimal-digit test. Locale-free on
// purpose: the module's commands and the settings file are plain ASCII whatever the PC's locale says.
#pragma once

#include <string>

namespace hx350 {

/// A number as plain decimal text, "-" before negative values ("7", "-99", "99999").
inline std::string decimal(int value) {
    return std::to_string(value);
}

/// Whether `ch` is one of the decimal digits "0" to "9" (safe for any byte, signed or not).
constexpr bool isDecimalDigit(char ch) {
    return ch >= '0' && ch <= '9';
}

}  // namespace hx350
