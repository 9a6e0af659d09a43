// Reading the phone's answer to a message listing (AT+CMGL in PDU mode, TS 27.005 clause 3.4.2).
//
// A listing answer is the echo, then per message a header line "+CMGL: <index>,<stat>,[<alpha>],<length>"
// and on the next line the PDU in hexadecimal, then "OK". The tool reads the first message of a batch only:
// its PDU token and its index, so that the message can be shown and then deleted (AT+CMGD=<index>). A batch
// is whatever one poll of the port found, so a listing may be cut anywhere; a cut PDU is not read.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace hx350 {

/// What the listing reader found in one batch.
struct ListingScan {
    bool header_found = false;  ///< "CMGL:" stands in the batch before position 510 and its last character
    /// The PDU token of the first message (the run of characters above 0x20 on the line after the header),
    /// set only when the token is complete, that is followed within the batch by a character at or below
    /// 0x20. The token never holds the batch's last character, nor any beyond position 511.
    std::optional<std::string> token;
    /// The message index: the whole number just before the first comma after the colon on the header
    /// line. Unset when the token is unset, when there is no comma on that line, no digit before it, or
    /// more than nine digits.
    std::optional<unsigned> index;
    friend bool operator==(const ListingScan&, const ListingScan&) = default;
};

/// Scans one received batch (NUL bytes included) for the first listed message. Pure; never reads beyond
/// the batch; every scan stops at position 511 (counted from 1).
ListingScan scanListing(std::string_view batch);

}  // namespace hx350
