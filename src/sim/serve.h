// The I/O loop of hx350-sim: a pseudo-terminal (or a serial device), poll(), signals, the transcript.
#pragma once

#include <cstdio>

#include "sim/options.h"

namespace hx350::sim {

/// Serves until SIGINT or SIGTERM (or until a served device hangs up).
/// @param options  parsed command line.
/// @param announce  where the terminal's path goes, on one line, flushed at once.
/// @param errors  where failures are reported.
/// @return the process exit status: 0 after a signal, 1 when set-up or the device failed.
int serve(const SimOptions& options, std::FILE* announce, std::FILE* errors);

}  // namespace hx350::sim
