// The slot buttons of the "External SMS", "Int/Ext SMS" and "IOname" pages and their "Read" boxes: the
// padded commands on the line, the log lines, the texts kept in the settings record, the captions.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "link/pdu_codec.h"
#include "ops_commands_fixture.h"

namespace hx350::test {
namespace {

std::string spaces(std::size_t count) {
    return std::string(count, ' ');
}

class EventTextSlots : public ModuleCommandPage {
  protected:
    std::string external(int slot) { return form_->settings().get(cfg::ExternalText, slot); }
    std::string internal(int slot) { return form_->settings().get(cfg::InternalText, slot); }
};

// ---- External SMS

struct ExternalCase {
    int slot;
    std::string text;
    std::string padded;  // the command as it goes on the line, before CR
    std::string shown;
    std::string stored;
};

void PrintTo(const ExternalCase& c, std::ostream* os) {
    *os << "TXTSMS" << c.slot << "=\"" << c.text << "\"";
}

class ExternalSlotWrite : public EventTextSlots, public ::testing::WithParamInterface<ExternalCase> {};

TEST_P(ExternalSlotWrite, SendsTheWholeTextAndKeepsItsFirst26Characters) {
    const ExternalCase& c = GetParam();
    TForm1& f = startFromDesign();
    f.TXTSMS[c.slot].SetText(c.text);
    scribble();
    trackEchoOrder();
    ASSERT_TRUE(f.TXTSMSb[c.slot].userClick());
    EXPECT_EQ(line(), framed(c.padded));
    EXPECT_EQ(shown(), c.shown);
    EXPECT_EQ(echo_order_, std::vector<std::string>{c.shown + ">"});
    EXPECT_EQ(memoInput().Lines(), std::vector<std::string>{""});
    EXPECT_EQ(external(c.slot), c.stored);
    EXPECT_TRUE(linkState().reply_pending);
    EXPECT_EQ(f.TXTSMS[c.slot].Text(), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Slots, ExternalSlotWrite,
    ::testing::Values(
        // 13 characters: 32 spaces added.
        ExternalCase{7, "Alarm", "SETTX07 Alarm" + spaces(32), "SETTX07,Alarm", "Alarm"},
        ExternalCase{1, "Temperature 1 < MINIMUM2", "SETTX01 Temperature 1 < MINIMUM2" + spaces(16),
                     "SETTX01,Temperature 1 < MINIMUM2", "Temperature 1 < MINIMUM2"},
        // 30 characters: sent whole (38 with the keyword, padded to 48), kept as the first 26.
        ExternalCase{27, "abcdefghijklmnopqrstuvwxyz1234",
                     "SETTX27 abcdefghijklmnopqrstuvwxyz1234" + spaces(10),
                     "SETTX27,abcdefghijklmnopqrstuvwxyz1234", "abcdefghijklmnopqrstuvwxyz"},
        // Empty: the keyword, its space and 32 more; an empty text is kept.
        ExternalCase{22, "", "SETTX22 " + spaces(32), "SETTX22,", ""},
        // Spaces are neither trimmed nor added to.
        ExternalCase{53, " Event INP6 1-0 ", "SETTX53  Event INP6 1-0 " + spaces(24),
                     "SETTX53, Event INP6 1-0 ", " Event INP6 1-0 "}));

TEST_F(EventTextSlots, ReadBoxTurnsTheExternalButtonsIntoReadsThatStoreNothing) {
    TForm1& f = startFromDesign();
    const std::string kept = external(5);
    f.TXTSMS[5].SetText("something else");
    scribble();
    linkState().plain_send = true;
    f.GetText.userClick();            // ticks "Read"
    EXPECT_EQ(shown(), "<0 lines>");  // the box empties both memos
    EXPECT_TRUE(memoInput().Lines().empty());
    EXPECT_FALSE(linkState().plain_send);
    for (int slot : {1, 5, 54})
        EXPECT_EQ(f.TXTSMSb[slot].Caption(), "RD") << slot;
    for (int slot : {1, 54})
        EXPECT_EQ(f.iTXTSMSb[slot].Caption(), "WR") << slot;
    for (int slot : {55, 78})
        EXPECT_EQ(f.TXTSMSb[slot].Caption(), "WR") << slot;
    EXPECT_EQ(line(), "");

    trackEchoOrder();
    f.TXTSMSb[5].userClick();
    EXPECT_EQ(line(), framed("GETTX05 " + spaces(32)));
    EXPECT_EQ(echo_order_, std::vector<std::string>{"GETTX05>"});
    EXPECT_EQ(external(5), kept);

    f.GetText.userClick();  // unticks
    EXPECT_EQ(f.TXTSMSb[5].Caption(), "WR");
    f.TXTSMSb[5].userClick();
    EXPECT_EQ(line(), framed("SETTX05 something else" + spaces(26)));
}

TEST_F(EventTextSlots, SlotWritesChangeTheRecordInMemoryOnly) {
    TForm1& f = startFromDesign();
    const std::string file_before = readWholeFile(cfg_path_);
    f.TXTSMS[3].SetText("Warm");
    f.TXTSMSb[3].userClick();
    f.iTXTSMS[60].SetText("OUT ON");
    f.TXTSMSb[60].userClick();
    EXPECT_EQ(external(3), "Warm");
    EXPECT_EQ(internal(60), "OUT ON");
    EXPECT_EQ(readWholeFile(cfg_path_), file_before);
    // The save writes them.
    f.SaveSetting1.userClick();
    SettingsRecord saved;
    ASSERT_TRUE(readSettingsFile(cfg_path_, saved).ok());
    EXPECT_EQ(saved.get(cfg::ExternalText, 3), "Warm");
    EXPECT_EQ(saved.get(cfg::InternalText, 60), "OUT ON");
}

// ---- Int/Ext SMS and IOname

struct ShortCase {
    std::string button;  // the control clicked
    int slot;
    std::string text;
    std::string padded;
    std::string shown;
    std::string stored;
};

void PrintTo(const ShortCase& c, std::ostream* os) {
    *os << c.button << " \"" << c.text << "\"";
}

class ShortSlotWrite : public EventTextSlots, public ::testing::WithParamInterface<ShortCase> {};

TEST_P(ShortSlotWrite, SendsPaddedTo23AndKeepsTheFirst15Characters) {
    const ShortCase& c = GetParam();
    TForm1& f = startFromDesign();
    f.iTXTSMS[c.slot].SetText(c.text);
    scribble();
    Button* button = f.find<Button>(c.button);
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->userClick());
    EXPECT_EQ(line(), framed(c.padded));
    EXPECT_EQ(shown(), c.shown);
    EXPECT_EQ(memoInput().Lines(), std::vector<std::string>{""});
    EXPECT_EQ(internal(c.slot), c.stored);
}

INSTANTIATE_TEST_SUITE_P(
    Slots, ShortSlotWrite,
    ::testing::Values(
        // Int/Ext SMS: a full 15-character text makes exactly 23 characters.
        ShortCase{"iTXTSMSb1", 1, "F SETOU1 RSTOU2", "SETTI01 F SETOU1 RSTOU2", "SETTI01,F SETOU1 RSTOU2",
                  "F SETOU1 RSTOU2"},
        ShortCase{"iTXTSMSb30", 30, "7 X", "SETTI30 7 X" + spaces(12), "SETTI30,7 X", "7 X"},
        ShortCase{"iTXTSMSb53", 53, "", "SETTI53 " + spaces(15), "SETTI53,", ""},
        // Longer than the record keeps (set by code past the edit's limit): sent whole, kept cut.
        ShortCase{"iTXTSMSb41", 41, "0123456789ABCDEFGH", "SETTI41 0123456789ABCDEFGH",
                  "SETTI41,0123456789ABCDEFGH", "0123456789ABCDE"},
        // IOname: the first three buttons run the other family's handler, the rest their own.
        ShortCase{"TXTSMSb55", 55, "INP1 1", "SETTI55 INP1 1" + spaces(9), "SETTI55,INP1 1", "INP1 1"},
        ShortCase{"TXTSMSb57", 57, "Door closed", "SETTI57 Door closed" + spaces(4), "SETTI57,Door closed",
                  "Door closed"},
        ShortCase{"TXTSMSb58", 58, "Pump", "SETTI58 Pump" + spaces(11), "SETTI58,Pump", "Pump"},
        ShortCase{"TXTSMSb60", 60, "Alarm on", "SETTI60 Alarm on" + spaces(7), "SETTI60,Alarm on",
                  "Alarm on"},
        ShortCase{"TXTSMSb76", 76, "OUT3 0", "SETTI76 OUT3 0" + spaces(9), "SETTI76,OUT3 0", "OUT3 0"}));

TEST_F(EventTextSlots, IoNameButtonsKeepTheHandlerNamesOfTheWindowDesign) {
    TForm1& f = startFromDesign();
    for (int slot : {55, 56, 57})
        EXPECT_EQ(f.find("TXTSMSb" + std::to_string(slot))->handler,
                  "iTXTSMSb" + std::to_string(slot) + "Click");
    for (int slot : {58, 60, 76})
        EXPECT_EQ(f.find("TXTSMSb" + std::to_string(slot))->handler,
                  "TXTSMSb" + std::to_string(slot) + "Click");
    std::vector<std::string> ran;
    f.setHandlerTrace([&ran](std::string_view name) { ran.emplace_back(name); });
    f.TXTSMSb[56].userClick();
    f.TXTSMSb[59].userClick();
    EXPECT_EQ(ran, (std::vector<std::string>{"iTXTSMSb56Click", "TXTSMSb59Click"}));
    EXPECT_EQ(line(), framed("SETTI56 INP2 1" + spaces(9)) + framed("SETTI59 INP5 1" + spaces(9)));
}

TEST_F(EventTextSlots, EachReadBoxServesItsOwnPage) {
    TForm1& f = startFromDesign();
    scribble();
    linkState().plain_send = true;
    f.iGetText.userClick();
    // Only the plain-send flag is cleared; the memos keep their lines.
    EXPECT_FALSE(linkState().plain_send);
    EXPECT_EQ(memoS().Lines(), std::vector<std::string>{"old command"});
    EXPECT_EQ(memoInput().Lines(), std::vector<std::string>{"old answer"});
    for (int slot : {1, 27, 54})
        EXPECT_EQ(f.iTXTSMSb[slot].Caption(), "RD") << slot;
    for (int slot : {1, 54, 55, 78})
        EXPECT_EQ(f.TXTSMSb[slot].Caption(), "WR") << slot;

    f.iTXTSMSb[30].userClick();
    EXPECT_EQ(line(), framed("GETTI30 " + spaces(15)));
    EXPECT_EQ(shown(), "GETTI30");
    // The IOname slots still write: their box is nGetText.
    f.TXTSMSb[55].userClick();
    EXPECT_EQ(line(), framed("SETTI55 INP1 1" + spaces(9)));

    f.nGetText.userClick();
    for (int slot : {55, 57, 58, 78})
        EXPECT_EQ(f.TXTSMSb[slot].Caption(), "RD") << slot;
    EXPECT_EQ(f.TXTSMSb[54].Caption(), "WR");
    const std::string kept = internal(55);
    f.iTXTSMS[55].SetText("changed");
    f.TXTSMSb[55].userClick();
    EXPECT_EQ(line(), framed("GETTI55 " + spaces(15)));
    EXPECT_EQ(shown(), "GETTI55");
    EXPECT_EQ(internal(55), kept);
    f.TXTSMSb[76].userClick();
    EXPECT_EQ(line(), framed("GETTI76 " + spaces(15)));

    f.iGetText.userClick();  // unticked again: Int/Ext writes, IOname still reads
    EXPECT_EQ(f.iTXTSMSb[1].Caption(), "WR");
    f.iTXTSMSb[1].userClick();
    EXPECT_EQ(line().substr(20, 8), "SETTI01 ");
    f.TXTSMSb[60].userClick();
    EXPECT_EQ(line(), framed("GETTI60 " + spaces(15)));
}

TEST_F(EventTextSlots, HiddenRowsCannotBeClicked) {
    TForm1& f = startFromDesign();
    for (int slot : {11, 20, 47, 54}) {
        EXPECT_FALSE(f.TXTSMSb[slot].Visible()) << slot;
        EXPECT_FALSE(f.TXTSMSb[slot].userClick());
    }
    for (int slot : {61, 68, 72, 78}) {
        EXPECT_FALSE(f.TXTSMSb[slot].Visible()) << slot;
    }
    EXPECT_EQ(line(), "");
}

// ---- Answers and SMS mode

TEST_F(EventTextSlots, ReadAnswersLandInTheSlotWhileItsPageIsShown) {
    TForm1& f = startFromDesign();
    f.PageControl1.userSelectPage(kExternalSmsPage);
    f.GetText.userClick();
    f.TXTSMSb[5].userClick();
    line();
    answer(1, "05: Door open\r\n");
    timer1_.trigger();
    EXPECT_EQ(f.TXTSMS[5].Text().substr(0, 9), "Door open");

    f.PageControl1.userSelectPage(kIONamePage);
    f.nGetText.userClick();
    f.TXTSMSb[60].userClick();
    EXPECT_EQ(line(), framed("GETTI60 " + spaces(15)));
    answer(1, "60: Relay on\r\n");
    timer1_.trigger();
    EXPECT_EQ(f.iTXTSMS[60].Text().substr(0, 8), "Relay on");
    // Reads change no record field until the slot is written.
    EXPECT_NE(f.settings().get(cfg::InternalText, 60).substr(0, 8), "Relay on");
}

TEST_F(EventTextSlots, InSmsModeTheSlotCommandIsAnnouncedToThePhone) {
    TForm1& f = startFromDesign();
    enterSmsMode();
    line();
    f.TXTSMS[5].SetText("Door open");
    f.TXTSMSb[5].userClick();
    const PduEncoding pdu = TextToPDUConversion("SETTX05 Door open" + spaces(31) + "\r", "+37120000001");
    ASSERT_TRUE(pdu.ok());
    EXPECT_EQ(line(), "AT+CMGS=" + std::to_string(pdu.pdu.size() / 2 - 1) + "\r");
    EXPECT_EQ(shown(), "SETTX05,Door open");
    EXPECT_EQ(f.settings().get(cfg::ExternalText, 5), "Door open");
    // A second slot before the phone has taken the first PDU is dropped, but the record still takes it.
    f.TXTSMS[6].SetText("Door shut");
    f.TXTSMSb[6].userClick();
    EXPECT_EQ(line(), "");
    EXPECT_EQ(f.settings().get(cfg::ExternalText, 6), "Door shut");
}

}  // namespace
}  // namespace hx350::test
