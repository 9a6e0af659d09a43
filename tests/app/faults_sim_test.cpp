// The form against hx350-sim misbehaving on purpose: a module that answers in pieces (--split), and a
// phone that reads everything and never answers (--silent).
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "form_fixture.h"
#include "link/device_link.h"
#include "support/sim_process.h"

namespace hx350::test {
namespace {

const std::string kSimulator = HX350_BIN_DIR "/hx350-sim";

// Com1 leads to the simulator's terminal; Com2 and Com3 stay plain pseudo-terminals.
class FormOnSimulator : public FormOnPtys {
  protected:
    void startSimulator(const std::vector<std::string>& options) {
        if (::access(kSimulator.c_str(), X_OK) != 0) GTEST_SKIP() << "hx350-sim is not built: " << kSimulator;
        ASSERT_TRUE(sim_.start(kSimulator, options)) << "hx350-sim did not announce its terminal";
        ASSERT_TRUE(catalogue_.setExplicit(1, sim_.path()));
    }

    std::size_t boxes(std::string_view text) const {
        return static_cast<std::size_t>(std::count_if(services_.messages.begin(), services_.messages.end(),
                                                      [&](const auto& m) { return m.text == text; }));
    }

    SimProcess sim_;
};

TEST_F(FormOnSimulator, SplitAnswersCaughtHalfWayLeaveNothingStuckAndAWholeOneIsRouted) {
    startSimulator({"--mode", "module", "--answer-delay", "0", "--split", "3", "--split-pause", "5"});
    if (IsSkipped()) return;
    TForm1& f = start();
    ASSERT_TRUE(f.CommPortDriver1().IsConnected()) << f.StatusBar1.Text();
    f.PageControl1.userSelectPage(kAbonentsPage);
    f.link().sendModuleCommand("SETNN3 +4917012345678");

    // Polls and ticks every few milliseconds catch the answers piece by piece: each piece is shown and
    // routed as it came (a batch is not a line), and nothing is left waiting once they stop.
    for (int round = 0; round < 3; ++round) {
        f.link().sendModuleCommand("GETNR3");
        const auto until = std::chrono::steady_clock::now() + Millis(250);
        while (std::chrono::steady_clock::now() < until) {
            poll_.trigger();
            timer1_.trigger();
            std::this_thread::sleep_for(Millis(3));
        }
    }
    poll_.trigger();
    timer1_.trigger();
    timer1_.trigger();
    EXPECT_TRUE(f.link().state().last_received_text.empty());
    EXPECT_FALSE(f.link().state().reply_pending);
    EXPECT_FALSE(f.link().state().batch_received);

    // The poll of the window comes seconds apart: by then every piece is in, and the answer is whole.
    f.NNumber[3].SetText("");
    f.link().sendModuleCommand("GETNR3");
    std::this_thread::sleep_for(Millis(200));  // seven pieces, 5 ms apart
    poll_.trigger();
    timer1_.trigger();
    EXPECT_EQ(f.NNumber[3].Text(), "+4917012345678");
    EXPECT_EQ(boxes(kPhoneNotConnectedText), 0u);
}

TEST_F(FormOnSimulator, SilentPhoneAtStartUpIsReportedOnceByTheQueryWatchdog) {
    startSimulator({"--mode", "phone", "--silent"});
    if (IsSkipped()) return;
    SettingsRecord r;
    r.set(cfg::SmsModeOn, true);
    r.set(cfg::ModulePhoneCopy, "+491700350350");
    writeRecord(r);
    TForm1& f = start();
    ASSERT_TRUE(f.link().state().query_sequence_running);
    timer1_.trigger();
    EXPECT_EQ(f.link().state().query_step, 1);
    for (int i = 0; i < kNoAnswerTicks - 2; ++i)
        timer1_.trigger();
    EXPECT_EQ(boxes(kPhoneNotConnectedText), 0u);
    timer1_.trigger();
    EXPECT_EQ(boxes(kPhoneNotConnectedText), 1u);
    EXPECT_FALSE(f.link().state().query_sequence_running);
    EXPECT_EQ(f.Status.color(), colors::kBlack);
    // Hours more of silence, with listings and the user's commands: still one box.
    for (int i = 0; i < 3 * 3600; ++i)
        time_.advance(1000);
    f.ReadState.userClick();
    for (int i = 0; i < 300; ++i)
        timer1_.trigger();
    EXPECT_EQ(boxes(kPhoneNotConnectedText), 1u);
    EXPECT_EQ(services_.messages.size(), 1u);
}

TEST_F(FormOnSimulator, SilentPhoneLeavingACommandUnansweredIsReportedOnceByTheExchangeWatchdog) {
    startSimulator({"--mode", "phone", "--silent"});
    if (IsSkipped()) return;
    SettingsRecord r;
    r.set(cfg::SmsModeOn, false);
    r.set(cfg::ModulePhoneCopy, "+491700350350");
    writeRecord(r);
    TForm1& f = start();
    f.SMSmode.userSetChecked(true);
    ASSERT_FALSE(f.link().state().query_sequence_running);
    f.ReadState.userClick();
    ASSERT_TRUE(f.link().state().awaiting_prompt);
    for (int i = 0; i < kNoAnswerTicks - 1; ++i)
        timer1_.trigger();
    EXPECT_EQ(boxes(kPhoneNotConnectedText), 0u);
    timer1_.trigger();
    EXPECT_EQ(boxes(kPhoneNotConnectedText), 1u);
    EXPECT_FALSE(f.link().state().sms_exchange_active);  // the listing is no longer held back
    // The next commands are given up too, without another box.
    for (int n = 0; n < 3; ++n) {
        f.ReadState.userClick();
        for (int i = 0; i < 2 * kNoAnswerTicks; ++i)
            timer1_.trigger();
    }
    EXPECT_EQ(boxes(kPhoneNotConnectedText), 1u);
    EXPECT_FALSE(f.link().state().command_pending);
}

}  // namespace
}  // namespace hx350::test
