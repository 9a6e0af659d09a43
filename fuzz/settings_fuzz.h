// What the two settings-file fuzzers share: a scratch folder for the files, whole-file reads and writes,
// and the checks on a record and a saved file.
#pragma once

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/settings_file.h"
#include "app/settings_record.h"
#include "base/window_services.h"

// Checks a promise the sanitizers cannot see; a broken one stops the run with its line.
#define REQUIRE(condition) ((condition) ? void() : hx350::fuzz::fail(#condition, __FILE__, __LINE__))

namespace hx350::fuzz {

[[noreturn]] inline void fail(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
    std::abort();
}

/// The scratch folder and the two files in it (makeScratchFolder).
inline std::string folder;
inline std::string settings_path;
inline std::string copy_path;

inline void writeFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    REQUIRE(fd >= 0);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        REQUIRE(n > 0);
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
}

inline std::string readFile(const std::string& path) {
    std::string out;
    const int fd = ::open(path.c_str(), O_RDONLY);
    REQUIRE(fd >= 0);
    char buf[8192];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        REQUIRE(n >= 0);
        if (n == 0) break;
        out.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return out;
}

inline std::string_view imageText(const SettingsRecord& record) {
    return {reinterpret_cast<const char*>(record.image().data()), record.image().size()};
}

// Reads every element of every named row, and one number on each side of the family.
inline void readEveryField(const SettingsRecord& record) {
    for (std::size_t row = 0; row < kSettingsLayout.size(); ++row) {
        const SettingsFieldLayout& layout = kSettingsLayout[row];
        const int count = static_cast<int>(layout.count);
        for (int number = 0; number <= count + 1; ++number) {
            const bool inside = number >= 1 && number <= count;
            switch (layout.encoding) {
                case FieldEncoding::Int32:
                    REQUIRE(inside || record.get(Int32Field{row}, number) == 0);
                    break;
                case FieldEncoding::Word16:
                    REQUIRE(inside || record.get(Word16Field{row}, number) == 0);
                    break;
                case FieldEncoding::Bool:
                    REQUIRE(inside || !record.get(BoolField{row}, number));
                    break;
                case FieldEncoding::Byte:
                    REQUIRE(inside || record.get(ByteField{row}, number) == 0);
                    break;
                case FieldEncoding::ShortString: {
                    const std::string text = record.get(TextField{row}, number);
                    REQUIRE(text.size() <= layout.capacity());
                    REQUIRE(inside || text.empty());
                    break;
                }
                case FieldEncoding::Reserved:
                    break;
            }
        }
    }
}

// The bytes nobody edits: the reserved ranges and the two carried bytes.
inline bool untouchedBytesKept(std::string_view before, std::string_view after) {
    for (const auto& row : kSettingsLayout) {
        const bool kept = row.encoding == FieldEncoding::Reserved || row.name == "CarriedByte1" ||
                          row.name == "CarriedByte2";
        if (kept && before.substr(row.offset, row.size()) != after.substr(row.offset, row.size()))
            return false;
    }
    return true;
}

// How many of the boxes shown are about the settings file.
inline int settingsMessages(const RecordingWindowServices& services) {
    int count = 0;
    for (const auto& message : services.messages) {
        if (message.text == kCfgAccessErrorText || message.text == kReadBeyondEndOfFileText) ++count;
    }
    return count;
}

/// Makes a fresh folder under $TMPDIR (or /tmp) for settings_path and copy_path, removed at exit.
inline void makeScratchFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/hx350-fuzz-XXXXXX";
    REQUIRE(::mkdtemp(pattern.data()) != nullptr);
    folder = pattern;
    settings_path = folder + "/HX350.cfg";
    copy_path = folder + "/copy.cfg";
    std::atexit([] {
        ::unlink(settings_path.c_str());
        ::unlink(copy_path.c_str());
        ::rmdir(folder.c_str());
    });
}

}  // namespace hx350::fuzz
