// A window for the benchmarks: the link's view of the main window as plain fields, and window services
// that show nothing. Kept free of test frameworks so the benchmarks time only the code under test.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "base/memo.h"
#include "base/window_services.h"
#include "link/link_window.h"

namespace hx350::bench {

class SilentServices final : public WindowServices {
  public:
    void showMessage(std::string_view, std::string_view, MessageIcon) override { ++messages; }
    void setCursor(CursorShape) override {}
    int messages = 0;
};

class BenchLinkWindow final : public LinkWindow {
  public:
    bool SMSmodeChecked() const override { return sms_mode; }
    bool SkipCRLFcbChecked() const override { return skip_crlf; }
    void SetSkipCRLFcbChecked(bool checked) override { skip_crlf = checked; }
    std::string BRnumberText() const override { return "+491700350350"; }
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
    WindowServices& Services() override { return services; }

    bool sms_mode = false;
    bool skip_crlf = false;
    int page = 0;
    Memo memo_s{"MemoS"};
    Memo memo_sms_input{"MemoSMSinput"};
    std::string hersteller;
    std::string model_id_code;
    std::string date_time;
    std::string status_text;
    Color status_color = colors::kWhite;
    std::map<std::string, std::string> edits;
    SilentServices services;
};

}  // namespace hx350::bench
