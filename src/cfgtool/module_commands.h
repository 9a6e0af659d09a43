// hx350-cfg write-all, read-all and verify: a whole module over a serial line in direct mode, through the
// window's own form without a window. The form is started as a window started from an empty settings file
// starts (the design values), on the one port given, and the run is the window's run over the whole module.
#pragma once

#include <ostream>
#include <span>
#include <string>

#include "app/module_run.h"

namespace hx350::cfgtool {

/// Where the progress goes: a bar redrawn in place on a terminal, a line per step otherwise.
enum class ProgressStyle { Bar, Lines };

/// Runs `kind` with the arguments after the command word. Progress and results go to `out`, errors to
/// `err`. Exit: 0 every step answered (verify: and nothing differs), 1 a step failed, the run stopped early
/// or a setting differs, 2 the run could not start (bad arguments, unreadable file, a port that does not
/// open).
int runModuleCommand(ModuleRunKind kind, std::span<const std::string> args, std::ostream& out,
                     std::ostream& err, ProgressStyle style);

}  // namespace hx350::cfgtool
