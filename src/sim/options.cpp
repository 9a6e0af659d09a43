#include "sim/options.h"

#include <functional>

namespace hx350::sim {

namespace {

std::optional<std::uint64_t> parseCount(const std::string& s, std::uint64_t max) {
    if (s.empty() || s.size() > 10) return std::nullopt;
    std::uint64_t v = 0;
    for (const char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (v > max) return std::nullopt;
    return v;
}

bool validNumber(const std::string& number) {
    std::size_t digits = 0;
    for (std::size_t i = 0; i < number.size(); ++i) {
        if (number[i] == '+' && i == 0) continue;
        if (number[i] < '0' || number[i] > '9') return false;
        ++digits;
    }
    return digits >= 1 && digits <= 20;
}

}  // namespace

ParseResult parseOptions(const std::vector<std::string>& args) {
    SimOptions o;
    bool have_mode = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> inline_value;
        if (name.rfind("--", 0) == 0) {
            const std::size_t eq = name.find('=');
            if (eq != std::string::npos) {
                inline_value = name.substr(eq + 1);
                name = name.substr(0, eq);
            }
        }
        auto value = [&](std::string& out) -> bool {
            if (inline_value) {
                out = *inline_value;
                return true;
            }
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        auto flag = [&](bool& out) -> bool {
            if (inline_value) return false;
            out = true;
            return true;
        };
        std::string v;
        auto bad = [&](const std::string& what) { return ParseResult{std::nullopt, what}; };
        auto count = [&](std::uint64_t max, auto& out) -> bool {
            if (!value(v)) return false;
            const auto n = parseCount(v, max);
            if (!n) return false;
            out = static_cast<std::remove_reference_t<decltype(out)>>(*n);
            return true;
        };

        if (name == "--help" || name == "-h") {
            if (!flag(o.help)) return bad("--help takes no value");
        } else if (name == "--version") {
            if (!flag(o.version)) return bad("--version takes no value");
        } else if (name == "--silent") {
            if (!flag(o.silent)) return bad("--silent takes no value");
        } else if (name == "--mode") {
            if (!value(v)) return bad("--mode needs module or phone");
            if (v == "module")
                o.mode = SimMode::kModule;
            else if (v == "phone")
                o.mode = SimMode::kPhone;
            else
                return bad("--mode must be module or phone, not '" + v + "'");
            have_mode = true;
        } else if (name == "--link") {
            if (!value(o.link) || o.link.empty()) return bad("--link needs a path");
        } else if (name == "--device") {
            if (!value(o.device) || o.device.empty()) return bad("--device needs a path");
        } else if (name == "--transcript") {
            if (!value(o.transcript) || o.transcript.empty()) return bad("--transcript needs a file name");
        } else if (name == "--module-number") {
            if (!value(o.module_number) || !validNumber(o.module_number)) {
                return bad("--module-number needs a phone number: digits, optionally after '+'");
            }
        } else if (name == "--baud") {
            if (!count(4000000, o.baud)) return bad("--baud needs a line speed such as 19200");
        } else if (name == "--answer-delay") {
            if (!count(600000, o.answer_delay_ms))
                return bad("--answer-delay needs milliseconds (0 to 600000)");
        } else if (name == "--split") {
            if (!count(65536, o.split)) return bad("--split needs a byte count (0 = whole answers)");
        } else if (name == "--split-pause") {
            if (!count(60000, o.split_pause_ms)) return bad("--split-pause needs milliseconds (0 to 60000)");
        } else if (name == "--reply-delay") {
            if (!count(600000, o.reply_delay_ms))
                return bad("--reply-delay needs milliseconds (0 to 600000)");
        } else {
            return bad("unknown option '" + args[i] + "' (see --help)");
        }
    }
    if (!have_mode && !o.help && !o.version)
        return {std::nullopt, "--mode module|phone is required (see --help)"};
    if (!o.link.empty() && !o.device.empty()) return {std::nullopt, "--link and --device exclude each other"};
    return {o, {}};
}

std::string usageText() {
    return R"(Usage: hx350-sim --mode module|phone [options]

Stands in for the HX350 module (module mode: the module on the serial cable, in
setting mode) or for a GSM phone with the module reachable by SMS behind it
(phone mode), on a pseudo-terminal. The path of the terminal to open is printed
on the first line of standard output. Runs until SIGINT or SIGTERM.

Options:
  --mode module|phone   what to simulate (required)
  --link PATH           also make PATH a symbolic link to the terminal
  --device PATH         serve an existing serial device instead of a new terminal
  --baud RATE           line speed of --device (default 19200)
  --module-number NR    the module's phone number in phone mode
                        (default +491700350350)
  --transcript FILE     write a timestamped transcript of both directions
  --answer-delay MS     wait before answering (default 50)
  --split N             write answers in pieces of N bytes (default: whole)
  --split-pause MS      pause between pieces (default 100)
  --reply-delay MS      phone mode: time until the module's answer SMS is in the
                        phone's memory (default 1000)
  --silent              read and log, never answer
  --help, --version

Module mode answers (each line ends with CR LF):
  GETNRn               n: NUMBER
  GETPB                " N1:NUMBER N2:NUMBER ... N7:NUMBER " (leading space,
                       each entry closed by a space)
  GETTXnn, GETTInn     nn: TEXT
  GETAP GETID GETPW GETIP GETFT GETAF GETPF GETDN GETRH GETR2
                       APN: / UserID: / PASSWORD: / IP address: / FTP Host: /
                       UserName FTP: / Password FTP: / DirName: /
                       Remote Host: / Remote Host2: then the value
  writes               KEYWORD[n] OK, e.g. SETNN3 OK, SETTX05 OK, SETME OK
  refused parameter    KEYWORD ERROR        unknown command: UNKNOWN COMMAND
  See the manual page hx350-sim(1) for every command and answer.

Phone mode: AT commands of 3GPP TS 27.007 / 27.005 in PDU mode. An SMS to the
module's number is executed by the module; its answer arrives as an SMS from
that number, stored unread in the SIM memory "SM".
)";
}

}  // namespace hx350::sim
