// The event masks: which of subscribers 1..4 hear of each event source, or that the source is disabled.
// A mask is a short text with one character per source: an upper-case hexadecimal digit whose bits are
// the subscribers (1 = subscriber 1, 2 = subscriber 2, 4 = subscriber 3, 8 = subscriber 4), or "-" for a
// disabled source. While a source is disabled its last digit waits in a "parked" character.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace hx350::params {

enum class MaskKind {
    kTemperature,  ///< temperature 1, 2 and counters 1, 2: 4 positions
    kAnalog,       ///< analog inputs 1..4: 4 positions
    kDigital,      ///< digital inputs 1..7: 7 positions, the first 6 are sent
};

inline constexpr std::string_view kInitialTemperatureMask = "FFFF";
inline constexpr std::string_view kInitialAnalogMask = "FFFF";
inline constexpr std::string_view kInitialDigitalMask = "FFFF-- ";
inline constexpr char kDisabledSource = '-';
/// Positions of the digital mask that the module takes.
inline constexpr std::size_t kSentDigitalPositions = 6;

/// hexDigitValue: the value of a mask digit, "0".."9" -> 0..9 and "A".."F" -> 10..15.
/// Result: nullopt for any other character (also lower-case letters and "-").
std::optional<int> hexDigitValue(char ch);

/// hexDigitChar: a value 0..15 as an upper-case hexadecimal digit (values are taken modulo 16).
char hexDigitChar(int value);

/// subscriberBit: the bit of subscriber 1..4 (1, 2, 4, 8); 0 for any other subscriber number.
int subscriberBit(int subscriber);

/// HEXfromCheckBox: `value` with `bit` set, for a 4-bit mask value.
/// Parameters: value - 0..15; bit - one of 1, 2, 4, 8. Any other bit value sets nothing.
/// Result: the new value.
int HEXfromCheckBox(int value, int bit);

/// HEXfromUnCheckBox: `value` with `bit` cleared; any bit value other than 1, 2, 4, 8 clears nothing.
int HEXfromUnCheckBox(int value, int bit);

/// withSubscriberBox: the mask text (or parked digits) after subscriber box `subscriber` of the source at
/// `position` was ticked (`checked`) or unticked.
///
/// Parameters: text - the mask edit's text, or the parked digits of a disabled source's mask;
///             position - 1-based position of the source; subscriber - 1..4; checked - the box's new state.
/// Result: `text` with the character at `position` rewritten as an upper-case digit with the bit set or
///         cleared. A character that is not a hexadecimal digit, or a position the text does not have, is
///         left unchanged (only the box changes).
std::string withSubscriberBox(std::string_view text, int position, int subscriber, bool checked);

/// A mask text together with the parked character of one of its sources.
struct MaskAndParked {
    std::string mask;
    char parked = kDisabledSource;
};

/// disableSource: the "Disable" box of the source at `position` was ticked: the character there is parked
/// and replaced by "-".
/// Parameters: mask - the mask edit's text; parked - the source's current parked character; position -
///             1-based. Result: the new mask and parked character. A position the mask does not have
///             changes nothing.
MaskAndParked disableSource(std::string_view mask, char parked, int position);

/// enableSource: the "Disable" box of the source at `position` was unticked: the parked character comes
/// back at `position`. A parked character that is not a hexadecimal digit (a source that started disabled)
/// comes back as "0" (enabled, no subscriber), for every mask, so the mask never says disabled while the
/// page shows the source enabled. Result: the new mask and the (unchanged) parked character. A position
/// the mask does not have changes nothing.
MaskAndParked enableSource(std::string_view mask, char parked, int position);

/// What the check boxes of one source show for a mask character at start-up.
struct SourceBoxes {
    bool disabled = true;
    bool subscriber[4] = {false, false, false, false};  ///< subscribers 1..4
};

/// decodeMaskCharacter: a hexadecimal digit ticks the subscriber boxes of its bits and unticks "Disable";
/// any other character ticks "Disable" and unticks the four subscriber boxes.
SourceBoxes decodeMaskCharacter(char ch);

/// savedMaskOrDefault: the mask to start from for a saved mask text. An empty temperature or analog mask
/// is taken as "--00", an empty digital mask as "0000000"; a non-empty one is returned unchanged.
std::string savedMaskOrDefault(MaskKind kind, std::string_view saved);

/// setMasksCommand: "SETME," temperature "," analog "," the first 6 characters of digital " ", e.g.
/// "SETME,FFFF,FFFF,FFFF-- ". The masks are sent as they stand, "-" included.
std::string setMasksCommand(std::string_view temperature, std::string_view analog, std::string_view digital);

}  // namespace hx350::params
