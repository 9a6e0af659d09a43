#include "params/event_texts.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "command_table.h"

namespace hx350::params {
namespace {

using testing::CommandRow;

const CommandRow kTextCommands[] = {
    {"SetTx07FiveLetters", [] { return setExternalTextCommand(7, "Alarm"); }, "SETTX07 Alarm"},
    {"SetTx07Echo", [] { return setExternalTextEcho(7, "Alarm"); }, "SETTX07,Alarm"},
    {"SetTx12Empty", [] { return setExternalTextCommand(12, ""); }, "SETTX12 "},
    {"SetTx12EmptyEcho", [] { return setExternalTextEcho(12, ""); }, "SETTX12,"},
    {"SetTx01KeepsSpaces", [] { return setExternalTextCommand(1, " two  words "); }, "SETTX01  two  words "},
    {"SetTx54ThirtyTwo", [] { return setExternalTextCommand(54, "abcdefghijklmnopqrstuvwxyz012345"); },
     "SETTX54 abcdefghijklmnopqrstuvwxyz012345"},
    {"GetTx05TrailingSpace", [] { return getExternalTextCommand(5); }, "GETTX05 "},
    {"GetTx05Echo", [] { return getExternalTextEcho(5); }, "GETTX05"},
    {"GetTx54", [] { return getExternalTextCommand(54); }, "GETTX54 "},
    {"SetTi01FullLength", [] { return setShortTextCommand(1, "F SETOU1 RSTOU2"); },
     "SETTI01 F SETOU1 RSTOU2"},
    {"SetTi01Echo", [] { return setShortTextEcho(1, "F SETOU1 RSTOU2"); }, "SETTI01,F SETOU1 RSTOU2"},
    {"SetTi60IoName", [] { return setShortTextCommand(60, "INP6 1"); }, "SETTI60 INP6 1"},
    {"SetTi78Empty", [] { return setShortTextCommand(78, ""); }, "SETTI78 "},
    {"GetTi55TrailingSpace", [] { return getShortTextCommand(55); }, "GETTI55 "},
    {"GetTi55Echo", [] { return getShortTextEcho(55); }, "GETTI55"},
    {"GetTi09", [] { return getShortTextCommand(9); }, "GETTI09 "},
    {"StoredExternalCutTo26", [] { return storedExternalText("abcdefghijklmnopqrstuvwxyz0123"); },
     "abcdefghijklmnopqrstuvwxyz"},
    {"StoredExternalShortUnchanged", [] { return storedExternalText("Alarm"); }, "Alarm"},
    {"StoredExternalEmpty", [] { return storedExternalText(""); }, ""},
    {"StoredShortCutTo15", [] { return storedShortText("0123456789abcdefghij"); }, "0123456789abcde"},
    {"StoredShortExactly15", [] { return storedShortText("F SETOU1 RSTOU2"); }, "F SETOU1 RSTOU2"},
};
HX350_COMMAND_TABLE(EventTextCommands, kTextCommands);

std::string twoDigitSlot(int slot) {
    char buffer[4];
    std::snprintf(buffer, sizeof buffer, "%02d", slot);
    return buffer;
}

TEST(EventTextCommands, EveryExternalSlotCarriesItsTwoDigitNumber) {
    for (int slot = kFirstEventSlot; slot <= kLastEventSlot; ++slot) {
        const std::string nn = twoDigitSlot(slot);
        EXPECT_EQ(getExternalTextCommand(slot), "GETTX" + nn + " ");
        EXPECT_EQ(setExternalTextCommand(slot, "x"), "SETTX" + nn + " x");
    }
}

TEST(EventTextCommands, EveryShortSlotCarriesItsTwoDigitNumber) {
    for (int slot = kFirstEventSlot; slot <= kLastShortTextSlot; ++slot) {
        const std::string nn = twoDigitSlot(slot);
        EXPECT_EQ(getShortTextCommand(slot), "GETTI" + nn + " ");
        EXPECT_EQ(setShortTextEcho(slot, "x"), "SETTI" + nn + ",x");
    }
}

}  // namespace
}  // namespace hx350::params
