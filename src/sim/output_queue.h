// Answers on their way out: each is held back by the answer delay and, when asked, cut into pieces with
// pauses between them, so a receiver sees one answer spread over several reads. Order is kept.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace hx350::sim {

class OutputQueue {
  public:
    /// @param delay_ms  time from push() to the first byte going out.
    /// @param split  piece size in bytes; 0 sends each answer whole.
    /// @param pause_ms  time between two pieces of one answer.
    OutputQueue(std::uint32_t delay_ms, std::size_t split, std::uint32_t pause_ms)
        : delay_ms_(delay_ms), split_(split), pause_ms_(pause_ms) {}

    /// Queues an answer produced at tick `now` (milliseconds). Empty answers are ignored.
    void push(const std::string& bytes, std::uint32_t now);
    /// Takes every piece that is due at `now`, oldest first; each is meant for one write.
    std::vector<std::string> takeDue(std::uint32_t now);
    /// Milliseconds until the next piece is due (0 when one is due), nothing when the queue is empty.
    std::optional<std::uint32_t> msUntilDue(std::uint32_t now) const;
    bool empty() const { return pieces_.empty(); }

  private:
    struct Piece {
        std::uint32_t due;
        std::string bytes;
    };
    std::uint32_t delay_ms_;
    std::size_t split_;
    std::uint32_t pause_ms_;
    std::deque<Piece> pieces_;
};

}  // namespace hx350::sim
