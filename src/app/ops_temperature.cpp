// Operations of the "Temperature" page: the threshold buttons of the four inputs (inputs 3 and 4 are
// hidden but behave alike) and the clearing of one counter at a time. The counter buttons send on top of
// whatever the line was doing, without Clear, so they keep the plain-send flag as it is.
#include <string>

#include "app/form.h"
#include "link/device_link.h"
#include "params/temperature.h"

namespace hx350 {

void TForm1::TlevelCmdClick(int input) {
    link_->Clear();
    link_->state().plain_send = false;
    const params::ThresholdQuad levels{ScrollBarTMin[input][2].Position(), ScrollBarTMin[input][1].Position(),
                                       ScrollBarTMax[input][1].Position(),
                                       ScrollBarTMax[input][2].Position()};
    const std::string command = params::temperatureLevelCommand(input, levels);
    link_->SendSMS(command);
    link_->DisplayOnMemo(command);
    // The marks say "written"; the next page change paints the edits back.
    for (int level = 1; level <= 2; ++level) {
        tMaxlv[input][level].SetColor(colors::kLime);
        tMinlv[input][level].SetColor(colors::kAqua);
    }
    link_->state().reply_pending = true;
}

void TForm1::ClearCounter1Click() {
    const std::string command = params::clearCounterCommand(1);
    link_->SendSMS(command);
    link_->DisplayOnMemo(command);
}

void TForm1::ClearCounter2Click() {
    const std::string command = params::clearCounterCommand(2);
    link_->SendSMS(command);
    link_->DisplayOnMemo(command);
}

}  // namespace hx350
