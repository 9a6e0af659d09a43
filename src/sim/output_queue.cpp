#include "sim/output_queue.h"

namespace hx350::sim {

namespace {
// Wrap-safe "a is before b" on the 32-bit millisecond counter.
bool before(std::uint32_t a, std::uint32_t b) {
    return static_cast<std::int32_t>(a - b) < 0;
}
}  // namespace

void OutputQueue::push(const std::string& bytes, std::uint32_t now) {
    if (bytes.empty()) return;
    std::uint32_t due = now + delay_ms_;
    // Never overtake what is already queued.
    if (!pieces_.empty() && before(due, pieces_.back().due)) due = pieces_.back().due;
    const std::size_t size = split_ == 0 ? bytes.size() : split_;
    for (std::size_t pos = 0; pos < bytes.size(); pos += size) {
        pieces_.push_back({due, bytes.substr(pos, size)});
        due += pause_ms_;
    }
}

std::vector<std::string> OutputQueue::takeDue(std::uint32_t now) {
    std::vector<std::string> due;
    while (!pieces_.empty() && !before(now, pieces_.front().due)) {
        due.push_back(std::move(pieces_.front().bytes));
        pieces_.pop_front();
    }
    return due;
}

std::optional<std::uint32_t> OutputQueue::msUntilDue(std::uint32_t now) const {
    if (pieces_.empty()) return std::nullopt;
    const std::uint32_t due = pieces_.front().due;
    return before(now, due) ? due - now : 0;
}

}  // namespace hx350::sim
