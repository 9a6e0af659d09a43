// Module commands of the remaining options: the option mask (minus mark, plus mark and thirteen E/D
// options), the timeout filters and the automatic restart switch.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace hx350::params {

/// Option mask as the page starts: minus mark "M", plus mark "P", options 3..15.
inline constexpr std::string_view kOptionMaskDesign = "MPEDEEDDDEEDDDE";
/// Characters of the mask that "SET" sends and stores (the mask is padded with spaces up to this).
inline constexpr std::size_t kOptionMaskLength = 16;
inline constexpr int kFirstOptionBox = 3;
inline constexpr int kLastOptionBox = 15;
inline constexpr std::string_view kGetOptions = "GETMP";

/// optionMaskWith: the mask after option box `box` (3..15, `oCheckBox3`..`oCheckBox15`) was clicked:
/// character `box` becomes "E" when checked, "D" when not. Another box number, or a mask without that
/// character, changes nothing.
std::string optionMaskWith(std::string_view mask, int box, bool checked);

/// minusMarkWith: the mask after the minus mark edit changed: character 1 becomes the edit's first
/// character. An emptied edit leaves the mask's character unchanged (the mask always holds one there).
std::string minusMarkWith(std::string_view mask, std::string_view mark_text);

/// plusMarkWith: the same for the plus mark and character 2.
std::string plusMarkWith(std::string_view mask, std::string_view mark_text);

/// paddedOptionMask: the mask with spaces appended up to 16 characters (none when it has 16 or more).
std::string paddedOptionMask(std::string_view mask);

/// setOptionsCommand: "SETMP " followed by the first 16 characters of the padded mask (22 characters), e.g.
/// "SETMP MPEDEEDDDEEDDDE ". The same 16 characters are what the settings record keeps.
std::string setOptionsCommand(std::string_view mask);

/// The five filter sliders of the "Timeout Filter" group.
struct TimeoutFilters {
    int temperature1 = 0;  ///< 0..99
    int temperature2 = 0;  ///< 0..99
    int analog1 = 0;       ///< 0..99
    int analog2 = 0;       ///< 0..99
    int digital = 0;       ///< 0..9
};

/// timeoutFilterCommand: "SETTF," t1 "," t2 "," a1 "," a2 " " d, two digits each and one for the digital
/// filter (19 characters), e.g. "SETTF,05,12,99,00 3".
std::string timeoutFilterCommand(const TimeoutFilters& filters);

/// restartEnableCommand: "RSTEN1" when automatic restart is enabled, else "RSTEN0".
std::string restartEnableCommand(bool enabled);

}  // namespace hx350::params
