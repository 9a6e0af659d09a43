// SMS PDU codec: module commands out as SMS-SUBMIT, module answers in from SMS-DELIVER or stored SMS-SUBMIT.
//
// Both directions work on "PDU text": the octets of a TS 23.040 PDU written as upper-case hexadecimal
// digits, two per octet, high nibble first, no separators, exactly as TS 27.005 PDU mode puts them on the
// line after AT+CMGS and in AT+CMGL listings. User data is always the 7-bit packing of TS 23.038
// clause 6.1.2.1.
//
// Both functions are pure: no state between calls, no output, no window. A failure is a returned status;
// the caller decides what to show (the encoder's failure is shown as kPhoneNumberErrorText, caption
// kPhoneNumberErrorCaption, error icon).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace hx350 {

/// The text the window shows when no PDU could be built, byte for byte (CR LF between the sentences).
inline constexpr std::string_view kPhoneNumberErrorText =
    "Phone Number Error.\r\nPlease, check settings and try again.";
/// The caption of that message box.
inline constexpr std::string_view kPhoneNumberErrorCaption = "Error";

/// Longest text one message carries: 160 septets (TS 23.040 clause 9.2.3.16, one octet of length).
inline constexpr std::size_t kMaxSmsTextLength = 160;
/// Most digits a destination address holds (TS 23.040 clause 9.1.2.5: at most 10 octets of semi-octets).
inline constexpr std::size_t kMaxPhoneNumberDigits = 20;

/// Why the encoder built no PDU. Every value but kNone is shown to the user as kPhoneNumberErrorText.
enum class PduError {
    kNone,           ///< the PDU was built
    kEmptyNumber,    ///< the phone number is empty
    kInvalidNumber,  ///< the number is not an optional "+" followed by at most 20 decimal digits
    kTextTooLong,    ///< the text has more than kMaxSmsTextLength characters
};

/// Result of TextToPDUConversion.
struct PduEncoding {
    /// The PDU text followed by exactly one NUL character; empty when error is not kNone.
    /// Its length is odd: 2 for the service-centre field, 2 per TPDU octet, 1 for the NUL, so
    /// pdu.size() / 2 - 1 is the TPDU octet count that AT+CMGS announces (TS 27.005 clause 3.5.1).
    std::string pdu;
    PduError error = PduError::kNone;

    bool ok() const { return error == PduError::kNone; }
};

/// TextToPDUConversion: builds the SMS-SUBMIT PDU text that sends `text` to `number`.
///
/// Parameters:
///   text   - the message, single-byte characters, at most 160 of them; each character is sent as the low
///            seven bits of its code, with no character translation (so '@', 0x40, goes out as septet 0x40).
///   number - the destination: decimal digits, optionally preceded by "+" (international number, type of
///            address 91; otherwise type 81). A lone "+" is accepted and gives an address of no digits.
/// Result:
///   pdu = "00" (use the phone's stored service centre), then the TPDU: first octet 11 (SMS-SUBMIT, relative
///   validity period), message reference 30, the address (digit count, type, swapped semi-octets with an F
///   filler for an odd count), protocol identifier 00, coding scheme 00 (7-bit default alphabet), validity
///   period 0B (one hour), user-data length in characters, the packed user data; then one NUL character.
/// Errors:
///   kEmptyNumber, kInvalidNumber, kTextTooLong: pdu is empty. The caller shows kPhoneNumberErrorText.
PduEncoding TextToPDUConversion(std::string_view text, std::string_view number);

/// How PDUTextConversion got on. Only kComplete means all announced characters were decoded.
enum class PduDecodeStatus {
    kComplete,         ///< text holds user-data-length characters
    kImplausible,      ///< the quick check on the first octets failed: text is empty
    kHeaderTruncated,  ///< a length or type octet the decoder needs lies beyond the end: text is empty
    kHeaderNotHex,     ///< such an octet holds a character that is not 0-9 or A-F: text is empty
    kNoUserData,       ///< the user-data length is 0: text is empty
    kUserDataShort,    ///< the user data ended before that many characters: text holds what it carried
    kUserDataNotHex,   ///< a character in the user data is not 0-9 or A-F: text holds what came before it
};

/// PDUTextConversion: decodes the message text of a PDU listed by the phone (AT+CMGL in PDU mode).
///
/// Parameters:
///   pdu    - one PDU text with its service-centre part, without line ends or spaces. Only "0"-"9" and
///            "A"-"F" are hexadecimal digits; lower case is not.
///   status - optional; receives how the decoding went (the window ignores it, tests read it).
/// Result:
///   The user data unpacked as 7-bit septets (the coding scheme is not examined) and each septet passed
///   through the tool's receive table (septet 00 is '@', 40 is inverted '!', 5B-5F are '*', ...). The
///   PDU is read as an SMS-DELIVER when the two low bits of the first octet are 00, otherwise as a stored
///   SMS-SUBMIT; addresses, protocol identifier, coding scheme, validity period and time stamp are skipped.
/// Errors:
///   Never reads beyond the end of pdu. An implausible PDU, a missing or non-hexadecimal length or type
///   octet, or a user-data length of 0 gives an empty text. User data shorter than its length octet says,
///   or holding a non-hexadecimal character, gives the characters decoded before that point.
std::string PDUTextConversion(std::string_view pdu, PduDecodeStatus* status = nullptr);

/// The sender of a listed SMS-DELIVER PDU: its originating address (TS 23.040 clause 9.1.2.5), the digits
/// with a "+" before them for an international number (type of number 001), the 7-bit text for an
/// alphanumeric one (type of number 101). Empty for a stored SMS-SUBMIT (it has no sender), and when a
/// header octet is missing or not hexadecimal. Pure; never reads beyond the end of `pdu`.
std::string PDUSenderNumber(std::string_view pdu);

}  // namespace hx350
