#include "sim/phone.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <limits>

namespace hx350::sim {

namespace {

constexpr std::size_t kLineLimit = 1024;
// Two hex digits per octet: at most an 11-octet SMSC field and a 164-octet TPDU (TS 23.040 clause 9.2.2.2).
constexpr std::size_t kPduHexLimit = 2 * (12 + 164);
constexpr char kCtrlZ = 0x1A;
constexpr char kEsc = 0x1B;

// Error numbers, TS 27.007 clause 9.2 and TS 27.005 clause 3.2.5.
constexpr int kCmeNotAllowed = 3;
constexpr int kCmeNotSupported = 4;
constexpr int kCmeInvalidIndex = 21;
constexpr int kCmeBadParameters = 50;
constexpr int kCmsNotAllowed = 302;
constexpr int kCmsNotSupported = 303;
constexpr int kCmsBadPdu = 304;
constexpr int kCmsInvalidIndex = 321;
/// Where the value of a basic command (ATE1, ATV1) stops growing.
constexpr int kValueLimit = std::numeric_limits<int>::max();

const char* cmeText(int code) {
    switch (code) {
        case kCmeNotAllowed:
            return "operation not allowed";
        case kCmeNotSupported:
            return "operation not supported";
        case kCmeInvalidIndex:
            return "invalid index";
        case kCmeBadParameters:
            return "incorrect parameters";
        default:
            return "unknown";
    }
}

std::string upper(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](char c) { return static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c); });
    return out;
}

std::optional<int> parseInt(std::string_view s) {
    if (s.empty() || s.size() > 9) return std::nullopt;
    int v = 0;
    for (const char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v;
}

// A quoted string parameter without its quotes; nothing when it is not quoted.
std::optional<std::string> unquote(std::string_view s) {
    if (s.size() < 2 || s.front() != '"' || s.back() != '"') return std::nullopt;
    return std::string(s.substr(1, s.size() - 2));
}

std::string quoted(std::string_view s) {
    return "\"" + std::string(s) + "\"";
}

std::int64_t secondsOf(const LocalDateTime& t) {
    return daysFromCivil(t.year, t.month, t.day) * 86400 + t.secondsOfDay();
}

void civil(std::int64_t seconds, int& y, int& mo, int& d, int& h, int& mi, int& s) {
    std::int64_t days = seconds / 86400;
    std::int64_t rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    // Inverse of daysFromCivil by search around an estimate: simple and exact for the years a clock shows.
    y = static_cast<int>(1970 + days / 366);
    while (daysFromCivil(y + 1, 1, 1) <= days)
        ++y;
    mo = 1;
    while (mo < 12 && daysFromCivil(y, mo + 1, 1) <= days)
        ++mo;
    d = static_cast<int>(days - daysFromCivil(y, mo, 1)) + 1;
    h = static_cast<int>(rest / 3600);
    mi = static_cast<int>(rest / 60 % 60);
    s = static_cast<int>(rest % 60);
}

}  // namespace

std::vector<std::string> splitParameters(std::string_view params) {
    std::vector<std::string> out;
    std::string current;
    bool in_quotes = false;
    for (const char c : params) {
        if (c == '"') in_quotes = !in_quotes;
        if (c == ',' && !in_quotes) {
            out.push_back(current);
            current.clear();
            continue;
        }
        if (c == ' ' && !in_quotes) continue;
        current.push_back(c);
    }
    out.push_back(current);
    return out;
}

Phone::Phone(PhoneConfig config, const Clock& clock, Module& module)
    : config_(std::move(config)), clock_(clock), module_(module) {}

