// Module commands for the texts of the event SMS (external texts, slots 1..54) and the short texts (event
// filters and the names of input and output states, slots 1..78), and the parts of a text the settings
// record keeps.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace hx350::params {

inline constexpr int kFirstEventSlot = 1;
inline constexpr int kLastEventSlot = 54;  ///< last slot of the external and event short texts
inline constexpr int kFirstIoNameSlot = 55;
inline constexpr int kLastShortTextSlot = 78;  ///< last slot of the short texts (IO names end here)
inline constexpr std::size_t kExternalTextCapacity = 26;
inline constexpr std::size_t kShortTextCapacity = 15;

/// slotField: the slot number as two digits with a leading zero, "01" to "78".
std::string slotField(int slot);

/// setExternalTextCommand: "SETTX" nn " " text, e.g. "SETTX07 Alarm". The text is sent unchanged (no
/// trimming, no character or length check; empty is allowed).
std::string setExternalTextCommand(int slot, std::string_view text);

/// setExternalTextEcho: the log line of a write, "SETTX" nn "," text.
std::string setExternalTextEcho(int slot, std::string_view text);

/// getExternalTextCommand: "GETTX" nn " " (with the trailing space), e.g. "GETTX05 ".
std::string getExternalTextCommand(int slot);

/// getExternalTextEcho: the log line of a read, "GETTX" nn.
std::string getExternalTextEcho(int slot);

/// setShortTextCommand: "SETTI" nn " " text, e.g. "SETTI60 OUT1 1".
std::string setShortTextCommand(int slot, std::string_view text);

/// setShortTextEcho: "SETTI" nn "," text.
std::string setShortTextEcho(int slot, std::string_view text);

/// getShortTextCommand: "GETTI" nn " ", e.g. "GETTI55 ".
std::string getShortTextCommand(int slot);

/// getShortTextEcho: "GETTI" nn.
std::string getShortTextEcho(int slot);

/// storedExternalText: the part of an external text the settings record keeps (its first 26 characters).
std::string storedExternalText(std::string_view text);

/// storedShortText: the part of a short text the settings record keeps (its first 15 characters).
std::string storedShortText(std::string_view text);

}  // namespace hx350::params
