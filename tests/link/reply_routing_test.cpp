#include "link/reply_routing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace hx350 {
namespace {

using Edits = std::vector<EditAssignment>;

struct RouteRow {
    const char* name;
    int page;
    std::string text;
    Edits expected;
};

class RouteReply : public testing::TestWithParam<RouteRow> {};

TEST_P(RouteReply, SetsTheEditsOfThePageShown) {
    const RouteRow& row = GetParam();
    EXPECT_EQ(routeReply(row.page, row.text), row.expected);
}

std::string name(const testing::TestParamInfo<RouteRow>& info) {
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(
    Abonents, RouteReply,
    testing::Values(
        RouteRow{"NumberWithSkippedLineEnd", 1, "3: +491701234567  ", {{"NNumber3", "+491701234567"}}},
        RouteRow{"NumberWithRawLineEnd", 1, "3: +491701234567\r\n", {{"NNumber3", "+491701234567"}}},
        RouteRow{"SubscriberSeven", 1, "7: 0123  ", {{"NNumber7", "0123"}}},
        RouteRow{"NumberWithoutAnyEndIsEmpty", 1, "1: 0123", {{"NNumber1", ""}}},
        RouteRow{"NumberOfTwentyCharacters",
                 1,
                 "4: +1234567890123456789\r\n",
                 {{"NNumber4", "+1234567890123456789"}}},
        RouteRow{"NumberLongerThanTwentyIsEmpty", 1, "2: 123456789012345678901  ", {{"NNumber2", ""}}},
        RouteRow{"SubscriberEightIsNoSubscriber", 1, "8: 0123  ", {}},
        RouteRow{"PhoneBookEntries", 1, " N1:111 N2:222 ", {{"PBnr1", "111"}, {"PBnr2", "222"}}},
        RouteRow{"PhoneBookWithRawLineEnd", 1, " N1:111 N2:222\r\n", {{"PBnr1", "111"}, {"PBnr2", "222"}}},
        RouteRow{"PhoneBookAllSeven",
                 1,
                 " N1:1 N2:2 N3:3 N4:4 N5:5 N6:6 N7:7  ",
                 {{"PBnr1", "1"},
                  {"PBnr2", "2"},
                  {"PBnr3", "3"},
                  {"PBnr4", "4"},
                  {"PBnr5", "5"},
                  {"PBnr6", "6"},
                  {"PBnr7", "7"}}},
        // Without the leading character the first entry is read one character late, as the module's
        // answer form (one leading character, then the entries) has it.
        RouteRow{
            "PhoneBookWithoutLeadingCharacter", 1, "N1:111 N2:222 ", {{"PBnr1", "11"}, {"PBnr2", "222"}}},
        RouteRow{"PhoneBookEntryNumberEight", 1, " N8:888 ", {}},
        RouteRow{"NoColon", 1, "3 +491701234567  ", {}}, RouteRow{"EmptyKey", 1, ": 0123  ", {}},
        RouteRow{"KeywordAnswerOfAnotherPage", 1, "APN: internet\r\n", {}}),
    name);

INSTANTIATE_TEST_SUITE_P(
    ExternalSms, RouteReply,
    testing::Values(
        RouteRow{"TextWithoutItsLineEnd", 2, "05: Door open\r\n", {{"TXTSMS5", "Door open"}}},
        RouteRow{"TextWithoutItsSkippedLineEnd", 2, "05: Door open   ", {{"TXTSMS5", "Door open "}}},
        RouteRow{"AnswerCutBeforeItsLineEndLosesOneCharacter", 2, "05: Door open", {{"TXTSMS5", "Door ope"}}},
        RouteRow{"LastSlot", 2, "54: x\r\n", {{"TXTSMS54", "x"}}},
        RouteRow{"SlotNumberBeforeColonAnywhere", 2, "Slot 07: abc\r\n", {{"TXTSMS7", "abc"}}},
        RouteRow{"SlotAboveRange", 2, "55: x\r\n", {}}, RouteRow{"SlotZero", 2, "00: x\r\n", {}},
        RouteRow{"OneDigitBeforeColon", 2, "5: text\r\n", {}},
        RouteRow{"LetterInSlot", 2, "A5: text\r\n", {}},
        RouteRow{"CharacterAboveNineInSlot", 2, "0<: text\r\n", {}},
        RouteRow{"NoColon", 2, "05 text\r\n", {}}),
    name);

INSTANTIATE_TEST_SUITE_P(
    InternalTexts, RouteReply,
    testing::Values(RouteRow{"IoNameSlotFromIntExtPage", 3, "60: Alarm\r\n", {{"iTXTSMS60", "Alarm"}}},
                    RouteRow{"EventSlotFromIoNamePage", 4, "05: x\r\n", {{"iTXTSMS5", "x"}}},
                    RouteRow{"LastSlot", 4, "78: y  ", {{"iTXTSMS78", "y"}}},
                    RouteRow{"SlotAboveRange", 3, "79: y  ", {}}, RouteRow{"SlotZero", 4, "00: y  ", {}},
                    RouteRow{"TooShort", 3, "6", {}}, RouteRow{"LetterInSlot", 3, "6x: abc\r\n", {}},
                    RouteRow{"CharacterAboveNineInSlot", 4, "1?: abc\r\n", {}},
                    RouteRow{"SlotOnlyGivesEmptyText", 3, "12", {{"iTXTSMS12", ""}}}),
    name);

INSTANTIATE_TEST_SUITE_P(
    GprsFtp, RouteReply,
    testing::Values(
        RouteRow{"Apn", 10, "APN: internet.t-d1.de\r\n", {{"APN", "internet.t-d1.de"}}},
        RouteRow{"ApnWithSkippedLineEnd", 10, "APN: web  ", {{"APN", "web"}}},
        RouteRow{"Password", 10, "PASSWORD: secret\r\n", {{"Password", "secret"}}},
        RouteRow{"UserId", 10, "UserID: user\r\n", {{"UserID", "user"}}},
        RouteRow{"PasswordFtp", 10, "Password FTP: pw\r\n", {{"PasswordFTP", "pw"}}},
        RouteRow{"UserNameFtp", 10, "UserName FTP: me\r\n", {{"UserNameFTP", "me"}}},
        RouteRow{"IpAddress", 10, "IP address: 10.0.0.1\r\n", {{"IPaddress", "10.0.0.1"}}},
        RouteRow{"FtpHost", 10, "FTP Host: ftp.example\r\n", {{"FTPHostName", "ftp.example"}}},
        RouteRow{"DirName", 10, "DirName: /log\r\n", {{"DirName", "/log"}}},
        RouteRow{"RemoteHost", 10, "Remote Host: h1.example\r\n", {{"HTTPhostName", "h1.example"}}},
        RouteRow{"RemoteHost2", 10, "Remote Host2: h2.example\r\n", {{"HTTPhostName2", "h2.example"}}},
        RouteRow{"BothHttpHosts",
                 10,
                 "HTTP Host1: a.test.com Host2: b.com\r\n",
                 {{"HTTPhostName", "a.test.com"}, {"HTTPhostName2", "b.com"}}},
        RouteRow{"OneHttpHost", 10, "HTTP Host1: a.test.com\r\n", {{"HTTPhostName", "a.test.com"}}},
        RouteRow{
            "HttpHostsWithoutSecondKeyword", 10, "HTTP Host1: a.com b.com\r\n", {{"HTTPhostName", "a.com"}}},
        RouteRow{"KeywordsAreCaseSensitive", 10, "apn: web\r\n", {}},
        RouteRow{"ValueSkipsOneCharacterAfterColon", 10, "APN:web\r\n", {{"APN", "eb"}}},
        RouteRow{"NoColon", 10, "APN web\r\n", {}}),
    name);

INSTANTIATE_TEST_SUITE_P(OtherPages, RouteReply,
                         testing::Values(RouteRow{"Main", 0, "3: 0123  ", {}},
                                         RouteRow{"Status", 5, "05: x\r\n", {}},
                                         RouteRow{"Settings", 9, "APN: web\r\n", {}},
                                         RouteRow{"LastPage", 12, "APN: web\r\n", {}},
                                         RouteRow{"NoPage", -1, "APN: web\r\n", {}}),
                         name);

}  // namespace
}  // namespace hx350
