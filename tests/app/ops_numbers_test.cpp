// Alarm numbers and the SIM phone book on the "Abonents" page: what each button puts on the line, what the
// log shows and in which order, the checks and the placeholder, and the buttons held back while the
// phone's message listing is awaited.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "link/pdu_codec.h"
#include "ops_commands_fixture.h"

namespace hx350::test {
namespace {

class AbonentsNumbers : public ModuleCommandPage {};

struct AlarmNumberCase {
    int number;         // 1..7, the item of RadioGroupNR
    std::string typed;  // text of NNumber<number>
    std::string sent;   // the command on the line, "" when nothing may go out
    std::string shown;  // the log memo's line, "" when nothing is shown
};

void PrintTo(const AlarmNumberCase& c, std::ostream* os) {
    *os << "NNumber" << c.number << "=\"" << c.typed << "\"";
}

class AlarmNumberWrite : public AbonentsNumbers, public ::testing::WithParamInterface<AlarmNumberCase> {};

TEST_P(AlarmNumberWrite, SendsOnlyNumbersThatPassTheCheck) {
    const AlarmNumberCase& c = GetParam();
    TForm1& f = startFromDesign();
    f.RadioGroupNR.userSetItemIndex(c.number - 1);
    f.NNumber[c.number].SetText(c.typed);
    scribble();
    trackEchoOrder();
    f.SetNr.userClick();
    if (c.sent.empty()) {
        EXPECT_EQ(line(), "");
        EXPECT_EQ(shown(), "<0 lines>");  // the memos were emptied all the same
        EXPECT_TRUE(echo_order_.empty());
        EXPECT_TRUE(memoInput().Lines().empty());
    } else {
        EXPECT_EQ(line(), framed(c.sent));
        EXPECT_EQ(shown(), c.shown);
        EXPECT_EQ(echo_order_, std::vector<std::string>{c.shown + ">"});  // echo after the send
        EXPECT_EQ(memoInput().Lines(), std::vector<std::string>{""});
    }
    EXPECT_EQ(f.NNumber[c.number].Text(), c.typed);  // the edit is never rewritten
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, AlarmNumberWrite,
    ::testing::Values(AlarmNumberCase{3, "+37120000000", "SETNN3 +37120000000", "SETNN3,+37120000000"},
                      AlarmNumberCase{1, "0037120000000", "SETNN1 0037120000000", "SETNN1,0037120000000"},
                      AlarmNumberCase{7, "12+", "SETNN7 12+",
                                      "SETNN7,12+"},                // the third character may be "+"
                      AlarmNumberCase{2, "++37120000000", "", ""},  // second character not a digit
                      AlarmNumberCase{2, "+3+", "SETNN2 +3+", "SETNN2,+3+"}, AlarmNumberCase{4, "", "", ""},
                      AlarmNumberCase{4, "1", "", ""},   // too short: missing characters pass no check
                      AlarmNumberCase{4, "12", "", ""},  // likewise
                      AlarmNumberCase{4, "123", "SETNN4 123", "SETNN4,123"},
                      AlarmNumberCase{5, "a12", "", ""}, AlarmNumberCase{5, "1a2", "", ""},
                      AlarmNumberCase{5, "12a", "", ""}, AlarmNumberCase{6, " +371", "", ""},
                      // Only the first 20 characters count.
                      AlarmNumberCase{6, "+3712345678901234567890", "SETNN6 +3712345678901234567",
                                      "SETNN6,+3712345678901234567"}));

TEST_F(AbonentsNumbers, ClearAndReadShowTheirTextBeforeItGoesOut) {
    TForm1& f = startFromDesign();
    f.RadioGroupNR.userSetItemIndex(3);
    trackEchoOrder();
    f.GetNr.userClick();
    EXPECT_EQ(line(), framed("GETNR4"));
    f.ClrNr.userClick();
    EXPECT_EQ(line(), framed("CLRNR4"));
    EXPECT_EQ(echo_order_, (std::vector<std::string>{"GETNR4<", "CLRNR4<"}));
    // No answer comes: the echo stays.
    EXPECT_EQ(shown(), "CLRNR4");
}

TEST_F(AbonentsNumbers, EveryItemOfTheRadioGroupNamesItsNumber) {
    TForm1& f = startFromDesign();
    for (int n : {1, 2, 7}) {
        f.RadioGroupNR.userSetItemIndex(n - 1);
        f.GetNr.userClick();
        EXPECT_EQ(line(), framed("GETNR" + std::to_string(n)));
        f.ClrNr.userClick();
        EXPECT_EQ(line(), framed("CLRNR" + std::to_string(n)));
    }
}

struct PhoneBookCase {
    int number;
    std::string typed;
    std::string written;  // the entry in the command and, afterwards, in the edit
};

void PrintTo(const PhoneBookCase& c, std::ostream* os) {
    *os << "PBnr" << c.number << "=\"" << c.typed << "\"";
}

class PhoneBookWrite : public AbonentsNumbers, public ::testing::WithParamInterface<PhoneBookCase> {};

TEST_P(PhoneBookWrite, WritesTheEntryOrThePlaceholder) {
    const PhoneBookCase& c = GetParam();
    TForm1& f = startFromDesign();
    f.RadioGroupPB.userSetItemIndex(c.number - 1);
    f.PBnr[c.number].SetText(c.typed);
    trackEchoOrder();
    f.ToPhoneBook.userClick();
    const std::string command = "SETPB" + std::to_string(c.number) + " " + c.written;
    EXPECT_EQ(line(), framed(command));
    EXPECT_EQ(shown(), command);
    EXPECT_EQ(echo_order_, std::vector<std::string>{command + ">"});
    if (c.written == "+99") {
        EXPECT_EQ(f.PBnr[c.number].Text(), "+99");
    } else {
        EXPECT_EQ(f.PBnr[c.number].Text(), c.typed);
    }
}

INSTANTIATE_TEST_SUITE_P(Entries, PhoneBookWrite,
                         ::testing::Values(PhoneBookCase{5, "", "+99"},
                                           PhoneBookCase{1, "+37120000000", "+37120000000"},
                                           PhoneBookCase{7, "0037120000000", "0037120000000"},
                                           PhoneBookCase{2, "7", "+99"},  // one character: replaced
                                           PhoneBookCase{2, "12", "12"},  // two that pass: kept
                                           PhoneBookCase{2, "+9", "+9"}, PhoneBookCase{3, "++1", "+99"},
                                           PhoneBookCase{3, "1+", "+99"}, PhoneBookCase{4, "a1", "+99"},
                                           PhoneBookCase{4, "Office", "+99"}));

TEST_F(AbonentsNumbers, PhoneBookWriteTakesTheSkipCrLfStateIntoTheChannel) {
    TForm1& f = startFromDesign();
    f.SkipCRLFcb.userSetChecked(true);
    linkState().crlf_memory = false;  // as after a restore from an older state
    f.PBnr[1].SetText("+37120000000");
    f.ToPhoneBook.userClick();
    EXPECT_TRUE(linkState().crlf_memory);
    line();
    // Even while the listing holds the write back, the state is taken first.
    linkState().crlf_memory = false;
    linkState().listing_requested = true;
    f.ToPhoneBook.userClick();
    EXPECT_TRUE(linkState().crlf_memory);
    EXPECT_EQ(line(), "");
}

TEST_F(AbonentsNumbers, ReadPhoneBookSendsTwoSpacesAndShowsTheBareKeyword) {
    TForm1& f = startFromDesign();
    f.ReadPB.userClick();
    EXPECT_EQ(line(), framed("  GETPB"));
    EXPECT_EQ(shown(), "GETPB");
}

TEST_F(AbonentsNumbers, WhileAListingIsAwaitedOnlyTheWriteAndThePhoneBookReadGoOut) {
    TForm1& f = startFromDesign();
    f.RadioGroupNR.userSetItemIndex(1);
    f.NNumber[2].SetText("+37120000002");
    f.PBnr[1].SetText("not a number");
    linkState().listing_requested = true;

    for (Button* held : {&f.ClrNr, &f.GetNr, &f.ToPhoneBook}) {
        scribble();
        held->userClick();
        EXPECT_EQ(line(), "") << held->name();
        EXPECT_EQ(shown(), "<0 lines>") << held->name();  // the memos are emptied, nothing is echoed
    }
    EXPECT_EQ(f.PBnr[1].Text(), "not a number");  // not replaced either

    f.SetNr.userClick();
    EXPECT_EQ(line(), framed("SETNN2 +37120000002"));
    f.ReadPB.userClick();
    EXPECT_EQ(line(), framed("  GETPB"));
    EXPECT_TRUE(linkState().listing_requested);  // only a received batch clears it
}

TEST_F(AbonentsNumbers, InSmsModeTheWriteIsAnnouncedToThePhone) {
    TForm1& f = startFromDesign();
    enterSmsMode();
    line();
    f.RadioGroupNR.userSetItemIndex(2);
    f.NNumber[3].SetText("+37120000000");
    f.SetNr.userClick();
    const PduEncoding pdu =
        TextToPDUConversion(padModuleCommand("SETNN3 +37120000000") + "\r", "+37120000001");
    ASSERT_TRUE(pdu.ok());
    EXPECT_EQ(line(), "AT+CMGS=" + std::to_string(pdu.pdu.size() / 2 - 1) + "\r");
    EXPECT_EQ(shown(), "SETNN3,+37120000000");
    EXPECT_TRUE(linkState().awaiting_prompt);
    // The phone's prompt releases exactly that PDU.
    answer(1, "\r\n> ");
    EXPECT_EQ(line(), pdu.pdu.substr(0, pdu.pdu.size() - 1) + "\x1A");
}

TEST_F(AbonentsNumbers, ReadNumberAnswerLandsInItsEditWhileTheAbonentsPageIsShown) {
    TForm1& f = startFromDesign();
    f.PageControl1.userSelectPage(kAbonentsPage);
    f.RadioGroupNR.userSetItemIndex(2);
    f.GetNr.userClick();
    EXPECT_EQ(line(), framed("GETNR3"));
    answer(1, "3: +37120000000\r\n");
    timer1_.trigger();
    EXPECT_EQ(f.NNumber[3].Text().substr(0, 12), "+37120000000");
}

}  // namespace
}  // namespace hx350::test
