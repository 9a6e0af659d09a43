#include "params/fields.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "command_table.h"

namespace hx350::params {
namespace {

using testing::CommandRow;

// The threshold field built the way the window's own formatting routine works on the decimal text: pad
// to four with spaces, put "+" in front of an unsigned text, then move the digits to the right end and
// fill the gap after the sign with zeros.
std::string string4ByShuffling(int value) {
    std::string text = std::to_string(value);
    text.resize(4, ' ');
    if (text[0] != '+' && text[0] != '-') text = "+" + text.substr(0, 3);
    if (!isDecimalDigit(text[3])) {
        std::string digits;
        for (std::size_t i = 1; i < 4; ++i) {
            if (isDecimalDigit(text[i])) digits += text[i];
        }
        text = text.substr(0, 1) + std::string(3 - digits.size(), '0') + digits;
    }
    return text;
}

// The same field by printf: sign character, then the magnitude zero-padded to three digits.
std::string string4ByPrintf(int value) {
    char buffer[16];  // room for any int, so the compiler can prove no truncation
    std::snprintf(buffer, sizeof buffer, "%c%03d", value < 0 ? '-' : '+', std::abs(value));
    return buffer;
}

TEST(String4, AgreesWithTwoIndependentFormulationsFromMinus999To999) {
    for (int value = -999; value <= 999; ++value) {
        const std::string field = String4(value);
        ASSERT_EQ(field.size(), 4u) << value;
        ASSERT_EQ(field, string4ByShuffling(value)) << value;
        ASSERT_EQ(field, string4ByPrintf(value)) << value;
    }
}

const CommandRow kFieldRows[] = {
    {"String4Minus99", [] { return String4(-99); }, "-099"},
    {"String4Minus10", [] { return String4(-10); }, "-010"},
    {"String4Minus5", [] { return String4(-5); }, "-005"},
    {"String4Minus1", [] { return String4(-1); }, "-001"},
    {"String4Zero", [] { return String4(0); }, "+000"},
    {"String4Seven", [] { return String4(7); }, "+007"},
    {"String4FortyFive", [] { return String4(45); }, "+045"},
    {"String4Hundred", [] { return String4(100); }, "+100"},
    {"String4Max149", [] { return String4(149); }, "+149"},
    {"String4Plus999", [] { return String4(999); }, "+999"},
    {"String4Minus999", [] { return String4(-999); }, "-999"},
    {"String4Above999Clamped", [] { return String4(1000); }, "+999"},
    {"String4IntMinClamped", [] { return String4(INT_MIN); }, "-999"},
    {"TwoDigitsZero", [] { return twoDigits(0); }, "00"},
    {"TwoDigitsNine", [] { return twoDigits(9); }, "09"},
    {"TwoDigitsTen", [] { return twoDigits(10); }, "10"},
    {"TwoDigits99", [] { return twoDigits(99); }, "99"},
    {"TwoDigitsNegativeClamped", [] { return twoDigits(-1); }, "00"},
    {"TwoDigits100Clamped", [] { return twoDigits(100); }, "99"},
    {"OneDigitZero", [] { return oneDigit(0); }, "0"},
    {"OneDigitNine", [] { return oneDigit(9); }, "9"},
    {"OneDigitTenClamped", [] { return oneDigit(10); }, "9"},
    {"OneDigitNegativeClamped", [] { return oneDigit(-3); }, "0"},
    {"CaptionReading", [] { return std::string(readWriteCaption(true)); }, "RD"},
    {"CaptionWriting", [] { return std::string(readWriteCaption(false)); }, "WR"},
};
HX350_COMMAND_TABLE(Fields, kFieldRows);

TEST(Fields, DecimalDigitRejectsEveryOtherByte) {
    int digits = 0;
    for (int code = 0; code < 256; ++code) {
        if (isDecimalDigit(static_cast<char>(code))) ++digits;
    }
    EXPECT_EQ(digits, 10);
}

}  // namespace
}  // namespace hx350::params
