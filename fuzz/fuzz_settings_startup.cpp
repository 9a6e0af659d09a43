// Fuzzes the start-up from a settings file of any length and content, followed at once by "Save
// Setting": the form must show the right message (none for a whole record, "Read beyond end of file"
// for a short one), save successfully, and leave the bytes nobody edits as they were read.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "app/form.h"
#include "app/settings_file.h"
#include "app/settings_record.h"
#include "base/clock.h"
#include "base/window_services.h"
#include "settings_fuzz.h"

using namespace hx350;
using namespace hx350::fuzz;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    makeScratchFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    writeFile(settings_path, data, size);
    const bool whole = size >= kSettingsRecordSize;
    {
        ManualTimeSource time(LocalDateTime{2026, 12, 7, 23, 59, 0, 60});
        RecordingWindowServices services;
        FormSeams seams;
        seams.clock = &time;
        seams.poll_timer = &time.makeTimer();
        seams.timer1 = &time.makeTimer();
        seams.services = &services;
        seams.settings_path = settings_path;
        // An empty machine: no serial devices to list or watch (the device folders are not under test).
        seams.roots = {folder + "/sys", folder + "/dev", folder + "/proc"};
        TForm1 form(std::move(seams));
        form.FormCreate();
        REQUIRE(form.settingsLoadStatus().result ==
                (whole ? SettingsFileResult::Ok : SettingsFileResult::ReadBeyondEnd));
        // A short file is reported once, a whole one not at all, and the save adds nothing. (In SMS mode
        // the ticks also report once that the port, which this form has not got, cannot be opened.)
        REQUIRE(settingsMessages(services) == (whole ? 0 : 1));
        time.advance(3000);
        form.SaveSetting1Click();
        REQUIRE(settingsMessages(services) == (whole ? 0 : 1));
    }
    const std::string saved = readFile(settings_path);
    REQUIRE(saved.size() == kSettingsRecordSize);
    if (whole) REQUIRE(untouchedBytesKept(input, saved));
    return 0;
}
