// The settings record: every setting the pages keep between runs, as one fixed 4204-byte image.
//
// The file "HX350.cfg" is exactly this image: no header, no version, no checksum. All numbers are
// little-endian and nothing is aligned beyond what the layout table shows. One table, kSettingsLayout,
// gives every range of the image (named fields and the reserved gaps between them); offsets exist nowhere
// else, and compile-time checks prove that its rows follow each other without gap or overlap and end at
// 4204.
//
// The record holds the raw image, not a set of decoded values. Setting a field writes only that field's
// bytes into the image, so everything nobody sets stays exactly as it was read: the reserved ranges, the
// carried fields and the bytes after each string's length (zero bytes when nothing was read).
//
// Field access goes through typed handles in namespace `cfg`, named as the fields are named
// (`cfg::BaudRateIndex`, `cfg::ExternalText`). Families take their 1-based number as it is used everywhere
// else in the tool: `get(cfg::ExternalText, 5)` is event slot 5, `get(cfg::InternalText, 55)` is slot 55,
// `get(cfg::AnalogLevel, levelNumber(2, Threshold::Max1))` is the Max1 level of analog channel 2.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace hx350 {

/// Size of the settings record and of the settings file, in bytes.
inline constexpr std::size_t kSettingsRecordSize = 4204;

/// How the bytes of one layout row are interpreted.
enum class FieldEncoding : std::uint8_t {
    Int32,        ///< 32-bit signed integer, little-endian
    Word16,       ///< 16-bit word, little-endian (read and written as unsigned)
    Bool,         ///< one byte; any non-zero byte reads as true, written as 0 or 1
    Byte,         ///< one byte, taken as it is
    ShortString,  ///< one length byte L, then `capacity` character bytes of which the first L count
    Reserved,     ///< never interpreted; written back as it was read
};

/// One row of the record layout: a named field, a family of equal fields, or a reserved range.
struct SettingsFieldLayout {
    std::string_view name;     ///< the field's name ("reserved" for a gap)
    std::size_t offset;        ///< byte offset of the first element in the image
    std::size_t element_size;  ///< bytes of one element (a short string: capacity + 1)
    std::size_t count;         ///< number of elements; 1 for a single field
    FieldEncoding encoding;

    constexpr std::size_t size() const { return element_size * count; }
    constexpr std::size_t end() const { return offset + size(); }
    /// Characters a short-string element holds; 0 for every other encoding.
    constexpr std::size_t capacity() const {
        return encoding == FieldEncoding::ShortString ? element_size - 1 : 0;
    }
    /// Offset of element `number` (1-based). The caller keeps `number` within 1..count.
    constexpr std::size_t elementOffset(int number) const {
        return offset + static_cast<std::size_t>(number - 1) * element_size;
    }
};

