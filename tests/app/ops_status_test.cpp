// Status reads, outputs, inputs, counters, the clock and the data-logger parameters (Main, IO control and
// the buttons of the Analog, Temperature and GPRS, FTP pages bound to the same operations).
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "link/pdu_codec.h"
#include "ops_commands_fixture.h"

namespace hx350::test {
namespace {

class StatusOutputs : public ModuleCommandPage {};

struct OneButton {
    std::string name;  // the button, for the test's name
    std::function<Button&(TForm1&)> button;
    std::string sent;   // the module command
    std::string shown;  // the log line
};

void PrintTo(const OneButton& c, std::ostream* os) {
    *os << c.name;
}

class PatternButton : public StatusOutputs, public ::testing::WithParamInterface<OneButton> {};

// Each of these empties both memos, goes out framed even right after a plain send, and shows its line.
TEST_P(PatternButton, ClearsSendsFramedAndShows) {
    const OneButton& c = GetParam();
    TForm1& f = startFromDesign();
    scribble();
    linkState().plain_send = true;
    linkState().reply_pending = false;
    ASSERT_TRUE(c.button(f).userClick());
    EXPECT_EQ(line(), framed(c.sent));
    EXPECT_EQ(shown(), c.shown);
    EXPECT_EQ(memoInput().Lines(), std::vector<std::string>{""});
    EXPECT_FALSE(linkState().plain_send);
    EXPECT_TRUE(linkState().reply_pending);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, PatternButton,
    ::testing::Values(
        OneButton{"ReadState", [](TForm1& f) -> Button& { return f.ReadState; }, "GETST", "GETST"},
        OneButton{"ReadAnalog", [](TForm1& f) -> Button& { return f.ReadAnalog; }, "GETAN", "GETAN"},
        OneButton{"bReadAnalog", [](TForm1& f) -> Button& { return f.bReadAnalog; }, "GETAN", "GETAN"},
        OneButton{"ReadTemperature", [](TForm1& f) -> Button& { return f.ReadTemperature; }, "GETTC",
                  "GETTC"},
        OneButton{"bReadTemperature", [](TForm1& f) -> Button& { return f.bReadTemperature; }, "GETTC",
                  "GETTC"},
        OneButton{"TemperatureLevelBtn", [](TForm1& f) -> Button& { return f.TemperatureLevelBtn; }, "TCLEV0",
                  "TCLEV0"},
        OneButton{"Button11", [](TForm1& f) -> Button& { return f.Button11; }, "TCLEV0", "TCLEV0"},
        OneButton{"ReadAlevelBtn", [](TForm1& f) -> Button& { return f.ReadAlevelBtn; }, "GETLV", "GETLV"},
        OneButton{"RestartModule", [](TForm1& f) -> Button& { return f.RestartModule; }, "RSTRT", "RSTRT"},
        OneButton{"Version", [](TForm1& f) -> Button& { return f.Version; }, "  GETVR", "GETVR"},
        OneButton{"GetOut1", [](TForm1& f) -> Button& { return f.GetOut[1]; }, "GETOS1", "GETOS1"},
        OneButton{"GetOut3", [](TForm1& f) -> Button& { return f.GetOut[3]; }, "GETOS3", "GETOS3"},
        OneButton{"GetOutState", [](TForm1& f) -> Button& { return f.GetOutState; }, "GETOS0", "GETOS0"},
        OneButton{"GetInp1", [](TForm1& f) -> Button& { return f.GetInp[1]; }, "GETIS1", "GETIS1"},
        OneButton{"GetInp4", [](TForm1& f) -> Button& { return f.GetInp[4]; }, "GETIS4", "GETIS4"},
        OneButton{"GetInp6", [](TForm1& f) -> Button& { return f.GetInp[6]; }, "GETIS6", "GETIS6"},
        OneButton{"GetAllInput", [](TForm1& f) -> Button& { return f.GetAllInput; }, "GETIS0", "GETIS0"},
        OneButton{"SetPulse", [](TForm1& f) -> Button& { return f.SetPulse; }, "SETTN0,1,000",
                  "SETTN0,1,000"}),
    [](const ::testing::TestParamInfo<OneButton>& param) { return param.param.name; });

TEST_F(StatusOutputs, VersionPutsPrefixTwoSpacesKeywordCrAndNulOnTheLine) {
    TForm1& f = startFromDesign();
    f.Version.userClick();
    EXPECT_EQ(line(), std::string(14, ' ') + "SETUP:" + "  GETVR" + "\r" + std::string(1, '\0'));
}

TEST_F(StatusOutputs, ClockReadShowsItsKeywordBeforeItGoesOut) {
    TForm1& f = startFromDesign();
    trackEchoOrder();
    f.GetDT.userClick();
    EXPECT_EQ(line(), framed("  GETTM"));
    EXPECT_EQ(echo_order_, std::vector<std::string>{"GETTM<"});
}

// The counter buttons of the Main and Temperature pages keep the memos' history and the plain-send flag.
TEST_F(StatusOutputs, CounterButtonsLeaveThePlainSendFlagAlone) {
    TForm1& f = startFromDesign();
    struct Case {
        Button* button;
        std::string command;
    };
    for (const Case& c : {Case{&f.Button24, "GETCT"}, Case{&f.Button2, "GETCT"}, Case{&f.Button25, "CLRCT0"},
                          Case{&f.Button1, "CLRCT0"}}) {
        linkState().reply_pending = false;
        c.button->userClick();
        EXPECT_EQ(line(), framed(c.command)) << c.button->name();
        EXPECT_EQ(shown(), c.command);
        EXPECT_FALSE(linkState().reply_pending) << "no Clear";
    }
    // After the signal-quality line (a plain send, unanswered) they go out unframed.
    f.Squality.userClick();
    EXPECT_EQ(line(), "  AT+CSQ\r");
    f.Button24.userClick();
    EXPECT_EQ(line(), "GETCT\r");
    EXPECT_TRUE(linkState().plain_send);
    f.Button1.userClick();
    EXPECT_EQ(line(), "CLRCT0\r");
    // A pattern operation ends it.
    f.ReadState.userClick();
    EXPECT_EQ(line(), framed("GETST"));
}

TEST_F(StatusOutputs, OutputButtonsSwitchAndEchoTheOutputState) {
    TForm1& f = startFromDesign();
    for (int n = 1; n <= 3; ++n) {
        EXPECT_EQ(f.Output[n].Text(), "OFF");
        f.SetOut[n].userClick();
        EXPECT_EQ(line(), framed("SETOU" + std::to_string(n)));
        EXPECT_EQ(shown(), "SETOU" + std::to_string(n));
        EXPECT_EQ(f.Output[n].Text(), "ON ");
        f.ResetOut[n].userClick();
        EXPECT_EQ(line(), framed("RSTOU" + std::to_string(n)));
        EXPECT_EQ(f.Output[n].Text(), "OFF");
    }
    f.SetOut[2].userClick();
    line();
    // Reading an output does not change what its edit shows.
    f.GetOut[2].userClick();
    EXPECT_EQ(line(), framed("GETOS2"));
    EXPECT_EQ(f.Output[2].Text(), "ON ");
    EXPECT_EQ(f.Output[1].Text(), "OFF");
}

TEST_F(StatusOutputs, SlidersShowTheirPositionsAndTheParameterCommandTakesThem) {
    TForm1& f = startFromDesign();
    f.PulseDsb[1].userSetPosition(9);
    EXPECT_EQ(f.PulseD[1].Text(), "18");
    f.PulseDsb[1].userSetPosition(1);
    EXPECT_EQ(f.PulseD[1].Text(), "2");
    f.PulseDsb[3].userSetPosition(9);
    f.SRateSB.userSetPosition(3);
    f.DLoggerTmSB.userSetPosition(5);
    EXPECT_EQ(f.SRate.Text(), "3");
    EXPECT_EQ(f.DLoggerTm.Text(), "5");
    EXPECT_EQ(line(), "");  // moving a slider sends nothing
    f.SetPulse.userClick();
    EXPECT_EQ(line(), framed("SETTN3,5,109"));
    EXPECT_EQ(shown(), "SETTN3,5,109");
}

TEST_F(StatusOutputs, RateAndPeriodSlidersAreMirroredWithTheGprsPage) {
    TForm1& f = startFromDesign();
    f.SRateSB.userSetPosition(4);
    EXPECT_EQ(f.sRateDL.Position(), 4);
    EXPECT_EQ(f.sRateDLeb.Text(), "4");
    f.sRateDL.userSetPosition(7);
    EXPECT_EQ(f.SRateSB.Position(), 7);
    EXPECT_EQ(f.SRate.Text(), "7");
    f.DLoggerTmSB.userSetPosition(6);
    EXPECT_EQ(f.sDLperiodDL.Position(), 6);
    EXPECT_EQ(f.DLPeriodEB.Text(), "6");
    f.sDLperiodDL.userSetPosition(2);
    EXPECT_EQ(f.DLoggerTmSB.Position(), 2);
    EXPECT_EQ(f.DLoggerTm.Text(), "2");
    // Both pages' buttons send the one setting.
    for (Button* b : {&f.bSRate, &f.Button9}) {
        b->userClick();
        EXPECT_EQ(line(), framed("SRATE7")) << b->name();
        EXPECT_EQ(shown(), "SRATE7");
    }
    for (Button* b : {&f.bDLperiod, &f.Button10}) {
        b->userClick();
        EXPECT_EQ(line(), framed("DLPER2")) << b->name();
        EXPECT_EQ(shown(), "DLPER2");
    }
}

TEST_F(StatusOutputs, RateAndPeriodButtonsLeaveThePlainSendFlagAndTheReplyStateAlone) {
    TForm1& f = startFromDesign();
    f.Squality.userClick();
    line();
    linkState().reply_pending = false;
    f.bSRate.userClick();
    EXPECT_EQ(line(), "SRATE0\r");
    f.bDLperiod.userClick();
    EXPECT_EQ(line(), "DLPER1\r");
    EXPECT_FALSE(linkState().reply_pending);
}

// ---- Set Date/Time

class SetDateTime : public StatusOutputs {
  protected:
    TForm1& startAt(LocalDateTime when) {
        clock_ = std::make_unique<ManualTimeSource>(when);
        return startFromDesign({}, clock_.get());
    }
    std::unique_ptr<ManualTimeSource> clock_;
};

TEST_F(SetDateTime, DirectModeShowsThenSendsTheFramedCommandAndAsksForARefresh) {
    TForm1& f = startAt(LocalDateTime{2009, 1, 5, 7, 8, 9, 0});
    EXPECT_EQ(f.TimeZone.Text(), "+02");
    trackEchoOrder();
    linkState().date_time_refresh = false;
    f.SetDT.userClick();
    EXPECT_EQ(line(), framed("SETTM 09/01/05,07:08:09+02"));
    EXPECT_EQ(echo_order_, std::vector<std::string>{"SETTM 09/01/05,07:08:09+02<"});
    EXPECT_TRUE(linkState().date_time_refresh);
}

TEST_F(SetDateTime, ZoneIsCutToThreeCharactersOrLeftOutWhenEmpty) {
    TForm1& f = startAt(LocalDateTime{2023, 9, 25, 14, 5, 9, 0});
    f.SetDT.userClick();
    EXPECT_EQ(line(), framed("SETTM 23/09/25,14:05:09+02"));
    f.TimeZone.SetText("");
    f.SetDT.userClick();
    EXPECT_EQ(line(), framed("SETTM 23/09/25,14:05:09"));
    f.TimeZone.SetText("-0500");
    f.SetDT.userClick();
    EXPECT_EQ(line(), framed("SETTM 23/09/25,14:05:09-05"));
}

TEST_F(SetDateTime, YearOutsideTheCenturyStillTakesTwoDigits) {
    TForm1& f = startAt(LocalDateTime{2100, 12, 31, 23, 59, 58, 0});
    f.SetDT.userClick();
    EXPECT_EQ(line(), framed("SETTM 00/12/31,23:59:58+02"));
}

TEST_F(SetDateTime, SmsModeTypesTheCommandStraightAtThePhone) {
    TForm1& f = startAt(LocalDateTime{2009, 1, 5, 7, 8, 9, 0});
    enterSmsMode();
    line();
    f.SetDT.userClick();
    EXPECT_EQ(line(), "SETTM 09/01/05,07:08:09+02\r");  // no frame, no SMS
    EXPECT_EQ(shown(), "SETTM 09/01/05,07:08:09+02");
    EXPECT_TRUE(linkState().date_time_refresh);
    EXPECT_FALSE(linkState().sms_sending_busy);
    EXPECT_FALSE(linkState().awaiting_prompt);
    EXPECT_EQ(services_.cursor, CursorShape::Default);
    EXPECT_TRUE(services_.messages.empty());
}

TEST_F(SetDateTime, SmsModeWaitsForABusyPhoneUnlessTheQuerySequenceRuns) {
    TForm1& f = startAt(LocalDateTime{2009, 1, 5, 7, 8, 9, 0});
    enterSmsMode();
    line();
    linkState().sms_sending_busy = true;
    linkState().date_time_refresh = false;
    f.SetDT.userClick();
    EXPECT_EQ(line(), "");
    EXPECT_FALSE(linkState().date_time_refresh);
    EXPECT_TRUE(services_.messages.empty());
    linkState().query_sequence_running = true;
    f.SetDT.userClick();
    EXPECT_EQ(line(), "SETTM 09/01/05,07:08:09+02\r");
    EXPECT_TRUE(linkState().date_time_refresh);
}

TEST_F(SetDateTime, SmsModePortErrorIsShownOnceAndNothingIsSent) {
    TForm1& f = startAt(LocalDateTime{2009, 1, 5, 7, 8, 9, 0});
    enterSmsMode();
    f.CommPortDriver1().Disconnect();
    f.CommPortDriver1().SetPortName(dir_ + "/no-such-port");
    line();
    f.SetDT.userClick();
    ASSERT_EQ(services_.messages.size(), 1u);
    EXPECT_EQ(services_.messages[0].text,
              "Could not connect to serial port.\r\nPlease, check settings and try again.");
    EXPECT_EQ(services_.messages[0].caption, "Error");
    EXPECT_EQ(services_.messages[0].icon, MessageIcon::Error);
    EXPECT_TRUE(linkState().port_error_shown);
    f.SetDT.userClick();
    EXPECT_EQ(services_.messages.size(), 1u);
    EXPECT_EQ(line(), "");
    EXPECT_FALSE(linkState().date_time_refresh);
}

TEST_F(StatusOutputs, InSmsModeAnOutputCommandIsAnnouncedToThePhone) {
    TForm1& f = startFromDesign();
    enterSmsMode();
    line();
    f.SetOut[2].userClick();
    const PduEncoding pdu = TextToPDUConversion("SETOU2\r", "+37120000001");
    ASSERT_TRUE(pdu.ok());
    EXPECT_EQ(line(), "AT+CMGS=" + std::to_string(pdu.pdu.size() / 2 - 1) + "\r");
    EXPECT_EQ(f.Output[2].Text(), "ON ");
    EXPECT_EQ(shown(), "SETOU2");
}

}  // namespace
}  // namespace hx350::test
