// The device link in direct mode: frames on the line, answers shown and routed.
#include <gtest/gtest.h>

#include <string>

#include "link_fixture.h"

namespace hx350 {
namespace {

using namespace std::string_literals;
using test::LinkOnPty;

const std::string kPrefix = std::string(14, ' ') + "SETUP:";

TEST(PadModuleCommand, PadsTextCommandsToTheirFrames) {
    struct Row {
        std::string text;
        std::size_t spaces;
    };
    const Row rows[] = {
        {"GETTX01", 32},                          // short: at most 32 spaces
        {"SETTX05 " + std::string(16, 'm'), 24},  // 24 characters: filled to 48
        {"SETTX05 " + std::string(15, 'm'), 25},  // 23 characters: filled to 48
        {"SETTX05 " + std::string(8, 'm'), 32},   // 16 characters: 32 spaces make 48
        {"SETTX05 " + std::string(7, 'm'), 32},   // 15 characters: 32 spaces make 47
        {"SETTX05 " + std::string(40, 'm'), 0},   // 48 characters: unchanged
        {"GETTI01", 16},                          // to 23
        {"SETTI01 " + std::string(15, 'n'), 0},   // 23 characters: unchanged
        {"SETTI01 " + std::string(14, 'n'), 1},   //
        {"GETST", 0},                             // other commands: unchanged
        {"gettx01", 0},                           // keywords are upper case
        {"", 0},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(padModuleCommand(row.text), row.text + std::string(row.spaces, ' ')) << row.text;
    }
}

TEST_F(LinkOnPty, ReadStateFramesGetstIn27Bytes) {
    link_.ReadStateClick();
    const std::string bytes = wire();
    EXPECT_EQ(bytes, kPrefix + "GETST\r"s + '\0');
    EXPECT_EQ(bytes.size(), 27u);
    EXPECT_EQ(window_.memo_s.Lines(), std::vector<std::string>{"GETST"});
    EXPECT_EQ(window_.memo_sms_input.Text(), "\r\n");
    EXPECT_EQ(window_.services.cursor, CursorShape::Hourglass);
    EXPECT_EQ(driver_.PollingDelay(), 4000);
    EXPECT_EQ(driver_.OutputTimeout(), 1500);
    EXPECT_EQ(driver_.InputTimeout(), 700u);
}

TEST_F(LinkOnPty, TextCommandsArePaddedOnTheLine) {
    link_.sendModuleCommand("GETTX01");
    EXPECT_EQ(wire(), kPrefix + "GETTX01" + std::string(32, ' ') + "\r" + '\0');
    link_.sendModuleCommand("GETTI07");
    EXPECT_EQ(wire(), kPrefix + "GETTI07" + std::string(16, ' ') + "\r" + '\0');
}

TEST_F(LinkOnPty, SignalQualityIsAPlainLine) {
    window_.skip_crlf = true;
    link_.SqualityClick();
    EXPECT_EQ(wire(), "  AT+CSQ\r");
    EXPECT_TRUE(state().plain_send);
    EXPECT_TRUE(state().crlf_memory);
    // Connect and Test keep the plain-send flag: while it is set they go out without frame.
    link_.TestBtnClick();
    EXPECT_EQ(wire(), "  +EXIT\r");
    link_.ReadStateClick();
    EXPECT_EQ(wire(), kPrefix + "GETST\r" + '\0');
    link_.ConnectBtnClick();
    EXPECT_EQ(wire(), kPrefix + "  OK\r" + '\0');
}

TEST_F(LinkOnPty, ShortAnswerToAPlainSendEndsWithNulAndClearsTheFlag) {
    link_.SqualityClick();
    wire();
    answer("\r\nOK\r\n");
    EXPECT_EQ(state().last_received_text, "\r\nOK\r\n"s + '\0');
    EXPECT_FALSE(state().plain_send);
    EXPECT_TRUE(state().reply_pending);
}

TEST_F(LinkOnPty, LongerAnswerToAPlainSendIsKeptAsItIs) {
    link_.SqualityClick();
    wire();
    answer("+CSQ: 17,99\r\n");
    EXPECT_EQ(state().last_received_text, "+CSQ: 17,99\r\n");
    EXPECT_TRUE(state().plain_send);
}

TEST_F(LinkOnPty, AnswerAfterANulEndedAnswerContinuesItsLine) {
    link_.SqualityClick();
    wire();
    answer("OK");
    tick();
    EXPECT_EQ(window_.memo_sms_input.Text(), "OK");
    answer("more\r\n");
    tick();
    EXPECT_EQ(window_.memo_sms_input.Lines(), (std::vector<std::string>{"OKmore", ""}));
}

TEST_F(LinkOnPty, SkipCrLfTurnsControlCharactersIntoSpaces) {
    window_.skip_crlf = true;
    link_.Clear();
    answer("ABCDEFGH\r\n");
    EXPECT_EQ(state().last_received_text, "ABCDEFGH  ");
    tick();
    EXPECT_EQ(window_.memo_sms_input.Lines(), std::vector<std::string>{"ABCDEFGH  "});
    EXPECT_EQ(state().last_received_text, "");
    EXPECT_FALSE(state().reply_pending);
    EXPECT_EQ(window_.services.cursor, CursorShape::Default);
}

TEST_F(LinkOnPty, UncheckedSkipCrLfIsSetBackFromItsMemory) {
    window_.skip_crlf = true;
    link_.SkipCRLFcbClick();
    window_.skip_crlf = false;
    answer("ABCDEFGH\r\n");
    EXPECT_EQ(state().last_received_text, "ABCDEFGH\r\n");  // read before the box was set back
    EXPECT_TRUE(window_.skip_crlf);
}

TEST_F(LinkOnPty, BatchOfNulBytesChangesOnlyTheProvisionalText) {
    link_.Clear();
    const LinkState before = state();
    const Color colour = window_.status_color;
    answer("\0\0\0"s);
    LinkState expected = before;
    expected.last_received_text = "\0"s;
    EXPECT_EQ(state(), expected);
    EXPECT_EQ(window_.status_color, colour);
}

TEST_F(LinkOnPty, ProvisionalTextRunsFromTheFirstCrForThePositionOfTheFirstNul) {
    window_.sms_mode = true;  // SMS mode keeps the provisional text
    answer("ab\rcd\0ef"s);
    EXPECT_EQ(state().last_received_text, "\rcd\0ef"s);
    answer("abcdef");
    EXPECT_EQ(state().last_received_text, "");
}

TEST_F(LinkOnPty, AnswerIsRoutedIntoThePageShownAtTheNextTick) {
    window_.page = 2;
    link_.sendModuleCommand("GETTX05");
    wire();
    answer("05: Door open\r\n");
    EXPECT_TRUE(window_.edits.empty());
    tick();
    EXPECT_EQ(window_.edits, (std::map<std::string, std::string>{{"TXTSMS5", "Door open"}}));
    EXPECT_EQ(window_.memo_sms_input.Text(), "\r\n05: Door open\r\n\r\n");
    // Shown once: the next tick has nothing left.
    window_.edits.clear();
    tick();
    EXPECT_TRUE(window_.edits.empty());
    EXPECT_EQ(window_.memo_sms_input.Text(), "\r\n05: Door open\r\n\r\n");
}

TEST_F(LinkOnPty, AnswerOfAnotherPageIsOnlyShown) {
    window_.page = 1;
    link_.Clear();
    answer("APN: internet\r\n");
    tick();
    EXPECT_TRUE(window_.edits.empty());
    EXPECT_EQ(window_.memo_sms_input.Text(), "APN: internet\r\n\r\n");
}

TEST_F(LinkOnPty, ListingIsReadAndDeletedInDirectModeToo) {
    answer("+CMGL: 4,1,,22\r\n0004039121F300006210109100000005C8329BFD06\r\nOK\r\n");
    EXPECT_EQ(wire(), "AT+CMGD=4\r");
    EXPECT_EQ(state().last_sms_text, "0004039121F300006210109100000005C8329BFD06");
    EXPECT_EQ(window_.status_color, colors::kRed);
}

TEST_F(LinkOnPty, ClearButtonRestoresTheRememberedSkipSetting) {
    window_.skip_crlf = true;
    link_.SkipCRLFcbClick();
    window_.skip_crlf = false;
    link_.ReadStateClick();
    window_.memo_sms_input.SetText("x\r\n");
    link_.ClearBtnClick();
    EXPECT_TRUE(window_.skip_crlf);
    EXPECT_EQ(window_.services.cursor, CursorShape::Default);
    EXPECT_EQ(window_.memo_sms_input.Count(), 0u);
}

TEST_F(LinkOnPty, PortPageReopensThePortWithTheChosenRate) {
    driver_.Disconnect();
    EXPECT_FALSE(link_.InitPort(3, 4));  // no device behind "port 4" in the test's driver
    EXPECT_EQ(driver_.Port(), pnCOM4);
    EXPECT_EQ(driver_.BaudRate(), br115200);
    EXPECT_EQ(driver_.BaudRateValue(), 115200u);
    EXPECT_EQ(driver_.HwFlow(), hfNONE);
    EXPECT_FALSE(driver_.EnableDTROnOpen());
}

// A module that never pauses, one line a second for a day: the received-text memo stays at its last
// 5,000 lines (so memory stays flat), each hour, and the newest answer is always the last one shown.
TEST_F(LinkOnPty, ADayOfAnswersEverySecondKeepsTheMemoBounded) {
    link_.ReadStateClick();
    wire();
    for (int hour = 1; hour <= 24; ++hour) {
        std::string answer;
        for (int second = 0; second < 3600; ++second) {
            answer = "ST OUT=00000 IN=0000000 T1=+21 h" + std::to_string(hour) + " s" +
                     std::to_string(second) + "\r\n";
            link_.CommPortDriver1ReceiveData(reinterpret_cast<const std::uint8_t*>(answer.data()),
                                             static_cast<std::uint32_t>(answer.size()));
            time_.advance(1000);  // Timer1 shows it
        }
        const Memo& memo = window_.memo_sms_input;
        ASSERT_LE(memo.Count(), 5000u) << "hour " << hour;
        ASSERT_LE(memo.Text().size(), 5000 * answer.size()) << "hour " << hour;
        // The answer's own CR LF and the one the display adds: the answer, then an empty line.
        ASSERT_EQ(memo.Lines()[memo.Count() - 2], answer.substr(0, answer.size() - 2)) << "hour " << hour;
    }
}

}  // namespace
}  // namespace hx350
