// End to end: the device link against hx350-sim, in direct mode (the module on the cable) and in SMS mode
// (a GSM phone with the module behind it). Timer1 and the driver's poll are driven by hand at a quick
// pace in real time, four ticks per poll, as the window runs them (1000 ms and 4000 ms).
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "base/clock.h"
#include "fake_link_window.h"
#include "link/device_link.h"
#include "serial/comm_port_driver.h"
#include "support/pty_pair.h"
#include "support/sim_process.h"

namespace hx350 {
namespace {

using test::Millis;

const std::string kSimulator = HX350_BIN_DIR "/hx350-sim";

class LinkAgainstSimulator : public ::testing::Test {
  protected:
    LinkAgainstSimulator()
        : poll_(time_.makeTimer()),
          timer1_(time_.makeTimer()),
          driver_(nullptr, poll_, time_),
          link_(driver_, time_, timer1_, window_) {
        // Keep a copy of every batch, then hand it on as the window does.
        driver_.SetOnReceiveData([this](TCommPortDriver&, const std::uint8_t* data, std::uint32_t size) {
            batches_.emplace_back(reinterpret_cast<const char*>(data), size);
            link_.CommPortDriver1ReceiveData(data, size);
        });
        window_.on_skip_click = [this] { link_.SkipCRLFcbClick(); };
    }

    void startSimulator(const std::vector<std::string>& options) {
        if (access(kSimulator.c_str(), X_OK) != 0) {
            GTEST_SKIP() << "hx350-sim is not built (" << kSimulator << "): build the target hx350-sim";
        }
        ASSERT_TRUE(sim_.start(kSimulator, options)) << "hx350-sim did not announce its terminal";
        driver_.SetPortName(sim_.path());
        driver_.SetPollingDelay(5000);
        ASSERT_TRUE(driver_.Connect()) << sim_.path();
        timer1_.start(1000);
    }

    // Polls the port until `done` holds, without ticks (deadline in real time).
    bool pollUntil(const std::function<bool()>& done, Millis deadline = Millis(3000)) {
        return test::waitUntil(
            [&] {
                driver_.PollTick();
                return done();
            },
            deadline, Millis(5));
    }

    // Runs Timer1 and the poll (a poll every fourth tick, 5 ms of real time per tick) until `done` holds.
    bool runUntil(const std::function<bool()>& done, Millis deadline = Millis(5000)) {
        int ticks = 0;
        return test::waitUntil(
            [&] {
                timer1_.trigger();
                if (++ticks % 4 == 0) driver_.PollTick();
                return done();
            },
            deadline, Millis(5));
    }

    const LinkState& state() const { return link_.state(); }

