// Direct mode: the module on the serial cable, in setting mode. Cuts the byte stream into command lines
// (closed by CR), removes the setup framing and hands each command to the module.
#pragma once

#include <string>
#include <string_view>

#include "sim/module.h"
#include "sim/session.h"

namespace hx350::sim {

/// The 20-byte frame prefix of a setup line: 14 spaces, then "SETUP:".
inline constexpr std::string_view kSetupPrefix = "              SETUP:";

/// Longest line the module buffers; a longer one is dropped and answered with "LINE TOO LONG".
inline constexpr std::size_t kModuleLineLimit = 512;

class ModuleLink final : public Session {
  public:
    explicit ModuleLink(Module& module) : module_(module) {}

    /// Accepts framed lines (prefix, command, padding, CR, NUL) and unframed ones (command, CR); NUL and
    /// LF bytes between lines are ignored. Each complete line is executed; the answers are returned
    /// concatenated in order.
    std::string feed(std::string_view bytes) override;

    /// Removes the setup prefix (also when it arrives with fewer or more leading spaces); an unframed
    /// line is returned unchanged. Exposed for tests.
    static std::string_view unframe(std::string_view line);

  private:
    Module& module_;
    std::string line_;
    bool overflow_ = false;
};

}  // namespace hx350::sim