// clang-format off
/// The record, range by range, in file order.
inline constexpr std::array kSettingsLayout = {
    SettingsFieldLayout{"BaudRateIndex",          0,  4,  1, FieldEncoding::Int32},
    SettingsFieldLayout{"ComPortIndex",           4,  4,  1, FieldEncoding::Int32},
    SettingsFieldLayout{"WaitSmsTimeout",         8,  4,  1, FieldEncoding::Int32},
    SettingsFieldLayout{"PollFactor",            12,  4,  1, FieldEncoding::Int32},
    SettingsFieldLayout{"ModulePhone",           16, 21,  1, FieldEncoding::ShortString},
    SettingsFieldLayout{"reserved",              37, 23,  1, FieldEncoding::Reserved},
    SettingsFieldLayout{"ExternalText",          60, 27, 54, FieldEncoding::ShortString},
    SettingsFieldLayout{"reserved",            1518, 81,  1, FieldEncoding::Reserved},
    SettingsFieldLayout{"InternalText",        1599, 16, 78, FieldEncoding::ShortString},
    SettingsFieldLayout{"reserved",            2847, 305, 1, FieldEncoding::Reserved},
    SettingsFieldLayout{"TempTimeout",         3152,  4,  1, FieldEncoding::Int32},
    SettingsFieldLayout{"reserved",            3156,  4,  1, FieldEncoding::Reserved},
    SettingsFieldLayout{"AnalogTimeout",       3160,  4,  1, FieldEncoding::Int32},
    SettingsFieldLayout{"reserved",            3164,  4,  1, FieldEncoding::Reserved},
    SettingsFieldLayout{"DigitalFilter",       3168,  4,  1, FieldEncoding::Int32},
    SettingsFieldLayout{"PulseDuration",       3172,  4,  5, FieldEncoding::Int32},
    SettingsFieldLayout{"reserved",            3192, 12,  1, FieldEncoding::Reserved},
    SettingsFieldLayout{"SampleRate",          3204,  4,  1, FieldEncoding::Int32},
    SettingsFieldLayout{"DeleteIncomingSms",   3208,  1,  1, FieldEncoding::Bool},
    SettingsFieldLayout{"SmsModeOn",           3209,  1,  1, FieldEncoding::Bool},
    SettingsFieldLayout{"reserved",            3210,  2,  1, FieldEncoding::Reserved},
    SettingsFieldLayout{"AnalogLevel",         3212,  4, 16, FieldEncoding::Int32},
    SettingsFieldLayout{"TempLevel",           3276,  4, 16, FieldEncoding::Int32},
    SettingsFieldLayout{"TempNumberFilter",    3340,  5,  1, FieldEncoding::ShortString},
    SettingsFieldLayout{"AnalogNumberFilter",  3345,  9,  1, FieldEncoding::ShortString},
    SettingsFieldLayout{"DigitalNumberFilter", 3354, 13,  1, FieldEncoding::ShortString},
    SettingsFieldLayout{"GprsApn",             3367, 41,  1, FieldEncoding::ShortString},
    SettingsFieldLayout{"GprsUserId",          3408, 41,  1, FieldEncoding::ShortString},
    SettingsFieldLayout{"GprsPassword",        3449, 41,  1, FieldEncoding::ShortString},
    SettingsFieldLayout{"GprsIpAddress",       3490, 41,  1, FieldEncoding::ShortString},
    SettingsFieldLayout{"FtpHostName",         3531, 41,  1, FieldEncoding::ShortString},
    SettingsFieldLayout{"FtpUserName",         3572, 41,  1, FieldEncoding::ShortString},
    SettingsFieldLayout{"FtpPassword",         3613, 17,  1, FieldEncoding::ShortString},
    SettingsFieldLayout{"FtpDirName",          3630, 17,  1, FieldEncoding::ShortString},
    SettingsFieldLayout{"reserved",            3647,  9,  1, FieldEncoding::Reserved},
    SettingsFieldLayout{"TempFormat",          3656,  4,  1, FieldEncoding::Int32},
    SettingsFieldLayout{"DataLoggerTime",      3660,  4,  1, FieldEncoding::Int32},
    SettingsFieldLayout{"OtherString",         3664, 17,  1, FieldEncoding::ShortString},
    SettingsFieldLayout{"CarriedByte1",        3681,  1,  1, FieldEncoding::Byte},
    SettingsFieldLayout{"CarriedByte2",        3682,  1,  1, FieldEncoding::Byte},
    SettingsFieldLayout{"HttpHost1",           3683, 41,  1, FieldEncoding::ShortString},
    SettingsFieldLayout{"SubscriberNumber",    3724, 21,  7, FieldEncoding::ShortString},
    SettingsFieldLayout{"PhoneBookNumber",     3871, 21,  7, FieldEncoding::ShortString},
    SettingsFieldLayout{"ModulePhoneCopy",     4018, 21,  1, FieldEncoding::ShortString},
    SettingsFieldLayout{"ScheduleCode",        4039, 10,  1, FieldEncoding::ShortString},
    SettingsFieldLayout{"ScheduleCodeFlag",    4049,  1,  1, FieldEncoding::Byte},
    SettingsFieldLayout{"reserved",            4050, 34,  1, FieldEncoding::Reserved},
    SettingsFieldLayout{"CarriedInt1",         4084,  4,  1, FieldEncoding::Int32},
    SettingsFieldLayout{"CarriedInt2",         4088,  4,  1, FieldEncoding::Int32},
    SettingsFieldLayout{"reserved",            4092, 20,  1, FieldEncoding::Reserved},
    SettingsFieldLayout{"CarriedInt3",         4112,  4,  1, FieldEncoding::Int32},
    SettingsFieldLayout{"CarriedWord1",        4116,  2,  1, FieldEncoding::Word16},
    SettingsFieldLayout{"CarriedWord2",        4118,  2,  1, FieldEncoding::Word16},
    SettingsFieldLayout{"SkipCrLf",            4120,  1,  1, FieldEncoding::Bool},
    SettingsFieldLayout{"reserved",            4121,  2,  1, FieldEncoding::Reserved},
    SettingsFieldLayout{"AnalogCoeff",         4123,  5,  1, FieldEncoding::ShortString},
    SettingsFieldLayout{"AnalogMultiplier",    4128,  5,  4, FieldEncoding::ShortString},
    SettingsFieldLayout{"Analog420",           4148,  1,  3, FieldEncoding::Bool},
    SettingsFieldLayout{"reserved",            4151,  1,  1, FieldEncoding::Reserved},
    SettingsFieldLayout{"ReferenceLevel",      4152,  4,  1, FieldEncoding::Int32},
    SettingsFieldLayout{"DataLoggerRate",      4156,  4,  1, FieldEncoding::Int32},
    SettingsFieldLayout{"HttpHost2",           4160, 41,  1, FieldEncoding::ShortString},
    SettingsFieldLayout{"reserved",            4201,  3,  1, FieldEncoding::Reserved},
};
// clang-format on

