// "Show answers as soon as they arrive": the same answer, shown and routed the same way, one quiet gap after
// it arrives instead of at the next poll and tick; unticked, the window keeps the designed timing.
#include <gtest/gtest.h>

#include <string>

#include "form_fixture.h"
#include "support/frames.h"

namespace hx350::test {
namespace {

class PromptAnswers : public FormOnPtys {
  protected:
    /// Hand-driven milliseconds from the far end's answer until MemoSMSinput shows it (at most 12 s).
    std::uint64_t msUntilShown(TForm1& form, const std::string& answer_line) {
        const std::size_t before = com(1).secondaryInputCount();
        EXPECT_TRUE(com(1).writePrimary(answer_line + "\r\n"));
        EXPECT_TRUE(com(1).waitSecondaryInput(before + answer_line.size() + 2));
        for (std::uint64_t ms = 0; ms <= 12000; ms += 5) {
            if (form.FrameControls::MemoSMSinput.Text().find(answer_line) != std::string::npos) return ms;
            time_.advance(5);
        }
        return 99999;
    }
};

TEST_F(PromptAnswers, TickedShowsAndRoutesTheAnswerOneGapAfterItArrives) {
    struct Case {
        bool ticked;
        std::uint64_t at_least_ms;
        std::uint64_t at_most_ms;
    };
    for (const Case c : {Case{false, 1000, 5000}, Case{true, 25, 30}}) {
        SCOPED_TRACE(c.ticked);
        TForm1& form = start();
        form.PromptAnswers.SetChecked(c.ticked);
        EXPECT_EQ(form.CommPortDriver1().PromptDelivery(), c.ticked);
        form.PageControl1.SetActivePageIndex(kAbonentsPage);
        form.RadioGroupNR.SetItemIndex(2);
        form.GetNr.userClick();
        EXPECT_EQ(wire(1), framed("GETNR3"));
        const std::uint64_t shown = msUntilShown(form, "3: +4917612345678");
        EXPECT_GE(shown, c.at_least_ms);
        EXPECT_LE(shown, c.at_most_ms);
        EXPECT_EQ(form.NNumber[3].Text(), "+4917612345678");  // routed as a tick would route it
        form_.reset();
    }
}

TEST_F(PromptAnswers, ForcedDeliveryOutlastsTheBoxAndIsNeverSaved) {
    TForm1& form = start();
    bool told = false;
    form.SetOnPromptAnswersChanged([&told](bool on) { told = on; });
    form.SetPromptAnswersForced(true);
    EXPECT_TRUE(form.CommPortDriver1().PromptDelivery());
    EXPECT_FALSE(told);  // a run's need is not the user's preference
    form.PromptAnswers.SetChecked(true);
    EXPECT_TRUE(told);
    form.PromptAnswers.SetChecked(false);
    EXPECT_TRUE(form.CommPortDriver1().PromptDelivery());
    form.SetPromptAnswersForced(false);
    EXPECT_FALSE(form.CommPortDriver1().PromptDelivery());

    form.PromptAnswers.SetChecked(true);
    form.SaveSetting1Click();
    const std::string ticked = readWholeFile(cfg_path_);
    form.PromptAnswers.SetChecked(false);
    form.SaveSetting1Click();
    EXPECT_EQ(readWholeFile(cfg_path_), ticked);
}

}  // namespace
}  // namespace hx350::test
