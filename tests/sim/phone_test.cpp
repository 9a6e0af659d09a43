// The AT layer of the simulated phone and the module behind it, without a terminal.
#include "sim/phone.h"

#include <gtest/gtest.h>

namespace hx350::sim {
namespace {

// An SMS-SUBMIT as the service tool builds it: SMSC 00, first octet 11, reference 30, one-hour validity.
std::string toolSubmit(std::string_view number, std::string_view text) {
    Octets tpdu{0x11, 0x30};
    const Octets da = encodeAddress(number);
    tpdu.insert(tpdu.end(), da.begin(), da.end());
    tpdu.insert(tpdu.end(), {0x00, 0x00, 0x0B, static_cast<std::uint8_t>(text.size())});
    Septets septets(text.begin(), text.end());
    const Octets ud = packSeptets(septets);
    tpdu.insert(tpdu.end(), ud.begin(), ud.end());
    return "00" + hexFromOctets(tpdu);
}

std::size_t tpduOctets(const std::string& pdu) {
    return pdu.size() / 2 - 1;
}

class PhoneTest : public ::testing::Test {
  protected:
    PhoneTest() {
        config_.module_reply_ms = 1000;
        phone_ = std::make_unique<Phone>(config_, clock_, module_);
    }
    // AT+CMGS with the right count, then the PDU and Ctrl-Z in a second write.
    std::string cmgs(const std::string& pdu) {
        std::string out = phone_->feed("AT+CMGS=" + std::to_string(tpduOctets(pdu)) + "\r");
        return out + phone_->feed(pdu + "\x1a");
    }

