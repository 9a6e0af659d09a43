#include "app/settings_record.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

namespace hx350 {
namespace {

using AnyField = std::variant<Int32Field, Word16Field, BoolField, ByteField, TextField>;

// Where every named field lives, written out again here rather than taken from kSettingsLayout, so that a
// wrong offset, element size or count in the table fails a test.
struct ExpectedField {
    const char* name;
    AnyField field;
    std::size_t offset;
    std::size_t element_size;
    int count;
};

const ExpectedField kExpectedFields[] = {
    {"BaudRateIndex", cfg::BaudRateIndex, 0, 4, 1},
    {"ComPortIndex", cfg::ComPortIndex, 4, 4, 1},
    {"WaitSmsTimeout", cfg::WaitSmsTimeout, 8, 4, 1},
    {"PollFactor", cfg::PollFactor, 12, 4, 1},
    {"ModulePhone", cfg::ModulePhone, 16, 21, 1},
    {"ExternalText", cfg::ExternalText, 60, 27, 54},
    {"InternalText", cfg::InternalText, 1599, 16, 78},
    {"TempTimeout", cfg::TempTimeout, 3152, 4, 1},
    {"AnalogTimeout", cfg::AnalogTimeout, 3160, 4, 1},
    {"DigitalFilter", cfg::DigitalFilter, 3168, 4, 1},
    {"PulseDuration", cfg::PulseDuration, 3172, 4, 5},
    {"SampleRate", cfg::SampleRate, 3204, 4, 1},
    {"DeleteIncomingSms", cfg::DeleteIncomingSms, 3208, 1, 1},
    {"SmsModeOn", cfg::SmsModeOn, 3209, 1, 1},
    {"AnalogLevel", cfg::AnalogLevel, 3212, 4, 16},
    {"TempLevel", cfg::TempLevel, 3276, 4, 16},
    {"TempNumberFilter", cfg::TempNumberFilter, 3340, 5, 1},
    {"AnalogNumberFilter", cfg::AnalogNumberFilter, 3345, 9, 1},
    {"DigitalNumberFilter", cfg::DigitalNumberFilter, 3354, 13, 1},
    {"GprsApn", cfg::GprsApn, 3367, 41, 1},
    {"GprsUserId", cfg::GprsUserId, 3408, 41, 1},
    {"GprsPassword", cfg::GprsPassword, 3449, 41, 1},
    {"GprsIpAddress", cfg::GprsIpAddress, 3490, 41, 1},
    {"FtpHostName", cfg::FtpHostName, 3531, 41, 1},
    {"FtpUserName", cfg::FtpUserName, 3572, 41, 1},
    {"FtpPassword", cfg::FtpPassword, 3613, 17, 1},
    {"FtpDirName", cfg::FtpDirName, 3630, 17, 1},
    {"TempFormat", cfg::TempFormat, 3656, 4, 1},
    {"DataLoggerTime", cfg::DataLoggerTime, 3660, 4, 1},
    {"OtherString", cfg::OtherString, 3664, 17, 1},
    {"CarriedByte1", cfg::CarriedByte1, 3681, 1, 1},
    {"CarriedByte2", cfg::CarriedByte2, 3682, 1, 1},
    {"HttpHost1", cfg::HttpHost1, 3683, 41, 1},
    {"SubscriberNumber", cfg::SubscriberNumber, 3724, 21, 7},
    {"PhoneBookNumber", cfg::PhoneBookNumber, 3871, 21, 7},
    {"ModulePhoneCopy", cfg::ModulePhoneCopy, 4018, 21, 1},
    {"ScheduleCode", cfg::ScheduleCode, 4039, 10, 1},
    {"ScheduleCodeFlag", cfg::ScheduleCodeFlag, 4049, 1, 1},
    {"CarriedInt1", cfg::CarriedInt1, 4084, 4, 1},
    {"CarriedInt2", cfg::CarriedInt2, 4088, 4, 1},
    {"CarriedInt3", cfg::CarriedInt3, 4112, 4, 1},
    {"CarriedWord1", cfg::CarriedWord1, 4116, 2, 1},
    {"CarriedWord2", cfg::CarriedWord2, 4118, 2, 1},
    {"SkipCrLf", cfg::SkipCrLf, 4120, 1, 1},
    {"AnalogCoeff", cfg::AnalogCoeff, 4123, 5, 1},
    {"AnalogMultiplier", cfg::AnalogMultiplier, 4128, 5, 4},
    {"Analog420", cfg::Analog420, 4148, 1, 3},
    {"ReferenceLevel", cfg::ReferenceLevel, 4152, 4, 1},
    {"DataLoggerRate", cfg::DataLoggerRate, 4156, 4, 1},
    {"HttpHost2", cfg::HttpHost2, 4160, 41, 1},
};

// The reserved ranges between the fields, also written out again.
struct ExpectedGap {
    std::size_t offset;
    std::size_t size;
};
const ExpectedGap kExpectedGaps[] = {{37, 23},   {1518, 81}, {2847, 305}, {3156, 4},  {3164, 4},
                                     {3192, 12}, {3210, 2},  {3647, 9},   {4050, 34}, {4092, 20},
                                     {4121, 2},  {4151, 1},  {4201, 3}};

std::size_t rowOf(const AnyField& field) {
    return std::visit([](auto f) { return f.row; }, field);
}

/// A background image with no zero byte, so a field that writes zeros where it should not shows up.
SettingsRecord::Image background() {
    SettingsRecord::Image image{};
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>(0xA0 | (i % 31));
    return image;
}

// ---- The table itself (the runtime twin of the compile-time checks, with the figures named) ----

TEST(SettingsLayout, RowsCoverTheRecordExactlyOnceAndEndAt4204) {
    std::size_t at = 0;
    for (const auto& row : kSettingsLayout) {
        EXPECT_EQ(row.offset, at) << row.name;
        at = row.end();
    }
    EXPECT_EQ(at, 4204u);
    EXPECT_EQ(kSettingsRecordSize, 4204u);
    EXPECT_EQ(sizeof(SettingsRecord::Image), 4204u);
}

TEST(SettingsLayout, EveryNamedFieldHasItsOffsetSizeAndCount) {
    std::size_t named_rows = 0;
    for (const auto& row : kSettingsLayout)
        named_rows += row.encoding != FieldEncoding::Reserved;
    EXPECT_EQ(named_rows, std::size(kExpectedFields));

    for (const auto& expected : kExpectedFields) {
        const SettingsFieldLayout& row = kSettingsLayout[rowOf(expected.field)];
        EXPECT_EQ(row.name, expected.name);
        EXPECT_EQ(row.offset, expected.offset) << expected.name;
        EXPECT_EQ(row.element_size, expected.element_size) << expected.name;
        EXPECT_EQ(row.count, static_cast<std::size_t>(expected.count)) << expected.name;
    }
}

TEST(SettingsLayout, ReservedRangesAreExactlyTheGaps) {
    std::vector<std::pair<std::size_t, std::size_t>> reserved;
    for (const auto& row : kSettingsLayout) {
        if (row.encoding == FieldEncoding::Reserved) reserved.emplace_back(row.offset, row.size());
    }
    ASSERT_EQ(reserved.size(), std::size(kExpectedGaps));
    for (std::size_t i = 0; i < reserved.size(); ++i) {
        EXPECT_EQ(reserved[i].first, kExpectedGaps[i].offset);
        EXPECT_EQ(reserved[i].second, kExpectedGaps[i].size) << "gap at " << kExpectedGaps[i].offset;
    }
}

// ---- Every field lands at its offset and nowhere else ----

/// Little-endian bytes of `value`, `size` of them, built here independently of the record's helpers.
std::vector<std::uint8_t> littleEndian(std::uint64_t value, std::size_t size) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < size; ++i)
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    return bytes;
}

