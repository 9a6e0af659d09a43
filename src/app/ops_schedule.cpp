// Operations of the "SMS Shedule" page that talk to the module: reading the schedule, "SET" (which builds
// the nine-character code from the page, keeps it and sends it), the recipient boxes and "Write". The
// immediate edits of the code by the page's other controls live with the working values.
#include <string>

#include "app/form.h"
#include "link/device_link.h"
#include "params/schedule.h"

namespace hx350 {

void TForm1::GetSheduleClick() {
    link_->Clear();
    const std::string command(params::kGetSchedule);
    link_->SendSMS(command);
    link_->DisplayOnMemo(command);
    link_->state().reply_pending = true;
}

void TForm1::SetSheduleClick() {
    link_->Clear();
    params::ScheduleControls controls;
    controls.type_index = SMSShed.ItemIndex();
    controls.period_index = RadioGroup1.ItemIndex();
    for (int k = 1; k <= params::kSendHours; ++k) {
        controls.enabled[k - 1] = CheckBoxS[k].Checked();
        controls.hours[k - 1] = TrackBar[k].Position();
    }
    working_.ScheduleCode = params::scheduleCodeForSet(working_.ScheduleCode, controls);
    const std::string command = params::setScheduleCommand(working_.ScheduleCode);
    link_->SendSMS(command);
    link_->DisplayOnMemo(command);
    link_->state().reply_pending = true;
}

// Recipient boxes: CheckBox4 is number 1, CheckBox3 number 2, CheckBox2 number 3.
void TForm1::CheckBox2Click() {
    recipient_mask_ = params::recipientMaskWith(recipient_mask_, 3, CheckBox2.Checked());
}

void TForm1::CheckBox3Click() {
    recipient_mask_ = params::recipientMaskWith(recipient_mask_, 2, CheckBox3.Checked());
}

void TForm1::CheckBox4Click() {
    recipient_mask_ = params::recipientMaskWith(recipient_mask_, 1, CheckBox4.Checked());
}

// "Write" adds to whatever the line was doing: no Clear, the plain-send flag stays as it is.
void TForm1::Button28Click() {
    const std::string command = params::recipientsCommand(recipient_mask_);
    link_->SendSMS(command);
    link_->DisplayOnMemo(command);
}

}  // namespace hx350