namespace layout_checks {

constexpr bool elementSizeFitsEncoding(const SettingsFieldLayout& row) {
    switch (row.encoding) {
        case FieldEncoding::Int32:
            return row.element_size == 4;
        case FieldEncoding::Word16:
            return row.element_size == 2;
        case FieldEncoding::Bool:
        case FieldEncoding::Byte:
            return row.element_size == 1;
        case FieldEncoding::ShortString:
            // The length byte must be able to count every character the field holds.
            return row.element_size >= 2 && row.element_size <= 256;
        case FieldEncoding::Reserved:
            return row.element_size >= 1 && row.count == 1;
    }
    return false;
}

constexpr bool rowsAreContiguous() {
    std::size_t at = 0;
    for (const auto& row : kSettingsLayout) {
        if (row.offset != at || row.count == 0) return false;
        at = row.end();
    }
    return true;
}

constexpr bool everyRowFitsItsEncoding() {
    for (const auto& row : kSettingsLayout) {
        if (!elementSizeFitsEncoding(row)) return false;
    }
    return true;
}

constexpr bool namedFieldsAreUnique() {
    for (std::size_t i = 0; i < kSettingsLayout.size(); ++i) {
        if (kSettingsLayout[i].encoding == FieldEncoding::Reserved) continue;
        for (std::size_t j = i + 1; j < kSettingsLayout.size(); ++j) {
            if (kSettingsLayout[i].name == kSettingsLayout[j].name) return false;
        }
    }
    return true;
}

static_assert(rowsAreContiguous(), "layout rows must follow each other without gap or overlap");
static_assert(kSettingsLayout.back().end() == kSettingsRecordSize, "the record is 4204 bytes");
static_assert(everyRowFitsItsEncoding(), "element size does not match the encoding");
static_assert(namedFieldsAreUnique(), "a field name appears twice");

}  // namespace layout_checks

/// A handle to one named layout row, typed by its encoding so that a field is read and written only as
/// what it is. Obtain handles from namespace `cfg`, never by row number.
template <FieldEncoding kEncoding>
struct RecordField {
    std::size_t row;  ///< index into kSettingsLayout

    constexpr const SettingsFieldLayout& layout() const { return kSettingsLayout[row]; }
};

