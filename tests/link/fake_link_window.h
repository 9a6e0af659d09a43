// A stand-in for the main window as the device link sees it: plain fields, the memos, recorded message
// boxes, and a hook that runs inside a box to play the nested event loop of a real modal box.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "base/window_services.h"
#include "link/link_window.h"

namespace hx350::test {

class NestedLoopServices final : public WindowServices {
  public:
    struct Message {
        std::string text;
        std::string caption;
        MessageIcon icon;
    };
    void showMessage(std::string_view text, std::string_view caption, MessageIcon icon) override {
        messages.push_back({std::string(text), std::string(caption), icon});
        if (while_open && depth_ == 0) {
            ++depth_;
            while_open();
            --depth_;
        }
    }
    void setCursor(CursorShape shape) override { cursor = shape; }

    std::vector<Message> messages;
    CursorShape cursor = CursorShape::Default;
    /// Runs while a box is open (ticks and polls of the nested loop); not again for a box shown inside.
    std::function<void()> while_open;

  private:
    int depth_ = 0;
};

class FakeLinkWindow final : public LinkWindow {
  public:
    bool SMSmodeChecked() const override { return sms_mode; }
    bool SkipCRLFcbChecked() const override { return skip_crlf; }
    void SetSkipCRLFcbChecked(bool checked) override {
        if (checked == skip_crlf) return;
        skip_crlf = checked;
        if (on_skip_click) on_skip_click();
    }
    std::string BRnumberText() const override { return br_number; }
    Memo& MemoS() override { return memo_s; }
    Memo& MemoSMSinput() override { return memo_sms_input; }
    void SetHersteller(std::string_view text) override { hersteller = text; }
    void SetModelIDCode(std::string_view text) override { model_id_code = text; }
    void SetDateTime(std::string_view text) override { date_time = text; }
    void SetStatusColor(Color color) override { status_color = color; }
    void SetStatusText(std::string_view text) override { status_text = text; }
    int ActivePageIndex() const override { return page; }
    void ApplyRouting(const std::vector<EditAssignment>& assignments) override {
        for (const auto& a : assignments)
            edits[a.edit] = a.value;
    }
    void ShowLinkMessage(std::string_view text) override { link_messages.emplace_back(text); }
    WindowServices& Services() override { return services; }

    bool sms_mode = false;
    bool skip_crlf = false;
    std::function<void()> on_skip_click;
    std::string br_number = "+123";
    Memo memo_s{"MemoS"};
    Memo memo_sms_input{"MemoSMSinput"};
    std::string hersteller = "Hersteller";
    std::string model_id_code = "ModelIDCode";
    std::string date_time = "SIM status";
    Color status_color = colors::kWhite;
    std::string status_text = "Setting Mode";
    int page = 0;
    std::map<std::string, std::string> edits;
    std::vector<std::string> link_messages;  ///< every status-bar line the link handed over, in order
    NestedLoopServices services;
};

}  // namespace hx350::test
