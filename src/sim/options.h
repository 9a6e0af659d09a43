// Command line of hx350-sim.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace hx350::sim {

enum class SimMode { kModule, kPhone };

struct SimOptions {
    SimMode mode = SimMode::kModule;
    std::string link;                     ///< --link: symlink to the pseudo-terminal
    std::string device;                   ///< --device: serve this serial device instead of a pseudo-terminal
    int baud = 19200;                     ///< --baud: line speed of --device
    std::string module_number;            ///< --module-number (phone mode); empty = the default
    std::string transcript;               ///< --transcript FILE
    std::uint32_t answer_delay_ms = 50;   ///< --answer-delay
    std::size_t split = 0;                ///< --split N: 0 = whole answers
    std::uint32_t split_pause_ms = 100;   ///< --split-pause
    std::uint32_t reply_delay_ms = 1000;  ///< --reply-delay: the module's answer SMS (phone mode)
    bool silent = false;                  ///< --silent
    bool help = false;
    bool version = false;
};

/// Result of parsing: options, or an error message for the user.
struct ParseResult {
    std::optional<SimOptions> options;
    std::string error;
};

/// Parses the arguments (without the program name). Options take their value as the next argument or
/// after "=" (--split=8). --mode is required unless --help or --version is given.
ParseResult parseOptions(const std::vector<std::string>& args);

/// The text of --help.
std::string usageText();

}  // namespace hx350::sim
