#include "app/settings_compare.h"

namespace hx350 {

std::vector<PageDifference> compareWithPages(const TForm1& form, const SettingsRecord& file) {
    std::vector<PageDifference> differences;
    for (const SettingBinding* row : form.settingsBindings().inPageOrder()) {
        std::string on_page = form.pageValueText(*row);
        std::string in_file = recordValueText(file, *row);
        if (on_page == in_file) continue;
        std::string page;
        if (row->page >= 0 && row->page < kPageCount)
            page = kPageCaptions[static_cast<std::size_t>(row->page)];
        differences.push_back({row, row->label, std::move(page), std::move(on_page), std::move(in_file)});
    }
    return differences;
}

}  // namespace hx350
