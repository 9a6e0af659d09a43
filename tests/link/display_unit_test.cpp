#include "link/display_unit.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace hx350 {
namespace {

using Lines = std::vector<std::string>;

TEST(MemoOpenLine, TextWithoutFinalLineBreakStaysOpenUntilAddClosesIt) {
    Memo memo;
    memo.SetText("abc");
    EXPECT_TRUE(memo.EndsOpen());
    EXPECT_EQ(memo.Text(), "abc");
    memo.Add("");
    EXPECT_FALSE(memo.EndsOpen());
    EXPECT_EQ(memo.Lines(), Lines{"abc"});
    EXPECT_EQ(memo.Text(), "abc\r\n");

    memo.SetText("abc");
    memo.Add("def");
    EXPECT_EQ(memo.Lines(), (Lines{"abc", "def"}));
    EXPECT_EQ(memo.Text(), "abc\r\ndef");
}

TEST(MemoOpenLine, SettingTheOpenLastLineKeepsItOpenOrClosesItByItsOwnLineBreak) {
    Memo memo;
    memo.SetText("one\r\ntwo");
    EXPECT_TRUE(memo.SetLine(1, "2"));
    EXPECT_EQ(memo.Text(), "one\r\n2");
    EXPECT_TRUE(memo.SetLine(1, "\r\nx\r\n"));
    EXPECT_EQ(memo.Lines(), (Lines{"one", "", "x"}));
    EXPECT_EQ(memo.Text(), "one\r\n\r\nx\r\n");
}

TEST(DisplayUnit, PutTextOnAnEmptyMemoWritesItsFirstLineWithControlsAsSpaces) {
    Memo memo;
    std::size_t line = 0;
    MemoPutText(memo, "GETST\r\n\x7F\xE9", line);
    EXPECT_EQ(memo.Lines(), Lines{"GETST    "});
    EXPECT_EQ(line, 0u);
}

TEST(DisplayUnit, PutCharIgnoresCrStartsALineOnLfAndShowsOtherControlsAsSpaces) {
    Memo memo;
    std::size_t line = 0;
    for (char ch : std::string("ab\r\tc\nd\xE9"
                               "\x01"))
        MemoPutChar(memo, ch, line);
    EXPECT_EQ(memo.Lines(), (Lines{"ab c", "d  "}));
    EXPECT_EQ(line, 1u);
}

TEST(DisplayUnit, EchoStartingWithLineFeedGoesOnANewLineWithoutABreakAfterIt) {
    // The start-up setting LF CR "AT+CMGL=1" echoed character by character after an empty line.
    Memo memo;
    memo.SetText("\r\n");
    std::size_t line = 0;
    for (char ch : std::string("\n\rAT+CMGL=1"))
        MemoPutChar(memo, ch, line);
    EXPECT_EQ(memo.Lines(), (Lines{"", "AT+CMGL=1"}));
    EXPECT_EQ(line, 1u);
    MemoPutChar(memo, 'X', line);
    EXPECT_EQ(memo.Lines(), (Lines{"", "AT+CMGL=1X"}));
}

TEST(DisplayUnit, PutLineAdvancesTheLineSharedByAllMemos) {
    Memo log;
    Memo input;
    input.SetText("first\r\nsecond\r\n");
    std::size_t line = 0;
    MemoPutLine(log, "PDU", line);
    EXPECT_EQ(line, 1u);
    EXPECT_EQ(log.Text(), "PDU\r\n");
    MemoPutText(input, "+", line);
    EXPECT_EQ(input.Lines(), (Lines{"first", "second+"}));
}

TEST(DisplayUnit, WritingToALineTheMemoDoesNotHaveDoesNothing) {
    struct Row {
        const char* text;
        std::size_t line;
    };
    const Row rows[] = {
        {"a\r\nb\r\n", 3},  // beyond the empty line after the final break
        {"abc", 1},         // the open last line has no line after it
        {"", 1},            // an empty memo has only line 0
    };
    for (const Row& row : rows) {
        Memo memo;
        memo.SetText(row.text);
        std::size_t line = row.line;
        MemoPutChar(memo, 'x', line);
        MemoPutText(memo, "yz", line);
        EXPECT_EQ(memo.Text(), row.text) << row.text;
        EXPECT_EQ(line, row.line);
    }
}

TEST(DisplayUnit, SetFirstLineFramesTheTextWithEmptyLinesAndResetsTheLine) {
    Memo memo;
    std::size_t line = 4;
    MemoSetFirstLine(memo, "\r\nGETVR\r\r\n", line);
    EXPECT_EQ(line, 0u);
    EXPECT_EQ(memo.Text(), "\r\n\r\nGETVR\r\r\n\r\n");
    EXPECT_EQ(memo.Lines(), (Lines{"", "", "GETVR\r", ""}));

    Memo filled;
    filled.SetText("old\r\nkept\r\n");
    MemoSetFirstLine(filled, "new", line);
    EXPECT_EQ(filled.Lines(), (Lines{"", "new", "", "kept"}));
}

// A peer that never pauses must not grow a memo without end: every memo keeps its last 5,000 lines, and the
// line numbers the helpers share keep naming the same lines after the oldest went.
TEST(BoundedMemo, KeepsTheLast5000LinesAndTheHelpersKeepTheirLine) {
    struct Row {
        const char* name;
        std::function<void(Memo&, std::size_t&)> fill;
        std::string first;
        std::string last;
    };
    const auto lines = [](int from, int to) {
        std::string text;
        for (int i = from; i < to; ++i)
            text += std::to_string(i) + "\r\n";
        return text;
    };
    const Row rows[] = {
        {"Add",
         [](Memo& m, std::size_t&) {
             for (int i = 0; i < 6000; ++i)
                 m.Add(std::to_string(i));
         },
         "1000", "5999"},
        {"SetText", [&](Memo& m, std::size_t&) { m.SetText(lines(0, 7000)); }, "2000", "6999"},
        {"PutLineThenTextOnTheCurrentLine",
         [](Memo& m, std::size_t& line) {
             for (int i = 0; i < 6000; ++i)
                 MemoPutLine(m, std::to_string(i), line);
             MemoPutText(m, "x", line);
         },
         "1001", "x"},
        {"TextForADroppedLineIsNotShown",
         [&](Memo& m, std::size_t& line) {
             m.SetText(lines(0, 6000));
             line = 0;
             MemoPutText(m, "x", line);
             MemoPutChar(m, 'y', line);
         },
         "1000", "5999"},
    };
    for (const Row& row : rows) {
        Memo memo;
        std::size_t line = 0;
        row.fill(memo, line);
        ASSERT_EQ(memo.Count(), 5000u) << row.name;
        EXPECT_EQ(memo.Lines().front(), row.first) << row.name;
        EXPECT_EQ(memo.Lines().back(), row.last) << row.name;
    }
}

}  // namespace
}  // namespace hx350