using Int32Field = RecordField<FieldEncoding::Int32>;
using Word16Field = RecordField<FieldEncoding::Word16>;
using BoolField = RecordField<FieldEncoding::Bool>;
using ByteField = RecordField<FieldEncoding::Byte>;
using TextField = RecordField<FieldEncoding::ShortString>;

namespace layout_checks {
/// The handle of the row called `name`; fails to compile when no row has that name and encoding.
template <FieldEncoding kEncoding>
consteval RecordField<kEncoding> fieldNamed(std::string_view name) {
    for (std::size_t i = 0; i < kSettingsLayout.size(); ++i) {
        if (kSettingsLayout[i].name == name) {
            if (kSettingsLayout[i].encoding != kEncoding) throw "the field has another encoding";
            return RecordField<kEncoding>{i};
        }
    }
    throw "no field of that name";
}
}  // namespace layout_checks

/// The fields of the record, by name.
namespace cfg {
using layout_checks::fieldNamed;
using E = FieldEncoding;
inline constexpr Int32Field BaudRateIndex = fieldNamed<E::Int32>("BaudRateIndex");
inline constexpr Int32Field ComPortIndex = fieldNamed<E::Int32>("ComPortIndex");
inline constexpr Int32Field WaitSmsTimeout = fieldNamed<E::Int32>("WaitSmsTimeout");
inline constexpr Int32Field PollFactor = fieldNamed<E::Int32>("PollFactor");
inline constexpr TextField ModulePhone = fieldNamed<E::ShortString>("ModulePhone");
inline constexpr TextField ExternalText = fieldNamed<E::ShortString>("ExternalText");  ///< slots 1..54
inline constexpr TextField InternalText = fieldNamed<E::ShortString>("InternalText");  ///< slots 1..78
inline constexpr Int32Field TempTimeout = fieldNamed<E::Int32>("TempTimeout");
inline constexpr Int32Field AnalogTimeout = fieldNamed<E::Int32>("AnalogTimeout");
inline constexpr Int32Field DigitalFilter = fieldNamed<E::Int32>("DigitalFilter");
inline constexpr Int32Field PulseDuration = fieldNamed<E::Int32>("PulseDuration");  ///< 1..5
inline constexpr Int32Field SampleRate = fieldNamed<E::Int32>("SampleRate");
inline constexpr BoolField DeleteIncomingSms = fieldNamed<E::Bool>("DeleteIncomingSms");
inline constexpr BoolField SmsModeOn = fieldNamed<E::Bool>("SmsModeOn");
inline constexpr Int32Field AnalogLevel = fieldNamed<E::Int32>("AnalogLevel");  ///< 1..16, see levelNumber
inline constexpr Int32Field TempLevel = fieldNamed<E::Int32>("TempLevel");      ///< 1..16, see levelNumber
inline constexpr TextField TempNumberFilter = fieldNamed<E::ShortString>("TempNumberFilter");
inline constexpr TextField AnalogNumberFilter = fieldNamed<E::ShortString>("AnalogNumberFilter");
inline constexpr TextField DigitalNumberFilter = fieldNamed<E::ShortString>("DigitalNumberFilter");
inline constexpr TextField GprsApn = fieldNamed<E::ShortString>("GprsApn");
inline constexpr TextField GprsUserId = fieldNamed<E::ShortString>("GprsUserId");
inline constexpr TextField GprsPassword = fieldNamed<E::ShortString>("GprsPassword");
inline constexpr TextField GprsIpAddress = fieldNamed<E::ShortString>("GprsIpAddress");
inline constexpr TextField FtpHostName = fieldNamed<E::ShortString>("FtpHostName");
inline constexpr TextField FtpUserName = fieldNamed<E::ShortString>("FtpUserName");
inline constexpr TextField FtpPassword = fieldNamed<E::ShortString>("FtpPassword");
inline constexpr TextField FtpDirName = fieldNamed<E::ShortString>("FtpDirName");
inline constexpr Int32Field TempFormat = fieldNamed<E::Int32>("TempFormat");
inline constexpr Int32Field DataLoggerTime = fieldNamed<E::Int32>("DataLoggerTime");
inline constexpr TextField OtherString = fieldNamed<E::ShortString>("OtherString");
inline constexpr ByteField CarriedByte1 = fieldNamed<E::Byte>("CarriedByte1");
inline constexpr ByteField CarriedByte2 = fieldNamed<E::Byte>("CarriedByte2");
inline constexpr TextField HttpHost1 = fieldNamed<E::ShortString>("HttpHost1");
inline constexpr TextField SubscriberNumber = fieldNamed<E::ShortString>("SubscriberNumber");  ///< 1..7
inline constexpr TextField PhoneBookNumber = fieldNamed<E::ShortString>("PhoneBookNumber");    ///< 1..7
inline constexpr TextField ModulePhoneCopy = fieldNamed<E::ShortString>("ModulePhoneCopy");
inline constexpr TextField ScheduleCode = fieldNamed<E::ShortString>("ScheduleCode");
inline constexpr ByteField ScheduleCodeFlag = fieldNamed<E::Byte>("ScheduleCodeFlag");
inline constexpr Int32Field CarriedInt1 = fieldNamed<E::Int32>("CarriedInt1");
inline constexpr Int32Field CarriedInt2 = fieldNamed<E::Int32>("CarriedInt2");
inline constexpr Int32Field CarriedInt3 = fieldNamed<E::Int32>("CarriedInt3");
inline constexpr Word16Field CarriedWord1 = fieldNamed<E::Word16>("CarriedWord1");
inline constexpr Word16Field CarriedWord2 = fieldNamed<E::Word16>("CarriedWord2");
inline constexpr BoolField SkipCrLf = fieldNamed<E::Bool>("SkipCrLf");
inline constexpr TextField AnalogCoeff = fieldNamed<E::ShortString>("AnalogCoeff");
inline constexpr TextField AnalogMultiplier = fieldNamed<E::ShortString>("AnalogMultiplier");  ///< 1..4
inline constexpr BoolField Analog420 = fieldNamed<E::Bool>("Analog420");                       ///< 1..3
inline constexpr Int32Field ReferenceLevel = fieldNamed<E::Int32>("ReferenceLevel");
inline constexpr Int32Field DataLoggerRate = fieldNamed<E::Int32>("DataLoggerRate");
inline constexpr TextField HttpHost2 = fieldNamed<E::ShortString>("HttpHost2");
}  // namespace cfg