/// Sets element `number` of `field` to a value unique to (field, number) and returns the bytes it must
/// produce at the element's offset.
std::vector<std::uint8_t> setDistinctive(SettingsRecord& record, const AnyField& field, std::size_t row,
                                         int number) {
    const auto tag = static_cast<std::uint32_t>(row * 100 + static_cast<std::size_t>(number));
    return std::visit(
        [&](auto f) -> std::vector<std::uint8_t> {
            using F = decltype(f);
            if constexpr (std::is_same_v<F, Int32Field>) {
                // Negative, so the top byte is not lost; every byte differs from its neighbours.
                const std::uint32_t raw = 0x80000000u | tag << 8 | 0x5Bu;
                EXPECT_TRUE(record.set(f, number, static_cast<std::int32_t>(raw)));
                EXPECT_EQ(record.get(f, number), static_cast<std::int32_t>(raw));
                return littleEndian(raw, 4);
            } else if constexpr (std::is_same_v<F, Word16Field>) {
                const auto raw = static_cast<std::uint16_t>(0x8000u | tag);
                EXPECT_TRUE(record.set(f, number, raw));
                EXPECT_EQ(record.get(f, number), raw);
                return littleEndian(raw, 2);
            } else if constexpr (std::is_same_v<F, BoolField>) {
                // The background byte is non-zero (true): writing false must write the 0.
                EXPECT_TRUE(record.set(f, number, false));
                EXPECT_FALSE(record.get(f, number));
                return {0};
            } else if constexpr (std::is_same_v<F, ByteField>) {
                const auto raw = static_cast<std::uint8_t>(tag);
                EXPECT_TRUE(record.set(f, number, raw));
                EXPECT_EQ(record.get(f, number), raw);
                return {raw};
            } else {
                // A full-capacity text of characters that name the element.
                const std::size_t capacity = f.layout().capacity();
                std::string text;
                for (std::size_t i = 0; i < capacity; ++i)
                    text += static_cast<char>('!' + (tag + i) % 90);
                EXPECT_TRUE(record.set(f, number, text));
                EXPECT_EQ(record.get(f, number), text);
                std::vector<std::uint8_t> bytes{static_cast<std::uint8_t>(capacity)};
                bytes.insert(bytes.end(), text.begin(), text.end());
                return bytes;
            }
        },
        field);
}

