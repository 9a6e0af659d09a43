// Operations of the "RunTime" page: eight "Write" buttons, one per counter mode, and the two formats of
// the counter SMS. Each sends one fixed command on top of whatever the line was doing (no Clear, the
// plain-send flag stays as it is) and reads nothing back: the module alone keeps the mode.
#include <string>

#include "app/form.h"
#include "link/device_link.h"
#include "params/runtime_counters.h"

namespace hx350 {

void TForm1::Button12Click() {
    link_->sendAndShow(params::runTimeModeCommand(0));
}
void TForm1::Button13Click() {
    link_->sendAndShow(params::runTimeModeCommand(1));
}
void TForm1::Button15Click() {
    link_->sendAndShow(params::runTimeModeCommand(2));
}
void TForm1::Button16Click() {
    link_->sendAndShow(params::runTimeModeCommand(3));
}
void TForm1::Button17Click() {
    link_->sendAndShow(params::runTimeModeCommand(4));
}
void TForm1::Button18Click() {
    link_->sendAndShow(params::runTimeModeCommand(5));
}
void TForm1::Button20Click() {
    link_->sendAndShow(params::runTimeModeCommand(6));
}
void TForm1::Button21Click() {
    link_->sendAndShow(params::runTimeModeCommand(7));
}
void TForm1::Button26Click() {
    link_->sendAndShow(params::counterSmsFormatCommand(params::CounterSmsFormat::kC));
}
void TForm1::Button27Click() {
    link_->sendAndShow(params::counterSmsFormatCommand(params::CounterSmsFormat::kF));
}

}  // namespace hx350
