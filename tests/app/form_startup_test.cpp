// Start-up from crafted settings files: which port opens, what every page shows, the schedule and number
// mask decoding, the slider clamps, and the state the window is left in when the file is missing or short.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "form_fixture.h"
#include "link/device_link.h"
#include "params/event_masks.h"
#include "serial/posix_serial_device.h"

namespace hx350::test {
namespace {

using StartUp = FormOnPtys;

TEST_F(StartUp, NoFileWarnsOnceAndFillsThePagesFromTheZeroRecord) {
    TForm1& f = start();
    EXPECT_EQ(f.settingsLoadStatus().result, SettingsFileResult::AccessError);
    ASSERT_EQ(services_.messages.size(), 1u);
    EXPECT_EQ(services_.messages[0].text, "HX350.cfg access error");
    EXPECT_EQ(services_.messages[0].icon, MessageIcon::Warning);

    EXPECT_EQ(f.RadioGroupRate.ItemIndex(), 0);
    EXPECT_EQ(f.RadioGroupPort.ItemIndex(), 0);
    EXPECT_EQ(f.CommPortDriver1().BaudRateValue(), 9600u);
    EXPECT_EQ(f.CommPortDriver1().PortName(), com(1).secondaryPath());
    EXPECT_TRUE(f.CommPortDriver1().IsConnected());
    EXPECT_EQ(f.BRnumber.Text(), "");
    EXPECT_EQ(f.NNumber[1].Text(), "");
    EXPECT_EQ(f.TXTSMS[5].Text(), "");
    EXPECT_EQ(f.iTXTSMS[55].Text(), "");
    EXPECT_EQ(f.TNrFilter.Text(), "--00");
    EXPECT_EQ(f.ANrFilter.Text(), "--00");
    EXPECT_EQ(f.DNrFilter.Text(), "0000000");
    EXPECT_EQ(f.settings().get(cfg::TempNumberFilter), "--00");
    EXPECT_EQ(f.settings().get(cfg::DigitalNumberFilter), "0000000");
    // "--00": the temperature sources 1 and 2 disabled, the counters enabled with no subscriber.
    EXPECT_TRUE(f.CheckBoxTdis[1].Checked());
    EXPECT_TRUE(f.CheckBoxTdis[2].Checked());
    EXPECT_FALSE(f.CheckBoxTdis[3].Checked());
    EXPECT_FALSE(f.CheckBoxA[1][3].Checked());
    EXPECT_FALSE(f.CheckBoxD[1][1].Checked());
    EXPECT_FALSE(f.CheckBoxDdis[1].Checked());
    EXPECT_EQ(f.SMSShed.ItemIndex(), 4);      // an empty schedule shows "Disable"
    EXPECT_EQ(f.RadioGroup1.ItemIndex(), 4);  // and "other"
    EXPECT_EQ(f.workingCopies().ScheduleCode, "");
    EXPECT_EQ(f.workingCopies().OtherString, std::string(16, ' '));
    EXPECT_TRUE(timer1_.isActive());
    EXPECT_EQ(timer1_.period(), kTimer1PeriodMs);
    EXPECT_EQ(f.StatusBar1.Text(), "Com1: " + com(1).secondaryPath() + ", 9600 baud, open");
    EXPECT_EQ(wire(1), "");
}

TEST_F(StartUp, StoredPortIndexTwoOpensCom3AfterCom1) {
    SettingsRecord r;
    r.set(cfg::ComPortIndex, 2);
    r.set(cfg::BaudRateIndex, 1);
    writeRecord(r);
    std::vector<std::string> handlers;
    TForm1& f = build();
    f.setHandlerTrace([&](std::string_view h) { handlers.emplace_back(h); });
    f.FormCreate();

    EXPECT_EQ(f.RadioGroupPort.ItemIndex(), 2);
    EXPECT_EQ(f.CommPortDriver1().Port(), pnCOM3);
    EXPECT_EQ(f.CommPortDriver1().PortName(), com(3).secondaryPath());
    EXPECT_TRUE(f.CommPortDriver1().IsConnected());
    // Opened first on Com1, then the stored choice ran the group's handler, which reopened it on Com3:
    // Com1 is free again.
    EXPECT_EQ(std::count(handlers.begin(), handlers.end(), "InitPort"), 1);
    PosixSerialDevice probe;
    EXPECT_TRUE(probe.open(com(1).secondaryPath()).ok());
    probe.close();

    f.ReadState.userClick();
    EXPECT_EQ(wire(3), framed("GETST"));
    EXPECT_EQ(wire(1), "");
    EXPECT_EQ(f.StatusBar1.Text(), "Com3: " + com(3).secondaryPath() + ", 19200 baud, open");
}

TEST_F(StartUp, ChoicesEqualToTheDesignReopenNothing) {
    SettingsRecord r;
    r.set(cfg::ComPortIndex, 0);
    r.set(cfg::BaudRateIndex, 1);
    writeRecord(r);
    std::vector<std::string> handlers;
    TForm1& f = build();
    f.setHandlerTrace([&](std::string_view h) { handlers.emplace_back(h); });
    f.FormCreate();
    // Only the first opening; no handler ran because no loaded choice differs from the shown one.
    EXPECT_EQ(std::count(handlers.begin(), handlers.end(), "InitPort"), 0);
    EXPECT_EQ(f.CommPortDriver1().BaudRateValue(), 19200u);
    EXPECT_TRUE(f.CommPortDriver1().IsConnected());
}

TEST_F(StartUp, BaudIndexNineSelectsTheLastRate) {
    SettingsRecord r;
    r.set(cfg::BaudRateIndex, 9);
    writeRecord(r);
    TForm1& f = start();
    EXPECT_EQ(f.RadioGroupRate.ItemIndex(), 4);
    EXPECT_EQ(f.RadioGroupRate.Items()[4], "115200");
    EXPECT_EQ(f.CommPortDriver1().BaudRate(), br115200);
    EXPECT_EQ(f.CommPortDriver1().BaudRateValue(), 115200u);
    EXPECT_TRUE(f.CommPortDriver1().IsConnected());
}

TEST_F(StartUp, NegativeIndexesSelectNothingAndKeepThePortAsItWas) {
    SettingsRecord r;
    r.set(cfg::BaudRateIndex, -1);
    r.set(cfg::ComPortIndex, -7);
    writeRecord(r);
    TForm1& f = start();
    EXPECT_EQ(f.RadioGroupRate.ItemIndex(), -1);
    EXPECT_EQ(f.RadioGroupPort.ItemIndex(), -1);
    // Without a choice the port keeps the settings of the design choices, and stays usable.
    EXPECT_EQ(f.CommPortDriver1().PortName(), com(1).secondaryPath());
    EXPECT_EQ(f.CommPortDriver1().BaudRateValue(), 19200u);
    EXPECT_TRUE(f.CommPortDriver1().IsConnected());
    f.ReadState.userClick();
    EXPECT_EQ(wire(1), framed("GETST"));
}

TEST_F(StartUp, SmsModeOnHidesMemoSAndStartsTheQuerySequence) {
    SettingsRecord r;
    r.set(cfg::SmsModeOn, true);
    r.set(cfg::ModulePhoneCopy, "+4917012345");
    writeRecord(r);
    TForm1& f = start();
    EXPECT_TRUE(f.SMSmode.Checked());
    EXPECT_TRUE(f.smsModeRemembered());
    EXPECT_FALSE(f.FrameControls::MemoS.Visible());
    EXPECT_FALSE(f.Memo5.Visible());  // the phone's edits are uncovered
    EXPECT_TRUE(f.link().state().query_sequence_running);
    EXPECT_EQ(wire(1), "");  // nothing before the first tick

    timer1_.trigger();
    EXPECT_EQ(wire(1), "AT+CGMI\r");
    answer(1, "AT+CGMI\r\r\nACME\r\n\r\nOK\r\n");
    timer1_.trigger();
    EXPECT_EQ(wire(1), "AT+CSCS?\r");
    EXPECT_EQ(f.Hersteller.Text(), "ACME");
}

TEST_F(StartUp, DirectModeShowsMemoSCoversThePhoneEditsAndSendsNothing) {
    SettingsRecord r;
    r.set(cfg::SmsModeOn, false);
    r.set(cfg::SkipCrLf, true);
    r.set(cfg::DeleteIncomingSms, false);
    for (int n = 1; n <= 4; ++n)
        r.set(cfg::AnalogLevel, levelNumber(n, Threshold::Max2), 50 + n);
    r.set(cfg::TempNumberFilter, "1F-0");
    r.set(cfg::ScheduleCode, "T07xx1223");
    writeRecord(r);
    TForm1& f = start();
    EXPECT_TRUE(f.FrameControls::MemoS.Visible());
    EXPECT_TRUE(f.Memo5.Visible());
    EXPECT_FALSE(f.smsModeRemembered());
    EXPECT_FALSE(f.link().state().query_sequence_running);
    EXPECT_TRUE(f.SkipCRLFcb.Checked());
    EXPECT_TRUE(f.link().state().crlf_memory);
    EXPECT_FALSE(f.DeleteSMS.Checked());
    EXPECT_FALSE(f.DeleteSMS.Visible());
    EXPECT_FALSE(f.PanelAT.Visible());
    EXPECT_FALSE(f.PanelBand.Visible());
    timer1_.trigger();
    EXPECT_EQ(wire(1), "");
}

TEST_F(StartUp, ValuesTheStartFixesOrDerives) {
    SettingsRecord r;
    r.set(cfg::PollFactor, 9);
    r.set(cfg::CarriedInt1, -4);
    r.set(cfg::CarriedInt2, 123456);
    r.set(cfg::CarriedInt3, 7);
    r.set(cfg::CarriedWord1, std::uint16_t{0xBEEF});
    r.set(cfg::TempFormat, 2);
    r.set(cfg::OtherString, "MPE");
    r.set(cfg::ModulePhone, "+111");
    r.set(cfg::ModulePhoneCopy, "+222");
    r.set(cfg::SampleRate, 3);
    r.set(cfg::DataLoggerRate, 6);
    r.set(cfg::DataLoggerTime, 4);
    r.set(cfg::WaitSmsTimeout, 1500);
    r.set(cfg::DigitalFilter, 5);
    r.set(cfg::PulseDuration, 2, 4);
    writeRecord(r);
    TForm1& f = start();
    const SettingsWorkingCopies& w = f.workingCopies();
    EXPECT_EQ(w.PollFactor, 9);
    EXPECT_EQ(f.pollFactorInUse(), 1);
    EXPECT_EQ(w.CarriedInt1, -4);
    EXPECT_EQ(w.CarriedInt2, 123456);
    EXPECT_EQ(w.CarriedInt3, 0);  // above 4
    EXPECT_EQ(w.CarriedWord1, 0xBEEF);
    EXPECT_EQ(w.TempFormat, 2);
    EXPECT_EQ(w.OtherString, "MPE" + std::string(13, ' '));
    EXPECT_EQ(f.settings().get(cfg::OtherString), w.OtherString);
    EXPECT_EQ(f.BRnumber.Text(), "+222");
    // The logger's rate wins over SampleRate; both sliders and their edits show it.
    EXPECT_EQ(f.SRateSB.Position(), 6);
    EXPECT_EQ(f.sRateDL.Position(), 6);
    EXPECT_EQ(f.SRate.Text(), "6");
    EXPECT_EQ(f.sRateDLeb.Text(), "6");
    EXPECT_EQ(f.DLoggerTmSB.Position(), 4);
    EXPECT_EQ(f.DLoggerTm.Text(), "4");
    EXPECT_EQ(f.DLPeriodEB.Text(), "4");
    EXPECT_EQ(f.sDLperiodDL.Position(), 4);
    EXPECT_EQ(f.MaxError.Text(), "4");
    EXPECT_EQ(f.TrackBar5.Position(), 1500);
    EXPECT_EQ(f.Edit1.Text(), "1500");
    EXPECT_EQ(f.DFilter.Text(), "5");
    EXPECT_EQ(f.PulseD[2].Text(), "8");
    EXPECT_EQ(f.shuntChoice(), 3);
    EXPECT_EQ(f.ANmode200[1].Caption(), "200 Om");
    EXPECT_EQ(f.ANmode200[2].Caption(), "200 Om");
    EXPECT_EQ(f.ANmode200[3].Caption(), "249 Om");
    EXPECT_EQ(services_.cursor, CursorShape::Default);
    EXPECT_EQ(f.link().state().reply_pending, false);
    EXPECT_EQ(f.PageControl1.ActivePageIndex(), kMainPage);
}

// ---- Level sliders

TEST_F(StartUp, LevelSlidersClampShowAndWriteBack) {
    SettingsRecord r;
    r.set(cfg::AnalogLevel, levelNumber(1, Threshold::Max1), 150);
    r.set(cfg::AnalogLevel, levelNumber(1, Threshold::Min1), 7);
    r.set(cfg::AnalogLevel, levelNumber(2, Threshold::Min2), -5);
    r.set(cfg::AnalogLevel, levelNumber(4, Threshold::Max2), 42);
    r.set(cfg::TempLevel, levelNumber(1, Threshold::Max2), 200);
    r.set(cfg::TempLevel, levelNumber(2, Threshold::Min2), -150);
    r.set(cfg::TempLevel, levelNumber(3, Threshold::Min1), 7);
    writeRecord(r);
    TForm1& f = start();
    EXPECT_EQ(f.ScrollBarMax[1][1].Position(), 99);
    EXPECT_EQ(f.Maxlv[1][1].Text(), "99");
    EXPECT_EQ(f.Minlv[1][1].Text(), "07");
    EXPECT_EQ(f.Minlv[2][2].Text(), "00");
    EXPECT_EQ(f.Maxlv[4][2].Text(), "42");
    EXPECT_EQ(f.Maxlv[3][1].Text(), "00");  // a stored 0 equal to the design still shows two digits
    EXPECT_EQ(f.tMaxlv[1][2].Text(), "149");
    EXPECT_EQ(f.tMinlv[2][2].Text(), "-99");
    EXPECT_EQ(f.tMinlv[3][1].Text(), "7");  // plain decimal, also on the hidden inputs
    EXPECT_EQ(f.settings().get(cfg::AnalogLevel, levelNumber(1, Threshold::Max1)), 99);
    EXPECT_EQ(f.settings().get(cfg::AnalogLevel, levelNumber(2, Threshold::Min2)), 0);
    EXPECT_EQ(f.settings().get(cfg::TempLevel, levelNumber(1, Threshold::Max2)), 149);
    EXPECT_EQ(f.settings().get(cfg::TempLevel, levelNumber(2, Threshold::Min2)), -99);

    f.SaveSetting1.userClick();
    SettingsRecord saved;
    ASSERT_TRUE(readSettingsFile(cfg_path_, saved).ok());
    EXPECT_EQ(saved.get(cfg::AnalogLevel, levelNumber(1, Threshold::Max1)), 99);
    EXPECT_EQ(saved.get(cfg::AnalogLevel, levelNumber(1, Threshold::Min1)), 7);
    EXPECT_EQ(saved.get(cfg::TempLevel, levelNumber(1, Threshold::Max2)), 149);
}

// ---- Schedule code

struct ScheduleCase {
    const char* stored;
    int type;
    int period;
    bool enabled[4];
    int hours[4];  ///< track bar positions
    const char* code_after;
};

class ScheduleRestore : public FormOnPtys, public ::testing::WithParamInterface<ScheduleCase> {};

TEST_P(ScheduleRestore, ShowsTheStoredCode) {
    const ScheduleCase& c = GetParam();
    SettingsRecord r;
    r.set(cfg::ScheduleCode, c.stored);
    writeRecord(r);
    TForm1& f = start();
    EXPECT_EQ(f.SMSShed.ItemIndex(), c.type);
    EXPECT_EQ(f.RadioGroup1.ItemIndex(), c.period);
    for (int k = 1; k <= 4; ++k) {
        EXPECT_EQ(f.CheckBoxS[k].Checked(), c.enabled[k - 1]) << "send hour " << k;
        EXPECT_EQ(f.TrackBar[k].Position(), c.hours[k - 1]) << "send hour " << k;
    }
    EXPECT_EQ(f.workingCopies().ScheduleCode, c.code_after);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ScheduleRestore,
    ::testing::Values(
        // Temperature, hour 1 at 7, hour 2 off, hours 3 and 4 at 12 and 23, period "other".
        ScheduleCase{"T07xx1223", 1, 4, {true, false, true, true}, {7, 0, 12, 23}, "T07xx1223"},
        // Never stored: "Disable", "other", nothing enabled, the code stays empty.
        ScheduleCase{"", 4, 4, {false, false, false, false}, {0, 0, 0, 0}, ""},
        // "44" is "10 min" and, as an hour, 44 or more is 0 with the box checked.
        ScheduleCase{"A44      ", 0, 1, {true, false, false, false}, {0, 0, 0, 0}, "A44      "},
        // Short codes are padded to nine before anything edits them.
        ScheduleCase{"A33", 0, 0, {true, false, false, false}, {0, 0, 0, 0}, "A33      "},
        ScheduleCase{"T0", 1, 4, {false, false, false, false}, {0, 0, 0, 0}, "T0       "},
        // The letters "SET" writes come back as their types; the type's handler writes its own letter.
        ScheduleCase{"C33  0812", 2, 0, {true, false, true, true}, {0, 0, 8, 12}, "D33  0812"},
        ScheduleCase{"L55", 3, 2, {true, false, false, false}, {0, 0, 0, 0}, "355      "},
        ScheduleCase{"D66", 2, 3, {true, false, false, false}, {0, 0, 0, 0}, "D66      "},
        ScheduleCase{"3  ", 3, 4, {false, false, false, false}, {0, 0, 0, 0}, "3        "},
        // Nine spaces ("Disable" as "SET" writes it) and unknown letters show "Disable".
        ScheduleCase{"         ", 4, 4, {false, false, false, false}, {0, 0, 0, 0}, "5        "},
        ScheduleCase{"x3x", 4, 0, {false, false, false, false}, {0, 0, 0, 0}, "53x      "},
        // Hours above 23 clamp on the sliders; the first hour's 24 or more is 0.
        ScheduleCase{"T25990099", 1, 4, {true, true, true, true}, {0, 23, 0, 23}, "T25990099"}));

// ---- Number masks

TEST_F(StartUp, TemperatureFilterOneFDashZero) {
    SettingsRecord r;
    r.set(cfg::TempNumberFilter, "1F-0");
    writeRecord(r);
    TForm1& f = start();
    EXPECT_EQ(f.TNrFilter.Text(), "1F-0");
    EXPECT_EQ(f.parkedDigits().temperature, "1F-0");
    // Source 1: only subscriber 1.
    EXPECT_TRUE(f.CheckBoxT[1][1].Checked());
    EXPECT_FALSE(f.CheckBoxT[2][1].Checked());
    EXPECT_FALSE(f.CheckBoxT[3][1].Checked());
    EXPECT_FALSE(f.CheckBoxT[4][1].Checked());
    EXPECT_FALSE(f.CheckBoxTdis[1].Checked());
    // Source 2: all four.
    for (int k = 1; k <= 4; ++k)
        EXPECT_TRUE(f.CheckBoxT[k][2].Checked());
    EXPECT_FALSE(f.CheckBoxTdis[2].Checked());
    // Source 3: only "Disable".
    for (int k = 1; k <= 4; ++k)
        EXPECT_FALSE(f.CheckBoxT[k][3].Checked());
    EXPECT_TRUE(f.CheckBoxTdis[3].Checked());
    // Source 4: no box.
    for (int k = 1; k <= 4; ++k)
        EXPECT_FALSE(f.CheckBoxT[k][4].Checked());
    EXPECT_FALSE(f.CheckBoxTdis[4].Checked());
}

TEST_F(StartUp, AnalogAndDigitalFiltersSetEveryBoxOfTheirSources) {
    SettingsRecord r;
    r.set(cfg::AnalogNumberFilter, "A5-9");
    r.set(cfg::DigitalNumberFilter, "0123-C7");
    writeRecord(r);
    TForm1& f = start();
    EXPECT_EQ(f.ANrFilter.Text(), "A5-9");
    EXPECT_EQ(f.DNrFilter.Text(), "0123-C7");
    EXPECT_EQ(f.parkedDigits().digital, "0123-C7");
    const char* analog = "A5-9";
    for (int j = 1; j <= 4; ++j) {
        const auto value = params::hexDigitValue(analog[j - 1]);
        EXPECT_EQ(f.CheckBoxAdis[j].Checked(), !value.has_value()) << j;
        for (int k = 1; k <= 4; ++k)
            EXPECT_EQ(f.CheckBoxA[k][j].Checked(), value && (*value >> (k - 1)) & 1) << k << j;
    }
    const char* digital = "0123-C7";
    for (int j = 1; j <= 7; ++j) {
        const auto value = params::hexDigitValue(digital[j - 1]);
        EXPECT_EQ(f.CheckBoxDdis[j].Checked(), !value.has_value()) << j;
        for (int k = 1; k <= 4; ++k)
            EXPECT_EQ(f.CheckBoxD[k][j].Checked(), value && (*value >> (k - 1)) & 1) << k << j;
    }
}

TEST_F(StartUp, ShortFilterReadsMissingPositionsAsDisabledSources) {
    SettingsRecord r;
    r.set(cfg::TempNumberFilter, "1F");
    r.set(cfg::DigitalNumberFilter, "F3");
    writeRecord(r);
    TForm1& f = start();
    EXPECT_TRUE(f.CheckBoxTdis[3].Checked());
    EXPECT_TRUE(f.CheckBoxTdis[4].Checked());
    for (int j = 3; j <= 7; ++j)
        EXPECT_TRUE(f.CheckBoxDdis[j].Checked()) << j;
    EXPECT_EQ(f.parkedDigits().temperature, "1F--");
    EXPECT_EQ(f.parkedDigits().digital, "F3-----");
    // Disabling wrote "-" at the missing positions, so the mask shows what the boxes show (the row of
    // digital input 7 is hidden and has no handler: its position stays missing and still reads "-").
    EXPECT_EQ(f.TNrFilter.Text(), "1F--");
    EXPECT_EQ(f.DNrFilter.Text(), "F3----");
    // Enabling a source that started disabled gives it no subscriber; its boxes then edit the digit.
    f.CheckBoxTdis[4].userClick();
    EXPECT_EQ(f.TNrFilter.Text(), "1F-0");
    f.CheckBoxDdis[3].userClick();
    EXPECT_EQ(f.DNrFilter.Text(), "F30---");
    f.CheckBoxD[2][3].userClick();
    EXPECT_EQ(f.DNrFilter.Text(), "F32---");
}

TEST_F(StartUp, AStrangeMaskCharacterDisablesItsSourceAndWaitsParked) {
    SettingsRecord r;
    r.set(cfg::AnalogNumberFilter, "Fx3F");
    writeRecord(r);
    TForm1& f = start();
    EXPECT_TRUE(f.CheckBoxAdis[2].Checked());
    EXPECT_EQ(f.ANrFilter.Text(), "F-3F");
    EXPECT_EQ(f.parkedDigits().analog, "Fx3F");
}

TEST_F(StartUp, MaskBoxesKeepEditingTheMasksAfterStartUp) {
    SettingsRecord r;
    r.set(cfg::TempNumberFilter, "FFFF");
    r.set(cfg::AnalogNumberFilter, "F3FF");
    writeRecord(r);
    TForm1& f = start();
    f.CheckBoxT[4][1].userClick();  // subscriber 4 of temperature 1 off
    EXPECT_EQ(f.TNrFilter.Text(), "7FFF");
    f.CheckBoxT[4][1].userClick();
    EXPECT_EQ(f.TNrFilter.Text(), "FFFF");
    f.CheckBoxAdis[2].userClick();
    EXPECT_EQ(f.ANrFilter.Text(), "F-FF");
    f.CheckBoxA[1][2].userClick();  // bit 1 of the parked 3 cleared: parked 2
    EXPECT_EQ(f.ANrFilter.Text(), "F-FF");
    f.CheckBoxAdis[2].userClick();
    EXPECT_EQ(f.ANrFilter.Text(), "F2FF");
}

// ---- A file shorter than one record

TEST_F(StartUp, HundredByteFileShowsTheErrorAndKeepsTheDesignInAUsableWindow) {
    std::string bytes(100, '\0');
    bytes[0] = 4;  // BaudRateIndex 4: read, but never shown
    bytes[16] = 3;
    bytes.replace(17, 3, "+99");
    writeWholeFile(cfg_path_, bytes);
    TForm1 design;  // what the pages show before any start-up
    TForm1& f = start();

    EXPECT_EQ(f.settingsLoadStatus().result, SettingsFileResult::ReadBeyondEnd);
    ASSERT_EQ(services_.messages.size(), 1u);
    EXPECT_EQ(services_.messages[0].text, "Read beyond end of file");
    EXPECT_EQ(services_.messages[0].icon, MessageIcon::Error);

    // The read part stays in the record; the pages keep the design.
    EXPECT_EQ(f.settings().get(cfg::BaudRateIndex), 4);
    EXPECT_EQ(f.RadioGroupRate.ItemIndex(), 1);
    EXPECT_EQ(f.BRnumber.Text(), design.BRnumber.Text());
    EXPECT_EQ(f.NNumber[3].Text(), "NNumber3");
    EXPECT_EQ(f.TXTSMS[1].Text(), design.TXTSMS[1].Text());
    EXPECT_EQ(f.TNrFilter.Text(), "FFFF");
    EXPECT_EQ(f.DNrFilter.Text(), "FFFF-- ");
    EXPECT_EQ(f.parkedDigits(), (ParkedDigits{"FFFF", "FFFF", "FFFF-- "}));
    // A consistent, idle window: link state reset, normal cursor, coloured fields, ticking timer, open port.
    LinkState idle;
    idle.crlf_memory = f.link().state().crlf_memory;
    EXPECT_EQ(f.link().state(), idle);
    EXPECT_EQ(services_.cursor, CursorShape::Default);
    EXPECT_EQ(f.BRnumber.color(), colors::kCream);
    EXPECT_EQ(f.TXTSMS[54].color(), colors::kCream);
    EXPECT_TRUE(timer1_.isActive());
    EXPECT_TRUE(f.CommPortDriver1().IsConnected());
    EXPECT_EQ(f.CommPortDriver1().BaudRateValue(), 19200u);

    // The window works: a command goes out and a mask box edits its mask.
    f.ReadState.userClick();
    EXPECT_EQ(wire(1), framed("GETST"));
    f.CheckBoxA[4][1].userClick();
    EXPECT_EQ(f.ANrFilter.Text(), "7FFF");
}

TEST_F(StartUp, LongerFileLoadsItsFirstRecord) {
    SettingsRecord r;
    r.set(cfg::GprsApn, "internet.example");
    writeRecord(r);
    writeWholeFile(cfg_path_, readWholeFile(cfg_path_) + "trailing bytes");
    TForm1& f = start();
    EXPECT_TRUE(f.settingsLoadStatus().ok());
    EXPECT_TRUE(services_.messages.empty());
    EXPECT_EQ(f.APN.Text(), "internet.example");
}

}  // namespace
}  // namespace hx350::test
