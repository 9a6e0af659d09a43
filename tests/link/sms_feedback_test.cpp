// What the status bar says about an SMS-mode exchange, and the log of listed messages: the link on a real
// pseudo-terminal, the test playing the phone, Timer1 and the clock driven by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "link/pdu_codec.h"
#include "link/sms_feedback.h"
#include "link_fixture.h"

namespace hx350 {
namespace {

using test::LinkOnPty;

// SMS-DELIVER PDUs built by hand after TS 23.040: "GETVR" CR from +123 (the module in these tests),
// "Hello" from +4915112345678, "OK" from the national number 017612345678, "Hi" from the alphanumeric
// sender "Info".
const std::string kGetvrFromModule = "0004039121F300006210109100000006C722D52A6D00";
const std::string kHelloFromStranger = "00040D91945111325476F800006210109100000005C8329BFD06";
const std::string kOkNational = "00040C8110672143658700006210109100000002CF25";
const std::string kHiAlphanumeric = "000408D049B7F90D00006210109100000002C834";

std::string listing(int index, const std::string& pdu) {
    return "AT+CMGL=1\r\r\n+CMGL: " + std::to_string(index) + ",1,,23\r\n" + pdu + "\r\n\r\nOK\r\n";
}

TEST(SmsFeedbackWords, RefusalIsThePhonesFinalErrorLine) {
    struct Row {
        std::string batch;
        std::optional<std::string> words;
    };
    const std::vector<Row> rows{
        {"\r\n+CMS ERROR: 500\r\n", "+CMS ERROR: 500"},
        {"AT+CMGS=16\r\r\nERROR\r\n", "ERROR"},
        {"\r\n+CME ERROR: 3\r\n", "+CME ERROR: 3"},
        {"\r\n+CMGS: 7\r\n\r\nOK\r\n", std::nullopt},
        {"> ", std::nullopt},
        {"\r\nNO ERRORS HERE\r\n", std::nullopt},  // a line that merely holds the word
        {"+CMS ERROR: 38", "+CMS ERROR: 38"},      // cut before its line end
    };
    for (const Row& row : rows)
        EXPECT_EQ(phoneRefusal(row.batch), row.words) << row.batch;
}

TEST(SmsFeedbackWords, SubscriberIsMatchedOnTheLastSevenDigits) {
    struct Row {
        const char* sender;
        const char* module;
        bool same;
    };
    const std::vector<Row> rows{
        {"+4917612345678", "017612345678", true},  // international and national forms
        {"+4917612345678", "+49 176 1234567 8", true},
        {"+4917612345679", "+4917612345678", false},
        {"+123", "+123", true},  // short numbers compare whole
        {"+123", "+0123", false},
        {"Info", "+4917612345678", false},
        {"", "+123", false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(sameSubscriber(row.sender, row.module), row.same) << row.sender << " / " << row.module;
}

TEST(SmsFeedbackWords, SenderOfAListedPdu) {
    EXPECT_EQ(PDUSenderNumber(kGetvrFromModule), "+123");
    EXPECT_EQ(PDUSenderNumber(kHelloFromStranger), "+4915112345678");
    EXPECT_EQ(PDUSenderNumber(kOkNational), "017612345678");
    EXPECT_EQ(PDUSenderNumber(kHiAlphanumeric), "Info");
    EXPECT_EQ(PDUSenderNumber("001130039121F300000B06C722B5896C00"), "");  // a stored SMS-SUBMIT
    EXPECT_EQ(PDUSenderNumber("00040D91945111"), "");                      // cut in the address
}

class SmsFeedbackLink : public LinkOnPty {
  protected:
    void SetUp() override {
        LinkOnPty::SetUp();
        window_.sms_mode = true;
    }

    const std::string& shown() const {
        static const std::string none;
        return window_.link_messages.empty() ? none : window_.link_messages.back();
    }

    /// GETST out, the phone prompts, a tick, the phone's confirmation `confirmation`.
    void exchange(const std::string& confirmation) {
        link_.ReadStateClick();
        wire();
        answer("AT+CMGS=16\r\r\n> ");
        wire();
        tick();
        answer(confirmation);
    }
};

TEST_F(SmsFeedbackLink, ProgressFromTheClickToTheListedAnswer) {
    tick(5);  // the listing count runs while the phone is idle
    link_.ReadStateClick();
    EXPECT_EQ(shown(), "Sending GETST to +123 (SMS)");
    EXPECT_EQ(state().sms_outcome, SmsOutcome::Pending);
    answer("AT+CMGS=16\r\r\n> ");
    wire();
    tick();  // the PDU is out: the phone is idle again and the count goes on
    answer("\r\n+CMGS: 7\r\n\r\nOK\r\n");
    EXPECT_EQ(shown(), "Sent; waiting for the module's answer (next check in 15 s)");
    EXPECT_EQ(state().sms_outcome, SmsOutcome::Confirmed);
    tick(14);
    EXPECT_EQ(shown(), "Sent; waiting for the module's answer (next check in 1 s)");
    tick();
    EXPECT_EQ(wire(), "AT+CMGL=1\r");
    answer(listing(4, kGetvrFromModule));
    EXPECT_EQ(shown(), "Answer received");
    tick(30);
    EXPECT_EQ(shown(), "Answer received");
}

TEST_F(SmsFeedbackLink, NoListedMessageForFiveMinutesIsPointedOutOnce) {
    exchange("\r\n+CMGS: 7\r\n\r\nOK\r\n");
    time_.advance(kNoAnswerMs - 2000);
    EXPECT_NE(shown(), kNoAnswerText);
    time_.advance(3000);
    EXPECT_EQ(shown(), kNoAnswerText);
    time_.advance(60000);
    EXPECT_EQ(std::count(window_.link_messages.begin(), window_.link_messages.end(), kNoAnswerText), 1);
    // A late answer is still an answer.
    answer(listing(2, kGetvrFromModule));
    EXPECT_EQ(shown(), "Answer received");
}

TEST_F(SmsFeedbackLink, RefusedSmsIsReportedAndCountsAsFailedWhileTheWireStaysAsItWas) {
    struct Row {
        const char* prompt_answer;
        const char* confirmation;
        const char* words;
    };
    const std::vector<Row> rows{
        {"AT+CMGS=16\r\r\n> ", "\r\n+CMS ERROR: 500\r\n", "+CMS ERROR: 500"},
        {"AT+CMGS=16\r\r\nERROR\r\n", "\r\nERROR\r\n", "ERROR"},
    };
    for (const Row& row : rows) {
        link_.resetExchangeState();
        wire();
        link_.SendSMS("GETMH");
        EXPECT_EQ(wire(), "AT+CMGS=16\r");
        answer(row.prompt_answer);
        EXPECT_EQ(wire(), "001130039121F300000B06C722B5896C00\x1A");  // the PDU goes out as before
        tick();
        answer(row.confirmation);
        EXPECT_FALSE(state().command_pending);
        EXPECT_FALSE(state().sms_exchange_active);
        EXPECT_EQ(state().sms_outcome, SmsOutcome::Refused);
        EXPECT_EQ(state().sms_refusal, row.words);
        EXPECT_EQ(shown(), std::string("The phone refused the SMS: ") + row.words);
        time_.advance(kNoAnswerMs + 1000);  // nothing is awaited from a refused message
        EXPECT_EQ(shown(), std::string("The phone refused the SMS: ") + row.words);
    }
}

TEST_F(SmsFeedbackLink, DroppedClickIsSaidNightlyRetryIsNot) {
    link_.ReadStateClick();
    wire();
    EXPECT_EQ(link_.sendModuleCommand("GETVR"), SendResult::DroppedBusy);
    EXPECT_EQ(wire(), "");
    EXPECT_EQ(shown(), "Not sent: the previous SMS is still being sent; try again when it is done");
    EXPECT_EQ(window_.memo_s.Lines(), std::vector<std::string>{"GETVR"});  // the memo as before

    // The nightly command meets the same busy phone and simply tries again at the next tick.
    window_.link_messages.clear();
    time_.skip(12 * 3600 * 1000 + 2 * 60 * 1000);  // 00:02:00
    tick();
    EXPECT_FALSE(state().nightly_command_sent);
    for (const std::string& message : window_.link_messages)
        EXPECT_NE(message, kNotSentBusyText);
}

TEST_F(SmsFeedbackLink, EveryListedMessageIsLoggedBeforeItIsDeleted) {
    exchange("\r\n+CMGS: 7\r\n\r\nOK\r\n");
    answer(listing(3, kHelloFromStranger));
    EXPECT_EQ(wire(), "AT+CMGD=3\r");  // deleted as before, once written down
    EXPECT_EQ(shown(), "SMS from +4915112345678 (not the module's number)");
    tick(3);
    EXPECT_EQ(shown(), "SMS from +4915112345678 (not the module's number)");  // no countdown over it
    answer(listing(7, kGetvrFromModule));
    EXPECT_EQ(shown(), "Answer received");

    const auto& log = link_.messageLog().messages();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].sender, "+4915112345678");
    EXPECT_EQ(log[0].text, "Hello");
    EXPECT_EQ(formatLogTime(log[0].time), "2026-12-07 12:00:00");
    EXPECT_EQ(log[1].sender, "+123");
    EXPECT_EQ(log[1].text, "GETVR\r");
    EXPECT_EQ(log[1].index, 7u);
}

TEST(MessageLogBound, KeepsTheNewestThousand) {
    MessageLog log;
    int added = 0;
    log.setOnAdd([&] { ++added; });
    for (unsigned i = 0; i < kMessageLogCapacity + 5; ++i)
        log.add({LocalDateTime{}, "+1", std::to_string(i), i});
    EXPECT_EQ(log.messages().size(), kMessageLogCapacity);
    EXPECT_EQ(log.messages().front().text, "5");
    EXPECT_EQ(log.messages().back().text, std::to_string(kMessageLogCapacity + 4));
    EXPECT_EQ(log.total(), kMessageLogCapacity + 5);
    EXPECT_EQ(added, static_cast<int>(kMessageLogCapacity + 5));
}

}  // namespace
}  // namespace hx350
