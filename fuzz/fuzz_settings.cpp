// Fuzzes the settings file: a file from another machine or a damaged disk, of any length and content.
// Each input is written as the settings file and read; every field of the layout is read back; the
// values start-up fixes in the record (number filter defaults, the padded text, the working copies) are
// applied and stored back as a save does; and the record is written to a second file and compared.
// fuzz_settings_startup runs the whole form on the same inputs.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/settings_file.h"
#include "app/settings_record.h"
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

    // The reader: a whole record, or the part a short file holds over the all-zero record.
    SettingsRecord record;
    const SettingsFileStatus read = readSettingsFile(settings_path, record);
    const std::size_t taken = size < kSettingsRecordSize ? size : kSettingsRecordSize;
    REQUIRE(read.result ==
            (size < kSettingsRecordSize ? SettingsFileResult::ReadBeyondEnd : SettingsFileResult::Ok));
    REQUIRE(read.bytes_read == taken);
    REQUIRE(imageText(record).substr(0, taken) == input.substr(0, taken));
    REQUIRE(imageText(record).find_first_not_of('\0', taken) == std::string_view::npos);
    readEveryField(record);

    // What start-up fixes in the record, and what a save stores back.
    applyNumberFilterDefaults(record);
    REQUIRE(!record.get(cfg::TempNumberFilter).empty() && !record.get(cfg::AnalogNumberFilter).empty() &&
            !record.get(cfg::DigitalNumberFilter).empty());
    REQUIRE(padOtherString(record).size() == kOtherStringLength);
    const SettingsWorkingCopies copies = takeWorkingCopies(record);
    REQUIRE(copies.CarriedInt3 <= 4);
    storeWorkingCopies(copies, record);
    REQUIRE(record.get(cfg::ScheduleCodeFlag) == 0);
    readEveryField(record);

    // The writer: exactly the image, whatever it holds, and nothing nobody edits changed.
    REQUIRE(writeSettingsFile(copy_path, record).ok());
    const std::string saved = readFile(copy_path);
    REQUIRE(saved == imageText(record));
    if (read.ok()) REQUIRE(untouchedBytesKept(input, saved));
    return 0;
}
