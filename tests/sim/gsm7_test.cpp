// GSM 7-bit default alphabet and septet packing, pinned to vectors worked out from TS 23.038 by hand.
#include "sim/gsm7.h"

#include <gtest/gtest.h>

#include "sim/sms_pdu.h"

namespace hx350::sim {
namespace {

std::string packedHex(std::string_view text, int fill = 0) {
    return hexFromOctets(packSeptets(latin1ToGsm7(text), fill));
}

struct PackRow {
    const char* name;
    std::string text;
    std::string hex;
};

class PackVectors : public ::testing::TestWithParam<PackRow> {};

TEST_P(PackVectors, PacksToTheKnownOctets) {
    EXPECT_EQ(packedHex(GetParam().text), GetParam().hex);
    const auto octets = octetsFromHex(GetParam().hex);
    ASSERT_TRUE(octets);
    const Septets septets =
        unpackSeptets(octets->data(), octets->size(), latin1ToGsm7(GetParam().text).size());
    EXPECT_EQ(gsm7ToLatin1(septets), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Gsm7, PackVectors,
    ::testing::Values(
        // The textbook example of TS 23.040 style PDUs ("hellohello", 10 septets in 9 octets).
        PackRow{"hellohello", "hellohello", "E8329BFD4697D9EC37"},
        // Seven characters: the last octet carries one bit of the 7th septet and seven zero fill bits.
        PackRow{"seven", "1234567", "31D98C56B3DD00"},
        // Eight characters also fit in seven octets: the 8th septet fills the high bits of octet 7.
        PackRow{"eight", "12345678", "31D98C56B3DD70"}, PackRow{"nine", "123456789", "31D98C56B3DD7039"},
        // A command with its closing carriage return.
        PackRow{"command_with_cr", "GETVR\r", "C722D52A6D00"},
        // '@' is septet 0.
        PackRow{"at_sign", "@", "00"}, PackRow{"empty", "", ""}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(Gsm7, OneHundredSixtyCharactersFillOneHundredFortyOctets) {
    const std::string text(160, 'A');
    const Octets packed = packSeptets(latin1ToGsm7(text));
    ASSERT_EQ(packed.size(), 140u);
    // 'A' = 0x41 repeats the same seven octets for every eight septets.
    std::string expected;
    for (int i = 0; i < 20; ++i)
        expected += "C16030180C0683";
    EXPECT_EQ(hexFromOctets(packed), expected);
}

TEST(Gsm7, MapsLatin1LettersToTheirSeptets) {
    // Characters whose septet differs from their code.
    EXPECT_EQ(latin1ToGsm7("@$\xA3\xA4_\xE4\xF6\xFC\xE0\xA1\xBF\xA7"),
              (Septets{0x00, 0x02, 0x01, 0x24, 0x11, 0x7B, 0x7C, 0x7E, 0x7F, 0x40, 0x60, 0x5F}));
}

TEST(Gsm7, ExtensionCharactersTakeAnEscape) {
    EXPECT_EQ(latin1ToGsm7("[^]"), (Septets{0x1B, 0x3C, 0x1B, 0x14, 0x1B, 0x3E}));
    EXPECT_EQ(latin1ToGsm7("{}\\~|"), (Septets{0x1B, 0x28, 0x1B, 0x29, 0x1B, 0x2F, 0x1B, 0x3D, 0x1B, 0x40}));
    EXPECT_EQ(gsm7ToLatin1({0x1B, 0x3C, 0x41, 0x1B, 0x3E}), "[A]");
}

TEST(Gsm7, UnrepresentableCharactersBecomeQuestionMarks) {
    EXPECT_EQ(latin1ToGsm7("\x80\xFE`"), (Septets{0x3F, 0x3F, 0x3F}));
    // Greek capital delta and the euro sign have no Latin-1 form.
    EXPECT_EQ(gsm7ToLatin1({0x10, 0x1B, 0x65}), "??");
}

TEST(Gsm7, UnknownEscapeShowsTheBasicCharacterAndATrailingEscapeASpace) {
    EXPECT_EQ(gsm7ToLatin1({0x1B, 0x41}), "A");
    EXPECT_EQ(gsm7ToLatin1({0x41, 0x1B}), "A ");
}

TEST(Gsm7, FillBitsAlignTheTextBehindAHeader) {
    // After a 6-octet header (48 bits) one fill bit brings the text to a septet boundary.
    EXPECT_EQ(packedHex("Hi", 1), "9069");
    const Octets packed = packSeptets(latin1ToGsm7("Hi"), 1);
    EXPECT_EQ(gsm7ToLatin1(unpackSeptets(packed.data(), packed.size(), 2, 1)), "Hi");
}

TEST(Gsm7, UnpackingStopsWhereTheOctetsEnd) {
    const auto octets = octetsFromHex("E8329B");
    ASSERT_TRUE(octets);
    // Three octets hold three whole septets; the fourth would need a fourth octet.
    EXPECT_EQ(unpackSeptets(octets->data(), octets->size(), 10).size(), 3u);
}

}  // namespace
}  // namespace hx350::sim
