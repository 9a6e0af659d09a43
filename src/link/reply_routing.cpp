#include "link/reply_routing.h"

#include <algorithm>
#include <array>

#include "base/text.h"

namespace hx350 {

namespace {

// Positions count from 1; a position outside the text reads as no character (0 here, which no rule
// looks for).
char at(std::string_view s, long pos) {
    return pos >= 1 && pos <= static_cast<long>(s.size()) ? s[static_cast<std::size_t>(pos - 1)] : '\0';
}

// Copy(s, i, n): from position i, at most n characters; empty when n <= 0 or i lies beyond the text.
std::string copy(std::string_view s, long i, long n) {
    if (n <= 0) return {};
    if (i < 1) i = 1;
    if (i > static_cast<long>(s.size())) return {};
    return std::string(s.substr(static_cast<std::size_t>(i - 1), static_cast<std::size_t>(n)));
}

long length(std::string_view s) {
    return static_cast<long>(s.size());
}

// Position (from 1) of the first `ch` in s, 0 when there is none.
long positionOf(std::string_view s, char ch) {
    const std::size_t found = s.find(ch);
    return found == std::string_view::npos ? 0 : static_cast<long>(found) + 1;
}

// Position (from 1) of the first character at or below 0x20, 0 when there is none. The module closes a
// number with a space when it lists several, and with CR LF when it sends one; with "Skip CR/LF" unchecked
// the CR stays a control character, and it ends the number just as the space does.
long positionOfSeparator(std::string_view s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (static_cast<unsigned char>(s[i]) <= 0x20) return static_cast<long>(i) + 1;
    }
    return 0;
}

class Assignments {
  public:
    void set(std::string edit, std::string value) {
        auto found =
            std::find_if(list_.begin(), list_.end(), [&](const EditAssignment& a) { return a.edit == edit; });
        if (found != list_.end()) {
            found->value = std::move(value);
        } else {
            list_.push_back({std::move(edit), std::move(value)});
        }
    }
    std::vector<EditAssignment> take() { return std::move(list_); }

  private:
    std::vector<EditAssignment> list_;
};

// "Abonents": subscriber numbers ("3: number") and the phone book (" N1:number N2:number ...").
void routeAbonents(std::string_view s, Assignments& out) {
    const long p = positionOf(s, ':');
    if (copy(s, 1, p - 1).empty()) return;

    // Twenty characters, the longest number, and the one that closes it: a number of full length would
    // otherwise have no end in the copy and be read as empty, blanking the edit.
    std::string value = copy(s, p + 2, 21);
    const long end = positionOfSeparator(value);
    value = copy(value, 1, end - 1);

    if (at(s, 1) >= '1' && at(s, 1) <= '7') {
        out.set("NNumber" + std::string(1, at(s, 1)), value);
        return;
    }

    std::string w(s);
    if (at(w, 1) != 'N' && at(w, 2) != 'N') return;
    if (at(w, 2) == '1') out.set("PBnr1", value);

    long pos = 1;
    for (int pass = 0; pass < 7; ++pass) {
        if ((at(w, pos) == 'N' || at(w, pos + 1) == 'N') && at(w, pos) != 'I') {
            w = copy(w, pos + 1, length(w) - pos);
            const long q = positionOfSeparator(w);
            const std::string entry = copy(w, 4, q - 4);
            pos = q;
            if (at(w, 2) >= '1' && at(w, 2) <= '7') out.set("PBnr" + std::string(1, at(w, 2)), entry);
        }
    }
}

// How many characters at the end of a text answer are its line end: the module closes the line with CR LF,
// which "Skip CR/LF" has made two blanks. A text read back must be the text written, so the whole line end
// goes (keeping its CR put a control character into the text, and the next write sent it to the module).
// An answer cut before its line end loses its last character, as it always did.
long lineEndOf(std::string_view s) {
    return s.size() >= 2 && (s.ends_with("\r\n") || s.ends_with("  ")) ? 2 : 1;
}

// "External SMS": "05: text" into TXTSMS5. The slot is the two digits before the first colon.
void routeExternalSms(std::string_view s, Assignments& out) {
    const long p = positionOf(s, ':');
    if (p < 3) return;
    const char tens = at(s, p - 2);
    const char units = at(s, p - 1);
    if (!isDecimalDigit(tens) || !isDecimalDigit(units)) return;
    const int n = 10 * (tens - '0') + (units - '0');
    if (n < 1 || n > 54) return;
    out.set("TXTSMS" + std::to_string(n), copy(s, p + 2, length(s) - p - 1 - lineEndOf(s)));
}

// "Int/Ext SMS" and "IOname": "60: text" into iTXTSMS60. The slot is the first two characters.
void routeInternalTexts(std::string_view s, Assignments& out) {
    if (s.size() < 2) return;
    if (!isDecimalDigit(at(s, 1)) || !isDecimalDigit(at(s, 2))) return;
    const int n = 10 * (at(s, 1) - '0') + (at(s, 2) - '0');
    if (n < 1 || n > 78) return;
    out.set("iTXTSMS" + std::to_string(n), copy(s, 5, length(s) - 4 - lineEndOf(s)));
}

// "GPRS, FTP": "keyword: value" CR LF.
void routeGprsFtp(std::string_view s, Assignments& out) {
    struct Keyword {
        std::string_view key;
        std::string_view edit;
    };
    static constexpr std::array<Keyword, 10> kKeywords{{
        {"PASSWORD", "Password"},
        {"UserID", "UserID"},
        {"Password FTP", "PasswordFTP"},
        {"UserName FTP", "UserNameFTP"},
        {"IP address", "IPaddress"},
        {"APN", "APN"},
        {"FTP Host", "FTPHostName"},
        {"DirName", "DirName"},
        {"Remote Host", "HTTPhostName"},
        {"Remote Host2", "HTTPhostName2"},
    }};
    const long p = positionOf(s, ':');
    const std::string key = copy(s, 1, p - 1);
    const std::string value = copy(s, p + 2, length(s) - p - 3);

    for (const Keyword& keyword : kKeywords) {
        if (key == keyword.key) out.set(std::string(keyword.edit), value);
    }

    if (key == "HTTP Host1") {
        // The answer carries both hosts: "<host1> Host2: <host2>". The second starts four characters
        // after the "t" of "Host2", which is looked for only behind the first host, so that a "t" inside
        // the first host name cannot be taken for it.
        const long space = positionOf(value, ' ');
        if (space == 0) {
            out.set("HTTPhostName", value);
            return;
        }
        out.set("HTTPhostName", copy(value, 1, space - 1));
        const long t = positionOf(std::string_view(value).substr(static_cast<std::size_t>(space)), 't');
        if (t != 0) out.set("HTTPhostName2", copy(value, space + t + 4, length(value)));
    }
}

}  // namespace

bool routesAnswersOf(int page_index) {
    return page_index == pages::kAbonents || page_index == pages::kExternalSms ||
           page_index == pages::kIntExtSms || page_index == pages::kIoName || page_index == pages::kGprsFtp;
}

std::vector<EditAssignment> routeReply(int page_index, std::string_view text) {
    Assignments out;
    switch (page_index) {
        case pages::kAbonents:
            routeAbonents(text, out);
            break;
        case pages::kExternalSms:
            routeExternalSms(text, out);
            break;
        case pages::kIntExtSms:
        case pages::kIoName:
            routeInternalTexts(text, out);
            break;
        case pages::kGprsFtp:
            routeGprsFtp(text, out);
            break;
        default:
            break;
    }
    return out.take();
}

}  // namespace hx350
