// The whole form on real pseudo-terminals: Com1..Com3 of a port catalogue lead to three pty pairs whose
// primary sides the test reads, the settings file lives in a fresh temporary folder, and time, the poll
// timer and Timer1 are driven by hand.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "app/form.h"
#include "app/settings_file.h"
#include "app/settings_record.h"
#include "base/clock.h"
#include "base/window_services.h"
#include "serial/port_catalogue.h"
#include "support/files.h"
#include "support/frames.h"
#include "support/pty_pair.h"

namespace hx350::test {

class FormOnPtys : public ::testing::Test {
  protected:
    FormOnPtys()
        : time_(LocalDateTime{2026, 3, 4, 12, 0, 0, 0}),
          poll_(time_.makeTimer()),
          timer1_(time_.makeTimer()),
          quiet_gap_(time_.makeTimer()) {}

    void SetUp() override {
        for (int n = 1; n <= 3; ++n) {
            ASSERT_TRUE(com(n).ok());
            ASSERT_TRUE(catalogue_.setExplicit(n, com(n).secondaryPath()));
        }
        std::string pattern = ::testing::TempDir() + "hx350-form-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        cfg_path_ = dir_ + "/HX350.cfg";
    }

    void TearDown() override {
        form_.reset();
        ::chmod(cfg_path_.c_str(), 0600);
        ::unlink(cfg_path_.c_str());
        ::unlink((dir_ + "/other.cfg").c_str());
        ::rmdir(dir_.c_str());
    }

    PtyPair& com(int n) { return ptys_[n - 1]; }

    FormSeams seams() {
        FormSeams s;
        s.port_path = catalogue_.lookup();
        s.clock = &time_;
        s.poll_timer = &poll_;
        s.timer1 = &timer1_;
        s.quiet_gap_timer = &quiet_gap_;
        s.services = &services_;
        s.settings_path = cfg_path_;
        return s;
    }

    /// A form that has not run its start-up yet.
    TForm1& build() {
        form_ = std::make_unique<TForm1>(seams());
        return *form_;
    }

    /// A form after FormCreate.
    TForm1& start() {
        build();
        form_->FormCreate();
        return *form_;
    }

    void writeRecord(const SettingsRecord& record) { ASSERT_TRUE(writeSettingsFile(cfg_path_, record).ok()); }

    /// Everything written to port n since the last read (waits until nothing has come for 20 ms).
    std::string wire(int n) { return com(n).drainPrimary(Millis(20)); }

    /// The far end of port n sends `bytes`; the driver's next poll delivers them.
    void answer(int n, const std::string& bytes) {
        const std::size_t before = com(n).secondaryInputCount();
        ASSERT_TRUE(com(n).writePrimary(bytes));
        ASSERT_TRUE(com(n).waitSecondaryInput(before + bytes.size()));
        poll_.trigger();
    }

    PtyPair ptys_[3];
    PortCatalogue catalogue_;
    ManualTimeSource time_;
    ManualTimer& poll_;
    ManualTimer& timer1_;
    ManualTimer& quiet_gap_;  ///< runs only while prompt delivery is on
    RecordingWindowServices services_;
    std::string dir_;
    std::string cfg_path_;
    std::unique_ptr<TForm1> form_;
};

}  // namespace hx350::test