TEST(SettingsRecordLayout, EveryElementWritesItsOwnBytesAndNoOthers) {
    const SettingsRecord::Image base = background();
    for (const auto& expected : kExpectedFields) {
        for (int number = 1; number <= expected.count; ++number) {
            SettingsRecord record(base);
            const auto bytes = setDistinctive(record, expected.field, rowOf(expected.field), number);
            ASSERT_EQ(bytes.size(), expected.element_size) << expected.name;
            const std::size_t at =
                expected.offset + static_cast<std::size_t>(number - 1) * expected.element_size;
            for (std::size_t i = 0; i < kSettingsRecordSize; ++i) {
                const bool inside = i >= at && i < at + bytes.size();
                const std::uint8_t want = inside ? bytes[i - at] : base[i];
                ASSERT_EQ(record.image()[i], want) << expected.name << "[" << number << "] byte " << i
                                                   << (inside ? " (inside)" : " (outside)");
            }
        }
    }
}

TEST(SettingsRecordLayout, NumbersOutsideTheFamilyChangeNothing) {
    SettingsRecord record(background());
    const SettingsRecord before = record;
    EXPECT_FALSE(record.set(cfg::ExternalText, 0, "x"));
    EXPECT_FALSE(record.set(cfg::ExternalText, 55, "x"));
    EXPECT_FALSE(record.set(cfg::InternalText, 79, "x"));
    EXPECT_FALSE(record.set(cfg::PulseDuration, 6, 1));
    EXPECT_FALSE(record.set(cfg::AnalogLevel, -1, 1));
    EXPECT_FALSE(record.set(cfg::Analog420, 4, true));
    EXPECT_FALSE(record.set(cfg::BaudRateIndex, 2, 1));
    EXPECT_FALSE(record.set(cfg::CarriedWord1, 2, std::uint16_t{1}));
    EXPECT_FALSE(record.set(cfg::CarriedByte1, 2, std::uint8_t{1}));
    EXPECT_EQ(record, before);
    EXPECT_EQ(record.get(cfg::ExternalText, 55), "");
    EXPECT_EQ(record.get(cfg::PulseDuration, 0), 0);
    EXPECT_FALSE(record.get(cfg::Analog420, 4));
}

