// A file of settings as a technician hands it over: either a settings file (the 4204-byte record, as
// "HX350.cfg" holds it) or a settings text (settings_text.h), told apart by content.
//
// A file that holds a NUL byte or is not UTF-8 is a settings file: its first 4204 bytes are the record, as
// start-up reads it; a shorter one is refused. Any other file is a settings text, except that a file of
// exactly 4204 bytes that does not import as a text is taken as a settings file (a record can, in theory,
// hold no NUL byte).
#pragma once

#include <optional>
#include <string>

#include "app/settings_record.h"
#include "app/settings_text.h"

namespace hx350 {

enum class SettingsSourceKind { SettingsFile, SettingsText };

struct SettingsSource {
    SettingsRecord record;
    SettingsSourceKind kind = SettingsSourceKind::SettingsFile;
};

struct SettingsSourceError {
    std::string path;
    std::optional<SettingsTextError> text;  ///< the text's error, when the file is a settings text
    std::string message;                    ///< otherwise: what failed

    /// "site.txt:12: ModulePhone: text longer than 20 characters", "old.cfg: Read beyond end of file ..."
    std::string describe() const;
};

struct SettingsSourceResult {
    std::optional<SettingsSource> source;
    std::optional<SettingsSourceError> error;
};

/// Reads the file `path` as a settings file or a settings text (strict import: every setting given).
SettingsSourceResult readSettingsSource(const std::string& path);

/// Reads the whole file `path` into `content` (a regular file of at most 16 MiB); an error otherwise.
std::optional<SettingsSourceError> readWholeFile(const std::string& path, std::string& content);

/// What readSettingsSource decides for `content`, without the file: whether it is read as a text.
bool looksLikeSettingsText(std::string_view content);

}  // namespace hx350
