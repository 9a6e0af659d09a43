// Module commands of the temperature inputs (thresholds in whole degrees Celsius) and of the two counters.
#pragma once

#include <string>

#include "params/fields.h"

namespace hx350::params {

/// temperatureDisplayText: a threshold slider position as shown beside it, plain signed decimal ("-5",
/// "0", "149"); the command carries the 4-character String4 form instead.
std::string temperatureDisplayText(int position);

/// temperatureLevelCommand: "TCLEV" n, then String4 of Min2, Min1, Max1, Max2 with no separators, e.g.
/// "TCLEV1-010+000+030+045" (22 characters). No rule compares the four values.
/// Parameters: input - 1..4; levels - slider positions -99..149.
std::string temperatureLevelCommand(int input, const ThresholdQuad& levels);

/// clearCounterCommand: "CLRCT" + counter digit; 1 or 2 clears one counter, 0 both ("CLRCT0").
std::string clearCounterCommand(int counter);

}  // namespace hx350::params
