#include "sim/sms_pdu.h"

#include <cstddef>

namespace hx350::sim {

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Semi-octet digits of an address (TS 23.040 clause 9.1.2.3): 0-9, then *, #, a, b, c for 0xA..0xE.
constexpr char kSemiOctetDigits[] = "0123456789*#abc";

int digitNibble(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c == '*') return 0xA;
    if (c == '#') return 0xB;
    return -1;
}

// A reader that checks the length before every field and names the field when the PDU is too short.
class Reader {
  public:
    explicit Reader(const Octets& octets) : octets_(octets) {}
    bool take(std::uint8_t& value, const char* field) {
        if (pos_ >= octets_.size()) return fail(field);
        value = octets_[pos_++];
        return true;
    }
    bool skip(std::size_t n, const char* field) {
        if (octets_.size() - pos_ < n) return fail(field);
        pos_ += n;
        return true;
    }
    const std::uint8_t* here() const { return octets_.data() + pos_; }
    std::size_t left() const { return octets_.size() - pos_; }
    std::size_t pos() const { return pos_; }
    const std::string& error() const { return error_; }
    bool fail(const char* field) {
        error_ = std::string("PDU truncated or invalid at ") + field;
        return false;
    }

  private:
    const Octets& octets_;
    std::size_t pos_ = 0;
    std::string error_;
};

std::string semiOctetDigits(const std::uint8_t* data, std::size_t digit_count) {
    std::string out;
    for (std::size_t i = 0; i < digit_count; ++i) {
        const std::uint8_t octet = data[i / 2];
        const unsigned nibble = (i % 2 == 0) ? (octet & 0x0Fu) : (octet >> 4);
        if (nibble == 0xF) break;  // filler of an odd digit count
        out.push_back(kSemiOctetDigits[nibble]);
    }
    return out;
}

// Address field, TS 23.040 clause 9.1.2.5: the length counts useful semi-octets, not octets.
bool readAddress(Reader& r, SmsAddress& address, const char* field) {
    std::uint8_t digits = 0;
    if (!r.take(digits, field)) return false;
    if (digits > 20) {
        r.fail(field);
        return false;
    }
    if (!r.take(address.type, field)) return false;
    const std::size_t octets = (digits + 1u) / 2;
    if (r.left() < octets) return r.fail(field);
    const std::uint8_t* data = r.here();
    const unsigned type_of_number = (address.type >> 4) & 0x07u;
    if (type_of_number == 0x5) {
        // Alphanumeric (clause 9.1.2.5): GSM 7-bit characters packed into the semi-octets.
        address.number = gsm7ToLatin1(unpackSeptets(data, octets, digits * 4u / 7u));
    } else {
        address.number = semiOctetDigits(data, digits);
        if (type_of_number == 0x1) address.number.insert(0, "+");
    }
    return r.skip(octets, field);
}

enum class Alphabet { kGsm7, kEightBit, kUcs2 };

// Data coding scheme, TS 23.038 clause 4: the alphabet of the user data. Reserved codings are read as the
// default alphabet, which is what the clause asks of a receiver.
Alphabet alphabetOf(std::uint8_t dcs, bool& compressed) {
    compressed = false;
    const unsigned group = dcs >> 4;
    if (group <= 0x7) {  // general data coding (00xx) and automatic deletion (01xx)
        compressed = (dcs & 0x20) != 0;
        switch ((dcs >> 2) & 0x3) {
            case 1:
                return Alphabet::kEightBit;
            case 2:
                return Alphabet::kUcs2;
            default:
                return Alphabet::kGsm7;
        }
    }
    if (group == 0xE) return Alphabet::kUcs2;  // message waiting, store, UCS-2
    if (group == 0xF) return (dcs & 0x04) ? Alphabet::kEightBit : Alphabet::kGsm7;
    return Alphabet::kGsm7;
}

std::uint8_t bcd(int value) {
    const int v = value % 100;
    return static_cast<std::uint8_t>(((v % 10) << 4) | (v / 10));  // swapped semi-octets
}

}  // namespace

std::optional<Octets> octetsFromHex(std::string_view hex) {
    if (hex.size() % 2 != 0) return std::nullopt;
    Octets out;
    out.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int hi = hexValue(hex[i]);
        const int lo = hexValue(hex[i + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        out.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
    }
    return out;
}

std::string hexFromOctets(const Octets& octets) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(octets.size() * 2);
    for (const std::uint8_t o : octets) {
        out.push_back(kDigits[o >> 4]);
        out.push_back(kDigits[o & 0x0F]);
    }
    return out;
}

