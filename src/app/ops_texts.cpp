// Operations of the three text pages: the external event texts ("External SMS", slots 1..54), the short
// event texts ("Int/Ext SMS", slots 1..54) and the names of input and output states ("IOname", slots
// 55..78). Each slot button writes its edit into the module and into the settings record, or asks the
// module for the slot's text while the page's "Read" box is ticked.
//
// The IOname buttons are bound partly to the TXTSMSb and partly to the iTXTSMSb handlers, so both
// handlers serve any slot and the slot number alone says which page and table it belongs to.
#include <string>

#include "app/form.h"
#include "link/device_link.h"
#include "params/event_texts.h"
#include "params/fields.h"

namespace hx350 {

void TForm1::TXTSMSbClick(int slot) {
    if (slot < params::kFirstEventSlot || slot > params::kLastShortTextSlot) return;
    if (slot <= params::kLastEventSlot) {
        externalTextSlotClick(slot);
    } else {
        shortTextSlotClick(slot, nGetText);
    }
}

void TForm1::iTXTSMSbClick(int slot) {
    if (slot < params::kFirstEventSlot || slot > params::kLastShortTextSlot) return;
    shortTextSlotClick(slot, slot <= params::kLastEventSlot ? iGetText : nGetText);
}

void TForm1::externalTextSlotClick(int slot) {
    link_->Clear();
    if (GetText.Checked()) {
        link_->SendSMS(params::getExternalTextCommand(slot));
        link_->DisplayOnMemo(params::getExternalTextEcho(slot));
    } else {
        link_->SendSMS(params::setExternalTextCommand(slot, TXTSMS[slot].Text()));
        // The edit is read again after the send: a message box shown by the send lets the window run, and
        // what is stored and shown is what the edit holds now.
        record_.set(cfg::ExternalText, slot, params::storedExternalText(TXTSMS[slot].Text()));
        link_->DisplayOnMemo(params::setExternalTextEcho(slot, TXTSMS[slot].Text()));
    }
    // Set once more: a message box shown by the send runs ticks of Timer1 that may have used up the flag
    // set by Clear, and the answer to this command must still be shown and routed into the page.
    link_->state().reply_pending = true;
}

void TForm1::shortTextSlotClick(int slot, const CheckBox& read_box) {
    link_->Clear();
    if (read_box.Checked()) {
        link_->SendSMS(params::getShortTextCommand(slot));
        link_->DisplayOnMemo(params::getShortTextEcho(slot));
        return;
    }
    link_->SendSMS(params::setShortTextCommand(slot, iTXTSMS[slot].Text()));
    record_.set(cfg::InternalText, slot, params::storedShortText(iTXTSMS[slot].Text()));
    link_->DisplayOnMemo(params::setShortTextEcho(slot, iTXTSMS[slot].Text()));
}

// The captions only show the mode; each slot operation tests its page's box itself.
void TForm1::GetTextClick() {
    link_->Clear();
    const std::string caption(params::readWriteCaption(GetText.Checked()));
    for (int slot = params::kFirstEventSlot; slot <= params::kLastEventSlot; ++slot)
        TXTSMSb[slot].SetCaption(caption);
}

void TForm1::iGetTextClick() {
    link_->state().plain_send = false;
    const std::string caption(params::readWriteCaption(iGetText.Checked()));
    for (int slot = params::kFirstEventSlot; slot <= params::kLastEventSlot; ++slot)
        iTXTSMSb[slot].SetCaption(caption);
}

void TForm1::nGetTextClick() {
    link_->state().plain_send = false;
    const std::string caption(params::readWriteCaption(nGetText.Checked()));
    for (int slot = params::kFirstIoNameSlot; slot <= params::kLastShortTextSlot; ++slot)
        TXTSMSb[slot].SetCaption(caption);
}

}  // namespace hx350
