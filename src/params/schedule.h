// The SMS schedule: a nine-character code (message type, period or first send hour, three more send
// hours), the immediate edits the page's controls make to it, the code "SET" stores and sends, the
// decoding of a stored code into the page's controls, and the recipient mask.
//
// Code layout (1-based characters): 1 type ("A", "T", "C", "L"; nine spaces when disabled), 2-3 the period
// ("33" hourly, "44" 10 min, "55" 20 min, "66" 30 min) or the first send hour, 4-5, 6-7, 8-9 send hours
// 2 to 4. A send hour is two digits "00".."23" or two spaces.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace hx350::params {

inline constexpr std::size_t kScheduleCodeLength = 9;
inline constexpr int kSendHours = 4;
inline constexpr std::string_view kGetSchedule = "GETSH";
/// Item indexes of the "SMS Type" radio group.
inline constexpr int kScheduleTypeDisable = 4;
/// Item index of "other" in the "Timeout" radio group: the first send hour instead of a period.
inline constexpr int kSchedulePeriodOther = 4;
/// Recipient mask at start: number 1 is shown checked, so its bit is set.
inline constexpr int kInitialRecipientMask = 1;

/// paddedScheduleCode: a non-empty code shorter than nine characters padded with spaces to nine, a longer
/// one cut to nine; an empty code stays empty.
std::string paddedScheduleCode(std::string_view code);

/// applyTrackBarChange: track bar of send hour `hour` (1..4) moved to `position` (0..23).
/// Result: when the row's "Enable" box is checked and the code is not empty, the (padded) code with the
/// position as two digits at the characters of that send hour; otherwise the code unchanged.
std::string applyTrackBarChange(std::string_view code, int hour, int position, bool enabled);

/// applyCheckBoxSClick: "Enable" box of send hour `hour` (1..4) clicked. Unchecking it puts two spaces at
/// that hour's characters of a non-empty (padded) code; checking it changes nothing.
std::string applyCheckBoxSClick(std::string_view code, int hour, bool checked);

/// applyRadioGroup1Click: period chosen. Item 0..3 ("Hours", "10 min", "20 min", "30 min") puts "33",
/// "44", "55", "66" at characters 2-3 of a non-empty (padded) code; "other" or no selection leaves them.
std::string applyRadioGroup1Click(std::string_view code, int period_index);

/// applySMSShedClick: message type chosen. Character 1 of a non-empty (padded) code becomes, by item
/// index, 0 "A", 1 "T", 2 "D", 3 "3", 4 "5"; no selection (any other index) gives a space. These letters
/// differ from those "SET" writes for items 2 to 4; "SET" always rewrites character 1.
std::string applySMSShedClick(std::string_view code, int type_index);

/// The page's controls as "SET" reads them.
struct ScheduleControls {
    int type_index = 0;                                       ///< "SMS Type" item, -1 for none
    int period_index = 0;                                     ///< "Timeout" item, -1 for none
    bool enabled[kSendHours] = {false, false, false, false};  ///< `CheckBoxS1`..`CheckBoxS4`
    int hours[kSendHours] = {0, 0, 0, 0};                     ///< `TrackBar1`..`TrackBar4` positions
};

/// scheduleCodeForSet: the code "SET" stores and sends: the code (nine spaces when empty, padded when
/// short), each enabled send hour written, characters 2-3 replaced by the period digits (kept for "other"
/// or no selection), character 1 the type "A", "T", "C", "L" for items 0..3; "Disable" or no selection
/// makes the whole code nine spaces. Result: exactly nine characters.
std::string scheduleCodeForSet(std::string_view code, const ScheduleControls& controls);

/// setScheduleCommand: "SETSH," followed by exactly nine characters of the code (padded with spaces or
/// cut), e.g. "SETSH,T08  17  " (15 characters).
std::string setScheduleCommand(std::string_view code);

/// What a stored code shows on the page at start-up.
struct RestoredSchedule {
    int type_index = kScheduleTypeDisable;  ///< "SMS Type" item to select
    /// "Timeout" item to select; nullopt leaves the current selection.
    std::optional<int> period_index;
    /// Per send hour: the track bar position with "Enable" checked, or nullopt for "Enable" unchecked.
    /// The value is the two digits as stored (a track bar clamps it to its range); for the first hour a
    /// value of 24 or more (a period code such as "33") gives position 0.
    std::optional<int> hour_position[kSendHours];
};

/// decodeScheduleCode: the selections a stored code (at most nine characters used) gives the page:
/// character 1 "A" 0, "T" 1, "D" 2, "3" 3, "5" 4, anything else (also "C", "L", a space or an empty code)
/// "Disable"; characters 2-3 "33" 0, "44" 1, "55" 2, "66" 3, a first character outside "3".."6" (or
/// missing) "other", a first character "3".."6" with a different second leaves the selection; a send
/// hour whose two characters are both digits checks its "Enable" box. A character past the end of a short
/// code counts as no digit.
RestoredSchedule decodeScheduleCode(std::string_view code);

/// recipientMaskWith: the recipient mask after the box of number 1..3 was checked (bit set) or unchecked
/// (bit cleared). Bits: 1 = number 1, 2 = number 2, 4 = number 3. Another number changes nothing.
int recipientMaskWith(int mask, int number, bool checked);

/// recipientsCommand: "SNFLT" followed by the recipient mask as one digit "0".."7" (only its three bits
/// are sent), e.g. "SNFLT5".
std::string recipientsCommand(int mask);

}  // namespace hx350::params
