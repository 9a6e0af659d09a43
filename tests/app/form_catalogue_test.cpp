// The form's catalogue against the written control list, its design values, and the wiring of every
// control to its handler.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include "app/form.h"

namespace hx350 {
namespace {

struct ListedControl {
    std::string name;
    std::string kind;
    int page;  // kFramePage for the frame
    bool shown;
    std::string handler;  // "-" for none
};

std::vector<ListedControl> readControlList() {
    std::ifstream in(std::string(HX350_TEST_DATA_DIR) + "/controls.txt");
    std::vector<ListedControl> list;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        ListedControl c;
        std::string page;
        std::string shown;
        fields >> c.name >> c.kind >> page >> shown >> c.handler;
        c.page = page == "frame" ? kFramePage : std::stoi(page);
        c.shown = shown == "shown";
        list.push_back(c);
    }
    return list;
}

class FormCatalogue : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { list_ = new std::vector<ListedControl>(readControlList()); }
    static void TearDownTestSuite() {
        delete list_;
        list_ = nullptr;
    }
    static const std::vector<ListedControl>& list() { return *list_; }

    TForm1 form_;
    static std::vector<ListedControl>* list_;
};

std::vector<ListedControl>* FormCatalogue::list_ = nullptr;

TEST_F(FormCatalogue, ListIsReadable) {
    ASSERT_GT(list().size(), 600U);
}

TEST_F(FormCatalogue, EveryListedNameResolvesToAControlOfItsKindPageVisibilityAndHandler) {
    for (const ListedControl& c : list()) {
        SCOPED_TRACE(c.name);
        const ControlEntry* entry = form_.find(c.name);
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->name, c.name);
        EXPECT_EQ(kindName(entry->kind), c.kind);
        EXPECT_EQ(entry->page, c.page);
        EXPECT_EQ(entry->handler.empty() ? "-" : entry->handler, c.handler);
        const bool visible = std::visit([](auto* control) { return control->Visible(); }, entry->ref);
        EXPECT_EQ(visible, c.shown);
        const std::string own_name = std::visit(
            [](auto* control) -> std::string {
                if constexpr (requires { control->name(); }) return control->name();
                return {};
            },
            entry->ref);
        EXPECT_EQ(own_name, c.name);
    }
}

TEST_F(FormCatalogue, TheFormHasNoControlBeyondTheListAndEachOnce) {
    std::set<std::string> listed;
    for (const ListedControl& c : list())
        EXPECT_TRUE(listed.insert(c.name).second) << c.name;
    EXPECT_EQ(form_.registry().entries().size(), listed.size());
    for (const ControlEntry& e : form_.registry().entries())
        EXPECT_EQ(listed.count(e.name), 1U) << e.name;
}

TEST_F(FormCatalogue, ControlCountPerPageMatchesTheList) {
    std::map<int, int> listed;
    std::map<int, int> built;
    for (const ListedControl& c : list())
        ++listed[c.page];
    for (const ControlEntry& e : form_.registry().entries())
        ++built[e.page];
    EXPECT_EQ(built, listed);
    EXPECT_EQ(built.size(), static_cast<std::size_t>(kPageCount) + 1);  // thirteen pages and the frame
}

