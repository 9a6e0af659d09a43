// Faults on the line, seen through the whole form: the device vanishes in the middle of a session, and
// the far end sends garbage, partial and oversized answers. Expected every time: no crash, no busy loop,
// the port's state said in the status bar, nothing written that the tool would not write anyway, and the
// next good answer handled as if nothing had happened.
#include <gtest/gtest.h>
#include <time.h>

#include <random>
#include <regex>
#include <string>
#include <vector>

#include "form_fixture.h"
#include "link/device_link.h"
#include "support/process_time.h"

namespace hx350::test {
namespace {

using namespace std::string_literals;

// An SMS-DELIVER from +123 with the text "GETVR" CR (TS 23.040 clause 9.2.2.1), as a phone lists it.
const std::string kGetvrDeliver = "0004039121F300006210109100000006C722D52A6D00";

std::string randomBytes(std::mt19937& random, std::size_t size) {
    std::string out(size, '\0');
    for (char& c : out)
        c = static_cast<char>(random());
    return out;
}

// The bad batches: random bytes, runs of NUL, oversized batches, cut answers and listing headers that
// lead nowhere or overflow.
std::vector<std::string> garbage() {
    std::mt19937 random(350);
    std::vector<std::string> out;
    for (int i = 0; i < 40; ++i)
        out.push_back(randomBytes(random, 1 + random() % 300));
    out.push_back(std::string(4096, '\0'));
    out.push_back("\0\0\0OK\0\r\n\0"s);
    out.push_back(randomBytes(random, 8192));
    out.push_back(std::string(8192, 'A'));
    std::string lines;
    while (lines.size() < 8192)
        lines += "\r\n";
    out.push_back(lines);
    out.push_back("3: +49170");  // an answer cut short, without its line end
    out.push_back("\r\n+CMGL: ");
    out.push_back("+CMGL: 99999999999999999999,0,,23\r\nZZZZ\r\nOK\r\n");
    out.push_back("+CMGL: 1,0,,200\r\n" + kGetvrDeliver.substr(0, 9) + "\r\n");
    out.push_back("+CMGL: 2,0,,23\r\n" + std::string(46, 'F') + "\r\nOK\r\n");
    out.push_back("\xFF\xFE\x1A\x1B\x7F\x80");
    return out;
}

// What the tool writes on its own in SMS mode while idle: the deletion of a listed message (TS 27.005
// clause 3.5.4) and its listings every 21 ticks (clause 3.4.2). No PDU is pending in these tests.
bool onlyOwnWrites(const std::string& wire) {
    static const std::regex kOwn("(AT\\+CMGD=[0-9]{1,20}\r|AT\\+CMGL=[01]\r)*");
    return std::regex_match(wire, kOwn);
}

class LineFaults : public FormOnPtys {
  protected:
    // The far end of Com1 sends `bytes`, which may be more than the terminal's input buffer (4 KiB) holds:
    // they go in pieces that fit, each taken in by a poll once all of it has arrived (the terminal hands
    // bytes over a little after the write, later still on a busy machine), so none is left over to mix
    // with the next answer.
    void feed(const std::string& bytes) {
        constexpr std::size_t kPiece = 4000;
        for (std::size_t at = 0; at < bytes.size(); at += kPiece) {
            const std::string piece = bytes.substr(at, kPiece);
            const std::size_t before = com(1).secondaryInputCount();
            ASSERT_TRUE(com(1).writePrimary(piece));
            ASSERT_TRUE(com(1).waitSecondaryInput(before + piece.size())) << "at byte " << at;
            poll_.trigger();
        }
    }
};

TEST_F(LineFaults, DeviceVanishesMidSessionThenTheSamePortNumberOpensAgain) {
    TForm1& f = start();
    f.ReadState.userClick();
    ASSERT_EQ(wire(1), framed("GETST"));
    ASSERT_TRUE(f.CommPortDriver1().IsConnected());
    services_.messages.clear();

    com(1).closePrimary();  // the adapter is pulled
    const double cpu0 = cpuSeconds();
    const double wall0 = wallSeconds();
    time_.advance(120 * 1000);  // two minutes of ticks and polls
    f.ReadState.userClick();    // the user goes on working meanwhile
    f.SMSmode.userSetChecked(true);
    time_.advance(60 * 1000);
    const double wall = wallSeconds() - wall0;
    const double cpu = cpuSeconds() - cpu0;

    EXPECT_FALSE(f.CommPortDriver1().IsConnected());
    EXPECT_NE(f.StatusBar1.Text().find("Com1"), std::string::npos) << f.StatusBar1.Text();
    EXPECT_NE(f.StatusBar1.Text().find("disconnected"), std::string::npos) << f.StatusBar1.Text();
    EXPECT_FALSE(f.StatusBar1.Text().ends_with("open")) << f.StatusBar1.Text();
    EXPECT_LT(wall, 2.0) << "three minutes of a vanished port took real time: something waited";
    EXPECT_LT(cpu, 1.0);
    for (const auto& m : services_.messages)
        EXPECT_NE(m.text, kPortErrorText) << "the pull itself is not a failed open";

    // A new adapter comes up under the same number; choosing the port again opens it.
    PtyPair replacement;
    ASSERT_TRUE(replacement.ok());
    ASSERT_TRUE(catalogue_.setExplicit(1, replacement.secondaryPath()));
    f.SMSmode.userSetChecked(false);
    f.InitPort();
    EXPECT_TRUE(f.CommPortDriver1().IsConnected());
    EXPECT_EQ(f.StatusBar1.Text(), "Com1: " + replacement.secondaryPath() + ", 9600 baud, open");
    f.ReadState.userClick();
    EXPECT_EQ(replacement.drainPrimary(Millis(20)), framed("GETST"));
    // Answers from the new device are received again.
    f.PageControl1.userSelectPage(kAbonentsPage);
    const std::size_t before = replacement.secondaryInputCount();
    ASSERT_TRUE(replacement.writePrimary("3: +4917012345\r\n"));
    ASSERT_TRUE(replacement.waitSecondaryInput(before + 16));
    time_.advance(5000);
    EXPECT_EQ(f.NNumber[3].Text(), "+4917012345");
}

TEST_F(LineFaults, GarbageInDirectModeIsShownAndDroppedAndTheNextAnswerIsRouted) {
    TForm1& f = start();
    services_.messages.clear();
    f.PageControl1.userSelectPage(kAbonentsPage);
    for (const std::string& bad : garbage()) {
        feed(bad);
        timer1_.trigger();
        timer1_.trigger();
        // The listing reader runs in both modes: a batch that looks like a listing has its first message
        // deleted even here. Nothing else is written in answer to what arrives.
        const std::string written = wire(1);
        EXPECT_TRUE(onlyOwnWrites(written)) << written;
        EXPECT_EQ(written.find("AT+CMGL"), std::string::npos) << "a listing in direct mode";
        // A good answer right after: routed into its page as usual.
        answer(1, "3: +4917012345\r\n");
        timer1_.trigger();
        ASSERT_EQ(f.NNumber[3].Text(), "+4917012345") << "after " << bad.size() << " bad bytes";
        f.NNumber[3].SetText("");
        timer1_.trigger();
        EXPECT_TRUE(f.link().state().last_received_text.empty());
    }
    EXPECT_TRUE(services_.messages.empty());
    // The memo keeps what arrived but not without bound: each Clear (a new command) empties it.
    f.ReadState.userClick();
    EXPECT_EQ(f.MemoSMSinput.Count(), 1u);
}

TEST_F(LineFaults, GarbageInSmsModeWritesNothingOfItsOwnAndTheNextListingIsRead) {
    TForm1& f = start();
    services_.messages.clear();
    f.SMSmode.userSetChecked(true);
    ASSERT_TRUE(f.SMSmode.Checked());
    for (const std::string& bad : garbage()) {
        feed(bad);
        timer1_.trigger();
        const std::string written = wire(1);
        EXPECT_TRUE(onlyOwnWrites(written)) << written;
        answer(1, "AT+CMGL=0\r\r\n+CMGL: 12,0,,23\r\n" + kGetvrDeliver + "\r\n\r\nOK\r\n");
        ASSERT_EQ(wire(1), "AT+CMGD=12\r") << "after " << bad.size() << " bad bytes";
        EXPECT_EQ(f.link().state().last_sms_text, "GETVR\r");
        timer1_.trigger();
        f.link().state().last_sms_text.clear();
    }
    EXPECT_TRUE(services_.messages.empty());
    EXPECT_LT(f.MemoSMSinput.Count(), 10u);
    EXPECT_FALSE(f.link().state().query_sequence_running);
}

}  // namespace
}  // namespace hx350::test
