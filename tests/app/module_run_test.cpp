// A run over the whole module against a pseudo-terminal peer: the bytes are the buttons' bytes in table
// order, one step at a time; a silent module, a pulled adapter, Cancel and reading in SMS mode.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>

#include "app/module_run.h"
#include "app/settings_bindings.h"
#include "form_fixture.h"

namespace hx350::test {
namespace {

class ModuleRunOnPty : public FormOnPtys {
  protected:
    TForm1& startForm() {
        start();
        wire(1);
        return *form_;
    }

    /// Plays the module on Com1 until the run ends (or 20 simulated minutes pass): every frame that ends
    /// (with its NUL byte) is answered by `answer` (nothing when it returns ""), `after_frame` runs after
    /// each frame. Returns every byte the form wrote.
    std::string play(ModuleRun& run, const std::function<std::string(const std::string&)>& answer,
                     const std::function<void(int frames)>& after_frame = {}) {
        std::string all;
        std::string frame;
        int frames = 0;
        for (int i = 0; i < 240000 && !run.finished(); ++i) {
            char buffer[512];
            const ssize_t got = ::read(com(1).primaryFd(), buffer, sizeof buffer);
            for (ssize_t k = 0; k < got; ++k) {
                frame += buffer[k];
                if (buffer[k] != '\0') continue;
                all += frame;
                const std::string reply = answer(frame);
                if (!reply.empty()) {
                    const std::size_t before = com(1).secondaryInputCount();
                    EXPECT_TRUE(com(1).writePrimary(reply));
                    EXPECT_TRUE(com(1).waitSecondaryInput(before + reply.size()));
                }
                frame.clear();
                ++frames;
                if (after_frame) after_frame(frames);
            }
            time_.advance(5);
        }
        return all + frame;
    }

