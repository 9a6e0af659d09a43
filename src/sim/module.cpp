#include "sim/module.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <vector>

namespace hx350::sim {

namespace {

constexpr std::size_t kNumberLimit = 20;
constexpr std::size_t kExternalTextLimit = 32;
constexpr std::size_t kShortTextLimit = 15;

std::string line(std::string_view text) {
    std::string out(text);
    out += "\r\n";
    return out;
}

std::string ok(std::string_view keyword, std::string_view suffix = {}) {
    return line(std::string(keyword) + std::string(suffix) + " OK");
}

std::string refused(std::string_view keyword) {
    return line(std::string(keyword) + " ERROR");
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string twoDigits(int v) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%02d", v);
    return buf;
}

std::string signed3(int v) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%c%03d", v < 0 ? '-' : '+', v < 0 ? -v : v);
    return buf;
}

// A single digit within [lo, hi] at the front of `arg`.
std::optional<int> digitIn(std::string_view arg, int lo, int hi) {
    if (arg.empty() || !isDigit(arg[0])) return std::nullopt;
    const int v = arg[0] - '0';
    if (v < lo || v > hi) return std::nullopt;
    return v;
}

// Exactly one digit within [lo, hi] and nothing else.
std::optional<int> onlyDigit(std::string_view arg, int lo, int hi) {
    if (arg.size() != 1) return std::nullopt;
    return digitIn(arg, lo, hi);
}

// Exactly two digits.
std::optional<int> twoDigitValue(std::string_view arg) {
    if (arg.size() != 2 || !isDigit(arg[0]) || !isDigit(arg[1])) return std::nullopt;
    return (arg[0] - '0') * 10 + (arg[1] - '0');
}

// A sign and three digits, as the temperature thresholds are written.
std::optional<int> signed3Value(std::string_view arg) {
    if (arg.size() != 4 || (arg[0] != '+' && arg[0] != '-')) return std::nullopt;
    int v = 0;
    for (std::size_t i = 1; i < 4; ++i) {
        if (!isDigit(arg[i])) return std::nullopt;
        v = v * 10 + (arg[i] - '0');
    }
    return arg[0] == '-' ? -v : v;
}

bool validNumber(std::string_view number) {
    if (number.size() > kNumberLimit) return false;
    for (std::size_t i = 0; i < number.size(); ++i) {
        if (!(isDigit(number[i]) || (i == 0 && number[i] == '+'))) return false;
    }
    return true;
}

bool printable(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x20; });
}

std::string_view dropLeadingSpaces(std::string_view s) {
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    return s;
}

// Splits "a,b,c" at commas.
std::vector<std::string_view> splitCommas(std::string_view s) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = s.find(',', start);
        parts.push_back(
            s.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return parts;
}

bool validMask(std::string_view mask, std::size_t length) {
    if (mask.size() != length) return false;
    return std::all_of(mask.begin(), mask.end(),
                       [](char c) { return isDigit(c) || (c >= 'A' && c <= 'F') || c == '-'; });
}

// Civil calendar from days since 1970-01-01 (proleptic Gregorian).
void civilFromDays(std::int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t year = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(year + (m <= 2 ? 1 : 0));
}

int daysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

std::int64_t secondsOf(const LocalDateTime& t) {
    return daysFromCivil(t.year, t.month, t.day) * 86400 + t.secondsOfDay();
}

std::string zoneText(int offset_minutes) {
    char buf[24];
    const int hours = (offset_minutes < 0 ? -offset_minutes : offset_minutes) / 60;
    std::snprintf(buf, sizeof buf, "%c%02d", offset_minutes < 0 ? '-' : '+', hours % 100);
    return buf;
}

std::string factoryExternalText(int slot) {
    static const char* kStates[] = {"< MINIMUM2", "< MINIMUM1", "Normal", "> MAXIMUM1", "> MAXIMUM2"};
    if (slot <= 20) {
        return "Temperature " + std::to_string((slot - 1) / 5 + 1) + " " + kStates[(slot - 1) % 5];
    }
    if (slot <= 40) {
        return "Analog Input " + std::to_string((slot - 21) / 5 + 1) + " " + kStates[(slot - 21) % 5];
    }
    if (slot <= 47) return "Event INP" + std::to_string(slot - 40) + " 0-1";
    return "Event INP" + std::to_string(slot - 47) + " 1-0";
}

