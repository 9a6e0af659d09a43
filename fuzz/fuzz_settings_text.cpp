// Fuzzes the settings text importer: a text from a technician's editor, a mail client or a damaged disk.
// Every input is imported strictly into a record that already holds values and again with missing
// settings allowed. A refused text names a line within the text and leaves the record as it was; an
// accepted one exports to a text that imports back to the same record and exports to the same text.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/settings_record.h"
#include "app/settings_text.h"

#define REQUIRE(condition) ((condition) ? void() : fail(#condition, __LINE__))

namespace {

using namespace hx350;

[[noreturn]] void fail(const char* condition, int line) {
    std::fprintf(stderr, "fuzz_settings_text.cpp:%d: check failed: %s\n", line, condition);
    std::abort();
}

/// A record whose every byte is set, so that a change by a refused import cannot hide among zeros.
SettingsRecord filledRecord() {
    SettingsRecord::Image image;
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>(i * 7 + 3);
    return SettingsRecord(image);
}

std::size_t lineCount(std::string_view text) {
    std::size_t lines = 0;
    for (const char c : text)
        lines += c == '\n';
    return lines + (!text.empty() && text.back() != '\n');
}

void check(std::string_view text, const SettingsTextImportOptions& options) {
    static const SettingsRecord base = filledRecord();
    SettingsRecord record = base;
    const auto error = importSettingsText(text, record, options);
    if (error) {
        REQUIRE(record == base);
        REQUIRE(error->line >= 1 && error->line <= std::max<std::size_t>(lineCount(text), 1));
        REQUIRE(!error->message.empty());
        return;
    }
    const std::string exported = exportSettingsText(record);
    SettingsRecord again;
    const auto second = importSettingsText(exported, again);
    REQUIRE(!second);
    REQUIRE(again == record);
    REQUIRE(exportSettingsText(again) == exported);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    check(text, {});
    check(text, {.keep_missing = true});
    return 0;
}
