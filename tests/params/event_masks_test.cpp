#include "params/event_masks.h"

#include <gtest/gtest.h>

#include "command_table.h"

namespace hx350::params {
namespace {

using testing::CommandRow;

std::string enableAt(std::string_view mask, char parked, int position) {
    return enableSource(mask, parked, position).mask;
}

const CommandRow kMaskEdits[] = {
    // Subscriber boxes on an enabled source edit the mask digit.
    {"UntickT41", [] { return withSubscriberBox("FFFF", 1, 4, false); }, "7FFF"},
    {"TickT41Again", [] { return withSubscriberBox("7FFF", 1, 4, true); }, "FFFF"},
    {"TickSubscriber3Position4", [] { return withSubscriberBox("0000", 4, 3, true); }, "0004"},
    {"UntickSubscriber2FromA", [] { return withSubscriberBox("000A", 4, 2, false); }, "0008"},
    {"ResultIsUpperCase", [] { return withSubscriberBox("7", 1, 4, true); }, "F"},
    {"TickAlreadySetBit", [] { return withSubscriberBox("F3FF", 2, 1, true); }, "F3FF"},
    {"UntickAlreadyClearBit", [] { return withSubscriberBox("0", 1, 1, false); }, "0"},
    {"DigitalPosition6", [] { return withSubscriberBox("FFFFFF-", 6, 1, false); }, "FFFFFE-"},
    // Characters that are not hexadecimal digits stay as they are.
    {"DashLeftAlone", [] { return withSubscriberBox("FFFF-- ", 5, 1, true); }, "FFFF-- "},
    {"SpaceLeftAlone", [] { return withSubscriberBox("FFFF-- ", 7, 2, true); }, "FFFF-- "},
    {"LowerCaseLeftAlone", [] { return withSubscriberBox("f", 1, 1, false); }, "f"},
    {"PositionPastEnd", [] { return withSubscriberBox("FF", 3, 1, true); }, "FF"},
    {"PositionZero", [] { return withSubscriberBox("FF", 0, 1, false); }, "FF"},
    {"SubscriberFiveSetsNothing", [] { return withSubscriberBox("0", 1, 5, true); }, "0"},
    // Disable and enable.
    {"DisableA2", [] { return disableSource("F3FF", '?', 2).mask; }, "F-FF"},
    {"DisableA2Parks3", [] { return std::string(1, disableSource("F3FF", '?', 2).parked); }, "3"},
    {"EnableA2Restores", [] { return enableAt("F-FF", '3', 2); }, "F3FF"},
    {"EnableParkedDashGivesZero", [] { return enableAt("F-FF", '-', 2); }, "F0FF"},
    {"EnableDigitalParkedDashGivesZero", [] { return enableAt("FFFF-- ", '-', 5); }, "FFFF0- "},
    {"EnableParkedSpaceGivesZero", [] { return enableAt("FFFF-- ", ' ', 6); }, "FFFF-0 "},
    {"DisablePastEndChangesNothing", [] { return disableSource("FF", 'C', 4).mask; }, "FF"},
    {"DisablePastEndKeepsParked", [] { return std::string(1, disableSource("FF", 'C', 4).parked); }, "C"},
    {"EnablePastEndChangesNothing", [] { return enableAt("FF", 'C', 4); }, "FF"},
    // Masks as start-up takes them.
    {"SavedTemperatureEmpty", [] { return savedMaskOrDefault(MaskKind::kTemperature, ""); }, "--00"},
    {"SavedAnalogEmpty", [] { return savedMaskOrDefault(MaskKind::kAnalog, ""); }, "--00"},
    {"SavedDigitalEmpty", [] { return savedMaskOrDefault(MaskKind::kDigital, ""); }, "0000000"},
    {"SavedMaskKept", [] { return savedMaskOrDefault(MaskKind::kAnalog, "12-F"); }, "12-F"},
    // The send command.
    {"SetMeInitial",
     [] { return setMasksCommand(kInitialTemperatureMask, kInitialAnalogMask, kInitialDigitalMask); },
     "SETME,FFFF,FFFF,FFFF-- "},
    {"SetMeSevenDigitalSendsSix", [] { return setMasksCommand("1234", "5678", "9ABCDEF"); },
     "SETME,1234,5678,9ABCDE "},
    {"SetMeDashesSent", [] { return setMasksCommand("-F-0", "0---", "------"); }, "SETME,-F-0,0---,------ "},
    {"SetMeShortDigital", [] { return setMasksCommand("FFFF", "FFFF", "FF"); }, "SETME,FFFF,FFFF,FF "},
};
HX350_COMMAND_TABLE(EventMaskEdits, kMaskEdits);

struct BitRow {
    const char* name;
    int value;
    int bit;
    int set;      // HEXfromCheckBox
    int cleared;  // HEXfromUnCheckBox
};

const BitRow kBitRows[] = {
    {"Bit1On0", 0, 1, 1, 0},         {"Bit8On15", 15, 8, 15, 7},    {"Bit2On5", 5, 2, 7, 5},
    {"Bit4On11", 11, 4, 15, 11},     {"ThreeIsNoBit", 5, 3, 5, 5},  {"ZeroIsNoBit", 5, 0, 5, 5},
    {"SixteenIsNoBit", 5, 16, 5, 5}, {"SixIsNoBit", 15, 6, 15, 15}, {"NegativeIsNoBit", 9, -1, 9, 9},
};

class HexBits : public ::testing::TestWithParam<BitRow> {};

TEST_P(HexBits, SetAndClearOnlySingleBits) {
    EXPECT_EQ(HEXfromCheckBox(GetParam().value, GetParam().bit), GetParam().set);
    EXPECT_EQ(HEXfromUnCheckBox(GetParam().value, GetParam().bit), GetParam().cleared);
}

INSTANTIATE_TEST_SUITE_P(Rows, HexBits, ::testing::ValuesIn(kBitRows), ::hx350::params::testing::RowName());

TEST(EventMasks, HexDigitsRoundTripInUpperCase) {
    for (int value = 0; value < 16; ++value) {
        EXPECT_EQ(hexDigitValue(hexDigitChar(value)), value);
    }
    EXPECT_EQ(hexDigitChar(10), 'A');
    EXPECT_FALSE(hexDigitValue('a').has_value());
    EXPECT_FALSE(hexDigitValue('G').has_value());
    EXPECT_FALSE(hexDigitValue('-').has_value());
}

TEST(EventMasks, DisabledSourceEditsItsParkedDigit) {
    // A2 disabled: the mask shows "-", a subscriber click edits the parked digit, enabling brings it back.
    auto disabled = disableSource("F3FF", '3', 2);
    ASSERT_EQ(disabled.mask, "F-FF");
    std::string parked(1, disabled.parked);
    parked = withSubscriberBox(parked, 1, 1, true);  // bit 1 already set
    EXPECT_EQ(parked, "3");
    parked = withSubscriberBox(parked, 1, 3, true);
    EXPECT_EQ(parked, "7");
    EXPECT_EQ(enableSource(disabled.mask, parked[0], 2).mask, "F7FF");
}

struct DecodeRow {
    const char* name;
    char ch;
    bool disabled;
    bool subscriber[4];
};

const DecodeRow kDecodeRows[] = {
    {"F", 'F', false, {true, true, true, true}},         {"Zero", '0', false, {false, false, false, false}},
    {"Five", '5', false, {true, false, true, false}},    {"A", 'A', false, {false, true, false, true}},
    {"Dash", '-', true, {false, false, false, false}},   {"Space", ' ', true, {false, false, false, false}},
    {"LowerA", 'a', true, {false, false, false, false}},
};

class MaskDecoding : public ::testing::TestWithParam<DecodeRow> {};

TEST_P(MaskDecoding, TicksBoxesOfTheDigitOrDisable) {
    const SourceBoxes boxes = decodeMaskCharacter(GetParam().ch);
    EXPECT_EQ(boxes.disabled, GetParam().disabled);
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(boxes.subscriber[k], GetParam().subscriber[k]) << "subscriber " << k + 1;
}

INSTANTIATE_TEST_SUITE_P(Rows, MaskDecoding, ::testing::ValuesIn(kDecodeRows),
                         ::hx350::params::testing::RowName());

}  // namespace
}  // namespace hx350::params
