#include "sim/module.h"

#include <algorithm>
#include <cstdio>
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
    const CivilTime t = civilFromSeconds(secondsOf(now) + state_.clock_offset_s);
    char buf[40];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%02d,%02d:%02d:%02d", ((t.year % 100) + 100) % 100, t.month,
                  t.day, t.hour, t.minute, t.second);
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
        const std::string upper = upperAscii(command);
        if (upper == "AT") return "\r\nOK\r\n";
        if (upper == "AT+CSQ")
            return "\r\n+CSQ: " + std::to_string(state_.signal_quality) + ",99\r\n\r\nOK\r\n";
        return "\r\nERROR\r\n";
    }

    if (command == "OK") return line("OK");
    if (command == "+EXIT") return line("+EXIT OK");
    if (command.size() < 5) return line("UNKNOWN COMMAND");
    return dispatch(upperAscii(command.substr(0, 5)), command.substr(5));
}

// The interpreter's handlers, one per command or family of commands sharing a syntax. Each gets the
// upper-cased keyword and the rest of the command, and returns the whole answer.
struct Module::Commands {
    using Handler = std::string (*)(Module&, std::string_view kw, std::string_view arg);
    struct Entry {
        std::string_view keyword;
        Handler handler;
    };

    // A setting of one number: a single digit in [lo, hi], or exactly two digits.
    struct Value {
        std::string_view keyword;
        int ModuleState::*field;
        int lo, hi;
        bool two_digits;
    };
    static constexpr Value kValues[] = {
        {"R420M", &ModuleState::shunt, 0, 7, false},
        {"ANDEL", &ModuleState::measure_delay, 0, 99, true},
        {"RTMOD", &ModuleState::runtime_mode, 0, 7, false},
        {"CFLOW", &ModuleState::counter_format, 0, 1, false},
        {"SRATE", &ModuleState::sample_rate, 0, 9, false},
        {"DLPER", &ModuleState::logger_period, 0, 9, false},
        {"SNFLT", &ModuleState::schedule_recipients, 0, 7, false},
        {"ESKTD", &ModuleState::max_error_level, 0, 99, true},
    };
    // A switch: "0" or "1".
    struct Flag {
        std::string_view keyword;
        bool ModuleState::*field;
    };
    static constexpr Flag kFlags[] = {
        {"AEXTF", &ModuleState::extended_mode},
        {"RSTEN", &ModuleState::restart_enable},
    };
    // The GPRS, FTP and HTTP texts: a write with its separator and length limit, a read with its label.
    struct Uplink {
        std::string_view set, get, label;
        std::string ModuleState::*field;
        std::size_t limit;
        char separator;
    };
    static inline const Uplink kUplink[] = {
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

    static std::string counterText(const ModuleState& s, std::size_t n) {
        const bool runtime = (s.runtime_mode >> n) & 1;
        return std::string(s.counter_format ? "F" : "C") + std::to_string(n + 1) + "=" +
               std::to_string(s.counters[n]) + (runtime ? "MIN" : "");
    }
    static const std::string& outputName(const ModuleState& s, std::size_t n) {
        return s.short_texts[(s.outputs[n] ? 68 : 73) + n];
    }
    static const std::string& inputName(const ModuleState& s, std::size_t n) {
        return s.short_texts[(s.inputs[n] ? 54 : 61) + n];
    }

    // --- Subscriber numbers and phone book ---

    static std::string setNumber(Module& m, std::string_view kw, std::string_view arg) {
        const auto n = digitIn(arg, 1, 7);
        if (!n || (arg.size() > 1 && arg[1] != ' ')) return refused(kw);
        const std::string_view number = arg.size() > 2 ? arg.substr(2) : std::string_view{};
        if (!validNumber(number)) return refused(kw);
        auto& list = kw == "SETNN" ? m.state_.alarm_numbers : m.state_.phone_book;
        list[static_cast<std::size_t>(*n - 1)] = std::string(number);
        return ok(kw, std::to_string(*n));
    }

    static std::string alarmNumber(Module& m, std::string_view kw, std::string_view arg) {
        const auto n = onlyDigit(arg, 1, 7);
        if (!n) return refused(kw);
        auto& number = m.state_.alarm_numbers[static_cast<std::size_t>(*n - 1)];
        if (kw == "CLRNR") {
            number.clear();
            return ok(kw, std::to_string(*n));
        }
        return line(std::to_string(*n) + ": " + number);
    }

    static std::string phoneBook(Module& m, std::string_view kw, std::string_view arg) {
        if (!arg.empty()) return refused(kw);
        std::string out = " ";
        for (std::size_t i = 0; i < 7; ++i)
            out += "N" + std::to_string(i + 1) + ":" + m.state_.phone_book[i] + " ";
        return line(out);
    }

    // --- Event texts and IO names ---

    static std::string eventText(Module& m, std::string_view kw, std::string_view arg) {
        const bool external = kw[4] == 'X';
        const int last = external ? 54 : 78;
        const auto nn = twoDigitValue(arg.substr(0, 2));
        if (!nn || *nn < 1 || *nn > last) return refused(kw);
        const std::string slot = twoDigits(*nn);
        auto& text = (external ? m.state_.external_texts.data() : m.state_.short_texts.data())[*nn - 1];
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

    static std::string eventMasks(Module& m, std::string_view kw, std::string_view arg) {
        const auto parts = splitCommas(arg);
        if (parts.size() != 4 || !parts[0].empty() || !validMask(parts[1], 4) || !validMask(parts[2], 4) ||
            !(validMask(parts[3], 6) || validMask(parts[3], 7))) {
            return refused(kw);
        }
        m.state_.temp_mask = std::string(parts[1]);
        m.state_.analog_mask = std::string(parts[2]);
        m.state_.digital_mask = std::string(parts[3].substr(0, 6));
        return ok(kw);
    }

    // --- Analog channels ---

    static std::string analogLevels(Module& m, std::string_view kw, std::string_view arg) {
        const auto parts = splitCommas(arg);
        const auto n = parts.size() == 5 ? onlyDigit(parts[0], 1, 4) : std::nullopt;
        if (!n) return refused(kw);
        Thresholds levels{};
        for (std::size_t i = 0; i < 4; ++i) {
            const auto v = twoDigitValue(parts[i + 1]);
            if (!v) return refused(kw);
            levels[i] = *v;
        }
        m.state_.analog_levels[static_cast<std::size_t>(*n - 1)] = levels;
        return ok(kw, std::to_string(*n));
    }

    static std::string reference(Module& m, std::string_view kw, std::string_view arg) {
        const auto parts = splitCommas(arg);
        if (parts.size() != 2 || (parts[0] != "2" && parts[0] != "5") || parts[1].size() > 4 ||
            !printable(parts[1])) {
            return refused(kw);
        }
        m.state_.reference_level = parts[0][0];
        m.state_.analog_coeff = std::string(parts[1]);
        return ok(kw);
    }

    static std::string multiplier(Module& m, std::string_view kw, std::string_view arg) {
        const bool sms = kw == "AKSMS";
        const auto parts = splitCommas(arg);
        const auto n = parts.size() == 2 ? onlyDigit(parts[0], 1, sms ? 3 : 4) : std::nullopt;
        if (!n || parts[1].size() > 4 || !printable(parts[1])) return refused(kw);
        (sms ? m.state_.sms_multipliers.data() : m.state_.analog_multipliers.data())[*n - 1] =
            std::string(parts[1]);
        return ok(kw, std::to_string(*n));
    }

    static std::string currentLoop(Module& m, std::string_view kw, std::string_view arg) {
        const auto parts = splitCommas(arg);
        const auto n = parts.size() == 2 ? onlyDigit(parts[0], 1, 3) : std::nullopt;
        const auto on = parts.size() == 2 ? onlyDigit(parts[1], 0, 1) : std::nullopt;
        if (!n || !on) return refused(kw);
        m.state_.analog_420[static_cast<std::size_t>(*n - 1)] = *on == 1;
        return ok(kw, std::to_string(*n));
    }

    static std::string analogSettings(Module& m, std::string_view kw, std::string_view arg) {
        if (!arg.empty()) return refused(kw);
        const ModuleState& s = m.state_;
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

    static std::string analogReadings(Module& m, std::string_view kw, std::string_view arg) {
        if (!arg.empty()) return refused(kw);
        std::string out;
        for (std::size_t n = 0; n < 4; ++n) {
            if (!out.empty()) out += ' ';
            const int pct = m.state_.analog_percent[n];
            if (n < 3 && m.state_.analog_420[n]) {
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

    static std::string temperatureLevels(Module& m, std::string_view kw, std::string_view arg) {
        if (arg == "0") {
            std::string out;
            for (std::size_t n = 0; n < 4; ++n) {
                const auto& l = m.state_.temp_levels[n];
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
        m.state_.temp_levels[static_cast<std::size_t>(*n - 1)] = levels;
        return ok(kw, std::to_string(*n));
    }

    static std::string temperatures(Module& m, std::string_view kw, std::string_view arg) {
        if (!arg.empty()) return refused(kw);
        std::string out;
        for (std::size_t n = 0; n < 4; ++n) {
            const int t = m.state_.temperatures_tenths[n];
            char buf[32];
            std::snprintf(buf, sizeof buf, "%sT%zu=%c%d.%dC", n ? " " : "", n + 1, t < 0 ? '-' : '+',
                          (t < 0 ? -t : t) / 10, (t < 0 ? -t : t) % 10);
            out += buf;
        }
        return line(out);
    }

    // --- Counters ---

    static std::string counters(Module& m, std::string_view kw, std::string_view arg) {
        if (!arg.empty()) return refused(kw);
        return line(counterText(m.state_, 0) + " " + counterText(m.state_, 1));
    }

    static std::string clearCounters(Module& m, std::string_view kw, std::string_view arg) {
        const auto n = onlyDigit(arg, 0, 2);
        if (!n) return refused(kw);
        if (*n == 0 || *n == 1) m.state_.counters[0] = 0;
        if (*n == 0 || *n == 2) m.state_.counters[1] = 0;
        return ok(kw, std::to_string(*n));
    }

    static std::string runningHours(Module& m, std::string_view kw, std::string_view arg) {
        if (!arg.empty()) return refused(kw);
        return line("MH " + m.clockText().substr(0, 8) + " " + counterText(m.state_, 0) + " " +
                    counterText(m.state_, 1));
    }

    // --- Outputs and inputs ---

    static std::string switchOutput(Module& m, std::string_view kw, std::string_view arg) {
        const auto n = onlyDigit(arg, 1, 5);
        if (!n) return refused(kw);
        const auto index = static_cast<std::size_t>(*n - 1);
        m.state_.outputs[index] = kw == "SETOU";
        // Option 3: "Answer SMS for Setou and Rstou SMS command".
        if (m.state_.option_mask.size() > 2 && m.state_.option_mask[2] == 'D') return {};
        return line(outputName(m.state_, index));
    }

    static std::string inputsOutputs(Module& m, std::string_view kw, std::string_view arg) {
        const bool out = kw == "GETOS";
        const std::size_t count = out ? 5 : 7;
        const auto n = onlyDigit(arg, 0, static_cast<int>(count));
        if (!n) return refused(kw);
        auto name = [&m, out](std::size_t i) {
            return out ? outputName(m.state_, i) : inputName(m.state_, i);
        };
        if (*n > 0) return line(name(static_cast<std::size_t>(*n - 1)));
        std::string all;
        for (std::size_t i = 0; i < count; ++i)
            all += (i ? "," : "") + name(i);
        return line(all);
    }

    // --- Data logger and output pulses ---

    static std::string logger(Module& m, std::string_view kw, std::string_view arg) {
        const auto parts = splitCommas(arg);
        if (parts.size() != 3 || parts[2].size() != 3) return refused(kw);
        const auto rate = onlyDigit(parts[0], 0, 9);
        const auto period = onlyDigit(parts[1], 0, 9);
        if (!rate || !period || !std::all_of(parts[2].begin(), parts[2].end(), isDigit)) return refused(kw);
        m.state_.sample_rate = *rate;
        m.state_.logger_period = *period;
        for (std::size_t i = 0; i < 3; ++i)
            m.state_.pulse_durations[i] = parts[2][i] - '0';
        return ok(kw);
    }

    // --- Status, version, clock, restart ---

    static std::string status(Module& m, std::string_view kw, std::string_view arg) {
        if (!arg.empty()) return refused(kw);
        const ModuleState& s = m.state_;
        std::string outs;
        std::string ins;
        for (const bool o : s.outputs)
            outs += o ? '1' : '0';
        for (const bool i : s.inputs)
            ins += i ? '1' : '0';
        std::string first =
            "ST OUT=" + outs + " IN=" + ins + " " + counterText(s, 0) + " " + counterText(s, 1);
        for (std::size_t n = 0; n < 2; ++n) {
            const int t = s.temperatures_tenths[n];
            char buf[24];
            std::snprintf(buf, sizeof buf, " T%zu=%c%d.%d", n + 1, t < 0 ? '-' : '+', (t < 0 ? -t : t) / 10,
                          (t < 0 ? -t : t) % 10);
            first += buf;
        }
        first += " GSM=" + std::to_string(s.signal_quality);
        std::string filters = "SETTF";
        for (const int f : s.timeout_filters)
            filters += "," + twoDigits(f);
        filters += " " + std::to_string(s.digital_filter);
        std::string pulses;
        for (std::size_t i = 0; i < 3; ++i)
            pulses += std::to_string(s.pulse_durations[i]);
        return line(first) +
               line("SETME," + s.temp_mask + "," + s.analog_mask + "," + s.digital_mask + " " + filters +
                    " SETTN" + std::to_string(s.sample_rate) + "," + std::to_string(s.logger_period) + "," +
                    pulses) +
               line("RTMOD" + std::to_string(s.runtime_mode) + " CFLOW" + std::to_string(s.counter_format) +
                    " RSTEN" + (s.restart_enable ? "1" : "0") + " ESKTD" + twoDigits(s.max_error_level));
    }

    static std::string version(Module&, std::string_view kw, std::string_view arg) {
        if (!arg.empty()) return refused(kw);
        return line("VER HX350-SIM " HX350_SIM_VERSION);
    }

    static std::string readClock(Module& m, std::string_view kw, std::string_view arg) {
        if (!arg.empty()) return refused(kw);
        return line("TIME " + m.clockText());
    }

    static std::string setClock(Module& m, std::string_view kw, std::string_view arg) {
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
        const std::int64_t target = secondsOf(CivilTime{2000 + yy, mo, dd, hh, mi, ss});
        m.state_.clock_offset_s = target - secondsOf(m.clock_.localNow());
        m.state_.zone = zone;
        return ok(kw);
    }

    static std::string restart(Module& m, std::string_view kw, std::string_view arg) {
        if (!arg.empty()) return refused(kw);
        ++m.state_.restarts;
        // Option 5: "Store Outputs State after Restart"; without it the outputs come up off.
        if (m.state_.option_mask.size() > 4 && m.state_.option_mask[4] != 'E') m.state_.outputs = {};
        return ok(kw);
    }

    // --- SMS schedule ---

    static std::string setSchedule(Module& m, std::string_view kw, std::string_view arg) {
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
        m.state_.schedule_code = code;
        return ok(kw);
    }

    static std::string schedule(Module& m, std::string_view kw, std::string_view arg) {
        if (!arg.empty()) return refused(kw);
        return line("SETSH," + m.state_.schedule_code) +
               line("SNFLT" + std::to_string(m.state_.schedule_recipients));
    }

    // --- Other settings ---

    static std::string setOptions(Module& m, std::string_view kw, std::string_view arg) {
        if (arg.empty() || arg[0] != ' ' || arg.size() > 16) return refused(kw);
        std::string mask(arg.substr(1));
        mask.resize(15, ' ');
        for (std::size_t i = 2; i < 15; ++i) {
            if (mask[i] != 'E' && mask[i] != 'D') return refused(kw);
        }
        m.state_.option_mask = mask;
        return ok(kw);
    }

    static std::string options(Module& m, std::string_view kw, std::string_view arg) {
        if (!arg.empty()) return refused(kw);
        return line("SETMP " + m.state_.option_mask);
    }

    static std::string timeoutFilters(Module& m, std::string_view kw, std::string_view arg) {
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
        m.state_.timeout_filters = filters;
        m.state_.digital_filter = *digital;
        return ok(kw);
    }

    // --- Settings of one number or switch, and the GPRS, FTP and HTTP texts ---

    static std::string value(Module& m, std::string_view kw, std::string_view arg) {
        for (const Value& v : kValues) {
            if (kw != v.keyword) continue;
            const auto n = v.two_digits ? twoDigitValue(arg) : onlyDigit(arg, v.lo, v.hi);
            if (!n) return refused(kw);
            m.state_.*v.field = *n;
            return ok(kw);
        }
        return line("UNKNOWN COMMAND");
    }

    static std::string flag(Module& m, std::string_view kw, std::string_view arg) {
        for (const Flag& f : kFlags) {
            if (kw != f.keyword) continue;
            const auto on = onlyDigit(arg, 0, 1);
            if (!on) return refused(kw);
            m.state_.*f.field = *on == 1;
            return ok(kw);
        }
        return line("UNKNOWN COMMAND");
    }

    static std::string uplink(Module& m, std::string_view kw, std::string_view arg) {
        for (const Uplink& u : kUplink) {
            if (kw == u.get) {
                if (!arg.empty()) return refused(kw);
                return line(std::string(u.label) + ": " + m.state_.*u.field);
            }
            if (kw == u.set) {
                if (!arg.empty() && arg[0] != u.separator) return refused(kw);
                const std::string_view written = dropLeadingSpaces(arg.empty() ? arg : arg.substr(1));
                if (written.size() > u.limit || !printable(written)) return refused(kw);
                m.state_.*u.field = std::string(written);
                return ok(kw);
            }
        }
        return line("UNKNOWN COMMAND");
    }

    static inline const Entry kTable[] = {
        // Subscriber numbers and phone book
        {"SETNN", setNumber},
        {"SETPB", setNumber},
        {"CLRNR", alarmNumber},
        {"GETNR", alarmNumber},
        {"GETPB", phoneBook},
        // Event texts, IO names, event masks
        {"SETTX", eventText},
        {"SETTI", eventText},
        {"GETTX", eventText},
        {"GETTI", eventText},
        {"SETME", eventMasks},
        // Analog and temperature channels
        {"ANLEV", analogLevels},
        {"REFLV", reference},
        {"ADDKF", multiplier},
        {"AKSMS", multiplier},
        {"420FL", currentLoop},
        {"GETLV", analogSettings},
        {"GETAN", analogReadings},
        {"TCLEV", temperatureLevels},
        {"GETTC", temperatures},
        // Counters, outputs and inputs, data logger
        {"GETCT", counters},
        {"CLRCT", clearCounters},
        {"GETMH", runningHours},
        {"SETOU", switchOutput},
        {"RSTOU", switchOutput},
        {"GETOS", inputsOutputs},
        {"GETIS", inputsOutputs},
        {"SETTN", logger},
        // Status, version, clock, restart
        {"GETST", status},
        {"GETVR", version},
        {"GETTM", readClock},
        {"SETTM", setClock},
        {"RSTRT", restart},
        // SMS schedule and other settings
        {"SETSH", setSchedule},
        {"GETSH", schedule},
        {"SETMP", setOptions},
        {"GETMP", options},
        {"SETTF", timeoutFilters},
    };

    static Handler find(std::string_view kw) {
        for (const Entry& e : kTable) {
            if (e.keyword == kw) return e.handler;
        }
        for (const Value& v : kValues) {
            if (v.keyword == kw) return value;
        }
        for (const Flag& f : kFlags) {
            if (f.keyword == kw) return flag;
        }
        for (const Uplink& u : kUplink) {
            if (u.set == kw || u.get == kw) return uplink;
        }
        return nullptr;
    }
};

std::string Module::dispatch(std::string_view kw, std::string_view arg) {
    const Commands::Handler handler = Commands::find(kw);
    if (handler == nullptr) return line("UNKNOWN COMMAND");
    return handler(*this, kw, arg);
}

}  // namespace hx350::sim
