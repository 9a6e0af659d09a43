// Translation of SerialLineSettings into a POSIX termios record, kept apart from the device so the
// translation can be checked flag by flag (a pseudo-terminal forces some flags and would hide errors).
#pragma once

#include <termios.h>

#include <cstdint>
#include <optional>

#include "serial/serial_device.h"

namespace hx350 {

/// A termios record ready for tcsetattr(), and whether the rate must be set afterwards through
/// setKernelBitRate() because it has no B-constant (the record then carries B9600 as a stand-in).
struct TermiosPlan {
    termios settings{};
    bool custom_rate = false;
};

/// Builds the record from zero: raw binary mode (no translation, no echo, no signals, no parity check),
/// VMIN = VTIME = 0, CLOCAL|CREAD, byte size, parity generation (mark/space through CMSPAR), stop bits,
/// CRTSCTS for the RTS/CTS handshake, IXON|IXOFF with the given XON/XOFF characters.
/// Result: nullopt when termios cannot express the settings: 1.5 stop bits, rate 0 (which would mean
/// "hang up"), or a byte size outside 5..8.
std::optional<TermiosPlan> termiosFor(const SerialLineSettings& settings);

/// The B-constant for `rate` bit/s, or nullopt when the rate has none.
std::optional<speed_t> speedConstantOf(std::uint32_t rate);

}  // namespace hx350