/// The four thresholds of every analog and temperature input, in their stored order.
enum class Threshold { Min2 = 0, Min1 = 1, Max1 = 2, Max2 = 3 };

/// The 1-based element number in `AnalogLevel` or `TempLevel` of threshold `threshold` of input
/// `channel` (1..4): four per channel, channel 1 first.
constexpr int levelNumber(int channel, Threshold threshold) {
    return (channel - 1) * 4 + static_cast<int>(threshold) + 1;
}

class SettingsRecord {
  public:
    using Image = std::array<std::uint8_t, kSettingsRecordSize>;

    /// The all-zero record the tool starts with.
    SettingsRecord() = default;
    explicit SettingsRecord(const Image& image) : image_(image) {}

    /// The raw image, exactly what a save writes.
    const Image& image() const { return image_; }

    /// Replaces the first bytes.size() bytes of the image (all of it when bytes holds the record size or
    /// more; the excess is ignored). The bytes after them keep their values: that is how the part of a
    /// short file that could be read stays in memory.
    void loadPrefix(std::span<const std::uint8_t> bytes);

    // Reading. `number` is the 1-based element of a family and is 1 for a single field. A number outside
    // 1..count of the field reads as 0, false or the empty text.

    std::int32_t get(Int32Field field, int number = 1) const;
    std::uint16_t get(Word16Field field, int number = 1) const;
    /// Any non-zero byte reads as true.
    bool get(BoolField field, int number = 1) const;
    std::uint8_t get(ByteField field, int number = 1) const;
    /// The first L characters, where L is the stored length byte; a length byte above the field's capacity
    /// (a damaged file) reads as the capacity, so the text never runs into the next field.
    std::string get(TextField field, int number = 1) const;

