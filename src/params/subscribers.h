// Module commands for the alarm numbers kept in the module and the administration numbers of its SIM
// phone book, and the checks a number passes before it is written.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace hx350::params {

/// Characters of a number that the module takes (and the edits hold).
inline constexpr std::size_t kNumberLength = 20;

/// Placeholder written into a phone-book entry that does not look like a phone number, so the SIM entry is
/// overwritten with something harmless instead of a stray text.
inline constexpr std::string_view kPhoneBookPlaceholder = "+99";

/// cutNumber: the first kNumberLength characters of an edit's text.
std::string cutNumber(std::string_view text);

/// isAlarmNumberSendable: whether an alarm number may be written to the module.
///
/// Parameters: number - the number as typed (already cut to kNumberLength).
/// Result: true when the number is not empty, its first character is "+" or a digit, its second a digit
///         and its third "+" or a digit. A position past the end of the text counts as neither "+" nor a
///         digit, so one- and two-character numbers are never sendable.
bool isAlarmNumberSendable(std::string_view number);

/// phoneBookEntryOrPlaceholder: the phone-book entry to write.
///
/// Parameters: entry - the entry as typed (already cut to kNumberLength).
/// Result: `entry` unchanged when its first character is "+" or a digit and its second a digit;
///         otherwise (also when it is empty or only one character long) kPhoneBookPlaceholder.
std::string phoneBookEntryOrPlaceholder(std::string_view entry);

/// setAlarmNumberCommand: "SETNN" n " " number, e.g. "SETNN3 +37120000000".
/// Parameters: n - alarm number slot 1..7, written in decimal; number - the number, sent as given.
std::string setAlarmNumberCommand(int n, std::string_view number);

/// setAlarmNumberEcho: the log line of a write, "SETNN" n "," number.
std::string setAlarmNumberEcho(int n, std::string_view number);

/// clearAlarmNumberCommand: "CLRNR" n (also the log line).
std::string clearAlarmNumberCommand(int n);

/// getAlarmNumberCommand: "GETNR" n (also the log line).
std::string getAlarmNumberCommand(int n);

/// setPhoneBookCommand: "SETPB" n " " entry, e.g. "SETPB5 +99" (also the log line).
/// Parameters: n - phone-book entry 1..7; entry - the entry, normally phoneBookEntryOrPlaceholder's result.
std::string setPhoneBookCommand(int n, std::string_view entry);

/// readPhoneBookCommand: "  GETPB" (two leading spaces, which the module expects).
std::string readPhoneBookCommand();

/// readPhoneBookEcho: the log line of a phone-book read, "GETPB" without the leading spaces.
std::string readPhoneBookEcho();

}  // namespace hx350::params
