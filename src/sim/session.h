// A counterpart on the line, as the I/O loop sees it: bytes from the client go in, bytes for the client
// come out, and some counterparts act on their own later (a module answering an SMS).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace hx350::sim {

class Session {
  public:
    virtual ~Session() = default;
    /// Takes bytes the client wrote (any split: half a line, several lines).
    /// @return the bytes to answer with now (may be empty).
    virtual std::string feed(std::string_view bytes) = 0;
    /// Lets time-driven work happen (call when msUntilNextEvent() has passed, or any time).
    /// @return unsolicited bytes for the client (may be empty).
    virtual std::string poll() { return {}; }
    /// Milliseconds until poll() has work, or nothing when it has none planned.
    virtual std::optional<std::uint32_t> msUntilNextEvent() const { return std::nullopt; }
};

}  // namespace hx350::sim
