// The headless form on a real pseudo-terminal mapped as Com1, with hand-driven timers, recorded window
// services and a private working directory for the settings file. The test plays the module on the
// primary side and reads back what the page operations wrote.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/form.h"
#include "base/clock.h"
#include "base/window_services.h"
#include "link/device_link.h"
#include "support/frames.h"
#include "support/pty_pair.h"

namespace hx350::test {

class OpsForm : public ::testing::Test {
  protected:
    OpsForm() : poll_(time_.makeTimer()), timer1_(time_.makeTimer()) {}

    ~OpsForm() override {
        form_.reset();
        if (!dir_.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(dir_, ignored);
        }
    }

    void SetUp() override {
        ASSERT_TRUE(pty_.ok());
        std::string dir_template = (std::filesystem::temp_directory_path() / "hx350-ops-XXXXXX").string();
        ASSERT_NE(::mkdtemp(dir_template.data()), nullptr);
        dir_ = dir_template;

        form_ = std::make_unique<TForm1>(seams());
        // The port as the design chooses it (Com1, 19200); no settings file is read, so every page keeps
        // its design values.
        form_->InitPort();
        ASSERT_TRUE(form_->CommPortDriver1().IsConnected());
        ASSERT_EQ(wire(), "");
    }

    FormSeams seams() {
        FormSeams s;
        const std::string path = pty_.secondaryPath();
        s.port_path = [path](int number) { return number == 1 ? path : std::string(); };
        s.clock = &time_;
        s.poll_timer = &poll_;
        s.timer1 = &timer1_;
        s.services = &services_;
        s.settings_path = settingsPath();
        return s;
    }

    /// Ends the program and starts it again on the same port and working directory: a new form that runs
    /// its start-up and so reads the settings file.
    void restart() {
        form_.reset();
        form_ = std::make_unique<TForm1>(seams());
        form_->FormCreate();
        wire();
    }

    /// Everything written to the line since the last read (waits until nothing has come for 20 ms).
    std::string wire() { return pty_.drainPrimary(Millis(20)); }

    TForm1& form() { return *form_; }
    LinkState& linkState() { return form_->link().state(); }
    const std::vector<std::string>& memoS() { return static_cast<FrameControls&>(*form_).MemoS.Lines(); }
    const std::vector<std::string>& memoInput() {
        return static_cast<FrameControls&>(*form_).MemoSMSinput.Lines();
    }
    /// The one line MemoS shows, or "<n lines>" when it shows another number of lines.
    std::string shown() {
        const std::vector<std::string>& lines = memoS();
        return lines.size() == 1 ? lines[0] : "<" + std::to_string(lines.size()) + " lines>";
    }
    /// Leaves a trace in both memos, so a test can see whether an operation emptied them.
    void scribble() {
        static_cast<FrameControls&>(*form_).MemoSMSinput.SetText("old answer\r\n");
        static_cast<FrameControls&>(*form_).MemoS.SetText("old command\r\n");
    }
    /// Switches to SMS mode with a module number, as the user would on the Main page.
    void enterSmsMode() {
        form_->BRnumber.SetText("+491701234567");
        form_->SMSmode.userSetChecked(true);
    }
    std::string settingsPath() const { return (std::filesystem::path(dir_) / "HX350.cfg").string(); }

    PtyPair pty_;
    ManualTimeSource time_;
    ManualTimer& poll_;
    ManualTimer& timer1_;
    RecordingWindowServices services_;
    std::string dir_;
    std::unique_ptr<TForm1> form_;
};

}  // namespace hx350::test
