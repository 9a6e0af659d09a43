#include "params/analog.h"

#include <gtest/gtest.h>

#include "command_table.h"

namespace hx350::params {
namespace {

using testing::CommandRow;

const CommandRow kAnalogCommands[] = {
    {"AnLev2EdgeValues",
     [] {
         return analogLevelCommand(2, {0, 9, 10, 99});
     },
     "ANLEV2,00,09,10,99"},
    {"AnLev1Example",
     [] {
         return analogLevelCommand(1, {5, 10, 80, 95});
     },
     "ANLEV1,05,10,80,95"},
    {"AnLev4NoOrderingRule",
     [] {
         return analogLevelCommand(4, {99, 50, 1, 0});
     },
     "ANLEV4,99,50,01,00"},
    {"AnLev3AllZero", [] { return analogLevelCommand(3, {}); }, "ANLEV3,00,00,00,00"},
    {"LevelDisplaySeven", [] { return analogLevelDisplayText(7); }, "07"},
    {"LevelDisplayZero", [] { return analogLevelDisplayText(0); }, "00"},
    {"LevelDisplay99", [] { return analogLevelDisplayText(99); }, "99"},
    {"RefLv2", [] { return referenceLevelCommand(ReferenceVoltage::k2V56, "1111"); }, "REFLV2,1111"},
    {"RefLv5", [] { return referenceLevelCommand(ReferenceVoltage::k5V, "1111"); }, "REFLV5,1111"},
    {"RefLvEmptyCoefficients", [] { return referenceLevelCommand(ReferenceVoltage::k5V, ""); }, "REFLV5,"},
    {"AddKf1", [] { return analogMultiplierCommand(1, "1000"); }, "ADDKF1,1000"},
    {"AddKf4", [] { return analogMultiplierCommand(4, "0250"); }, "ADDKF4,0250"},
    {"AddKf1Empty", [] { return analogMultiplierCommand(1, ""); }, "ADDKF1,"},
    {"Fl420On", [] { return analog420Command(1, true); }, "420FL1,1"},
    {"Fl420Off", [] { return analog420Command(1, false); }, "420FL1,0"},
    {"Fl420Input3", [] { return analog420Command(3, true); }, "420FL3,1"},
    {"AkSms1", [] { return extendedMultiplierCommand(1, "1000"); }, "AKSMS1,1000"},
    {"AkSms3Empty", [] { return extendedMultiplierCommand(3, ""); }, "AKSMS3,"},
    {"AextOn", [] { return extendedModeCommand(true); }, "AEXTF1"},
    {"AextOff", [] { return extendedModeCommand(false); }, "AEXTF0"},
    {"R420mStart", [] { return shuntCommand(kInitialShuntChoice); }, "R420M3"},
    {"R420mZero", [] { return shuntCommand(0); }, "R420M0"},
    {"R420mSeven", [] { return shuntCommand(7); }, "R420M7"},
    {"R420mAboveSevenSendsZero", [] { return shuntCommand(8); }, "R420M0"},
    {"R420mNegativeSendsZero", [] { return shuntCommand(-1); }, "R420M0"},
    {"R420mAfterUntickingAn1", [] { return shuntCommand(shuntChoiceWith(kInitialShuntChoice, 1, false)); },
     "R420M2"},
    {"ShuntLabel200", [] { return std::string(shuntLabel(true)); }, "200 Om"},
    {"ShuntLabel249", [] { return std::string(shuntLabel(false)); }, "249 Om"},
    {"AnDel05", [] { return measureDelayCommand(analogLevelDisplayText(5)); }, "ANDEL05"},
    {"AnDel00", [] { return measureDelayCommand("00"); }, "ANDEL00"},
    {"AnDelEmpty", [] { return measureDelayCommand(""); }, "ANDEL"},
    {"GetLv", [] { return std::string(kReadAnalogParameters); }, "GETLV"},
};
HX350_COMMAND_TABLE(AnalogCommands, kAnalogCommands);

TEST(AnalogShunt, ChoiceFollowsTheThreeBoxes) {
    int choice = 0;
    choice = shuntChoiceWith(choice, 1, true);
    choice = shuntChoiceWith(choice, 2, true);
    choice = shuntChoiceWith(choice, 3, true);
    EXPECT_EQ(choice, 7);
    EXPECT_EQ(shuntChoiceWith(choice, 3, false), 3);
    EXPECT_EQ(shuntChoiceWith(choice, 2, false), 5);
    EXPECT_EQ(shuntChoiceWith(3, 4, true), 3);  // there is no fourth current input
    EXPECT_EQ(shuntChoiceWith(3, 0, false), 3);
}

}  // namespace
}  // namespace hx350::params
