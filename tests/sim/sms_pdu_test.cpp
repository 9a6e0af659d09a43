// SMS-SUBMIT decoding and SMS-DELIVER encoding, each pinned to independent vectors (not to each other).
#include "sim/sms_pdu.h"

#include <gtest/gtest.h>

namespace hx350::sim {
namespace {

struct SubmitRow {
    const char* name;
    std::string pdu;
    std::size_t tpdu_octets;
    std::string destination;
    std::string text;
    std::string service_centre;  // empty: none in the PDU
};

class SubmitVectors : public ::testing::TestWithParam<SubmitRow> {};

TEST_P(SubmitVectors, Decodes) {
    const SubmitRow& row = GetParam();
    const auto octets = octetsFromHex(row.pdu);
    ASSERT_TRUE(octets);
    const SubmitResult result = decodeSubmit(*octets);
    ASSERT_TRUE(result.submit) << result.error;
    EXPECT_EQ(result.tpdu_octets, row.tpdu_octets);
    EXPECT_EQ(result.submit->destination.number, row.destination);
    EXPECT_EQ(result.submit->text, row.text);
    if (row.service_centre.empty()) {
        EXPECT_FALSE(result.submit->service_centre);
    } else {
        ASSERT_TRUE(result.submit->service_centre);
        EXPECT_EQ(result.submit->service_centre->number, row.service_centre);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sms, SubmitVectors,
    ::testing::Values(
        // The widely published example: relative validity, international number of odd length.
        SubmitRow{"textbook_hellohello", "0011000B916407281553F80000AA0AE8329BFD4697D9EC37", 23,
                  "+46708251358", "hellohello", ""},
        // Captured from gammu 1.42 ("sendsms TEXT +491700350350 -text GETST"): SMSC field, validity FF.
        SubmitRow{"gammu_capture", "079194710200000011000C919471005330050000FF05C722754A05", 19,
                  "+491700350350", "GETST", "+491720000000"},
        // The service tool's form: message reference 30, one-hour validity, command with its CR.
        SubmitRow{"tool_form",
                  "0011300391"
                  "21F3"
                  "00000B06C722D52A6D00",
                  16, "+123", "GETVR\r", ""},
        // National number (type 81).
        SubmitRow{"national",
                  "0011300381"
                  "21F3"
                  "00000B06C722D52A6D00",
                  16, "123", "GETVR\r", ""},
        // No validity period, 8-bit data.
        SubmitRow{"eight_bit", "000100039121F3000403414243", 12, "+123", "ABC", ""},
        // UCS-2 data: a-umlaut and A.
        SubmitRow{"ucs2", "000100039121F300080400E40041", 13, "+123",
                  "\xE4"
                  "A",
                  ""},
        // A user-data header (16-bit concatenation) of 7 octets = 8 septets, then "Hi" on a septet boundary.
        SubmitRow{"with_header", "004100039121F300000A06080412340201C834", 18, "+123", "Hi", ""},
        // '@' and an extension character.
        SubmitRow{"escape", "000100039121F3000003800D0F", 12, "+123", "@[", ""}),
    [](const auto& row) { return std::string(row.param.name); });

struct BadRow {
    const char* name;
    std::string pdu;
};

class BadSubmits : public ::testing::TestWithParam<BadRow> {};

TEST_P(BadSubmits, AreRefused) {
    const auto octets = octetsFromHex(GetParam().pdu);
    ASSERT_TRUE(octets);
    const SubmitResult result = decodeSubmit(*octets);
    EXPECT_FALSE(result.submit);
    EXPECT_FALSE(result.error.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Sms, BadSubmits,
    ::testing::Values(BadRow{"empty", ""}, BadRow{"only_smsc", "00"},
                      BadRow{"truncated_user_data", "0011000B916407281553F80000AA0AE8329BFD4697D9EC"},
                      BadRow{"octet_after_user_data", "0011000B916407281553F80000AA0AE8329BFD4697D9EC3700"},
                      BadRow{"truncated_address", "0011000B91640728"},
                      BadRow{"deliver_not_submit", "0004039121F300006210109100000006C722D52A6D"},
                      BadRow{"address_too_long", "00110020916407281553F80000AA00"},
                      BadRow{"smsc_longer_than_pdu", "0791947102"},
                      BadRow{"compressed", "000100039121F3002000"},
                      BadRow{"udl_above_160", "000100039121F30000A1"},
                      BadRow{"header_longer_than_data", "004100039121F300000209FF"},
                      BadRow{"odd_ucs2", "000100039121F30008030041FF"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(Sms, HexParsingRefusesOddLengthsAndNonHexCharacters) {
    EXPECT_FALSE(octetsFromHex("0"));
    EXPECT_FALSE(octetsFromHex("0G"));
    ASSERT_TRUE(octetsFromHex("aBcD"));
    EXPECT_EQ(hexFromOctets(*octetsFromHex("aBcD")), "ABCD");
}

TEST(Sms, DeliverMatchesAHandBuiltVector) {
    // Originator +123, 2026-01-01 19:00:00 UTC, "GETVR" and CR.
    const SmsTimestamp t{2026, 1, 1, 19, 0, 0, 0};
    EXPECT_EQ(hexFromOctets(encodeDeliver("+123", t, "GETVR\r")),
              "04039121F300006210109100000006C722D52A6D00");
}

TEST(Sms, DeliverTimeZoneIsInQuartersWithTheSignInBitThree) {
    const Octets east = encodeDeliver("+123", {2024, 2, 29, 23, 59, 58, 120}, "A");
    const Octets west = encodeDeliver("+123", {2024, 2, 29, 23, 59, 58, -300}, "A");
    // Time stamp starts after first octet, 4 address octets, PID, DCS.
    EXPECT_EQ(hexFromOctets(Octets(east.begin() + 7, east.begin() + 14)), "42209232958580");
    EXPECT_EQ(hexFromOctets(Octets(west.begin() + 7, west.begin() + 14)), "4220923295850A");
}

TEST(Sms, DeliverFromANationalNumberUsesTypeEightyOne) {
    const Octets tpdu = encodeDeliver("0171234", {2024, 1, 1, 0, 0, 0, 0}, "");
    EXPECT_EQ(hexFromOctets(Octets(tpdu.begin(), tpdu.begin() + 6)),
              "04078110173"
              "2");
    EXPECT_EQ(tpdu[6], 0xF4);
    EXPECT_EQ(tpdu.back(), 0x00);  // empty text: user-data length 0
}

TEST(Sms, DeliverCountsEscapesInTheUserDataLength) {
    const Octets tpdu = encodeDeliver("+123", {2024, 1, 1, 0, 0, 0, 0}, "[");
    EXPECT_EQ(tpdu[14], 2);  // UDL: escape + code
}

TEST(Sms, ServiceCentreFieldCountsOctets) {
    EXPECT_EQ(hexFromOctets(encodeServiceCentre("+491720000000")), "0791947102000000");
    EXPECT_EQ(hexFromOctets(encodeServiceCentre("")), "00");
}

TEST(Sms, LongTextsAreSplitAtOneHundredSixtySeptetsNeverInsideAnEscape) {
    const auto pieces = splitForSms(std::string(161, 'a'));
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[0].size(), 160u);
    EXPECT_EQ(pieces[1], "a");
    const auto escaped = splitForSms(std::string(159, 'a') + "[");
    ASSERT_EQ(escaped.size(), 2u);
    EXPECT_EQ(escaped[1], "[");
    EXPECT_EQ(splitForSms("").size(), 1u);
}

TEST(Sms, NumbersCompareByDigitsAndNationalForm) {
    EXPECT_TRUE(sameNumber("+491700350350", "+491700350350"));
    EXPECT_TRUE(sameNumber("+491700350350", "01700350350"));
    EXPECT_TRUE(sameNumber("01700350350", "+49 170 0350350"));
    EXPECT_FALSE(sameNumber("+491700350350", "+491700350351"));
    EXPECT_FALSE(sameNumber("+491700350350", "0350350"));  // too short to be a national number of it
    EXPECT_FALSE(sameNumber("", "+49"));
}

}  // namespace
}  // namespace hx350::sim
