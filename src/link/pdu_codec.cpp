#include "link/pdu_codec.h"

#include <array>
#include <cstdint>

#include "base/text.h"

namespace hx350 {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// Value of each byte as a hexadecimal digit, -1 for anything else. Upper case only: TS 27.005 clause 3.1
// presents each octet as two IRA characters such as "2A"; anything else is not a digit to the decoder.
constexpr std::array<std::int8_t, 256> kHexValue = [] {
    std::array<std::int8_t, 256> table{};
    table.fill(-1);
    for (int i = 0; i < 16; ++i) {
        table[static_cast<unsigned char>(kHexDigits[i])] = static_cast<std::int8_t>(i);
    }
    return table;
}();

int hexValue(char c) {
    return kHexValue[static_cast<unsigned char>(c)];
}

// Septet -> Latin-1 code for received text: the tool's own table. It follows the TS 23.038 default alphabet
// (clause 6.2.1) for most septets and deliberately departs from it at these: 01, 0B, 0E, 10 and 12-1B (the
// escape included) become a space, 03 is 'Y', 09 is lower-case c cedilla, 1F is ae (not E acute), 5B-5F
// are '*', 7C is o tilde (not o diaeresis). Do not "correct" it towards the standard: what users read in
// the module's answers depends on it.
constexpr std::array<unsigned char, 128> kReceiveTable = [] {
    std::array<unsigned char, 128> table{};
    for (int i = 0; i < 128; ++i) {
        table[i] = static_cast<unsigned char>(i);
    }
    constexpr unsigned char kLow[32] = {
        0x40, 0x20, 0x24, 0x59, 0xE8, 0xE9, 0xF9, 0xEC, 0xF2, 0xE7, 0x0A, 0x20, 0xF8, 0x0D, 0x20, 0xE5,
        0x20, 0x5F, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0xC6, 0xE6, 0xDF, 0xE6,
    };
    for (int i = 0; i < 32; ++i) {
        table[i] = kLow[i];
    }
    table[0x24] = 0xA4;
    table[0x40] = 0xA1;
    for (int i = 0x5B; i <= 0x5F; ++i) {
        table[i] = 0x2A;
    }
    table[0x60] = 0xBF;
    table[0x7B] = 0xE4;
    table[0x7C] = 0xF5;
    table[0x7D] = 0xF1;
    table[0x7E] = 0xFC;
    table[0x7F] = 0xE0;
    return table;
}();

// Writes one octet as two hex digits at `out` and returns the position after them.
char* putOctet(char* out, unsigned octet) {
    out[0] = kHexDigits[(octet >> 4) & 0x0F];
    out[1] = kHexDigits[octet & 0x0F];
    return out + 2;
}

PduError checkInput(std::string_view text, std::string_view number) {
    if (number.empty()) return PduError::kEmptyNumber;
    std::string_view digits = number;
    if (digits.front() == '+') digits.remove_prefix(1);
    if (digits.size() > kMaxPhoneNumberDigits) return PduError::kInvalidNumber;
    for (char c : digits) {
        if (!isDecimalDigit(c)) return PduError::kInvalidNumber;
    }
    if (text.size() > kMaxSmsTextLength) return PduError::kTextTooLong;
    return PduError::kNone;
}

// Reads the octet whose first digit is at `pos` (0-based) for a header field.
enum class OctetRead { kOk, kBeyondEnd, kNotHex };
OctetRead readOctet(std::string_view pdu, std::size_t pos, unsigned& octet) {
    if (pos >= pdu.size() || pdu.size() - pos < 2) return OctetRead::kBeyondEnd;
    const int high = hexValue(pdu[pos]);
    const int low = hexValue(pdu[pos + 1]);
    if (high < 0 || low < 0) return OctetRead::kNotHex;
    octet = static_cast<unsigned>(high * 16 + low);
    return OctetRead::kOk;
}

// Digit value for the quick check; a position beyond the end counts like a non-digit.
int checkValue(std::string_view pdu, std::size_t pos) {
    return pos < pdu.size() ? hexValue(pdu[pos]) : -1;
}

}  // namespace