// ---- Encodings ----

TEST(SettingsRecordEncoding, IntegersAreLittleEndianAndSigned) {
    SettingsRecord record;
    record.set(cfg::BaudRateIndex, -2);
    record.set(cfg::ComPortIndex, 0x01020304);
    record.set(cfg::CarriedWord1, std::uint16_t{0xBEEF});
    const auto& image = record.image();
    EXPECT_EQ((std::vector<std::uint8_t>(image.begin(), image.begin() + 8)),
              (std::vector<std::uint8_t>{0xFE, 0xFF, 0xFF, 0xFF, 0x04, 0x03, 0x02, 0x01}));
    EXPECT_EQ(image[4116], 0xEF);
    EXPECT_EQ(image[4117], 0xBE);
    EXPECT_EQ(record.get(cfg::BaudRateIndex), -2);
    EXPECT_EQ(record.get(cfg::CarriedWord1), 0xBEEF);
}

TEST(SettingsRecordEncoding, AnyNonZeroBoolByteReadsTrueAndIsWrittenAsOne) {
    for (const std::uint8_t stored :
         {std::uint8_t{0}, std::uint8_t{1}, std::uint8_t{2}, std::uint8_t{0x80}, std::uint8_t{0xFF}}) {
        SettingsRecord::Image image{};
        image[3209] = stored;
        SettingsRecord record(image);
        EXPECT_EQ(record.get(cfg::SmsModeOn), stored != 0) << int{stored};
        record.set(cfg::SmsModeOn, record.get(cfg::SmsModeOn));
        EXPECT_EQ(record.image()[3209], stored != 0 ? 1 : 0) << int{stored};
    }
}

TEST(SettingsRecordEncoding, ThirtyCharacterEventTextKeepsItsFirstTwentySix) {
    SettingsRecord record;
    const std::string thirty = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123";
    ASSERT_EQ(thirty.size(), 30u);
    EXPECT_TRUE(record.set(cfg::ExternalText, 5, thirty));
    EXPECT_EQ(record.get(cfg::ExternalText, 5), "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    const std::size_t slot5 = 60 + 4 * 27;
    EXPECT_EQ(record.image()[slot5], 26);
    // The cut characters went nowhere: slot 6 is untouched.
    EXPECT_EQ(record.image()[slot5 + 27], 0);
    EXPECT_EQ(record.get(cfg::ExternalText, 6), "");
}

TEST(SettingsRecordEncoding, TextsAreCutToEachCapacity) {
    const std::string long_text(300, 'q');
    const struct {
        TextField field;
        int number;
        std::size_t kept;
    } rows[] = {
        {cfg::InternalText, 78, 15}, {cfg::ModulePhone, 1, 20}, {cfg::TempNumberFilter, 1, 4},
        {cfg::GprsUserId, 1, 40},    {cfg::ScheduleCode, 1, 9}, {cfg::AnalogMultiplier, 4, 4},
    };
    for (const auto& row : rows) {
        SettingsRecord record;
        record.set(row.field, row.number, long_text);
        EXPECT_EQ(record.get(row.field, row.number), std::string(row.kept, 'q')) << row.field.layout().name;
        EXPECT_EQ(record.image()[row.field.layout().elementOffset(row.number)], row.kept);
    }
}

TEST(SettingsRecordEncoding, ShorterTextLeavesTheBytesAfterItsLengthAsTheyWere) {
    SettingsRecord record;
    record.set(cfg::GprsApn, "internet.provider.example");
    record.set(cfg::GprsApn, "web");
    EXPECT_EQ(record.get(cfg::GprsApn), "web");
    const std::size_t at = 3367;
    EXPECT_EQ(record.image()[at], 3);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&record.image()[at + 1]), 25),
              "webernet.provider.example");
}

