// SMS transfer PDUs of 3GPP TS 23.040 as the simulated phone handles them: it decodes the SMS-SUBMIT that
// a client hands over with AT+CMGS (TS 27.005 clause 3.5.1, PDU mode) and encodes the SMS-DELIVER that it
// stores for the client to list. Texts are Latin-1 byte strings.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "sim/gsm7.h"

namespace hx350::sim {

/// A decoded address field (TS 23.040 clause 9.1.2.5): digits, with "+" in front for an international number.
struct SmsAddress {
    std::string number;        ///< "+4917..." or "0171..." or the decoded text of an alphanumeric address
    std::uint8_t type = 0x81;  ///< type-of-address octet as received
};

/// The fields of an SMS-SUBMIT (TS 23.040 clause 9.2.2.2) that the phone looks at.
struct SmsSubmit {
    std::optional<SmsAddress> service_centre;  ///< from the leading SMSC field; empty when its length is 0
    std::uint8_t message_reference = 0;
    SmsAddress destination;
    std::uint8_t protocol_identifier = 0;
    std::uint8_t data_coding_scheme = 0;
    bool has_user_data_header = false;
    std::string text;  ///< user data after any header, as Latin-1 (UCS-2 above U+00FF becomes '?')
};

/// Outcome of a decode: the value, or an error text naming the field that failed.
struct SubmitResult {
    std::optional<SmsSubmit> submit;
    std::string error;
    std::size_t tpdu_octets = 0;  ///< octets after the SMSC field, as AT+CMGS counts them
};

/// Parses hexadecimal digits (upper or lower case, two per octet) into octets.
/// @return the octets, or nothing when the text has an odd length or a character that is not a hex digit.
std::optional<Octets> octetsFromHex(std::string_view hex);

/// Writes octets as upper-case hexadecimal digits, two per octet.
std::string hexFromOctets(const Octets& octets);

/// Decodes a PDU-mode SMS-SUBMIT as a client writes it after AT+CMGS: the SMSC field (TS 27.005 clause
/// 3.1, <pdu>) followed by the TPDU. Every field is length-checked before it is read; trailing octets beyond
/// the user data are an error.
/// @param pdu  the octets (SMSC length octet first).
/// @return the submit and the TPDU octet count, or an error naming the field.
SubmitResult decodeSubmit(const Octets& pdu);

/// Encodes an address field (TS 23.040 clause 9.1.2.5): length in digits, type of address (0x91 for a
/// number given with "+", else 0x81), digits as swapped semi-octets with an F filler for an odd count.
/// Characters other than digits, '*', '#' are skipped.
Octets encodeAddress(std::string_view number);

/// Encodes the SMSC field of a stored PDU (TS 24.011 clause 8.2.5.1 form, as TS 27.005 lists it): length
/// in octets (type + digits), type, digits. An empty number gives the single octet 00.
Octets encodeServiceCentre(std::string_view number);

/// Service-centre time stamp (TS 23.040 clause 9.2.3.11).
struct SmsTimestamp {
    int year = 2000;  ///< four digits; written modulo 100
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int utc_offset_minutes = 0;  ///< written in quarters of an hour, sign in bit 3
};

/// Encodes an SMS-DELIVER TPDU (TS 23.040 clause 9.2.2.1) with the GSM 7-bit default alphabet, protocol
/// identifier 00, "no more messages waiting" set, no header.
/// @param originator  the sender's number ("+" for international).
/// @param text  Latin-1; characters outside the alphabet become '?'. At most 160 septets are sent; the
///              caller splits longer texts (see splitForSms).
/// @return the TPDU octets (without an SMSC field).
Octets encodeDeliver(std::string_view originator, const SmsTimestamp& timestamp, std::string_view text);

/// Splits a Latin-1 text into pieces of at most 160 septets each, never between an escape and its code.
std::vector<std::string> splitForSms(std::string_view text);

/// Compares two phone numbers the way a network routes them: by their digits, ignoring a leading "+",
/// spaces and dashes; a national number matches an international one when the digits after the national
/// prefix "0" (at least eight of them) are the tail of the international digits.
bool sameNumber(std::string_view a, std::string_view b);

}  // namespace hx350::sim
