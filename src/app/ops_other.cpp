// Operations of the "Other" page: the option mask shown in StringStr1 (minus mark, plus mark and thirteen
// "E"/"D" options), which the boxes and marks edit in place and "SET" sends; the timeout filters; the
// automatic restart switch.
#include <string>

#include "app/form.h"
#include "link/device_link.h"
#include "params/other_settings.h"

namespace hx350 {

void TForm1::GetOtherClick() {
    link_->Clear();
    const std::string command(params::kGetOptions);
    link_->SendSMS(command);
    link_->DisplayOnMemo(command);
    link_->state().reply_pending = true;
}

// "SET" pads the shown mask to its 16 characters for good, keeps it for the settings file and sends it.
void TForm1::SetOtherClick() {
    link_->Clear();
    StringStr1.SetText(params::paddedOptionMask(StringStr1.Text()));
    working_.OtherString = StringStr1.Text().substr(0, params::kOptionMaskLength);
    const std::string command = params::setOptionsCommand(StringStr1.Text());
    link_->SendSMS(command);
    link_->DisplayOnMemo(command);
    link_->state().reply_pending = true;
}

void TForm1::oCheckBoxClick(int option) {
    StringStr1.SetText(params::optionMaskWith(StringStr1.Text(), option, oCheckBox[option].Checked()));
}

void TForm1::MinusMarkChange() {
    StringStr1.SetText(params::minusMarkWith(StringStr1.Text(), MinusMark.Text()));
}

void TForm1::PlusMarkChange() {
    StringStr1.SetText(params::plusMarkWith(StringStr1.Text(), PlusMark.Text()));
}

// "Set Timeout Filter" starts a fresh module command without Clear: only the plain-send flag is cleared.
void TForm1::Button19Click() {
    link_->state().plain_send = false;
    const params::TimeoutFilters filters{TTimeout1SB.Position(), TTimeout2SB.Position(),
                                         ATimeout1SB.Position(), ATimeout2SB.Position(),
                                         DFilterSB.Position()};
    const std::string command = params::timeoutFilterCommand(filters);
    link_->SendSMS(command);
    link_->DisplayOnMemo(command);
}

// The restart switch adds to whatever the line was doing: no Clear, the plain-send flag stays as it is.
void TForm1::RestertEnableClick() {
    const std::string command = params::restartEnableCommand(RestartEnable.Checked());
    link_->SendSMS(command);
    link_->DisplayOnMemo(command);
}

}  // namespace hx350