TEST(SettingsRecordEncoding, LengthByteAboveCapacityReadsAsTheCapacity) {
    SettingsRecord::Image image{};
    const std::size_t at = 4039;  // ScheduleCode, string[9], followed by ScheduleCodeFlag
    image[at] = 200;
    for (std::size_t i = 1; i <= 9; ++i)
        image[at + i] = static_cast<std::uint8_t>('0' + i);
    image[at + 10] = 'X';  // ScheduleCodeFlag: must not be read as a tenth character
    image[at + 11] = 'Y';
    const SettingsRecord record(image);
    EXPECT_EQ(record.get(cfg::ScheduleCode), "123456789");

    // The last element of the last family and the last field of the record: no read past the image.
    SettingsRecord::Image end_image{};
    end_image[4160] = 255;
    EXPECT_EQ(SettingsRecord(end_image).get(cfg::HttpHost2).size(), 40u);
    end_image[3871 + 6 * 21] = 21;
    EXPECT_EQ(SettingsRecord(end_image).get(cfg::PhoneBookNumber, 7).size(), 20u);
}

TEST(SettingsRecordEncoding, TextsAreSingleBytesAsGiven) {
    SettingsRecord record;
    const std::string latin1 = "Temp\xb0 \xe9t\xe9\x01\xff";
    record.set(cfg::InternalText, 55, latin1);
    EXPECT_EQ(record.get(cfg::InternalText, 55), latin1);
    EXPECT_EQ(record.image()[1599 + 54 * 16], latin1.size());
}

TEST(SettingsRecordEncoding, LevelNumbersFollowMin2Min1Max1Max2PerChannel) {
    EXPECT_EQ(levelNumber(1, Threshold::Min2), 1);
    EXPECT_EQ(levelNumber(1, Threshold::Max2), 4);
    EXPECT_EQ(levelNumber(2, Threshold::Min2), 5);
    EXPECT_EQ(levelNumber(3, Threshold::Max1), 11);
    EXPECT_EQ(levelNumber(4, Threshold::Max2), 16);
    SettingsRecord record;
    record.set(cfg::TempLevel, levelNumber(2, Threshold::Min1), -99);
    EXPECT_EQ(record.get(cfg::TempLevel, 6), -99);
    EXPECT_EQ(record.image()[3276 + 5 * 4], 0x9D);
}

TEST(SettingsRecord, LoadPrefixReplacesOnlyTheBytesGiven) {
    SettingsRecord record(background());
    const std::vector<std::uint8_t> hundred(100, 0x11);
    record.loadPrefix(hundred);
    EXPECT_EQ(record.image()[99], 0x11);
    EXPECT_EQ(record.image()[100], background()[100]);

    std::vector<std::uint8_t> longer(kSettingsRecordSize + 50, 0x22);
    record.loadPrefix(longer);
    for (auto byte : record.image())
        ASSERT_EQ(byte, 0x22);
}

// ---- Values fixed at load ----

TEST(SettingsLoadFixes, EmptyNumberFiltersGetTheirDefaultsInTheRecord) {
    SettingsRecord record;
    applyNumberFilterDefaults(record);
    EXPECT_EQ(record.get(cfg::TempNumberFilter), "--00");
    EXPECT_EQ(record.get(cfg::AnalogNumberFilter), "--00");
    EXPECT_EQ(record.get(cfg::DigitalNumberFilter), "0000000");
    EXPECT_EQ(record.image()[3354], 7);
}

TEST(SettingsLoadFixes, NonEmptyNumberFiltersStayAsStored) {
    SettingsRecord record;
    record.set(cfg::TempNumberFilter, "1F-0");
    record.set(cfg::AnalogNumberFilter, "-");
    // Length 0 with old characters after it is still empty.
    record.set(cfg::DigitalNumberFilter, "ABCDEFG");
    record.set(cfg::DigitalNumberFilter, "");
    applyNumberFilterDefaults(record);
    EXPECT_EQ(record.get(cfg::TempNumberFilter), "1F-0");
    EXPECT_EQ(record.get(cfg::AnalogNumberFilter), "-");
    EXPECT_EQ(record.get(cfg::DigitalNumberFilter), "0000000");
}

