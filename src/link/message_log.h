// The messages the phone listed in this run, each written down before the tool deletes it from the phone.
//
// The listing reader shows a listed message in the memo as if the module had answered and deletes it
// (AT+CMGD), whoever sent it; the memo keeps only the last one. The log keeps what was read: when, from
// whom, the decoded text and the phone's index, so nothing is lost unseen. It lives in memory only and
// keeps the newest kMessageLogCapacity messages.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>

#include "base/clock.h"

namespace hx350 {

/// How many messages the log keeps; the oldest go first.
inline constexpr std::size_t kMessageLogCapacity = 1000;

/// One listed message.
struct ReceivedMessage {
    LocalDateTime time;             ///< when the tool read it
    std::string sender;             ///< the originating address ("+4917612345678"); "" when unreadable
    std::string text;               ///< the decoded text, as the memo shows it
    std::optional<unsigned> index;  ///< the phone's index of the message; unset when none was read
};

class MessageLog {
  public:
    using AddHandler = std::function<void()>;

    /// Appends `message`, dropping the oldest when the log is full, then runs the add handler.
    void add(ReceivedMessage message);
    /// The kept messages, oldest first.
    const std::deque<ReceivedMessage>& messages() const { return messages_; }
    /// How many messages were ever added in this run (dropped ones included).
    std::uint64_t total() const { return total_; }
    /// Called after every add (the window refreshes an open view).
    void setOnAdd(AddHandler handler) { on_add_ = std::move(handler); }

  private:
    std::deque<ReceivedMessage> messages_;
    std::uint64_t total_ = 0;
    AddHandler on_add_;
};

/// "2026-12-08 12:34:56": a message's time as the log view shows it.
std::string formatLogTime(const LocalDateTime& time);

}  // namespace hx350
