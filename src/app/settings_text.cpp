#include "app/settings_text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <unordered_map>

#include "base/text.h"

namespace hx350 {
namespace {

using Image = SettingsRecord::Image;

constexpr char kHex[] = "0123456789ABCDEF";

// ---- Writing ----

std::uint32_t loadLittle(const std::uint8_t* at, std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t i = size; i-- > 0;)
        value = value << 8 | at[i];
    return value;
}

void storeLittle(std::uint8_t* at, std::size_t size, std::uint32_t value) {
    for (std::size_t i = 0; i < size; ++i, value >>= 8)
        at[i] = static_cast<std::uint8_t>(value);
}

void appendHexByte(std::string& out, std::uint8_t byte) {
    out += kHex[byte >> 4];
    out += kHex[byte & 0x0F];
}

/// The bytes quoted and escaped; 0x80-0xFF become the UTF-8 form of the Latin-1 character.
void appendQuoted(std::string& out, const std::uint8_t* bytes, std::size_t size) {
    out += '"';
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint8_t c = bytes[i];
        switch (c) {
            case '"':
                out += "\\\"";
                continue;
            case '\\':
                out += "\\\\";
                continue;
            case '\a':
                out += "\\a";
                continue;
            case '\b':
                out += "\\b";
                continue;
            case '\t':
                out += "\\t";
                continue;
            case '\n':
                out += "\\n";
                continue;
            case '\v':
                out += "\\v";
                continue;
            case '\f':
                out += "\\f";
                continue;
            case '\r':
                out += "\\r";
                continue;
            default:
                break;
        }
        if (c < 0x20 || c == 0x7F) {
            out += "\\x";
            appendHexByte(out, c);
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    out += '"';
}

/// Size of `bytes` without its trailing zero bytes.
std::size_t withoutTrailingZeros(const std::uint8_t* bytes, std::size_t size) {
    while (size > 0 && bytes[size - 1] == 0)
        --size;
    return size;
}

void appendValue(std::string& out, const Image& image, const SettingsTextEntry& entry) {
    const SettingsFieldLayout& row = kSettingsLayout[entry.row];
    const std::uint8_t* at = image.data() + row.elementOffset(entry.number);
    switch (row.encoding) {
        case FieldEncoding::Int32:
            out += std::to_string(static_cast<std::int32_t>(loadLittle(at, 4)));
            return;
        case FieldEncoding::Word16:
        case FieldEncoding::Byte:
            out += std::to_string(loadLittle(at, row.element_size));
            return;
        case FieldEncoding::Bool:
            if (*at <= 1) {
                out += *at ? "true" : "false";
            } else {
                out += "0x";
                appendHexByte(out, *at);
            }
            return;
        case FieldEncoding::ShortString: {
            const std::size_t capacity = row.capacity();
            const std::size_t length = at[0];
            const std::uint8_t* chars = at + 1;
            if (length > capacity) {
                appendQuoted(out, chars, withoutTrailingZeros(chars, capacity));
                out += " length ";
                out += std::to_string(length);
                return;
            }
            appendQuoted(out, chars, length);
            const std::size_t tail = withoutTrailingZeros(chars + length, capacity - length);
            if (tail > 0) {
                out += " tail ";
                appendQuoted(out, chars + length, tail);
            }
            return;
        }
        case FieldEncoding::Reserved:
            return;
    }
}

/// The bytes of reserved row `row` from `first` to the last non-zero byte, in hexadecimal.
std::string reservedHex(const Image& image, const SettingsFieldLayout& row, std::size_t first) {
    const std::size_t end = first + withoutTrailingZeros(image.data() + first, row.end() - first);
    std::string hex;
    for (std::size_t i = first; i < end; ++i)
        appendHexByte(hex, image[i]);
    return hex;
}

// ---- Reading ----

const std::unordered_map<std::string_view, std::size_t>& entryIndex() {
    static const auto index = [] {
        std::unordered_map<std::string_view, std::size_t> map;
        const auto& entries = settingsTextEntries();
        for (std::size_t i = 0; i < entries.size(); ++i)
            map.emplace(entries[i].key, i);
        return map;
    }();
    return index;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

/// A cursor over one line; failures leave a message.
struct LineParser {
    explicit LineParser(std::string_view line) : s(line) {}

    std::string_view s;
    std::size_t i = 0;
    std::string error;

    bool atEnd() const { return i >= s.size(); }
    char peek() const { return atEnd() ? '\0' : s[i]; }
    void skipBlanks() {
        while (!atEnd() && isBlank(s[i]))
            ++i;
    }
    bool fail(std::string message) {
        error = std::move(message);
        return false;
    }
    /// Whether the word `word` stands here, followed by a blank, a comment or the end.
    bool atWord(std::string_view word) const {
        if (s.substr(i, word.size()) != word) return false;
        const std::size_t after = i + word.size();
        return after >= s.size() || isBlank(s[after]) || s[after] == '#';
    }
    bool atValueEnd() const { return atEnd() || isBlank(s[i]) || s[i] == '#'; }

    /// A quoted text, unescaped into Latin-1 bytes.
    bool quoted(std::string& out) {
        if (peek() != '"') return fail("a quoted text is expected");
        ++i;
        for (;;) {
            if (atEnd()) return fail("the text has no closing quote");
            const auto c = static_cast<unsigned char>(s[i]);
            if (c == '"') {
                ++i;
                return true;
            }
            if (c == '\\') {
                if (!escape(out)) return false;
                continue;
            }
            if (c < 0x20 || c == 0x7F)
                return fail("a control character in a text must be written as an escape");
            if (c < 0x80) {
                out += static_cast<char>(c);
                ++i;
                continue;
            }
            if (!utf8(out)) return false;
        }
    }

    bool escape(std::string& out) {
        const std::size_t start = i;
        ++i;
        if (atEnd()) return fail("the text has no closing quote");
        const char c = s[i++];
        switch (c) {
            case '"':
                out += '"';
                return true;
            case '\\':
                out += '\\';
                return true;
            case 'a':
                out += '\a';
                return true;
            case 'b':
                out += '\b';
                return true;
            case 't':
                out += '\t';
                return true;
            case 'n':
                out += '\n';
                return true;
            case 'v':
                out += '\v';
                return true;
            case 'f':
                out += '\f';
                return true;
            case 'r':
                out += '\r';
                return true;
            case 'x': {
                const int high = i < s.size() ? hexDigit(s[i]) : -1;
                const int low = i + 1 < s.size() ? hexDigit(s[i + 1]) : -1;
                if (high < 0 || low < 0) return fail("bad escape: \\x needs two hexadecimal digits");
                out += static_cast<char>(high << 4 | low);
                i += 2;
                return true;
            }
            default:
                break;
        }
        std::string shown(s.substr(start, 2));
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F) shown = "\\";
        return fail("bad escape " + shown);
    }

    /// One UTF-8 character; only U+0080..U+00FF fit a byte of the record.
    bool utf8(std::string& out) {
        const auto lead = static_cast<unsigned char>(s[i]);
        std::size_t length = 0;
        if (lead >= 0xC2 && lead <= 0xDF)
            length = 2;
        else if (lead >= 0xE0 && lead <= 0xEF)
            length = 3;
        else if (lead >= 0xF0 && lead <= 0xF4)
            length = 4;
        else
            return fail("invalid UTF-8 in a text");
        if (i + length > s.size()) return fail("invalid UTF-8 in a text");
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return fail("invalid UTF-8 in a text");
        }
        if (length != 2 || lead > 0xC3)
            return fail("a character above U+00FF cannot be stored (Latin-1 only)");
        out += static_cast<char>((lead & 0x1F) << 6 | (static_cast<unsigned char>(s[i + 1]) & 0x3F));
        i += 2;
        return true;
    }

    /// A decimal integer within [low, high].
    bool integer(long long low, long long high, long long& value) {
        if (peek() == '"') return fail("wrong type: a number is expected, not a text");
        if (atWord("true") || atWord("false"))
            return fail("wrong type: a number is expected, not true or false");
        const std::size_t start = i;
        bool negative = false;
        if (peek() == '-') {
            negative = true;
            ++i;
        }
        const std::size_t digits_start = i;
        while (!atEnd() && isDecimalDigit(s[i]))
            ++i;
        const std::size_t digits = i - digits_start;
        if (digits == 0 || !atValueEnd()) {
            const std::size_t end = s.find_first_of(" \t#", start);
            return fail("malformed number '" + std::string(s.substr(start, end - start)) + "'");
        }
        const std::string_view text = s.substr(start, i - start);
        bool fits = digits <= 12;
        long long magnitude = 0;
        if (fits) {
            for (std::size_t k = digits_start; k < i; ++k)
                magnitude = magnitude * 10 + (s[k] - '0');
        }
        value = negative ? -magnitude : magnitude;
        if (!fits || value < low || value > high) {
            return fail("value " + std::string(text) + " out of range " + std::to_string(low) + ".." +
                        std::to_string(high));
        }
        return true;
    }
};

/// Parses the value of `row`'s element at `at` from the parser's position and stores its bytes.
bool parseElement(LineParser& p, const SettingsFieldLayout& row, std::uint8_t* at) {
    long long value = 0;
    switch (row.encoding) {
        case FieldEncoding::Int32:
            if (!p.integer(INT32_MIN, INT32_MAX, value)) return false;
            storeLittle(at, 4, static_cast<std::uint32_t>(value));
            return true;
        case FieldEncoding::Word16:
            if (!p.integer(0, 0xFFFF, value)) return false;
            storeLittle(at, 2, static_cast<std::uint32_t>(value));
            return true;
        case FieldEncoding::Byte:
            if (!p.integer(0, 0xFF, value)) return false;
            *at = static_cast<std::uint8_t>(value);
            return true;
        case FieldEncoding::Bool: {
            if (p.atWord("true") || p.atWord("false")) {
                *at = p.atWord("true") ? 1 : 0;
                p.i += *at ? 4 : 5;
                return true;
            }
            if (p.peek() == '"') return p.fail("wrong type: true or false is expected, not a text");
            if (p.s.substr(p.i, 2) == "0x") {
                const std::size_t first = p.i + 2;
                const int high = first < p.s.size() ? hexDigit(p.s[first]) : -1;
                const int low = first + 1 < p.s.size() ? hexDigit(p.s[first + 1]) : -1;
                p.i = first + 2;
                if (high < 0 || low < 0 || !p.atValueEnd())
                    return p.fail("malformed byte: 0x and two hexadecimal digits");
                *at = static_cast<std::uint8_t>(high << 4 | low);
                return true;
            }
            if (p.peek() == '-' || isDecimalDigit(p.peek()))
                return p.fail("wrong type: true or false is expected, not a number");
            return p.fail("true or false is expected");
        }
        case FieldEncoding::ShortString: {
            const std::size_t capacity = row.capacity();
            std::string text;
            if (p.peek() != '"') return p.fail("wrong type: a quoted text is expected");
            if (!p.quoted(text)) return false;
            const std::size_t after_text = p.i;
            p.skipBlanks();
            std::string tail;
            std::size_t length = text.size();
            if (p.atWord("tail")) {
                p.i += 4;
                p.skipBlanks();
                if (p.peek() != '"') return p.fail("a quoted text is expected after 'tail'");
                if (!p.quoted(tail)) return false;
                if (text.size() + tail.size() > capacity)
                    return p.fail("text and tail longer than " + std::to_string(capacity) + " characters");
            } else if (p.atWord("length")) {
                p.i += 6;
                p.skipBlanks();
                long long stored = 0;
                if (!p.integer(static_cast<long long>(capacity) + 1, 255, stored)) return false;
                if (text.size() > capacity)
                    return p.fail("text longer than " + std::to_string(capacity) + " characters");
                length = static_cast<std::size_t>(stored);
            } else {
                p.i = after_text;
                if (text.size() > capacity)
                    return p.fail("text longer than " + std::to_string(capacity) + " characters");
            }
            at[0] = static_cast<std::uint8_t>(length);
            // Record bytes, not a C string: the field's characters, then the kept tail, then zeros.
            std::fill_n(at + 1, capacity, std::uint8_t{0});
            std::copy(text.begin(), text.end(), at + 1);
            std::copy(tail.begin(), tail.end(), at + 1 + text.size());
            return true;
        }
        case FieldEncoding::Reserved:
            break;
    }
    return p.fail("not a setting");
}

/// The reserved layout row that holds byte `offset`, or nullptr.
const SettingsFieldLayout* reservedRowAt(std::size_t offset) {
    for (const auto& row : kSettingsLayout) {
        if (row.encoding == FieldEncoding::Reserved && offset >= row.offset && offset < row.end())
            return &row;
    }
    return nullptr;
}

constexpr std::string_view kReservedPrefix = "reserved@";
constexpr std::size_t kReservedBytesPerLine = 32;

}  // namespace

