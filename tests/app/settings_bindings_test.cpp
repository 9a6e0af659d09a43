// The settings table against the record layout and the form's design, and save-after-load on every
// settings file the tests and the fuzzers keep.
#include "app/settings_bindings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "app/form.h"
#include "base/window_services.h"
#include "support/files.h"

namespace hx350 {
namespace {

namespace fs = std::filesystem;

bool isUnbound(std::string_view name) {
    for (const UnboundField& unbound : kUnboundFields) {
        if (unbound.name == name) return true;
    }
    return false;
}

TEST(SettingsBindings, EveryNamedFieldElementHasOneRowOrIsListedUnbound) {
    const TForm1 form;
    std::map<std::pair<std::size_t, int>, int> rows_per_element;
    for (const SettingBinding& row : form.settingsBindings().rows())
        ++rows_per_element[{row.field, row.element}];

    for (const UnboundField& unbound : kUnboundFields) {
        const bool named = std::any_of(kSettingsLayout.begin(), kSettingsLayout.end(),
                                       [&](const SettingsFieldLayout& l) { return l.name == unbound.name; });
        EXPECT_TRUE(named) << unbound.name;
    }
    for (std::size_t field = 0; field < kSettingsLayout.size(); ++field) {
        const SettingsFieldLayout& layout = kSettingsLayout[field];
        const int expected = layout.encoding == FieldEncoding::Reserved || isUnbound(layout.name) ? 0 : 1;
        for (int element = 1; element <= static_cast<int>(layout.count); ++element) {
            const auto it = rows_per_element.find({field, element});
            EXPECT_EQ(it == rows_per_element.end() ? 0 : it->second, expected)
                << layout.name << "[" << element << "]";
            if (it != rows_per_element.end()) rows_per_element.erase(it);
        }
    }
    EXPECT_TRUE(rows_per_element.empty()) << "rows outside the layout's elements";
}

/// The encoding each conversion stores into, and the kinds of control it reads.
bool fits(const SettingBinding& row, const ControlEntry* control) {
    const FieldEncoding encoding = row.layout().encoding;
    switch (row.conversion) {
        case BindingConversion::Text:
            return encoding == FieldEncoding::ShortString && control && control->kind == ControlKind::Edit;
        case BindingConversion::Checked:
            return encoding == FieldEncoding::Bool && control && control->kind == ControlKind::CheckBox;
        case BindingConversion::ItemIndex:
            return encoding == FieldEncoding::Int32 && control && control->kind == ControlKind::RadioGroup;
        case BindingConversion::Position:
            return encoding == FieldEncoding::Int32 && control &&
                   (control->kind == ControlKind::ScrollBar || control->kind == ControlKind::TrackBar);
        case BindingConversion::WorkingCopy:
            return control == nullptr && !std::holds_alternative<std::monostate>(row.working);
    }
    return false;
}

TEST(SettingsBindings, EveryRowNamesControlsAndHandlersTheDesignHas) {
    const TForm1 form;
    std::set<std::string> keys;
    std::set<std::string> labels;
    for (const SettingBinding& row : form.settingsBindings().rows()) {
        SCOPED_TRACE(row.key);
        ASSERT_LT(row.field, kSettingsLayout.size());
        EXPECT_GE(row.element, 1);
        EXPECT_LE(row.element, static_cast<int>(row.layout().count));
        EXPECT_TRUE(keys.insert(row.key).second) << "key twice";
        EXPECT_TRUE(labels.insert(row.label).second) << "label twice: " << row.label;
        EXPECT_EQ(row.key.rfind(row.layout().name, 0), 0U);

        const ControlEntry* control = row.hasControl() ? form.find(row.control) : nullptr;
        EXPECT_TRUE(fits(row, control)) << row.control;
        if (control != nullptr) {
            EXPECT_EQ(row.page, control->page);
        }
        if (row.page != kNoPage) {
            const std::string_view caption = kPageCaptions.at(static_cast<std::size_t>(row.page));
            EXPECT_EQ(row.label.rfind(caption, 0), 0U) << row.label;
        }

        // A write or read is the handler the named button runs; a box and a selector are of their kind.
        const auto runs = [&](const std::string& button, const std::string& handler) {
            if (button.empty()) return handler.empty();
            const ControlEntry* entry = form.find(button);
            return entry && entry->kind == ControlKind::Button && !handler.empty() &&
                   entry->handler == handler;
        };
        EXPECT_TRUE(runs(row.write_button, row.write)) << row.write_button;
        EXPECT_TRUE(runs(row.read_button, row.read)) << row.read_button;
        if (!row.read_box.empty()) {
            EXPECT_EQ(form.find(row.read_box)->kind, ControlKind::CheckBox);
        }
        if (!row.selector.empty()) {
            EXPECT_EQ(form.find(row.selector)->kind, ControlKind::RadioGroup);
        }
    }
}

TEST(SettingsBindings, KeysLabelsAndPageOrderFollowTheDesign) {
    const TForm1 form;
    const SettingsBindings& table = form.settingsBindings();

    const SettingBinding* level = table.find("AnalogLevel[2][Max1]");
    ASSERT_NE(level, nullptr);
    EXPECT_EQ(level->element, levelNumber(2, Threshold::Max1));
    EXPECT_EQ(level->control, "ScrollBarMax21");
    EXPECT_EQ(table.find("ExternalText[4]")->label, "External SMS, Temp.Inp.1 > MAXIMUM1");
    EXPECT_EQ(table.find("GprsApn")->label, "GPRS, FTP, GPRS, APN");
    EXPECT_EQ(table.find("InternalText[56]")->read_box, "nGetText");
    // Hidden buttons carry no behaviour, so the rows behind them have no write.
    EXPECT_FALSE(table.find("ExternalText[11]")->canWrite());
    EXPECT_EQ(table.find("ExternalText[5]")->write, "TXTSMSb5Click");
    EXPECT_EQ(table.find("nothing"), nullptr);

    const std::vector<const SettingBinding*> pages = table.inPageOrder();
    ASSERT_EQ(pages.size(), table.rows().size());
    const auto rank = [](const SettingBinding* row) { return row->page == kNoPage ? kPageCount : row->page; };
    EXPECT_TRUE(std::is_sorted(pages.begin(), pages.end(),
                               [&](const auto* a, const auto* b) { return rank(a) < rank(b); }));
}

// ---------------------------------------------------------------------------------------------------------
// Save after load: the first save settles what start-up fixes; from then on a load and a save give back
// the same bytes, and every setting the pages show is what the record holds.

std::vector<fs::path> settingsInputs() {
    std::vector<fs::path> inputs{fs::path(HX350_TEST_DATA_DIR) / "settings" / "golden.cfg"};
    const fs::path corpus = fs::path(HX350_TEST_DATA_DIR) / ".." / ".." / "fuzz" / "corpus";
    for (const char* name : {"settings", "settings_startup"}) {
        for (const auto& entry : fs::directory_iterator(corpus / name))
            inputs.push_back(entry.path());
    }
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

class SaveAfterLoad : public ::testing::Test {
  protected:
    /// Starts a form on the file `bytes`, checks what it loaded (and, for a file already saved once, that
    /// every setting shows what the record holds), saves, and returns the saved file.
    std::string loadAndSave(const std::string& bytes, SettingsFileResult expected, bool settled) {
        test::writeWholeFile(folder_.file(), bytes);
        RecordingWindowServices services;
        FormSeams seams;
        seams.services = &services;
        seams.settings_path = folder_.file();
        TForm1 form(std::move(seams));
        form.FormCreate();
        EXPECT_EQ(form.settingsLoadStatus().result, expected);
        if (settled) {
            for (const SettingBinding& row : form.settingsBindings().rows())
                EXPECT_EQ(form.pageValueText(row), recordValueText(form.settings(), row)) << row.key;
        }
        form.SaveSetting1Click();
        return test::readWholeFile(folder_.file());
    }

    // Hundreds of saves, each flushed to the device: kept in memory where the machine allows.
    test::ScratchFolder folder_{test::memoryTempDir()};
};

TEST_F(SaveAfterLoad, EverySettingsFileSettlesAfterOneSave) {
    const std::vector<fs::path> inputs = settingsInputs();
    ASSERT_GT(inputs.size(), 100U);
    for (const fs::path& input : inputs) {
        SCOPED_TRACE(input.filename().string());
        const std::string bytes = test::readWholeFile(input.string());
        const SettingsFileResult loaded =
            bytes.size() < kSettingsRecordSize ? SettingsFileResult::ReadBeyondEnd : SettingsFileResult::Ok;
        const std::string first = loadAndSave(bytes, loaded, false);
        ASSERT_EQ(first.size(), kSettingsRecordSize);
        // A whole record keeps every byte nobody edits; a short one keeps the part that was read.
        const std::size_t read = std::min(bytes.size(), kSettingsRecordSize);
        for (const SettingsFieldLayout& layout : kSettingsLayout) {
            if (layout.encoding != FieldEncoding::Reserved && !isUnbound(layout.name)) continue;
            if (layout.name == "ScheduleCodeFlag" || layout.end() > read) continue;
            EXPECT_EQ(first.substr(layout.offset, layout.size()), bytes.substr(layout.offset, layout.size()))
                << layout.name << " at " << layout.offset;
        }
        // After a short file the working copies were never loaded, so the design values go through one
        // whole start-up before they settle.
        const std::string settled =
            loaded == SettingsFileResult::Ok ? first : loadAndSave(first, SettingsFileResult::Ok, false);
        EXPECT_EQ(loadAndSave(settled, SettingsFileResult::Ok, true), settled);
        if (HasFailure()) return;
    }
}

}  // namespace
}  // namespace hx350
