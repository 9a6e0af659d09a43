// The device link in SMS mode: the command exchange with the phone, the start-up queries, the listing
// and its cadence, the night rule, the watchdogs, and the modem console.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/pdu_codec.h"
#include "link_fixture.h"

namespace hx350 {
namespace {

using namespace std::string_literals;
using test::LinkOnPty;
using test::Millis;

// The command of 20 characters, with its CR, to +123 makes a 30-octet PDU; its digits, built by hand
// from TS 23.040 (SMS-SUBMIT 11, MR 30, 03 91 21F3, PID 00, DCS 00, VP 0B, UDL 15) and the 7-bit packing.
const std::string kCommand30 = "SETNR3+4917012345678";
const std::string kPdu30 = "001130039121F300000B15D322D5299DAD68B9D80D1693CD6835DB0DD700";
const std::string kGetmhPdu = "001130039121F300000B06C722B5896C00";
const std::string kGetvrDeliver = "0004039121F300006210109100000006C722D52A6D00";  // "GETVR" CR
const std::string kHelloDeliver = "0004039121F300006210109100000005C8329BFD06";    // "Hello"

class SmsLink : public LinkOnPty {
  protected:
    void SetUp() override {
        LinkOnPty::SetUp();
        window_.sms_mode = true;
    }
};

TEST_F(SmsLink, CommandOfThirtyOctetsIsAnnouncedAs29ThenReleasedOnTheNextBatch) {
    EXPECT_EQ(link_.sendModuleCommand(kCommand30), SendResult::Sent);
    EXPECT_EQ(wire(), "AT+CMGS=29\r");
    EXPECT_TRUE(state().command_pending);
    EXPECT_TRUE(state().awaiting_prompt);
    EXPECT_TRUE(state().sms_sending_busy);
    EXPECT_TRUE(state().sms_exchange_active);
    EXPECT_EQ(state().stored_pdu, kPdu30 + '\0');

    answer("AT+CMGS=29\r\r\n> ");
    EXPECT_EQ(wire(), kPdu30 + "\x1A");
    EXPECT_FALSE(state().awaiting_prompt);
    EXPECT_TRUE(state().pdu_sent);
    EXPECT_FALSE(state().sms_sending_busy);
    EXPECT_EQ(window_.memo_s.Lines(), std::vector<std::string>{kCommand30 + kPdu30});

    tick();
    EXPECT_TRUE(state().confirmation_expected);
    answer("\r\n+CMGS: 7\r\n\r\nOK\r\n");
    EXPECT_FALSE(state().command_pending);
    EXPECT_FALSE(state().pdu_sent);
    EXPECT_FALSE(state().confirmation_expected);
    EXPECT_FALSE(state().sms_exchange_active);
    EXPECT_FALSE(state().sms_sending_busy);
    EXPECT_EQ(wire(), "");
}

TEST_F(SmsLink, AnyBatchReleasesThePdu) {
    link_.SendSMS("GETMH");
    EXPECT_EQ(wire(), "AT+CMGS=16\r");
    answer("ERROR\r\n");
    EXPECT_EQ(wire(), kGetmhPdu + "\x1A");
}

TEST_F(SmsLink, SecondCommandBeforeThePduWentOutIsDropped) {
    link_.sendModuleCommand(kCommand30);
    wire();
    const LinkState before = state();
    EXPECT_EQ(link_.sendModuleCommand("GETST"), SendResult::DroppedBusy);
    EXPECT_EQ(wire(), "");
    EXPECT_EQ(state().stored_pdu, before.stored_pdu);
    answer("> ");
    EXPECT_EQ(wire(), kPdu30 + "\x1A");
}

TEST_F(SmsLink, NoPduWritesNothingAndLeavesNoExchangeBehind) {
    struct Row {
        const char* number;
        std::string command;
    };
    const Row rows[] = {{"", "GETST"}, {"12a4", "GETST"}, {"+123", std::string(161, 'X')}};
    for (const Row& row : rows) {
        window_.br_number = row.number;
        window_.services.messages.clear();
        // A poll handled while the box is open must find no exchange to release.
        window_.services.while_open = [this] {
            EXPECT_FALSE(state().awaiting_prompt);
            EXPECT_FALSE(state().command_pending);
            answer("> ");
            tick();
        };
        EXPECT_EQ(link_.sendModuleCommand(row.command), SendResult::NoPdu) << row.number;
        EXPECT_EQ(wire(), "") << row.number;
        ASSERT_EQ(window_.services.messages.size(), 1u);
        EXPECT_EQ(window_.services.messages[0].text,
                  "Phone Number Error.\r\nPlease, check settings and try again.");
        EXPECT_EQ(window_.services.messages[0].caption, "Error");
        EXPECT_EQ(window_.services.messages[0].icon, MessageIcon::Error);
        EXPECT_FALSE(state().sms_sending_busy);
        EXPECT_FALSE(state().command_pending);
        EXPECT_FALSE(state().awaiting_prompt);
        EXPECT_FALSE(state().pdu_sent);
        EXPECT_FALSE(state().sms_exchange_active);
        EXPECT_EQ(window_.services.cursor, CursorShape::Default);
    }
}

TEST_F(SmsLink, StartUpQueriesGoOutInOrderEachAfterTheAnswerToThePreviousOne) {
    struct Step {
        std::string command;
        std::string answer;
    };
    const Step steps[] = {
        {"AT+CGMI\r", "AT+CGMI\r\r\nPHONEMAKER\r\n\r\nOK\r\n"},
        {"AT+CSCS?\r", "AT+CSCS?\r\r\n+CSCS: \"GSM\"\r\n\r\nOK\r\n"},
        {"AT+CGMM\r", "AT+CGMM\r\r\nPM45\r\n\r\nOK\r\n"},
        {"AT+CMEE=2\r", "AT+CMEE=2\r\r\nOK\r\n"},
        {"\n\rAT+CMGF=0\r", "\n\rAT+CMGF=0\r\r\nOK\r\n"},
        {"\n\rAT+CMGL=1\r", "\n\rAT+CMGL=1\r\r\nOK\r\n"},
    };
    link_.ReadAllParameterClick();
    for (const Step& step : steps) {
        tick();
        EXPECT_EQ(wire(), step.command);
        EXPECT_TRUE(state().sms_sending_busy);
        EXPECT_EQ(window_.status_color, colors::kRed);
        tick(3);  // no answer yet: the sequence waits
        EXPECT_EQ(wire(), "");
        answer(step.answer);
        EXPECT_FALSE(state().sms_sending_busy);
    }
    tick();
    EXPECT_FALSE(state().query_sequence_running);
    EXPECT_EQ(state().query_step, 7);
    EXPECT_EQ(window_.status_text, " ");
    EXPECT_EQ(window_.status_color, colors::kLime);
    EXPECT_EQ(window_.hersteller, "PHONEMAKER");
    EXPECT_EQ(window_.model_id_code, "PM45");
    EXPECT_FALSE(state().query_flags.any());
    EXPECT_EQ(
        window_.memo_sms_input.Lines(),
        (std::vector<std::string>{"AT+CGMI", "AT+CSCS?", "AT+CGMM", "AT+CMEE=2", "AT+CMGF=0", "AT+CMGL=1"}));
    EXPECT_TRUE(window_.services.messages.empty());
}

TEST_F(SmsLink, SilentPhoneIsReportedAfter99TicksOnce) {
    window_.services.while_open = [this] { tick(5); };  // the box's nested loop goes on ticking
    link_.ReadAllParameterClick();
    tick();
    EXPECT_EQ(wire(), "AT+CGMI\r");
    tick(97);
    EXPECT_TRUE(window_.services.messages.empty());
    EXPECT_TRUE(state().query_sequence_running);
    tick();
    ASSERT_EQ(window_.services.messages.size(), 1u);
    EXPECT_EQ(window_.services.messages[0].text, "Cell Phone not connected");
    EXPECT_EQ(window_.services.messages[0].caption, "Error");
    EXPECT_EQ(window_.services.messages[0].icon, MessageIcon::Error);
    EXPECT_FALSE(state().query_sequence_running);
    EXPECT_TRUE(state().phone_not_connected);
    EXPECT_EQ(window_.status_color, colors::kBlack);

    // Starting again does not show the box a second time while the phone stays silent.
    link_.ReadAllParameterClick();
    tick(250);
    EXPECT_EQ(window_.services.messages.size(), 2u);  // phone not connected was cleared by the restart
    link_.state().phone_not_connected = true;
    link_.state().query_sequence_running = true;
    tick(250);
    EXPECT_EQ(window_.services.messages.size(), 2u);
    EXPECT_EQ(window_.status_color, colors::kBlack);

    answer("\r\nOK\r\n");
    EXPECT_FALSE(state().phone_not_connected);
}

TEST_F(SmsLink, AnyBatchRestartsTheWatchdog) {
    link_.ReadAllParameterClick();
    tick();
    wire();
    tick(90);
    answer("AT+CGMI\r");  // echo only: the manufacturer query stays armed, but the phone is there
    tick(90);
    EXPECT_TRUE(window_.services.messages.empty());
}

TEST_F(SmsLink, UnansweredCommandIsGivenUpAfter99Ticks) {
    link_.sendModuleCommand("GETST");
    wire();
    tick(98);
    EXPECT_TRUE(window_.services.messages.empty());
    EXPECT_TRUE(state().awaiting_prompt);
    tick();
    ASSERT_EQ(window_.services.messages.size(), 1u);
    EXPECT_EQ(window_.services.messages[0].text, "Cell Phone not connected");
    EXPECT_FALSE(state().awaiting_prompt);
    EXPECT_FALSE(state().command_pending);
    EXPECT_FALSE(state().pdu_sent);
    EXPECT_FALSE(state().sms_sending_busy);
    EXPECT_FALSE(state().sms_exchange_active);
    EXPECT_TRUE(state().phone_not_connected);
    EXPECT_EQ(window_.status_color, colors::kBlack);
    // The next command goes out again; a second silence shows nothing more.
    link_.sendModuleCommand("GETST");
    EXPECT_EQ(wire(), "AT+CMGS=16\r");
    tick(200);
    EXPECT_EQ(window_.services.messages.size(), 1u);
}

TEST_F(SmsLink, UnconfirmedPduIsGivenUpToo) {
    link_.sendModuleCommand("GETST");
    answer("> ");
    wire();
    // The listing would clear PDU sent; the exchange holds it back as long as the exchange is active.
    link_.state().sms_exchange_active = true;
    tick(98);
    EXPECT_TRUE(window_.services.messages.empty());
    tick();
    EXPECT_EQ(window_.services.messages.size(), 1u);
    EXPECT_FALSE(state().pdu_sent);
    EXPECT_FALSE(state().confirmation_expected);
}

TEST_F(SmsLink, ListingEvery21IdleTicksAlternatingStatus) {
    tick(20);
    EXPECT_EQ(wire(), "");
    tick();
    EXPECT_EQ(wire(), "AT+CMGL=1\r");
    EXPECT_TRUE(state().listing_requested);
    EXPECT_EQ(window_.status_color, colors::kLime);
    EXPECT_EQ(window_.services.cursor, CursorShape::Default);
    tick(20);
    EXPECT_EQ(wire(), "");
    tick();
    EXPECT_EQ(wire(), "AT+CMGL=0\r");
    tick(21);
    EXPECT_EQ(wire(), "AT+CMGL=1\r");
    answer("AT+CMGL=1\r\r\nOK\r\n");
    EXPECT_FALSE(state().listing_requested);
}

TEST_F(SmsLink, ListingWaitsWhileThePhoneIsBusy) {
    tick(10);
    link_.state().sms_sending_busy = true;
    tick(30);
    EXPECT_EQ(wire(), "");
    EXPECT_EQ(state().listing_count, 10);
    link_.state().sms_sending_busy = false;
    link_.state().sms_exchange_active = true;
    tick(30);
    EXPECT_EQ(wire(), "");
    EXPECT_EQ(state().listing_count, 10);
    link_.state().sms_exchange_active = false;
    tick(10);
    EXPECT_EQ(wire(), "");
    tick();
    EXPECT_EQ(wire(), "AT+CMGL=1\r");
}

TEST_F(SmsLink, ListingAnswerIsShownAndItsFirstMessageDeleted) {
    answer("AT+CMGL=0\r\r\n+CMGL: 12,0,,23\r\n" + kGetvrDeliver + "\r\n+CMGL: 13,0,,22\r\n" + kHelloDeliver +
           "\r\n\r\nOK\r\n");
    EXPECT_EQ(wire(), "AT+CMGD=12\r");
    EXPECT_EQ(state().last_sms_text, "GETVR\r");
    EXPECT_EQ(window_.memo_sms_input.Text(), "\r\n\r\nGETVR\r\r\n\r\n");
    EXPECT_EQ(window_.status_color, colors::kRed);
    tick();
    EXPECT_EQ(window_.status_color, colors::kLime);
}

TEST_F(SmsLink, CutListingShowsAndDeletesNothing) {
    window_.memo_sms_input.SetText("kept\r\n");
    answer("AT+CMGL=0\r\r\n+CMGL: 12,0,,23\r\n" + kGetvrDeliver.substr(0, 20));
    EXPECT_EQ(wire(), "");
    EXPECT_EQ(window_.memo_sms_input.Text(), "kept\r\n");
    EXPECT_EQ(state().last_sms_text, "");
}

TEST_F(SmsLink, NightlyCommandRetriesWithinItsMinuteWhileThePhoneIsBusy) {
    time_.skip(12 * 3600 * 1000 - 10 * 1000);  // 23:59:50
    link_.sendModuleCommand("GETST");
    EXPECT_EQ(wire(), "AT+CMGS=16\r");
    time_.skip(2 * 60 * 1000 + 10 * 1000);  // 00:02:00
    tick();
    EXPECT_FALSE(state().nightly_command_sent);
    EXPECT_EQ(wire(), "");
    answer("> ");
    wire();
    tick();
    EXPECT_TRUE(state().nightly_command_sent);
    EXPECT_EQ(wire(), "AT+CMGS=16\r");
    tick(5);
    EXPECT_EQ(wire(), "");
}

TEST_F(SmsLink, NightRuleHoldsTheListingOnlyAroundMidnight) {
    struct Row {
        int seconds_of_day;
        bool exchange_active_after;
        bool nightly_sent_after;
    };
    const Row rows[] = {
        {0, true, true},           // 00:00:00 holds the listing
        {119, true, true},         // 00:01:59
        {180, false, false},       // 00:03:00 releases it
        {239, false, false},       // 00:03:59
        {240, true, false},        // later: the flag of the night is cleared, the exchange left alone
        {12 * 3600, true, false},  //
        {86399, true, false},      // 23:59:59
    };
    for (const Row& row : rows) {
        ManualTimeSource clock(LocalDateTime{2026, 12, 8, 0, 0, 0, 0});
        clock.skip(static_cast<std::uint64_t>(row.seconds_of_day) * 1000);
        TCommPortDriver closed_port(nullptr, clock.makeTimer(), clock);
        DeviceLink link(closed_port, clock, clock.makeTimer(), window_);
        link.state().nightly_command_sent = true;
        link.state().sms_exchange_active = true;
        link.Timer1Timer();
        EXPECT_EQ(link.state().sms_exchange_active, row.exchange_active_after) << row.seconds_of_day;
        EXPECT_EQ(link.state().nightly_command_sent, row.nightly_sent_after) << row.seconds_of_day;
    }
}

TEST_F(SmsLink, SwitchingSmsModeOffClearsListingRequested) {
    tick(21);
    ASSERT_TRUE(state().listing_requested);
    window_.sms_mode = false;
    link_.SMSmodeClick();
    EXPECT_FALSE(state().listing_requested);
}

TEST_F(SmsLink, ClockQueryIsRepeatedUntilThePhoneTakesIt) {
    link_.state().query_values.date_time = "\"26/12/07,11:00:00\"";
    link_.state().date_time_refresh = true;
    link_.state().sms_sending_busy = true;
    link_.state().sms_exchange_active = true;
    tick();
    EXPECT_EQ(wire(), "");
    EXPECT_TRUE(state().date_time_refresh);
    EXPECT_EQ(window_.date_time, "\"26/12/07,11:00:00\"");
    link_.state().sms_sending_busy = false;
    tick();
    EXPECT_EQ(wire(), "AT+CCLK?\r");
    EXPECT_FALSE(state().date_time_refresh);
    answer("AT+CCLK?\r\r\n+CCLK: \"26/12/07,12:00:05+04\"\r\n\r\nOK\r\n");
    link_.GetDateTime();
    EXPECT_EQ(window_.date_time, "\"26/12/07,12:00:05+04\"");
}

// ---------------------------------------------------------------------------------------------------------
// The night, simulated: a phone that answers everything, Timer1 and the driver's poll on the hand-driven
// clock, from 23:00 through two midnights.

struct Sent {
    std::string command;
    int day;
    int seconds_of_day;
};

TEST_F(SmsLink, OneGetmhEachNightAtTwoMinutesPastMidnight) {
    time_.skip(11 * 3600 * 1000);  // 23:00:00
    std::vector<Sent> sent;
    std::string pending;
    for (int second = 0; second < 26 * 3600; ++second) {
        time_.advance(1000);
        pending += waitingOnWire();
        // A pseudo-terminal hands bytes over asynchronously: wait until every answer is readable by the
        // driver, so a loaded machine cannot push an answer past the next poll.
        std::size_t answered = pty_.secondaryInputCount();
        const auto answer = [&](std::string_view bytes) {
            pty_.writePrimary(bytes);
            answered += bytes.size();
        };
        for (;;) {
            const std::size_t end = pending.find_first_of("\r\x1A");
            if (end == std::string::npos) break;
            const std::string command = pending.substr(0, end + 1);
            pending.erase(0, end + 1);
            const LocalDateTime now = time_.localNow();
            sent.push_back({command, now.day, now.secondsOfDay()});
            if (command.starts_with("AT+CMGS=")) {
                answer("\r\n> ");
            } else if (command.ends_with("\x1A")) {
                answer("\r\n+CMGS: 1\r\n\r\nOK\r\n");
            } else {
                answer("\r\nOK\r\n");
            }
        }
        ASSERT_TRUE(pty_.waitSecondaryInput(answered));
    }
    std::vector<Sent> commands;
    int listings_in_hold = 0;
    int listings = 0;
    for (const Sent& s : sent) {
        if (s.command.starts_with("AT+CMGS=")) commands.push_back(s);
        if (s.command.starts_with("AT+CMGL=")) {
            ++listings;
            if (s.seconds_of_day >= 2 && s.seconds_of_day < 120) ++listings_in_hold;
        }
    }
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0].day, 8);
    EXPECT_EQ(commands[1].day, 9);
    for (const Sent& s : commands) {
        EXPECT_EQ(s.command, "AT+CMGS=16\r");
        EXPECT_GE(s.seconds_of_day, 120);
        EXPECT_LT(s.seconds_of_day, 180);
    }
    EXPECT_EQ(listings_in_hold, 0);
    // One listing per 21 idle seconds, less the held minutes around each midnight.
    EXPECT_GT(listings, 26 * 3600 / 21 - 30);
    for (const auto& m : window_.services.messages)
        ADD_FAILURE() << "unexpected box: " << m.text;
    EXPECT_FALSE(state().command_pending);
}

