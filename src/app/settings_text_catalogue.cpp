// The settings of the text form: the settings table's rows in page order, then the record fields no row
// binds (they are kept in the file all the same, so they are in the text).
#include <string>
#include <vector>

#include "app/form.h"
#include "app/settings_bindings.h"
#include "app/settings_text.h"

namespace hx350 {
namespace {

std::size_t layoutRowNamed(std::string_view name) {
    for (std::size_t row = 0; row < kSettingsLayout.size(); ++row) {
        if (kSettingsLayout[row].name == name && kSettingsLayout[row].encoding != FieldEncoding::Reserved)
            return row;
    }
    return kSettingsLayout.size();
}

std::vector<SettingsTextEntry> buildEntries() {
    // The table's labels come from the window design's captions; a form is built once to read them (it
    // opens and reads nothing).
    const TForm1 form;
    std::vector<SettingsTextEntry> entries;
    for (const SettingBinding* row : form.settingsBindings().inPageOrder())
        entries.push_back({row->key, row->field, row->element, row->page, row->label});
    for (const UnboundField& unbound : kUnboundFields) {
        const std::size_t row = layoutRowNamed(unbound.name);
        for (int number = 1;
             row < kSettingsLayout.size() && number <= static_cast<int>(kSettingsLayout[row].count);
             ++number) {
            std::string key(unbound.name);
            if (kSettingsLayout[row].count > 1) key += '[' + std::to_string(number) + ']';
            entries.push_back({key, row, number, kNoPage, key + ": " + std::string(unbound.reason)});
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
    if (page >= 0 && page < kPageCount) return std::string(kPageCaptions[static_cast<std::size_t>(page)]);
    return "On no page: values the file carries";
}

}  // namespace hx350
