#include "params/temperature.h"

#include <gtest/gtest.h>

#include "command_table.h"

namespace hx350::params {
namespace {

using testing::CommandRow;

const CommandRow kTemperatureCommands[] = {
    {"TcLev1Example",
     [] {
         return temperatureLevelCommand(1, {-10, 0, 30, 45});
     },
     "TCLEV1-010+000+030+045"},
    {"TcLev2AllMinimum",
     [] {
         return temperatureLevelCommand(2, {-99, -99, -99, -99});
     },
     "TCLEV2-099-099-099-099"},
    {"TcLev1NoOrderingRule",
     [] {
         return temperatureLevelCommand(1, {149, 100, 0, -1});
     },
     "TCLEV1+149+100+000-001"},
    {"TcLev4SingleDigits",
     [] {
         return temperatureLevelCommand(4, {-9, -1, 1, 9});
     },
     "TCLEV4-009-001+001+009"},
    {"TcLev3Zeros", [] { return temperatureLevelCommand(3, {}); }, "TCLEV3+000+000+000+000"},
    {"DisplayMinusSeven", [] { return temperatureDisplayText(-7); }, "-7"},
    {"DisplayZero", [] { return temperatureDisplayText(0); }, "0"},
    {"DisplayMax", [] { return temperatureDisplayText(149); }, "149"},
    {"DisplayMin", [] { return temperatureDisplayText(-99); }, "-99"},
    {"ClrCt1", [] { return clearCounterCommand(1); }, "CLRCT1"},
    {"ClrCt2", [] { return clearCounterCommand(2); }, "CLRCT2"},
    {"ClrCtBoth", [] { return clearCounterCommand(0); }, "CLRCT0"},
};
HX350_COMMAND_TABLE(TemperatureCommands, kTemperatureCommands);

}  // namespace
}  // namespace hx350::params
