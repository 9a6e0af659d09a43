#include "link/message_log.h"

#include <cstdio>

namespace hx350 {

void MessageLog::add(ReceivedMessage message) {
    if (messages_.size() >= kMessageLogCapacity) messages_.pop_front();
    messages_.push_back(std::move(message));
    ++total_;
    if (on_add_) on_add_();
}

std::string formatLogTime(const LocalDateTime& time) {
    char text[96];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", time.year, time.month, time.day,
                  time.hour, time.minute, time.second);
    return text;
}

}  // namespace hx350