    ManualTimer& pace_ = time_.makeTimer();
};

std::string okAnswer(const std::string&) {
    return "OK\r\n";
}

TEST_F(ModuleRunOnPty, WriteAllSendsTheButtonsFramesInTableOrderOneAnswerAtATime) {
    TForm1& form = startForm();
    ModuleRun run(form, ModuleRunKind::WriteAll, pace_, 500);
    ASSERT_GT(run.steps().size(), 100u);
    ASSERT_TRUE(run.start());
    const std::string frames = play(run, okAnswer);
    ASSERT_TRUE(run.finished());
    EXPECT_TRUE(run.allAnswered()) << run.stopReason();
    // The empty alarm numbers of a fresh form are cleared; everything was answered.
    EXPECT_EQ(run.report()[0].command, "CLRNR1");
    EXPECT_EQ(run.report().size(), run.steps().size());
    EXPECT_FALSE(form.CommPortDriver1().PromptDelivery());  // given back at the end

    // The same buttons clicked by hand on a fresh form, in the table's page order, once per button and
    // element; an empty alarm number's clear button instead of its write button.
    form_.reset();
    TForm1& by_hand = startForm();
    std::string expected;
    std::set<std::string> clicked;
    for (const SettingBinding* row : by_hand.settingsBindings().inPageOrder()) {
        if (!row->canWrite()) continue;
        const int item = row->selector.empty() ? -1 : row->element - 1;
        if (!clicked.insert(row->write_button + "/" + row->selector + "/" + std::to_string(item)).second)
            continue;
        by_hand.PageControl1.userSelectPage(row->page);
        if (!row->read_box.empty()) by_hand.find<CheckBox>(row->read_box)->SetChecked(false);
        if (!row->selector.empty()) by_hand.find<RadioGroup>(row->selector)->SetItemIndex(row->element - 1);
        const bool cleared = !row->clear_button.empty() && by_hand.find<Edit>(row->control)->Text().empty();
        by_hand.find<Button>(cleared ? row->clear_button : row->write_button)->userClick();
        expected += wire(1);
    }
    EXPECT_EQ(frames, expected);
}

TEST_F(ModuleRunOnPty, ASilentModuleTimesOutOnEveryStep) {
    TForm1& form = startForm();
    ModuleRun run(form, ModuleRunKind::ReadAll, pace_, 100);
    ASSERT_TRUE(run.start());
    play(run, [](const std::string&) { return std::string(); });
    ASSERT_TRUE(run.finished());
    const std::size_t steps = run.steps().size();
    for (std::size_t i = 0; i < steps; ++i)
        EXPECT_EQ(run.report()[i].status, StepStatus::NoAnswer) << run.report()[i].label;
    EXPECT_GE(run.elapsedMs(), steps * 100);
    EXPECT_LE(run.elapsedMs(), steps * (100 + 2 * ModuleRun::kPaceMs));
    EXPECT_FALSE(run.allAnswered());
    // The settings no read can ask for close the report.
    ASSERT_GT(run.report().size(), steps);
    EXPECT_EQ(run.report().back().status, StepStatus::NotReadable);
    EXPECT_NE(run.reportCsv().find(",\"no answer\",no answer\r\n"), std::string::npos);
}

TEST_F(ModuleRunOnPty, APulledAdapterOrCancelEndsTheRunAfterTheStepUnderWay) {
    struct Case {
        const char* name;
        bool pull;
        std::string reason_part;
    };
    // Cancelled first: the pulled adapter's pseudo-terminal is gone for good.
    for (const Case& c : {Case{"cancelled", false, "Cancelled"}, Case{"pulled", true, "disconnected"}}) {
        SCOPED_TRACE(c.name);
        TForm1& form = startForm();
        ModuleRun run(form, ModuleRunKind::WriteAll, pace_, 500);
        ASSERT_TRUE(run.start());
        int frames_seen = 0;
        play(run, okAnswer, [&](int frames) {
            frames_seen = frames;
            if (frames != 3) return;
            if (c.pull)
                com(1).closePrimary();
            else
                run.cancel();
        });
        ASSERT_TRUE(run.finished());
        EXPECT_NE(run.stopReason().find(c.reason_part), std::string::npos) << run.stopReason();
        EXPECT_EQ(frames_seen, 3);  // nothing went out after the step under way
        // The report ends with the step whose frame was the third.
        ASSERT_FALSE(run.report().empty());
        EXPECT_NE(run.report().back().command, "");
        EXPECT_EQ(
            std::count_if(run.report().begin(), run.report().end(),
                          [](const ModuleRunReportRow& row) { return row.status != StepStatus::NotSent; }),
            3);
        form_.reset();
    }
}

TEST_F(ModuleRunOnPty, VerifyListsWhatTheModuleHoldsOtherwiseAndLeavesThePagesAlone) {
    TForm1& form = startForm();
    form.NNumber[3].userSetText("+4930123456");
    const SettingsRecord pages = form.snapshotSettings();
    ModuleRun run(form, ModuleRunKind::Verify, pace_, 100);
    ASSERT_TRUE(run.start());
    // The module holds another second number and the same third one; nothing else is answered.
    play(run, [](const std::string& frame) {
        if (frame.find("GETNR2") != std::string::npos) return std::string("2: +4917600000000\r\n");
        if (frame.find("GETNR3") != std::string::npos) return std::string("3: +4930123456\r\n");
        return std::string();
    });
    ASSERT_TRUE(run.finished());
    ASSERT_EQ(run.differences().size(), 1u);
    EXPECT_EQ(run.differences()[0].row->key, "SubscriberNumber[2]");
    EXPECT_EQ(run.differences()[0].page_value, "");
    EXPECT_EQ(run.differences()[0].file_value, "+4917600000000");
    EXPECT_EQ(recordValueText(run.moduleSettings(), *form.settingsBindings().find("SubscriberNumber[2]")),
              "+4917600000000");
    EXPECT_FALSE(run.allAnswered());
    EXPECT_EQ(form.snapshotSettings().image(), pages.image()) << "the pages changed";
    EXPECT_EQ(run.report().back().status, StepStatus::NotReadable);
}

TEST_F(ModuleRunOnPty, ReadingIsRefusedInSmsMode) {
    TForm1& form = startForm();
    form.SMSmode.SetChecked(true);
    wire(1);
    for (const ModuleRunKind kind : {ModuleRunKind::ReadAll, ModuleRunKind::Verify}) {
        ModuleRun read(form, kind, pace_);
        EXPECT_NE(read.refusal().find("needs direct mode"), std::string::npos);
        EXPECT_FALSE(read.start());
    }
    EXPECT_EQ(wire(1), "");
}

}  // namespace
}  // namespace hx350::test
