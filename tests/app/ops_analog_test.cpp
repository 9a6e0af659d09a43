// The "Analog" page operations on the line: the threshold buttons with their Clear, marks and reply
// pending, the one-button settings that keep the plain-send flag, the shunt boxes and their labels.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "ops_form_fixture.h"

namespace hx350::test {
namespace {

using AnalogOps = OpsForm;

struct LevelRow {
    int input;
    int min2, min1, max1, max2;
    std::string command;
};

class AnalogLevels : public OpsForm, public ::testing::WithParamInterface<LevelRow> {};

TEST_P(AnalogLevels, WritesMin2Min1Max1Max2AsTwoDigitsAndMarksTheEdits) {
    const LevelRow& row = GetParam();
    TForm1& f = form();
    f.ScrollBarMin[row.input][2].userSetPosition(row.min2);
    f.ScrollBarMin[row.input][1].userSetPosition(row.min1);
    f.ScrollBarMax[row.input][1].userSetPosition(row.max1);
    f.ScrollBarMax[row.input][2].userSetPosition(row.max2);
    scribble();
    linkState().plain_send = true;
    linkState().reply_pending = false;

    ASSERT_TRUE(f.LevelCmd[row.input].userClick());

    EXPECT_EQ(wire(), framed(row.command));  // Clear took the plain-send flag away first
    EXPECT_EQ(shown(), row.command);
    EXPECT_EQ(memoInput(), std::vector<std::string>{""});
    EXPECT_TRUE(linkState().reply_pending);
    EXPECT_FALSE(linkState().plain_send);
    for (int n = 1; n <= 4; ++n) {
        for (int k = 1; k <= 2; ++k) {
            EXPECT_EQ(f.Maxlv[n][k].color(), n == row.input ? colors::kLime : colors::kWhite) << n << k;
            EXPECT_EQ(f.Minlv[n][k].color(), n == row.input ? colors::kAqua : colors::kWhite) << n << k;
        }
    }
    // The next change of page paints the marks back.
    f.PageControl1.userSelectPage(kTemperaturePage);
    for (int k = 1; k <= 2; ++k) {
        EXPECT_EQ(f.Maxlv[row.input][k].color(), colors::kCream);
        EXPECT_EQ(f.Minlv[row.input][k].color(), colors::kCream);
    }
}

INSTANTIATE_TEST_SUITE_P(Inputs, AnalogLevels,
                         ::testing::Values(LevelRow{2, 0, 9, 10, 99, "ANLEV2,00,09,10,99"},
                                           LevelRow{1, 5, 10, 80, 95, "ANLEV1,05,10,80,95"},
                                           LevelRow{3, 99, 50, 7, 0, "ANLEV3,99,50,07,00"},
                                           LevelRow{4, 1, 2, 3, 4, "ANLEV4,01,02,03,04"}));

TEST_F(AnalogOps, SliderShowsTwoDigits) {
    form().ScrollBarMax[1][2].userSetPosition(7);
    EXPECT_EQ(form().Maxlv[1][2].Text(), "07");
    form().ScrollBarMin[4][1].userSetPosition(42);
    EXPECT_EQ(form().Minlv[4][1].Text(), "42");
    form().ScrollBarADelay.userSetPosition(5);
    EXPECT_EQ(form().ADelay.Text(), "05");
}

// Every button but the thresholds sends on top of the line's state: no Clear, the flag untouched.
struct OneButtonRow {
    const char* name;
    std::function<void(TForm1&)> prepare;
    std::function<void(TForm1&)> press;
    std::string command;
};

class AnalogOneButton : public OpsForm, public ::testing::WithParamInterface<OneButtonRow> {};

TEST_P(AnalogOneButton, SendsFramedAndShowsIt) {
    const OneButtonRow& row = GetParam();
    if (row.prepare) row.prepare(form());
    scribble();
    linkState().reply_pending = false;
    row.press(form());
    EXPECT_EQ(wire(), framed(row.command));
    EXPECT_EQ(shown(), row.command);
    EXPECT_FALSE(linkState().reply_pending);  // no Clear
}

TEST_P(AnalogOneButton, KeepsThePlainSendFlagOfTheModemConsole) {
    const OneButtonRow& row = GetParam();
    if (row.prepare) row.prepare(form());
    linkState().plain_send = true;
    row.press(form());
    EXPECT_EQ(wire(), unframed(row.command));
    EXPECT_TRUE(linkState().plain_send);
}

const OneButtonRow kOneButtonRows[] = {
    {"RefDesign", nullptr, [](TForm1& f) { f.BtRefLevel.userClick(); }, "REFLV2,1111"},
    {"Ref5V",
     [](TForm1& f) {
         f.ReferenceLevelRadioBox1.userSetItemIndex(1);
         f.AnalogKoeff.userSetText("1234");
     },
     [](TForm1& f) { f.BtRefLevel.userClick(); }, "REFLV5,1234"},
    {"Mul1", nullptr, [](TForm1& f) { f.bANmul[1].userClick(); }, "ADDKF1,1000"},
    {"Mul4Empty", [](TForm1& f) { f.ANmul[4].userSetText(""); }, [](TForm1& f) { f.bANmul[4].userClick(); },
     "ADDKF4,"},
    {"Mode420On", [](TForm1& f) { f.AN_420[1].userSetChecked(true); },
     [](TForm1& f) { f.bAN_420[1].userClick(); }, "420FL1,1"},
    {"Mode420Off", nullptr, [](TForm1& f) { f.bAN_420[3].userClick(); }, "420FL3,0"},
    {"ExtMul1", nullptr, [](TForm1& f) { f.Button29.userClick(); }, "AKSMS1,1000"},
    {"ExtMul2", [](TForm1& f) { f.ANmulSMS[2].userSetText("250"); },
     [](TForm1& f) { f.Button30.userClick(); }, "AKSMS2,250"},
    {"ExtMul3", nullptr, [](TForm1& f) { f.Button31.userClick(); }, "AKSMS3,1000"},
    {"ExtOn", nullptr, [](TForm1& f) { f.Button32.userClick(); }, "AEXTF1"},
    {"ExtOff", nullptr, [](TForm1& f) { f.Button33.userClick(); }, "AEXTF0"},
    {"ShuntDesign", nullptr, [](TForm1& f) { f.Button34.userClick(); }, "R420M3"},
    {"DelayDesign", nullptr, [](TForm1& f) { f.Button35.userClick(); }, "ANDEL00"},
    {"Delay5", [](TForm1& f) { f.ScrollBarADelay.userSetPosition(5); },
     [](TForm1& f) { f.Button35.userClick(); }, "ANDEL05"},
    {"ReadParameters", nullptr, [](TForm1& f) { f.GETLV.userClick(); }, "GETLV"},
};

INSTANTIATE_TEST_SUITE_P(Buttons, AnalogOneButton, ::testing::ValuesIn(kOneButtonRows),
                         [](const ::testing::TestParamInfo<OneButtonRow>& row) { return row.param.name; });

TEST_F(AnalogOps, ShuntBoxesSetTheChoiceAndTheirLabels) {
    TForm1& f = form();
    EXPECT_EQ(f.shuntChoice(), 3);
    ASSERT_TRUE(f.CheckBox7.userSetChecked(false));  // AN1 to 249 ohm
    EXPECT_EQ(f.shuntChoice(), 2);
    EXPECT_EQ(f.ANmode200[1].Caption(), "249 Om");
    f.Button34.userClick();
    EXPECT_EQ(wire(), framed("R420M2"));

    f.CheckBox7.userSetChecked(true);
    f.CheckBox5.userSetChecked(true);  // AN3 to 200 ohm
    EXPECT_EQ(f.shuntChoice(), 7);
    EXPECT_EQ(f.ANmode200[1].Caption(), "200 Om");
    EXPECT_EQ(f.ANmode200[3].Caption(), "200 Om");
    f.Button34.userClick();
    EXPECT_EQ(wire(), framed("R420M7"));

    f.CheckBox6.userSetChecked(false);
    f.CheckBox5.userSetChecked(false);
    f.CheckBox7.userSetChecked(false);
    EXPECT_EQ(f.shuntChoice(), 0);
    EXPECT_EQ(f.ANmode200[2].Caption(), "249 Om");
    f.Button34.userClick();
    EXPECT_EQ(wire(), framed("R420M0"));
}

TEST_F(AnalogOps, MultiplierRightAfterTheSignalQualityQueryGoesOutUnframed) {
    TForm1& f = form();
    ASSERT_TRUE(f.Squality.userClick());  // the modem console's plain send
    EXPECT_EQ(wire(), "  AT+CSQ\r");
    ASSERT_TRUE(f.bANmul[1].userClick());
    EXPECT_EQ(wire(), unframed("ADDKF1,1000"));
    // A threshold button starts afresh with Clear, and the line is framed again.
    ASSERT_TRUE(f.LevelCmd[1].userClick());
    EXPECT_EQ(wire(), framed("ANLEV1,00,00,00,00"));
    ASSERT_TRUE(f.bANmul[1].userClick());
    EXPECT_EQ(wire(), framed("ADDKF1,1000"));
}

TEST_F(AnalogOps, ThresholdsInSmsModeAnnounceTheMessageToThePhone) {
    enterSmsMode();
    form().LevelCmd[2].userClick();
    const std::string line = wire();
    EXPECT_EQ(line.rfind("AT+CMGS=", 0), 0u) << line;
    EXPECT_EQ(line.back(), '\r');
    EXPECT_EQ(line.find("SETUP:"), std::string::npos);
    EXPECT_EQ(shown(), "ANLEV2,00,00,00,00");
}

}  // namespace
}  // namespace hx350::test
