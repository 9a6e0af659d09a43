// hx350-cfg: settings files and settings texts from the command line, without the window.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace hx350::cfgtool {

/// Exit statuses: success (for diff: no difference), a difference found by diff, any error.
inline constexpr int kExitOk = 0;
inline constexpr int kExitDifferent = 1;
inline constexpr int kExitError = 2;

/// Replaces the file `path` with `text`, atomically, as a save replaces the settings file. Result: "" or
/// why it failed ("path: ...").
std::string replaceFileWith(const std::string& path, std::string_view text);

/// The usage text of --help.
std::string usageText();

/// Runs the program on `args` (without the program name); results go to `out`, errors to `err`.
/// `terminal`: `out` is a terminal, so a run over a module shows a progress bar instead of a line per step.
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool terminal = false);

}  // namespace hx350::cfgtool
