// Write All of a configuration in which every writable setting differs from the design, against the
// simulated module, then Read All into a window started from an empty settings file, then Save: every
// setting the module can be asked for comes back byte for byte, and the report names the others.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/module_run.h"
#include "app/settings_bindings.h"
#include "form_fixture.h"
#include "support/sim_process.h"

namespace hx350::test {
namespace {

const std::string kSimulator = HX350_BIN_DIR "/hx350-sim";
// The form's clock runs some fifteen times faster than the simulator's real one here; a long wait keeps a
// slow answer (a loaded machine, a sanitizer build) from counting as none. An answer ends the wait at once.
constexpr std::uint32_t kPatientMs = 60000;

// A value for a text setting that differs from any design text, fits the field and the module's syntax
// for it, and differs between elements, so that an answer routed into the wrong edit shows.
std::string craftedText(const SettingBinding& row) {
    const std::string_view name = row.layout().name;
    const std::string n = std::to_string(row.element);
    if (name == "SubscriberNumber") return n == "7" ? "+4917012345678901234" : "+4917012345" + n;  // 20 long
    if (name == "PhoneBookNumber") return "+4930987654" + n;
    if (name == "ExternalText") return "Crafted event text " + n;
    if (name == "InternalText") return "state " + n + " x";
    if (name == "TempNumberFilter") return "12AB";
    if (name == "AnalogNumberFilter") return "C3-4";
    if (name == "DigitalNumberFilter") return "0123EF";
    if (name == "AnalogCoeff") return "2121";
    if (name == "AnalogMultiplier") return "15" + n + "0";
    if (name == "ScheduleCode") return "T08  17  ";
    if (name == "OtherString") return "MXEEEEDDDEEDDDE ";
    // The uplink texts: one word, within the shortest of their limits (16).
    std::string word(name.substr(0, 12));
    for (char& c : word)
        c = static_cast<char>(c | 0x20);
    return word + ".n" + n;
}

// A position within [lo, hi] that differs from `design`, spread over the range by `salt`.
int craftedPosition(int lo, int hi, int design, std::size_t salt) {
    const int span = hi - lo + 1;
    int v = lo + static_cast<int>((salt * 7 + 3) % static_cast<std::size_t>(span));
    if (v == design) v = lo + (v - lo + 1) % span;
    return v;
}

// The bytes of the row's element; of a text, its length byte and the characters it counts.
std::string elementBytes(const SettingsRecord& record, const SettingBinding& row) {
    const auto first =
        record.image().begin() + static_cast<std::ptrdiff_t>(row.layout().elementOffset(row.element));
    const std::size_t size = row.layout().encoding == FieldEncoding::ShortString
                                 ? 1 + std::min<std::size_t>(*first, row.layout().capacity())
                                 : row.layout().element_size;
    return std::string(first, first + static_cast<std::ptrdiff_t>(size));
}

class ModuleRoundTrip : public FormOnPtys {
  protected:
    void SetUp() override {
        FormOnPtys::SetUp();
        if (::access(kSimulator.c_str(), X_OK) != 0) GTEST_SKIP() << "hx350-sim is not built: " << kSimulator;
        ASSERT_TRUE(sim_.start(kSimulator, {"--mode", "module", "--answer-delay", "0"}));
        ASSERT_TRUE(catalogue_.setExplicit(1, sim_.path()));
    }

