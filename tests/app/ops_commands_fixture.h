// The form after a start-up from a settings file that holds the window's design values (as the tool's own
// "Save Setting" writes it), on a real pseudo-terminal as Com1. Used by the tests of the module-command
// operations of the Main, Abonents, text and IO control pages.
#pragma once

#include <gtest/gtest.h>
#include <sys/ioctl.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/form.h"
#include "app/settings_file.h"
#include "app/settings_record.h"
#include "form_fixture.h"
#include "link/device_link.h"

namespace hx350::test {

class ModuleCommandPage : public FormOnPtys {
  protected:
    /// Writes the design snapshot (changed by `edit`) as the settings file, runs the start-up (on `clock`
    /// when one is given) and empties the line of whatever the start-up wrote.
    TForm1& startFromDesign(const std::function<void(SettingsRecord&)>& edit = {},
                            const Clock* clock = nullptr) {
        {
            TForm1 design;  // inert: only its pages are saved
            EXPECT_TRUE(design.SaveCFGFile(cfg_path_).ok());
        }
        SettingsRecord record;
        EXPECT_TRUE(readSettingsFile(cfg_path_, record).ok());
        if (edit) edit(record);
        EXPECT_TRUE(writeSettingsFile(cfg_path_, record).ok());
        FormSeams s = seams();
        if (clock != nullptr) s.clock = clock;
        form_ = std::make_unique<TForm1>(std::move(s));
        form_->FormCreate();
        EXPECT_TRUE(form_->CommPortDriver1().IsConnected());
        EXPECT_TRUE(services_.messages.empty());
        line();
        return *form_;
    }

    /// Everything written to Com1 since the last read.
    std::string line() { return wire(1); }

    LinkState& linkState() { return form_->link().state(); }
    Memo& memoS() { return static_cast<FrameControls&>(*form_).MemoS; }
    Memo& memoInput() { return static_cast<FrameControls&>(*form_).MemoSMSinput; }

    /// The single line the log memo shows, or a marker naming how many lines it has otherwise.
    std::string shown() {
        const std::vector<std::string>& lines = memoS().Lines();
        return lines.size() == 1 ? lines[0] : "<" + std::to_string(lines.size()) + " lines>";
    }

    /// Old content in both memos, to see whether an operation empties them.
    void scribble() {
        memoInput().SetText("old answer\r\n");
        memoS().SetText("old command\r\n");
    }

    /// From now on, each time the log memo shows a line, notes whether the operation had already written
    /// to the line at that moment: "GETNR4<" means shown before anything went out, "SETNN1,123>" shown
    /// after the send. The notes collect in echo_order_.
    void trackEchoOrder() {
        memoS().setOnChange([this] {
            const std::vector<std::string>& lines = memoS().Lines();
            if (lines.size() != 1 || lines[0].empty()) return;
            // Bytes written to the secondary reach the primary side through the kernel's flip buffer,
            // which may lag a little: give them a short while before calling the line silent.
            const int fd = com(1).primaryFd();
            const bool written = waitUntil(
                [fd] {
                    int waiting = 0;
                    return ::ioctl(fd, FIONREAD, &waiting) == 0 && waiting > 0;
                },
                Millis(100));
            echo_order_.push_back(lines[0] + (written ? ">" : "<"));
        });
    }
    std::vector<std::string> echo_order_;

    /// SMS mode with a module number, switched on as the user does it.
    void enterSmsMode() {
        form_->BRnumber.SetText("+37120000001");
        form_->SMSmode.userSetChecked(true);
    }

    /// The AT+CMGS announce on the line: "AT+CMGS=", decimal digits, CR. Returns the digits ("" when the
    /// line holds something else).
    static std::string announcedOctets(const std::string& bytes) {
        const std::string_view head = "AT+CMGS=";
        if (bytes.size() < head.size() + 2 || bytes.compare(0, head.size(), head) != 0 ||
            bytes.back() != '\r')
            return {};
        std::string digits = bytes.substr(head.size(), bytes.size() - head.size() - 1);
        for (char ch : digits)
            if (ch < '0' || ch > '9') return {};
        return digits;
    }
};

}  // namespace hx350::test
