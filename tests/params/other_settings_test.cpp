#include "params/other_settings.h"

#include <gtest/gtest.h>

#include "command_table.h"

namespace hx350::params {
namespace {

using testing::CommandRow;

TimeoutFilters filters(int t1, int t2, int a1, int a2, int d) {
    return TimeoutFilters{t1, t2, a1, a2, d};
}

const CommandRow kOtherCases[] = {
    {"UncheckDateTimeBox10", [] { return optionMaskWith(kOptionMaskDesign, 10, false); }, "MPEDEEDDDDEDDDE"},
    {"CheckBox10Again", [] { return optionMaskWith("MPEDEEDDDDEDDDE", 10, true); }, "MPEDEEDDDEEDDDE"},
    {"UncheckBox3", [] { return optionMaskWith(kOptionMaskDesign, 3, false); }, "MPDDEEDDDEEDDDE"},
    {"CheckBox4", [] { return optionMaskWith(kOptionMaskDesign, 4, true); }, "MPEEEEDDDEEDDDE"},
    {"UncheckBox15", [] { return optionMaskWith(kOptionMaskDesign, 15, false); }, "MPEDEEDDDEEDDDD"},
    {"CheckBox15Unchanged", [] { return optionMaskWith(kOptionMaskDesign, 15, true); }, "MPEDEEDDDEEDDDE"},
    {"CheckBox14PaddedMask", [] { return optionMaskWith("MPEDEEDDDEEDDDE ", 14, true); }, "MPEDEEDDDEEDDEE "},
    {"Box2IsNoOption", [] { return optionMaskWith(kOptionMaskDesign, 2, false); }, "MPEDEEDDDEEDDDE"},
    {"Box16IsNoOption", [] { return optionMaskWith("MPEDEEDDDEEDDDE ", 16, true); }, "MPEDEEDDDEEDDDE "},
    {"ShortMaskUnchanged", [] { return optionMaskWith("MPE", 10, true); }, "MPE"},
    {"PlusMarkX", [] { return plusMarkWith(kOptionMaskDesign, "X"); }, "MXEDEEDDDEEDDDE"},
    {"MinusMarkDash", [] { return minusMarkWith(kOptionMaskDesign, "-"); }, "-PEDEEDDDEEDDDE"},
    {"MinusMarkFirstCharacterOnly", [] { return minusMarkWith(kOptionMaskDesign, "AB"); }, "APEDEEDDDEEDDDE"},
    {"EmptiedMinusMarkKeepsCharacter", [] { return minusMarkWith("QPEDEEDDDEEDDDE", ""); },
     "QPEDEEDDDEEDDDE"},
    {"EmptiedPlusMarkKeepsCharacter", [] { return plusMarkWith("MQEDEEDDDEEDDDE", ""); }, "MQEDEEDDDEEDDDE"},
    {"PlusMarkOnEmptyMask", [] { return plusMarkWith("", "X"); }, ""},
    {"PaddedDesign", [] { return paddedOptionMask(kOptionMaskDesign); }, "MPEDEEDDDEEDDDE "},
    {"PaddedTwiceUnchanged", [] { return paddedOptionMask(paddedOptionMask(kOptionMaskDesign)); },
     "MPEDEEDDDEEDDDE "},
    {"PaddedEmpty", [] { return paddedOptionMask(""); }, "                "},
    {"SetMpDesign", [] { return setOptionsCommand(kOptionMaskDesign); }, "SETMP MPEDEEDDDEEDDDE "},
    {"SetMpSecondTimeSame", [] { return setOptionsCommand(paddedOptionMask(kOptionMaskDesign)); },
     "SETMP MPEDEEDDDEEDDDE "},
    {"SetMpPlusMarkX", [] { return setOptionsCommand(plusMarkWith(kOptionMaskDesign, "X")); },
     "SETMP MXEDEEDDDEEDDDE "},
    {"SetMpLongMaskCutTo16", [] { return setOptionsCommand("MPEDEEDDDEEDDDEXYZ"); },
     "SETMP MPEDEEDDDEEDDDEX"},
    {"GetMp", [] { return std::string(kGetOptions); }, "GETMP"},
    {"SetTfExample", [] { return timeoutFilterCommand(filters(5, 12, 99, 0, 3)); }, "SETTF,05,12,99,00 3"},
    {"SetTfAllZero", [] { return timeoutFilterCommand(TimeoutFilters{}); }, "SETTF,00,00,00,00 0"},
    {"SetTfEdges", [] { return timeoutFilterCommand(filters(9, 10, 0, 99, 9)); }, "SETTF,09,10,00,99 9"},
    {"RstEnOn", [] { return restartEnableCommand(true); }, "RSTEN1"},
    {"RstEnOff", [] { return restartEnableCommand(false); }, "RSTEN0"},
};
HX350_COMMAND_TABLE(OtherSettings, kOtherCases);

}  // namespace
}  // namespace hx350::params
