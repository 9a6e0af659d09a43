// The event rules of the control types: when handlers run, clamping, edit limits, the user path.
#include "app/controls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace hx350 {
namespace {

/// Counts handler runs and observer notifications of one control.
struct Counters {
    int handler = 0;
    int notified = 0;
};

// ---- Check box: code and user set the state; the handler runs exactly when it changes.

struct CheckRow {
    const char* name;
    bool initial;
    bool set;
    int handler_runs;
};

class CheckBoxSet : public ::testing::TestWithParam<CheckRow> {};

TEST_P(CheckBoxSet, HandlerRunsExactlyWhenTheStateDiffers) {
    const CheckRow& row = GetParam();
    CheckBox box;
    box.SetChecked(row.initial);
    Counters c;
    box.setOnClick([&] { ++c.handler; });
    box.setObserver([&] { ++c.notified; });

    box.SetChecked(row.set);
    EXPECT_EQ(box.Checked(), row.set);
    EXPECT_EQ(c.handler, row.handler_runs);
    EXPECT_EQ(c.notified, row.handler_runs);

    // The user path follows the same rule.
    CheckBox user_box;
    user_box.SetChecked(row.initial);
    int user_runs = 0;
    user_box.setOnClick([&] { ++user_runs; });
    EXPECT_TRUE(user_box.userSetChecked(row.set));
    EXPECT_EQ(user_runs, row.handler_runs);
}

INSTANTIATE_TEST_SUITE_P(Rows, CheckBoxSet,
                         ::testing::Values(CheckRow{"OffToOff", false, false, 0},
                                           CheckRow{"OffToOn", false, true, 1},
                                           CheckRow{"OnToOn", true, true, 0},
                                           CheckRow{"OnToOff", true, false, 1}),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(CheckBox, UserClickTogglesAndRunsTheHandlerEveryTime) {
    CheckBox box;
    std::vector<bool> seen;
    box.setOnClick([&] { seen.push_back(box.Checked()); });
    EXPECT_TRUE(box.userClick());
    EXPECT_TRUE(box.userClick());
    EXPECT_TRUE(box.userClick());
    EXPECT_EQ(seen, (std::vector<bool>{true, false, true}));
}

TEST(CheckBox, HiddenBoxCannotBeOperatedButCodeStillSetsIt) {
    CheckBox box;
    box.SetVisible(false);
    int runs = 0;
    box.setOnClick([&] { ++runs; });
    EXPECT_FALSE(box.userClick());
    EXPECT_FALSE(box.userSetChecked(true));
    EXPECT_FALSE(box.Checked());
    EXPECT_EQ(runs, 0);
    box.SetChecked(true);  // code keeps working on hidden controls
    EXPECT_TRUE(box.Checked());
}

// ---- Radio group: index clamping and the handler rule.

struct RadioRow {
    const char* name;
    int initial;
    int set;
    int expected;
    int handler_runs;
};

class RadioGroupSet : public ::testing::TestWithParam<RadioRow> {};

TEST_P(RadioGroupSet, IndexIsClampedAndTheHandlerRunsWhenItDiffers) {
    const RadioRow& row = GetParam();
    RadioGroup group;
    group.SetItems({"a", "b", "c", "d", "e"});
    group.SetItemIndex(row.initial);
    int runs = 0;
    group.setOnClick([&] { ++runs; });
    group.SetItemIndex(row.set);
    EXPECT_EQ(group.ItemIndex(), row.expected);
    EXPECT_EQ(runs, row.handler_runs);
}

INSTANTIATE_TEST_SUITE_P(Rows, RadioGroupSet,
                         ::testing::Values(RadioRow{"Same", 0, 0, 0, 0}, RadioRow{"Other", 0, 3, 3, 1},
                                           RadioRow{"NoneFromCode", 2, -1, -1, 1},
                                           RadioRow{"BelowMinusOneBecomesNone", 0, -5, -1, 1},
                                           RadioRow{"BelowMinusOneWhenNone", -1, -7, -1, 0},
                                           RadioRow{"AboveLastBecomesLast", 0, 9, 4, 1},
                                           RadioRow{"AboveLastWhenLast", 4, 99, 4, 0},
                                           RadioRow{"LastExactly", 1, 4, 4, 1}),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(RadioGroup, EmptyGroupSelectsNothing) {
    RadioGroup group;
    group.SetItemIndex(3);
    EXPECT_EQ(group.ItemIndex(), -1);
}

TEST(RadioGroup, ShorterItemListClampsTheSelectionWithoutTheHandler) {
    RadioGroup group;
    group.SetItems({"a", "b", "c"});
    group.SetItemIndex(2);
    int runs = 0;
    group.setOnClick([&] { ++runs; });
    group.SetItems({"a"});
    EXPECT_EQ(group.ItemIndex(), 0);
    EXPECT_EQ(runs, 0);
}

TEST(RadioGroup, UserSelectionRunsTheHandlerOnlyForAnotherItem) {
    RadioGroup group;
    group.SetItems({"a", "b"});
    group.SetItemIndex(0);
    int runs = 0;
    group.setOnClick([&] { ++runs; });
    EXPECT_TRUE(group.userSetItemIndex(0));
    EXPECT_EQ(runs, 0);
    EXPECT_TRUE(group.userSetItemIndex(1));
    EXPECT_EQ(runs, 1);
}

TEST(RadioGroup, ClickOnTheSelectedItemRunsOnlyTheReselectHandler) {
    RadioGroup group;
    group.SetItems({"a", "b"});
    int clicks = 0;
    int reselects = 0;
    group.setOnClick([&] { ++clicks; });
    group.setOnReselect([&] { ++reselects; });
    EXPECT_FALSE(group.userReselect());  // nothing selected yet
    group.SetItemIndex(1);
    EXPECT_TRUE(group.userReselect());
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(reselects, 1);
    group.SetVisible(false);
    EXPECT_FALSE(group.userReselect());
    EXPECT_EQ(reselects, 1);
}

// ---- Scroll bar and track bar: clamping, and who runs the handler.

struct RangeRow {
    const char* name;
    int initial;
    int set;
    int expected;
    int scroll_runs;  ///< handler runs of a scroll bar set from code (a track bar set from code runs none)
};

class RangeSet : public ::testing::TestWithParam<RangeRow> {};

TEST_P(RangeSet, ScrollBarFromCodeRunsTheHandlerWhenTheClampedPositionDiffers) {
    const RangeRow& row = GetParam();
    ScrollBar bar;
    bar.SetRange(-99, 149);
    bar.SetPosition(row.initial);
    int runs = 0;
    bar.setOnChange([&] { ++runs; });
    bar.SetPosition(row.set);
    EXPECT_EQ(bar.Position(), row.expected);
    EXPECT_EQ(runs, row.scroll_runs);
}

TEST_P(RangeSet, TrackBarFromCodeClampsAndRunsNoHandler) {
    const RangeRow& row = GetParam();
    TrackBar bar;
    bar.SetRange(-99, 149);
    bar.SetPosition(row.initial);
    int runs = 0;
    int notified = 0;
    bar.setOnChange([&] { ++runs; });
    bar.setObserver([&] { ++notified; });
    bar.SetPosition(row.set);
    EXPECT_EQ(bar.Position(), row.expected);
    EXPECT_EQ(runs, 0);
    EXPECT_EQ(notified, row.scroll_runs);  // the window still repaints a moved slider
}

TEST_P(RangeSet, UserMoveOfEitherRunsTheHandlerWhenTheClampedPositionDiffers) {
    const RangeRow& row = GetParam();
    TrackBar track;
    ScrollBar scroll;
    int track_runs = 0;
    int scroll_runs = 0;
    for (RangeControl* c : {static_cast<RangeControl*>(&track), static_cast<RangeControl*>(&scroll)})
        c->SetRange(-99, 149);
    track.SetPosition(row.initial);
    scroll.SetPosition(row.initial);
    track.setOnChange([&] { ++track_runs; });
    scroll.setOnChange([&] { ++scroll_runs; });
    EXPECT_TRUE(track.userSetPosition(row.set));
    EXPECT_TRUE(scroll.userSetPosition(row.set));
    EXPECT_EQ(track.Position(), row.expected);
    EXPECT_EQ(track_runs, row.scroll_runs);
    EXPECT_EQ(scroll_runs, row.scroll_runs);
}

INSTANTIATE_TEST_SUITE_P(Rows, RangeSet,
                         ::testing::Values(RangeRow{"Same", 0, 0, 0, 0}, RangeRow{"Inside", 0, 5, 5, 1},
                                           RangeRow{"AboveMaxClamps", 0, 150, 149, 1},
                                           RangeRow{"AboveMaxAtMax", 149, 200, 149, 0},
                                           RangeRow{"BelowMinClamps", 0, -100, -99, 1},
                                           RangeRow{"MinExactly", -99, -99, -99, 0},
                                           RangeRow{"Negative", 10, -7, -7, 1}),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(ScrollBar, NarrowerRangeMovesThePositionAndRunsTheHandler) {
    ScrollBar bar;
    bar.SetRange(0, 99);
    bar.SetPosition(50);
    int runs = 0;
    bar.setOnChange([&] { ++runs; });
    bar.SetRange(0, 9);
    EXPECT_EQ(bar.Position(), 9);
    EXPECT_EQ(runs, 1);
    bar.SetRange(0, 99);  // position 9 still fits: no change
    EXPECT_EQ(runs, 1);
}

TEST(TrackBar, NarrowerRangeMovesThePositionWithoutTheHandler) {
    TrackBar bar;
    bar.SetRange(0, 99999);
    bar.SetPosition(500);
    int runs = 0;
    bar.setOnChange([&] { ++runs; });
    bar.SetRange(0, 23);
    EXPECT_EQ(bar.Position(), 23);
    EXPECT_EQ(runs, 0);
}

TEST(ScrollBar, InvertedRangeIsRejected) {
    ScrollBar bar;
    EXPECT_THROW(bar.SetRange(5, 4), std::invalid_argument);
    EXPECT_EQ(bar.Min(), 0);
    EXPECT_EQ(bar.Max(), 100);
}

TEST(ScrollBar, HiddenBarIgnoresTheUser) {
    ScrollBar bar;
    bar.SetVisible(false);
    int runs = 0;
    bar.setOnChange([&] { ++runs; });
    EXPECT_FALSE(bar.userSetPosition(10));
    EXPECT_EQ(bar.Position(), 0);
    EXPECT_EQ(runs, 0);
}

// ---- Edit: limits restrict typing only.

struct EditRow {
    const char* name;
    std::size_t max_length;
    const char* typed;
    const char* expected;
};

class EditTyping : public ::testing::TestWithParam<EditRow> {};

TEST_P(EditTyping, MaxLengthCutsWhatTheUserTypes) {
    const EditRow& row = GetParam();
    Edit edit;
    edit.SetMaxLength(row.max_length);
    int runs = 0;
    edit.setOnChange([&] { ++runs; });
    EXPECT_TRUE(edit.userSetText(row.typed));
    EXPECT_EQ(edit.Text(), row.expected);
    EXPECT_EQ(runs, std::string(row.expected).empty() ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, EditTyping,
    ::testing::Values(EditRow{"Shorter", 4, "ab", "ab"}, EditRow{"Exact", 4, "abcd", "abcd"},
                      EditRow{"Longer", 4, "abcdef", "abcd"},
                      EditRow{"NoLimit", 0, "a text of many characters", "a text of many characters"},
                      EditRow{"Empty", 4, "", ""}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(Edit, TextFromCodeIsNeverCut) {
    Edit edit;
    edit.SetMaxLength(6);
    edit.SetText("FFFF-- ");
    EXPECT_EQ(edit.Text(), "FFFF-- ");
    const std::string thirty(30, 'x');
    edit.SetMaxLength(26);
    edit.SetText(thirty);
    EXPECT_EQ(edit.Text(), thirty);
}

TEST(Edit, ChangeHandlerRunsExactlyWhenTheTextDiffers) {
    Edit edit;
    edit.SetText("M");
    int runs = 0;
    edit.setOnChange([&] { ++runs; });
    edit.SetText("M");
    EXPECT_EQ(runs, 0);
    edit.SetText("X");
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(edit.userSetText("X"));
    EXPECT_EQ(runs, 1);
}

TEST(Edit, ReadOnlyOrHiddenEditRefusesTheUserButNotCode) {
    Edit edit;
    edit.SetReadOnly(true);
    EXPECT_FALSE(edit.userSetText("typed"));
    EXPECT_EQ(edit.Text(), "");
    edit.SetText("from code");
    EXPECT_EQ(edit.Text(), "from code");

    Edit hidden;
    hidden.SetVisible(false);
    EXPECT_FALSE(hidden.userSetText("typed"));
    EXPECT_EQ(hidden.Text(), "");
}

TEST(Edit, ColourChangeNotifiesTheObserverOnly) {
    Edit edit;
    Counters c;
    edit.setOnChange([&] { ++c.handler; });
    edit.setObserver([&] { ++c.notified; });
    edit.SetColor(colors::kLime);
    edit.SetColor(colors::kLime);
    EXPECT_EQ(edit.color(), colors::kLime);
    EXPECT_EQ(c.notified, 1);
    EXPECT_EQ(c.handler, 0);
}

// ---- Buttons, pages, menus.

TEST(Button, UserClickRunsTheHandlerUnlessHidden) {
    Button button;
    int runs = 0;
    button.setOnClick([&] { ++runs; });
    EXPECT_TRUE(button.userClick());
    EXPECT_EQ(runs, 1);
    button.SetVisible(false);
    EXPECT_FALSE(button.userClick());
    EXPECT_EQ(runs, 1);
}

TEST(PageControl, OnlyAUserSelectionOfAnotherPageRunsTheHandler) {
    PageControl pages;
    pages.SetPages({"Main", "Abonents", "External SMS"});
    int runs = 0;
    pages.setOnChange([&] { ++runs; });
    EXPECT_TRUE(pages.SetActivePageIndex(2));
    EXPECT_EQ(runs, 0);
    EXPECT_TRUE(pages.userSelectPage(2));
    EXPECT_EQ(runs, 0);
    EXPECT_TRUE(pages.userSelectPage(0));
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(pages.ActivePageIndex(), 0);
    EXPECT_FALSE(pages.userSelectPage(3));
    EXPECT_FALSE(pages.SetActivePageIndex(-1));
    EXPECT_EQ(pages.ActivePageIndex(), 0);
    EXPECT_EQ(runs, 1);
}

TEST(ListBox, SelectionIsClampedLikeARadioGroup) {
    ListBox list;
    list.SetItems({"one", "two"});
    list.SetItemIndex(7);
    EXPECT_EQ(list.ItemIndex(), 1);
    list.SetItemIndex(-3);
    EXPECT_EQ(list.ItemIndex(), -1);
}

TEST(Family, IndexedLikeTheNamesAndCheckedAtBothEnds) {
    Family<Edit, 3, 15> options;
    EXPECT_EQ(options.size(), 13);
    options[3].SetText("first");
    options[15].SetText("last");
    EXPECT_EQ(options[3].Text(), "first");
    EXPECT_EQ(options[15].Text(), "last");
    EXPECT_THROW(options[2], std::out_of_range);
    EXPECT_THROW(options[16], std::out_of_range);
}

}  // namespace
}  // namespace hx350
