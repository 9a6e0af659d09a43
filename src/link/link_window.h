// What the device link needs of the main window: a narrow seam over a few controls and the window services.
//
// The headless form implements it with its real controls; tests implement it with a small fake. All calls
// come from the user-interface thread.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/memo.h"
#include "base/window_services.h"
#include "link/reply_routing.h"

namespace hx350 {

class LinkWindow {
  public:
    virtual ~LinkWindow() = default;

    /// Whether the check box "SMS mode" (SMSmode) is checked: the port leads to a GSM phone.
    virtual bool SMSmodeChecked() const = 0;

    /// The check box "Skip CR/LF" (SkipCRLFcb). Setting it from code runs its click handler when the value
    /// differs, as any check box does.
    virtual bool SkipCRLFcbChecked() const = 0;
    virtual void SetSkipCRLFcbChecked(bool checked) = 0;

    /// The module's phone number, the text of the edit BRnumber.
    virtual std::string BRnumberText() const = 0;

    /// The log memo (the last command sent) and the memo of received answers and messages.
    virtual Memo& MemoS() = 0;
    virtual Memo& MemoSMSinput() = 0;

    /// The read-only edits of the Main page that show the phone's answers.
    virtual void SetHersteller(std::string_view text) = 0;
    virtual void SetModelIDCode(std::string_view text) = 0;
    virtual void SetDateTime(std::string_view text) = 0;

    /// The state display Status: its background colour and its text.
    virtual void SetStatusColor(Color color) = 0;
    virtual void SetStatusText(std::string_view text) = 0;

    /// The index of the page shown in PageControl1 (0 is "Main").
    virtual int ActivePageIndex() const = 0;

    /// Sets the text of each named edit (a routed module answer). Names the window does not know are
    /// ignored.
    virtual void ApplyRouting(const std::vector<EditAssignment>& edits) = 0;

    /// A line about the SMS exchange for the window's status bar (not the Status box): progress, a dropped
    /// command, a refusal, a message from another number. The link owns the words and their timing; the
    /// window shows the latest. Does nothing by default.
    virtual void ShowLinkMessage(std::string_view text) { (void)text; }

    /// Cursor and modal message boxes. A box runs a nested event loop: timers and polls go on while it is
    /// open.
    virtual WindowServices& Services() = 0;
};

}  // namespace hx350
