#include "params/schedule.h"

#include <gtest/gtest.h>

#include "command_table.h"

namespace hx350::params {
namespace {

using testing::CommandRow;

// Controls as "SET" reads them; `hours` lists the positions of the rows whose "Enable" box is checked
// (-1 for an unchecked row).
ScheduleControls controls(int type, int period, std::initializer_list<int> hours = {-1, -1, -1, -1}) {
    ScheduleControls c;
    c.type_index = type;
    c.period_index = period;
    int k = 0;
    for (int hour : hours) {
        c.enabled[k] = hour >= 0;
        c.hours[k] = hour < 0 ? 0 : hour;
        ++k;
    }
    return c;
}

std::string set(std::string_view code, const ScheduleControls& c) {
    return setScheduleCommand(scheduleCodeForSet(code, c));
}

constexpr int kAnalog = 0, kTemperature = 1, kCounter = 2, kLogger = 3, kDisable = kScheduleTypeDisable;
constexpr int kHours = 0, kTenMin = 1, kTwentyMin = 2, kThirtyMin = 3, kOther = kSchedulePeriodOther;
constexpr int kNone = -1;

const CommandRow kSetCases[] = {
    {"EmptyCodeStartState", [] { return set("", controls(kDisable, kOther)); }, "SETSH,         "},
    {"EmptyCodeAnalogHours", [] { return set("", controls(kAnalog, kHours)); }, "SETSH,A33      "},
    {"TemperatureOtherHours8And17",
     [] {
         return set("", controls(kTemperature, kOther, {8, -1, 17, -1}));
     },
     "SETSH,T08  17  "},
    {"TemperatureOtherOverPreviousCode",
     [] {
         return set("A33      ", controls(kTemperature, kOther, {8, -1, 17, -1}));
     },
     "SETSH,T08  17  "},
    {"DisableIgnoresControls",
     [] {
         return set("A33121314", controls(kDisable, kHours, {1, 2, 3, 4}));
     },
     "SETSH,         "},
    {"NoTypeSelectedIsDisable", [] { return set("A33121314", controls(kNone, kHours)); }, "SETSH,         "},
    {"CounterTenMinutes", [] { return set("", controls(kCounter, kTenMin)); }, "SETSH,C44      "},
    {"LoggerTwentyMinutes", [] { return set("", controls(kLogger, kTwentyMin)); }, "SETSH,L55      "},
    {"AnalogThirtyMinutes", [] { return set("", controls(kAnalog, kThirtyMin)); }, "SETSH,A66      "},
    {"PeriodOverridesFirstHour",
     [] {
         return set("", controls(kAnalog, kHours, {5, 6, 7, 8}));
     },
     "SETSH,A33060708"},
    {"OtherKeepsCodePeriodDigits", [] { return set("T44      ", controls(kAnalog, kOther)); },
     "SETSH,A44      "},
    {"NoPeriodSelectedKeepsDigits", [] { return set("T55      ", controls(kAnalog, kNone)); },
     "SETSH,A55      "},
    {"UncheckedRowsKeepCodeHours",
     [] {
         return set("A33121314", controls(kTemperature, kHours, {-1, 20, -1, -1}));
     },
     "SETSH,T33201314"},
    {"EdgeHours0And23",
     [] {
         return set("", controls(kAnalog, kOther, {0, 9, 10, 23}));
     },
     "SETSH,A00091023"},
    {"CounterLetterReplacedBySet", [] { return set("5        ", controls(kCounter, kOther)); },
     "SETSH,C        "},
    {"ShortCodePaddedToNine", [] { return set("T1", controls(kTemperature, kOther)); }, "SETSH,T1       "},
    {"LongCodeCutToNine", [] { return set("A33121314XYZ", controls(kAnalog, kHours)); }, "SETSH,A33121314"},
    {"CommandPadsShortCode", [] { return setScheduleCommand("A"); }, "SETSH,A        "},
    {"CommandEmptyCode", [] { return setScheduleCommand(""); }, "SETSH,         "},
    {"CommandCutsLongCode", [] { return setScheduleCommand("0123456789"); }, "SETSH,012345678"},
    {"GetSh", [] { return std::string(kGetSchedule); }, "GETSH"},
};
HX350_COMMAND_TABLE(ScheduleSet, kSetCases);

const CommandRow kImmediateEdits[] = {
    {"TrackBar1Enabled", [] { return applyTrackBarChange("T        ", 1, 8, true); }, "T08      "},
    {"TrackBar2Enabled", [] { return applyTrackBarChange("A33      ", 2, 7, true); }, "A3307    "},
    {"TrackBar4At23", [] { return applyTrackBarChange("A33      ", 4, 23, true); }, "A33    23"},
    {"TrackBar1OverwritesPeriod", [] { return applyTrackBarChange("A33      ", 1, 0, true); }, "A00      "},
    {"TrackBarNotEnabled", [] { return applyTrackBarChange("A33      ", 2, 7, false); }, "A33      "},
    {"TrackBarEmptyCode", [] { return applyTrackBarChange("", 2, 7, true); }, ""},
    {"TrackBarShortCodePadded", [] { return applyTrackBarChange("T", 2, 7, true); }, "T  07    "},
    {"TrackBarRowFive", [] { return applyTrackBarChange("A33      ", 5, 7, true); }, "A33      "},
    {"UncheckEnable2", [] { return applyCheckBoxSClick("A331213  ", 2, false); }, "A33  13  "},
    {"UncheckEnable1", [] { return applyCheckBoxSClick("T08121314", 1, false); }, "T  121314"},
    {"UncheckEnable4", [] { return applyCheckBoxSClick("T08121314", 4, false); }, "T081213  "},
    {"CheckEnableChangesNothing", [] { return applyCheckBoxSClick("T08  1314", 2, true); }, "T08  1314"},
    {"UncheckEnableEmptyCode", [] { return applyCheckBoxSClick("", 3, false); }, ""},
    {"UncheckEnableShortCodePadded", [] { return applyCheckBoxSClick("A33", 3, false); }, "A33      "},
    {"PeriodHours", [] { return applyRadioGroup1Click("T08  17  ", 0); }, "T33  17  "},
    {"PeriodTenMinutes", [] { return applyRadioGroup1Click("T08  17  ", 1); }, "T44  17  "},
    {"PeriodTwentyMinutes", [] { return applyRadioGroup1Click("T08  17  ", 2); }, "T55  17  "},
    {"PeriodThirtyMinutes", [] { return applyRadioGroup1Click("T08  17  ", 3); }, "T66  17  "},
    {"PeriodOtherLeaves", [] { return applyRadioGroup1Click("T08  17  ", 4); }, "T08  17  "},
    {"PeriodNoneLeaves", [] { return applyRadioGroup1Click("T08  17  ", -1); }, "T08  17  "},
    {"PeriodEmptyCode", [] { return applyRadioGroup1Click("", 0); }, ""},
    {"PeriodShortCodePadded", [] { return applyRadioGroup1Click("A", 1); }, "A44      "},
    {"TypeAnalog", [] { return applySMSShedClick("T33      ", 0); }, "A33      "},
    {"TypeTemperature", [] { return applySMSShedClick("A33      ", 1); }, "T33      "},
    {"TypeCounterWritesD", [] { return applySMSShedClick("A33      ", 2); }, "D33      "},
    {"TypeLoggerWrites3", [] { return applySMSShedClick("A33      ", 3); }, "333      "},
    {"TypeDisableWrites5", [] { return applySMSShedClick("A33      ", 4); }, "533      "},
    {"TypeNoneWritesSpace", [] { return applySMSShedClick("A33      ", -1); }, " 33      "},
    {"TypeOutOfRangeWritesSpace", [] { return applySMSShedClick("A33      ", 7); }, " 33      "},
    {"TypeEmptyCode", [] { return applySMSShedClick("", 0); }, ""},
    {"TypeShortCodePadded", [] { return applySMSShedClick("A3", 1); }, "T3       "},
    {"PaddedEmptyStaysEmpty", [] { return paddedScheduleCode(""); }, ""},
    {"PaddedFullUnchanged", [] { return paddedScheduleCode("A33121314"); }, "A33121314"},
};
HX350_COMMAND_TABLE(ScheduleImmediateEdits, kImmediateEdits);

TEST(ScheduleImmediateEdits, UncheckedHourIsSentAsSpacesBySet) {
    std::string code = "A331213  ";
    code = applyCheckBoxSClick(code, 2, false);
    EXPECT_EQ(setScheduleCommand(scheduleCodeForSet(code, controls(kAnalog, kHours, {-1, -1, 13, -1}))),
              "SETSH,A33  13  ");
}

struct RestoreRow {
    const char* name;
    std::string_view code;
    int type;
    std::optional<int> period;
    std::optional<int> hours[4];
};

const RestoreRow kRestoreRows[] = {
    {"EmptyCode", "", kDisable, kOther, {}},
    {"AnalogHourly", "A33      ", kAnalog, kHours, {0, {}, {}, {}}},
    {"TemperatureHours", "T08  17  ", kTemperature, kOther, {8, {}, 17, {}}},
    {"TenMinutesChecksFirstHourAtZero", " 44      ", kDisable, kTenMin, {0, {}, {}, {}}},
    {"CounterLetterShowsDisable", "C55      ", kDisable, kTwentyMin, {0, {}, {}, {}}},
    {"LoggerLetterShowsDisable", "L66      ", kDisable, kThirtyMin, {0, {}, {}, {}}},
    {"DLetter", "D55121314", kCounter, kTwentyMin, {0, 12, 13, 14}},
    {"ThreeLetter", "3        ", kLogger, kOther, {}},
    {"FiveLetter", "566      ", kDisable, kThirtyMin, {0, {}, {}, {}}},
    {"MixedPeriodDigitsLeaveSelection", "A34      ", kAnalog, std::nullopt, {0, {}, {}, {}}},
    {"FirstHourBelow24", "A20      ", kAnalog, kOther, {20, {}, {}, {}}},
    {"FirstHour23", "T23      ", kTemperature, kOther, {23, {}, {}, {}}},
    {"FirstHour24BecomesZero", "T24      ", kTemperature, kOther, {0, {}, {}, {}}},
    {"LaterHourKeptAsStored", "T  99    ", kTemperature, kOther, {{}, 99, {}, {}}},
    {"HalfDigitHourUnchecked", "T1 2 3 4 ", kTemperature, kOther, {}},
    {"ShortCode", "T3", kTemperature, std::nullopt, {}},
    {"ShortCodeOneCharacter", "A", kAnalog, kOther, {}},
    {"LongCodeReadsNineOnly", "A331213141", kAnalog, kHours, {0, 12, 13, 14}},
};

class ScheduleRestore : public ::testing::TestWithParam<RestoreRow> {};

TEST_P(ScheduleRestore, ShowsTheStoredCode) {
    const RestoredSchedule restored = decodeScheduleCode(GetParam().code);
    EXPECT_EQ(restored.type_index, GetParam().type);
    EXPECT_EQ(restored.period_index, GetParam().period);
    for (int k = 0; k < kSendHours; ++k)
        EXPECT_EQ(restored.hour_position[k], GetParam().hours[k]) << "hour " << k + 1;
}

INSTANTIATE_TEST_SUITE_P(Rows, ScheduleRestore, ::testing::ValuesIn(kRestoreRows),
                         ::hx350::params::testing::RowName());

const CommandRow kRecipientCases[] = {
    {"WriteRightAfterStart", [] { return recipientsCommand(kInitialRecipientMask); }, "SNFLT1"},
    {"Number3OnNumber1OffAndOn",
     [] {
         int mask = kInitialRecipientMask;
         mask = recipientMaskWith(mask, 3, true);
         mask = recipientMaskWith(mask, 1, false);
         mask = recipientMaskWith(mask, 1, true);
         return recipientsCommand(mask);
     },
     "SNFLT5"},
    {"AllThree", [] { return recipientsCommand(recipientMaskWith(recipientMaskWith(1, 2, true), 3, true)); },
     "SNFLT7"},
    {"NoneChecked", [] { return recipientsCommand(recipientMaskWith(kInitialRecipientMask, 1, false)); },
     "SNFLT0"},
    {"Number2Only", [] { return recipientsCommand(recipientMaskWith(0, 2, true)); }, "SNFLT2"},
    {"NumberFourChangesNothing", [] { return recipientsCommand(recipientMaskWith(1, 4, true)); }, "SNFLT1"},
    {"OnlyThreeBitsSent", [] { return recipientsCommand(9); }, "SNFLT1"},
};
HX350_COMMAND_TABLE(ScheduleRecipients, kRecipientCases);

}  // namespace
}  // namespace hx350::params
