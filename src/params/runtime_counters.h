// Module commands of the two counters fed by DI5 and DI6: the run-time/pulse mode and the format of the
// counter SMS. A mode is three bits: bit 0 counter 1 measures run time on DI5, bit 1 counter 2 measures
// run time on DI6, bit 2 run time is measured while the input is 0 (open) instead of 1. A counter whose
// bit is clear counts pulses.
#pragma once

#include <string>
#include <string_view>

namespace hx350::params {

inline constexpr int kRunTimeModeCount = 8;

enum class CounterSmsFormat {
    kC,  ///< "Counter SMS format C"
    kF,  ///< "Counter SMS format F"
};

/// runTimeModeCommand: "RTMOD" followed by the mode digit, e.g. "RTMOD3".
/// Parameters: mode - 0..7; only its three bits are sent.
std::string runTimeModeCommand(int mode);

/// counterModeLabel: the label a mode panel shows for counter 1 or 2, e.g. "DI5 pulse counter 1",
/// "DI6=1 RunTime counter 2", "DI5=0 (open) RunTime counter 1".
/// Parameters: counter - 1 or 2 (any other value is taken as 2); mode - 0..7.
std::string counterModeLabel(int counter, int mode);

/// counterSmsFormatCommand: "CFLOW0" for format C, "CFLOW1" for format F.
std::string counterSmsFormatCommand(CounterSmsFormat format);

}  // namespace hx350::params
