// Operations of the "Abonents" page that read and write the alarm numbers kept in the module and the
// administration numbers of its SIM phone book.
//
// The order of log echo and send differs between the buttons on purpose: the read and clear requests show
// their text before it goes out (so the echo stays in the log when no answer comes), the writes show it
// after. While Timer1 waits for the phone's message listing in SMS mode, the buttons that would start a
// second exchange on the phone do nothing at all.
#include <string>

#include "app/form.h"
#include "link/device_link.h"
#include "params/subscribers.h"

namespace hx350 {

namespace {

/// The chosen item of a number radio group as the number 1..7, or 0 when no item is chosen.
int chosenNumber(const RadioGroup& group) {
    const int index = group.ItemIndex();
    return index >= 0 && index < 7 ? index + 1 : 0;
}

}  // namespace

void TForm1::SetNrClick() {
    link_->Clear();
    const int n = chosenNumber(RadioGroupNR);
    if (n == 0) return;
    const std::string number = params::cutNumber(NNumber[n].Text());
    // A number that does not start like a phone number is not sent, and nothing says so.
    if (!params::isAlarmNumberSendable(number)) return;
    link_->SendSMS(params::setAlarmNumberCommand(n, number));
    link_->DisplayOnMemo(params::setAlarmNumberEcho(n, number));
}

void TForm1::ClrNrClick() {
    link_->Clear();
    if (link_->state().listing_requested) return;
    const int n = chosenNumber(RadioGroupNR);
    if (n == 0) return;
    const std::string command = params::clearAlarmNumberCommand(n);
    link_->DisplayOnMemo(command);
    link_->SendSMS(command);
}

void TForm1::GetNrClick() {
    link_->Clear();
    if (link_->state().listing_requested) return;
    const int n = chosenNumber(RadioGroupNR);
    if (n == 0) return;
    const std::string command = params::getAlarmNumberCommand(n);
    link_->DisplayOnMemo(command);
    link_->SendSMS(command);
}

void TForm1::ToPhoneBookClick() {
    link_->Clear();
    // The CR/LF memory follows the box here as it does for the console operations.
    link_->SkipCRLFcbClick();
    if (link_->state().listing_requested) return;
    const int n = chosenNumber(RadioGroupPB);
    if (n == 0) return;
    const std::string entry = params::cutNumber(PBnr[n].Text());
    const std::string number = params::phoneBookEntryOrPlaceholder(entry);
    // An entry that is not a phone number is overwritten with the placeholder, on the page as well, so
    // the page shows what the SIM will hold.
    if (number != entry) PBnr[n].SetText(number);
    const std::string command = params::setPhoneBookCommand(n, number);
    link_->SendSMS(command);
    link_->DisplayOnMemo(command);
}

void TForm1::ReadPBClick() {
    link_->sendModuleCommand(params::readPhoneBookCommand(), params::readPhoneBookEcho());
}

}  // namespace hx350