    ManualTimeSource clock_{LocalDateTime{2025, 9, 23, 14, 5, 9, 120}};
    Module module_{clock_};
    PhoneConfig config_;
    std::unique_ptr<Phone> phone_;
};

TEST_F(PhoneTest, EchoIsOnByDefaultAndFollowsAte) {
    EXPECT_EQ(phone_->feed("AT\r"), "AT\r\r\nOK\r\n");
    EXPECT_EQ(phone_->feed("ATE0\r"), "ATE0\r\r\nOK\r\n");
    EXPECT_EQ(phone_->feed("AT\r"), "\r\nOK\r\n");
    EXPECT_EQ(phone_->feed("ATE1\r"), "\r\nOK\r\n");
    EXPECT_EQ(phone_->feed("AT\r"), "AT\r\r\nOK\r\n");
}

TEST_F(PhoneTest, IdentificationAnswersLikeThePhoneTheToolExpects) {
    // Echo, CR, then CR LF value CR LF and the final OK.
    EXPECT_EQ(phone_->feed("AT+CGMI\r"), "AT+CGMI\r\r\nHXSIM\r\n\r\nOK\r\n");
    EXPECT_EQ(phone_->feed("AT+CGMM\r"), "AT+CGMM\r\r\nHX350-GSM\r\n\r\nOK\r\n");
    EXPECT_EQ(phone_->feed("AT+CSCS?\r"), "AT+CSCS?\r\r\n+CSCS: \"GSM\"\r\n\r\nOK\r\n");
    EXPECT_EQ(phone_->feed("AT+CGSN\r"), "AT+CGSN\r\r\n356938035643809\r\n\r\nOK\r\n");
    EXPECT_EQ(phone_->feed("ATI\r"),
              "ATI\r\r\nHXSIM\r\nHX350-GSM\r\nREVISION hx350-sim " HX350_SIM_VERSION "\r\n\r\nOK\r\n");
}

TEST_F(PhoneTest, NoiseBeforeAtIsTolerated) {
    // The tool writes LF CR before two of its queries; clients send ESC to leave a pending prompt.
    EXPECT_EQ(phone_->feed("\n\rAT+CMGF=0\r"), "AT+CMGF=0\r\r\nOK\r\n");
    EXPECT_EQ(phone_->feed("\x1b\r  at+cgmi\r"), "at+cgmi\r\r\nHXSIM\r\n\r\nOK\r\n");
    EXPECT_EQ(phone_->feed("garbage\r"), "");
}

TEST_F(PhoneTest, ErrorsFollowCmee) {
    EXPECT_EQ(phone_->feed("AT+NOPE\r"), "AT+NOPE\r\r\nERROR\r\n");
    EXPECT_EQ(phone_->feed("AT+CMEE=1\r"), "AT+CMEE=1\r\r\nOK\r\n");
    EXPECT_EQ(phone_->feed("AT+NOPE\r"), "AT+NOPE\r\r\n+CME ERROR: 4\r\n");
    EXPECT_EQ(phone_->feed("AT+CMEE=2\r"), "AT+CMEE=2\r\r\nOK\r\n");
    EXPECT_EQ(phone_->feed("AT+NOPE\r"), "AT+NOPE\r\r\n+CME ERROR: operation not supported\r\n");
    EXPECT_EQ(phone_->feed("ATV0\r"), "ATV0\r\r\nERROR\r\n");
    EXPECT_EQ(phone_->feed("AT+CMEE=3\r"), "AT+CMEE=3\r\r\n+CME ERROR: incorrect parameters\r\n");
}

TEST_F(PhoneTest, TextModeIsRefused) {
    EXPECT_EQ(phone_->feed("AT+CMGF=1\r"), "AT+CMGF=1\r\r\n+CMS ERROR: 303\r\n");
    EXPECT_EQ(phone_->feed("AT+CMGF?\r"), "AT+CMGF?\r\r\n+CMGF: 0\r\n\r\nOK\r\n");
}

TEST_F(PhoneTest, StorageAndCentre) {
    EXPECT_EQ(phone_->feed("AT+CPMS=?\r"), "AT+CPMS=?\r\r\n+CPMS: (\"SM\"),(\"SM\"),(\"SM\")\r\n\r\nOK\r\n");
    EXPECT_EQ(phone_->feed("AT+CPMS=\"SM\",\"SM\"\r"),
              "AT+CPMS=\"SM\",\"SM\"\r\r\n+CPMS: 0,30,0,30,0,30\r\n\r\nOK\r\n");
    EXPECT_EQ(phone_->feed("AT+CPMS=\"ME\"\r"), "AT+CPMS=\"ME\"\r\r\n+CMS ERROR: 302\r\n");
    EXPECT_EQ(phone_->feed("AT+CSCA?\r"), "AT+CSCA?\r\r\n+CSCA: \"+491720000000\",145\r\n\r\nOK\r\n");
}

TEST_F(PhoneTest, NetworkQueries) {
    phone_->feed("ATE0\r");
    EXPECT_EQ(phone_->feed("AT+CSQ\r"), "\r\n+CSQ: 21,99\r\n\r\nOK\r\n");
    EXPECT_EQ(phone_->feed("AT+CFUN=1\r"), "\r\nOK\r\n");
    EXPECT_EQ(phone_->feed("AT+CREG?\r"), "\r\n+CREG: 0,1\r\n\r\nOK\r\n");
    EXPECT_EQ(phone_->feed("AT+CGREG=2;+CGREG?\r"), "\r\n+CGREG: 2,1,\"00A1\",\"1B2C\"\r\n\r\nOK\r\n");
    EXPECT_EQ(phone_->feed("AT+CGATT?\r"), "\r\n+CGATT: 1\r\n\r\nOK\r\n");
    EXPECT_EQ(phone_->feed("AT+COPS?\r"), "\r\n+COPS: 0,0,\"HX NET\"\r\n\r\nOK\r\n");
    EXPECT_EQ(phone_->feed("AT+COPS=3,2;+COPS?\r"), "\r\n+COPS: 0,2,\"26299\"\r\n\r\nOK\r\n");
}

TEST_F(PhoneTest, ClockIsRealAndSettable) {
    phone_->feed("ATE0\r");
    // Zone +02:00 is 8 quarters of an hour.
    EXPECT_EQ(phone_->feed("AT+CCLK?\r"), "\r\n+CCLK: \"25/09/23,14:05:09+08\"\r\n\r\nOK\r\n");
    clock_.advance(61'000);
    EXPECT_EQ(phone_->feed("AT+CCLK?\r"), "\r\n+CCLK: \"25/09/23,14:06:10+08\"\r\n\r\nOK\r\n");
    EXPECT_EQ(phone_->feed("AT+CCLK=\"24/12/31,23:59:59+04\"\r"), "\r\nOK\r\n");
    clock_.advance(2'000);
    EXPECT_EQ(phone_->feed("AT+CCLK?\r"), "\r\n+CCLK: \"25/01/01,00:00:01+04\"\r\n\r\nOK\r\n");
    EXPECT_EQ(phone_->feed("AT+CCLK=\"24/13/01,00:00:00\"\r"), "\r\nERROR\r\n");
}

TEST_F(PhoneTest, SubmitToTheModuleIsAnsweredLaterAsAnUnreadDeliver) {
    const std::string pdu = toolSubmit(kDefaultModuleNumber,
                                       "GETNR3"
                                       "\r");
    EXPECT_EQ(phone_->feed("AT+CMGS=" + std::to_string(tpduOctets(pdu)) + "\r"),
              "AT+CMGS=" + std::to_string(tpduOctets(pdu)) + "\r\r\n> ");
    // The reference and the final OK come in one piece.
    EXPECT_EQ(phone_->feed(pdu + "\x1a"), "\r\n+CMGS: 1\r\n\r\nOK\r\n");
    EXPECT_TRUE(phone_->messages().empty());
    ASSERT_TRUE(phone_->msUntilNextEvent());
    EXPECT_EQ(*phone_->msUntilNextEvent(), 1000u);

    clock_.advance(999);
    EXPECT_EQ(phone_->poll(), "");
    EXPECT_TRUE(phone_->messages().empty());
    clock_.advance(1);
    EXPECT_EQ(phone_->poll(), "");
    ASSERT_EQ(phone_->messages().size(), 1u);
    EXPECT_FALSE(phone_->msUntilNextEvent());

    const StoredSms& sms = phone_->messages().at(1);
    EXPECT_EQ(sms.stat, 0);
    const SmsTimestamp t{2025, 9, 23, 14, 5, 10, 120};
    EXPECT_EQ(hexFromOctets(sms.tpdu), hexFromOctets(encodeDeliver(kDefaultModuleNumber, t, "3: ")));
    EXPECT_EQ(hexFromOctets(sms.smsc), "0791947102000000");
}

TEST_F(PhoneTest, PduBeforeThePromptIsAccepted) {
    // The tool writes the PDU on the first batch it receives, without waiting for "> ".
    const std::string pdu = toolSubmit(kDefaultModuleNumber, "GETST\r");
    const std::string out = phone_->feed("AT+CMGS=" + std::to_string(tpduOctets(pdu)) + "\r" + pdu + "\x1a");
    EXPECT_NE(out.find("\r\n> "), std::string::npos);
    EXPECT_NE(out.find("\r\n+CMGS: 1\r\n\r\nOK\r\n"), std::string::npos);
}

TEST_F(PhoneTest, PduInPiecesWithLineEndsInBetween) {
    const std::string pdu = toolSubmit(kDefaultModuleNumber, "GETST\r");
    phone_->feed("AT+CMGS=" + std::to_string(tpduOctets(pdu)) + "\r");
    EXPECT_EQ(phone_->feed(pdu.substr(0, 7)), "");
    EXPECT_EQ(phone_->feed("\r\n" + pdu.substr(7)), "");
    EXPECT_EQ(phone_->feed("\x1a"), "\r\n+CMGS: 1\r\n\r\nOK\r\n");
}

TEST_F(PhoneTest, WrongCountsAndBadPdusAreRefused) {
    const std::string pdu = toolSubmit(kDefaultModuleNumber, "GETST\r");
    const std::size_t n = tpduOctets(pdu);
    EXPECT_EQ(phone_->feed("AT+CMGS=" + std::to_string(n - 1) + "\r"),
              "AT+CMGS=" + std::to_string(n - 1) + "\r\r\n> ");
    EXPECT_EQ(phone_->feed(pdu + "\x1a"), "\r\n+CMS ERROR: 304\r\n");
    EXPECT_EQ(cmgs("00"
                   "11ZZ"),
              "AT+CMGS=2\r\r\n+CMS ERROR: 304\r\n");
    phone_->feed("AT+CMGS=7\r");
    EXPECT_EQ(phone_->feed("0011\x1a"), "\r\n+CMS ERROR: 304\r\n");
    // The tool's answer to an empty module number: a negative count.
    EXPECT_EQ(phone_->feed("AT+CMGS=-1\r"), "AT+CMGS=-1\r\r\n+CMS ERROR: 304\r\n");
    EXPECT_TRUE(phone_->messages().empty());
    EXPECT_FALSE(phone_->msUntilNextEvent());
    // Back in command state afterwards.
    EXPECT_EQ(phone_->feed("AT\r"), "AT\r\r\nOK\r\n");
}

TEST_F(PhoneTest, EscapeCancelsTheMessage) {
    phone_->feed("AT+CMGS=20\r");
    EXPECT_EQ(phone_->feed("0011\x1b"), "\r\nOK\r\n");
    EXPECT_FALSE(phone_->msUntilNextEvent());
    EXPECT_EQ(phone_->feed("AT\r"), "AT\r\r\nOK\r\n");
}

TEST_F(PhoneTest, MessagesToOtherNumbersGoNowhere) {
    EXPECT_EQ(cmgs(toolSubmit("+4930123456", "hello")).substr(0, 4), "AT+C");
    clock_.advance(5000);
    phone_->poll();
    EXPECT_TRUE(phone_->messages().empty());
    ASSERT_EQ(phone_->sentElsewhere().size(), 1u);
    EXPECT_EQ(phone_->sentElsewhere()[0], "hello");
}

TEST_F(PhoneTest, ListingShowsTheServiceCentrePartAndMarksMessagesRead) {
    ASSERT_EQ(phone_->deliver("+491700350350", "A"), 1);
    ASSERT_EQ(phone_->deliver("+491700350350", "B"), 2);
    phone_->feed("ATE0\r");
    const std::string head = "\r\n+CMGL: 1,0,,";
    const std::string listing = phone_->feed("AT+CMGL=0\r");
    ASSERT_EQ(listing.rfind(head, 0), 0u) << listing;
    const std::string first_pdu =
        hexFromOctets(phone_->messages().at(1).smsc) + hexFromOctets(phone_->messages().at(1).tpdu);
    EXPECT_NE(listing.find(std::to_string(phone_->messages().at(1).tpdu.size()) + "\r\n" + first_pdu +
                           "\r\n+CMGL: 2,0,,"),
              std::string::npos)
        << listing;
    EXPECT_EQ(listing.substr(listing.size() - 6), "\r\nOK\r\n");
    // Now both are read: the unread listing is empty, the read one shows both.
    EXPECT_EQ(phone_->feed("AT+CMGL=0\r"), "\r\nOK\r\n");
    EXPECT_NE(phone_->feed("AT+CMGL=1\r").find("+CMGL: 2,1,,"), std::string::npos);
    EXPECT_NE(phone_->feed("AT+CMGL=4\r").find("+CMGL: 1,1,,"), std::string::npos);
    EXPECT_EQ(phone_->feed("AT+CMGL=5\r"), "\r\n+CMS ERROR: 304\r\n");
}

TEST_F(PhoneTest, ReadAndDelete) {
    phone_->deliver("+491700350350", "A");
    phone_->feed("ATE0\r");
    EXPECT_EQ(phone_->feed("AT+CMGR=1\r").rfind("\r\n+CMGR: 0,,", 0), 0u);
    EXPECT_EQ(phone_->messages().at(1).stat, 1);
    EXPECT_EQ(phone_->feed("AT+CMGR=9\r"), "\r\n+CMS ERROR: 321\r\n");
    EXPECT_EQ(phone_->feed("AT+CMGD=1\r"), "\r\nOK\r\n");
    EXPECT_EQ(phone_->feed("AT+CMGD=1\r"), "\r\n+CMS ERROR: 321\r\n");
    phone_->deliver("+491700350350", "B");
    phone_->deliver("+491700350350", "C");
    EXPECT_EQ(phone_->feed("AT+CMGD=1,4\r"), "\r\nOK\r\n");
    EXPECT_TRUE(phone_->messages().empty());
}

TEST_F(PhoneTest, MemoryFillsFromTheLowestFreeSlot) {
    for (std::size_t i = 0; i < config_.capacity; ++i)
        ASSERT_TRUE(phone_->deliver("+1", "x"));
    EXPECT_FALSE(phone_->deliver("+1", "x"));
    phone_->feed("AT+CMGD=7\r");
    EXPECT_EQ(phone_->deliver("+1", "y"), 7);
}

TEST_F(PhoneTest, LongModuleAnswerArrivesAsSeveralMessages) {
    cmgs(toolSubmit(kDefaultModuleNumber, "GETLV\r"));
    clock_.advance(1000);
    phone_->poll();
    EXPECT_EQ(phone_->messages().size(), 2u);
}

TEST_F(PhoneTest, NewMessageIndicationWhenAsked) {
    phone_->feed("ATE0\r");
    EXPECT_EQ(phone_->feed("AT+CNMI=2,1,0,0,0\r"), "\r\nOK\r\n");
    cmgs(toolSubmit(kDefaultModuleNumber, "GETNR1\r"));
    clock_.advance(1000);
    EXPECT_EQ(phone_->poll(), "\r\n+CMTI: \"SM\",1\r\n");
}

TEST_F(PhoneTest, ModuleCommandsWithoutAnswerStoreNothing) {
    module_.execute("SETMP MPDDEEDDDEEDDDE ");
    cmgs(toolSubmit(kDefaultModuleNumber, "SETOU1\r"));
    clock_.advance(1000);
    phone_->poll();
    EXPECT_TRUE(phone_->messages().empty());
    EXPECT_TRUE(module_.state().outputs[0]);
}

TEST_F(PhoneTest, OverlongLineIsAnErrorAndByteWiseInputAnswersTheSame) {
    EXPECT_EQ(phone_->feed("AT" + std::string(2000, 'X') + "\r"), "\r\r\nERROR\r\n");
    std::string out;
    for (const char c : std::string("AT+CGMI\r"))
        out += phone_->feed(std::string(1, c));
    EXPECT_EQ(out, "AT+CGMI\r\r\nHXSIM\r\n\r\nOK\r\n");
}

TEST(SplitParameters, QuotesProtectCommas) {
    EXPECT_EQ(splitParameters("\"a,b\", 2"), (std::vector<std::string>{"\"a,b\"", "2"}));
    EXPECT_EQ(splitParameters(""), (std::vector<std::string>{""}));
}

}  // namespace
}  // namespace hx350::sim