SubmitResult decodeSubmit(const Octets& pdu) {
    SubmitResult result;
    Reader r(pdu);
    SmsSubmit submit;

    // SMSC field (TS 27.005 clause 3.1): its length counts octets (type included); 0 = the stored centre.
    std::uint8_t sca_length = 0;
    if (!r.take(sca_length, "SMSC length")) return {std::nullopt, r.error(), 0};
    if (sca_length > 11) return {std::nullopt, "SMSC length out of range", 0};
    if (sca_length > 0) {
        SmsAddress centre;
        if (!r.take(centre.type, "SMSC type")) return {std::nullopt, r.error(), 0};
        if (r.left() < sca_length - 1u) return {std::nullopt, "PDU too short at SMSC digits", 0};
        centre.number = semiOctetDigits(r.here(), static_cast<std::size_t>(sca_length - 1u) * 2u);
        if (((centre.type >> 4) & 0x7) == 1) centre.number.insert(0, "+");
        r.skip(sca_length - 1u, "SMSC digits");
        submit.service_centre = centre;
    }
    result.tpdu_octets = r.left();

    // First octet (clause 9.2.2.2): TP-MTI, TP-RD, TP-VPF, TP-SRR, TP-UDHI, TP-RP.
    std::uint8_t first = 0;
    if (!r.take(first, "first octet")) return {std::nullopt, r.error(), result.tpdu_octets};
    if ((first & 0x03) != 0x01) return {std::nullopt, "not an SMS-SUBMIT (TP-MTI)", result.tpdu_octets};
    const unsigned vpf = (first >> 3) & 0x03u;
    submit.has_user_data_header = (first & 0x40) != 0;

    if (!r.take(submit.message_reference, "TP-MR")) return {std::nullopt, r.error(), result.tpdu_octets};
    if (!readAddress(r, submit.destination, "TP-DA")) return {std::nullopt, r.error(), result.tpdu_octets};
    if (!r.take(submit.protocol_identifier, "TP-PID")) return {std::nullopt, r.error(), result.tpdu_octets};
    if (!r.take(submit.data_coding_scheme, "TP-DCS")) return {std::nullopt, r.error(), result.tpdu_octets};
    // TP-VP (clause 9.2.3.12): absent, one octet relative, or seven octets enhanced / absolute.
    const std::size_t vp_octets = vpf == 0 ? 0 : (vpf == 2 ? 1 : 7);
    if (!r.skip(vp_octets, "TP-VP")) return {std::nullopt, r.error(), result.tpdu_octets};

    std::uint8_t udl = 0;
    if (!r.take(udl, "TP-UDL")) return {std::nullopt, r.error(), result.tpdu_octets};
    bool compressed = false;
    const Alphabet alphabet = alphabetOf(submit.data_coding_scheme, compressed);
    if (compressed) return {std::nullopt, "compressed user data is not supported", result.tpdu_octets};

    const std::uint8_t* ud = r.here();
    const std::size_t ud_octets = r.left();
    std::size_t header_octets = 0;  // UDHL octet included
    if (submit.has_user_data_header) {
        if (ud_octets < 1) return {std::nullopt, "PDU too short at TP-UDHL", result.tpdu_octets};
        header_octets = ud[0] + 1u;
        if (header_octets > ud_octets) return {std::nullopt, "PDU too short at TP-UDH", result.tpdu_octets};
    }

    if (alphabet == Alphabet::kGsm7) {
        // TP-UDL counts septets, header included (clause 9.2.3.16).
        if (udl > 160) return {std::nullopt, "TP-UDL above 160 septets", result.tpdu_octets};
        const std::size_t needed = (udl * 7u + 7u) / 8u;
        if (ud_octets != needed) {
            return {std::nullopt, ud_octets < needed ? "PDU too short at TP-UD" : "octets after TP-UD",
                    result.tpdu_octets};
        }
        const std::size_t header_bits = header_octets * 8;
        const std::size_t header_septets = (header_bits + 6) / 7;
        if (header_septets > udl) return {std::nullopt, "TP-UDH longer than TP-UDL", result.tpdu_octets};
        const int fill = static_cast<int>(header_septets * 7 - header_bits);
        const Septets septets =
            unpackSeptets(ud + header_octets, ud_octets - header_octets, udl - header_septets, fill);
        submit.text = gsm7ToLatin1(septets);
    } else {
        // TP-UDL counts octets.
        if (udl > 140) return {std::nullopt, "TP-UDL above 140 octets", result.tpdu_octets};
        if (ud_octets != udl) {
            return {std::nullopt, ud_octets < udl ? "PDU too short at TP-UD" : "octets after TP-UD",
                    result.tpdu_octets};
        }
        if (header_octets > udl) return {std::nullopt, "TP-UDH longer than TP-UDL", result.tpdu_octets};
        const std::uint8_t* body = ud + header_octets;
        const std::size_t body_octets = udl - header_octets;
        if (alphabet == Alphabet::kEightBit) {
            submit.text.assign(reinterpret_cast<const char*>(body), body_octets);
        } else {
            if (body_octets % 2 != 0) return {std::nullopt, "odd UCS-2 user data", result.tpdu_octets};
            for (std::size_t i = 0; i < body_octets; i += 2) {
                const unsigned code = (static_cast<unsigned>(body[i]) << 8) | body[i + 1];
                submit.text.push_back(code <= 0xFF ? static_cast<char>(code) : '?');
            }
        }
    }
    result.submit = std::move(submit);
    return result;
}

