// The calendar and the small text helpers the module and the phone share: civil dates from a count of
// days and back (proleptic Gregorian, no time zone involved), and digits and case in ASCII.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/clock.h"

namespace hx350::sim {

/// Days since 1970-01-01 of a proleptic Gregorian date (no time zone involved).
std::int64_t daysFromCivil(int year, int month, int day);

/// A date and time of day on the proleptic Gregorian calendar.
struct CivilTime {
    int year = 1970;
    int month = 1;  ///< 1..12
    int day = 1;    ///< 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

/// The date and time `seconds` after 1970-01-01 00:00:00 (before it for a negative count).
CivilTime civilFromSeconds(std::int64_t seconds);

/// Seconds since 1970-01-01 00:00:00 of a date and time (no time zone involved).
std::int64_t secondsOf(const CivilTime& t);

/// Seconds since 1970-01-01 00:00:00 of a local date and time, as if the local clock ran on UTC.
std::int64_t secondsOf(const LocalDateTime& t);

/// Days in `month` (1..12) of `year`.
int daysInMonth(int year, int month);

/// Whether `c` is an ASCII decimal digit.
constexpr bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

/// `v` with at least two digits ("07", "42", "123").
std::string twoDigits(int v);

/// `s` with ASCII letters in upper case; other bytes as they are.
std::string upperAscii(std::string_view s);

/// The value of one to nine decimal digits and nothing else; nothing for anything else.
std::optional<int> parseDigits(std::string_view s);

}  // namespace hx350::sim
