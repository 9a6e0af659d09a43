// Command line, answer pacing and transcript format of hx350-sim.
#include <gtest/gtest.h>

#include "sim/options.h"
#include "sim/output_queue.h"
#include "sim/transcript.h"

namespace hx350::sim {
namespace {

ParseResult parse(std::vector<std::string> args) {
    return parseOptions(args);
}

TEST(Options, DefaultsWithOnlyTheMode) {
    const ParseResult r = parse({"--mode", "phone"});
    ASSERT_TRUE(r.options) << r.error;
    EXPECT_EQ(r.options->mode, SimMode::kPhone);
    EXPECT_EQ(r.options->answer_delay_ms, 50u);
    EXPECT_EQ(r.options->split, 0u);
    EXPECT_EQ(r.options->reply_delay_ms, 1000u);
    EXPECT_FALSE(r.options->silent);
    EXPECT_TRUE(r.options->module_number.empty());
}

TEST(Options, EveryOptionInBothSpellings) {
    const ParseResult r =
        parse({"--mode=module", "--link", "/tmp/x", "--transcript=/tmp/t", "--answer-delay", "0", "--split=8",
               "--split-pause", "5", "--reply-delay=20", "--silent", "--module-number", "+4917012"});
    ASSERT_TRUE(r.options) << r.error;
    EXPECT_EQ(r.options->mode, SimMode::kModule);
    EXPECT_EQ(r.options->link, "/tmp/x");
    EXPECT_EQ(r.options->transcript, "/tmp/t");
    EXPECT_EQ(r.options->answer_delay_ms, 0u);
    EXPECT_EQ(r.options->split, 8u);
    EXPECT_EQ(r.options->split_pause_ms, 5u);
    EXPECT_EQ(r.options->reply_delay_ms, 20u);
    EXPECT_TRUE(r.options->silent);
    EXPECT_EQ(r.options->module_number, "+4917012");
}

struct BadArgs {
    const char* name;
    std::vector<std::string> args;
};

class OptionErrors : public ::testing::TestWithParam<BadArgs> {};

TEST_P(OptionErrors, AreReported) {
    const ParseResult r = parse(GetParam().args);
    EXPECT_FALSE(r.options);
    EXPECT_FALSE(r.error.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Options, OptionErrors,
    ::testing::Values(BadArgs{"no_mode", {}}, BadArgs{"bad_mode", {"--mode", "modem"}},
                      BadArgs{"missing_value", {"--mode", "phone", "--split"}},
                      BadArgs{"negative_delay", {"--mode", "phone", "--answer-delay", "-5"}},
                      BadArgs{"huge_delay", {"--mode", "phone", "--answer-delay", "9999999"}},
                      BadArgs{"letters_in_number", {"--mode", "phone", "--module-number", "+49abc"}},
                      BadArgs{"unknown", {"--mode", "phone", "--fast"}},
                      BadArgs{"flag_with_value", {"--mode", "phone", "--silent=yes"}},
                      BadArgs{"link_and_device", {"--mode", "phone", "--link", "a", "--device", "b"}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(Options, HelpNeedsNoModeAndDocumentsTheAnswers) {
    const ParseResult r = parse({"--help"});
    ASSERT_TRUE(r.options);
    EXPECT_TRUE(r.options->help);
    EXPECT_NE(usageText().find("--answer-delay"), std::string::npos);
    EXPECT_NE(usageText().find("UNKNOWN COMMAND"), std::string::npos);
}

TEST(OutputQueue, HoldsAnswersBackByTheDelay) {
    OutputQueue q(50, 0, 0);
    q.push("abc", 1000);
    EXPECT_EQ(q.msUntilDue(1000), 50u);
    EXPECT_TRUE(q.takeDue(1049).empty());
    EXPECT_EQ(q.takeDue(1050), (std::vector<std::string>{"abc"}));
    EXPECT_TRUE(q.empty());
    EXPECT_FALSE(q.msUntilDue(1050));
    q.push("", 0);
    EXPECT_TRUE(q.empty());
}

TEST(OutputQueue, SplitsIntoPiecesWithPauses) {
    OutputQueue q(10, 4, 30);
    q.push("0123456789", 0);
    EXPECT_EQ(q.takeDue(10), (std::vector<std::string>{"0123"}));
    EXPECT_EQ(q.msUntilDue(10), 30u);
    EXPECT_EQ(q.takeDue(40), (std::vector<std::string>{"4567"}));
    EXPECT_EQ(q.takeDue(1000), (std::vector<std::string>{"89"}));
}

TEST(OutputQueue, KeepsOrderWhenALaterAnswerWouldBeDueEarlier) {
    OutputQueue q(0, 2, 100);
    q.push("aaaa", 0);  // pieces at 0 and 100
    q.push("b", 10);    // would be due at 10, must wait for the piece at 100
    EXPECT_EQ(q.takeDue(50), (std::vector<std::string>{"aa"}));
    EXPECT_EQ(q.takeDue(100), (std::vector<std::string>{"aa", "b"}));
}

TEST(OutputQueue, SurvivesTheTickCounterWrap) {
    OutputQueue q(50, 0, 0);
    q.push("x", 0xFFFFFFF0u);
    EXPECT_TRUE(q.takeDue(0xFFFFFFFFu).empty());
    EXPECT_EQ(q.msUntilDue(0xFFFFFFFFu), 35u);
    EXPECT_EQ(q.takeDue(0x22u), (std::vector<std::string>{"x"}));
}

TEST(Transcript, ControlCharactersAreNamed) {
    EXPECT_EQ(printableText(std::string("AT\r\n\x1a\x1b", 6) + std::string(1, '\0')),
              "AT<CR><LF><CTRL-Z><ESC><NUL>");
    EXPECT_EQ(printableText("a<b\xE4\x7F"), "a<LT>b<xE4><x7F>");
}

TEST(Transcript, EntryHasTimeDirectionTextAndHex) {
    EXPECT_EQ(formatTranscriptEntry("2025-09-23 14:05:09.123", Direction::kIn,
                                    std::string("  SETUP:GETST\r\0", 15)),
              "2025-09-23 14:05:09.123 in  15 bytes: \"  SETUP:GETST<CR><NUL>\"\n"
              "     20 20 53 45 54 55 50 3A 47 45 54 53 54 0D 00\n");
    EXPECT_EQ(formatTranscriptEntry("T", Direction::kOut, "k"), "T out 1 byte:  \"k\"\n     6B\n");
}

TEST(Transcript, HexWrapsAtThirtyTwoBytes) {
    const std::string entry = formatTranscriptEntry("T", Direction::kOut, std::string(33, 'A'));
    EXPECT_NE(entry.find("\n     41\n"), std::string::npos);  // the 33rd byte on its own line
}

}  // namespace
}  // namespace hx350::sim
