// The "RunTime" page: ten buttons, ten fixed commands, no Clear, the plain-send flag kept, nothing read
// back or kept.
#include <gtest/gtest.h>

#include <string>

#include "ops_form_fixture.h"

namespace hx350::test {
namespace {

using RunTimeOps = OpsForm;

struct RunTimeRow {
    Button TForm1::*button;
    std::string command;
};

const RunTimeRow kRows[] = {
    {&TForm1::Button12, "RTMOD0"}, {&TForm1::Button13, "RTMOD1"}, {&TForm1::Button15, "RTMOD2"},
    {&TForm1::Button16, "RTMOD3"}, {&TForm1::Button17, "RTMOD4"}, {&TForm1::Button18, "RTMOD5"},
    {&TForm1::Button20, "RTMOD6"}, {&TForm1::Button21, "RTMOD7"}, {&TForm1::Button26, "CFLOW0"},
    {&TForm1::Button27, "CFLOW1"},
};

TEST_F(RunTimeOps, EachButtonSendsItsCommandAndShowsIt) {
    for (const RunTimeRow& row : kRows) {
        scribble();
        linkState().reply_pending = false;
        ASSERT_TRUE((form().*row.button).userClick()) << row.command;
        EXPECT_EQ(wire(), framed(row.command));
        EXPECT_EQ(shown(), row.command);
        EXPECT_FALSE(linkState().reply_pending) << row.command;  // no Clear
    }
}

TEST_F(RunTimeOps, ButtonsKeepThePlainSendFlag) {
    linkState().plain_send = true;
    for (const RunTimeRow& row : kRows) {
        (form().*row.button).userClick();
        EXPECT_EQ(wire(), unframed(row.command));
    }
    EXPECT_TRUE(linkState().plain_send);
}

TEST_F(RunTimeOps, FormatFTwiceSendsTwiceAndSelectingThePageSendsNothing) {
    form().PageControl1.userSelectPage(kRunTimePage);
    EXPECT_EQ(wire(), "");
    form().Button27.userClick();
    form().Button27.userClick();
    EXPECT_EQ(wire(), framed("CFLOW1") + framed("CFLOW1"));
}

TEST_F(RunTimeOps, ModeInSmsModeAnnouncesTheMessageToThePhone) {
    enterSmsMode();
    form().Button16.userClick();
    const std::string line = wire();
    EXPECT_EQ(line.rfind("AT+CMGS=", 0), 0u) << line;
    EXPECT_EQ(shown(), "RTMOD3");
}

}  // namespace
}  // namespace hx350::test