TEST(SettingsLoadFixes, OtherStringIsPaddedWithSpacesToSixteen) {
    const struct {
        std::string stored;
        std::string padded;
    } rows[] = {
        {"", std::string(16, ' ')},
        {"10 1", "10 1            "},
        {"0123456789ABCDEF", "0123456789ABCDEF"},
    };
    for (const auto& row : rows) {
        SettingsRecord record;
        record.set(cfg::OtherString, row.stored);
        EXPECT_EQ(padOtherString(record), row.padded);
        EXPECT_EQ(record.get(cfg::OtherString), row.padded);
        EXPECT_EQ(record.image()[3664], 16);
    }
}

TEST(SettingsLoadFixes, CarriedInt3AboveFourBecomesZeroInItsWorkingCopyOnly) {
    const struct {
        std::int32_t stored;
        std::int32_t working;
    } rows[] = {{-5, -5}, {0, 0}, {4, 4}, {5, 0}, {std::numeric_limits<std::int32_t>::max(), 0}};
    for (const auto& row : rows) {
        EXPECT_EQ(carriedInt3WorkingValue(row.stored), row.working) << row.stored;
        SettingsRecord record;
        record.set(cfg::CarriedInt3, row.stored);
        EXPECT_EQ(takeWorkingCopies(record).CarriedInt3, row.working);
        EXPECT_EQ(record.get(cfg::CarriedInt3), row.stored);
    }
}

TEST(SettingsLoadFixes, PollFactorIsCarriedWhileOneIsInUse) {
    static_assert(kPollFactorInUse == 1);
    SettingsRecord record;
    record.set(cfg::PollFactor, 37);
    SettingsWorkingCopies copies = takeWorkingCopies(record);
    EXPECT_EQ(copies.PollFactor, 37);
    SettingsRecord saved;
    storeWorkingCopies(copies, saved);
    EXPECT_EQ(saved.get(cfg::PollFactor), 37);
}

TEST(SettingsWorkingCopies, StoringBackWhatWasTakenChangesNothingButTheFlag) {
    SettingsRecord::Image image = background();
    SettingsRecord record(image);
    record.set(cfg::CarriedInt3, 2);
    record.set(cfg::ScheduleCode, "T07xx1223");
    record.set(cfg::OtherString, "1 0 1 0 1 0 1 0 ");
    const SettingsRecord loaded = record;
    storeWorkingCopies(takeWorkingCopies(record), record);
    for (std::size_t i = 0; i < kSettingsRecordSize; ++i) {
        if (i == 4049) continue;
        ASSERT_EQ(record.image()[i], loaded.image()[i]) << "byte " << i;
    }
    EXPECT_EQ(record.get(cfg::ScheduleCodeFlag), 0);
}

TEST(SettingsWorkingCopies, StoreCutsTextsAndWritesEveryCopy) {
    SettingsWorkingCopies copies;
    copies.PollFactor = 3;
    copies.TempFormat = 2;
    copies.OtherString = "0123456789ABCDEFGHIJ";
    copies.ScheduleCode = "A33xx12345678";
    copies.CarriedInt1 = -1;
    copies.CarriedInt2 = 65536;
    copies.CarriedInt3 = 4;
    copies.CarriedWord1 = 0xFFFF;
    copies.CarriedWord2 = 7;
    SettingsRecord::Image image{};
    image[4049] = 0x33;
    SettingsRecord record(image);
    storeWorkingCopies(copies, record);
    EXPECT_EQ(record.get(cfg::PollFactor), 3);
    EXPECT_EQ(record.get(cfg::TempFormat), 2);
    EXPECT_EQ(record.get(cfg::OtherString), "0123456789ABCDEF");
    EXPECT_EQ(record.get(cfg::ScheduleCode), "A33xx1234");
    EXPECT_EQ(record.get(cfg::ScheduleCodeFlag), 0);
    EXPECT_EQ(record.get(cfg::CarriedInt1), -1);
    EXPECT_EQ(record.get(cfg::CarriedInt2), 65536);
    EXPECT_EQ(record.get(cfg::CarriedInt3), 4);
    EXPECT_EQ(record.get(cfg::CarriedWord1), 0xFFFF);
    EXPECT_EQ(record.get(cfg::CarriedWord2), 7);
}

}  // namespace
}  // namespace hx350
