#include "sim/module_link.h"

namespace hx350::sim {

std::string_view ModuleLink::unframe(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && line[i] == ' ')
        ++i;
    if (line.substr(i, 6) == "SETUP:") return line.substr(i + 6);
    return line;
}

std::string ModuleLink::feed(std::string_view bytes) {
    std::string answer;
    for (const char c : bytes) {
        if (c == '\0' || c == '\n') continue;  // the NUL closing a frame, a stray line feed
        if (c != '\r') {
            if (line_.size() >= kModuleLineLimit) {
                overflow_ = true;
                continue;
            }
            line_.push_back(c);
            continue;
        }
        if (overflow_) {
            answer += "LINE TOO LONG\r\n";
        } else {
            answer += module_.execute(unframe(line_));
        }
        line_.clear();
        overflow_ = false;
    }
    return answer;
}

}  // namespace hx350::sim
