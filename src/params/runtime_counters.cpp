#include "params/runtime_counters.h"

#include "params/fields.h"

namespace hx350::params {

std::string runTimeModeCommand(int mode) {
    return "RTMOD" + oneDigit(mode & 7);
}

std::string counterModeLabel(int counter, int mode) {
    const bool first = counter == 1;
    const std::string input = first ? "DI5" : "DI6";
    const std::string number = first ? "1" : "2";
    const bool run_time = (mode & (first ? 1 : 2)) != 0;
    if (!run_time) return input + " pulse counter " + number;
    const bool open = (mode & 4) != 0;
    return input + (open ? "=0 (open)" : "=1") + " RunTime counter " + number;
}

std::string counterSmsFormatCommand(CounterSmsFormat format) {
    return format == CounterSmsFormat::kF ? "CFLOW1" : "CFLOW0";
}

}  // namespace hx350::params
