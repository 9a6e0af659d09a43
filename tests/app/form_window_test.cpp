// The window frame, the Main page's send buttons, the Serial Port page, page changes and Exit, on real
// pseudo-terminals: the exact bytes each button puts on the line, and what the status bar says of the port.
#include <gtest/gtest.h>

#include <string>

#include "app/port_status.h"
#include "form_fixture.h"
#include "link/device_link.h"
#include "serial/posix_serial_device.h"

namespace hx350::test {
namespace {

using Window = FormOnPtys;

TEST_F(Window, SwitchingPagesColoursTheFieldsAndSendsNothing) {
    TForm1& f = build();
    EXPECT_EQ(f.NNumber[1].color(), colors::kWhite);
    f.FormCreate();
    int changes = 0;
    f.setHandlerTrace([&](std::string_view h) { changes += h == "PageControl1Change"; });
    for (int page = 1; page < kPageCount; ++page)
        EXPECT_TRUE(f.PageControl1.userSelectPage(page));
    EXPECT_TRUE(f.PageControl1.userSelectPage(kMainPage));
    EXPECT_EQ(changes, kPageCount);
    timer1_.trigger();
    EXPECT_EQ(wire(1), "");
    for (Edit* e : {&f.BRnumber, &f.NNumber[7], &f.PBnr[1], &f.APN, &f.HTTPhostName2, &f.TXTSMS[54],
                    &f.iTXTSMS[78], &f.TNrFilter, &f.DNrFilter, &f.Minlv[4][2], &f.tMaxlv[1][1], &f.SRate,
                    &f.DLoggerTm, &f.PulseD[5], &f.Output[3]}) {
        EXPECT_EQ(e->color(), colors::kCream) << e->name();
    }
    EXPECT_EQ(f.FrameControls::MemoSMSinput.color(), colors::kCream);
    EXPECT_EQ(f.FormatSelect.color(), colors::kCream);
    // Not a data-entry field.
    EXPECT_EQ(f.Status.color(), colors::kWhite);
    EXPECT_EQ(f.SMScommand.color(), colors::kWhite);
}

struct ButtonCase {
    const char* name;
    const char* command_text;  ///< typed into SMScommand first (for "Send SMS command")
    std::string bytes;
};

class MainPageButtons : public FormOnPtys, public ::testing::WithParamInterface<ButtonCase> {};

TEST_P(MainPageButtons, PutTheExactFrameOnTheLine) {
    const ButtonCase& c = GetParam();
    TForm1& f = start();
    f.SMScommand.userSetText(c.command_text);
    Button* button = f.find<Button>(c.name);
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->userClick());
    EXPECT_EQ(wire(1), c.bytes);
    EXPECT_EQ(services_.cursor, c.bytes.empty() ? CursorShape::Default : CursorShape::Hourglass);
}

INSTANTIATE_TEST_SUITE_P(Frames, MainPageButtons,
                         ::testing::Values(ButtonCase{"ReadState", "", framed("GETST")},
                                           ButtonCase{"SendSMScommand", "GETVR", framed("GETVR")},
                                           ButtonCase{"SendSMScommand", "GETTX01",
                                                      framed("GETTX01" + std::string(32, ' '))},
                                           ButtonCase{"ConnectBtn", "", framed("  OK")},
                                           ButtonCase{"TestBtn", "", framed("  +EXIT")},
                                           ButtonCase{"Squality", "", std::string("  AT+CSQ\r")},
                                           ButtonCase{"ClearBtn", "", std::string()}),
                         [](const auto& case_info) {
                             return std::string(case_info.param.name) + std::to_string(case_info.index);
                         });

TEST_F(Window, ReadStatusIsTwentySevenBytesAndShowsTheCommand) {
    TForm1& f = start();
    f.ReadState.userClick();
    const std::string bytes = wire(1);
    EXPECT_EQ(bytes.size(), 27u);
    EXPECT_EQ(bytes, framed("GETST"));
    EXPECT_EQ(f.FrameControls::MemoS.Lines().at(0), "GETST");
}

TEST_F(Window, ClearRestoresTheRememberedSkipCrLfAndTheCursor) {
    TForm1& f = start();
    f.SkipCRLFcb.userClick();  // remembered: checked
    EXPECT_TRUE(f.link().state().crlf_memory);
    f.ReadState.userClick();
    EXPECT_EQ(services_.cursor, CursorShape::Hourglass);
    f.SkipCRLFcb.SetChecked(false);
    f.link().state().crlf_memory = true;  // as the receive path leaves it after a plain send
    f.FrameControls::MemoSMSinput.SetText("old answer");
    f.ClearBtn.userClick();
    EXPECT_TRUE(f.SkipCRLFcb.Checked());
    EXPECT_EQ(services_.cursor, CursorShape::Default);
    EXPECT_EQ(f.FrameControls::MemoSMSinput.Count(), 0u);
}

TEST_F(Window, SmsModeBoxTogglesTheCoverOfThePhoneEditsButNotTheLog) {
    TForm1& f = start();
    EXPECT_TRUE(f.Memo5.Visible());
    f.SMSmode.userClick();
    EXPECT_TRUE(f.smsModeRemembered());
    EXPECT_FALSE(f.Memo5.Visible());
    EXPECT_TRUE(f.FrameControls::MemoS.Visible());
    f.SMSmode.userClick();
    EXPECT_FALSE(f.smsModeRemembered());
    EXPECT_TRUE(f.Memo5.Visible());
    EXPECT_EQ(wire(1), "");
}

TEST_F(Window, PortChoicesReopenThePortAndTheStatusBarFollows) {
    TForm1& f = start();
    f.RadioGroupPort.userSetItemIndex(1);
    EXPECT_EQ(f.CommPortDriver1().PortName(), com(2).secondaryPath());
    EXPECT_EQ(f.StatusBar1.Text(), "Com2: " + com(2).secondaryPath() + ", 9600 baud, open");
    f.RadioGroupRate.userSetItemIndex(3);
    EXPECT_EQ(f.StatusBar1.Text(), "Com2: " + com(2).secondaryPath() + ", 57600 baud, open");
    f.ReadState.userClick();
    EXPECT_EQ(wire(2), framed("GETST"));

    // A number without a device: the port stays closed, silently but for the status bar.
    f.RadioGroupPort.userSetItemIndex(4);
    EXPECT_FALSE(f.CommPortDriver1().IsConnected());
    EXPECT_EQ(f.StatusBar1.Text(),
              "Com5: no such device - no serial device has this number on this machine: plug in the adapter "
              "or choose another port");
    EXPECT_EQ(services_.messages.size(), 1u);  // only the start's missing-file warning
    f.ReadState.userClick();                   // writes nothing, reports nothing
    EXPECT_EQ(wire(2), "");

    // Another program holds Com3.
    PosixSerialDevice holder;
    ASSERT_TRUE(holder.open(com(3).secondaryPath()).ok());
    f.RadioGroupPort.userSetItemIndex(2);
    EXPECT_FALSE(f.CommPortDriver1().IsConnected());
    // The holder is this very test program, found through /proc.
    EXPECT_EQ(f.StatusBar1.Text().rfind("Com3: " + com(3).secondaryPath() + ": in use - held by ", 0), 0u)
        << f.StatusBar1.Text();
    EXPECT_NE(f.StatusBar1.Text().find("(pid " + std::to_string(::getpid()) + ")"), std::string::npos);
    holder.close();
    f.RadioGroupRate.userSetItemIndex(0);  // any choice tries again
    EXPECT_TRUE(f.CommPortDriver1().IsConnected());
    EXPECT_EQ(f.StatusBar1.Text(), "Com3: " + com(3).secondaryPath() + ", 9600 baud, open");
}

/// A device that the system refuses to open for this user.
class RefusingDevice final : public SerialDevice {
  public:
    SerialError open(const std::string& path) override {
        error_ = {SerialErrorKind::PermissionDenied, EACCES, path, "open"};
        return error_;
    }
    void close() override {}
    bool isOpen() const override { return false; }
    bool applyLineSettings(const SerialLineSettings&) override { return false; }
    bool purge(bool, bool) override { return false; }
    bool setQueueSizes(std::uint32_t, std::uint32_t) override { return false; }
    std::optional<SerialQueueCounts> queueCounts() override { return std::nullopt; }
    SerialIoResult read(std::uint8_t*, std::size_t) override {
        return {SerialIoResult::Status::Failed, 0, EBADF};
    }
    SerialIoResult write(const std::uint8_t*, std::size_t) override {
        return {SerialIoResult::Status::Failed, 0, EBADF};
    }
    bool waitWritable(std::uint32_t) override { return false; }
    std::optional<ModemLineSet> modemLines() override { return std::nullopt; }
    bool hungUp() const override { return false; }
    const SerialError& lastError() const override { return error_; }

