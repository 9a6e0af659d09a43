#include "app/settings_record.h"

#include <algorithm>

namespace hx350 {
namespace {

// Explicit little-endian packing: the file has the same byte order on every machine that reads it.

std::uint32_t loadLittle32(const std::uint8_t* at) {
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
           static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

void storeLittle32(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
    at[2] = static_cast<std::uint8_t>(value >> 16);
    at[3] = static_cast<std::uint8_t>(value >> 24);
}

std::uint16_t loadLittle16(const std::uint8_t* at) {
    return static_cast<std::uint16_t>(at[0] | at[1] << 8);
}

void storeLittle16(std::uint8_t* at, std::uint16_t value) {
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

}  // namespace

std::size_t SettingsRecord::elementAt(const SettingsFieldLayout& row, int number) {
    if (number < 1 || static_cast<std::size_t>(number) > row.count) return kSettingsRecordSize;
    const std::size_t at = row.elementOffset(number);
    // The layout checks guarantee this; it also keeps a corrupted handle from reaching past the image.
    if (at + row.element_size > kSettingsRecordSize) return kSettingsRecordSize;
    return at;
}

void SettingsRecord::loadPrefix(std::span<const std::uint8_t> bytes) {
    const std::size_t n = std::min(bytes.size(), image_.size());
    std::copy_n(bytes.begin(), n, image_.begin());
}

std::int32_t SettingsRecord::get(Int32Field field, int number) const {
    const std::size_t at = elementAt(field.layout(), number);
    if (at == kSettingsRecordSize) return 0;
    return static_cast<std::int32_t>(loadLittle32(&image_[at]));
}

std::uint16_t SettingsRecord::get(Word16Field field, int number) const {
    const std::size_t at = elementAt(field.layout(), number);
    if (at == kSettingsRecordSize) return 0;
    return loadLittle16(&image_[at]);
}

bool SettingsRecord::get(BoolField field, int number) const {
    const std::size_t at = elementAt(field.layout(), number);
    if (at == kSettingsRecordSize) return false;
    return image_[at] != 0;
}

std::uint8_t SettingsRecord::get(ByteField field, int number) const {
    const std::size_t at = elementAt(field.layout(), number);
    if (at == kSettingsRecordSize) return 0;
    return image_[at];
}

std::string SettingsRecord::get(TextField field, int number) const {
    const SettingsFieldLayout& row = field.layout();
    const std::size_t at = elementAt(row, number);
    if (at == kSettingsRecordSize) return {};
    const std::size_t length = std::min<std::size_t>(image_[at], row.capacity());
    const auto* first = reinterpret_cast<const char*>(&image_[at + 1]);
    return std::string(first, length);
}

bool SettingsRecord::set(Int32Field field, int number, std::int32_t value) {
    const std::size_t at = elementAt(field.layout(), number);
    if (at == kSettingsRecordSize) return false;
    storeLittle32(&image_[at], static_cast<std::uint32_t>(value));
    return true;
}

bool SettingsRecord::set(Word16Field field, int number, std::uint16_t value) {
    const std::size_t at = elementAt(field.layout(), number);
    if (at == kSettingsRecordSize) return false;
    storeLittle16(&image_[at], value);
    return true;
}

bool SettingsRecord::set(BoolField field, int number, bool value) {
    const std::size_t at = elementAt(field.layout(), number);
    if (at == kSettingsRecordSize) return false;
    image_[at] = value ? 1 : 0;
    return true;
}

bool SettingsRecord::set(ByteField field, int number, std::uint8_t value) {
    const std::size_t at = elementAt(field.layout(), number);
    if (at == kSettingsRecordSize) return false;
    image_[at] = value;
    return true;
}

bool SettingsRecord::set(TextField field, int number, std::string_view text) {
    const SettingsFieldLayout& row = field.layout();
    const std::size_t at = elementAt(row, number);
    if (at == kSettingsRecordSize) return false;
    const std::size_t length = std::min(text.size(), row.capacity());
    image_[at] = static_cast<std::uint8_t>(length);
    std::copy_n(text.begin(), length, reinterpret_cast<char*>(&image_[at + 1]));
    return true;
}

void applyNumberFilterDefaults(SettingsRecord& record) {
    const struct {
        TextField field;
        std::string_view fallback;
    } filters[] = {
        {cfg::TempNumberFilter, kDefaultTempNumberFilter},
        {cfg::AnalogNumberFilter, kDefaultAnalogNumberFilter},
        {cfg::DigitalNumberFilter, kDefaultDigitalNumberFilter},
    };
    for (const auto& filter : filters) {
        if (record.get(filter.field).empty()) record.set(filter.field, filter.fallback);
    }
}

std::string padOtherString(SettingsRecord& record) {
    std::string text = record.get(cfg::OtherString);
    text.resize(kOtherStringLength, ' ');
    record.set(cfg::OtherString, text);
    return text;
}

SettingsWorkingCopies takeWorkingCopies(const SettingsRecord& record) {
    SettingsWorkingCopies copies;
    copies.PollFactor = record.get(cfg::PollFactor);
    copies.TempFormat = record.get(cfg::TempFormat);
    copies.OtherString = record.get(cfg::OtherString);
    copies.ScheduleCode = record.get(cfg::ScheduleCode);
    copies.CarriedInt1 = record.get(cfg::CarriedInt1);
    copies.CarriedInt2 = record.get(cfg::CarriedInt2);
    copies.CarriedInt3 = carriedInt3WorkingValue(record.get(cfg::CarriedInt3));
    copies.CarriedWord1 = record.get(cfg::CarriedWord1);
    copies.CarriedWord2 = record.get(cfg::CarriedWord2);
    return copies;
}

void storeWorkingCopies(const SettingsWorkingCopies& copies, SettingsRecord& record) {
    record.set(cfg::PollFactor, copies.PollFactor);
    record.set(cfg::ScheduleCode, copies.ScheduleCode);
    record.set(cfg::ScheduleCodeFlag, std::uint8_t{0});
    record.set(cfg::TempFormat, copies.TempFormat);
    record.set(cfg::OtherString, copies.OtherString);
    record.set(cfg::CarriedInt1, copies.CarriedInt1);
    record.set(cfg::CarriedInt2, copies.CarriedInt2);
    record.set(cfg::CarriedInt3, copies.CarriedInt3);
    record.set(cfg::CarriedWord1, copies.CarriedWord1);
    record.set(cfg::CarriedWord2, copies.CarriedWord2);
}

}  // namespace hx350
