#include "base/memo.h"

#include <gtest/gtest.h>

namespace hx350 {
namespace {

using Lines = std::vector<std::string>;

TEST(Memo, SetTextSplitsAtCrLfAndDropsTheEmptyLineAfterAFinalBreak) {
    struct Row {
        const char* text;
        Lines lines;
    };
    const Row rows[] = {
        {"", {}},
        {"\r\n", {""}},
        {"a", {"a"}},
        {"a\r\nb", {"a", "b"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"\r\n\r\nx\r\n\r\n", {"", "", "x", ""}},
        {"lone\rcr and\nlf", {"lone\rcr and\nlf"}},
    };
    for (const auto& row : rows) {
        Memo memo;
        memo.SetText(row.text);
        EXPECT_EQ(memo.Lines(), row.lines) << row.text;
    }
}

TEST(Memo, SetLineReplacesOneLineAndMayInsertSeveral) {
    Memo memo;
    memo.SetText("one\r\ntwo\r\n");
    EXPECT_TRUE(memo.SetLine(0, "\r\nnew\r\n"));
    EXPECT_EQ(memo.Lines(), (Lines{"", "new", "", "two"}));
    EXPECT_FALSE(memo.SetLine(4, "beyond"));
    EXPECT_EQ(memo.Count(), 4u);
}

TEST(Memo, NotifiesEveryChange) {
    Memo memo;
    int changes = 0;
    memo.setOnChange([&] { ++changes; });
    memo.Add("x");
    memo.SetLine(0, "y");
    memo.SetLine(9, "ignored");
    memo.SetVisible(false);
    memo.SetVisible(false);
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(memo.Text(), "y\r\n");
}

TEST(Memo, AppendGivesTheLinesOfTheWholeTextSetAnew) {
    struct Row {
        const char* before;
        const char* appended;
    };
    const Row rows[] = {
        {"", "a"},       {"", "a\r\n"},           {"a", "b"},
        {"a", "\r\n"},   {"a\r\n", "b\r\n"},      {"a\r\n", "\r\n"},
        {"a\r", "\nb"},  {"a\r", "\n"},           {"a", "b\r\nc"},
        {"a\r\n", "\r"}, {"x\r\ny", "\r\n\r\nz"}, {"a", ""},
    };
    for (const Row& row : rows) {
        Memo appended;
        appended.SetText(row.before);
        appended.Append(row.appended);
        Memo whole;
        whole.SetText(std::string(row.before) + row.appended);
        EXPECT_EQ(appended.Lines(), whole.Lines()) << row.before << "+" << row.appended;
        EXPECT_EQ(appended.Text(), whole.Text()) << row.before << "+" << row.appended;
    }
}

}  // namespace
}  // namespace hx350