PduEncoding TextToPDUConversion(std::string_view text, std::string_view number) {
    PduEncoding result;
    result.error = checkInput(text, number);
    if (!result.ok()) return result;

    const bool international = number.front() == '+';
    const std::string_view digits = international ? number.substr(1) : number;
    const std::size_t user_data_octets = (7 * text.size() + 7) / 8;
    const std::size_t address_octets = (digits.size() + 1) / 2;
    // SCA length, first octet, MR, address length, TOA, address, PID, DCS, VP, UDL, UD, then the NUL.
    result.pdu.resize(2 * (1 + 1 + 1 + 1 + 1 + address_octets + 1 + 1 + 1 + 1 + user_data_octets) + 1);
    char* out = result.pdu.data();

    // No service-centre address of our own: the phone uses the one it has stored (TS 27.005 clause 3.5.1).
    out = putOctet(out, 0x00);
    // TP-MTI 01 (SMS-SUBMIT) with TP-VPF 10 (relative validity period), TS 23.040 clause 9.2.2.2.
    out = putOctet(out, 0x11);
    // TP-MR (TS 23.040 clause 9.2.3.6): the same 30 for every message; the tool asks for no status
    // reports and so never has to match one to its message.
    out = putOctet(out, 0x30);

    // TP-DA (TS 23.040 clause 9.1.2.5): the count of useful semi-octets, then type of address 91
    // (international, ISDN plan) or 81 (unknown, ISDN plan), then the digits two per octet, the first of
    // each pair in the low nibble, an odd count completed by the filler F.
    out = putOctet(out, static_cast<unsigned>(digits.size()));
    out = putOctet(out, international ? 0x91 : 0x81);
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        *out++ = i + 1 < digits.size() ? digits[i + 1] : 'F';
        *out++ = digits[i];
    }

    // TP-PID 00 (plain short message), TP-DCS 00 (7-bit default alphabet, TS 23.038 clause 4),
    // TP-VP 0B: relative format, (11 + 1) x 5 minutes = one hour (TS 23.040 clause 9.2.3.12.1).
    out = putOctet(out, 0x00);
    out = putOctet(out, 0x00);
    out = putOctet(out, 0x0B);

    // TP-UDL counts septets for the 7-bit alphabet (TS 23.040 clause 9.2.3.16).
    out = putOctet(out, static_cast<unsigned>(text.size()));

    // TS 23.038 clause 6.1.2.1.1: septets laid end to end from the least significant bit of the first
    // octet; the fill bits of the last octet are 0. No translation: a character's septet is its low seven
    // bits.
    std::uint32_t bits = 0;
    int bit_count = 0;
    for (char c : text) {
        bits |= (static_cast<std::uint32_t>(static_cast<unsigned char>(c)) & 0x7F) << bit_count;
        bit_count += 7;
        if (bit_count >= 8) {
            out = putOctet(out, bits & 0xFF);
            bits >>= 8;
            bit_count -= 8;
        }
    }
    if (bit_count > 0) out = putOctet(out, bits & 0xFF);

    *out = '\0';
    return result;
}

std::string PDUTextConversion(std::string_view pdu, PduDecodeStatus* status) {
    PduDecodeStatus local_status = PduDecodeStatus::kComplete;
    PduDecodeStatus& outcome = status != nullptr ? *status : local_status;
    std::string text;

    // Quick check before any field is read: the digit values at positions 3, 4, 7 and 8 (counted from 1)
    // must add up to more than 0, so an all-zero entry is dropped. Non-digits count -1 here.
    if (checkValue(pdu, 2) + checkValue(pdu, 3) + checkValue(pdu, 6) + checkValue(pdu, 7) <= 0) {
        outcome = PduDecodeStatus::kImplausible;
        return text;
    }

    // Each header octet the positions depend on must be there and be hexadecimal.
    unsigned octet = 0;
    auto header = [&](std::size_t pos) {
        switch (readOctet(pdu, pos, octet)) {
            case OctetRead::kOk:
                return true;
            case OctetRead::kBeyondEnd:
                outcome = PduDecodeStatus::kHeaderTruncated;
                return false;
            case OctetRead::kNotHex:
                outcome = PduDecodeStatus::kHeaderNotHex;
                return false;
        }
        return false;
    };

    // Service-centre address: its length octet counts the octets that follow it (TS 24.011 clause 8.2.5).
    if (!header(0)) return text;
    const std::size_t first_octet_pos = 2 * static_cast<std::size_t>(octet) + 2;

    // TP-MTI in the two low bits (TS 23.040 clause 9.2.3.1): 00 is SMS-DELIVER, whose address follows the
    // first octet; otherwise a stored SMS-SUBMIT, whose TP-MR comes first.
    if (!header(first_octet_pos)) return text;
    const bool deliver = (octet & 0x03) == 0;
    const std::size_t address_pos = first_octet_pos + (deliver ? 2 : 4);

    // TP-OA / TP-DA: the length octet counts semi-octets; then the type octet and the digit octets.
    if (!header(address_pos)) return text;
    const std::size_t address_octets = (static_cast<std::size_t>(octet) + 1) / 2;
    // Then TP-PID and TP-DCS, and either the 7-octet TP-SCTS (DELIVER) or a 1-octet TP-VP (SUBMIT). The
    // coding scheme and the validity-period format are not examined: the module always answers in 7 bits.
    const std::size_t udl_pos = address_pos + 4 + 2 * address_octets + (deliver ? 18 : 6);
    if (!header(udl_pos)) return text;
    const std::size_t length = octet;
    if (length == 0) {
        outcome = PduDecodeStatus::kNoUserData;
        return text;
    }

    // TS 23.038 clause 6.1.2.1.1 in reverse: every octet read completes one septet, every seventh octet a
    // second one. Stop at the announced length, at the last complete digit pair, or at a non-digit.
    text.resize(length);
    char* const first = text.data();
    char* out = first;
    char* const last = first + length;
    std::uint32_t bits = 0;
    int bit_count = 0;
    std::size_t pos = udl_pos + 2;
    outcome = PduDecodeStatus::kUserDataShort;
    while (out != last && pdu.size() - pos >= 2) {
        const int high = hexValue(pdu[pos]);
        const int low = hexValue(pdu[pos + 1]);
        if (high < 0 || low < 0) {
            outcome = PduDecodeStatus::kUserDataNotHex;
            break;
        }
        pos += 2;
        bits |= static_cast<std::uint32_t>(high * 16 + low) << bit_count;
        bit_count += 8;
        while (bit_count >= 7 && out != last) {
            *out++ = static_cast<char>(kReceiveTable[bits & 0x7F]);
            bits >>= 7;
            bit_count -= 7;
        }
    }
    text.resize(static_cast<std::size_t>(out - first));
    if (text.size() == length) outcome = PduDecodeStatus::kComplete;
    return text;
}

}  // namespace hx350