std::string factoryShortText(int slot) {
    if (slot <= 54) return {};
    if (slot <= 61) return "INP" + std::to_string(slot - 54) + " 1";
    if (slot <= 68) return "INP" + std::to_string(slot - 61) + " 0";
    if (slot <= 73) return "OUT" + std::to_string(slot - 68) + " 1";
    return "OUT" + std::to_string(slot - 73) + " 0";
}

}  // namespace

std::int64_t daysFromCivil(int year, int month, int day) {
    const std::int64_t y = static_cast<std::int64_t>(year) - (month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned mp = static_cast<unsigned>(month > 2 ? month - 3 : month + 9);
    const unsigned doy = (153 * mp + 2) / 5 + static_cast<unsigned>(day) - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

Module::Module(const Clock& clock) : clock_(clock) {
    for (int slot = 1; slot <= 54; ++slot)
        state_.external_texts[static_cast<std::size_t>(slot - 1)] = factoryExternalText(slot);
    for (int slot = 1; slot <= 78; ++slot)
        state_.short_texts[static_cast<std::size_t>(slot - 1)] = factoryShortText(slot);
    for (auto& levels : state_.analog_levels)
        levels = {10, 20, 80, 90};
    for (auto& levels : state_.temp_levels)
        levels = {-10, 0, 30, 45};
}

std::string Module::clockText() const {
    const LocalDateTime now = clock_.localNow();
    const std::int64_t seconds = secondsOf(now) + state_.clock_offset_s;
    std::int64_t days = seconds / 86400;
    std::int64_t of_day = seconds % 86400;
    if (of_day < 0) {
        of_day += 86400;
        --days;
    }
    int y = 0;
    int m = 0;
    int d = 0;
    civilFromDays(days, y, m, d);
    char buf[40];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%02d,%02d:%02d:%02d", ((y % 100) + 100) % 100, m, d,
                  static_cast<int>(of_day / 3600), static_cast<int>(of_day / 60 % 60),
                  static_cast<int>(of_day % 60));
    return std::string(buf) + (state_.zone.empty() ? zoneText(now.utc_offset_minutes) : state_.zone);
}

std::string Module::execute(std::string_view command) {
    // Framing leftovers and padding: line ends, NULs and the spaces that pad a command to its width.
    while (!command.empty() && (command.back() == ' ' || command.back() == '\r' || command.back() == '\n' ||
                                command.back() == '\0')) {
        command.remove_suffix(1);
    }
    while (!command.empty() && (command.front() == ' ' || command.front() == '\n' ||
                                command.front() == '\r' || command.front() == '\0')) {
        command.remove_prefix(1);
    }
    if (command.empty()) return {};

    // The module's GSM engine answers AT commands given to it directly (a "plain send" of the tool).
    if (command.size() >= 2 && (command[0] == 'A' || command[0] == 'a') &&
        (command[1] == 'T' || command[1] == 't')) {
        std::string upper(command);
        std::transform(upper.begin(), upper.end(), upper.begin(),
                       [](char c) { return static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c); });
        if (upper == "AT") return "\r\nOK\r\n";
        if (upper == "AT+CSQ")
            return "\r\n+CSQ: " + std::to_string(state_.signal_quality) + ",99\r\n\r\nOK\r\n";
        return "\r\nERROR\r\n";
    }

    if (command == "OK") return line("OK");
    if (command == "+EXIT") return line("+EXIT OK");
    if (command.size() < 5) return line("UNKNOWN COMMAND");
    std::string keyword(command.substr(0, 5));
    std::transform(keyword.begin(), keyword.end(), keyword.begin(),
                   [](char c) { return static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c); });
    return dispatch(keyword, command.substr(5));
}

