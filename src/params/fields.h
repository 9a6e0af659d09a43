// Fixed-width fields shared by the module command builders: one-digit and two-digit decimal fields, the
// signed three-digit threshold field, and the read/write caption of the "WR" buttons.
//
// Every builder in this folder is a pure function: plain values in, the bare module command out (no
// padding, no line end, no framing; the command channel adds those when it sends).
#pragma once

#include <string>
#include <string_view>

#include "base/text.h"

namespace hx350::params {

/// The four thresholds of one analog or temperature input, always sent in this order.
struct ThresholdQuad {
    int min2 = 0;
    int min1 = 0;
    int max1 = 0;
    int max2 = 0;
};

using hx350::isDecimalDigit;

/// oneDigit: a position as one decimal digit "0" to "9".
///
/// Parameters: value - the position; values outside 0..9 are clamped into it, so the field always keeps
///                     its width of one character.
/// Result: one character.
std::string oneDigit(int value);

/// twoDigits: a number 0 to 99 as two decimal digits, with a leading "0" below 10 ("00", "07", "42").
///
/// Parameters: value - the number; values outside 0..99 are clamped into it, so the field always keeps its
///                     width of two characters.
/// Result: two characters.
std::string twoDigits(int value);

/// String4: the signed three-digit threshold field, exactly 4 characters: "+" for zero and positive values,
/// "-" for negative ones, then the absolute value as three digits with leading zeros (-99 -> "-099",
/// 0 -> "+000", 149 -> "+149").
///
/// Parameters: value - the threshold, -999 to 999; values beyond are clamped into that range so the field
///                     never grows past 4 characters.
/// Result: 4 characters.
std::string String4(int value);

/// readWriteCaption: the caption of a slot or setting button, "RD" while its page's "Read" box is ticked,
/// else "WR".
std::string_view readWriteCaption(bool reading);

}  // namespace hx350::params