std::string Phone::feed(std::string_view bytes) {
    std::string out;
    for (const char c : bytes) {
        if (in_pdu_) {
            if (c == kCtrlZ || c == kEsc) {
                out += finishPdu(c == kEsc);
                continue;
            }
            if (c == '\r' || c == '\n' || c == ' ' || c == '\0') continue;
            if (pdu_.size() >= kPduHexLimit) {
                pdu_overflow_ = true;
                continue;
            }
            pdu_.push_back(c);
            continue;
        }
        if (c == '\r') {
            if (line_overflow_) {
                if (echo_) out += "\r";
                out += "\r\nERROR\r\n";
            } else {
                out += executeLine(line_);
            }
            line_.clear();
            line_overflow_ = false;
            continue;
        }
        if (c == '\n' || c == '\0' || c == kCtrlZ) continue;
        if (c == kEsc) {  // abandons a half-typed line (clients send it to leave a pending prompt)
            line_.clear();
            continue;
        }
        if (c == '\b') {
            if (!line_.empty()) line_.pop_back();
            continue;
        }
        if (line_.size() >= kLineLimit) {
            line_overflow_ = true;
            continue;
        }
        line_.push_back(c);
    }
    return out;
}

std::string Phone::executeLine(std::string_view line) {
    // V.250 clause 5.2.1: a command line starts with "AT" (either case); anything before it is line noise.
    std::size_t at = std::string_view::npos;
    for (std::size_t i = 0; i + 1 < line.size(); ++i) {
        if ((line[i] == 'A' || line[i] == 'a') && (line[i + 1] == 'T' || line[i + 1] == 't')) {
            at = i;
            break;
        }
    }
    if (at == std::string_view::npos) return {};
    std::string out;
    if (echo_) {
        for (const char c : line.substr(at)) {
            if (static_cast<unsigned char>(c) >= 0x20) out.push_back(c);
        }
        out += "\r";
    }

    std::string_view body = line.substr(at + 2);
    std::string info;
    Reply last;
    while (true) {
        while (!body.empty() && body.front() == ' ')
            body.remove_prefix(1);
        if (body.empty()) break;
        Reply reply;
        if (body.front() == '+' || body.front() == '^' || body.front() == '$' || body.front() == '%') {
            // Extended command: name up to '=', '?' or ';' (TS 27.007 clause 4.1).
            std::size_t end = 1;
            while (end < body.size() && body[end] != '=' && body[end] != '?' && body[end] != ';')
                ++end;
            const std::string name = upper(body.substr(0, end));
            char kind = 'x';  // action
            std::string_view params;
            std::size_t next = end;
            if (end < body.size() && body[end] == '?') {
                kind = 'r';
                next = end + 1;
            } else if (end < body.size() && body[end] == '=') {
                if (end + 1 < body.size() && body[end + 1] == '?') {
                    kind = 't';
                    next = end + 2;
                } else {
                    kind = 's';
                    bool in_quotes = false;
                    next = end + 1;
                    while (next < body.size() && (in_quotes || body[next] != ';')) {
                        if (body[next] == '"') in_quotes = !in_quotes;
                        ++next;
                    }
                    params = body.substr(end + 1, next - end - 1);
                }
            }
            if (next < body.size() && body[next] == ';') ++next;
            body.remove_prefix(next);
            reply = executeExtended(name, kind, params);
        } else {
            // Basic commands (V.250 clause 6): a letter, or '&' and a letter, with an optional number.
            char letter = static_cast<char>(body.front() >= 'a' && body.front() <= 'z' ? body.front() - 32
                                                                                       : body.front());
            body.remove_prefix(1);
            if (letter == '&' && !body.empty()) {
                letter = static_cast<char>(std::tolower(static_cast<unsigned char>(body.front())));
                body.remove_prefix(1);
            } else if (letter == 'S') {
                // S-register: "Snn=v" or "Snn?"; accepted and ignored.
                while (!body.empty() && body.front() != ';' && body.front() != ' ')
                    body.remove_prefix(1);
                if (!body.empty() && body.front() == ';') body.remove_prefix(1);
                continue;
            }
            // The value saturates: a run of digits longer than any valid value must not overflow; the
            // command is then refused like any other value it does not know.
            int value = -1;
            while (!body.empty() && body.front() >= '0' && body.front() <= '9') {
                const int digit = body.front() - '0';
                value = value < 0                            ? digit
                        : value > (kValueLimit - digit) / 10 ? kValueLimit
                                                             : value * 10 + digit;
                body.remove_prefix(1);
            }
            if (!body.empty() && body.front() == ';') body.remove_prefix(1);
            bool ok = true;
            reply = executeBasic(letter, value, ok);
            if (!ok) reply.final = Final::kError;
        }
        if (!reply.info.empty()) {
            info += "\r\n";
            for (std::size_t i = 0; i < reply.info.size(); ++i)
                info += reply.info[i] + "\r\n";
        }
        last = reply;
        if (reply.final != Final::kOk) break;
    }
    if (last.final == Final::kPrompt) return out + info + "\r\n> ";
    if (last.final == Final::kNone) return out + info;
    return out + info + finalText(last);
}

