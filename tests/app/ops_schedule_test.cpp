// The "SMS Shedule" page operations: "GET", "SET" with the code it builds and keeps, the immediate edits
// of the code by the page's controls, the recipient mask and "Write".
#include <gtest/gtest.h>

#include <string>

#include "app/settings_file.h"
#include "ops_form_fixture.h"

namespace hx350::test {
namespace {

using ScheduleOps = OpsForm;

std::string code(TForm1& f) {
    return f.workingCopies().ScheduleCode;
}

TEST_F(ScheduleOps, GetAsksForTheScheduleAfterClear) {
    scribble();
    linkState().plain_send = true;
    linkState().reply_pending = false;
    form().GetShedule.userClick();
    EXPECT_EQ(wire(), framed("GETSH"));
    EXPECT_EQ(shown(), "GETSH");
    EXPECT_EQ(memoInput(), std::vector<std::string>{""});
    EXPECT_TRUE(linkState().reply_pending);
    EXPECT_FALSE(linkState().plain_send);
}

TEST_F(ScheduleOps, SetFromTheDesignSendsAnalogHourly) {
    scribble();
    linkState().plain_send = true;
    linkState().reply_pending = false;
    form().SetShedule.userClick();
    EXPECT_EQ(wire(), framed("SETSH,A33      "));
    EXPECT_EQ(shown(), "SETSH,A33      ");
    EXPECT_EQ(memoInput(), std::vector<std::string>{""});
    EXPECT_TRUE(linkState().reply_pending);
    EXPECT_FALSE(linkState().plain_send);
    EXPECT_EQ(code(form()), "A33      ");
}

TEST_F(ScheduleOps, SetWithChosenHoursAndPeriodOther) {
    TForm1& f = form();
    f.SMSShed.userSetItemIndex(1);      // Temperature
    f.RadioGroup1.userSetItemIndex(4);  // other
    f.CheckBoxS[1].userSetChecked(true);
    f.TrackBar[1].userSetPosition(8);
    f.CheckBoxS[3].userSetChecked(true);
    f.TrackBar[3].userSetPosition(17);
    f.SetShedule.userClick();
    EXPECT_EQ(wire(), framed("SETSH,T08  17  "));
    EXPECT_EQ(code(f), "T08  17  ");
}

TEST_F(ScheduleOps, SetWritesTheTypeLettersOfTheModuleAndDisableBlanksEverything) {
    TForm1& f = form();
    f.CheckBoxS[4].userSetChecked(true);
    f.TrackBar[4].userSetPosition(23);
    const struct {
        int type;
        int period;
        std::string command;
    } rows[] = {
        {2, 1, "SETSH,C44    23"},
        {3, 2, "SETSH,L55    23"},
        {0, 3, "SETSH,A66    23"},
        {4, 0, "SETSH,         "},
    };
    for (const auto& row : rows) {
        f.SMSShed.userSetItemIndex(row.type);
        f.RadioGroup1.userSetItemIndex(row.period);
        f.SetShedule.userClick();
        EXPECT_EQ(wire(), framed(row.command)) << row.type;
        EXPECT_EQ("SETSH," + code(f), row.command);
    }
}

TEST_F(ScheduleOps, ImmediateEditsChangeTheKeptCodeAtOnce) {
    TForm1& f = form();
    f.RadioGroup1.userSetItemIndex(4);
    f.CheckBoxS[2].userSetChecked(true);
    f.TrackBar[2].userSetPosition(5);
    f.SetShedule.userClick();
    ASSERT_EQ(code(f), "A  05    ");
    wire();

    f.TrackBar[2].userSetPosition(9);
    EXPECT_EQ(code(f), "A  09    ");
    f.CheckBoxS[2].userSetChecked(false);
    EXPECT_EQ(code(f), "A        ");
    f.TrackBar[2].userSetPosition(11);  // the hour is not enabled: nothing changes
    EXPECT_EQ(code(f), "A        ");
    f.RadioGroup1.userSetItemIndex(1);
    EXPECT_EQ(code(f), "A44      ");
    f.SMSShed.userSetItemIndex(2);
    EXPECT_EQ(code(f), "D44      ");
    f.SMSShed.userSetItemIndex(3);
    EXPECT_EQ(code(f), "344      ");
    f.SMSShed.userSetItemIndex(4);
    EXPECT_EQ(code(f), "544      ");
    EXPECT_EQ(wire(), "");  // nothing is sent until "SET"

    f.SMSShed.userSetItemIndex(1);
    f.SetShedule.userClick();
    EXPECT_EQ(wire(), framed("SETSH,T44      "));
}

TEST_F(ScheduleOps, ImmediateEditsOnAnEmptyCodeHaveNoEffect) {
    TForm1& f = form();
    ASSERT_EQ(code(f), "");
    f.CheckBoxS[1].userSetChecked(true);
    f.TrackBar[1].userSetPosition(12);
    f.RadioGroup1.userSetItemIndex(2);
    f.SMSShed.userSetItemIndex(1);
    f.CheckBoxS[1].userSetChecked(false);
    EXPECT_EQ(code(f), "");
}

TEST_F(ScheduleOps, SetAfterAStartWithoutSettingsSendsNineSpaces) {
    form().FormCreate();  // no settings file: the empty code shows "Disable" and "other"
    wire();
    EXPECT_EQ(form().SMSShed.ItemIndex(), 4);
    EXPECT_EQ(form().RadioGroup1.ItemIndex(), 4);
    form().SetShedule.userClick();
    EXPECT_EQ(wire(), framed("SETSH,         "));

    form().SMSShed.userSetItemIndex(0);
    form().RadioGroup1.userSetItemIndex(0);
    form().SetShedule.userClick();
    EXPECT_EQ(wire(), framed("SETSH,A33      "));
    EXPECT_EQ(code(form()), "A33      ");
}

TEST_F(ScheduleOps, TheKeptCodeIsWhatSaveWrites) {
    TForm1& f = form();
    f.SMSShed.userSetItemIndex(1);
    f.RadioGroup1.userSetItemIndex(4);
    f.CheckBoxS[1].userSetChecked(true);
    f.TrackBar[1].userSetPosition(8);
    f.SetShedule.userClick();
    ASSERT_TRUE(f.SaveCFGFile(settingsPath()).ok());
    EXPECT_EQ(f.settings().get(cfg::ScheduleCode), "T08      ");
}

TEST_F(ScheduleOps, WriteRightAfterStartSendsNumberOneAsShown) {
    TForm1& f = form();
    ASSERT_TRUE(f.CheckBox4.Checked());
    EXPECT_EQ(f.recipientMask(), 1);
    scribble();
    linkState().reply_pending = false;
    f.Button28.userClick();
    EXPECT_EQ(wire(), framed("SNFLT1"));
    EXPECT_EQ(shown(), "SNFLT1");
    EXPECT_FALSE(linkState().reply_pending);  // no Clear
}

TEST_F(ScheduleOps, RecipientBoxesSetAndClearTheirBits) {
    TForm1& f = form();
    f.CheckBox2.userSetChecked(true);  // number 3
    EXPECT_EQ(f.recipientMask(), 5);
    f.CheckBox4.userSetChecked(false);  // number 1
    EXPECT_EQ(f.recipientMask(), 4);
    f.CheckBox4.userSetChecked(true);
    f.Button28.userClick();
    EXPECT_EQ(wire(), framed("SNFLT5"));
    f.CheckBox3.userSetChecked(true);  // number 2
    f.Button28.userClick();
    EXPECT_EQ(wire(), framed("SNFLT7"));
    f.CheckBox2.userSetChecked(false);
    f.CheckBox3.userSetChecked(false);
    f.CheckBox4.userSetChecked(false);
    f.Button28.userClick();
    EXPECT_EQ(wire(), framed("SNFLT0"));
}

TEST_F(ScheduleOps, WriteKeepsThePlainSendFlag) {
    linkState().plain_send = true;
    form().Button28.userClick();
    EXPECT_EQ(wire(), unframed("SNFLT1"));
    EXPECT_TRUE(linkState().plain_send);
}

TEST_F(ScheduleOps, SetInSmsModeAnnouncesTheMessageToThePhone) {
    enterSmsMode();
    form().SetShedule.userClick();
    const std::string line = wire();
    EXPECT_EQ(line.rfind("AT+CMGS=", 0), 0u) << line;
    EXPECT_EQ(line.back(), '\r');
    EXPECT_EQ(shown(), "SETSH,A33      ");
}

}  // namespace
}  // namespace hx350::test