  private:
    SerialError error_;
};

TEST_F(Window, APortThatMayNotBeOpenedSaysSoInTheStatusBarOnly) {
    FormSeams s = seams();
    s.device = std::make_unique<RefusingDevice>();
    form_ = std::make_unique<TForm1>(std::move(s));
    form_->FormCreate();
    EXPECT_EQ(form_->StatusBar1.Text().rfind("Com1: " + com(1).secondaryPath() + ": permission denied - ", 0),
              0u)
        << form_->StatusBar1.Text();
    ASSERT_EQ(services_.messages.size(), 1u);
    EXPECT_EQ(services_.messages[0].text, "HX350.cfg access error");
    form_->ReadState.userClick();  // a closed port takes nothing and says nothing
    EXPECT_EQ(services_.messages.size(), 1u);
}

TEST_F(Window, StatusTextForAPortNeverOpened) {
    TForm1 f(seams());
    EXPECT_EQ(portStatusText(f.CommPortDriver1()), "Port: " + com(1).secondaryPath() + ", 9600 baud, closed");
}

TEST_F(Window, SkipCrLfAndTheWaitTimeOfTheSerialPortPage) {
    TForm1& f = start();
    f.SkipCRLFcb.userClick();
    EXPECT_TRUE(f.link().state().crlf_memory);
    f.SkipCRLFcb.userClick();
    EXPECT_FALSE(f.link().state().crlf_memory);
    f.TrackBar5.userSetPosition(2500);
    EXPECT_EQ(f.Edit1.Text(), "2500");
    f.TrackBar5.SetPosition(40);  // from code: no handler
    EXPECT_EQ(f.Edit1.Text(), "2500");
    EXPECT_EQ(wire(1), "");
}

TEST_F(Window, ExitClosesTheWindowWithoutSavingOrSending) {
    TForm1& f = start();
    int closes = 0;
    f.setCloseHandler([&] { ++closes; });
    f.ExitBtn.userClick();
    f.Exit1.userClick();
    EXPECT_EQ(closes, 2);
    EXPECT_EQ(wire(1), "");
    EXPECT_EQ(readWholeFile(cfg_path_), "");  // no file was written
}

TEST_F(Window, AnAnswerIsPolledShownAndRoutedIntoTheOpenPage) {
    TForm1& f = start();
    EXPECT_TRUE(poll_.isActive());
    EXPECT_EQ(poll_.period(), 5000u);
    f.SkipCRLFcb.userClick();
    f.PageControl1.userSelectPage(kAbonentsPage);
    ASSERT_TRUE(com(1).writePrimary("3: +4912345\r\n"));
    ASSERT_TRUE(com(1).waitSecondaryInput(13));
    time_.advance(4999);  // four ticks of Timer1 with nothing received
    EXPECT_EQ(f.NNumber[3].Text(), "");
    poll_.trigger();  // the poll delivers the batch
    EXPECT_EQ(f.NNumber[3].Text(), "");
    timer1_.trigger();  // Timer1 routes it and shows it
    EXPECT_EQ(f.NNumber[3].Text(), "+4912345");
    EXPECT_NE(f.FrameControls::MemoSMSinput.Text().find("3: +4912345"), std::string::npos);
}

TEST_F(Window, TheFormLetsGoOfItsTimersWhenItCloses) {
    start();
    EXPECT_TRUE(timer1_.isActive());
    form_.reset();
    EXPECT_FALSE(timer1_.isActive());
    EXPECT_FALSE(timer1_.trigger());
    EXPECT_FALSE(poll_.isActive());
}

}  // namespace
}  // namespace hx350::test
