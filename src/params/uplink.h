// Module commands of the uplink settings: GPRS access (APN, user, password, IP address), the FTP server
// of the data-logger files, two HTTP hosts, their maximum error level. Also the clean-up every value gets
// before it is written: the module takes one word, so a value is cut at its first space.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace hx350::params {

/// The ten settings with a "WR" button, in the page's order.
enum class UplinkField {
    kApn,          ///< `APN`
    kUserId,       ///< `UserID`
    kPassword,     ///< `Password`
    kIpAddress,    ///< `IPaddress`
    kFtpHostName,  ///< `FTPHostName`
    kFtpUserName,  ///< `UserNameFTP`
    kFtpPassword,  ///< `PasswordFTP`
    kFtpDirName,   ///< `DirName`
    kHttpHost1,    ///< `HTTPhostName`
    kHttpHost2,    ///< `HTTPhostName2`
};

inline constexpr int kUplinkFieldCount = 10;

/// uplinkReadCommand: the read request of a setting, its "GET" keyword and one space, e.g. "GETAP ".
std::string uplinkReadCommand(UplinkField field);

/// uplinkReadIsLogged: whether the read request is shown in the log memo (APN and the two HTTP hosts).
bool uplinkReadIsLogged(UplinkField field);

/// A write of one setting after its clean-up.
struct UplinkWrite {
    std::string value;               ///< the edit's text after the clean-up (put back into the edit)
    std::string command;             ///< the module command
    std::optional<std::string> log;  ///< the log line, or nullopt when the write is not shown
};

/// uplinkWrite: cleans up an edit's text and builds its write command.
///
/// Parameters: field - the setting; text - the edit's text as typed.
/// Result:
///   - APN: an empty text, or one whose first character is a space or a control character (code 32 or
///     below), sends "SETAP    " (four spaces), logs the same and keeps the text; otherwise the text is cut
///     before its first space, sent as "SETAP " + value and logged as "SETAP," + value.
///   - HTTP hosts: an empty text becomes "   " (three spaces); a text whose first character is a space or
///     a control character is kept whole; otherwise it is cut before its first space. Sent and logged as
///     "SETRH," / "SETR2," + value.
///   - every other setting: cut before its first space (a leading space leaves it empty), sent as its
///     prefix + value ("SETID ", "SETPW ", "SETIP ", "SETFT,", "SETAF ", "SETPF ", "SETDN "); only the FTP
///     host is logged (the same text). Passwords are sent as typed and never logged.
UplinkWrite uplinkWrite(UplinkField field, std::string_view text);

/// maxErrorCommand: "ESKTD" followed by the maximum error level as two digits, e.g. "ESKTD07".
std::string maxErrorCommand(int position);

}  // namespace hx350::params