const SettingsTextEntry* findSettingsTextEntry(std::string_view key) {
    const auto& index = entryIndex();
    const auto found = index.find(key);
    return found == index.end() ? nullptr : &settingsTextEntries()[found->second];
}

std::string quotedSettingsText(std::string_view bytes) {
    std::string out;
    appendQuoted(out, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return out;
}

std::string settingsTextValue(const SettingsRecord& record, const SettingsTextEntry& entry) {
    std::string value;
    appendValue(value, record.image(), entry);
    return value;
}

std::string exportSettingsText(const SettingsRecord& record) {
    const Image& image = record.image();
    std::string out;
    out.reserve(std::size_t{32} * 1024);
    out += "# HX350 settings\n";
    out += "# One setting per line: key = value, and after '#' what the setting is.\n";
    const SettingsTextEntry* previous = nullptr;
    for (const SettingsTextEntry& entry : settingsTextEntries()) {
        if (previous == nullptr || entry.page != previous->page) {
            out += "\n# ";
            out += settingsTextPageCaption(entry.page);
            out += '\n';
        }
        out += entry.key;
        out += " = ";
        appendValue(out, image, entry);
        out += "  # ";
        out += entry.label;
        out += '\n';
        previous = &entry;
    }
    // Reserved bytes in lines of at most 32, each from its first to its last non-zero byte.
    bool heading = false;
    for (const auto& row : kSettingsLayout) {
        if (row.encoding != FieldEncoding::Reserved) continue;
        for (std::size_t chunk = row.offset; chunk < row.end(); chunk += kReservedBytesPerLine) {
            const std::size_t chunk_end = std::min(chunk + kReservedBytesPerLine, row.end());
            std::size_t first = chunk;
            while (first < chunk_end && image[first] == 0)
                ++first;
            if (first == chunk_end) continue;
            if (!heading) {
                out += "\n# Reserved bytes that are not zero\n";
                heading = true;
            }
            out += kReservedPrefix;
            out += std::to_string(first);
            out += " = ";
            const std::size_t end = first + withoutTrailingZeros(image.data() + first, chunk_end - first);
            for (std::size_t i = first; i < end; ++i)
                appendHexByte(out, image[i]);
            out += '\n';
        }
    }
    return out;
}

std::string SettingsTextError::describe() const {
    std::string text = "line " + std::to_string(line) + ": ";
    if (!key.empty()) text += key + ": ";
    return text + message;
}

std::optional<SettingsTextError> importSettingsText(std::string_view text, SettingsRecord& record,
                                                    const SettingsTextImportOptions& options) {
    const auto& entries = settingsTextEntries();
    Image image = options.keep_missing ? record.image() : Image{};
    std::vector<std::size_t> entry_line(entries.size(), 0);
    std::vector<std::size_t> reserved_line(kSettingsRecordSize, 0);

    std::size_t line_number = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        ++line_number;
        const std::size_t newline = text.find('\n', start);
        const bool has_end = newline != std::string_view::npos;
        std::string_view line = text.substr(start, has_end ? newline - start : std::string_view::npos);
        start = has_end ? newline + 1 : text.size();
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

        LineParser p{line};
        p.skipBlanks();
        if (p.atEnd() || p.peek() == '#') continue;

        const std::size_t key_start = p.i;
        while (!p.atEnd() && !isBlank(p.peek()) && p.peek() != '=')
            ++p.i;
        const std::string_view key = line.substr(key_start, p.i - key_start);
        auto error = [&](std::string message) {
            return SettingsTextError{line_number, std::string(key), std::move(message)};
        };
        if (!has_end) return error("the line has no end: the text is cut short");
        if (key.empty()) return error("malformed line: a key is expected before '='");
        p.skipBlanks();
        if (p.peek() != '=') return error("malformed line: '=' is expected after the key");
        ++p.i;
        p.skipBlanks();
        if (p.atEnd() || p.peek() == '#') return error("the value is missing");

        if (key.starts_with(kReservedPrefix)) {
            const std::string_view digits = key.substr(kReservedPrefix.size());
            std::size_t offset = 0;
            bool number_ok = !digits.empty() && digits.size() <= 5;
            for (const char c : digits) {
                if (!isDecimalDigit(c)) number_ok = false;
                offset = offset * 10 + static_cast<std::size_t>(c - '0');
            }
            const SettingsFieldLayout* row = number_ok ? reservedRowAt(offset) : nullptr;
            if (row == nullptr) return error("unknown setting: no reserved byte at that offset");
            std::vector<std::uint8_t> bytes;
            while (!p.atValueEnd()) {
                const int high = hexDigit(p.s[p.i]);
                const int low = p.i + 1 < p.s.size() ? hexDigit(p.s[p.i + 1]) : -1;
                if (high < 0 || low < 0)
                    return error("malformed bytes: pairs of hexadecimal digits are expected");
                bytes.push_back(static_cast<std::uint8_t>(high << 4 | low));
                p.i += 2;
            }
            if (offset + bytes.size() > row->end()) {
                return error("out of range: the reserved range ends at byte " +
                             std::to_string(row->end() - 1));
            }
            for (std::size_t k = 0; k < bytes.size(); ++k) {
                if (reserved_line[offset + k] != 0) {
                    return error("byte " + std::to_string(offset + k) + " is given twice (first on line " +
                                 std::to_string(reserved_line[offset + k]) + ")");
                }
                reserved_line[offset + k] = line_number;
                image[offset + k] = bytes[k];
            }
        } else {
            const auto found = entryIndex().find(key);
            if (found == entryIndex().end()) return error("unknown setting");
            const std::size_t index = found->second;
            if (entry_line[index] != 0)
                return error("given twice (first on line " + std::to_string(entry_line[index]) + ")");
            entry_line[index] = line_number;
            const SettingsTextEntry& entry = entries[index];
            const SettingsFieldLayout& row = kSettingsLayout[entry.row];
            if (!parseElement(p, row, image.data() + row.elementOffset(entry.number))) return error(p.error);
        }
        p.skipBlanks();
        if (!p.atEnd() && p.peek() != '#') return error("unexpected characters after the value");
    }

    if (!options.keep_missing) {
        for (std::size_t k = 0; k < entries.size(); ++k) {
            if (entry_line[k] == 0) {
                // An empty text has no line: the error is on the first.
                return SettingsTextError{std::max<std::size_t>(line_number, 1), entries[k].key,
                                         "missing: the text must give every setting"};
            }
        }
    }
    record = SettingsRecord(image);
    return std::nullopt;
}

SettingsDifferences compareSettings(const SettingsRecord& a, const SettingsRecord& b) {
    SettingsDifferences differences;
    const Image& x = a.image();
    const Image& y = b.image();
    for (const SettingsTextEntry& entry : settingsTextEntries()) {
        const SettingsFieldLayout& row = kSettingsLayout[entry.row];
        const std::size_t at = row.elementOffset(entry.number);
        if (std::memcmp(x.data() + at, y.data() + at, row.element_size) != 0)
            differences.settings.push_back(&entry);
    }
    for (const auto& row : kSettingsLayout) {
        if (row.encoding != FieldEncoding::Reserved) continue;
        if (std::memcmp(x.data() + row.offset, y.data() + row.offset, row.size()) == 0) continue;
        differences.reserved.push_back(
            {row.offset, reservedHex(x, row, row.offset), reservedHex(y, row, row.offset)});
    }
    return differences;
}

}  // namespace hx350
