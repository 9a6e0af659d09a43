// The GSM 7-bit default alphabet of 3GPP TS 23.038 clause 6.2.1 (with its extension table, clause 6.2.1.1)
// and the septet packing of clause 6.1.2.1.1, as the simulated phone needs them: texts are Latin-1 byte
// strings, user data is a sequence of septets packed into octets.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace hx350::sim {

/// Septet values, one per element (0..127).
using Septets = std::vector<std::uint8_t>;
/// Octets of a PDU.
using Octets = std::vector<std::uint8_t>;

/// The escape septet that selects the extension table for the next septet.
inline constexpr std::uint8_t kGsmEscape = 0x1B;

/// Converts a Latin-1 text to GSM default-alphabet septets. Characters of the extension table
/// (^ { } \ [ ~ ] | and form feed) take two septets (escape + code). A character that the alphabet
/// cannot represent becomes '?' (septet 0x3F).
/// @param text  Latin-1 bytes.
/// @return the septets; never fails.
Septets latin1ToGsm7(std::string_view text);

/// Converts septets back to Latin-1. Letters of the default alphabet without a Latin-1 form (the Greek
/// capitals, the euro sign) become '?'. An escape followed by a code the extension table does not define
/// yields the basic-table character of that code, as TS 23.038 tells a receiver to do; a trailing escape
/// yields a space.
/// @param septets  values 0..127 (higher bits are ignored).
/// @return the Latin-1 text.
std::string gsm7ToLatin1(const Septets& septets);

/// Packs septets into octets (TS 23.038 clause 6.1.2.1.1), after `fill_bits` zero bits (0..6) that align
/// the first septet to a septet boundary behind a user-data header (TS 23.040 clause 9.2.3.24).
/// @return ceil((fill_bits + 7 * n) / 8) octets; unused high bits of the last octet are zero.
Octets packSeptets(const Septets& septets, int fill_bits = 0);

/// Unpacks `count` septets from octets, skipping `fill_bits` leading bits.
/// @return the septets, or fewer than `count` when the octets end early (the caller decides whether
///         that is an error).
Septets unpackSeptets(const std::uint8_t* octets, std::size_t octet_count, std::size_t count,
                      int fill_bits = 0);

}  // namespace hx350::sim
