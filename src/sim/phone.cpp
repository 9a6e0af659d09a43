#include "sim/phone.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <limits>

namespace hx350::sim {

namespace {

constexpr std::size_t kLineLimit = 1024;
// Two hex digits per octet: at most an 11-octet SMSC field and a 164-octet TPDU (TS 23.040 clause 9.2.2.2).
constexpr std::size_t kPduHexLimit = std::size_t{2} * (12 + 164);
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

// A quoted string parameter without its quotes; nothing when it is not quoted.
std::optional<std::string> unquote(std::string_view s) {
    if (s.size() < 2 || s.front() != '"' || s.back() != '"') return std::nullopt;
    return std::string(s.substr(1, s.size() - 2));
}

std::string quoted(std::string_view s) {
    return "\"" + std::string(s) + "\"";
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
            const std::string name = upperAscii(body.substr(0, end));
            CommandForm form = CommandForm::kExecute;
            std::string_view params;
            std::size_t next = end;
            if (end < body.size() && body[end] == '?') {
                form = CommandForm::kRead;
                next = end + 1;
            } else if (end < body.size() && body[end] == '=') {
                if (end + 1 < body.size() && body[end + 1] == '?') {
                    form = CommandForm::kTest;
                    next = end + 2;
                } else {
                    form = CommandForm::kSet;
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
            reply = executeExtended(name, form, params);
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

// The extended commands: one handler per command (or per family sharing a syntax), found by name in a
// table. A handler gets the command as parsed and returns its information text and final result.
struct Phone::Extended {
    struct Call {
        std::string_view name;
        CommandForm form;
        std::vector<std::string> p;  // the set form's parameters, quotes kept; empty for the other forms

        std::optional<int> intParam(std::size_t i) const {
            return i < p.size() ? parseDigits(p[i]) : std::nullopt;
        }
        bool is(CommandForm f) const { return form == f; }
    };
    using Handler = Reply (*)(Phone&, const Call&);
    struct Entry {
        std::string_view name;
        Handler handler;
    };

    static Reply info(std::vector<std::string> lines) {
        Reply r;
        r.info = std::move(lines);
        return r;
    }
    static Reply cme(int code) {
        Reply r;
        r.final = Final::kCme;
        r.code = code;
        return r;
    }
    static Reply cms(int code) {
        Reply r;
        r.final = Final::kCms;
        r.code = code;
        return r;
    }

    // Identification (TS 27.007 clause 5): action or test form only.
    struct Ident {
        std::string_view a, b;
        const std::string PhoneConfig::*value;
    };
    static constexpr Ident kIdent[] = {
        {"+CGMI", "+GMI", &PhoneConfig::manufacturer}, {"+CGMM", "+GMM", &PhoneConfig::model},
        {"+CGMR", "+GMR", &PhoneConfig::revision},     {"+CGSN", "+GSN", &PhoneConfig::imei},
        {"+CIMI", "+CIMI", &PhoneConfig::imsi},
    };
    static Reply identification(Phone& phone, const Call& c) {
        for (const Ident& id : kIdent) {
            if (c.name != id.a && c.name != id.b) continue;
            if (c.is(CommandForm::kExecute)) return info({phone.config_.*id.value});
            if (!c.is(CommandForm::kTest)) return cme(kCmeNotSupported);
            return {};
        }
        return cme(kCmeNotSupported);
    }

    static Reply errorReports(Phone& phone, const Call& c) {
        if (c.is(CommandForm::kRead)) return info({"+CMEE: " + std::to_string(phone.cmee_)});
        if (c.is(CommandForm::kTest)) return info({"+CMEE: (0-2)"});
        if (c.is(CommandForm::kSet) && c.intParam(0) && *c.intParam(0) <= 2) {
            phone.cmee_ = *c.intParam(0);
            return {};
        }
        return cme(kCmeBadParameters);
    }

    static Reply characterSet(Phone& phone, const Call& c) {
        static const std::vector<std::string> kSets = {"GSM", "IRA", "8859-1", "UCS2"};
        if (c.is(CommandForm::kRead)) return info({"+CSCS: " + quoted(phone.charset_)});
        if (c.is(CommandForm::kTest)) return info({"+CSCS: (\"GSM\",\"IRA\",\"8859-1\",\"UCS2\")"});
        if (!c.is(CommandForm::kSet)) return cme(kCmeNotSupported);
        const auto set = unquote(c.p[0]);
        if (!set || std::find(kSets.begin(), kSets.end(), upperAscii(*set)) == kSets.end())
            return cme(kCmeBadParameters);
        phone.charset_ = upperAscii(*set);
        return {};
    }

    static Reply messageFormat(Phone&, const Call& c) {
        // PDU mode only (TS 27.005 clause 3.2.3): text mode is refused.
        if (c.is(CommandForm::kRead)) return info({"+CMGF: 0"});
        if (c.is(CommandForm::kTest)) return info({"+CMGF: (0)"});
        if (c.is(CommandForm::kSet) && c.p[0] == "0") return {};
        if (c.is(CommandForm::kSet) && c.p[0] == "1") return cms(kCmsNotSupported);
        return cms(kCmsNotAllowed);
    }

    static Reply messageService(Phone&, const Call& c) {
        if (c.is(CommandForm::kRead)) return info({"+CSMS: 0,1,1,1"});
        if (c.is(CommandForm::kTest)) return info({"+CSMS: (0)"});
        if (c.is(CommandForm::kSet) && c.p[0] == "0") return info({"+CSMS: 1,1,1"});
        return cms(kCmsNotSupported);
    }

    static Reply storage(Phone& phone, const Call& c) {
        // One memory, the SIM's "SM" (TS 27.005 clause 3.2.2); "MT" and "ME" are not offered.
        const std::string used = std::to_string(phone.messages_.size());
        const std::string total = std::to_string(phone.config_.capacity);
        if (c.is(CommandForm::kTest)) return info({"+CPMS: (\"SM\"),(\"SM\"),(\"SM\")"});
        if (c.is(CommandForm::kRead)) {
            const std::string pair = "\"SM\"," + used + "," + total;
            return info({"+CPMS: " + pair + "," + pair + "," + pair});
        }
        if (!c.is(CommandForm::kSet) || c.p.size() > 3) return cms(kCmsNotAllowed);
        for (const auto& mem : c.p) {
            const auto m = unquote(mem);
            if (!m || upperAscii(*m) != "SM") return cms(kCmsNotAllowed);
        }
        const std::string pair = used + "," + total;
        return info({"+CPMS: " + pair + "," + pair + "," + pair});
    }

    static Reply serviceCentre(Phone& phone, const Call& c) {
        const std::string& centre = phone.config_.service_centre;
        if (c.is(CommandForm::kRead)) {
            const bool international = !centre.empty() && centre[0] == '+';
            return info({"+CSCA: " + quoted(centre) + "," + (international ? "145" : "129")});
        }
        if (c.is(CommandForm::kSet)) {
            const auto number = unquote(c.p[0]);
            if (!number || number->empty()) return cms(kCmsNotAllowed);
            phone.config_.service_centre = *number;
            return {};
        }
        if (!c.is(CommandForm::kTest)) return cms(kCmsNotAllowed);
        return {};
    }

    static Reply indications(Phone& phone, const Call& c) {
        if (c.is(CommandForm::kRead)) {
            return info({"+CNMI: " + std::to_string(phone.cnmi_mode_) + "," + std::to_string(phone.cnmi_mt_) +
                         ",0,0,0"});
        }
        if (c.is(CommandForm::kTest)) return info({"+CNMI: (0-2),(0-1),(0),(0),(0)"});
        if (!c.is(CommandForm::kSet)) return cms(kCmsNotAllowed);
        const auto mode = c.intParam(0);
        const auto mt = c.p.size() > 1 && !c.p[1].empty() ? c.intParam(1) : std::optional<int>(0);
        if (!mode || *mode > 2 || !mt || *mt > 1) return cms(kCmsNotSupported);
        phone.cnmi_mode_ = *mode;
        phone.cnmi_mt_ = *mt;
        return {};
    }

    static Reply functionality(Phone&, const Call& c) {
        if (c.is(CommandForm::kRead)) return info({"+CFUN: 1"});
        if (c.is(CommandForm::kTest)) return info({"+CFUN: (0,1),(0,1)"});
        if (c.is(CommandForm::kSet) && c.intParam(0) && *c.intParam(0) <= 1) return {};
        return cme(kCmeBadParameters);
    }

    static Reply pin(Phone&, const Call& c) {
        if (c.is(CommandForm::kRead)) return info({"+CPIN: READY"});
        if (!c.is(CommandForm::kTest)) return cme(kCmeNotAllowed);
        return {};
    }

    static Reply signalQuality(Phone& phone, const Call& c) {
        if (c.is(CommandForm::kExecute))
            return info({"+CSQ: " + std::to_string(phone.config_.signal_rssi) + ",99"});
        if (c.is(CommandForm::kTest)) return info({"+CSQ: (0-31,99),(0-7,99)"});
        return cme(kCmeNotSupported);
    }

    static Reply battery(Phone&, const Call& c) {
        if (c.is(CommandForm::kExecute)) return info({"+CBC: 0,100"});
        if (!c.is(CommandForm::kTest)) return cme(kCmeNotSupported);
        return {};
    }

    static Reply capabilities(Phone&, const Call&) { return info({"+GCAP: +CGSM"}); }

    static Reply clock(Phone& phone, const Call& c) {
        if (c.is(CommandForm::kRead)) return info({"+CCLK: " + quoted(phone.clockText())});
        if (c.is(CommandForm::kSet)) {
            // "yy/MM/dd,hh:mm:ss±zz", zone in quarters of an hour (TS 27.007 clause 8.15).
            const auto t = unquote(c.p[0]);
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
            phone.clock_offset_s_ =
                secondsOf(CivilTime{2000 + yy, mo, d, h, mi, s}) - secondsOf(phone.clock_.localNow());
            char zone[24];
            std::snprintf(zone, sizeof zone, "%c%02d", sign, zz);
            phone.clock_zone_ = t->size() > 17 ? zone : "";
            return {};
        }
        if (!c.is(CommandForm::kTest)) return cme(kCmeNotSupported);
        return {};
    }

    static Reply registration(Phone& phone, const Call& c) {
        int& n = c.name == "+CREG" ? phone.creg_ : phone.cgreg_;
        if (c.is(CommandForm::kRead)) {
            std::string line = std::string(c.name.substr(1)) + ": " + std::to_string(n) + ",1";
            if (n == 2) line += ",\"00A1\",\"1B2C\"";
            return info({"+" + line});
        }
        if (c.is(CommandForm::kTest)) return info({std::string(c.name) + ": (0-2)"});
        if (c.is(CommandForm::kSet) && c.intParam(0) && *c.intParam(0) <= 2) {
            n = *c.intParam(0);
            return {};
        }
        return cme(kCmeBadParameters);
    }

    static Reply attach(Phone&, const Call& c) {
        if (c.is(CommandForm::kRead)) return info({"+CGATT: 1"});
        if (c.is(CommandForm::kTest)) return info({"+CGATT: (0,1)"});
        if (!(c.is(CommandForm::kSet) && c.intParam(0) && *c.intParam(0) <= 1)) return cme(kCmeBadParameters);
        return {};
    }

    static Reply operatorSelection(Phone& phone, const Call& c) {
        const PhoneConfig& config = phone.config_;
        if (c.is(CommandForm::kRead)) {
            const std::string oper = phone.cops_format_ == 2 ? config.operator_numeric : config.operator_long;
            return info({"+COPS: 0," + std::to_string(phone.cops_format_) + "," + quoted(oper)});
        }
        if (c.is(CommandForm::kTest)) {
            return info({"+COPS: (2," + quoted(config.operator_long) + ",\"HXNET\"," +
                         quoted(config.operator_numeric) + "),,(0-4),(0-2)"});
        }
        if (!c.is(CommandForm::kSet)) return cme(kCmeNotSupported);
        const auto mode = c.intParam(0);
        if (!mode || *mode > 4) return cme(kCmeBadParameters);
        if (*mode == 3) {
            const auto format = c.intParam(1);
            if (!format || *format > 2) return cme(kCmeBadParameters);
            phone.cops_format_ = *format;
        }
        return {};
    }

    static Reply ownNumber(Phone&, const Call& c) {
        if (!c.is(CommandForm::kExecute) && !c.is(CommandForm::kTest)) return cme(kCmeNotSupported);
        return {};
    }

    // Messages (TS 27.005 clause 3.4, PDU mode).

    static std::vector<std::string> listEntry(int index, const StoredSms& m, bool with_index) {
        const std::string length = std::to_string(m.tpdu.size());
        Octets whole = m.smsc;
        whole.insert(whole.end(), m.tpdu.begin(), m.tpdu.end());
        const std::string head =
            with_index ? "+CMGL: " + std::to_string(index) + "," + std::to_string(m.stat) + ",," + length
                       : "+CMGR: " + std::to_string(m.stat) + ",," + length;
        return {head, hexFromOctets(whole)};
    }

    static Reply list(Phone& phone, const Call& c) {
        if (c.is(CommandForm::kTest)) return info({"+CMGL: (0-4)"});
        int stat = 0;  // default: received unread
        if (c.is(CommandForm::kSet)) {
            const auto v = c.intParam(0);
            if (!v || *v > 4 || c.p.size() > 1) return cms(kCmsBadPdu);
            stat = *v;
        } else if (c.is(CommandForm::kRead)) {
            return cms(kCmsNotAllowed);
        }
        Reply r;
        for (auto& [index, m] : phone.messages_) {
            if (stat != 4 && m.stat != stat) continue;
            const auto entry = listEntry(index, m, true);
            r.info.insert(r.info.end(), entry.begin(), entry.end());
            if (m.stat == 0) m.stat = 1;  // listing a received unread message makes it read
        }
        return r;
    }

    static Reply read(Phone& phone, const Call& c) {
        if (c.is(CommandForm::kTest)) return {};
        const auto index = c.is(CommandForm::kSet) && c.p.size() == 1 ? c.intParam(0) : std::nullopt;
        if (!index) return cms(kCmsBadPdu);
        const auto it = phone.messages_.find(*index);
        if (it == phone.messages_.end()) return cms(kCmsInvalidIndex);
        Reply r = info(listEntry(*index, it->second, false));
        if (it->second.stat == 0) it->second.stat = 1;
        return r;
    }

    static Reply remove(Phone& phone, const Call& c) {
        auto& messages = phone.messages_;
        if (c.is(CommandForm::kTest)) {
            std::string indexes;
            for (const auto& [index, m] : messages)
                indexes += (indexes.empty() ? "" : ",") + std::to_string(index);
            return info({"+CMGD: (" + indexes + "),(0-4)"});
        }
        const auto index = c.is(CommandForm::kSet) ? c.intParam(0) : std::nullopt;
        const auto flag = c.p.size() > 1 ? c.intParam(1) : std::optional<int>(0);
        if (!index || !flag || *flag > 4 || c.p.size() > 2) return cms(kCmsBadPdu);
        if (*flag == 0) {
            if (messages.erase(*index) == 0) return cms(kCmsInvalidIndex);
            return {};
        }
        // Delete flags (TS 27.005 clause 3.5.4): 1 read, 2 read and sent, 3 also unsent, 4 all. The memory
        // only ever holds received messages, so 1 to 3 remove the read ones and 4 removes everything.
        for (auto it = messages.begin(); it != messages.end();) {
            if (*flag == 4 || it->second.stat == 1)
                it = messages.erase(it);
            else
                ++it;
        }
        return {};
    }

    static Reply send(Phone& phone, const Call& c) {
        if (c.is(CommandForm::kTest)) return {};
        const auto length = c.is(CommandForm::kSet) && c.p.size() == 1 ? c.intParam(0) : std::nullopt;
        // A TPDU is at least 7 octets (first octet, MR, empty address, PID, DCS, UDL) and at most 164.
        if (!length || *length < 7 || *length > 164) return cms(kCmsBadPdu);
        phone.in_pdu_ = true;
        phone.pdu_.clear();
        phone.pdu_overflow_ = false;
        phone.pdu_length_ = *length;
        Reply r;
        r.final = Final::kPrompt;
        return r;
    }

    static constexpr Entry kTable[] = {
        {"+CGMI", identification}, {"+GMI", identification},
        {"+CGMM", identification}, {"+GMM", identification},
        {"+CGMR", identification}, {"+GMR", identification},
        {"+CGSN", identification}, {"+GSN", identification},
        {"+CIMI", identification}, {"+CMEE", errorReports},
        {"+CSCS", characterSet},   {"+CMGF", messageFormat},
        {"+CSMS", messageService}, {"+CPMS", storage},
        {"+CSCA", serviceCentre},  {"+CNMI", indications},
        {"+CFUN", functionality},  {"+CPIN", pin},
        {"+CSQ", signalQuality},   {"+CBC", battery},
        {"+GCAP", capabilities},   {"+CCLK", clock},
        {"+CREG", registration},   {"+CGREG", registration},
        {"+CGATT", attach},        {"+COPS", operatorSelection},
        {"+CNUM", ownNumber},      {"+CMGL", list},
        {"+CMGR", read},           {"+CMGD", remove},
        {"+CMGS", send},
    };
};

Phone::Reply Phone::executeExtended(std::string_view name, CommandForm form, std::string_view params) {
    for (const Extended::Entry& e : Extended::kTable) {
        if (e.name != name) continue;
        Extended::Call call{name, form,
                            form == CommandForm::kSet ? splitParameters(params) : std::vector<std::string>{}};
        return e.handler(*this, call);
    }
    return Extended::cme(kCmeNotSupported);
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
    const CivilTime civil = civilFromSeconds(secondsOf(now) + clock_offset_s_);
    t.year = civil.year;
    t.month = civil.month;
    t.day = civil.day;
    t.hour = civil.hour;
    t.minute = civil.minute;
    t.second = civil.second;
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
