// The "Other" page operations: the option mask edited in place by the boxes and marks, "SET" with its
// padding to 16 and the kept mask, "GET", the timeout filters and the restart switch.
#include <gtest/gtest.h>

#include <string>

#include "app/settings_file.h"
#include "ops_form_fixture.h"

namespace hx350::test {
namespace {

using OtherOps = OpsForm;

TEST_F(OtherOps, EveryOptionBoxTurnsItsOwnCharacter) {
    TForm1& f = form();
    const std::string design = "MPEDEEDDDEEDDDE";
    ASSERT_EQ(f.StringStr1.Text(), design);
    for (int box = 3; box <= 15; ++box) {
        const bool was = f.oCheckBox[box].Checked();
        ASSERT_EQ(design[static_cast<std::size_t>(box - 1)], was ? 'E' : 'D') << box;
        f.oCheckBox[box].userSetChecked(!was);
        std::string expected = design;
        expected[static_cast<std::size_t>(box - 1)] = was ? 'D' : 'E';
        EXPECT_EQ(f.StringStr1.Text(), expected) << box;
        f.oCheckBox[box].userSetChecked(was);
        EXPECT_EQ(f.StringStr1.Text(), design) << box;
    }
    EXPECT_EQ(wire(), "");  // nothing is sent until "SET"
}

TEST_F(OtherOps, DateTimeOptionOffAndOnAgain) {
    TForm1& f = form();
    f.oCheckBox[10].userSetChecked(false);
    EXPECT_EQ(f.StringStr1.Text(), "MPEDEEDDDDEDDDE");
    f.oCheckBox[10].userSetChecked(true);
    EXPECT_EQ(f.StringStr1.Text(), "MPEDEEDDDEEDDDE");
}

TEST_F(OtherOps, MarksSetTheFirstTwoCharactersAndAnEmptiedMarkKeepsIts) {
    TForm1& f = form();
    f.PlusMark.userSetText("X");
    EXPECT_EQ(f.StringStr1.Text(), "MXEDEEDDDEEDDDE");
    f.MinusMark.userSetText("");
    EXPECT_EQ(f.StringStr1.Text(), "MXEDEEDDDEEDDDE");
    f.MinusMark.userSetText("m");
    EXPECT_EQ(f.StringStr1.Text(), "mXEDEEDDDEEDDDE");
}

TEST_F(OtherOps, SetPadsToSixteenKeepsTheMaskAndSendsAfterClear) {
    TForm1& f = form();
    f.PlusMark.userSetText("X");
    scribble();
    linkState().plain_send = true;
    linkState().reply_pending = false;
    f.SetOther.userClick();
    EXPECT_EQ(wire(), framed("SETMP MXEDEEDDDEEDDDE "));
    EXPECT_EQ(shown(), "SETMP MXEDEEDDDEEDDDE ");
    EXPECT_EQ(memoInput(), std::vector<std::string>{""});
    EXPECT_TRUE(linkState().reply_pending);
    EXPECT_FALSE(linkState().plain_send);
    EXPECT_EQ(f.StringStr1.Text(), "MXEDEEDDDEEDDDE ");
    EXPECT_EQ(f.workingCopies().OtherString, "MXEDEEDDDEEDDDE ");

    // A second "SET" adds no more spaces.
    f.SetOther.userClick();
    EXPECT_EQ(wire(), framed("SETMP MXEDEEDDDEEDDDE "));
    EXPECT_EQ(f.StringStr1.Text(), "MXEDEEDDDEEDDDE ");

    // A box clicked after "SET" edits the padded text in place.
    f.oCheckBox[4].userSetChecked(true);
    EXPECT_EQ(f.StringStr1.Text(), "MXEEEEDDDEEDDDE ");
    f.SetOther.userClick();
    EXPECT_EQ(wire(), framed("SETMP MXEEEEDDDEEDDDE "));

    ASSERT_TRUE(f.SaveCFGFile(settingsPath()).ok());
    EXPECT_EQ(f.settings().get(cfg::OtherString), "MXEEEEDDDEEDDDE ");
}

TEST_F(OtherOps, GetAsksForTheOptionsAfterClear) {
    scribble();
    linkState().plain_send = true;
    linkState().reply_pending = false;
    form().GetOther.userClick();
    EXPECT_EQ(wire(), framed("GETMP"));
    EXPECT_EQ(shown(), "GETMP");
    EXPECT_TRUE(linkState().reply_pending);
    EXPECT_FALSE(linkState().plain_send);
}

TEST_F(OtherOps, TimeoutFiltersClearOnlyThePlainSendFlag) {
    TForm1& f = form();
    f.Button19.userClick();
    EXPECT_EQ(wire(), framed("SETTF,00,00,00,00 0"));

    f.TTimeout1SB.userSetPosition(5);
    f.TTimeout2SB.userSetPosition(12);
    f.ATimeout1SB.userSetPosition(99);
    f.ATimeout2SB.userSetPosition(0);
    f.DFilterSB.userSetPosition(3);
    EXPECT_EQ(f.TTimeout2.Text(), "12");
    EXPECT_EQ(f.DFilter.Text(), "3");
    scribble();
    linkState().plain_send = true;
    linkState().reply_pending = false;
    f.Button19.userClick();
    EXPECT_EQ(wire(), framed("SETTF,05,12,99,00 3"));
    EXPECT_EQ(shown(), "SETTF,05,12,99,00 3");
    EXPECT_FALSE(linkState().plain_send);
    EXPECT_FALSE(linkState().reply_pending);  // no Clear
}

TEST_F(OtherOps, RestartSwitchSendsItsStateWithoutClear) {
    TForm1& f = form();
    f.Button14.userClick();
    EXPECT_EQ(wire(), framed("RSTEN0"));
    EXPECT_EQ(shown(), "RSTEN0");
    f.RestartEnable.userSetChecked(true);
    linkState().plain_send = true;
    f.Button14.userClick();
    EXPECT_EQ(wire(), unframed("RSTEN1"));
    EXPECT_TRUE(linkState().plain_send);
}

TEST_F(OtherOps, SetInSmsModeAnnouncesTheMessageToThePhone) {
    enterSmsMode();
    form().SetOther.userClick();
    const std::string line = wire();
    EXPECT_EQ(line.rfind("AT+CMGS=", 0), 0u) << line;
    EXPECT_EQ(line.back(), '\r');
    EXPECT_EQ(shown(), "SETMP MPEDEEDDDEEDDDE ");
}

}  // namespace
}  // namespace hx350::test
