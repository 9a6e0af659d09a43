// The number-mask grid of the "Abonents" page and "Set Numbers  Filter": what the boxes make of the three
// masks (with the digits parked while a source is disabled) and what the button sends.
#include <gtest/gtest.h>

#include <string>

#include "link/pdu_codec.h"
#include "ops_commands_fixture.h"

namespace hx350::test {
namespace {

class EventMaskGrid : public ModuleCommandPage {
  protected:
    TForm1& startWithMasks(const std::string& temperature, const std::string& analog,
                           const std::string& digital) {
        return startFromDesign([&](SettingsRecord& r) {
            r.set(cfg::TempNumberFilter, temperature);
            r.set(cfg::AnalogNumberFilter, analog);
            r.set(cfg::DigitalNumberFilter, digital);
        });
    }
    /// Presses "Set Numbers  Filter" and returns the command it put on the line ("" for anything else).
    std::string sendMasks() {
        form_->SetNfilter1.userClick();
        const std::string bytes = line();
        const std::string prefix = std::string(14, ' ') + "SETUP:";
        if (bytes.size() < prefix.size() + 2 || bytes.compare(0, prefix.size(), prefix) != 0) return {};
        if (bytes.substr(bytes.size() - 2) != std::string("\r") + '\0') return {};
        const std::string command = bytes.substr(prefix.size(), bytes.size() - prefix.size() - 2);
        EXPECT_EQ(shown(), command);
        return command;
    }
};

TEST_F(EventMaskGrid, TheDesignMasksGoOutWithTheDigitalMaskCutToSixAndOneSpace) {
    TForm1& f = startFromDesign();
    EXPECT_EQ(f.DNrFilter.Text(), "FFFF-- ");
    scribble();
    linkState().plain_send = true;
    EXPECT_EQ(sendMasks(), "SETME,FFFF,FFFF,FFFF-- ");
    EXPECT_EQ(memoInput().Lines(), std::vector<std::string>{""});
}

TEST_F(EventMaskGrid, SubscriberFourOfTemperatureOneTogglesTheTopBit) {
    TForm1& f = startWithMasks("FFFF", "FFFF", "FFFFFF");
    f.CheckBoxT[4][1].userClick();
    EXPECT_FALSE(f.CheckBoxT[4][1].Checked());
    EXPECT_EQ(f.TNrFilter.Text(), "7FFF");
    EXPECT_EQ(sendMasks(), "SETME,7FFF,FFFF,FFFFFF ");
    f.CheckBoxT[4][1].userClick();
    EXPECT_EQ(f.TNrFilter.Text(), "FFFF");
    EXPECT_EQ(sendMasks(), "SETME,FFFF,FFFF,FFFFFF ");
}

TEST_F(EventMaskGrid, EverySubscriberColumnOwnsItsBit) {
    TForm1& f = startWithMasks("0000", "0000", "000000");
    const char* expected[] = {"", "1", "2", "4", "8"};
    for (int k = 1; k <= 4; ++k) {
        f.CheckBoxA[k][3].userClick();
        EXPECT_EQ(f.ANrFilter.Text(), std::string("00") + expected[k] + "0") << k;
        f.CheckBoxA[k][3].userClick();
        f.CheckBoxD[k][6].userClick();
        EXPECT_EQ(f.DNrFilter.Text(), std::string("00000") + expected[k]) << k;
        f.CheckBoxD[k][6].userClick();
    }
    for (int k = 1; k <= 4; ++k)
        f.CheckBoxD[k][1].userClick();
    EXPECT_EQ(sendMasks(), "SETME,0000,0000,F00000 ");
}

TEST_F(EventMaskGrid, DisabledSourceKeepsItsDigitParkedWhileItsBoxesEditIt) {
    TForm1& f = startWithMasks("FFFF", "F3FF", "FFFFFF");
    f.CheckBoxAdis[2].userClick();
    EXPECT_EQ(f.ANrFilter.Text(), "F-FF");
    EXPECT_EQ(f.parkedDigits().analog[1], '3');
    EXPECT_EQ(sendMasks(), "SETME,FFFF,F-FF,FFFFFF ");
    // Subscriber 1 of analog input 2 off and on again: the edit keeps "-", the parked digit ends as it was.
    f.CheckBoxA[1][2].userClick();
    EXPECT_EQ(f.parkedDigits().analog[1], '2');
    f.CheckBoxA[1][2].userClick();
    EXPECT_EQ(f.ANrFilter.Text(), "F-FF");
    EXPECT_EQ(f.parkedDigits().analog[1], '3');
    // A new subscriber while disabled comes back with the source.
    f.CheckBoxA[4][2].userClick();
    EXPECT_EQ(f.ANrFilter.Text(), "F-FF");
    f.CheckBoxAdis[2].userClick();
    EXPECT_EQ(f.ANrFilter.Text(), "FBFF");
    EXPECT_EQ(sendMasks(), "SETME,FFFF,FBFF,FFFFFF ");
    // The "Disable" box leaves the subscriber boxes as they are.
    EXPECT_TRUE(f.CheckBoxA[4][2].Checked());
    EXPECT_TRUE(f.CheckBoxA[2][2].Checked());
    EXPECT_FALSE(f.CheckBoxA[3][2].Checked());
}

// Sources saved as disabled park a "-": enabling them gives "0" on every mask, so the page never shows a
// source enabled while its mask says disabled.
TEST_F(EventMaskGrid, EnablingASourceThatStartedDisabledWritesZero) {
    TForm1& f = startWithMasks("F-FF", "FF-F", "FF-FFF");
    EXPECT_EQ(sendMasks(), "SETME,F-FF,FF-F,FF-FFF ");
    EXPECT_TRUE(f.CheckBoxTdis[2].Checked());
    EXPECT_TRUE(f.CheckBoxAdis[3].Checked());
    EXPECT_TRUE(f.CheckBoxDdis[3].Checked());
    f.CheckBoxTdis[2].userClick();
    f.CheckBoxAdis[3].userClick();
    f.CheckBoxDdis[3].userClick();
    EXPECT_EQ(sendMasks(), "SETME,F0FF,FF0F,FF0FFF ");
    // From there the boxes edit the digit.
    f.CheckBoxD[3][3].userClick();
    EXPECT_EQ(f.DNrFilter.Text(), "FF4FFF");
}

TEST_F(EventMaskGrid, SubscriberBoxOfASourceParkedAsDashChangesOnlyTheBox) {
    TForm1& f = startWithMasks("F-FF", "FFFF", "FFFFFF");
    f.CheckBoxT[2][2].userClick();
    EXPECT_TRUE(f.CheckBoxT[2][2].Checked());
    EXPECT_EQ(f.parkedDigits().temperature, "F-FF");
    EXPECT_EQ(f.TNrFilter.Text(), "F-FF");
    f.CheckBoxTdis[2].userClick();
    EXPECT_EQ(f.TNrFilter.Text(), "F0FF");
}

TEST_F(EventMaskGrid, MasksDecodedAtStartUpAreSentAsTheGridShowsThem) {
    TForm1& f = startWithMasks("1F-0", "A5x9", "0123-C7");
    // The strange analog character disabled its source; digital 7 has no row, so only six go out.
    EXPECT_EQ(sendMasks(), "SETME,1F-0,A5-9,0123-C ");
    f.CheckBoxTdis[3].userClick();  // parked "-": comes back as 0
    f.CheckBoxAdis[3].userClick();  // parked "x": comes back as 0
    f.CheckBoxD[1][5].userClick();  // disabled: edits the parked "-", which stays
    f.CheckBoxDdis[5].userClick();  // comes back as 0
    f.CheckBoxD[4][2].userClick();  // 1 -> 9
    EXPECT_EQ(sendMasks(), "SETME,1F00,A509,09230C ");
}

TEST_F(EventMaskGrid, EmptySavedMasksStartAsDisabledSourcesAndZeros) {
    TForm1& f = startWithMasks("", "", "");
    EXPECT_EQ(sendMasks(), "SETME,--00,--00,000000 ");
    f.CheckBoxTdis[1].userClick();
    f.CheckBoxA[1][4].userClick();
    EXPECT_EQ(sendMasks(), "SETME,0-00,--01,000000 ");
}

TEST_F(EventMaskGrid, InSmsModeTheMasksAreAnnouncedToThePhone) {
    startFromDesign();
    enterSmsMode();
    line();
    form_->SetNfilter1.userClick();
    const PduEncoding pdu = TextToPDUConversion("SETME,FFFF,FFFF,FFFF-- \r", "+37120000001");
    ASSERT_TRUE(pdu.ok());
    EXPECT_EQ(line(), "AT+CMGS=" + std::to_string(pdu.pdu.size() / 2 - 1) + "\r");
    EXPECT_EQ(shown(), "SETME,FFFF,FFFF,FFFF-- ");
}

}  // namespace
}  // namespace hx350::test