TEST_F(FormCatalogue, TypedLookup) {
    EXPECT_EQ(form_.find<Button>("TXTSMSb7"), &form_.TXTSMSb[7]);
    EXPECT_EQ(form_.find<Edit>("NNumber3"), &form_.NNumber[3]);
    EXPECT_EQ(form_.find<CheckBox>("CheckBoxD407"), &form_.CheckBoxD[4][7]);
    EXPECT_EQ(form_.find<ScrollBar>("ScrollBarMin12"), &form_.ScrollBarMin[1][2]);
    EXPECT_EQ(form_.find<ScrollBar>("ScrollBarT2Max1"), &form_.ScrollBarTMax[2][1]);
    EXPECT_EQ(form_.find<TrackBar>("TrackBar3"), &form_.TrackBar[3]);
    EXPECT_EQ(form_.find<Memo>("MemoSMSinput"), &form_.MemoSMSinput);
    EXPECT_EQ(form_.find<Button>("TXTSMSb60"), &form_.TXTSMSb[60]);
    EXPECT_EQ(form_.find<Edit>("iTXTSMS60"), &form_.iTXTSMS[60]);
    EXPECT_EQ(form_.find<ScrollBar>("sbTOffs1"), &form_.sbToffs[1]);
    EXPECT_EQ(form_.find<Edit>("TXTSMSb7"), nullptr);  // wrong kind
    EXPECT_EQ(form_.find<Edit>("TXTSMS55"), nullptr);  // no such control
    EXPECT_EQ(form_.find("txtsmsb7"), nullptr);        // names are case-sensitive
}

// ---- Wiring: the user path of every control runs the handler the list names, and hidden ones none.

/// Operates `entry` as a user would, choosing a value different from the current one.
bool operate(const ControlEntry& entry) {
    struct Operate {
        bool operator()(Edit* c) const { return c->userSetText(c->Text() == "X" ? "Y" : "X"); }
        bool operator()(CheckBox* c) const { return c->userClick(); }
        bool operator()(RadioGroup* c) const { return c->userSetItemIndex(c->ItemIndex() == 0 ? 1 : 0); }
        bool operator()(ScrollBar* c) const {
            return c->userSetPosition(c->Position() == c->Min() ? c->Max() : c->Min());
        }
        bool operator()(TrackBar* c) const {
            return c->userSetPosition(c->Position() == c->Min() ? c->Max() : c->Min());
        }
        bool operator()(Button* c) const { return c->userClick(); }
        bool operator()(MenuItem* c) const { return c->userClick(); }
        bool operator()(PageControl* c) const { return c->userSelectPage(c->ActivePageIndex() == 0 ? 1 : 0); }
        bool operator()(Label*) const { return false; }
        bool operator()(Memo*) const { return false; }
        bool operator()(Panel*) const { return false; }
        bool operator()(ListBox*) const { return false; }
        bool operator()(StatusBar*) const { return false; }
        bool operator()(MainMenu*) const { return false; }
    };
    return std::visit(Operate{}, entry.ref);
}

TEST_F(FormCatalogue, UserActionOnEveryListedControlRunsItsListedHandlerFirst) {
    int operated = 0;
    for (const ListedControl& c : list()) {
        SCOPED_TRACE(c.name);
        auto form =
            std::make_unique<TForm1>();  // a fresh form: no state carried from one control to the next
        std::vector<std::string> trace;
        form->setHandlerTrace([&](std::string_view h) { trace.emplace_back(h); });
        const ControlEntry* entry = form->find(c.name);
        ASSERT_NE(entry, nullptr);
        const bool accepted = operate(*entry);
        if (!c.shown) {  // nobody can operate a hidden control
            EXPECT_FALSE(accepted);
            EXPECT_TRUE(trace.empty());
            continue;
        }
        if (c.handler == "-") {
            EXPECT_TRUE(trace.empty()) << trace.front();
            continue;
        }
        ASSERT_TRUE(accepted);
        ASSERT_FALSE(trace.empty());
        EXPECT_EQ(trace.front(), c.handler);
        ++operated;
    }
    EXPECT_GT(operated, 300);  // the list is not silently empty of wired controls
}

TEST_F(FormCatalogue, IONameButtonsMixTwoHandlerFamiliesAsTheDesignBindsThem) {
    EXPECT_EQ(form_.find("TXTSMSb55")->handler, "iTXTSMSb55Click");
    EXPECT_EQ(form_.find("TXTSMSb57")->handler, "iTXTSMSb57Click");
    EXPECT_EQ(form_.find("TXTSMSb58")->handler, "TXTSMSb58Click");
    EXPECT_EQ(form_.find("TXTSMSb78")->handler, "");  // output 5 is hidden
}

// ---- Design values.

