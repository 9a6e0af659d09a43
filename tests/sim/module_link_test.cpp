// Direct-mode line decoding: framed and unframed commands, in any split.
#include "sim/module_link.h"

#include <gtest/gtest.h>

namespace hx350::sim {
namespace {

std::string framed(std::string_view command) {
    return std::string(kSetupPrefix) + std::string(command) + "\r" + std::string(1, '\0');
}

class ModuleLinkTest : public ::testing::Test {
  protected:
    ManualTimeSource clock_{LocalDateTime{2025, 9, 23, 14, 5, 9, 120}};
    Module module_{clock_};
    ModuleLink link_{module_};
};

TEST_F(ModuleLinkTest, FramedCommandIsExecuted) {
    // 14 spaces, "SETUP:", "GETNR1", CR, NUL: the frame the tool writes.
    EXPECT_EQ(framed("GETNR1").size(), 28u);
    EXPECT_EQ(link_.feed(framed("SETNN1 +4917")), "SETNN1 OK\r\n");
    EXPECT_EQ(link_.feed(framed("GETNR1")), "1: +4917\r\n");
}

TEST_F(ModuleLinkTest, ByteByByteGivesTheSameAnswerOnlyAtTheEnd) {
    const std::string frame = framed("GETTX05" + std::string(32, ' '));
    std::string answer;
    for (std::size_t i = 0; i < frame.size(); ++i) {
        const std::string part = link_.feed(frame.substr(i, 1));
        if (i + 2 < frame.size()) {
            EXPECT_EQ(part, "") << i;  // nothing before the CR
        }
        answer += part;
    }
    EXPECT_EQ(answer, "05: Temperature 1 > MAXIMUM2\r\n");
}

TEST_F(ModuleLinkTest, TwoFramesInOneChunkAnswerInOrder) {
    EXPECT_EQ(link_.feed(framed("SETOU1") + framed("GETOS1")), "OUT1 1\r\nOUT1 1\r\n");
}

TEST_F(ModuleLinkTest, PlainSendAndUnframedCommandsAfterIt) {
    EXPECT_EQ(link_.feed("  AT+CSQ\r"), "\r\n+CSQ: 18,99\r\n\r\nOK\r\n");
    // The tool keeps sending without framing until a short answer clears its plain-send flag.
    EXPECT_EQ(link_.feed("GETCT\r"), "C1=1234 C2=56\r\n");
    EXPECT_EQ(link_.feed("CLRCT1\r"), "CLRCT1 OK\r\n");
}

TEST_F(ModuleLinkTest, NulAndLineFeedBetweenLinesAreIgnored) {
    EXPECT_EQ(link_.feed(std::string(1, '\0') + "\n" + framed("GETNR2")), "2: \r\n");
    EXPECT_EQ(link_.feed("\r"), "");  // an empty line answers nothing
}

TEST_F(ModuleLinkTest, OverlongLineIsDroppedWithAnErrorAndTheLinkRecovers) {
    EXPECT_EQ(link_.feed(std::string(kModuleLineLimit + 10, 'X') + "\r"), "LINE TOO LONG\r\n");
    EXPECT_EQ(link_.feed(framed("  OK")), "OK\r\n");
}

TEST(ModuleLinkUnframe, PrefixWithAnyNumberOfSpaces) {
    EXPECT_EQ(ModuleLink::unframe(std::string(kSetupPrefix) + "GETST"), "GETST");
    EXPECT_EQ(ModuleLink::unframe("SETUP:GETST"), "GETST");
    EXPECT_EQ(ModuleLink::unframe("  GETST"), "  GETST");
    EXPECT_EQ(ModuleLink::unframe("GETST SETUP:"), "GETST SETUP:");
}

}  // namespace
}  // namespace hx350::sim