std::string Phone::finalText(const Reply& reply) const {
    switch (reply.final) {
        case Final::kOk:
            return "\r\nOK\r\n";
        case Final::kCme:
            if (cmee_ == 0) return "\r\nERROR\r\n";
            if (cmee_ == 2) return std::string("\r\n+CME ERROR: ") + cmeText(reply.code) + "\r\n";
            return "\r\n+CME ERROR: " + std::to_string(reply.code) + "\r\n";
        case Final::kCms:
            return "\r\n+CMS ERROR: " + std::to_string(reply.code) + "\r\n";
        default:
            return "\r\nERROR\r\n";
    }
}

Phone::Reply Phone::executeBasic(char letter, int value, bool& ok) {
    Reply r;
    switch (letter) {
        case 'E':
            if (value > 1) ok = false;
            echo_ = value == 1;
            break;
        case 'Z':
        case 'f':  // &F
            echo_ = true;
            cmee_ = 0;
            break;
        case 'I':
            r.info = {config_.manufacturer, config_.model, "REVISION " + config_.revision};
            break;
        case 'V':
            ok = value != 0;  // only verbose result codes
            break;
        case 'Q':
            ok = value <= 0;
            break;
        case 'c':  // &C
        case 'd':  // &D
        case 'w':  // &W
        case 'X':
        case 'L':
        case 'M':
            break;
        default:
            ok = false;
    }
    return r;
}

