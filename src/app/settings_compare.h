// What differs between the pages and a settings file or text: the model of the window's "Compare with
// File..." table, one line per setting of the settings table whose page value is not the file's.
#pragma once

#include <string>
#include <vector>

#include "app/form.h"
#include "app/settings_bindings.h"
#include "app/settings_record.h"

namespace hx350 {

struct PageDifference {
    const SettingBinding* row;  ///< the setting: its control (empty for a working copy) and its page
    std::string label;          ///< "Abonents, Numbers, Numbers for alarm SMS, Nr3"
    std::string page;           ///< the page's caption; empty for a value no page shows
    std::string page_value;     ///< as a save would store it (recordValueText form)
    std::string file_value;     ///< as the file holds it (recordValueText form)
};

/// The settings whose value on the pages differs from `file`, in page order. Values are compared as a save
/// would store them, so a text longer than its field compares by what would be kept.
std::vector<PageDifference> compareWithPages(const TForm1& form, const SettingsRecord& file);

}  // namespace hx350