struct TextRow {
    const char* name;
    const char* text;
    std::size_t max_length;
    bool read_only;
};

class EditDesign : public FormCatalogue, public ::testing::WithParamInterface<TextRow> {};

TEST_P(EditDesign, TextLimitAndReadOnly) {
    const TextRow& row = GetParam();
    const Edit* edit = form_.find<Edit>(row.name);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->Text(), row.text);
    EXPECT_EQ(edit->MaxLength(), row.max_length);
    EXPECT_EQ(edit->ReadOnly(), row.read_only);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, EditDesign,
    ::testing::Values(
        TextRow{"TXTSMS1", "Temperature 1 < MINIMUM2", 32, false},
        TextRow{"TXTSMS3", "Temperature 1 Normal", 32, false},
        TextRow{"TXTSMS10", "Temperature 2 > MAXIMUM2", 32, false},
        TextRow{"TXTSMS16", "Temperature 4 < MINIMUM2", 32, false},
        TextRow{"TXTSMS21", "Analog Input 1 < MINIMUM2 ", 32, false},
        TextRow{"TXTSMS22", "Analog Input 1 < MINIMUM1 ", 32, false},
        TextRow{"TXTSMS23", "Analog Input 1 Normal", 32, false},
        TextRow{"TXTSMS26", "Analog Input 2 < MINIMUM2", 32, false},
        TextRow{"TXTSMS31", "Analog Input 3 < MINIMUM2 ", 32, false},
        TextRow{"TXTSMS38", "Analog Input 4 Normal", 32, false},
        TextRow{"TXTSMS40", "Analog Input 4 > MAXIMUM2", 32, false},
        TextRow{"TXTSMS41", "Event INP1 0-1", 32, false}, TextRow{"TXTSMS47", "Event INP7 0-1", 32, false},
        TextRow{"TXTSMS48", "Event INP1 1-0", 32, false}, TextRow{"TXTSMS54", "Event INP7 1-0", 32, false},
        TextRow{"iTXTSMS1", "", 15, false}, TextRow{"iTXTSMS54", "", 15, false},
        TextRow{"iTXTSMS55", "INP1 1", 15, false}, TextRow{"iTXTSMS61", "INP7 1", 15, false},
        TextRow{"iTXTSMS62", "INP1 0", 15, false}, TextRow{"iTXTSMS68", "INP7 0", 15, false},
        TextRow{"iTXTSMS69", "OUT1 1", 15, false}, TextRow{"iTXTSMS73", "OUT5 1", 15, false},
        TextRow{"iTXTSMS74", "OUT1 0", 15, false}, TextRow{"iTXTSMS78", "OUT5 0", 15, false},
        TextRow{"NNumber1", "NNumber1", 20, false}, TextRow{"PBnr7", "PBnr7", 20, false},
        TextRow{"TNrFilter", "FFFF", 4, true}, TextRow{"ANrFilter", "FFFF", 4, true},
        TextRow{"DNrFilter", "FFFF-- ", 6, true}, TextRow{"Status", "Setting Mode", 0, true},
        TextRow{"Hersteller", "Hersteller", 0, true}, TextRow{"ModelIDCode", "ModelIDCode", 0, true},
        TextRow{"DateTime", "SIM status", 0, true}, TextRow{"TimeZone", "+02", 3, false},
        TextRow{"ATcmd", "AT", 0, false}, TextRow{"AnalogKoeff", "1111", 4, false},
        TextRow{"AN4mul", "1000", 4, false}, TextRow{"AN3mulSMS", "1000", 4, false},
        TextRow{"Maxlv12", "0", 2, true}, TextRow{"ADelay", "00", 2, true}, TextRow{"TOffs1", "00", 2, true},
        TextRow{"Toffs4", "00", 2, true}, TextRow{"SRate", "0", 1, true}, TextRow{"DLoggerTm", "0", 1, true},
        TextRow{"PulseD1", "0", 2, true}, TextRow{"Output1", "OFF", 3, true},
        TextRow{"OutputBin", "000", 5, false}, TextRow{"MinusMark", "M", 1, false},
        TextRow{"PlusMark", "P", 1, false}, TextRow{"StringStr1", "MPEDEEDDDEEDDDE", 16, true},
        TextRow{"APN", "", 40, false}, TextRow{"UserID", "", 16, false}, TextRow{"Password", "", 16, false},
        TextRow{"IPaddress", "0.0.0.0", 40, false}, TextRow{"FTPHostName", "", 40, false},
        TextRow{"UserNameFTP", "", 40, false}, TextRow{"PasswordFTP", "", 16, false},
        TextRow{"DirName", "", 16, false}, TextRow{"HTTPhostName", "", 40, false},
        TextRow{"HTTPhostName2", "", 40, false}, TextRow{"BRnumber", "+491701234567", 20, false}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

struct RangeDesignRow {
    const char* name;
    int min;
    int max;
    int position;
};

class RangeDesign : public FormCatalogue, public ::testing::WithParamInterface<RangeDesignRow> {};

TEST_P(RangeDesign, RangeAndPosition) {
    const RangeDesignRow& row = GetParam();
    const ControlEntry* entry = form_.find(row.name);
    ASSERT_NE(entry, nullptr);
    const RangeControl* range = std::visit(
        [](auto* c) -> const RangeControl* {
            if constexpr (std::is_base_of_v<RangeControl, std::remove_pointer_t<decltype(c)>>) return c;
            return nullptr;
        },
        entry->ref);
    ASSERT_NE(range, nullptr);
    EXPECT_EQ(range->Min(), row.min);
    EXPECT_EQ(range->Max(), row.max);
    EXPECT_EQ(range->Position(), row.position);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RangeDesign,
    ::testing::Values(RangeDesignRow{"ScrollBarMax12", 0, 99, 0}, RangeDesignRow{"ScrollBarMin42", 0, 99, 0},
                      RangeDesignRow{"ScrollBarT1Max2", -99, 149, 0},
                      RangeDesignRow{"ScrollBarT4Min1", -99, 149, 0},
                      RangeDesignRow{"ScrollBarADelay", 0, 99, 0}, RangeDesignRow{"sbToffs3", 0, 99, 0},
                      RangeDesignRow{"TrackBar1", 0, 23, 0}, RangeDesignRow{"TrackBar4", 0, 23, 0},
                      RangeDesignRow{"TrackBar5", 0, 99999, 0}, RangeDesignRow{"PulseDsb5", 0, 9, 0},
                      RangeDesignRow{"SRateSB", 0, 9, 0}, RangeDesignRow{"DLoggerTmSB", 1, 9, 1},
                      RangeDesignRow{"TTimeout1SB", 0, 99, 0}, RangeDesignRow{"ATimeout2SB", 0, 99, 0},
                      RangeDesignRow{"DFilterSB", 0, 9, 0}, RangeDesignRow{"MaxErrorScrollBar", 0, 99, 4},
                      RangeDesignRow{"sRateDL", 0, 9, 0}, RangeDesignRow{"sDLperiodDL", 1, 9, 1}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

TEST_F(FormCatalogue, CheckStatesOfTheDesign) {
    for (int k = 1; k <= 4; ++k) {
        for (int j = 1; j <= 7; ++j)
            EXPECT_TRUE(form_.CheckBoxD[k][j].Checked()) << k << j;
        for (int j = 1; j <= 4; ++j) {
            EXPECT_TRUE(form_.CheckBoxA[k][j].Checked()) << k << j;
            EXPECT_FALSE(form_.CheckBoxT[k][j].Checked()) << k << j;
        }
    }
    for (int j = 1; j <= 7; ++j)
        EXPECT_FALSE(form_.CheckBoxDdis[j].Checked());
    EXPECT_TRUE(form_.CheckBox4.Checked());
    EXPECT_FALSE(form_.CheckBox3.Checked());
    EXPECT_FALSE(form_.CheckBox2.Checked());
    EXPECT_TRUE(form_.CheckBox7.Checked());
    EXPECT_TRUE(form_.CheckBox6.Checked());
    EXPECT_FALSE(form_.CheckBox5.Checked());
    EXPECT_TRUE(form_.DeleteSMS.Checked());
    EXPECT_FALSE(form_.SMSmode.Checked());
    EXPECT_FALSE(form_.SkipCRLFcb.Checked());
    for (const CheckBox* read : {&form_.GetText, &form_.iGetText, &form_.nGetText, &form_.ReadGPRS1}) {
        EXPECT_FALSE(read->Checked()) << read->name();
    }
    for (int k = 1; k <= 4; ++k)
        EXPECT_FALSE(form_.CheckBoxS[k].Checked());
    for (int n = 1; n <= 3; ++n)
        EXPECT_FALSE(form_.AN_420[n].Checked());
}

TEST_F(FormCatalogue, OptionBoxesAgreeWithTheDesignMask) {
    // Character N of the mask is "E" exactly when option box N is checked.
    const std::string& mask = form_.StringStr1.Text();
    ASSERT_EQ(mask.size(), 15U);
    EXPECT_EQ(mask[0], form_.MinusMark.Text()[0]);
    EXPECT_EQ(mask[1], form_.PlusMark.Text()[0]);
    for (int n = 3; n <= 15; ++n)
        EXPECT_EQ(form_.oCheckBox[n].Checked(), mask[n - 1] == 'E') << n;
    EXPECT_EQ(form_.oCheckBox[3].Caption(),
              "Answer SMS for Setou and Rstou SMS command  enable (default enable) ");
    EXPECT_EQ(form_.oCheckBox[15].Caption(), "Data Logger Line to RS232 enable (default enable)");
}

TEST_F(FormCatalogue, RadioGroupsOfTheDesign) {
    struct Row {
        const RadioGroup& group;
        const char* caption;
        std::size_t items;
        int index;
        const char* selected;
    };
    const Row rows[] = {
        {form_.RadioGroupPort, "Com Port ", 16, 0, "Com1"},
        {form_.RadioGroupRate, "Baud Rate", 5, 1, "19200"},
        {form_.RadioGroupNR, "Number", 7, 0, "1"},
        {form_.RadioGroupPB, "Number", 7, 0, "1"},
        {form_.SMSShed, "SMS Type", 5, 0, "Analog"},
        {form_.RadioGroup1, "Timeout", 5, 0, "Hours"},
        {form_.ReferenceLevelRadioBox1, "Ref.level", 2, 0, "+2,56V"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.group.name());
        EXPECT_EQ(r.group.Caption(), r.caption);
        ASSERT_EQ(r.group.Items().size(), r.items);
        EXPECT_EQ(r.group.ItemIndex(), r.index);
        EXPECT_EQ(r.group.Items()[static_cast<std::size_t>(r.index)], r.selected);
    }
    EXPECT_EQ(form_.RadioGroupPort.Items().back(), "Com16");
    EXPECT_EQ(form_.RadioGroupRate.Items().back(), "115200");
    EXPECT_EQ(form_.SMSShed.Items().back(), "Disable");
    EXPECT_EQ(form_.RadioGroup1.Items().back(), "other");
}

TEST_F(FormCatalogue, CaptionsOfTheDesign) {
    EXPECT_EQ(form_.TXTSMSb[7].Caption(), "WR");
    EXPECT_EQ(form_.TXTSMSb[60].Caption(), "WR");
    EXPECT_EQ(form_.iTXTSMSb[54].Caption(), "WR");
    EXPECT_EQ(form_.GetText.Caption(), "Read");
    EXPECT_EQ(form_.ReadGPRS1.Caption(), "Read ");
    EXPECT_EQ(form_.SetNfilter1.Caption(), "Set Numbers  Filter");
    EXPECT_EQ(form_.SetPulse.Caption(), "Set  Parameter");
    EXPECT_EQ(form_.Button22.Caption(), "Clear Counter 1 ");
    EXPECT_EQ(form_.Button3.Caption(), "OK");
    EXPECT_EQ(form_.SetOut[2].Caption(), "Out2 ON");
    EXPECT_EQ(form_.ResetOut[2].Caption(), "Out2 OFF");
    EXPECT_EQ(form_.GetInp[6].Caption(), "Get Inp6");
    EXPECT_EQ(form_.ANmode200[1].Caption(), "200 Om");
    EXPECT_EQ(form_.ANmode200[2].Caption(), "200 Om");
    EXPECT_EQ(form_.ANmode200[3].Caption(), "249 Om");
    EXPECT_EQ(form_.PanelBand.Caption(), "0 - GSM 900MHz + DCS 1800MHz");
    EXPECT_EQ(form_.SMSmode.Caption(), "SMS mode");
    EXPECT_EQ(form_.SkipCRLFcb.Caption(), "Skip CR/LF");
    EXPECT_EQ(form_.Button26.Caption(), "Counter SMS format C");
    EXPECT_EQ(form_.Button27.Caption(), "Counter SMS format F");
}

TEST_F(FormCatalogue, PagesAndMenu) {
    ASSERT_EQ(form_.PageControl1.PageCount(), kPageCount);
    const std::vector<std::string> expected{
        "Main",        "Abonents",   "External SMS", "Int/Ext SMS", "IOname",      "Analog", "Temperature",
        "SMS Shedule", "IO control", "Other",        "GPRS, FTP",   "Serial Port", "RunTime"};
    EXPECT_EQ(form_.PageControl1.Pages(), expected);
    EXPECT_EQ(form_.PageControl1.ActivePageIndex(), kMainPage);

    const auto& menus = form_.MainMenu1.Menus();
    ASSERT_EQ(menus.size(), 2U);
    EXPECT_EQ(menus[0].title->Caption(), "File");
    ASSERT_EQ(menus[0].commands.size(), 1U);
    EXPECT_EQ(menus[0].commands[0]->Caption(), "Exit");
    EXPECT_EQ(menus[1].title->Caption(), "Option");
    ASSERT_EQ(menus[1].commands.size(), 1U);
    EXPECT_EQ(menus[1].commands[0]->Caption(), "Save Setting");
    EXPECT_EQ(menus[1].commands[0], &form_.SaveSetting1);
}

TEST_F(FormCatalogue, EveryControlSitsInAKnownGroupOfItsPage) {
    const auto& groups = form_.registry().groups();
    std::set<std::pair<int, std::string>> known;
    for (const GroupInfo& g : groups) {
        known.insert({g.page, g.id});
        if (!g.panel.empty()) {
            const ControlEntry* panel = form_.find(g.panel);
            ASSERT_NE(panel, nullptr) << g.panel;
            EXPECT_EQ(panel->kind, ControlKind::Panel);
            EXPECT_EQ(panel->page, g.page);
        }
    }
    for (const ControlEntry& e : form_.registry().entries()) {
        EXPECT_EQ(known.count({e.page, e.group}), 1U) << e.name << " in " << e.group;
    }
    std::set<int> pages_with_groups;
    for (const GroupInfo& g : groups)
        pages_with_groups.insert(g.page);
    EXPECT_EQ(pages_with_groups.size(), static_cast<std::size_t>(kPageCount) + 1);
}

TEST_F(FormCatalogue, NoTwoControlsOfAGroupShareAGridCell) {
    std::set<std::tuple<int, std::string, int, int>> cells;
    for (const ControlEntry& e : form_.registry().entries()) {
        // Memo5 lies over the three phone edits on purpose; panels are their groups.
        if (e.name == "Memo5" || e.kind == ControlKind::Panel) continue;
        EXPECT_TRUE(cells.insert({e.page, e.group, e.row, e.column}).second)
            << e.name << " at " << e.group << " " << e.row << "," << e.column;
    }
}

TEST_F(FormCatalogue, EveryVisibleControlHasAHumanLabel) {
    // The window uses the label as the accessible name; panels are named by their contents.
    for (const ControlEntry& e : form_.registry().entries()) {
        if (e.kind == ControlKind::Panel) continue;
        const bool visible = std::visit([](auto* control) { return control->Visible(); }, e.ref);
        if (visible) {
            EXPECT_FALSE(e.label.empty()) << e.name;
        }
    }
    EXPECT_EQ(form_.find("TXTSMS7")->label, "Temp.Inp.2 < MINIMUM1");
    EXPECT_EQ(form_.find("TXTSMSb7")->label, "Temp.Inp.2 < MINIMUM1");
    EXPECT_EQ(form_.find("iTXTSMS62")->label, "Digital Input 1 = 0");
    EXPECT_EQ(form_.find("CheckBoxT41")->label, "Temperature 1, Nr4");
    EXPECT_EQ(form_.find("CheckBoxD03dis")->label, "Digital Input 3, Disable");
    EXPECT_EQ(form_.find("ScrollBarMax12")->label, "ANALOG INPUT 1 Maximum level 2");
    EXPECT_EQ(form_.find("NNumber3")->label, "Nr3");
}

// ---- Display handlers: a slider's read-only edit follows it.

struct DisplayRow {
    const char* slider;
    int position;
    const char* edit;
    const char* shown;
};

class SliderDisplay : public FormCatalogue, public ::testing::WithParamInterface<DisplayRow> {};

TEST_P(SliderDisplay, PositionSetFromCodeShowsInThePairedEdit) {
    const DisplayRow& row = GetParam();
    ScrollBar* bar = form_.find<ScrollBar>(row.slider);
    ASSERT_NE(bar, nullptr);
    bar->SetPosition(row.position);
    EXPECT_EQ(form_.find<Edit>(row.edit)->Text(), row.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SliderDisplay,
    ::testing::Values(
        DisplayRow{"ScrollBarMin11", 7, "Minlv11", "07"}, DisplayRow{"ScrollBarMax42", 99, "Maxlv42", "99"},
        DisplayRow{"ScrollBarMax31", 10, "Maxlv31", "10"}, DisplayRow{"ScrollBarADelay", 5, "ADelay", "05"},
        DisplayRow{"ScrollBarT1Min1", -7, "tMinlv11", "-7"},
        DisplayRow{"ScrollBarT2Max2", 149, "tMaxlv22", "149"},
        DisplayRow{"ScrollBarT3Max1", 25, "tMaxlv31", "25"},  // hidden input keeps its behaviour
        DisplayRow{"PulseDsb1", 9, "PulseD1", "18"}, DisplayRow{"PulseDsb3", 4, "PulseD3", "8"},
        DisplayRow{"TTimeout1SB", 12, "TTimeout1", "12"}, DisplayRow{"ATimeout2SB", 99, "ATimeout2", "99"},
        DisplayRow{"DFilterSB", 3, "DFilter", "3"}, DisplayRow{"MaxErrorScrollBar", 42, "MaxError", "42"},
        DisplayRow{"SRateSB", 5, "sRateDLeb", "5"}, DisplayRow{"sRateDL", 6, "SRate", "6"},
        DisplayRow{"DLoggerTmSB", 4, "DLPeriodEB", "4"}, DisplayRow{"sDLperiodDL", 8, "DLoggerTm", "8"}),
    [](const auto& param_info) {
        return std::string(param_info.param.slider) + "_" + param_info.param.edit;
    });

TEST_F(FormCatalogue, TwinSlidersOfTheDataLoggerMoveTogetherAndSettle) {
    std::vector<std::string> trace;
    form_.setHandlerTrace([&](std::string_view h) { trace.emplace_back(h); });
    ASSERT_TRUE(form_.sRateDL.userSetPosition(5));
    EXPECT_EQ(form_.SRateSB.Position(), 5);
    EXPECT_EQ(form_.SRate.Text(), "5");
    EXPECT_EQ(form_.sRateDLeb.Text(), "5");
    EXPECT_EQ(trace, (std::vector<std::string>{"sRateDLChange", "SRateSBChange"}));

    trace.clear();
    form_.DLoggerTmSB.SetPosition(9);
    EXPECT_EQ(form_.sDLperiodDL.Position(), 9);
    EXPECT_EQ(form_.DLoggerTm.Text(), "9");
    EXPECT_EQ(form_.DLPeriodEB.Text(), "9");
    EXPECT_EQ(trace, (std::vector<std::string>{"DLoggerTmSBChange", "sDLperiodDLChange"}));
}

TEST_F(FormCatalogue, TrackBar5ShowsUserMovesOnly) {
    form_.TrackBar5.SetPosition(1234);  // from code: no handler, the edit keeps its text
    EXPECT_EQ(form_.Edit1.Text(), "0");
    ASSERT_TRUE(form_.TrackBar5.userSetPosition(99999));
    EXPECT_EQ(form_.Edit1.Text(), "99999");
    ASSERT_TRUE(form_.TrackBar5.userSetPosition(123456));  // clamped: unchanged, no handler
    EXPECT_EQ(form_.Edit1.Text(), "99999");
}

TEST_F(FormCatalogue, ObserverOfAnEditSeesAChangeMadeByAHandler) {
    int repaints = 0;
    form_.Minlv[1][1].setObserver([&] { ++repaints; });
    form_.ScrollBarMin[1][1].SetPosition(42);
    EXPECT_EQ(repaints, 1);
    form_.ScrollBarMin[1][1].SetPosition(42);
    EXPECT_EQ(repaints, 1);
}

// ---- Hidden controls.

TEST_F(FormCatalogue, HiddenControlsKeepValuesFromCodeAndRefuseTheUser) {
    form_.TXTSMS[11].SetText("kept");
    form_.iTXTSMS[78].SetText("OUT5 renamed");
    form_.PulseDsb[5].SetPosition(7);
    form_.CheckBoxD[2][7].SetChecked(false);
    EXPECT_EQ(form_.TXTSMS[11].Text(), "kept");
    EXPECT_EQ(form_.iTXTSMS[78].Text(), "OUT5 renamed");
    EXPECT_EQ(form_.PulseDsb[5].Position(), 7);
    EXPECT_EQ(form_.PulseD[5].Text(), "0");  // no behaviour: the hidden edit is not updated
    EXPECT_FALSE(form_.CheckBoxD[2][7].Checked());

    EXPECT_FALSE(form_.TXTSMS[11].userSetText("typed"));
    EXPECT_FALSE(form_.TXTSMSb[11].userClick());
    EXPECT_FALSE(form_.PulseDsb[5].userSetPosition(1));
    EXPECT_EQ(form_.TXTSMS[11].Text(), "kept");
    EXPECT_EQ(form_.PulseDsb[5].Position(), 7);
}

TEST_F(FormCatalogue, HiddenRowsOfTheTextPages) {
    for (int slot = 1; slot <= 54; ++slot) {
        const bool hidden = (slot >= 11 && slot <= 20) || slot == 47 || slot == 54;
        EXPECT_EQ(form_.TXTSMS[slot].Visible(), !hidden) << slot;
        EXPECT_EQ(form_.TXTSMSb[slot].Visible(), !hidden) << slot;
        EXPECT_EQ(form_.iTXTSMS[slot].Visible(), !hidden) << slot;
        EXPECT_EQ(form_.iTXTSMSb[slot].Visible(), !hidden) << slot;
    }
    for (int slot = 55; slot <= 78; ++slot) {
        const bool hidden = slot == 61 || slot == 68 || slot == 72 || slot == 73 || slot == 77 || slot == 78;
        EXPECT_EQ(form_.iTXTSMS[slot].Visible(), !hidden) << slot;
        EXPECT_EQ(form_.TXTSMSb[slot].Visible(), !hidden) << slot;
    }
}

}  // namespace
}  // namespace hx350
