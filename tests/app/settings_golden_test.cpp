// The golden settings file, tests/data/settings/golden.cfg, was made by tests/data/settings/make_golden.py
// from offsets typed in by hand, not by this code's writer. The expected values below repeat the script's.
#include "app/settings_file.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "support/files.h"

namespace hx350 {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

const fs::path kGolden = fs::path(HX350_TEST_DATA_DIR) / "settings" / "golden.cfg";

std::string externalText(int n) {
    char head[8];
    std::snprintf(head, sizeof head, "E%02d-", n);
    return (std::string(head) + "abcdefghijklmnopqrstuvwxyz").substr(0, static_cast<std::size_t>(n % 27));
}

std::string internalText(int n) {
    char head[8];
    std::snprintf(head, sizeof head, "I%02d ", n);
    return (std::string(head) + "name-\xe9\xfc\xdf-xyz").substr(0, static_cast<std::size_t>(n % 16));
}

const char* const kAnalogMultipliers[] = {"0.5", "1.0", "2.5", "10.0"};
const bool kAnalog420[] = {true, false, true};

/// Every named field of the golden file set to its golden value.
void setGoldenValues(SettingsRecord& r) {
    r.set(cfg::BaudRateIndex, 3);
    r.set(cfg::ComPortIndex, 2);
    r.set(cfg::WaitSmsTimeout, 99999);
    r.set(cfg::PollFactor, 7);
    r.set(cfg::ModulePhone, "+37060012345");
    for (int n = 1; n <= 54; ++n)
        r.set(cfg::ExternalText, n, externalText(n));
    for (int n = 1; n <= 78; ++n)
        r.set(cfg::InternalText, n, internalText(n));
    r.set(cfg::TempTimeout, 45);
    r.set(cfg::AnalogTimeout, 77);
    r.set(cfg::DigitalFilter, 9);
    for (int n = 1; n <= 5; ++n)
        r.set(cfg::PulseDuration, n, n + 3);
    r.set(cfg::SampleRate, 6);
    r.set(cfg::DeleteIncomingSms, true);
    r.set(cfg::SmsModeOn, false);
    for (int k = 1; k <= 16; ++k)
        r.set(cfg::AnalogLevel, k, 5 * k + 1);
    for (int k = 1; k <= 16; ++k)
        r.set(cfg::TempLevel, k, -99 + 15 * k);
    r.set(cfg::TempNumberFilter, "1F-0");
    r.set(cfg::AnalogNumberFilter, "A-3C");
    r.set(cfg::DigitalNumberFilter, "0123ABC");
    r.set(cfg::GprsApn, "internet.example.net");
    r.set(cfg::GprsUserId, "gprsuser");
    r.set(cfg::GprsPassword, "s3cret!");
    r.set(cfg::GprsIpAddress, "192.168.100.200");
    r.set(cfg::FtpHostName, "ftp-host-with-forty-characters.example.c");
    r.set(cfg::FtpUserName, "logger");
    r.set(cfg::FtpPassword, "pw-16-characters");
    r.set(cfg::FtpDirName, "/data/hx350");
    r.set(cfg::TempFormat, 2);
    r.set(cfg::DataLoggerTime, 5);
    r.set(cfg::OtherString, "10 1 0  1+-     ");
    r.set(cfg::CarriedByte1, std::uint8_t{0xAB});
    r.set(cfg::CarriedByte2, std::uint8_t{0x5C});
    r.set(cfg::HttpHost1, "http://one.example.com/in");
    for (int n = 1; n <= 7; ++n)
        r.set(cfg::SubscriberNumber, n, "+3706100000" + std::to_string(n));
    for (int n = 1; n <= 7; ++n)
        r.set(cfg::PhoneBookNumber, n, "8612000" + std::to_string(11 * n));
    r.set(cfg::ModulePhoneCopy, "+37060054321");
    r.set(cfg::ScheduleCode, "T07xx1223");
    r.set(cfg::ScheduleCodeFlag, std::uint8_t{0});
    r.set(cfg::CarriedInt1, -123456789);
    r.set(cfg::CarriedInt2, 0x12345678);
    r.set(cfg::CarriedInt3, 3);
    r.set(cfg::CarriedWord1, std::uint16_t{0xBEEF});
    r.set(cfg::CarriedWord2, std::uint16_t{0x0102});
    r.set(cfg::SkipCrLf, true);
    r.set(cfg::AnalogCoeff, "1.25");
    for (int n = 1; n <= 4; ++n)
        r.set(cfg::AnalogMultiplier, n, kAnalogMultipliers[n - 1]);
    for (int n = 1; n <= 3; ++n)
        r.set(cfg::Analog420, n, kAnalog420[n - 1]);
    r.set(cfg::ReferenceLevel, 1);
    r.set(cfg::DataLoggerRate, 8);
    r.set(cfg::HttpHost2, "http://two.example.com:8080/post");
}

/// Every named field set to something other than its golden value, touching no string tail.
void setOtherValues(SettingsRecord& r) {
    for (std::size_t row = 0; row < kSettingsLayout.size(); ++row) {
        const SettingsFieldLayout& layout = kSettingsLayout[row];
        for (int n = 1; n <= static_cast<int>(layout.count); ++n) {
            switch (layout.encoding) {
                case FieldEncoding::Int32:
                    r.set(Int32Field{row}, n, ~r.get(Int32Field{row}, n));
                    break;
                case FieldEncoding::Word16:
                    r.set(Word16Field{row}, n, static_cast<std::uint16_t>(~r.get(Word16Field{row}, n)));
                    break;
                case FieldEncoding::Bool:
                    r.set(BoolField{row}, n, !r.get(BoolField{row}, n));
                    break;
                case FieldEncoding::Byte:
                    r.set(ByteField{row}, n, static_cast<std::uint8_t>(~r.get(ByteField{row}, n)));
                    break;
                case FieldEncoding::ShortString:
                    r.set(TextField{row}, n, "");  // only the length byte changes
                    break;
                case FieldEncoding::Reserved:
                    break;
            }
        }
    }
}

class SettingsGoldenTest : public ::testing::Test {
  protected:
    void SetUp() override {
        golden_ = test::readWholeFile<Bytes>(kGolden);
        ASSERT_EQ(golden_.size(), kSettingsRecordSize) << kGolden;
        const SettingsFileStatus status = readSettingsFile(kGolden, record_);
        ASSERT_TRUE(status.ok()) << status.context;
    }
    Bytes golden_;
    SettingsRecord record_;
};

TEST_F(SettingsGoldenTest, EveryFieldReadsAsMadeByHand) {
    const SettingsRecord& r = record_;
    EXPECT_EQ(r.get(cfg::BaudRateIndex), 3);
    EXPECT_EQ(r.get(cfg::ComPortIndex), 2);
    EXPECT_EQ(r.get(cfg::WaitSmsTimeout), 99999);
    EXPECT_EQ(r.get(cfg::PollFactor), 7);
    EXPECT_EQ(r.get(cfg::ModulePhone), "+37060012345");
    for (int n = 1; n <= 54; ++n)
        EXPECT_EQ(r.get(cfg::ExternalText, n), externalText(n)) << n;
    EXPECT_EQ(r.get(cfg::ExternalText, 26).size(), 26u);
    EXPECT_EQ(r.get(cfg::ExternalText, 27), "");
    for (int n = 1; n <= 78; ++n)
        EXPECT_EQ(r.get(cfg::InternalText, n), internalText(n)) << n;
    EXPECT_EQ(r.get(cfg::InternalText, 15), "I15 name-\xe9\xfc\xdf-xy");
    EXPECT_EQ(r.get(cfg::TempTimeout), 45);
    EXPECT_EQ(r.get(cfg::AnalogTimeout), 77);
    EXPECT_EQ(r.get(cfg::DigitalFilter), 9);
    for (int n = 1; n <= 5; ++n)
        EXPECT_EQ(r.get(cfg::PulseDuration, n), n + 3) << n;
    EXPECT_EQ(r.get(cfg::SampleRate), 6);
    EXPECT_TRUE(r.get(cfg::DeleteIncomingSms));
    EXPECT_FALSE(r.get(cfg::SmsModeOn));
    for (int k = 1; k <= 16; ++k)
        EXPECT_EQ(r.get(cfg::AnalogLevel, k), 5 * k + 1) << k;
    for (int k = 1; k <= 16; ++k)
        EXPECT_EQ(r.get(cfg::TempLevel, k), -99 + 15 * k) << k;
    EXPECT_EQ(r.get(cfg::AnalogLevel, levelNumber(4, Threshold::Max2)), 81);
    EXPECT_EQ(r.get(cfg::TempLevel, levelNumber(1, Threshold::Min2)), -84);
    EXPECT_EQ(r.get(cfg::TempNumberFilter), "1F-0");
    EXPECT_EQ(r.get(cfg::AnalogNumberFilter), "A-3C");
    EXPECT_EQ(r.get(cfg::DigitalNumberFilter), "0123ABC");
    EXPECT_EQ(r.get(cfg::GprsApn), "internet.example.net");
    EXPECT_EQ(r.get(cfg::GprsUserId), "gprsuser");
    EXPECT_EQ(r.get(cfg::GprsPassword), "s3cret!");
    EXPECT_EQ(r.get(cfg::GprsIpAddress), "192.168.100.200");
    EXPECT_EQ(r.get(cfg::FtpHostName), "ftp-host-with-forty-characters.example.c");
    EXPECT_EQ(r.get(cfg::FtpUserName), "logger");
    EXPECT_EQ(r.get(cfg::FtpPassword), "pw-16-characters");
    EXPECT_EQ(r.get(cfg::FtpDirName), "/data/hx350");
    EXPECT_EQ(r.get(cfg::TempFormat), 2);
    EXPECT_EQ(r.get(cfg::DataLoggerTime), 5);
    EXPECT_EQ(r.get(cfg::OtherString), "10 1 0  1+-     ");
    EXPECT_EQ(r.get(cfg::CarriedByte1), 0xAB);
    EXPECT_EQ(r.get(cfg::CarriedByte2), 0x5C);
    EXPECT_EQ(r.get(cfg::HttpHost1), "http://one.example.com/in");
    for (int n = 1; n <= 7; ++n) {
        EXPECT_EQ(r.get(cfg::SubscriberNumber, n), "+3706100000" + std::to_string(n)) << n;
        EXPECT_EQ(r.get(cfg::PhoneBookNumber, n), "8612000" + std::to_string(11 * n)) << n;
    }
    EXPECT_EQ(r.get(cfg::ModulePhoneCopy), "+37060054321");
    EXPECT_EQ(r.get(cfg::ScheduleCode), "T07xx1223");
    EXPECT_EQ(r.get(cfg::ScheduleCodeFlag), 0);
    EXPECT_EQ(r.get(cfg::CarriedInt1), -123456789);
    EXPECT_EQ(r.get(cfg::CarriedInt2), 0x12345678);
    EXPECT_EQ(r.get(cfg::CarriedInt3), 3);
    EXPECT_EQ(r.get(cfg::CarriedWord1), 0xBEEF);
    EXPECT_EQ(r.get(cfg::CarriedWord2), 0x0102);
    EXPECT_TRUE(r.get(cfg::SkipCrLf));
    EXPECT_EQ(r.get(cfg::AnalogCoeff), "1.25");
    for (int n = 1; n <= 4; ++n)
        EXPECT_EQ(r.get(cfg::AnalogMultiplier, n), kAnalogMultipliers[n - 1]) << n;
    for (int n = 1; n <= 3; ++n)
        EXPECT_EQ(r.get(cfg::Analog420, n), kAnalog420[n - 1]) << n;
    EXPECT_EQ(r.get(cfg::ReferenceLevel), 1);
    EXPECT_EQ(r.get(cfg::DataLoggerRate), 8);
    EXPECT_EQ(r.get(cfg::HttpHost2), "http://two.example.com:8080/post");
}

TEST_F(SettingsGoldenTest, ReadingAndSavingAtOnceGivesTheGoldenBytes) {
    const fs::path dir = fs::temp_directory_path() / ("settings-golden-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path copy = dir / "HX350.cfg";
    const SettingsFileStatus status = writeSettingsFile(copy, record_);
    const Bytes written = test::readWholeFile<Bytes>(copy);
    fs::remove_all(dir);
    ASSERT_TRUE(status.ok()) << status.context;
    EXPECT_EQ(written, golden_);
}

TEST_F(SettingsGoldenTest, SettingEveryFieldAgainReproducesTheGoldenBytes) {
    // Change every named field, then store the golden values through the setters: any setter that writes
    // at a wrong place or too many bytes leaves a difference, since the reserved ranges and string tails
    // of the golden file are non-zero filler.
    SettingsRecord record = record_;
    setOtherValues(record);
    ASSERT_NE(Bytes(record.image().begin(), record.image().end()), golden_);
    setGoldenValues(record);
    EXPECT_EQ(Bytes(record.image().begin(), record.image().end()), golden_);
}

TEST_F(SettingsGoldenTest, LoadFixesLeaveAWellFilledFileAlone) {
    SettingsRecord record = record_;
    applyNumberFilterDefaults(record);
    EXPECT_EQ(padOtherString(record), "10 1 0  1+-     ");
    EXPECT_EQ(record, record_);
    const SettingsWorkingCopies copies = takeWorkingCopies(record);
    EXPECT_EQ(copies.CarriedInt3, 3);
    EXPECT_EQ(copies.ScheduleCode, "T07xx1223");
    storeWorkingCopies(copies, record);
    EXPECT_EQ(record, record_);
}

}  // namespace
}  // namespace hx350
