// Inputs the fuzzer of the AT interpreter found faults with, kept so the faults stay away.
#include <gtest/gtest.h>

#include <string>

#include "base/clock.h"
#include "sim/module.h"
#include "sim/phone.h"

namespace hx350::sim {
namespace {

class PhoneRegression : public ::testing::Test {
  protected:
    ManualTimeSource clock_{LocalDateTime{2026, 12, 7, 21, 0, 0, 60}};
    Module module_{clock_};
    Phone phone_{PhoneConfig{}, clock_, module_};
};

// A basic command's value of more digits than an int holds overflowed while it was read: 4294967297 is
// 2^32 + 1 and became ATE1 with wrap-around. It is a value no phone knows.
TEST_F(PhoneRegression, OverlongValueOfABasicCommandIsRefused) {
    EXPECT_EQ(phone_.feed("ATE4294967297\r"), "ATE4294967297\r\r\nERROR\r\n");
    EXPECT_EQ(phone_.feed("ATE1\r"), "\r\nOK\r\n");  // a refused ATE leaves echo off
    EXPECT_EQ(phone_.feed("ATV99999999999999999999999999999999\r"),
              "ATV99999999999999999999999999999999\r\r\nOK\r\n");
    EXPECT_EQ(phone_.feed("ATQ4294967296\r"), "ATQ4294967296\r\r\nERROR\r\n");
}

// The input the fuzzer stopped at: a run of digits after "AT" and more commands behind it on the line.
TEST_F(PhoneRegression, DigitRunAfterAtDoesNotOverflow) {
    const std::string out = phone_.feed("AT7777777777777777777777+CMGL=4\rAT\r");
    EXPECT_NE(out.find("ERROR\r\n"), std::string::npos);
    const std::string last = "AT\r\r\nOK\r\n";
    ASSERT_GE(out.size(), last.size());
    EXPECT_EQ(out.substr(out.size() - last.size()), last);
}

}  // namespace
}  // namespace hx350::sim