// ---------------------------------------------------------------------------------------------------------
// Modem console

TEST_F(SmsLink, ConsoleQueriesWriteTheirExactCharacters) {
    struct Row {
        void (DeviceLink::*query)();
        std::string bytes;
        QueryFlag flag;
    };
    const Row rows[] = {
        {&DeviceLink::GetHersteller, "AT+CGMI\r", QueryFlag::Manufacturer},
        {&DeviceLink::GetCharSetClick, "AT+CSCS?\r", QueryFlag::CharacterSet},
        {&DeviceLink::GetModel, "AT+CGMM\r", QueryFlag::Model},
        {&DeviceLink::SetCMEE, "AT+CMEE=2\r", QueryFlag::ErrorReport},
        {&DeviceLink::SetCMGF, "\n\rAT+CMGF=0\r", QueryFlag::MessageFormat},
        {&DeviceLink::SetCMGL1, "\n\rAT+CMGL=1\r", QueryFlag::ListingMode},
        {&DeviceLink::GetDateTime, "AT+CCLK?\r", QueryFlag::DateTime},
    };
    for (const Row& row : rows) {
        link_.state().sms_sending_busy = false;
        link_.state().query_flags.clearAll();
        (link_.*row.query)();
        EXPECT_EQ(wire(), row.bytes);
        EXPECT_TRUE(state().query_flags.has(row.flag)) << row.bytes;
        EXPECT_TRUE(state().sms_sending_busy);
        EXPECT_EQ(window_.services.cursor, CursorShape::Hourglass);
    }
}

