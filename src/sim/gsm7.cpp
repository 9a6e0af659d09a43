#include "sim/gsm7.h"

#include <array>

namespace hx350::sim {

namespace {

// Basic table, TS 23.038 clause 6.2.1: Latin-1 code for each septet, or -1 where the letter has no
// Latin-1 form (0x10 and 0x12..0x1A are Greek capitals; 0x1B is the escape).
constexpr std::array<int, 128> kBasic = {
    0x40, 0xA3, 0x24, 0xA5, 0xE8, 0xE9, 0xF9, 0xEC, 0xF2, 0xC7, 0x0A, 0xD8, 0xF8, 0x0D, 0xC5, 0xE5,  // 00
    -1,   0x5F, -1,   -1,   -1,   -1,   -1,   -1,   -1,   -1,   -1,   -1,   0xC6, 0xE6, 0xDF, 0xC9,  // 10
    0x20, 0x21, 0x22, 0x23, 0xA4, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2A, 0x2B, 0x2C, 0x2D, 0x2E, 0x2F,  // 20
    0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3A, 0x3B, 0x3C, 0x3D, 0x3E, 0x3F,  // 30
    0xA1, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E, 0x4F,  // 40
    0x50, 0x51, 0x52, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A, 0xC4, 0xD6, 0xD1, 0xDC, 0xA7,  // 50
    0xBF, 0x61, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6A, 0x6B, 0x6C, 0x6D, 0x6E, 0x6F,  // 60
    0x70, 0x71, 0x72, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7A, 0xE4, 0xF6, 0xF1, 0xFC, 0xE0,  // 70
};

// Extension table, TS 23.038 clause 6.2.1.1: {septet after the escape, Latin-1 code}. The euro sign
// (0x65) has no Latin-1 form and is left out.
struct Extension {
    std::uint8_t septet;
    std::uint8_t latin1;
};
constexpr std::array<Extension, 9> kExtension = {{
    {0x0A, 0x0C},  // form feed
    {0x14, '^'},
    {0x28, '{'},
    {0x29, '}'},
    {0x2F, '\\'},
    {0x3C, '['},
    {0x3D, '~'},
    {0x3E, ']'},
    {0x40, '|'},
}};

// The euro sign of the extension table.
constexpr std::uint8_t kEuroSeptet = 0x65;

// Latin-1 code -> septets (1 or 2), built once from the two tables above.
struct Reverse {
    std::array<std::uint16_t, 256> code{};  // 0 = not representable; else 0x100 | septet, or escape form
    std::array<bool, 256> extended{};
    Reverse() {
        for (int s = 0; s < 128; ++s) {
            if (kBasic[static_cast<std::size_t>(s)] >= 0) {
                code[static_cast<std::size_t>(kBasic[static_cast<std::size_t>(s)])] =
                    static_cast<std::uint16_t>(0x100 | s);
            }
        }
        for (const auto& e : kExtension) {
            code[e.latin1] = static_cast<std::uint16_t>(0x100 | e.septet);
            extended[e.latin1] = true;
        }
    }
};

const Reverse& reverse() {
    static const Reverse table;
    return table;
}

}  // namespace

Septets latin1ToGsm7(std::string_view text) {
    const Reverse& r = reverse();
    Septets out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<std::uint8_t>(c);
        const std::uint16_t code = r.code[byte];
        if (code == 0) {
            out.push_back(0x3F);  // '?'
            continue;
        }
        if (r.extended[byte]) out.push_back(kGsmEscape);
        out.push_back(static_cast<std::uint8_t>(code & 0x7F));
    }
    return out;
}

std::string gsm7ToLatin1(const Septets& septets) {
    std::string out;
    out.reserve(septets.size());
    for (std::size_t i = 0; i < septets.size(); ++i) {
        const auto s = static_cast<std::uint8_t>(septets[i] & 0x7F);
        if (s == kGsmEscape) {
            if (i + 1 >= septets.size()) {
                out.push_back(' ');
                break;
            }
            const auto next = static_cast<std::uint8_t>(septets[++i] & 0x7F);
            bool found = false;
            for (const auto& e : kExtension) {
                if (e.septet == next) {
                    out.push_back(static_cast<char>(e.latin1));
                    found = true;
                    break;
                }
            }
            if (found) continue;
            if (next == kEuroSeptet) {  // the euro sign has no Latin-1 form
                out.push_back('?');
                continue;
            }
            if (next == kGsmEscape) {  // reserved for a further table: shown as a space
                out.push_back(' ');
                continue;
            }
            const int basic = kBasic[next];
            out.push_back(basic >= 0 ? static_cast<char>(basic) : '?');
            continue;
        }
        const int basic = kBasic[s];
        out.push_back(basic >= 0 ? static_cast<char>(basic) : '?');
    }
    return out;
}

Octets packSeptets(const Septets& septets, int fill_bits) {
    const std::size_t bits = static_cast<std::size_t>(fill_bits) + 7 * septets.size();
    Octets out((bits + 7) / 8, 0);
    std::size_t bit = static_cast<std::size_t>(fill_bits);
    for (const std::uint8_t s : septets) {
        const unsigned value = s & 0x7Fu;
        const std::size_t index = bit / 8;
        const unsigned shift = bit % 8;
        out[index] = static_cast<std::uint8_t>(out[index] | ((value << shift) & 0xFFu));
        if (shift > 1) out[index + 1] = static_cast<std::uint8_t>(out[index + 1] | (value >> (8 - shift)));
        bit += 7;
    }
    return out;
}

Septets unpackSeptets(const std::uint8_t* octets, std::size_t octet_count, std::size_t count, int fill_bits) {
    Septets out;
    out.reserve(count);
    std::size_t bit = static_cast<std::size_t>(fill_bits);
    for (std::size_t n = 0; n < count; ++n, bit += 7) {
        const std::size_t index = bit / 8;
        const unsigned shift = bit % 8;
        if (index >= octet_count) break;
        unsigned value = static_cast<unsigned>(octets[index]) >> shift;
        if (shift > 1) {
            if (index + 1 >= octet_count) break;
            value |= static_cast<unsigned>(octets[index + 1]) << (8 - shift);
        }
        out.push_back(static_cast<std::uint8_t>(value & 0x7F));
    }
    return out;
}

}  // namespace hx350::sim