    /// The record of `form` with every writable setting changed from the value it shows.
    SettingsRecord craft(TForm1& form) {
        const std::string design_path = dir_ + "/other.cfg";
        EXPECT_TRUE(form.SaveCFGFile(design_path).ok());
        SettingsRecord design;
        EXPECT_TRUE(readSettingsFile(design_path, design).ok());
        SettingsRecord record = design;
        std::size_t salt = 0;
        for (const SettingBinding& row : form.settingsBindings().rows()) {
            if (!row.canWrite()) continue;
            ++salt;
            switch (row.conversion) {
                case BindingConversion::Checked:
                    record.set(BoolField{row.field}, row.element,
                               !record.get(BoolField{row.field}, row.element));
                    break;
                case BindingConversion::ItemIndex: {
                    const auto* group = form.find<RadioGroup>(row.control);
                    const int items = static_cast<int>(group->Items().size());
                    record.set(Int32Field{row.field}, row.element,
                               (record.get(Int32Field{row.field}, row.element) + 1) % items);
                    break;
                }
                case BindingConversion::Position: {
                    const RangeControl* range = form.find<ScrollBar>(row.control);
                    if (range == nullptr) range = form.find<TrackBar>(row.control);
                    record.set(Int32Field{row.field}, row.element,
                               craftedPosition(range->Min(), range->Max(),
                                               record.get(Int32Field{row.field}, row.element), salt));
                    break;
                }
                case BindingConversion::Text:
                case BindingConversion::WorkingCopy:
                    // Cleared first: the bytes after a text's length are those a save writes, zeros.
                    record.set(TextField{row.field}, row.element, std::string(row.layout().capacity(), '\0'));
                    record.set(TextField{row.field}, row.element, craftedText(row));
                    break;
            }
            EXPECT_NE(recordValueText(record, row), recordValueText(design, row)) << row.key;
        }
        return record;
    }

    /// Runs `run` to its end while the simulator answers in real time and the form's clock moves on in
    /// small steps.
    void runToEnd(ModuleRun& run) {
        ASSERT_TRUE(run.start());
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!run.finished() && std::chrono::steady_clock::now() < deadline) {
            time_.advance(5);
            std::this_thread::sleep_for(std::chrono::microseconds(300));
        }
        ASSERT_TRUE(run.finished()) << "the run did not end";
    }

    SimProcess sim_;
    ManualTimer& pace_ = time_.makeTimer();
};

TEST_F(ModuleRoundTrip, WriteAllThenReadAllIntoAnEmptyWindowGivesBackEveryReadableSetting) {
    writeWholeFile(cfg_path_, std::string());
    const SettingsRecord crafted = craft(start());

    // The crafted configuration, loaded as at start-up, written to the module.
    form_.reset();
    writeRecord(crafted);
    {
        TForm1& form = start();
        ASSERT_TRUE(form.CommPortDriver1().IsConnected()) << form.StatusBar1.Text();
        ModuleRun write(form, ModuleRunKind::WriteAll, pace_, kPatientMs);
        runToEnd(write);
        EXPECT_TRUE(write.allAnswered()) << write.reportCsv();
    }

    // A window started from an empty settings file reads it all back and saves.
    form_.reset();
    writeWholeFile(cfg_path_, std::string());
    TForm1& form = start();
    ModuleRun read(form, ModuleRunKind::ReadAll, pace_, kPatientMs);
    runToEnd(read);
    EXPECT_TRUE(read.allAnswered()) << read.reportCsv();
    const std::string saved_path = dir_ + "/other.cfg";
    ASSERT_TRUE(form.SaveCFGFile(saved_path).ok());
    SettingsRecord saved;
    ASSERT_TRUE(readSettingsFile(saved_path, saved).ok());

    // The settings no read brings into the pages are those the report lists as "not readable"; the others
    // come back byte for byte.
    std::set<std::string> not_readable;
    for (const SettingBinding& row : form.settingsBindings().rows()) {
        if (!row.read_into_page) {
            if (row.canWrite()) not_readable.insert(row.label);
            continue;
        }
        EXPECT_EQ(elementBytes(saved, row), elementBytes(crafted, row))
            << row.key << ": \"" << recordValueText(saved, row) << "\" read, \""
            << recordValueText(crafted, row) << "\" written";
    }
    std::set<std::string> reported;
    for (const ModuleRunReportRow& row : read.report()) {
        if (row.status == StepStatus::NotReadable) reported.insert(row.label);
    }
    EXPECT_EQ(reported, not_readable);
}

}  // namespace
}  // namespace hx350::test
