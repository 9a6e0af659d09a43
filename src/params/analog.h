// Module commands of the analog inputs: thresholds, reference voltage and coefficients, multipliers,
// 4-20 mA mode, the external SMS mode, the 249/200 Ohm shunt choice and the delay before measurement.
#pragma once

#include <string>
#include <string_view>

#include "params/fields.h"

namespace hx350::params {

enum class ReferenceVoltage {
    k2V56,  ///< "+2,56V"
    k5V,    ///< "+5V"
};

/// Shunt choice at start: AN1 and AN2 on the 200 Ohm shunt, AN3 on 249 Ohm.
inline constexpr int kInitialShuntChoice = 3;
inline constexpr std::string_view kReadAnalogParameters = "GETLV";

/// analogLevelDisplayText: a threshold or delay slider position as shown beside it, two digits ("07").
std::string analogLevelDisplayText(int position);

/// analogLevelCommand: "ANLEV" n "," Min2 "," Min1 "," Max1 "," Max2, each as two digits, e.g.
/// "ANLEV2,00,09,10,99". No rule compares the four values.
/// Parameters: input - 1..4; levels - slider positions 0..99 (clamped).
std::string analogLevelCommand(int input, const ThresholdQuad& levels);

/// referenceLevelCommand: "REFLV2" or "REFLV5", then "," and the coefficient digits as typed,
/// e.g. "REFLV5,1111".
std::string referenceLevelCommand(ReferenceVoltage reference, std::string_view coefficients);

/// analogMultiplierCommand: "ADDKF" n "," multiplier as typed, e.g. "ADDKF1,1000"; empty gives "ADDKF1,".
std::string analogMultiplierCommand(int input, std::string_view multiplier);

/// analog420Command: "420FL" n ",1" when the 4-20 mA mode is on, else ",0".
std::string analog420Command(int input, bool current_mode);

/// extendedMultiplierCommand: "AKSMS" n "," multiplier as typed, e.g. "AKSMS1,1000".
std::string extendedMultiplierCommand(int input, std::string_view multiplier);

/// extendedModeCommand: "AEXTF1" (on) or "AEXTF0" (off).
std::string extendedModeCommand(bool on);

/// shuntChoiceWith: the shunt choice after the shunt box of input 1..3 was ticked (200 Ohm, bit set) or
/// unticked (249 Ohm, bit cleared). Bits: 1 = AN1, 2 = AN2, 4 = AN3. Another input changes nothing.
int shuntChoiceWith(int choice, int input, bool shunt200);

/// shuntLabel: the label beside a shunt box, "200 Om" when ticked, else "249 Om".
std::string_view shuntLabel(bool shunt200);

/// shuntCommand: "R420M" followed by the choice as one digit; a choice outside 0..7 is sent as 0.
std::string shuntCommand(int choice);

/// measureDelayCommand: "ANDEL" followed directly by the delay edit's text, e.g. "ANDEL05".
std::string measureDelayCommand(std::string_view delay_text);

}  // namespace hx350::params
