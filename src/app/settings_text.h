// The settings text: a readable, editable form of the 4204-byte settings record, one setting per line.
//
//   # HX350 settings
//
//   # Main
//   ModulePhone = "+37060012345"  # Main, HX350 Nummer
//   ...
//   # Analog
//   AnalogLevel[2][Max1] = 36  # Analog, ANALOG INPUT 2, Maximum level 1
//
// Format (UTF-8 text, lines ending in LF; a CR before the LF is accepted and dropped):
// - Blank lines and lines whose first non-blank character is '#' are comments. A setting line is
//   `key = value`, optionally followed by `# comment`. The exporter writes a comment line with the caption
//   of every page before that page's settings, and the setting's label as the trailing comment.
// - Keys are the settings table's keys (settings_bindings.h): the record field's name, with the element of
//   a family in brackets: `ModulePhone`, `ExternalText[5]`, `AnalogLevel[2][Max1]`. The fields the table
//   leaves unbound (kUnboundFields) follow under their own names.
// - Numbers (32-bit, 16-bit and byte fields) are decimal: `-12`, `4000`.
// - Flags are `true` (stored byte 1) or `false` (0). Any other stored byte reads as true in the tool; it is
//   written as the byte in hexadecimal, `0x05`, which an import stores as it stands.
// - Texts are quoted: `"abc"`. Bytes 0x20-0x7E stand for themselves except `"` and `\`, which are escaped
//   as `\"` and `\\`; the control bytes and 0x7F are written `\a \b \t \n \v \f \r` or `\xHH` (exactly two
//   hexadecimal digits); bytes 0x80-0xFF are the Latin-1 characters they are, encoded in UTF-8.
//   A text field stores a length byte and a fixed number of character bytes. Whatever else the field holds
//   follows the text so that nothing is lost:
//     `"abc" tail "xy"`       the bytes after the text's length are "xy" and then zeros (a shortened text
//                             leaves its old characters behind);
//     `"abcdef" length 200`   a length byte above the field's capacity (a damaged file): the quoted text is
//                             the field's character bytes (zeros after it), the number the length byte.
// - `reserved@OFFSET = HEX` sets the bytes of a reserved range from byte OFFSET of the record (decimal) to
//   the bytes given as pairs of hexadecimal digits, all within one reserved range. The exporter writes the
//   non-zero parts of the reserved ranges in lines of at most 32 bytes, each from its first to its last
//   non-zero byte; every reserved byte no line names is 0.
//
// Export then import reproduces every byte of the record, whatever it holds.
//
// Import is strict: every setting must be given exactly once; an unknown key, a repeated key, a malformed
// or out-of-range value, a value of the wrong kind, a bad escape or a line cut short (the text does not end
// with a line end) stops it with an error naming the line and the key, and the record is left as it was.
// With `keep_missing`, settings the text does not give keep their value in the record, and reserved bytes
// no line names keep theirs.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/settings_record.h"

namespace hx350 {

/// One setting of the text form: one element of a named row of kSettingsLayout.
struct SettingsTextEntry {
    std::string key;    ///< "ExternalText[5]"
    std::size_t row;    ///< index into kSettingsLayout
    int number;         ///< 1-based element of the row
    int page;           ///< index of the page that shows it, or kNoPage when no page does
    std::string label;  ///< what a technician reads: "External SMS, Temp.Inp.1 > MAXIMUM1"
};

/// Every setting of the record, in the order the text lists them (page by page, then the settings that no
/// page shows). Each named element of the layout appears exactly once.
const std::vector<SettingsTextEntry>& settingsTextEntries();

/// The caption of page `page` as the text's page comment shows it ("Abonents"); a fixed one for kNoPage.
std::string settingsTextPageCaption(int page);

/// The entry of `key`, or nullptr when no setting has that key.
const SettingsTextEntry* findSettingsTextEntry(std::string_view key);

/// The whole record as text.
std::string exportSettingsText(const SettingsRecord& record);

/// The value of one setting as the text writes it (`"abc"`, `12`, `true`).
std::string settingsTextValue(const SettingsRecord& record, const SettingsTextEntry& entry);

/// Text bytes as the text writes a string: quoted, escaped, 0x80-0xFF as UTF-8 Latin-1 characters.
std::string quotedSettingsText(std::string_view bytes);

struct SettingsTextError {
    std::size_t line = 0;  ///< 1-based line of the text; for a missing setting the line after the last
    std::string key;       ///< the key the line names (empty when the line names none)
    std::string message;   ///< what is wrong, in a few words

    /// "line 12: ModulePhone: text longer than 20 characters"
    std::string describe() const;
};

struct SettingsTextImportOptions {
    /// Settings the text does not give keep their value in the record instead of being an error.
    bool keep_missing = false;
};

/// Reads a settings text into `record`. On success the whole record is replaced (with keep_missing, only
/// what the text names); on error `record` is unchanged and the first error is returned.
std::optional<SettingsTextError> importSettingsText(std::string_view text, SettingsRecord& record,
                                                    const SettingsTextImportOptions& options = {});

/// A reserved range that is not identical in two records: its layout row's offset, and its bytes in each
/// record as the text writes them (hexadecimal up to the last non-zero byte; empty when all zero).
struct ReservedDifference {
    std::size_t offset;
    std::string a;
    std::string b;
};

/// The settings whose bytes differ between two records, in text order, and the reserved ranges that differ.
struct SettingsDifferences {
    std::vector<const SettingsTextEntry*> settings;
    std::vector<ReservedDifference> reserved;

    bool empty() const { return settings.empty() && reserved.empty(); }
};
SettingsDifferences compareSettings(const SettingsRecord& a, const SettingsRecord& b);

}  // namespace hx350
