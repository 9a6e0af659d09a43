// The "Temperature" page operations on the line: the threshold buttons (signed three-digit values, Clear,
// marks, reply pending) for all four inputs, the displays, and the counter buttons without Clear.
#include <gtest/gtest.h>

#include <string>

#include "ops_form_fixture.h"

namespace hx350::test {
namespace {

using TemperatureOps = OpsForm;

struct TLevelRow {
    int input;
    int min2, min1, max1, max2;
    std::string command;
};

class TemperatureLevels : public OpsForm, public ::testing::WithParamInterface<TLevelRow> {};

TEST_P(TemperatureLevels, WritesSignedThreeDigitValuesAndMarksTheEdits) {
    const TLevelRow& row = GetParam();
    TForm1& f = form();
    // Inputs 3 and 4 are hidden: code sets them, as start-up does.
    f.ScrollBarTMin[row.input][2].SetPosition(row.min2);
    f.ScrollBarTMin[row.input][1].SetPosition(row.min1);
    f.ScrollBarTMax[row.input][1].SetPosition(row.max1);
    f.ScrollBarTMax[row.input][2].SetPosition(row.max2);
    scribble();
    linkState().plain_send = true;
    linkState().reply_pending = false;

    Button* const ok[] = {&f.Button3, &f.Button4, &f.Button5, &f.Button6};
    if (ok[row.input - 1]->Visible()) {
        ASSERT_TRUE(ok[row.input - 1]->userClick());
    } else {
        f.TlevelCmdClick(row.input);
    }

    EXPECT_EQ(wire(), framed(row.command));
    EXPECT_EQ(row.command.size(), 22u);
    EXPECT_EQ(shown(), row.command);
    EXPECT_EQ(memoInput(), std::vector<std::string>{""});
    EXPECT_TRUE(linkState().reply_pending);
    EXPECT_FALSE(linkState().plain_send);
    for (int k = 1; k <= 2; ++k) {
        EXPECT_EQ(f.tMaxlv[row.input][k].color(), colors::kLime);
        EXPECT_EQ(f.tMinlv[row.input][k].color(), colors::kAqua);
    }
    f.PageControl1.userSelectPage(kAnalogPage);
    for (int k = 1; k <= 2; ++k) {
        EXPECT_EQ(f.tMaxlv[row.input][k].color(), colors::kCream);
        EXPECT_EQ(f.tMinlv[row.input][k].color(), colors::kCream);
    }
}

INSTANTIATE_TEST_SUITE_P(Inputs, TemperatureLevels,
                         ::testing::Values(TLevelRow{1, -10, 0, 30, 45, "TCLEV1-010+000+030+045"},
                                           TLevelRow{2, -99, -99, -99, -99, "TCLEV2-099-099-099-099"},
                                           TLevelRow{1, 149, 100, 0, -1, "TCLEV1+149+100+000-001"},
                                           TLevelRow{3, -7, 7, 70, 147, "TCLEV3-007+007+070+147"},
                                           TLevelRow{4, 0, 1, 2, 3, "TCLEV4+000+001+002+003"}));

TEST_F(TemperatureOps, SliderShowsPlainSignedDecimalWhileTheCommandCarriesFourCharacters) {
    TForm1& f = form();
    f.ScrollBarTMin[1][1].userSetPosition(-7);
    EXPECT_EQ(f.tMinlv[1][1].Text(), "-7");
    f.ScrollBarTMax[2][2].userSetPosition(149);
    EXPECT_EQ(f.tMaxlv[2][2].Text(), "149");
    f.ScrollBarTMax[1][1].userSetPosition(0);
    f.ScrollBarTMin[1][2].userSetPosition(-99);
    f.ScrollBarTMax[1][2].userSetPosition(1);
    f.Button3.userClick();
    EXPECT_EQ(wire(), framed("TCLEV1-099-007+000+001"));
}

TEST_F(TemperatureOps, CounterButtonsSkipClearAndKeepThePlainSendFlag) {
    TForm1& f = form();
    scribble();
    linkState().reply_pending = false;
    f.Button22.userClick();
    EXPECT_EQ(wire(), framed("CLRCT1"));
    EXPECT_EQ(shown(), "CLRCT1");
    EXPECT_FALSE(linkState().reply_pending);

    linkState().plain_send = true;
    f.Button23.userClick();
    EXPECT_EQ(wire(), unframed("CLRCT2"));
    EXPECT_EQ(shown(), "CLRCT2");
    EXPECT_TRUE(linkState().plain_send);
    f.Button22.userClick();
    EXPECT_EQ(wire(), unframed("CLRCT1"));
}

TEST_F(TemperatureOps, ThresholdsInSmsModeAnnounceTheMessageToThePhone) {
    enterSmsMode();
    form().Button4.userClick();
    const std::string line = wire();
    EXPECT_EQ(line.rfind("AT+CMGS=", 0), 0u) << line;
    EXPECT_EQ(line.back(), '\r');
    EXPECT_EQ(line.find("TCLEV"), std::string::npos);  // the command travels inside the PDU
}

}  // namespace
}  // namespace hx350::test
