// The "GPRS, FTP" page operations: the ten "WR"/"RD" buttons with their clean-up of the edits, the read
// requests, the "Read " captions, the maximum error level, the mirrored data-logger sliders, and an APN
// read whose answer the reply routing puts into the edit while the page is shown.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "ops_form_fixture.h"

namespace hx350::test {
namespace {

using UplinkOps = OpsForm;

struct UplinkRow {
    const char* name;
    Edit TForm1::*edit;
    Button TForm1::*button;
    std::string typed;
    std::string command;                ///< sent on a write
    std::optional<std::string> logged;  ///< shown on a write
    std::string after;                  ///< the edit afterwards
    std::string read;                   ///< sent on a read
    bool read_logged;
};

class UplinkButtons : public OpsForm, public ::testing::WithParamInterface<UplinkRow> {};

TEST_P(UplinkButtons, WriteCleansUpTheEditAndSendsAfterClear) {
    const UplinkRow& row = GetParam();
    TForm1& f = form();
    (f.*row.edit).SetText(row.typed);
    scribble();
    linkState().plain_send = true;
    linkState().reply_pending = false;
    ASSERT_TRUE((f.*row.button).userClick());
    EXPECT_EQ(wire(), framed(row.command));
    EXPECT_EQ((f.*row.edit).Text(), row.after);
    if (row.logged) {
        EXPECT_EQ(shown(), *row.logged);
    } else {
        EXPECT_TRUE(memoS().empty());  // emptied by Clear and nothing shown
    }
    EXPECT_TRUE(linkState().reply_pending);
    EXPECT_FALSE(linkState().plain_send);
}

TEST_P(UplinkButtons, ReadSendsTheRequestWhateverTheEditHolds) {
    const UplinkRow& row = GetParam();
    TForm1& f = form();
    (f.*row.edit).SetText(row.typed);
    f.ReadGPRS1.userSetChecked(true);
    scribble();
    ASSERT_TRUE((f.*row.button).userClick());
    EXPECT_EQ(wire(), framed(row.read));
    EXPECT_EQ((f.*row.edit).Text(), row.typed);
    if (row.read_logged) {
        EXPECT_EQ(shown(), row.read);
    } else {
        EXPECT_TRUE(memoS().empty());
    }
    EXPECT_TRUE(linkState().reply_pending);
}

const UplinkRow kUplinkRows[] = {
    {"ApnTwoWords", &TForm1::APN, &TForm1::APNbtn, "internet x", "SETAP internet", "SETAP,internet",
     "internet", "GETAP ", true},
    {"ApnEmpty", &TForm1::APN, &TForm1::APNbtn, "", "SETAP    ", "SETAP    ", "", "GETAP ", true},
    {"ApnLeadingSpace", &TForm1::APN, &TForm1::APNbtn, " web", "SETAP    ", "SETAP    ", " web", "GETAP ",
     true},
    {"UserLeadingSpace", &TForm1::UserID, &TForm1::UIDbtn, " bob", "SETID ", std::nullopt, "", "GETID ",
     false},
    {"User", &TForm1::UserID, &TForm1::UIDbtn, "bob", "SETID bob", std::nullopt, "bob", "GETID ", false},
    {"Password", &TForm1::Password, &TForm1::PWbtn, "s3cret x", "SETPW s3cret", std::nullopt, "s3cret",
     "GETPW ", false},
    {"IpDesign", &TForm1::IPaddress, &TForm1::IPbtn, "0.0.0.0", "SETIP 0.0.0.0", std::nullopt, "0.0.0.0",
     "GETIP ", false},
    {"FtpHostTwoWords", &TForm1::FTPHostName, &TForm1::FTPHostNamebtn, "ftp.example.org backup",
     "SETFT,ftp.example.org", "SETFT,ftp.example.org", "ftp.example.org", "GETFT ", false},
    {"FtpHostEmpty", &TForm1::FTPHostName, &TForm1::FTPHostNamebtn, "", "SETFT,", "SETFT,", "", "GETFT ",
     false},
    {"FtpUser", &TForm1::UserNameFTP, &TForm1::UNbtn, "logger", "SETAF logger", std::nullopt, "logger",
     "GETAF ", false},
    {"FtpPassword", &TForm1::PasswordFTP, &TForm1::FPWbtn, "pw", "SETPF pw", std::nullopt, "pw", "GETPF ",
     false},
    {"DirName", &TForm1::DirName, &TForm1::DirNameBtn, "data/in x", "SETDN data/in", std::nullopt, "data/in",
     "GETDN ", false},
    {"HttpEmpty", &TForm1::HTTPhostName, &TForm1::HTTPhostBtn, "", "SETRH,   ", "SETRH,   ", "   ", "GETRH ",
     true},
    {"HttpTwoWords", &TForm1::HTTPhostName, &TForm1::HTTPhostBtn, "a.example b", "SETRH,a.example",
     "SETRH,a.example", "a.example", "GETRH ", true},
    {"HttpLeadingSpaceKept", &TForm1::HTTPhostName, &TForm1::HTTPhostBtn, " a b", "SETRH, a b", "SETRH, a b",
     " a b", "GETRH ", true},
    {"Http2Empty", &TForm1::HTTPhostName2, &TForm1::HTTPhostBtn2, "", "SETR2,   ", "SETR2,   ", "   ",
     "GETR2 ", true},
    {"Http2", &TForm1::HTTPhostName2, &TForm1::HTTPhostBtn2, "b.example", "SETR2,b.example",
     "SETR2,b.example", "b.example", "GETR2 ", true},
};

INSTANTIATE_TEST_SUITE_P(Buttons, UplinkButtons, ::testing::ValuesIn(kUplinkRows),
                         [](const ::testing::TestParamInfo<UplinkRow>& row) { return row.param.name; });

TEST_F(UplinkOps, ReadBoxTurnsTheTenCaptionsAndClearsThePlainSendFlag) {
    TForm1& f = form();
    Button* const buttons[] = {&f.APNbtn, &f.UIDbtn, &f.PWbtn,      &f.IPbtn,       &f.FTPHostNamebtn,
                               &f.UNbtn,  &f.FPWbtn, &f.DirNameBtn, &f.HTTPhostBtn, &f.HTTPhostBtn2};
    linkState().plain_send = true;
    f.ReadGPRS1.userSetChecked(true);
    EXPECT_FALSE(linkState().plain_send);
    for (Button* b : buttons)
        EXPECT_EQ(b->Caption(), "RD") << b->name();
    EXPECT_EQ(f.Button9.Caption(), "WR");  // the data-logger buttons keep theirs
    EXPECT_EQ(f.Button10.Caption(), "WR");
    f.ReadGPRS1.userSetChecked(false);
    for (Button* b : buttons)
        EXPECT_EQ(b->Caption(), "WR") << b->name();
    EXPECT_EQ(wire(), "");
}

TEST_F(UplinkOps, MaxErrorLevelIgnoresReadAndSkipsClear) {
    TForm1& f = form();
    f.ReadGPRS1.userSetChecked(true);
    f.MaxErrorScrollBar.userSetPosition(7);
    EXPECT_EQ(f.MaxError.Text(), "7");
    scribble();
    linkState().reply_pending = false;
    f.MaxErrorLevel.userClick();
    EXPECT_EQ(wire(), framed("ESKTD07"));
    EXPECT_EQ(shown(), "ESKTD07");
    EXPECT_FALSE(linkState().reply_pending);

    f.MaxErrorScrollBar.userSetPosition(42);
    linkState().plain_send = true;
    f.MaxErrorLevel.userClick();
    EXPECT_EQ(wire(), unframed("ESKTD42"));
    EXPECT_TRUE(linkState().plain_send);
}

TEST_F(UplinkOps, DataLoggerSlidersMirrorTheIOControlPage) {
    TForm1& f = form();
    f.sRateDL.userSetPosition(5);
    EXPECT_EQ(f.SRateSB.Position(), 5);
    EXPECT_EQ(f.sRateDLeb.Text(), "5");
    EXPECT_EQ(f.SRate.Text(), "5");
    f.sDLperiodDL.userSetPosition(9);
    EXPECT_EQ(f.DLoggerTmSB.Position(), 9);
    EXPECT_EQ(f.DLPeriodEB.Text(), "9");
    EXPECT_EQ(f.DLoggerTm.Text(), "9");
    EXPECT_EQ(wire(), "");
}

TEST_F(UplinkOps, ApnAnswerFillsTheEditWhileThePageIsShown) {
    TForm1& f = form();
    f.PageControl1.userSelectPage(kGprsFtpPage);
    f.ReadGPRS1.userSetChecked(true);
    f.APNbtn.userClick();
    ASSERT_EQ(wire(), framed("GETAP "));
    const std::string answer = "APN: internet.example\r\n";
    ASSERT_TRUE(pty_.writePrimary(answer));
    ASSERT_TRUE(pty_.waitSecondaryInput(answer.size()));
    f.CommPortDriver1().PollTick();  // one batch
    timer1_.start(kTimer1PeriodMs);
    ASSERT_TRUE(timer1_.trigger());  // the next tick routes it by the page shown
    EXPECT_EQ(f.APN.Text(), "internet.example");
}

TEST_F(UplinkOps, WriteInSmsModeAnnouncesTheMessageToThePhone) {
    enterSmsMode();
    form().APN.SetText("internet");
    form().APNbtn.userClick();
    const std::string line = wire();
    EXPECT_EQ(line.rfind("AT+CMGS=", 0), 0u) << line;
    EXPECT_EQ(line.back(), '\r');
    EXPECT_EQ(shown(), "SETAP,internet");
}

}  // namespace
}  // namespace hx350::test
