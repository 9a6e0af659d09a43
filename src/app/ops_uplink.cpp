// Operations of the "GPRS, FTP" page: the ten "WR" buttons of the GPRS, FTP and HTTP settings (a read
// request while "Read " is ticked, else a write of the cleaned-up edit), the maximum error level, and the
// "Read " box that turns the ten buttons into "RD" buttons. Answers to read requests come back into the
// edits through the reply routing while this page is shown.
#include <string>

#include "app/form.h"
#include "link/device_link.h"
#include "params/fields.h"
#include "params/uplink.h"

namespace hx350 {

namespace {

/// One "WR"/"RD" button: Clear, then the read request or the write of `edit`. A write puts the cleaned-up
/// value back into the edit before the command goes out; passwords are never shown in the log memo.
void uplinkButton(DeviceLink& link, bool reading, params::UplinkField field, Edit& edit) {
    link.Clear();
    if (reading) {
        const std::string command = params::uplinkReadCommand(field);
        link.SendSMS(command);
        if (params::uplinkReadIsLogged(field)) link.DisplayOnMemo(command);
        return;
    }
    const params::UplinkWrite write = params::uplinkWrite(field, edit.Text());
    edit.SetText(write.value);
    link.SendSMS(write.command);
    if (write.log) link.DisplayOnMemo(*write.log);
}

}  // namespace

void TForm1::APNbtnClick() {
    uplinkButton(*link_, ReadGPRS1.Checked(), params::UplinkField::kApn, APN);
}

void TForm1::UIDbtnClick() {
    uplinkButton(*link_, ReadGPRS1.Checked(), params::UplinkField::kUserId, UserID);
}

void TForm1::PWbtnClick() {
    uplinkButton(*link_, ReadGPRS1.Checked(), params::UplinkField::kPassword, Password);
}

void TForm1::IPbtnClick() {
    uplinkButton(*link_, ReadGPRS1.Checked(), params::UplinkField::kIpAddress, IPaddress);
}

void TForm1::FTPHostNamebtnClick() {
    uplinkButton(*link_, ReadGPRS1.Checked(), params::UplinkField::kFtpHostName, FTPHostName);
}

void TForm1::UNbtnClick() {
    uplinkButton(*link_, ReadGPRS1.Checked(), params::UplinkField::kFtpUserName, UserNameFTP);
}

void TForm1::FPWbtnClick() {
    uplinkButton(*link_, ReadGPRS1.Checked(), params::UplinkField::kFtpPassword, PasswordFTP);
}

void TForm1::DirNameBtnClick() {
    uplinkButton(*link_, ReadGPRS1.Checked(), params::UplinkField::kFtpDirName, DirName);
}

void TForm1::HTTPhostBtnClick() {
    uplinkButton(*link_, ReadGPRS1.Checked(), params::UplinkField::kHttpHost1, HTTPhostName);
}

void TForm1::HTTPhostBtn2Click() {
    uplinkButton(*link_, ReadGPRS1.Checked(), params::UplinkField::kHttpHost2, HTTPhostName2);
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
    for (Button* button : {&APNbtn, &UIDbtn, &PWbtn, &IPbtn, &FTPHostNamebtn, &UNbtn, &FPWbtn, &DirNameBtn,
                           &HTTPhostBtn, &HTTPhostBtn2}) {
        button->SetCaption(caption);
    }
}

}  // namespace hx350
