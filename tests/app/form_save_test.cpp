// "Save Setting": the snapshot of every page into the record and the file, save-after-load identity, what is
// and is not kept across a restart, and a file that cannot be written.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <random>
#include <string>

#include "form_fixture.h"

namespace hx350::test {
namespace {

/// A record as the tool writes it, with every named field set to a value its control can show, on top of
/// random bytes (the reserved ranges, the carried bytes and whatever follows each text's length).
SettingsRecord richRecord() {
    SettingsRecord::Image image{};
    std::mt19937 random(4204);
    for (auto& byte : image)
        byte = static_cast<std::uint8_t>(random());
    SettingsRecord r(image);
    r.set(cfg::BaudRateIndex, 3);
    r.set(cfg::ComPortIndex, 1);
    r.set(cfg::WaitSmsTimeout, 777);
    r.set(cfg::PollFactor, 5);
    r.set(cfg::ModulePhone, "+4915112345678");
    r.set(cfg::ModulePhoneCopy, "+4915112345678");
    for (int slot = 1; slot <= 54; ++slot)
        r.set(cfg::ExternalText, slot, "External text " + std::to_string(slot));
    for (int slot = 1; slot <= 78; ++slot)
        r.set(cfg::InternalText, slot, "iT" + std::to_string(slot));
    r.set(cfg::TempTimeout, 12);
    r.set(cfg::AnalogTimeout, 34);
    r.set(cfg::DigitalFilter, 5);
    for (int n = 1; n <= 5; ++n)
        r.set(cfg::PulseDuration, n, n + 2);  // 4 and 5 are hidden sliders
    r.set(cfg::SampleRate, 6);
    r.set(cfg::DeleteIncomingSms, false);  // hidden box, checked in the design
    r.set(cfg::SmsModeOn, false);
    for (int i = 1; i <= 16; ++i) {
        r.set(cfg::AnalogLevel, i, (i * 7) % 100);
        r.set(cfg::TempLevel, i, i * 15 - 99);
    }
    r.set(cfg::TempNumberFilter, "1F-0");
    r.set(cfg::AnalogNumberFilter, "A5-9");
    r.set(cfg::DigitalNumberFilter, "0123-C7");
    r.set(cfg::GprsApn, "internet.example.net");
    r.set(cfg::GprsUserId, "user");
    r.set(cfg::GprsPassword, "secret");
    r.set(cfg::GprsIpAddress, "10.0.0.1");
    r.set(cfg::FtpHostName, "ftp.example.net");
    r.set(cfg::FtpUserName, "logger");
    r.set(cfg::FtpPassword, "pw");
    r.set(cfg::FtpDirName, "/data");
    r.set(cfg::TempFormat, 2);
    r.set(cfg::DataLoggerTime, 4);
    r.set(cfg::OtherString, "MPEDEEDDDEEDDDE ");
    r.set(cfg::HttpHost1, "http.example.net");
    for (int n = 1; n <= 7; ++n) {
        r.set(cfg::SubscriberNumber, n, "+49170000000" + std::to_string(n));
        r.set(cfg::PhoneBookNumber, n, "+49171000000" + std::to_string(n));
    }
    r.set(cfg::ScheduleCode, "T07  1223");
    r.set(cfg::ScheduleCodeFlag, std::uint8_t{0});
    r.set(cfg::CarriedInt1, -4);
    r.set(cfg::CarriedInt2, 99);
    r.set(cfg::CarriedInt3, 3);
    r.set(cfg::CarriedWord1, std::uint16_t{0x1234});
    r.set(cfg::CarriedWord2, std::uint16_t{0xFFFF});
    r.set(cfg::SkipCrLf, true);
    r.set(cfg::AnalogCoeff, "1234");
    const char* multipliers[4] = {"1000", "0999", "2000", "0500"};
    for (int n = 1; n <= 4; ++n)
        r.set(cfg::AnalogMultiplier, n, multipliers[n - 1]);
    r.set(cfg::Analog420, 1, true);
    r.set(cfg::Analog420, 2, false);
    r.set(cfg::Analog420, 3, true);
    r.set(cfg::ReferenceLevel, 1);
    r.set(cfg::DataLoggerRate, 6);
    r.set(cfg::HttpHost2, "http2.example.net");
    return r;
}

using Saving = FormOnPtys;

TEST_F(Saving, SaveAfterLoadGivesTheSameBytes) {
    writeRecord(richRecord());
    const std::string before = readWholeFile(cfg_path_);
    ASSERT_EQ(before.size(), kSettingsRecordSize);
    TForm1& f = start();
    ASSERT_TRUE(f.settingsLoadStatus().ok());
    EXPECT_EQ(f.CommPortDriver1().PortName(), com(2).secondaryPath());
    f.SaveSetting1.userClick();
    const std::string after = readWholeFile(cfg_path_);
    ASSERT_EQ(after.size(), kSettingsRecordSize);
    for (std::size_t i = 0; i < kSettingsRecordSize; ++i)
        ASSERT_EQ(before[i], after[i]) << "byte " << i;
    EXPECT_TRUE(services_.messages.empty());
    EXPECT_EQ(wire(2), "");  // saving is local
}

TEST_F(Saving, AFileTheToolWroteSurvivesLoadAndSave) {
    SettingsRecord r = richRecord();
    // Values that start-up normalises: the second round must not change them again.
    r.set(cfg::ScheduleCode, "C33  0812");
    r.set(cfg::TempNumberFilter, "");
    r.set(cfg::CarriedInt3, 12);
    r.set(cfg::SampleRate, 2);
    r.set(cfg::OtherString, "MP");
    r.set(cfg::ModulePhone, "+1");
    writeRecord(r);
    start().SaveSetting1Click();
    const std::string first = readWholeFile(cfg_path_);
    form_.reset();

    TForm1& f = start();
    EXPECT_EQ(f.SMSShed.ItemIndex(), 2);  // the Counter schedule survived the restart
    f.SaveSetting1Click();
    EXPECT_EQ(readWholeFile(cfg_path_), first);
    SettingsRecord saved;
    ASSERT_TRUE(readSettingsFile(cfg_path_, saved).ok());
    EXPECT_EQ(saved.get(cfg::TempNumberFilter), "--00");
    EXPECT_EQ(saved.get(cfg::CarriedInt3), 0);
    EXPECT_EQ(saved.get(cfg::SampleRate), 6);
    EXPECT_EQ(saved.get(cfg::OtherString), "MP" + std::string(14, ' '));
    EXPECT_EQ(saved.get(cfg::ModulePhone), "+4915112345678");
    EXPECT_EQ(saved.get(cfg::ScheduleCode), "D33  0812");
}

TEST_F(Saving, SnapshotTakesThePagesAndARestartShowsThem) {
    TForm1& f = start();  // no file: the all-zero record
    services_.messages.clear();
    f.APN.userSetText("apn.example");
    f.NNumber[7].userSetText("+4917777");
    f.BRnumber.userSetText("+4915550001");
    f.TXTSMS[5].SetText(std::string(30, 'x'));  // the edit holds 30 characters, the field 26
    f.iTXTSMS[78].SetText("OUT5 0 hidden");     // a hidden edit keeps what code gives it
    f.RadioGroupRate.userSetItemIndex(2);
    f.ScrollBarMax[2][1].userSetPosition(64);
    f.ScrollBarTMin[1][2].userSetPosition(-20);
    f.SkipCRLFcb.userClick();
    f.AN_420[2].userClick();
    f.AnalogKoeff.userSetText("4321");
    f.ReferenceLevelRadioBox1.userSetItemIndex(1);
    f.sRateDL.userSetPosition(8);
    f.CheckBoxTdis[2].userClick();  // "--00" -> source 2 enabled again
    f.SaveSetting1.userClick();
    EXPECT_TRUE(services_.messages.empty());
    EXPECT_EQ(readWholeFile(cfg_path_).size(), kSettingsRecordSize);

    // Changed after the save and not saved: lost at the restart.
    f.APN.userSetText("changed");
    form_.reset();
    TForm1& g = start();
    EXPECT_EQ(g.APN.Text(), "apn.example");
    EXPECT_EQ(g.NNumber[7].Text(), "+4917777");
    EXPECT_EQ(g.BRnumber.Text(), "+4915550001");
    EXPECT_EQ(g.TXTSMS[5].Text(), std::string(26, 'x'));
    EXPECT_EQ(g.iTXTSMS[78].Text(), "OUT5 0 hidden");
    EXPECT_EQ(g.RadioGroupRate.ItemIndex(), 2);
    EXPECT_EQ(g.CommPortDriver1().BaudRateValue(), 38400u);
    EXPECT_EQ(g.Maxlv[2][1].Text(), "64");
    EXPECT_EQ(g.tMinlv[1][2].Text(), "-20");
    EXPECT_TRUE(g.SkipCRLFcb.Checked());
    EXPECT_TRUE(g.AN_420[2].Checked());
    EXPECT_EQ(g.AnalogKoeff.Text(), "4321");
    EXPECT_EQ(g.ReferenceLevelRadioBox1.ItemIndex(), 1);
    EXPECT_EQ(g.SRateSB.Position(), 8);
    EXPECT_EQ(g.TNrFilter.Text(), "-000");
    EXPECT_FALSE(g.CheckBoxTdis[2].Checked());
}

TEST_F(Saving, SavingTwiceWritesTheSameBytes) {
    writeRecord(richRecord());
    TForm1& f = start();
    f.SaveSetting1Click();
    const std::string first = readWholeFile(cfg_path_);
    f.SaveSetting1Click();
    EXPECT_EQ(readWholeFile(cfg_path_), first);
}

TEST_F(Saving, AReadOnlyFileIsLeftAsItWasWithTheWarning) {
    writeRecord(richRecord());
    TForm1& f = start();
    const std::string before = readWholeFile(cfg_path_);
    ASSERT_EQ(::chmod(cfg_path_.c_str(), 0444), 0);
    f.APN.userSetText("not written");
    f.SaveSetting1.userClick();
    ASSERT_EQ(services_.messages.size(), 1u);
    EXPECT_EQ(services_.messages[0].text, "HX350.cfg access error");
    EXPECT_EQ(services_.messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(readWholeFile(cfg_path_), before);
    // The record in memory holds the snapshot all the same.
    EXPECT_EQ(f.settings().get(cfg::GprsApn), "not written");
}

TEST_F(Saving, AfterAShortFileTheSaveWritesTheDesignValues) {
    writeWholeFile(cfg_path_, std::string(100, '\x01'));
    TForm1& f = start();
    services_.messages.clear();
    f.SaveSetting1Click();
    EXPECT_TRUE(services_.messages.empty());
    SettingsRecord saved;
    ASSERT_TRUE(readSettingsFile(cfg_path_, saved).ok());
    EXPECT_EQ(saved.get(cfg::BaudRateIndex), 1);
    EXPECT_EQ(saved.get(cfg::ComPortIndex), 0);
    EXPECT_EQ(saved.get(cfg::ModulePhoneCopy), f.BRnumber.Text());
    EXPECT_EQ(saved.get(cfg::SubscriberNumber, 2), "NNumber2");
    EXPECT_EQ(saved.get(cfg::TempNumberFilter), "FFFF");
    EXPECT_EQ(saved.get(cfg::DigitalNumberFilter), "FFFF-- ");
    EXPECT_TRUE(saved.get(cfg::DeleteIncomingSms));
    EXPECT_EQ(saved.get(cfg::DataLoggerTime), 1);
}

}  // namespace
}  // namespace hx350::test