Phone::Reply Phone::executeExtended(std::string_view name, char kind, std::string_view params) {
    Reply r;
    const std::vector<std::string> p = kind == 's' ? splitParameters(params) : std::vector<std::string>{};
    auto cme = [&r](int code) {
        r.final = Final::kCme;
        r.code = code;
        return r;
    };
    auto cms = [&r](int code) {
        r.final = Final::kCms;
        r.code = code;
        return r;
    };
    auto intParam = [&p](std::size_t i) -> std::optional<int> {
        return i < p.size() ? parseInt(p[i]) : std::nullopt;
    };
    auto usedSlots = [this] { return std::to_string(messages_.size()); };
    const std::string total = std::to_string(config_.capacity);

    // Identification (TS 27.007 clause 5): action or test form only.
    struct Ident {
        std::string_view a, b;
        const std::string PhoneConfig::*value;
    };
    static const Ident kIdent[] = {
        {"+CGMI", "+GMI", &PhoneConfig::manufacturer}, {"+CGMM", "+GMM", &PhoneConfig::model},
        {"+CGMR", "+GMR", &PhoneConfig::revision},     {"+CGSN", "+GSN", &PhoneConfig::imei},
        {"+CIMI", "+CIMI", &PhoneConfig::imsi},
    };
    for (const Ident& id : kIdent) {
        if (name == id.a || name == id.b) {
            if (kind == 'x')
                r.info = {config_.*id.value};
            else if (kind != 't')
                return cme(kCmeNotSupported);
            return r;
        }
    }

    if (name == "+CMEE") {
        if (kind == 'r')
            r.info = {"+CMEE: " + std::to_string(cmee_)};
        else if (kind == 't')
            r.info = {"+CMEE: (0-2)"};
        else if (kind == 's' && intParam(0) && *intParam(0) <= 2)
            cmee_ = *intParam(0);
        else
            return cme(kCmeBadParameters);
        return r;
    }
    if (name == "+CSCS") {
        static const std::vector<std::string> kSets = {"GSM", "IRA", "8859-1", "UCS2"};
        if (kind == 'r')
            r.info = {"+CSCS: " + quoted(charset_)};
        else if (kind == 't')
            r.info = {"+CSCS: (\"GSM\",\"IRA\",\"8859-1\",\"UCS2\")"};
        else if (kind == 's') {
            const auto set = unquote(p[0]);
            if (!set || std::find(kSets.begin(), kSets.end(), upper(*set)) == kSets.end())
                return cme(kCmeBadParameters);
            charset_ = upper(*set);
        } else
            return cme(kCmeNotSupported);
        return r;
    }
    if (name == "+CMGF") {
        // PDU mode only (TS 27.005 clause 3.2.3): text mode is refused.
        if (kind == 'r')
            r.info = {"+CMGF: 0"};
        else if (kind == 't')
            r.info = {"+CMGF: (0)"};
        else if (kind == 's' && p[0] == "0") {
        } else if (kind == 's' && p[0] == "1")
            return cms(kCmsNotSupported);
        else
            return cms(kCmsNotAllowed);
        return r;
    }
    if (name == "+CSMS") {
        if (kind == 'r')
            r.info = {"+CSMS: 0,1,1,1"};
        else if (kind == 't')
            r.info = {"+CSMS: (0)"};
        else if (kind == 's' && p[0] == "0")
            r.info = {"+CSMS: 1,1,1"};
        else
            return cms(kCmsNotSupported);
        return r;
    }
    if (name == "+CPMS") {
        // One memory, the SIM's "SM" (TS 27.005 clause 3.2.2); "MT" and "ME" are not offered.
        if (kind == 't')
            r.info = {"+CPMS: (\"SM\"),(\"SM\"),(\"SM\")"};
        else if (kind == 'r') {
            const std::string pair = "\"SM\"," + usedSlots() + "," + total;
            r.info = {"+CPMS: " + pair + "," + pair + "," + pair};
        } else if (kind == 's') {
            if (p.size() > 3) return cms(kCmsNotAllowed);
            for (const auto& mem : p) {
                const auto m = unquote(mem);
                if (!m || upper(*m) != "SM") return cms(kCmsNotAllowed);
            }
            const std::string pair = usedSlots() + "," + total;
            r.info = {"+CPMS: " + pair + "," + pair + "," + pair};
        } else
            return cms(kCmsNotAllowed);
        return r;
    }
    if (name == "+CSCA") {
        if (kind == 'r') {
            const bool international = !config_.service_centre.empty() && config_.service_centre[0] == '+';
            r.info = {"+CSCA: " + quoted(config_.service_centre) + "," + (international ? "145" : "129")};
        } else if (kind == 's') {
            const auto number = unquote(p[0]);
            if (!number || number->empty()) return cms(kCmsNotAllowed);
            config_.service_centre = *number;
        } else if (kind != 't')
            return cms(kCmsNotAllowed);
        return r;
    }
    if (name == "+CNMI") {
        if (kind == 'r')
            r.info = {"+CNMI: " + std::to_string(cnmi_mode_) + "," + std::to_string(cnmi_mt_) + ",0,0,0"};
        else if (kind == 't')
            r.info = {"+CNMI: (0-2),(0-1),(0),(0),(0)"};
        else if (kind == 's') {
            const auto mode = intParam(0);
            const auto mt = p.size() > 1 && !p[1].empty() ? intParam(1) : std::optional<int>(0);
            if (!mode || *mode > 2 || !mt || *mt > 1) return cms(kCmsNotSupported);
            cnmi_mode_ = *mode;
            cnmi_mt_ = *mt;
        } else
            return cms(kCmsNotAllowed);
        return r;
    }
    if (name == "+CFUN") {
        if (kind == 'r')
            r.info = {"+CFUN: 1"};
        else if (kind == 't')
            r.info = {"+CFUN: (0,1),(0,1)"};
        else if (kind == 's' && intParam(0) && *intParam(0) <= 1) {
        } else
            return cme(kCmeBadParameters);
        return r;
    }
    if (name == "+CPIN") {
        if (kind == 'r')
            r.info = {"+CPIN: READY"};
        else if (kind != 't')
            return cme(kCmeNotAllowed);
        return r;
    }
    if (name == "+CSQ") {
        if (kind == 'x')
            r.info = {"+CSQ: " + std::to_string(config_.signal_rssi) + ",99"};
        else if (kind == 't')
            r.info = {"+CSQ: (0-31,99),(0-7,99)"};
        else
            return cme(kCmeNotSupported);
        return r;
    }
    if (name == "+CBC") {
        if (kind == 'x')
            r.info = {"+CBC: 0,100"};
        else if (kind != 't')
            return cme(kCmeNotSupported);
        return r;
    }
    if (name == "+GCAP") {
        r.info = {"+GCAP: +CGSM"};
        return r;
    }
    if (name == "+CCLK") {
        if (kind == 'r')
            r.info = {"+CCLK: " + quoted(clockText())};
        else if (kind == 's') {
            // "yy/MM/dd,hh:mm:ss±zz", zone in quarters of an hour (TS 27.007 clause 8.15).
            const auto t = unquote(p[0]);
            int yy = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, zz = 0;
            char sign = '+';
            char tail = 0;
            if (!t || (std::sscanf(t->c_str(), "%2d/%2d/%2d,%2d:%2d:%2d%c%2d%c", &yy, &mo, &d, &h, &mi, &s,
                                   &sign, &zz, &tail) != 8 &&
                       std::sscanf(t->c_str(), "%2d/%2d/%2d,%2d:%2d:%2d%c", &yy, &mo, &d, &h, &mi, &s,
                                   &tail) != 6)) {
                return cme(kCmeBadParameters);
            }
            if (mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || s > 59 ||
                (sign != '+' && sign != '-') || zz > 56) {
                return cme(kCmeBadParameters);
            }
            clock_offset_s_ = daysFromCivil(2000 + yy, mo, d) * 86400 + h * 3600 + mi * 60 + s -
                              secondsOf(clock_.localNow());
            char zone[24];
            std::snprintf(zone, sizeof zone, "%c%02d", sign, zz);
            clock_zone_ = t->size() > 17 ? zone : "";
        } else if (kind != 't')
            return cme(kCmeNotSupported);
        return r;
    }
    if (name == "+CREG" || name == "+CGREG") {
        int& n = name == "+CREG" ? creg_ : cgreg_;
        if (kind == 'r') {
            std::string line = std::string(name.substr(1)) + ": " + std::to_string(n) + ",1";
            if (n == 2) line += ",\"00A1\",\"1B2C\"";
            r.info = {"+" + line};
        } else if (kind == 't')
            r.info = {std::string(name) + ": (0-2)"};
        else if (kind == 's' && intParam(0) && *intParam(0) <= 2)
            n = *intParam(0);
        else
            return cme(kCmeBadParameters);
        return r;
    }
    if (name == "+CGATT") {
        if (kind == 'r')
            r.info = {"+CGATT: 1"};
        else if (kind == 't')
            r.info = {"+CGATT: (0,1)"};
        else if (!(kind == 's' && intParam(0) && *intParam(0) <= 1))
            return cme(kCmeBadParameters);
        return r;
    }
    if (name == "+COPS") {
        if (kind == 'r') {
            const std::string oper = cops_format_ == 2 ? config_.operator_numeric : config_.operator_long;
            r.info = {"+COPS: 0," + std::to_string(cops_format_) + "," + quoted(oper)};
        } else if (kind == 't') {
            r.info = {"+COPS: (2," + quoted(config_.operator_long) + ",\"HXNET\"," +
                      quoted(config_.operator_numeric) + "),,(0-4),(0-2)"};
        } else if (kind == 's') {
            const auto mode = intParam(0);
            if (!mode || *mode > 4) return cme(kCmeBadParameters);
            if (*mode == 3) {
                const auto format = intParam(1);
                if (!format || *format > 2) return cme(kCmeBadParameters);
                cops_format_ = *format;
            }
        } else
            return cme(kCmeNotSupported);
        return r;
    }
    if (name == "+CNUM") {
        if (kind != 'x' && kind != 't') return cme(kCmeNotSupported);
        return r;
    }

    // Messages (TS 27.005 clause 3.4, PDU mode).
    auto listEntry = [](int index, const StoredSms& m, bool with_index) {
        const std::string length = std::to_string(m.tpdu.size());
        Octets whole = m.smsc;
        whole.insert(whole.end(), m.tpdu.begin(), m.tpdu.end());
        const std::string head =
            with_index ? "+CMGL: " + std::to_string(index) + "," + std::to_string(m.stat) + ",," + length
                       : "+CMGR: " + std::to_string(m.stat) + ",," + length;
        return std::vector<std::string>{head, hexFromOctets(whole)};
    };
    if (name == "+CMGL") {
        if (kind == 't') {
            r.info = {"+CMGL: (0-4)"};
            return r;
        }
        int stat = 0;  // default: received unread
        if (kind == 's') {
            const auto v = intParam(0);
            if (!v || *v > 4 || p.size() > 1) return cms(kCmsBadPdu);
            stat = *v;
        } else if (kind == 'r')
            return cms(kCmsNotAllowed);
        for (auto& [index, m] : messages_) {
            if (stat != 4 && m.stat != stat) continue;
            const auto entry = listEntry(index, m, true);
            r.info.insert(r.info.end(), entry.begin(), entry.end());
            if (m.stat == 0) m.stat = 1;  // listing a received unread message makes it read
        }
        return r;
    }
    if (name == "+CMGR") {
        if (kind == 't') return r;
        const auto index = kind == 's' && p.size() == 1 ? intParam(0) : std::nullopt;
        if (!index) return cms(kCmsBadPdu);
        const auto it = messages_.find(*index);
        if (it == messages_.end()) return cms(kCmsInvalidIndex);
        r.info = listEntry(*index, it->second, false);
        if (it->second.stat == 0) it->second.stat = 1;
        return r;
    }
    if (name == "+CMGD") {
        if (kind == 't') {
            std::string indexes;
            for (const auto& [index, m] : messages_)
                indexes += (indexes.empty() ? "" : ",") + std::to_string(index);
            r.info = {"+CMGD: (" + indexes + "),(0-4)"};
            return r;
        }
        const auto index = kind == 's' ? intParam(0) : std::nullopt;
        const auto flag = p.size() > 1 ? intParam(1) : std::optional<int>(0);
        if (!index || !flag || *flag > 4 || p.size() > 2) return cms(kCmsBadPdu);
        if (*flag == 0) {
            if (messages_.erase(*index) == 0) return cms(kCmsInvalidIndex);
            return r;
        }
        // Delete flags (TS 27.005 clause 3.5.4): 1 read, 2 read and sent, 3 also unsent, 4 all. The memory
        // only ever holds received messages, so 1 to 3 remove the read ones and 4 removes everything.
        for (auto it = messages_.begin(); it != messages_.end();) {
            if (*flag == 4 || it->second.stat == 1)
                it = messages_.erase(it);
            else
                ++it;
        }
        return r;
    }
    if (name == "+CMGS") {
        if (kind == 't') return r;
        const auto length = kind == 's' && p.size() == 1 ? intParam(0) : std::nullopt;
        // A TPDU is at least 7 octets (first octet, MR, empty address, PID, DCS, UDL) and at most 164.
        if (!length || *length < 7 || *length > 164) return cms(kCmsBadPdu);
        in_pdu_ = true;
        pdu_.clear();
        pdu_overflow_ = false;
        pdu_length_ = *length;
        r.final = Final::kPrompt;
        return r;
    }

    return cme(kCmeNotSupported);
}