Octets encodeAddress(std::string_view number) {
    const bool international = !number.empty() && number.front() == '+';
    std::vector<int> nibbles;
    for (const char c : number) {
        const int n = digitNibble(c);
        if (n >= 0) nibbles.push_back(n);
    }
    Octets out;
    out.push_back(static_cast<std::uint8_t>(nibbles.size()));
    out.push_back(international ? 0x91 : 0x81);
    for (std::size_t i = 0; i < nibbles.size(); i += 2) {
        const int lo = nibbles[i];
        const int hi = i + 1 < nibbles.size() ? nibbles[i + 1] : 0xF;
        out.push_back(static_cast<std::uint8_t>((hi << 4) | lo));
    }
    return out;
}

Octets encodeServiceCentre(std::string_view number) {
    Octets address = encodeAddress(number);
    if (address[0] == 0) return Octets{0x00};
    // Same digits and type as an address field, but the length counts octets (type included).
    address[0] = static_cast<std::uint8_t>(address.size() - 1);
    return address;
}

Octets encodeDeliver(std::string_view originator, const SmsTimestamp& t, std::string_view text) {
    Octets out;
    out.push_back(0x04);  // TP-MTI 00 SMS-DELIVER, TP-MMS 1 (no more messages), no TP-SRI, TP-UDHI, TP-RP
    const Octets oa = encodeAddress(originator);
    out.insert(out.end(), oa.begin(), oa.end());
    out.push_back(0x00);  // TP-PID: plain short message
    out.push_back(0x00);  // TP-DCS: GSM 7-bit default alphabet, no class
    out.push_back(bcd(t.year));
    out.push_back(bcd(t.month));
    out.push_back(bcd(t.day));
    out.push_back(bcd(t.hour));
    out.push_back(bcd(t.minute));
    out.push_back(bcd(t.second));
    const int quarters = (t.utc_offset_minutes < 0 ? -t.utc_offset_minutes : t.utc_offset_minutes) / 15;
    std::uint8_t zone = bcd(quarters);
    if (t.utc_offset_minutes < 0)
        zone = static_cast<std::uint8_t>(zone | 0x08);  // sign bit of the tens digit
    out.push_back(zone);
    Septets septets = latin1ToGsm7(text);
    if (septets.size() > 160) {
        septets.resize(160);
        if (septets.back() == kGsmEscape) septets.pop_back();
    }
    out.push_back(static_cast<std::uint8_t>(septets.size()));
    const Octets ud = packSeptets(septets);
    out.insert(out.end(), ud.begin(), ud.end());
    return out;
}

std::vector<std::string> splitForSms(std::string_view text) {
    std::vector<std::string> pieces;
    std::string piece;
    std::size_t septets = 0;
    for (const char c : text) {
        const std::size_t cost = latin1ToGsm7(std::string_view(&c, 1)).size();
        if (septets + cost > 160) {
            pieces.push_back(piece);
            piece.clear();
            septets = 0;
        }
        piece.push_back(c);
        septets += cost;
    }
    if (!piece.empty() || pieces.empty()) pieces.push_back(piece);
    return pieces;
}

bool sameNumber(std::string_view a, std::string_view b) {
    auto digits = [](std::string_view s, bool& international) {
        std::string d;
        international = false;
        for (const char c : s) {
            if (c == '+' && d.empty()) international = true;
            if (c >= '0' && c <= '9') d.push_back(c);
        }
        return d;
    };
    bool ia = false;
    bool ib = false;
    std::string da = digits(a, ia);
    std::string db = digits(b, ib);
    if (da.empty() || db.empty()) return false;
    if (ia == ib) return da == db;
    // One international, one national: compare the national number without its "0" prefix to the tail.
    std::string& national = ia ? db : da;
    const std::string& inter = ia ? da : db;
    if (national.size() < 2 || national.front() != '0') return false;
    national.erase(0, 1);
    return national.size() >= 8 && inter.size() > national.size() &&
           inter.compare(inter.size() - national.size(), national.size(), national) == 0;
}

}  // namespace hx350::sim
