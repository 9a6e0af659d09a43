#include "link/answer_recognisers.h"

#include <gtest/gtest.h>

#include <string>

namespace hx350 {
namespace {

using namespace std::string_literals;

struct ScanRow {
    const char* name;
    std::string batch;
    AnswerRule rule;
    std::size_t limit;
    AnswerScan expected;
};

std::string rowName(const testing::TestParamInfo<ScanRow>& row_info) {
    return row_info.param.name;
}

class ScanAnswer : public testing::TestWithParam<ScanRow> {};

TEST_P(ScanAnswer, FindsTheValueAfterTheEcho) {
    const ScanRow& row = GetParam();
    EXPECT_EQ(scanAnswer(row.batch, row.rule, row.limit), row.expected);
}

const std::string kLong(300, 'x');

INSTANTIATE_TEST_SUITE_P(
    CapturedAnswers, ScanAnswer,
    testing::Values(
        ScanRow{"ManufacturerLine",
                "AT+CGMI\r\r\nPHONEMAKER\r\n\r\nOK\r\n",
                AnswerRule::ValueLine,
                250,
                {true, "PHONEMAKER"}},
        ScanRow{"ModelLine", "AT+CGMM\r\r\nPM45\r\n\r\nOK\r\n", AnswerRule::ValueLine, 250, {true, "PM45"}},
        ScanRow{"EchoOnly", "AT+CGMM\r\r\n", AnswerRule::ValueLine, 250, {true, ""}},
        ScanRow{"ValueNotClosedInBatch", "AT+CGMI\r\r\nSIEM", AnswerRule::ValueLine, 250, {true, ""}},
        // The batch's last character is never part of the value, so a CR there does not close it.
        ScanRow{"ClosingCrIsLastCharacter", "AT+CGMI\r\nX\r", AnswerRule::ValueLine, 250, {true, ""}},
        ScanRow{"LateAnswerWithoutEcho",
                "\r\nPHONEMAKER\r\n\r\nOK\r\n",
                AnswerRule::ValueLine,
                250,
                {true, "PHONEMAKER"}},
        ScanRow{"NoLineBreak", "AT+CGMI", AnswerRule::ValueLine, 250, {true, ""}},
        ScanRow{"ValueWithNulBytes", "AT+CGMI\r\n\0AB\0\r\n"s, AnswerRule::ValueLine, 250, {true, "AB\0"s}},
        ScanRow{"ClockAfterColon",
                "AT+CCLK?\r\r\n+CCLK: \"26/12/07,20:50:18+04\"\r\n\r\nOK\r\n",
                AnswerRule::Colon,
                250,
                {true, "\"26/12/07,20:50:18+04\""}},
        ScanRow{"ColonWithoutSpace",
                "AT+CCLK?\r\n+CCLK:12:00\r\nOK\r\n",
                AnswerRule::Colon,
                250,
                {true, "12:00"}},
        ScanRow{"QuoteBeforeAnyColonIsKept",
                "AT+CSCS?\r\n\"GSM\": x\r\nOK\r\n",
                AnswerRule::Colon,
                254,
                {true, "\"GSM\": x"}},
        ScanRow{"CharacterSet",
                "AT+CSCS?\r\r\n+CSCS: \"GSM\"\r\n\r\nOK\r\n",
                AnswerRule::Colon,
                254,
                {true, "\"GSM\""}},
        ScanRow{"NoColonAfterEcho", "\n\rAT+CMGL=1\r\r\nOK\r\n", AnswerRule::Colon, 250, {true, ""}},
        ScanRow{"EchoRunsIntoLimit", kLong + "\r\nvalue\r\n", AnswerRule::ValueLine, 250, {false, ""}},
        ScanRow{"LineBreakJustBeforeLimit",
                std::string(248, 'e') + "\r\nv\r\n!",
                AnswerRule::ValueLine,
                252,
                {true, "v"}},
        ScanRow{"LineBreakAtLimit",
                std::string(249, 'e') + "\r\nv\r\n!",
                AnswerRule::ValueLine,
                250,
                {false, ""}},
        ScanRow{"CharacterSetLimitIsLater",
                std::string(250, 'e') + "\r\n: v\r\n!",
                AnswerRule::Colon,
                254,
                {true, "v"}},
        ScanRow{"SameBatchFailsTheShorterLimit",
                std::string(250, 'e') + "\r\n: v\r\n!",
                AnswerRule::Colon,
                250,
                {false, ""}},
        ScanRow{
            "ColonSearchRunsIntoLimit", "AT\r\n" + kLong + ": v\r\n", AnswerRule::Colon, 250, {false, ""}}),
    rowName);

QueryFlags armed(std::initializer_list<QueryFlag> list) {
    QueryFlags flags;
    for (QueryFlag flag : list)
        flags.set(flag);
    return flags;
}

TEST(AnswerRecognisers, ManufacturerStaysArmedUntilAValueComes) {
    QueryFlags flags = armed({QueryFlag::Manufacturer});
    QueryValues values;
    runAnswerRecognisers("AT+CGMI\r", flags, values);
    EXPECT_TRUE(flags.has(QueryFlag::Manufacturer));
    runAnswerRecognisers("\r\nPHONEMAKER\r\n\r\nOK\r\n", flags, values);
    EXPECT_FALSE(flags.any());
    EXPECT_EQ(values.manufacturer, "PHONEMAKER");
}

TEST(AnswerRecognisers, ModelIsDisarmedByAnyBatchScannedWithinTheLimit) {
    QueryFlags flags = armed({QueryFlag::Model});
    QueryValues values;
    values.model = "old";
    runAnswerRecognisers("AT+CGMM\r\r\n", flags, values);
    EXPECT_FALSE(flags.any());
    EXPECT_EQ(values.model, "old");  // an empty value leaves the store unchanged
}

TEST(AnswerRecognisers, LongBatchKeepsTheRecogniserArmed) {
    QueryFlags flags = armed({QueryFlag::Model, QueryFlag::ErrorReport});
    QueryValues values;
    runAnswerRecognisers(std::string(300, 'x'), flags, values);
    EXPECT_EQ(flags, armed({QueryFlag::Model, QueryFlag::ErrorReport}));
}

TEST(AnswerRecognisers, ClockAndListingModeShareOneRecogniserAndStore) {
    for (QueryFlag which : {QueryFlag::DateTime, QueryFlag::ListingMode}) {
        QueryFlags flags = armed({QueryFlag::DateTime, QueryFlag::ListingMode});
        flags.clear(which == QueryFlag::DateTime ? QueryFlag::ListingMode : QueryFlag::DateTime);
        QueryValues values;
        runAnswerRecognisers("AT+CCLK?\r\r\n+CCLK: \"07/12/26\"\r\nOK\r\n", flags, values);
        EXPECT_FALSE(flags.any());
        EXPECT_EQ(values.date_time, "\"07/12/26\"");
    }
    // Both armed: one answer disarms both.
    QueryFlags flags = armed({QueryFlag::DateTime, QueryFlag::ListingMode});
    QueryValues values;
    runAnswerRecognisers("\n\rAT+CMGL=1\r\r\nOK\r\n", flags, values);
    EXPECT_FALSE(flags.any());
    EXPECT_EQ(values.date_time, "");
}

TEST(AnswerRecognisers, SettingsAndCharacterSetKeepNothing) {
    QueryFlags flags = armed({QueryFlag::CharacterSet, QueryFlag::MessageFormat, QueryFlag::ErrorReport});
    QueryValues values;
    runAnswerRecognisers("AT+CSCS?\r\r\n+CSCS: \"GSM\"\r\n\r\nOK\r\n", flags, values);
    EXPECT_FALSE(flags.any());
    EXPECT_EQ(values, QueryValues{});
}

TEST(AnswerRecognisers, UnarmedRecognisersIgnoreTheBatch) {
    QueryFlags flags;
    QueryValues values;
    runAnswerRecognisers("AT+CGMI\r\r\nPHONEMAKER\r\n\r\nOK\r\n", flags, values);
    EXPECT_EQ(values, QueryValues{});
}

TEST(AnswerRecognisers, TableOrderAndRules) {
    const auto& table = answerRecognisers();
    EXPECT_TRUE(table[0].armed_by.has(QueryFlag::Manufacturer));
    EXPECT_EQ(table[0].disarm, DisarmWhen::ValueFound);
    EXPECT_EQ(table[2].limit, 254u);
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (i != 2) {
            EXPECT_EQ(table[i].limit, 250u) << i;
        }
        if (i != 0) {
            EXPECT_EQ(table[i].disarm, DisarmWhen::WithinLimit) << i;
        }
    }
}

}  // namespace
}  // namespace hx350