    test::SimProcess sim_;
    ManualTimeSource time_{LocalDateTime{2026, 12, 7, 12, 0, 0, 0}};
    ManualTimer& poll_;
    ManualTimer& timer1_;
    TCommPortDriver driver_;
    test::FakeLinkWindow window_;
    DeviceLink link_;
    std::vector<std::string> batches_;
};

TEST_F(LinkAgainstSimulator, DirectModeAnswerLandsInTheLastReceivedTextAndThePage) {
    startSimulator({"--mode", "module", "--answer-delay", "0"});
    window_.page = 1;
    link_.sendModuleCommand("GETNR3");
    ASSERT_TRUE(pollUntil([&] { return state().last_received_text.find('\n') != std::string::npos; }));
    const std::string answer = state().last_received_text;
    ASSERT_TRUE(answer.starts_with("3: ")) << answer;
    ASSERT_TRUE(answer.ends_with("\r\n")) << answer;
    const std::string number = answer.substr(3, answer.size() - 5);
    timer1_.trigger();
    EXPECT_EQ(window_.edits["NNumber3"], number);
    EXPECT_EQ(window_.memo_sms_input.Text(), "\r\n" + answer + "\r\n");
    EXPECT_TRUE(state().last_received_text.empty());

    window_.page = 2;
    window_.skip_crlf = true;
    link_.sendModuleCommand("GETTX05");
    ASSERT_TRUE(
        pollUntil([&] { return state().batch_received && state().last_received_text.ends_with("  "); }));
    ASSERT_TRUE(state().last_received_text.starts_with("05: ")) << state().last_received_text;
    // The text without the two blanks "Skip CR/LF" made of the line end.
    const std::string text = state().last_received_text.substr(4, state().last_received_text.size() - 6);
    timer1_.trigger();
    EXPECT_EQ(window_.edits["TXTSMS5"], text);
}

TEST_F(LinkAgainstSimulator, SmsModeAnswerIsListedDecodedShownAndDeleted) {
    const std::string transcript = testing::TempDir() + "hx350-link-sim-transcript.txt";
    std::remove(transcript.c_str());
    startSimulator({"--mode", "phone", "--answer-delay", "0", "--reply-delay", "50", "--module-number",
                    "+491700350350", "--transcript", transcript});
    window_.sms_mode = true;
    window_.br_number = "+491700350350";

    // The phone is identified and set up first.
    link_.ReadAllParameterClick();
    ASSERT_TRUE(runUntil([&] { return !state().query_sequence_running; }));
    EXPECT_EQ(state().query_step, 7);
    EXPECT_FALSE(window_.hersteller.empty());
    EXPECT_FALSE(window_.model_id_code.empty());
    EXPECT_TRUE(window_.services.messages.empty());

    // The command goes out as an SMS; the module's answer comes back as one and is listed.
    EXPECT_EQ(link_.sendModuleCommand("GETNR3"), SendResult::Sent);
    ASSERT_TRUE(runUntil([&] { return !state().last_sms_text.empty(); }, Millis(8000)))
        << "no answer SMS listed; batches: " << batches_.size();
    EXPECT_TRUE(state().last_sms_text.starts_with("3: ")) << state().last_sms_text;
    const std::vector<std::string> lines = window_.memo_sms_input.Lines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1], "");
    EXPECT_TRUE(lines[2].starts_with("3: ")) << lines[2];
    EXPECT_FALSE(state().command_pending);
    // The status bar followed it, and the message was written down before its delete.
    EXPECT_EQ(state().sms_outcome, SmsOutcome::Confirmed);
    ASSERT_GE(window_.link_messages.size(), 2u);
    EXPECT_EQ(window_.link_messages.front(), "Sending GETNR3 to +491700350350 (SMS)");
    EXPECT_EQ(window_.link_messages.back(), "Answer received");
    ASSERT_EQ(link_.messageLog().messages().size(), 1u);
    EXPECT_EQ(link_.messageLog().messages()[0].sender, "+491700350350");
    EXPECT_EQ(link_.messageLog().messages()[0].text, state().last_sms_text);
    EXPECT_TRUE(link_.messageLog().messages()[0].index.has_value());

    // The message was deleted: the next two listings (read and unread) find nothing.
    const std::size_t seen = batches_.size();
    int listed = 0;
    bool last_alternation = state().listing_alternation;
    ASSERT_TRUE(runUntil(
        [&] {
            if (state().listing_alternation != last_alternation) {
                last_alternation = state().listing_alternation;
                ++listed;
            }
            return listed >= 2 && batches_.size() >= seen + 2;
        },
        Millis(8000)));
    for (std::size_t i = seen; i < batches_.size(); ++i) {
        EXPECT_EQ(batches_[i].find("+CMGL:"), std::string::npos) << batches_[i];
    }
    sim_.stop();
    std::ifstream file(transcript);
    std::stringstream content;
    content << file.rdbuf();
    EXPECT_NE(content.str().find("AT+CMGD="), std::string::npos);
    EXPECT_TRUE(window_.services.messages.empty());
}

}  // namespace
}  // namespace hx350