std::string Phone::finishPdu(bool cancelled) {
    in_pdu_ = false;
    if (cancelled) return "\r\nOK\r\n";
    Reply reply;
    reply.final = Final::kCms;
    reply.code = kCmsBadPdu;
    const auto octets = pdu_overflow_ ? std::nullopt : octetsFromHex(pdu_);
    if (!octets || octets->empty()) return finalText(reply);
    const SubmitResult result = decodeSubmit(*octets);
    // AT+CMGS=<length> counts the TPDU octets, without the SMSC field (TS 27.005 clause 3.5.1).
    if (!result.submit || result.tpdu_octets != static_cast<std::size_t>(pdu_length_))
        return finalText(reply);

    const std::uint8_t reference = next_reference_++;
    if (sameNumber(result.submit->destination.number, config_.module_number)) {
        pending_.push_back({clock_.tickCount() + config_.module_reply_ms, result.submit->text});
    } else {
        sent_elsewhere_.push_back(result.submit->text);
    }
    return "\r\n+CMGS: " + std::to_string(reference) + "\r\n\r\nOK\r\n";
}

std::string Phone::poll() {
    std::string out;
    const std::uint32_t now = clock_.tickCount();
    for (auto it = pending_.begin(); it != pending_.end();) {
        // Due when the wrap-safe distance from now back to the due tick is under half the counter range.
        if (static_cast<std::int32_t>(now - it->due_tick) < 0) {
            ++it;
            continue;
        }
        std::string answer;
        std::string_view text = it->text;
        // One command per line; the tool's own commands end with CR and padding.
        while (!text.empty()) {
            const std::size_t end = text.find_first_of("\r\n");
            answer += module_.execute(text.substr(0, end));
            if (end == std::string_view::npos) break;
            text.remove_prefix(end + 1);
        }
        while (answer.size() >= 2 && answer.compare(answer.size() - 2, 2, "\r\n") == 0)
            answer.resize(answer.size() - 2);
        if (!answer.empty()) {
            for (const std::string& piece : splitForSms(answer)) {
                const auto index = deliver(config_.module_number, piece);
                if (index && cnmi_mt_ == 1 && cnmi_mode_ > 0)
                    out += "\r\n+CMTI: \"SM\"," + std::to_string(*index) + "\r\n";
            }
        }
        it = pending_.erase(it);
    }
    return out;
}

