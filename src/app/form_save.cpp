// "Save Setting": every page into the settings record, through the working copies, then the file.
#include <string>

#include "app/form.h"

namespace hx350 {

void TForm1::SaveSetting1Click() {
    storeAnalogSettings();
    SaveCFGFile(settings_path_);
}

SettingsFileStatus TForm1::SaveCFGFile(const std::string& name) {
    snapshotPages();
    if (settings_ops_ != nullptr) return hx350::SaveCFGFile(name, record_, services_, *settings_ops_);
    return hx350::SaveCFGFile(name, record_, services_);
}

// The settings of the Analog page, which "Save Setting" takes first.
void TForm1::storeAnalogSettings() {
    for (const SettingBinding& row : bindings_->rows()) {
        if (row.page == kAnalogPage) storeBinding(row, record_);
    }
}

// Every row of the settings table; texts are cut to their fields by the record. The reserved ranges and
// the two carried bytes are left exactly as they were read.
void TForm1::snapshotPages() {
    for (const SettingBinding& row : bindings_->rows())
        storeBinding(row, record_);
    record_.set(cfg::ScheduleCodeFlag, std::uint8_t{0});
}

void TForm1::storeBinding(const SettingBinding& row, SettingsRecord& into) const {
    switch (row.conversion) {
        case BindingConversion::Text:
            into.set(TextField{row.field}, row.element, find<Edit>(row.control)->Text());
            return;
        case BindingConversion::Checked:
            into.set(BoolField{row.field}, row.element, find<CheckBox>(row.control)->Checked());
            return;
        case BindingConversion::ItemIndex:
            into.set(Int32Field{row.field}, row.element, find<RadioGroup>(row.control)->ItemIndex());
            return;
        case BindingConversion::Position:
            if (const ScrollBar* bar = find<ScrollBar>(row.control))
                into.set(Int32Field{row.field}, row.element, bar->Position());
            if (const hx350::TrackBar* bar = find<hx350::TrackBar>(row.control))
                into.set(Int32Field{row.field}, row.element, bar->Position());
            return;
        case BindingConversion::WorkingCopy:
            withWorkingCopy(row,
                            [&](auto field, auto member) { into.set(field, row.element, working_.*member); });
            return;
    }
}

std::string TForm1::pageValueText(const SettingBinding& row) const {
    // What a save would store, read back from a scratch record: the same cuts and encodings.
    SettingsRecord stored;
    storeBinding(row, stored);
    return recordValueText(stored, row);
}

}  // namespace hx350