    // Writing. Each setter writes only the bytes of that one element and returns false, changing nothing,
    // when `number` is outside 1..count.

    bool set(Int32Field field, std::int32_t value) { return set(field, 1, value); }
    bool set(Int32Field field, int number, std::int32_t value);
    bool set(Word16Field field, std::uint16_t value) { return set(field, 1, value); }
    bool set(Word16Field field, int number, std::uint16_t value);
    /// Written as 1 for true and 0 for false.
    bool set(BoolField field, bool value) { return set(field, 1, value); }
    bool set(BoolField field, int number, bool value);
    bool set(ByteField field, std::uint8_t value) { return set(field, 1, value); }
    bool set(ByteField field, int number, std::uint8_t value);
    /// Stores the first `capacity` characters of `text` (a longer text is cut) and sets the length byte.
    /// The character bytes after the new length keep whatever they held before.
    bool set(TextField field, std::string_view text) { return set(field, 1, text); }
    bool set(TextField field, int number, std::string_view text);

    friend bool operator==(const SettingsRecord&, const SettingsRecord&) = default;

  private:
    /// Offset of element `number` of `row`, or kSettingsRecordSize when the number is out of range.
    static std::size_t elementAt(const SettingsFieldLayout& row, int number);

    Image image_{};
};

// Values that belong to the file format and are fixed when a record is loaded (start-up applies them).

/// What an empty temperature or analog number filter becomes: every source disabled but the last two.
inline constexpr std::string_view kDefaultTempNumberFilter = "--00";
inline constexpr std::string_view kDefaultAnalogNumberFilter = "--00";
/// What an empty digital number filter becomes: all seven sources on, no subscriber.
inline constexpr std::string_view kDefaultDigitalNumberFilter = "0000000";
/// The SMS-mode poll factor in use after loading, whatever `PollFactor` holds (the field itself is kept).
inline constexpr std::int32_t kPollFactorInUse = 1;
/// Length `OtherString` is padded (with spaces) and cut to.
inline constexpr std::size_t kOtherStringLength = 16;

/// Replaces an empty (length 0) `TempNumberFilter` or `AnalogNumberFilter` by "--00" and an empty
/// `DigitalNumberFilter` by "0000000", in the record itself so the next save writes them. Non-empty
/// filters are left alone.
void applyNumberFilterDefaults(SettingsRecord& record);

/// Pads `OtherString` with spaces to 16 characters (it holds no more), in the record itself, and returns
/// the 16 characters.
std::string padOtherString(SettingsRecord& record);

/// The working value of `CarriedInt3` for a stored value: above 4 it becomes 0; anything else is kept.
constexpr std::int32_t carriedInt3WorkingValue(std::int32_t stored) {
    return stored > 4 ? 0 : stored;
}

/// The values the main window keeps between saves, outside the record.
struct SettingsWorkingCopies {
    std::int32_t PollFactor = 0;  ///< carried unchanged; the factor in use is kPollFactorInUse
    std::int32_t TempFormat = 0;
    std::string OtherString;
    std::string ScheduleCode;
    std::int32_t CarriedInt1 = 0;
    std::int32_t CarriedInt2 = 0;
    std::int32_t CarriedInt3 = 0;
    std::uint16_t CarriedWord1 = 0;
    std::uint16_t CarriedWord2 = 0;
};

/// Takes the working copies from a loaded record: every value as stored, except `CarriedInt3`, which goes
/// through carriedInt3WorkingValue. Call padOtherString first for a padded `OtherString`.
SettingsWorkingCopies takeWorkingCopies(const SettingsRecord& record);

/// Copies the working copies back into the record before a save (texts cut to their fields) and sets
/// `ScheduleCodeFlag` to 0, as every save writes it.
void storeWorkingCopies(const SettingsWorkingCopies& copies, SettingsRecord& record);

}  // namespace hx350