std::optional<std::uint32_t> Phone::msUntilNextEvent() const {
    std::optional<std::uint32_t> best;
    const std::uint32_t now = clock_.tickCount();
    for (const auto& p : pending_) {
        const auto left = static_cast<std::int32_t>(p.due_tick - now);
        const std::uint32_t ms = left < 0 ? 0 : static_cast<std::uint32_t>(left);
        if (!best || ms < *best) best = ms;
    }
    return best;
}

std::optional<int> Phone::deliver(std::string_view originator, std::string_view text) {
    for (int index = 1; index <= static_cast<int>(config_.capacity); ++index) {
        if (messages_.count(index)) continue;
        StoredSms sms;
        sms.stat = 0;
        sms.smsc = encodeServiceCentre(config_.service_centre);
        sms.tpdu = encodeDeliver(originator, timestampNow(), text);
        messages_.emplace(index, std::move(sms));
        return index;
    }
    return std::nullopt;
}

SmsTimestamp Phone::timestampNow() const {
    const LocalDateTime now = clock_.localNow();
    SmsTimestamp t;
    civil(secondsOf(now) + clock_offset_s_, t.year, t.month, t.day, t.hour, t.minute, t.second);
    t.utc_offset_minutes = now.utc_offset_minutes;
    return t;
}

std::string Phone::clockText() const {
    const SmsTimestamp t = timestampNow();
    char buf[40];
    const int quarters = (t.utc_offset_minutes < 0 ? -t.utc_offset_minutes : t.utc_offset_minutes) / 15;
    std::snprintf(buf, sizeof buf, "%02d/%02d/%02d,%02d:%02d:%02d", t.year % 100, t.month, t.day, t.hour,
                  t.minute, t.second);
    char zone[24];
    std::snprintf(zone, sizeof zone, "%c%02d", t.utc_offset_minutes < 0 ? '-' : '+', quarters);
    return std::string(buf) + (clock_zone_.empty() ? std::string(zone) : clock_zone_);
}

}  // namespace hx350::sim
