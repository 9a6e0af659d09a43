#include "params/subscribers.h"

#include <gtest/gtest.h>

#include "command_table.h"

namespace hx350::params {
namespace {

using testing::CommandRow;

const CommandRow kSubscriberCommands[] = {
    {"SetNn3International", [] { return setAlarmNumberCommand(3, "+37120000000"); }, "SETNN3 +37120000000"},
    {"SetNn3Echo", [] { return setAlarmNumberEcho(3, "+37120000000"); }, "SETNN3,+37120000000"},
    {"SetNn1National", [] { return setAlarmNumberCommand(1, "29123456"); }, "SETNN1 29123456"},
    {"SetNn7FullLength", [] { return setAlarmNumberCommand(7, cutNumber("+1234567890123456789012345")); },
     "SETNN7 +1234567890123456789"},
    {"ClrNr4", [] { return clearAlarmNumberCommand(4); }, "CLRNR4"},
    {"ClrNr1", [] { return clearAlarmNumberCommand(1); }, "CLRNR1"},
    {"GetNr4", [] { return getAlarmNumberCommand(4); }, "GETNR4"},
    {"GetNr7", [] { return getAlarmNumberCommand(7); }, "GETNR7"},
    {"SetPb5EmptyBecomesPlaceholder", [] { return setPhoneBookCommand(5, phoneBookEntryOrPlaceholder("")); },
     "SETPB5 +99"},
    {"SetPb1Number", [] { return setPhoneBookCommand(1, phoneBookEntryOrPlaceholder("+37129999999")); },
     "SETPB1 +37129999999"},
    {"SetPb7TwoDigits", [] { return setPhoneBookCommand(7, phoneBookEntryOrPlaceholder("12")); },
     "SETPB7 12"},
    {"ReadPbTwoLeadingSpaces", [] { return readPhoneBookCommand(); }, "  GETPB"},
    {"ReadPbEcho", [] { return readPhoneBookEcho(); }, "GETPB"},
    {"CutNumberShortUnchanged", [] { return cutNumber("123"); }, "123"},
    {"CutNumberTo20", [] { return cutNumber("123456789012345678901234"); }, "12345678901234567890"},
};
HX350_COMMAND_TABLE(SubscriberCommands, kSubscriberCommands);

struct NumberCheckRow {
    const char* name;
    std::string_view number;
    bool sendable;
};

const NumberCheckRow kAlarmNumberChecks[] = {
    {"Empty", "", false},
    {"OnePlus", "+", false},
    {"OneDigit", "5", false},
    {"TwoDigits", "12", false},
    {"PlusDigit", "+3", false},
    {"ThreeDigits", "123", true},
    {"International", "+37120000000", true},
    {"TwoPlusSigns", "++37120000000", false},
    {"DigitsThenPlus", "12+3", true},
    {"PlusDigitPlus", "+1+", true},
    {"SecondPlus", "1+23", false},
    {"LetterFirst", "A123", false},
    {"SpaceFirst", " 123", false},
    {"ThirdLetter", "12a", false},
    {"Latin1SuperscriptTwo",
     "1\xB2"
     "3",
     false},
};

class AlarmNumberCheck : public ::testing::TestWithParam<NumberCheckRow> {};

TEST_P(AlarmNumberCheck, DecidesWhetherToSend) {
    EXPECT_EQ(isAlarmNumberSendable(GetParam().number), GetParam().sendable);
}

INSTANTIATE_TEST_SUITE_P(Rows, AlarmNumberCheck, ::testing::ValuesIn(kAlarmNumberChecks),
                         ::hx350::params::testing::RowName());

struct PhoneBookRow {
    const char* name;
    std::string_view entry;
    std::string_view written;
};

const PhoneBookRow kPhoneBookEntries[] = {
    {"Empty", "", "+99"},
    {"OneDigit", "5", "+99"},
    {"OnePlus", "+", "+99"},
    {"TwoDigitsPass", "12", "12"},
    {"PlusDigitPasses", "+3", "+3"},
    {"PlusPlus", "++", "+99"},
    {"LetterFirst", "x12", "+99"},
    {"SecondLetter", "1a", "+99"},
    {"SecondPlus", "1+2", "+99"},
    {"International", "+37120000000", "+37120000000"},
    {"ThirdCharacterNotChecked", "12abc", "12abc"},
};

class PhoneBookEntry : public ::testing::TestWithParam<PhoneBookRow> {};

TEST_P(PhoneBookEntry, KeepsOrReplacesByPlaceholder) {
    EXPECT_EQ(phoneBookEntryOrPlaceholder(GetParam().entry), GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(Rows, PhoneBookEntry, ::testing::ValuesIn(kPhoneBookEntries),
                         ::hx350::params::testing::RowName());

}  // namespace
}  // namespace hx350::params
