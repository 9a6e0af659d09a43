#include "link/listing_reader.h"

#include <gtest/gtest.h>

#include <string>

namespace hx350 {
namespace {

using namespace std::string_literals;

// SMS-DELIVER PDUs from originator +123 (no service centre, 7-bit, time stamp 26-01-01 01:19:00).
const std::string kGetvr = "0004039121F300006210109100000006C722D52A6D00";  // "GETVR" CR
const std::string kHello = "0004039121F300006210109100000005C8329BFD06";    // "Hello"

struct ListingRow {
    const char* name;
    std::string batch;
    ListingScan expected;
};

std::string rowName(const testing::TestParamInfo<ListingRow>& row_info) {
    return row_info.param.name;
}

class ScanListing : public testing::TestWithParam<ListingRow> {};

TEST_P(ScanListing, ReadsTheFirstMessage) {
    const ListingRow& row = GetParam();
    EXPECT_EQ(scanListing(row.batch), row.expected);
}

ListingScan found(std::string token, std::optional<unsigned> index) {
    return {true, std::move(token), index};
}
ListingScan headerOnly() {
    return {true, std::nullopt, std::nullopt};
}

INSTANTIATE_TEST_SUITE_P(
    Batches, ScanListing,
    testing::Values(
        ListingRow{"Complete", "AT+CMGL=0\r\r\n+CMGL: 12,0,,23\r\n" + kGetvr + "\r\n\r\nOK\r\n",
                   found(kGetvr, 12)},
        ListingRow{"SpaceBeforeSingleDigit", "+CMGL: 7,1,,22\r\n" + kHello + "\r\nOK\r\n", found(kHello, 7)},
        ListingRow{"TwoMessagesFirstIsRead",
                   "AT+CMGL=1\r\r\n+CMGL: 3,1,,23\r\n" + kGetvr + "\r\n+CMGL: 4,1,,22\r\n" + kHello +
                       "\r\n\r\nOK\r\n",
                   found(kGetvr, 3)},
        ListingRow{"PduCutByEndOfBatch", "AT+CMGL=0\r\r\n+CMGL: 12,0,,23\r\n" + kGetvr.substr(0, 30),
                   headerOnly()},
        ListingRow{"PduEndsWithLastCharacter", "+CMGL: 12,0,,23\r\n" + kGetvr, headerOnly()},
        ListingRow{"PduClosedByLastCharacter", "+CMGL: 12,0,,23\r\n" + kGetvr + "\r", found(kGetvr, 12)},
        ListingRow{"HeaderLineNotEnded", "AT+CMGL=0\r\r\n+CMGL: 12,0,,2", headerOnly()},
        ListingRow{"NothingAfterHeaderLine", "+CMGL: 12,0,,23\r\n\r\n", headerOnly()},
        ListingRow{"NoListing", "AT+CMGL=0\r\r\nOK\r\n", ListingScan{}},
        ListingRow{"ColonIsLastCharacter", "+CMGL:", ListingScan{}},
        ListingRow{"ThreeDigitIndex", "+CMGL: 255,1,,23\r\n" + kGetvr + "\r\n", found(kGetvr, 255)},
        ListingRow{"IndexAbove255KeptWhole", "+CMGL: 300,1,,23\r\n" + kGetvr + "\r\n", found(kGetvr, 300)},
        // TS 27.005 sets no limit of three digits: the whole number is the index, or none when it is
        // longer than nine digits (no phone has that many messages; deleting a guess would lose one).
        ListingRow{"FourDigitIndexReadWhole", "+CMGL: 1005,1,,23\r\n" + kGetvr + "\r\n", found(kGetvr, 1005)},
        ListingRow{"NineDigitIndex", "+CMGL: 123456789,1,,23\r\n" + kGetvr + "\r\n",
                   found(kGetvr, 123456789)},
        ListingRow{"TenDigitIndexIsNotTaken", "+CMGL: 1234567890,1,,23\r\n" + kGetvr + "\r\n",
                   found(kGetvr, std::nullopt)},
        ListingRow{"LeadingZerosCount", "+CMGL: 0000000005,1,,23\r\n" + kGetvr + "\r\n",
                   found(kGetvr, std::nullopt)},
        ListingRow{"NoDigitBeforeComma", "+CMGL: ,1,,23\r\n" + kGetvr + "\r\n", found(kGetvr, std::nullopt)},
        ListingRow{"NoCommaOnHeaderLine", "+CMGL: 5\r\n" + kGetvr + "\r\n1,\r\n",
                   found(kGetvr, std::nullopt)},
        ListingRow{"CommaBeforeHeaderIsNotTaken", "x,9 +CMGL: 6,1,,23\r\n" + kGetvr + "\r\n",
                   found(kGetvr, 6)},
        ListingRow{"NulBytesAreControlCharacters", "+CMGL: 2,0,,23\0\0"s + kGetvr + "\0"s, found(kGetvr, 2)},
        ListingRow{"HeaderBeyondPosition509", std::string(505, ' ') + "+CMGL: 2,0,,23\r\n" + kGetvr + "\r\n",
                   ListingScan{}},
        ListingRow{"TokenRunsIntoScanLimit", "+CMGL: 2,0,,23\r\n" + std::string(600, 'A') + "\r\n",
                   headerOnly()}),
    rowName);

TEST(ScanListing, TokenEndingAtPosition511IsComplete) {
    const std::string header = "+CMGL: 2,0,,23\r\n";  // 16 characters: the token starts at position 17
    const std::string token(511 - 16, 'B');
    EXPECT_EQ(scanListing(header + token + "\r\nOK\r\n"), found(token, 2));
    EXPECT_EQ(scanListing(header + token + "B\r\nOK\r\n"), headerOnly());
}

}  // namespace
}  // namespace hx350