std::string Module::dispatch(std::string_view kw, std::string_view arg) {
    ModuleState& s = state_;

    // --- Subscriber numbers and phone book ---
    if (kw == "SETNN" || kw == "SETPB") {
        const auto n = digitIn(arg, 1, 7);
        if (!n || (arg.size() > 1 && arg[1] != ' ')) return refused(kw);
        const std::string_view number = arg.size() > 2 ? arg.substr(2) : std::string_view{};
        if (!validNumber(number)) return refused(kw);
        auto& list = kw == "SETNN" ? s.alarm_numbers : s.phone_book;
        list[static_cast<std::size_t>(*n - 1)] = std::string(number);
        return ok(kw, std::to_string(*n));
    }
    if (kw == "CLRNR" || kw == "GETNR") {
        const auto n = onlyDigit(arg, 1, 7);
        if (!n) return refused(kw);
        auto& number = s.alarm_numbers[static_cast<std::size_t>(*n - 1)];
        if (kw == "CLRNR") {
            number.clear();
            return ok(kw, std::to_string(*n));
        }
        return line(std::to_string(*n) + ": " + number);
    }
    if (kw == "GETPB") {
        if (!arg.empty()) return refused(kw);
        std::string out = " ";
        for (std::size_t i = 0; i < 7; ++i)
            out += "N" + std::to_string(i + 1) + ":" + s.phone_book[i] + " ";
        return line(out);
    }

    // --- Event texts and IO names ---
    if (kw == "SETTX" || kw == "SETTI" || kw == "GETTX" || kw == "GETTI") {
        const bool external = kw[4] == 'X';
        const int last = external ? 54 : 78;
        const auto nn = twoDigitValue(arg.substr(0, 2));
        if (!nn || *nn < 1 || *nn > last) return refused(kw);
        const std::string slot = twoDigits(*nn);
        auto& text = (external ? s.external_texts.data() : s.short_texts.data())[*nn - 1];
        if (kw[0] == 'G') {
            if (arg.size() != 2) return refused(kw);
            return line(slot + ": " + text);
        }
        if (arg.size() > 2 && arg[2] != ' ') return refused(kw);
        const std::string_view value = arg.size() > 3 ? arg.substr(3) : std::string_view{};
        if (value.size() > (external ? kExternalTextLimit : kShortTextLimit) || !printable(value))
            return refused(kw);
        text = std::string(value);
        return ok(kw, slot);
    }

    // --- Event masks ---
    if (kw == "SETME") {
        const auto parts = splitCommas(arg);
        if (parts.size() != 4 || !parts[0].empty() || !validMask(parts[1], 4) || !validMask(parts[2], 4) ||
            !(validMask(parts[3], 6) || validMask(parts[3], 7))) {
            return refused(kw);
        }
        s.temp_mask = std::string(parts[1]);
        s.analog_mask = std::string(parts[2]);
        s.digital_mask = std::string(parts[3].substr(0, 6));
        return ok(kw);
    }

    // --- Analog channels ---
    if (kw == "ANLEV") {
        const auto parts = splitCommas(arg);
        const auto n = parts.size() == 5 ? onlyDigit(parts[0], 1, 4) : std::nullopt;
        if (!n) return refused(kw);
        Thresholds levels{};
        for (std::size_t i = 0; i < 4; ++i) {
            const auto v = twoDigitValue(parts[i + 1]);
            if (!v) return refused(kw);
            levels[i] = *v;
        }
        s.analog_levels[static_cast<std::size_t>(*n - 1)] = levels;
        return ok(kw, std::to_string(*n));
    }
    if (kw == "REFLV") {
        const auto parts = splitCommas(arg);
        if (parts.size() != 2 || (parts[0] != "2" && parts[0] != "5") || parts[1].size() > 4 ||
            !printable(parts[1])) {
            return refused(kw);
        }
        s.reference_level = parts[0][0];
        s.analog_coeff = std::string(parts[1]);
        return ok(kw);
    }
    if (kw == "ADDKF" || kw == "AKSMS") {
        const bool sms = kw == "AKSMS";
        const auto parts = splitCommas(arg);
        const auto n = parts.size() == 2 ? onlyDigit(parts[0], 1, sms ? 3 : 4) : std::nullopt;
        if (!n || parts[1].size() > 4 || !printable(parts[1])) return refused(kw);
        (sms ? s.sms_multipliers.data() : s.analog_multipliers.data())[*n - 1] = std::string(parts[1]);
        return ok(kw, std::to_string(*n));
    }
    if (kw == "420FL") {
        const auto parts = splitCommas(arg);
        const auto n = parts.size() == 2 ? onlyDigit(parts[0], 1, 3) : std::nullopt;
        const auto on = parts.size() == 2 ? onlyDigit(parts[1], 0, 1) : std::nullopt;
        if (!n || !on) return refused(kw);
        s.analog_420[static_cast<std::size_t>(*n - 1)] = *on == 1;
        return ok(kw, std::to_string(*n));
    }
    if (kw == "AEXTF") {
        const auto on = onlyDigit(arg, 0, 1);
        if (!on) return refused(kw);
        s.extended_mode = *on == 1;
        return ok(kw);
    }
    if (kw == "R420M") {
        const auto v = onlyDigit(arg, 0, 7);
        if (!v) return refused(kw);
        s.shunt = *v;
        return ok(kw);
    }
    if (kw == "ANDEL") {
        const auto v = twoDigitValue(arg);
        if (!v) return refused(kw);
        s.measure_delay = *v;
        return ok(kw);
    }
    if (kw == "GETLV") {
        if (!arg.empty()) return refused(kw);
        std::string out;
        for (std::size_t n = 0; n < 4; ++n) {
            const auto& l = s.analog_levels[n];
            out += line("ANLEV" + std::to_string(n + 1) + "," + twoDigits(l[0]) + "," + twoDigits(l[1]) +
                        "," + twoDigits(l[2]) + "," + twoDigits(l[3]));
        }
        out += line(std::string("REFLV") + s.reference_level + "," + s.analog_coeff);
        for (std::size_t n = 0; n < 4; ++n)
            out += line("ADDKF" + std::to_string(n + 1) + "," + s.analog_multipliers[n]);
        for (std::size_t n = 0; n < 3; ++n) {
            out += line("420FL" + std::to_string(n + 1) + "," + (s.analog_420[n] ? "1" : "0"));
        }
        for (std::size_t n = 0; n < 3; ++n)
            out += line("AKSMS" + std::to_string(n + 1) + "," + s.sms_multipliers[n]);
        out += line(std::string("AEXTF") + (s.extended_mode ? "1" : "0"));
        out += line("R420M" + std::to_string(s.shunt));
        out += line("ANDEL" + twoDigits(s.measure_delay));
        return out;
    }
    if (kw == "GETAN") {
        if (!arg.empty()) return refused(kw);
        std::string out;
        for (std::size_t n = 0; n < 4; ++n) {
            if (!out.empty()) out += ' ';
            const int pct = s.analog_percent[n];
            if (n < 3 && s.analog_420[n]) {
                const int hundredths = 400 + 16 * pct;  // 4 mA + 16 mA * pct / 100, in 1/100 mA
                char buf[32];
                std::snprintf(buf, sizeof buf, "AN%zu=%d.%02dmA", n + 1, hundredths / 100, hundredths % 100);
                out += buf;
            } else {
                out += "AN" + std::to_string(n + 1) + "=" + std::to_string(pct) + "%";
            }
        }
        return line(out);
    }

    // --- Temperature channels ---
    if (kw == "TCLEV") {
        if (arg == "0") {
            std::string out;
            for (std::size_t n = 0; n < 4; ++n) {
                const auto& l = s.temp_levels[n];
                out += line("TCLEV" + std::to_string(n + 1) + signed3(l[0]) + signed3(l[1]) + signed3(l[2]) +
                            signed3(l[3]));
            }
            return out;
        }
        const auto n = arg.size() == 17 ? digitIn(arg, 1, 4) : std::nullopt;
        if (!n) return refused(kw);
        Thresholds levels{};
        for (std::size_t i = 0; i < 4; ++i) {
            const auto v = signed3Value(arg.substr(1 + 4 * i, 4));
            if (!v) return refused(kw);
            levels[i] = *v;
        }
        s.temp_levels[static_cast<std::size_t>(*n - 1)] = levels;
        return ok(kw, std::to_string(*n));
    }
    if (kw == "GETTC") {
        if (!arg.empty()) return refused(kw);
        std::string out;
        for (std::size_t n = 0; n < 4; ++n) {
            const int t = s.temperatures_tenths[n];
            char buf[32];
            std::snprintf(buf, sizeof buf, "%sT%zu=%c%d.%dC", n ? " " : "", n + 1, t < 0 ? '-' : '+',
                          (t < 0 ? -t : t) / 10, (t < 0 ? -t : t) % 10);
            out += buf;
        }
        return line(out);
    }

    // --- Counters ---
    auto counterText = [&s](std::size_t n) {
        const bool runtime = (s.runtime_mode >> n) & 1;
        return std::string(s.counter_format ? "F" : "C") + std::to_string(n + 1) + "=" +
               std::to_string(s.counters[n]) + (runtime ? "MIN" : "");
    };
    if (kw == "GETCT") {
        if (!arg.empty()) return refused(kw);
        return line(counterText(0) + " " + counterText(1));
    }
    if (kw == "CLRCT") {
        const auto n = onlyDigit(arg, 0, 2);
        if (!n) return refused(kw);
        if (*n == 0 || *n == 1) s.counters[0] = 0;
        if (*n == 0 || *n == 2) s.counters[1] = 0;
        return ok(kw, std::to_string(*n));
    }
    if (kw == "RTMOD") {
        const auto v = onlyDigit(arg, 0, 7);
        if (!v) return refused(kw);
        s.runtime_mode = *v;
        return ok(kw);
    }
    if (kw == "CFLOW") {
        const auto v = onlyDigit(arg, 0, 1);
        if (!v) return refused(kw);
        s.counter_format = *v;
        return ok(kw);
    }
    if (kw == "GETMH") {
        if (!arg.empty()) return refused(kw);
        return line("MH " + clockText().substr(0, 8) + " " + counterText(0) + " " + counterText(1));
    }

    // --- Outputs and inputs ---
    auto outputName = [&s](std::size_t n) { return s.short_texts[(s.outputs[n] ? 68 : 73) + n]; };
    auto inputName = [&s](std::size_t n) { return s.short_texts[(s.inputs[n] ? 54 : 61) + n]; };
    if (kw == "SETOU" || kw == "RSTOU") {
        const auto n = onlyDigit(arg, 1, 5);
        if (!n) return refused(kw);
        const auto index = static_cast<std::size_t>(*n - 1);
        s.outputs[index] = kw == "SETOU";
        // Option 3: "Answer SMS for Setou and Rstou SMS command".
        if (s.option_mask.size() > 2 && s.option_mask[2] == 'D') return {};
        return line(outputName(index));
    }
    if (kw == "GETOS" || kw == "GETIS") {
        const bool out = kw == "GETOS";
        const std::size_t count = out ? 5 : 7;
        const auto n = onlyDigit(arg, 0, static_cast<int>(count));
        if (!n) return refused(kw);
        if (*n > 0)
            return line(out ? outputName(static_cast<std::size_t>(*n - 1))
                            : inputName(static_cast<std::size_t>(*n - 1)));
        std::string all;
        for (std::size_t i = 0; i < count; ++i)
            all += (i ? "," : "") + (out ? outputName(i) : inputName(i));
        return line(all);
    }

    // --- Data logger and output pulses ---
    if (kw == "SETTN") {
        const auto parts = splitCommas(arg);
        if (parts.size() != 3 || parts[2].size() != 3) return refused(kw);
        const auto rate = onlyDigit(parts[0], 0, 9);
        const auto period = onlyDigit(parts[1], 0, 9);
        if (!rate || !period || !std::all_of(parts[2].begin(), parts[2].end(), isDigit)) return refused(kw);
        s.sample_rate = *rate;
        s.logger_period = *period;
        for (std::size_t i = 0; i < 3; ++i)
            s.pulse_durations[i] = parts[2][i] - '0';
        return ok(kw);
    }
    if (kw == "SRATE" || kw == "DLPER") {
        const auto v = onlyDigit(arg, 0, 9);
        if (!v) return refused(kw);
        (kw == "SRATE" ? s.sample_rate : s.logger_period) = *v;
        return ok(kw);
    }

    // --- Status, version, clock, restart ---
    if (kw == "GETST") {
        if (!arg.empty()) return refused(kw);
        std::string outs;
        std::string ins;
        for (const bool o : s.outputs)
            outs += o ? '1' : '0';
        for (const bool i : s.inputs)
            ins += i ? '1' : '0';
        std::string status = "ST OUT=" + outs + " IN=" + ins + " " + counterText(0) + " " + counterText(1);
        for (std::size_t n = 0; n < 2; ++n) {
            const int t = s.temperatures_tenths[n];
            char buf[24];
            std::snprintf(buf, sizeof buf, " T%zu=%c%d.%d", n + 1, t < 0 ? '-' : '+', (t < 0 ? -t : t) / 10,
                          (t < 0 ? -t : t) % 10);
            status += buf;
        }
        status += " GSM=" + std::to_string(s.signal_quality);
        std::string filters = "SETTF";
        for (const int f : s.timeout_filters)
            filters += "," + twoDigits(f);
        filters += " " + std::to_string(s.digital_filter);
        std::string pulses;
        for (std::size_t i = 0; i < 3; ++i)
            pulses += std::to_string(s.pulse_durations[i]);
        return line(status) +
               line("SETME," + s.temp_mask + "," + s.analog_mask + "," + s.digital_mask + " " + filters +
                    " SETTN" + std::to_string(s.sample_rate) + "," + std::to_string(s.logger_period) + "," +
                    pulses) +
               line("RTMOD" + std::to_string(s.runtime_mode) + " CFLOW" + std::to_string(s.counter_format) +
                    " RSTEN" + (s.restart_enable ? "1" : "0") + " ESKTD" + twoDigits(s.max_error_level));
    }
    if (kw == "GETVR") {
        if (!arg.empty()) return refused(kw);
        return line("VER HX350-SIM " HX350_SIM_VERSION);
    }
    if (kw == "GETTM") {
        if (!arg.empty()) return refused(kw);
        return line("TIME " + clockText());
    }
    if (kw == "SETTM") {
        // " yy/mm/dd,hh:mm:ss" with an optional zone "+zz" / "-zz" (hours).
        const std::string_view t = dropLeadingSpaces(arg);
        if (t.size() != 17 && t.size() != 20) return refused(kw);
        auto num = [&t](std::size_t pos) -> int {
            return isDigit(t[pos]) && isDigit(t[pos + 1]) ? (t[pos] - '0') * 10 + (t[pos + 1] - '0') : -1;
        };
        if (t[2] != '/' || t[5] != '/' || t[8] != ',' || t[11] != ':' || t[14] != ':') return refused(kw);
        const int yy = num(0), mo = num(3), dd = num(6), hh = num(9), mi = num(12), ss = num(15);
        if (yy < 0 || mo < 1 || mo > 12 || dd < 1 || dd > daysInMonth(2000 + yy, mo) || hh < 0 || hh > 23 ||
            mi < 0 || mi > 59 || ss < 0 || ss > 59) {
            return refused(kw);
        }
        std::string zone;
        if (t.size() == 20) {
            if ((t[17] != '+' && t[17] != '-') || num(18) < 0 || num(18) > 14) return refused(kw);
            zone = std::string(t.substr(17));
        }
        const std::int64_t target = daysFromCivil(2000 + yy, mo, dd) * 86400 + hh * 3600 + mi * 60 + ss;
        s.clock_offset_s = target - secondsOf(clock_.localNow());
        s.zone = zone;
        return ok(kw);
    }
    if (kw == "RSTRT") {
        if (!arg.empty()) return refused(kw);
        ++s.restarts;
        // Option 5: "Store Outputs State after Restart"; without it the outputs come up off.
        if (s.option_mask.size() > 4 && s.option_mask[4] != 'E') s.outputs = {};
        return ok(kw);
    }

    // --- SMS schedule ---
    if (kw == "SETSH") {
        if (arg.empty() || arg[0] != ',' || arg.size() > 10) return refused(kw);
        std::string code(arg.substr(1));
        code.resize(9, ' ');
        static constexpr std::string_view kTypes = "ATCLD35 ";
        if (kTypes.find(code[0]) == std::string_view::npos) return refused(kw);
        for (std::size_t i = 1; i < 9; i += 2) {
            const bool digits = isDigit(code[i]) && isDigit(code[i + 1]);
            const bool blank = code[i] == ' ' && code[i + 1] == ' ';
            if (!digits && !blank) return refused(kw);
        }
        s.schedule_code = code;
        return ok(kw);
    }
    if (kw == "GETSH") {
        if (!arg.empty()) return refused(kw);
        return line("SETSH," + s.schedule_code) + line("SNFLT" + std::to_string(s.schedule_recipients));
    }
    if (kw == "SNFLT") {
        const auto v = onlyDigit(arg, 0, 7);
        if (!v) return refused(kw);
        s.schedule_recipients = *v;
        return ok(kw);
    }

    // --- Other settings ---
    if (kw == "SETMP") {
        if (arg.empty() || arg[0] != ' ' || arg.size() > 16) return refused(kw);
        std::string mask(arg.substr(1));
        mask.resize(15, ' ');
        for (std::size_t i = 2; i < 15; ++i) {
            if (mask[i] != 'E' && mask[i] != 'D') return refused(kw);
        }
        s.option_mask = mask;
        return ok(kw);
    }
    if (kw == "GETMP") {
        if (!arg.empty()) return refused(kw);
        return line("SETMP " + s.option_mask);
    }
    if (kw == "SETTF") {
        // ",tt,tt,aa,aa d"
        if (arg.size() != 14 || arg[0] != ',' || arg[12] != ' ') return refused(kw);
        const auto parts = splitCommas(arg.substr(1, 11));
        if (parts.size() != 4) return refused(kw);
        std::array<int, 4> filters{};
        for (std::size_t i = 0; i < 4; ++i) {
            const auto v = twoDigitValue(parts[i]);
            if (!v) return refused(kw);
            filters[i] = *v;
        }
        const auto digital = onlyDigit(arg.substr(13), 0, 9);
        if (!digital) return refused(kw);
        s.timeout_filters = filters;
        s.digital_filter = *digital;
        return ok(kw);
    }
    if (kw == "RSTEN") {
        const auto v = onlyDigit(arg, 0, 1);
        if (!v) return refused(kw);
        s.restart_enable = *v == 1;
        return ok(kw);
    }
    if (kw == "ESKTD") {
        const auto v = twoDigitValue(arg);
        if (!v) return refused(kw);
        s.max_error_level = *v;
        return ok(kw);
    }

    // --- GPRS, FTP, HTTP ---
    struct Uplink {
        std::string_view set, get, label;
        std::string ModuleState::*field;
        std::size_t limit;
        char separator;
    };
    static const Uplink kUplink[] = {
        {"SETAP", "GETAP", "APN", &ModuleState::apn, 40, ' '},
        {"SETID", "GETID", "UserID", &ModuleState::user_id, 16, ' '},
        {"SETPW", "GETPW", "PASSWORD", &ModuleState::password, 16, ' '},
        {"SETIP", "GETIP", "IP address", &ModuleState::ip_address, 40, ' '},
        {"SETFT", "GETFT", "FTP Host", &ModuleState::ftp_host, 40, ','},
        {"SETAF", "GETAF", "UserName FTP", &ModuleState::ftp_user, 40, ' '},
        {"SETPF", "GETPF", "Password FTP", &ModuleState::ftp_password, 16, ' '},
        {"SETDN", "GETDN", "DirName", &ModuleState::dir_name, 16, ' '},
        {"SETRH", "GETRH", "Remote Host", &ModuleState::http_host1, 40, ','},
        {"SETR2", "GETR2", "Remote Host2", &ModuleState::http_host2, 40, ','},
    };
    for (const Uplink& u : kUplink) {
        if (kw == u.get) {
            if (!arg.empty()) return refused(kw);
            return line(std::string(u.label) + ": " + s.*u.field);
        }
        if (kw == u.set) {
            if (!arg.empty() && arg[0] != u.separator) return refused(kw);
            const std::string_view value = dropLeadingSpaces(arg.empty() ? arg : arg.substr(1));
            if (value.size() > u.limit || !printable(value)) return refused(kw);
            s.*u.field = std::string(value);
            return ok(kw);
        }
    }

    return line("UNKNOWN COMMAND");
}

}  // namespace hx350::sim
