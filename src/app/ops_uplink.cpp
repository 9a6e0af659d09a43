// Operations of the "GPRS, FTP" page: the ten "WR" buttons of the GPRS, FTP and HTTP settings (a read
// request while "Read " is ticked, else a write of the cleaned-up edit), the maximum error level, and the
// "Read " box that turns the ten buttons into "RD" buttons. Answers to read requests come back into the
// edits through the reply routing while this page is shown.
#include <string>

#include "app/form.h"
#include "app/uplink_rows.h"
#include "link/device_link.h"
#include "params/fields.h"
#include "params/uplink.h"

namespace hx350 {

// One "WR"/"RD" button: Clear, then the read request or the write of the row's edit. A write puts the
// cleaned-up value back into the edit before the command goes out; passwords are never shown in the log
// memo.
void TForm1::uplinkButtonClick(params::UplinkField setting) {
    Edit& edit = this->*uplinkRow(setting).edit;
    DeviceLink& link = *link_;
    link.Clear();
    if (ReadGPRS1.Checked()) {
        const std::string command = params::uplinkReadCommand(setting);
        link.SendSMS(command);
        if (params::uplinkReadIsLogged(setting)) link.DisplayOnMemo(command);
        return;
    }
    const params::UplinkWrite write = params::uplinkWrite(setting, edit.Text());
    edit.SetText(write.value);
    link.SendSMS(write.command);
    if (write.log) link.DisplayOnMemo(*write.log);
}

// The maximum error level is always written, whatever "Read " shows, and without Clear.
void TForm1::MaxErrorClick() {
    const std::string command = params::maxErrorCommand(MaxErrorScrollBar.Position());
    link_->SendSMS(command);
    link_->DisplayOnMemo(command);
}

void TForm1::ReadGPRS1Click() {
    link_->state().plain_send = false;
    const std::string caption(params::readWriteCaption(ReadGPRS1.Checked()));
    for (const UplinkRow& row : kUplinkRows)
        (this->*row.button).SetCaption(caption);
}

}  // namespace hx350
