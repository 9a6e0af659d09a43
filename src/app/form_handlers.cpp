// Wiring of the controls to the form's handlers, the handlers that only keep a page's displays in step (a
// slider and the read-only edit that shows its position), and the operations of the window frame, the Main
// page and the Serial Port page. The module command pages have their operations in the ops_*.cpp files.
#include <string>

#include "app/form.h"
#include "app/uplink_rows.h"
#include "base/text.h"
#include "link/device_link.h"
#include "params/analog.h"
#include "params/status_outputs.h"
#include "params/temperature.h"

namespace hx350 {

template <class C>
void TForm1::wire(C& control, std::string handler, std::function<void()> body) {
    registry_.setHandler(control.name(), handler);
    auto run = [this, handler = std::move(handler), body = std::move(body)] {
        if (trace_) trace_(handler);
        body();
    };
    if constexpr (requires { control.setOnClick(run); }) {
        control.setOnClick(std::move(run));
    } else {
        control.setOnChange(std::move(run));
    }
}

void TForm1::wireHandlers() {
    // Frame and menu.
    wire(PageControl1, "PageControl1Change", [this] { PageControl1Change(); });
    wire(ExitBtn, "ExitBtnClick", [this] { ExitBtnClick(); });
    wire(Exit1, "ExitBtnClick", [this] { ExitBtnClick(); });
    wire(TestBtn, "TestBtnClick", [this] { TestBtnClick(); });
    wire(ClearBtn, "ClearBtnClick", [this] { ClearBtnClick(); });
    wire(ConnectBtn, "ConnectBtnClick", [this] { ConnectBtnClick(); });
    wire(SaveSetting1, "SaveSetting1Click", [this] { SaveSetting1Click(); });

    // Main page.
    wire(SMSmode, "SMSmodeClick", [this] { SMSmodeClick(); });
    wire(ReadState, "ReadStateClick", [this] { ReadStateClick(); });
    wire(ReadAnalog, "ReadAnalogClick", [this] { ReadAnalogClick(); });
    wire(ReadTemperature, "ReadTemperatureClick", [this] { ReadTemperatureClick(); });
    wire(ReadAlevelBtn, "ReadAlevelBtnClick", [this] { ReadAlevelBtnClick(); });
    wire(TemperatureLevelBtn, "TemperatureLevelBtnClick", [this] { TemperatureLevelBtnClick(); });
    wire(Version, "VersionClick", [this] { VersionClick(); });
    wire(GetDT, "GetDTClick", [this] { GetDTClick(); });
    wire(SetDT, "SetDTClick", [this] { SetDTClick(); });
    wire(RestartModule, "RestartModuleClick", [this] { RestartModuleClick(); });
    wire(Squality, "SqualityClick", [this] { SqualityClick(); });
    wire(SendSMScommand, "SendSMScommandClick", [this] { SendSMScommandClick(); });
    wire(Button24, "Button2Click", [this] { Button2Click(); });
    wire(Button25, "ClearCounter12Click", [this] { ClearCounter12Click(); });

    // Abonents: numbers, phone book and the number mask grid (the hidden boxes of digital input 7 and of
    // the two counters' subscribers stay unwired).
    wire(GetNr, "GetNrClick", [this] { GetNrClick(); });
    wire(SetNr, "SetNrClick", [this] { SetNrClick(); });
    wire(ClrNr, "ClrNrClick", [this] { ClrNrClick(); });
    wire(ToPhoneBook, "ToPhoneBookClick", [this] { ToPhoneBookClick(); });
    wire(ReadPB, "ReadPBClick", [this] { ReadPBClick(); });
    wire(SetNfilter1, "SetNfilter1Click", [this] { SetNfilter1Click(); });
    for (int k = 1; k <= 4; ++k) {
        for (int j = 1; j <= 6; ++j) {
            wire(CheckBoxD[k][j], CheckBoxD[k][j].name() + "Click", [this, k, j] { CheckBoxDClick(k, j); });
        }
        for (int j = 1; j <= 2; ++j) {
            wire(CheckBoxT[k][j], CheckBoxT[k][j].name() + "Click", [this, k, j] { CheckBoxTClick(k, j); });
        }
        for (int j = 1; j <= 4; ++j) {
            wire(CheckBoxA[k][j], CheckBoxA[k][j].name() + "Click", [this, k, j] { CheckBoxAClick(k, j); });
        }
    }
    for (int j = 1; j <= 6; ++j) {
        wire(CheckBoxDdis[j], CheckBoxDdis[j].name() + "Click", [this, j] { CheckBoxDdisClick(j); });
    }
    for (int j = 1; j <= 4; ++j) {
        wire(CheckBoxTdis[j], CheckBoxTdis[j].name() + "Click", [this, j] { CheckBoxTdisClick(j); });
        wire(CheckBoxAdis[j], CheckBoxAdis[j].name() + "Click", [this, j] { CheckBoxAdisClick(j); });
    }

    // Text slots. The IOname buttons are all named TXTSMSb55..78, but the window design binds the first
    // three of them to handlers of the iTXTSMSb family; both families handle any slot 1..78.
    for (int slot = 1; slot <= 78; ++slot) {
        if (!TXTSMSb[slot].Visible()) continue;
        if (slot >= 55 && slot <= 57) {
            wire(TXTSMSb[slot], "iTXTSMSb" + decimal(slot) + "Click", [this, slot] { iTXTSMSbClick(slot); });
        } else {
            wire(TXTSMSb[slot], "TXTSMSb" + decimal(slot) + "Click", [this, slot] { TXTSMSbClick(slot); });
        }
    }
    for (int slot = 1; slot <= 54; ++slot) {
        if (!iTXTSMSb[slot].Visible()) continue;
        wire(iTXTSMSb[slot], "iTXTSMSb" + decimal(slot) + "Click", [this, slot] { iTXTSMSbClick(slot); });
    }
    wire(GetText, "GetTextClick", [this] { GetTextClick(); });
    wire(iGetText, "iGetTextClick", [this] { iGetTextClick(); });
    wire(nGetText, "nGetTextClick", [this] { nGetTextClick(); });

    // Analog page.
    for (int n = 1; n <= 4; ++n) {
        for (int k = 1; k <= 2; ++k) {
            wire(ScrollBarMax[n][k], ScrollBarMax[n][k].name() + "Change",
                 [this, n, k] { ScrollBarMaxChange(n, k); });
            wire(ScrollBarMin[n][k], ScrollBarMin[n][k].name() + "Change",
                 [this, n, k] { ScrollBarMinChange(n, k); });
        }
        wire(LevelCmd[n], "Level" + decimal(n) + "CmdClick", [this, n] { LevelCmdClick(n); });
        wire(bANmul[n], "bAN" + decimal(n) + "mulClick", [this, n] { bANmulClick(n); });
    }
    for (int n = 1; n <= 3; ++n) {
        // The window design spells the first of these handlers with a lower-case "click".
        wire(bAN_420[n], "bAN" + decimal(n) + (n == 1 ? "_420click" : "_420Click"),
             [this, n] { bAN_420Click(n); });
    }
    wire(BtRefLevel, "AddKoeffClick", [this] { AddKoeffClick(); });
    wire(GETLV, "GETLVClick", [this] { GETLVClick(); });
    wire(bReadAnalog, "ReadAnalogClick", [this] { ReadAnalogClick(); });
    wire(Button29, "Button29Click", [this] { Button29Click(); });
    wire(Button30, "Button30Click", [this] { Button30Click(); });
    wire(Button31, "Button31Click", [this] { Button31Click(); });
    wire(Button32, "Button32Click", [this] { Button32Click(); });
    wire(Button33, "Button33Click", [this] { Button33Click(); });
    wire(Button34, "Button34Click", [this] { Button34Click(); });
    wire(Button35, "Button35Click", [this] { Button35Click(); });
    wire(CheckBox5, "CheckBox5Click", [this] { CheckBox5Click(); });
    wire(CheckBox6, "CheckBox6Click", [this] { CheckBox6Click(); });
    wire(CheckBox7, "CheckBox7Click", [this] { CheckBox7Click(); });
    wire(ScrollBarADelay, "ScrollBarADelayChange", [this] { ScrollBarADelayChange(); });

    // Temperature page: inputs 3 and 4 are hidden but keep the behaviour of inputs 1 and 2.
    Button* const ok_buttons[4] = {&Button3, &Button4, &Button5, &Button6};
    for (int n = 1; n <= 4; ++n) {
        for (int k = 1; k <= 2; ++k) {
            wire(ScrollBarTMax[n][k], ScrollBarTMax[n][k].name() + "Change",
                 [this, n, k] { ScrollBarTMaxChange(n, k); });
            wire(ScrollBarTMin[n][k], ScrollBarTMin[n][k].name() + "Change",
                 [this, n, k] { ScrollBarTMinChange(n, k); });
        }
        wire(*ok_buttons[n - 1], "Tlevel" + decimal(n) + "CmdClick", [this, n] { TlevelCmdClick(n); });
    }
    wire(bReadTemperature, "ReadTemperatureClick", [this] { ReadTemperatureClick(); });
    wire(Button11, "TemperatureLevelBtnClick", [this] { TemperatureLevelBtnClick(); });
    wire(Button2, "Button2Click", [this] { Button2Click(); });
    wire(Button1, "ClearCounter12Click", [this] { ClearCounter12Click(); });
    wire(Button22, "ClearCounter1Click", [this] { ClearCounter1Click(); });
    wire(Button23, "ClearCounter2Click", [this] { ClearCounter2Click(); });

    // SMS Shedule page.
    wire(SMSShed, "SMSShedClick", [this] { SMSShedClick(); });
    wire(RadioGroup1, "RadioGroup1Click", [this] { RadioGroup1Click(); });
    for (int k = 1; k <= 4; ++k) {
        wire(TrackBar[k], "TrackBar" + decimal(k) + "Change", [this, k] { TrackBarChange(k); });
        wire(CheckBoxS[k], "CheckBoxS" + decimal(k) + "Click", [this, k] { CheckBoxSClick(k); });
    }
    wire(GetShedule, "GetSheduleClick", [this] { GetSheduleClick(); });
    wire(SetShedule, "SetSheduleClick", [this] { SetSheduleClick(); });
    wire(CheckBox2, "CheckBox2Click", [this] { CheckBox2Click(); });
    wire(CheckBox3, "CheckBox3Click", [this] { CheckBox3Click(); });
    wire(CheckBox4, "CheckBox4Click", [this] { CheckBox4Click(); });
    wire(Button28, "Button28Click", [this] { Button28Click(); });

    // IO control page (outputs 4 and 5 and input 7 are hidden and unwired).
    for (int n = 1; n <= 3; ++n) {
        wire(PulseDsb[n], "PulseDsb" + decimal(n) + "Change", [this, n] { PulseDsbChange(n); });
        wire(SetOut[n], "SetOut" + decimal(n) + "Click", [this, n] { SetOutClick(n); });
        wire(ResetOut[n], "ResetOut" + decimal(n) + "Click", [this, n] { ResetOutClick(n); });
        wire(GetOut[n], "GetOut" + decimal(n) + "Click", [this, n] { GetOutClick(n); });
    }
    for (int n = 1; n <= 6; ++n)
        wire(GetInp[n], "GetInp" + decimal(n) + "Click", [this, n] { GetInpClick(n); });
    wire(SetPulse, "SetPulseClick", [this] { SetPulseClick(); });
    wire(SRateSB, "SRateSBChange", [this] { SRateSBChange(); });
    wire(DLoggerTmSB, "DLoggerTmSBChange", [this] { DLoggerTmSBChange(); });
    wire(bSRate, "bSRateClick", [this] { bSRateClick(); });
    wire(bDLperiod, "bDLperiodClick", [this] { bDLperiodClick(); });
    wire(GetOutState, "GetOutStateClick", [this] { GetOutStateClick(); });
    wire(GetAllInput, "GetAllInputClick", [this] { GetAllInputClick(); });

    // Other page.
    for (int n = 3; n <= 15; ++n)
        wire(oCheckBox[n], "oCheckBox" + decimal(n) + "Click", [this, n] { oCheckBoxClick(n); });
    wire(MinusMark, "MinusMarkChange", [this] { MinusMarkChange(); });
    wire(PlusMark, "PlusMarkChange", [this] { PlusMarkChange(); });
    wire(GetOther, "GetOtherClick", [this] { GetOtherClick(); });
    wire(SetOther, "SetOtherClick", [this] { SetOtherClick(); });
    wire(TTimeout1SB, "TTimeout1SBChange", [this] { TTimeout1SBChange(); });
    wire(TTimeout2SB, "TTimeout2SBChange", [this] { TTimeout2SBChange(); });
    wire(ATimeout1SB, "ATimeout1SBChange", [this] { ATimeout1SBChange(); });
    wire(ATimeout2SB, "ATimeout2SBChange", [this] { ATimeout2SBChange(); });
    wire(DFilterSB, "DFilterSBChange", [this] { DFilterSBChange(); });
    wire(Button19, "Button19Click", [this] { Button19Click(); });
    wire(Button14, "RestertEnableClick", [this] { RestertEnableClick(); });

    // GPRS, FTP page.
    for (const UplinkRow& row : kUplinkRows) {
        wire(this->*row.button, std::string(row.handler), [this, &row] { uplinkButtonClick(row.setting); });
    }
    wire(MaxErrorLevel, "MaxErrorClick", [this] { MaxErrorClick(); });
    wire(MaxErrorScrollBar, "MaxErrorSB", [this] { MaxErrorSB(); });
    wire(sRateDL, "sRateDLChange", [this] { sRateDLChange(); });
    wire(sDLperiodDL, "sDLperiodDLChange", [this] { sDLperiodDLChange(); });
    wire(Button9, "bSRateClick", [this] { bSRateClick(); });
    wire(Button10, "bDLperiodClick", [this] { bDLperiodClick(); });
    wire(ReadGPRS1, "ReadGPRS1Click", [this] { ReadGPRS1Click(); });

    // Serial Port page: both radio groups reopen the port.
    wire(RadioGroupPort, "InitPort", [this] { InitPort(); });
    wire(RadioGroupRate, "InitPort", [this] { InitPort(); });
    wire(SkipCRLFcb, "SkipCRLFcbClick", [this] { SkipCRLFcbClick(); });
    wire(TrackBar5, "TrackBar5Change", [this] { TrackBar5Change(); });

    // RunTime page.
    wire(Button12, "Button12Click", [this] { Button12Click(); });
    wire(Button13, "Button13Click", [this] { Button13Click(); });
    wire(Button15, "Button15Click", [this] { Button15Click(); });
    wire(Button16, "Button16Click", [this] { Button16Click(); });
    wire(Button17, "Button17Click", [this] { Button17Click(); });
    wire(Button18, "Button18Click", [this] { Button18Click(); });
    wire(Button20, "Button20Click", [this] { Button20Click(); });
    wire(Button21, "Button21Click", [this] { Button21Click(); });
    wire(Button26, "Button26Click", [this] { Button26Click(); });
    wire(Button27, "Button27Click", [this] { Button27Click(); });
}

// ---- Display handlers: a slider's read-only edit shows its position.

void TForm1::TrackBar5Change() {
    Edit1.SetText(decimal(TrackBar5.Position()));
}

void TForm1::ScrollBarMaxChange(int input, int level) {
    Maxlv[input][level].SetText(params::analogLevelDisplayText(ScrollBarMax[input][level].Position()));
}

void TForm1::ScrollBarMinChange(int input, int level) {
    Minlv[input][level].SetText(params::analogLevelDisplayText(ScrollBarMin[input][level].Position()));
}

void TForm1::ScrollBarADelayChange() {
    ADelay.SetText(params::analogLevelDisplayText(ScrollBarADelay.Position()));
}

void TForm1::ScrollBarTMaxChange(int input, int level) {
    tMaxlv[input][level].SetText(params::temperatureDisplayText(ScrollBarTMax[input][level].Position()));
}

void TForm1::ScrollBarTMinChange(int input, int level) {
    tMinlv[input][level].SetText(params::temperatureDisplayText(ScrollBarTMin[input][level].Position()));
}

// The pulse edits show the pulse length, twice the slider position.
void TForm1::PulseDsbChange(int output) {
    PulseD[output].SetText(params::pulseDisplayText(PulseDsb[output].Position()));
}

// The data-logger sampling rate and period are one setting each, shown on two pages: moving either
// slider moves its twin (which then stops, its position being equal) and updates both edits.
void TForm1::SRateSBChange() {
    SRate.SetText(decimal(SRateSB.Position()));
    sRateDL.SetPosition(SRateSB.Position());
    sRateDLeb.SetText(SRate.Text());
}

void TForm1::sRateDLChange() {
    sRateDLeb.SetText(decimal(sRateDL.Position()));
    SRateSB.SetPosition(sRateDL.Position());
    SRate.SetText(sRateDLeb.Text());
}

void TForm1::DLoggerTmSBChange() {
    DLoggerTm.SetText(decimal(DLoggerTmSB.Position()));
    DLPeriodEB.SetText(DLoggerTm.Text());
    sDLperiodDL.SetPosition(DLoggerTmSB.Position());
}

void TForm1::sDLperiodDLChange() {
    DLPeriodEB.SetText(decimal(sDLperiodDL.Position()));
    DLoggerTm.SetText(DLPeriodEB.Text());
    DLoggerTmSB.SetPosition(sDLperiodDL.Position());
}

void TForm1::MaxErrorSB() {
    MaxError.SetText(decimal(MaxErrorScrollBar.Position()));
}
void TForm1::TTimeout1SBChange() {
    TTimeout1.SetText(decimal(TTimeout1SB.Position()));
}
void TForm1::TTimeout2SBChange() {
    TTimeout2.SetText(decimal(TTimeout2SB.Position()));
}
void TForm1::ATimeout1SBChange() {
    ATimeout1.SetText(decimal(ATimeout1SB.Position()));
}
void TForm1::ATimeout2SBChange() {
    ATimeout2.SetText(decimal(ATimeout2SB.Position()));
}
void TForm1::DFilterSBChange() {
    DFilter.SetText(decimal(DFilterSB.Position()));
}

// ---- Frame, Main page and Serial Port page.

// Every data-entry field gets the light cream background; nothing else changes and nothing is sent.
void TForm1::PageControl1Change() {
    const Color cream = colors::kCream;
    BRnumber.SetColor(cream);
    FrameControls::MemoSMSinput.SetColor(cream);
    for (int n = 1; n <= 7; ++n) {
        NNumber[n].SetColor(cream);
        PBnr[n].SetColor(cream);
    }
    for (const UplinkRow& row : kUplinkRows)
        (this->*row.edit).SetColor(cream);
    for (Edit* e : {&TNrFilter, &ANrFilter, &DNrFilter, &SRate, &DLoggerTm})
        e->SetColor(cream);
    for (int slot = 1; slot <= 54; ++slot)
        TXTSMS[slot].SetColor(cream);
    for (int slot = 1; slot <= 78; ++slot)
        iTXTSMS[slot].SetColor(cream);
    for (int n = 1; n <= 4; ++n) {
        for (int k = 1; k <= 2; ++k) {
            Maxlv[n][k].SetColor(cream);
            Minlv[n][k].SetColor(cream);
            tMaxlv[n][k].SetColor(cream);
            tMinlv[n][k].SetColor(cream);
        }
    }
    FormatSelect.SetColor(cream);
    for (int n = 1; n <= 5; ++n) {
        PulseD[n].SetColor(cream);
        Output[n].SetColor(cream);
    }
    // Devices may have come or gone since the list was last looked at.
    if (PageControl1.ActivePageIndex() == kSerialPortPage) refreshPortList();
}

// Closing ends the program: nothing is saved and nothing is sent.
void TForm1::ExitBtnClick() {
    if (close_) close_();
}

void TForm1::TestBtnClick() {
    link_->TestBtnClick();
}

void TForm1::ClearBtnClick() {
    link_->ClearBtnClick();
}

void TForm1::ConnectBtnClick() {
    link_->ConnectBtnClick();
}

void TForm1::SendSMScommandClick() {
    link_->SendSMScommandClick(SMScommand.Text());
}

void TForm1::ReadStateClick() {
    link_->ReadStateClick();
}

void TForm1::SqualityClick() {
    link_->SqualityClick();
}

// The operations that differ in SMS mode read the remembered state; Memo5 covers the phone's edits while
// there is no phone on the line.
void TForm1::SMSmodeClick() {
    sms_mode_remembered_ = SMSmode.Checked();
    Memo5.SetVisible(!SMSmode.Checked());
    link_->SMSmodeClick();
}

// Both radio groups of the Serial Port page reopen the port with their current choices. A port that
// cannot be opened is reported only in the status bar.
void TForm1::InitPort() {
    // A choice of the user ends the wait for a port that went away.
    lost_path_.clear();
    reopen_tries_left_ = 0;
    if (link_->InitPort(RadioGroupPort.ItemIndex(), RadioGroupRate.ItemIndex()))
        opened_port_ = describePort(driver_->PortName(), roots_);
    showPortStatus();
}

void TForm1::SkipCRLFcbClick() {
    link_->SkipCRLFcbClick();
}

}  // namespace hx350
