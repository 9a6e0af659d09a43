// "Save Setting": every page into the settings record, through the working copies, then the file.
#include <string>

#include "app/form.h"

namespace hx350 {

void TForm1::SaveSetting1Click() {
    storeAnalogSettings();
    SaveCFGFile(settings_path_);
}

SettingsFileStatus TForm1::SaveCFGFile(const std::string& name) {
    snapshotPages();
    if (settings_ops_ != nullptr) return hx350::SaveCFGFile(name, record_, services_, *settings_ops_);
    return hx350::SaveCFGFile(name, record_, services_);
}

void TForm1::storeAnalogSettings() {
    for (int n = 1; n <= 4; ++n) {
        record_.set(cfg::AnalogLevel, levelNumber(n, Threshold::Min2), ScrollBarMin[n][2].Position());
        record_.set(cfg::AnalogLevel, levelNumber(n, Threshold::Min1), ScrollBarMin[n][1].Position());
        record_.set(cfg::AnalogLevel, levelNumber(n, Threshold::Max1), ScrollBarMax[n][1].Position());
        record_.set(cfg::AnalogLevel, levelNumber(n, Threshold::Max2), ScrollBarMax[n][2].Position());
    }
    record_.set(cfg::AnalogCoeff, AnalogKoeff.Text());
    for (int n = 1; n <= 4; ++n)
        record_.set(cfg::AnalogMultiplier, n, ANmul[n].Text());
    for (int n = 1; n <= 3; ++n)
        record_.set(cfg::Analog420, n, AN_420[n].Checked());
    record_.set(cfg::ReferenceLevel, ReferenceLevelRadioBox1.ItemIndex());
}

// Field by field in the record's own order of taking; texts are cut to their fields by the record. The
// reserved ranges and the two carried bytes are left exactly as they were read.
void TForm1::snapshotPages() {
    SettingsRecord& r = record_;
    r.set(cfg::BaudRateIndex, RadioGroupRate.ItemIndex());
    r.set(cfg::ComPortIndex, RadioGroupPort.ItemIndex());
    r.set(cfg::WaitSmsTimeout, TrackBar5.Position());
    r.set(cfg::PollFactor, working_.PollFactor);
    r.set(cfg::ScheduleCode, working_.ScheduleCode);
    r.set(cfg::ScheduleCodeFlag, std::uint8_t{0});
    r.set(cfg::ModulePhone, BRnumber.Text());
    r.set(cfg::ModulePhoneCopy, BRnumber.Text());
    for (int n = 1; n <= 7; ++n)
        r.set(cfg::SubscriberNumber, n, NNumber[n].Text());
    for (int n = 1; n <= 7; ++n)
        r.set(cfg::PhoneBookNumber, n, PBnr[n].Text());
    r.set(cfg::DigitalFilter, DFilterSB.Position());
    r.set(cfg::TempTimeout, TTimeout1SB.Position());
    r.set(cfg::AnalogTimeout, ATimeout1SB.Position());
    r.set(cfg::SampleRate, SRateSB.Position());
    for (int n = 1; n <= 5; ++n)
        r.set(cfg::PulseDuration, n, PulseDsb[n].Position());
    r.set(cfg::DeleteIncomingSms, DeleteSMS.Checked());
    r.set(cfg::SmsModeOn, SMSmode.Checked());
    for (int n = 1; n <= 4; ++n) {
        r.set(cfg::TempLevel, levelNumber(n, Threshold::Min2), ScrollBarTMin[n][2].Position());
        r.set(cfg::TempLevel, levelNumber(n, Threshold::Min1), ScrollBarTMin[n][1].Position());
        r.set(cfg::TempLevel, levelNumber(n, Threshold::Max1), ScrollBarTMax[n][1].Position());
        r.set(cfg::TempLevel, levelNumber(n, Threshold::Max2), ScrollBarTMax[n][2].Position());
    }
    for (int n = 1; n <= 4; ++n) {
        r.set(cfg::AnalogLevel, levelNumber(n, Threshold::Min2), ScrollBarMin[n][2].Position());
        r.set(cfg::AnalogLevel, levelNumber(n, Threshold::Min1), ScrollBarMin[n][1].Position());
        r.set(cfg::AnalogLevel, levelNumber(n, Threshold::Max1), ScrollBarMax[n][1].Position());
        r.set(cfg::AnalogLevel, levelNumber(n, Threshold::Max2), ScrollBarMax[n][2].Position());
    }
    for (int slot = 1; slot <= 54; ++slot)
        r.set(cfg::ExternalText, slot, TXTSMS[slot].Text());
    for (int slot = 1; slot <= 78; ++slot)
        r.set(cfg::InternalText, slot, iTXTSMS[slot].Text());
    r.set(cfg::TempNumberFilter, TNrFilter.Text());
    r.set(cfg::AnalogNumberFilter, ANrFilter.Text());
    r.set(cfg::DigitalNumberFilter, DNrFilter.Text());
    r.set(cfg::GprsApn, APN.Text());
    r.set(cfg::GprsUserId, UserID.Text());
    r.set(cfg::GprsPassword, Password.Text());
    r.set(cfg::GprsIpAddress, IPaddress.Text());
    r.set(cfg::FtpHostName, FTPHostName.Text());
    r.set(cfg::FtpUserName, UserNameFTP.Text());
    r.set(cfg::FtpPassword, PasswordFTP.Text());
    r.set(cfg::FtpDirName, DirName.Text());
    r.set(cfg::HttpHost1, HTTPhostName.Text());
    r.set(cfg::HttpHost2, HTTPhostName2.Text());
    r.set(cfg::TempFormat, working_.TempFormat);
    r.set(cfg::DataLoggerTime, DLoggerTmSB.Position());
    r.set(cfg::DataLoggerRate, sRateDL.Position());
    r.set(cfg::OtherString, working_.OtherString);
    r.set(cfg::CarriedInt1, working_.CarriedInt1);
    r.set(cfg::CarriedInt2, working_.CarriedInt2);
    r.set(cfg::CarriedInt3, working_.CarriedInt3);
    r.set(cfg::SkipCrLf, SkipCRLFcb.Checked());
    r.set(cfg::CarriedWord1, working_.CarriedWord1);
    r.set(cfg::CarriedWord2, working_.CarriedWord2);
    storeAnalogSettings();
}

}  // namespace hx350
