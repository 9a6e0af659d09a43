// Handlers that change only working values of the window, never the line: the number masks of the
// Abonents grid with their parked digits, and the immediate edits of the SMS schedule code. Start-up runs
// them whenever it sets a box or a selection to a value that differs from the one shown.
#include <string>

#include "app/form.h"
#include "params/event_masks.h"
#include "params/schedule.h"

namespace hx350 {

namespace {

/// A mask that is shorter than the position about to be written is first filled with "-": a missing
/// position has always read as a disabled source, and writing must not shift the others.
std::string paddedTo(std::string text, int position) {
    if (position > 0 && text.size() < static_cast<std::size_t>(position)) {
        text.resize(static_cast<std::size_t>(position), params::kDisabledSource);
    }
    return text;
}

std::size_t at(int position) {
    return static_cast<std::size_t>(position - 1);
}

}  // namespace

// ---- Number masks

void TForm1::maskSubscriberClick(Edit& mask, std::string& parked, bool disabled, int source, int subscriber,
                                 bool checked) {
    // While the source is disabled the mask shows "-" and the digit to edit waits in the parked digits.
    if (disabled) {
        parked = params::withSubscriberBox(parked, source, subscriber, checked);
    } else {
        mask.SetText(params::withSubscriberBox(mask.Text(), source, subscriber, checked));
    }
}

void TForm1::maskDisableClick(Edit& mask, std::string& parked, int source, bool disabled) {
    const std::string text = paddedTo(mask.Text(), source);
    const char parked_char = parked[at(source)];
    const params::MaskAndParked result = disabled ? params::disableSource(text, parked_char, source)
                                                  : params::enableSource(text, parked_char, source);
    parked[at(source)] = result.parked;
    mask.SetText(result.mask);
}

void TForm1::CheckBoxTClick(int subscriber, int source) {
    maskSubscriberClick(TNrFilter, parked_.temperature, CheckBoxTdis[source].Checked(), source, subscriber,
                        CheckBoxT[subscriber][source].Checked());
}

void TForm1::CheckBoxAClick(int subscriber, int source) {
    maskSubscriberClick(ANrFilter, parked_.analog, CheckBoxAdis[source].Checked(), source, subscriber,
                        CheckBoxA[subscriber][source].Checked());
}

void TForm1::CheckBoxDClick(int subscriber, int input) {
    maskSubscriberClick(DNrFilter, parked_.digital, CheckBoxDdis[input].Checked(), input, subscriber,
                        CheckBoxD[subscriber][input].Checked());
}

void TForm1::CheckBoxTdisClick(int source) {
    maskDisableClick(TNrFilter, parked_.temperature, source, CheckBoxTdis[source].Checked());
}

void TForm1::CheckBoxAdisClick(int source) {
    maskDisableClick(ANrFilter, parked_.analog, source, CheckBoxAdis[source].Checked());
}

void TForm1::CheckBoxDdisClick(int input) {
    maskDisableClick(DNrFilter, parked_.digital, input, CheckBoxDdis[input].Checked());
}

// ---- Schedule code: each control of the SMS Shedule page edits its characters at once; "SET" sends.

void TForm1::TrackBarChange(int hour_slot) {
    working_.ScheduleCode = params::applyTrackBarChange(
        working_.ScheduleCode, hour_slot, TrackBar[hour_slot].Position(), CheckBoxS[hour_slot].Checked());
}

void TForm1::CheckBoxSClick(int hour_slot) {
    working_.ScheduleCode =
        params::applyCheckBoxSClick(working_.ScheduleCode, hour_slot, CheckBoxS[hour_slot].Checked());
}

void TForm1::RadioGroup1Click() {
    working_.ScheduleCode = params::applyRadioGroup1Click(working_.ScheduleCode, RadioGroup1.ItemIndex());
}

void TForm1::SMSShedClick() {
    working_.ScheduleCode = params::applySMSShedClick(working_.ScheduleCode, SMSShed.ItemIndex());
}

}  // namespace hx350
