// The settings of the text form, taken from the record layout: every named element once, in file order.
#include <string>
#include <vector>

#include "app/settings_text.h"

namespace hx350 {
namespace {

/// Families whose elements are addressed as [input][threshold], four thresholds per input.
bool isLevelFamily(std::string_view name) {
    return name == "AnalogLevel" || name == "TempLevel";
}

std::string keyOf(const SettingsFieldLayout& row, int number) {
    std::string key(row.name);
    if (row.count == 1) return key;
    if (isLevelFamily(row.name)) {
        const int channel = (number - 1) / 4 + 1;
        const int threshold = (number - 1) % 4 + 1;
        return key + '[' + std::to_string(channel) + "][" + std::to_string(threshold) + ']';
    }
    return key + '[' + std::to_string(number) + ']';
}

std::vector<SettingsTextEntry> buildEntries() {
    std::vector<SettingsTextEntry> entries;
    for (std::size_t row = 0; row < kSettingsLayout.size(); ++row) {
        const SettingsFieldLayout& layout = kSettingsLayout[row];
        if (layout.encoding == FieldEncoding::Reserved) continue;
        for (int number = 1; number <= static_cast<int>(layout.count); ++number) {
            std::string key = keyOf(layout, number);
            entries.push_back({key, row, number, -1, key});
        }
    }
    return entries;
}

}  // namespace

const std::vector<SettingsTextEntry>& settingsTextEntries() {
    static const std::vector<SettingsTextEntry> entries = buildEntries();
    return entries;
}

std::string settingsTextPageCaption(int page) {
    if (page < 0) return "Settings record";
    return "Page " + std::to_string(page + 1);
}

}  // namespace hx350
