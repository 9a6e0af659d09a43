// What a module command looks like on the line in direct mode, for tests that read the port's far end.
#pragma once

#include <string>
#include <string_view>

namespace hx350::test {

/// `command` as a direct-mode module command goes on the line: 14 spaces, "SETUP:", the command, CR, NUL.
inline std::string framed(std::string_view command) {
    return std::string(14, ' ') + "SETUP:" + std::string(command) + "\r" + std::string(1, '\0');
}

/// `command` as it goes on the line after a plain send: the command and CR, no prefix, no NUL.
inline std::string unframed(std::string_view command) {
    return std::string(command) + "\r";
}

}  // namespace hx350::test
