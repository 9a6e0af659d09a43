// Operations of the "Analog" page: the threshold buttons of the four inputs and the module-wide analog
// settings (reference and coefficients, multipliers, 4-20 mA mode, the external SMS mode, the shunt choice,
// the delay before measurement). Only the threshold buttons start afresh with Clear; every other button
// sends its one command on top of whatever the line was doing, so it keeps the plain-send flag as it is.
#include <string>

#include "app/form.h"
#include "link/device_link.h"
#include "params/analog.h"

namespace hx350 {

void TForm1::LevelCmdClick(int input) {
    link_->Clear();
    link_->state().plain_send = false;
    const params::ThresholdQuad levels{ScrollBarMin[input][2].Position(), ScrollBarMin[input][1].Position(),
                                       ScrollBarMax[input][1].Position(), ScrollBarMax[input][2].Position()};
    link_->sendAndShow(params::analogLevelCommand(input, levels));
    // The marks say "written"; the next page change paints the edits back.
    for (int level = 1; level <= 2; ++level) {
        Maxlv[input][level].SetColor(colors::kLime);
        Minlv[input][level].SetColor(colors::kAqua);
    }
    link_->state().reply_pending = true;
}

void TForm1::AddKoeffClick() {
    const params::ReferenceVoltage reference = ReferenceLevelRadioBox1.ItemIndex() == 1
                                                   ? params::ReferenceVoltage::k5V
                                                   : params::ReferenceVoltage::k2V56;
    link_->sendAndShow(params::referenceLevelCommand(reference, AnalogKoeff.Text()));
}

void TForm1::bANmulClick(int input) {
    link_->sendAndShow(params::analogMultiplierCommand(input, ANmul[input].Text()));
}

void TForm1::bAN_420Click(int input) {
    link_->sendAndShow(params::analog420Command(input, AN_420[input].Checked()));
}

void TForm1::Button29Click() {
    link_->sendAndShow(params::extendedMultiplierCommand(1, ANmulSMS[1].Text()));
}

void TForm1::Button30Click() {
    link_->sendAndShow(params::extendedMultiplierCommand(2, ANmulSMS[2].Text()));
}

void TForm1::Button31Click() {
    link_->sendAndShow(params::extendedMultiplierCommand(3, ANmulSMS[3].Text()));
}

void TForm1::Button32Click() {
    link_->sendAndShow(params::extendedModeCommand(true));
}

void TForm1::Button33Click() {
    link_->sendAndShow(params::extendedModeCommand(false));
}

void TForm1::Button34Click() {
    if (shunt_choice_ < 0 || shunt_choice_ > 7) shunt_choice_ = 0;
    link_->sendAndShow(params::shuntCommand(shunt_choice_));
}

void TForm1::Button35Click() {
    link_->sendAndShow(params::measureDelayCommand(ADelay.Text()));
}

void TForm1::GETLVClick() {
    link_->sendAndShow(std::string(params::kReadAnalogParameters));
}

// The shunt boxes: CheckBox7 is AN1, CheckBox6 AN2, CheckBox5 AN3. A ticked box means the 200 ohm shunt.
void TForm1::CheckBox5Click() {
    shunt_choice_ = params::shuntChoiceWith(shunt_choice_, 3, CheckBox5.Checked());
    ANmode200[3].SetCaption(std::string(params::shuntLabel(CheckBox5.Checked())));
}

void TForm1::CheckBox6Click() {
    shunt_choice_ = params::shuntChoiceWith(shunt_choice_, 2, CheckBox6.Checked());
    ANmode200[2].SetCaption(std::string(params::shuntLabel(CheckBox6.Checked())));
}

void TForm1::CheckBox7Click() {
    shunt_choice_ = params::shuntChoiceWith(shunt_choice_, 1, CheckBox7.Checked());
    ANmode200[1].SetCaption(std::string(params::shuntLabel(CheckBox7.Checked())));
}

}  // namespace hx350