TEST_F(SmsLink, BusyPhoneTakesNoConsoleQuery) {
    link_.state().sms_sending_busy = true;
    link_.GetModel();
    link_.SetCMEE();
    EXPECT_EQ(wire(), "");
    EXPECT_FALSE(state().query_flags.any());
}

TEST_F(SmsLink, PortErrorIsShownOnceInARun) {
    driver_.Disconnect();
    driver_.SetPortName("/nonexistent/hx350-port");
    window_.services.while_open = [this] { tick(10); };
    link_.state().query_values.manufacturer = "PHONEMAKER";
    link_.ReadAllParameterClick();
    tick();
    ASSERT_EQ(window_.services.messages.size(), 1u);
    EXPECT_EQ(window_.services.messages[0].text,
              "Could not connect to serial port.\r\nPlease, check settings and try again.");
    EXPECT_EQ(window_.services.messages[0].caption, "Error");
    EXPECT_TRUE(state().port_error_shown);
    // The nested ticks ran the rest of the sequence without a second box.
    EXPECT_FALSE(state().query_sequence_running);
    EXPECT_EQ(state().query_step, 7);
    window_.hersteller.clear();
    link_.GetHersteller();
    link_.SqualityClick();
    EXPECT_EQ(window_.services.messages.size(), 1u);
    EXPECT_EQ(window_.hersteller, "PHONEMAKER");
    link_.resetExchangeState();
    EXPECT_TRUE(state().port_error_shown);
}

}  // namespace
}  // namespace hx350
