#include "link/listing_reader.h"

#include "base/text.h"

namespace hx350 {

namespace {

// Positions count from 1, as in the rules below; the callers keep them within the batch.
unsigned char at(std::string_view s, std::size_t pos) {
    return static_cast<unsigned char>(s[pos - 1]);
}

constexpr std::size_t kScanLimit = 511;

}  // namespace

ListingScan scanListing(std::string_view batch) {
    ListingScan scan;
    const std::size_t len = batch.size();

    // The header: "CMGL:" with its colon before position 510 and before the batch's last character.
    const std::size_t found = batch.find("CMGL:");
    if (found == std::string_view::npos) return scan;
    const std::size_t colon = found + 5;  // 1-based position of the colon
    if (colon >= 510 || colon >= len) return scan;
    scan.header_found = true;

    // End of the header line, then the gap before the PDU. Both scans give up at position 511 and at
    // the batch's last character: a listing that ends there carries no PDU yet.
    std::size_t pos = colon + 1;
    while (pos < kScanLimit && pos < len && at(batch, pos) > 0x0D)
        ++pos;
    const std::size_t header_end = pos;
    if (pos >= kScanLimit || pos >= len) return scan;
    while (pos < kScanLimit && pos < len && at(batch, pos) <= 0x20)
        ++pos;
    if (pos >= kScanLimit || pos >= len) return scan;

    // The token ends at a character at or below 0x20. A token that runs into the end of the batch (or the
    // scan limit) is a PDU cut by the poll: decoding it would show a wrong text and deleting the message
    // would lose it, so it is left for the next listing.
    std::size_t end = pos;
    while (end < len && end <= kScanLimit && at(batch, end) > 0x20)
        ++end;
    if (at(batch, end) > 0x20) return scan;
    scan.token = std::string(batch.substr(pos - 1, end - pos));

    // The index: one to three digits just before the first comma that follows the colon on the header
    // line (TS 27.005 puts <index> first). Computed in full width, so an index above 255 stays itself.
    std::size_t comma = 0;
    for (std::size_t p = colon + 1; p < header_end; ++p) {
        if (at(batch, p) == ',') {
            comma = p;
            break;
        }
    }
    if (comma == 0) return scan;
    unsigned index = 0;
    unsigned weight = 1;
    std::size_t digits = 0;
    for (std::size_t p = comma - 1;
         p > colon && digits < 3 && isDecimalDigit(static_cast<char>(at(batch, p))); --p, ++digits) {
        index += weight * static_cast<unsigned>(at(batch, p) - '0');
        weight *= 10;
    }
    if (digits > 0) scan.index = index;
    return scan;
}

}  // namespace hx350
