// The window design: every control of the frame and of the thirteen pages with its design values.
#include <string>
#include <vector>

#include "app/form.h"
#include "app/uplink_rows.h"
#include "base/text.h"
#include "params/fields.h"
#include "params/runtime_counters.h"

namespace hx350 {

namespace {

// Row labels of the event slots 1..40 (five states per source) and the state column labels.
constexpr const char* kSourceRows[8] = {"Temp.Inp.1",   "Temp.Inp.2",   "Temp.Inp.3",   "Temp.Inp.4",
                                        "Analog.Inp.1", "Analog Inp.2", "Analog.Inp.3", "Analog Inp.4"};
constexpr const char* kStateColumns[5] = {"< MINIMUM2", "< MINIMUM1", "NORMAL", "> MAXIMUM1", "> MAXIMUM2"};

/// The label of event slot 1..54 ("Temp.Inp.2 < MINIMUM1", "Input 3 Event 0-1").
std::string eventSlotLabel(int slot) {
    if (slot <= 40) return std::string(kSourceRows[(slot - 1) / 5]) + " " + kStateColumns[(slot - 1) % 5];
    if (slot <= 47) return "Input " + decimal(slot - 40) + " Event 0-1";
    return "Input " + decimal(slot - 47) + " Event 1-0";
}

/// Whether event slot 1..54 is on a hidden row (temperature inputs 3 and 4, digital input 7).
bool eventSlotHidden(int slot) {
    return (slot >= 11 && slot <= 20) || slot == 47 || slot == 54;
}

/// Design text of the External SMS edit of slot 1..54.
std::string externalDesignText(int slot) {
    if (slot <= 40) {
        const bool temperature = slot <= 20;
        const int input = temperature ? (slot - 1) / 5 + 1 : (slot - 21) / 5 + 1;
        const int state = (slot - 1) % 5;
        static constexpr const char* kStates[5] = {"< MINIMUM2", "< MINIMUM1", "Normal", "> MAXIMUM1",
                                                   "> MAXIMUM2"};
        std::string text =
            (temperature ? "Temperature " : "Analog Input ") + decimal(input) + " " + kStates[state];
        // Three of the analog texts of the window design carry a trailing space.
        if (slot == 21 || slot == 22 || slot == 31) text += ' ';
        return text;
    }
    if (slot <= 47) return "Event INP" + decimal(slot - 40) + " 0-1";
    return "Event INP" + decimal(slot - 47) + " 1-0";
}

/// Grid cell of an event slot: slots 1..40 in rows of five, then the two event columns.
void eventSlotCell(int slot, int& row, int& column) {
    if (slot <= 40) {
        row = (slot - 1) / 5;
        column = 2 * ((slot - 1) % 5);
    } else if (slot <= 47) {
        row = 8 + slot - 41;
        column = 0;
    } else {
        row = 8 + slot - 48;
        column = 2;
    }
}

}  // namespace

/// Places controls into the registry, page by page and group by group, and sets their design values.
class TForm1::Builder {
  public:
    explicit Builder(ControlRegistry& registry) : registry_(registry) {}

    void page(int page) { page_ = page; }

    /// Opens a group on the current page; following controls and texts belong to it.
    void group(std::string id, std::string caption = {}) {
        registry_.addGroup({page_, id, std::move(caption), {}, {}});
        group_ = std::move(id);
    }
    /// Opens a group that is the named panel `panel`, and registers the panel.
    Panel& panelGroup(Panel& panel, const std::string& name, std::string caption = {}) {
        panel.SetCaption(caption);
        registry_.addGroup({page_, name, std::move(caption), name, {}});
        group_ = name;
        return place(panel, name, 0, 0, {});
    }
    /// A fixed descriptive text of the current group.
    void text(std::string text) { registry_.addText(page_, group_, std::move(text)); }

    template <class T>
    T& place(T& control, const std::string& name, int row, int column, std::string label) {
        control.setName(name);
        registry_.add(
            {name, control.kind(), page_, group_, row, column, std::move(label), {}, ControlRef{&control}});
        return control;
    }
    Memo& place(Memo& memo, int row, int column, std::string label) {
        registry_.add({memo.name(),
                       ControlKind::Memo,
                       page_,
                       group_,
                       row,
                       column,
                       std::move(label),
                       {},
                       ControlRef{&memo}});
        return memo;
    }

    Edit& edit(Edit& e, const std::string& name, int row, int column, std::string label,
               std::string_view text, std::size_t max_length, bool read_only = false) {
        place(e, name, row, column, std::move(label));
        e.SetText(text);
        e.SetMaxLength(max_length);
        e.SetReadOnly(read_only);
        return e;
    }
    Button& button(Button& b, const std::string& name, int row, int column, std::string caption,
                   std::string label = {}) {
        place(b, name, row, column, label.empty() ? caption : std::move(label));
        b.SetCaption(std::move(caption));
        return b;
    }
    CheckBox& check(CheckBox& c, const std::string& name, int row, int column, std::string caption,
                    bool checked, std::string label = {}) {
        place(c, name, row, column, label.empty() ? caption : std::move(label));
        c.SetCaption(std::move(caption));
        c.SetChecked(checked);
        return c;
    }
    RadioGroup& radio(RadioGroup& r, const std::string& name, int row, int column, std::string caption,
                      std::vector<std::string> items, int index) {
        place(r, name, row, column, caption);
        r.SetCaption(std::move(caption));
        r.SetItems(std::move(items));
        r.SetItemIndex(index);
        return r;
    }
    template <class Range>
    Range& range(Range& r, const std::string& name, int row, int column, std::string label, int min, int max,
                 int position) {
        place(r, name, row, column, std::move(label));
        r.SetRange(min, max);
        r.SetPosition(position);
        return r;
    }
    Label& label(Label& l, const std::string& name, int row, int column, std::string caption) {
        place(l, name, row, column, caption);
        l.SetCaption(std::move(caption));
        return l;
    }

  private:
    ControlRegistry& registry_;
    int page_ = kFramePage;
    std::string group_;
};

void TForm1::buildDesign() {
    registry_.reserve(768);  // a little over the design's controls, so the table is filled without regrowing
    Builder b(registry_);
    buildFrame(b);
    buildMainPage(b);
    buildAbonentsPage(b);
    buildTextPages(b);
    buildAnalogPage(b);
    buildTemperaturePage(b);
    buildSmsShedulePage(b);
    buildIOControlPage(b);
    buildOtherPage(b);
    buildGprsFtpPage(b);
    buildSerialPortPage(b);
    buildRunTimePage(b);
    wireHandlers();
    bindings_ = std::make_unique<SettingsBindings>(registry_);
}

void TForm1::buildFrame(Builder& b) {
    b.page(kFramePage);
    b.group("frame");
    b.place(PageControl1, "PageControl1", 0, 0, "Pages");
    PageControl1.SetPages(std::vector<std::string>(kPageCaptions.begin(), kPageCaptions.end()));
    PageControl1.SetActivePageIndex(kMainPage);
    b.place(MemoS, 1, 0, "Command sent");
    b.place(MemoSMSinput, 2, 0, "Received");
    b.place(MemoR, 3, 0, "MemoR").SetVisible(false);
    b.edit(Status, "Status", 4, 0, "Status", "Setting Mode", 0, true);
    b.button(ExitBtn, "ExitBtn", 5, 0, "Exit");
    b.button(TestBtn, "TestBtn", 5, 1, "Test");
    b.button(ClearBtn, "ClearBtn", 5, 2, "Clear");
    b.button(ConnectBtn, "ConnectBtn", 5, 3, "Connect");
    b.place(StatusBar1, "StatusBar1", 6, 0, "Status bar");
    b.place(MainMenu1, "MainMenu1", 7, 0, "Menu");
    b.place(File1, "File1", 7, 1, "File").SetCaption("File");
    b.place(Exit1, "Exit1", 7, 2, "Exit").SetCaption("Exit");
    b.place(Option1, "Option1", 7, 3, "Option").SetCaption("Option");
    b.place(SaveSetting1, "SaveSetting1", 7, 4, "Save Setting").SetCaption("Save Setting");
    MainMenu1.addMenu(File1, {&Exit1});
    MainMenu1.addMenu(Option1, {&SaveSetting1});
}

void TForm1::buildMainPage(Builder& b) {
    b.page(kMainPage);
    b.group("page");
    b.text("HX350 Nummer");
    b.text("Version. 25 SEP 2023");
    // The module's number until a settings file supplies one: an example international number.
    b.edit(BRnumber, "BRnumber", 0, 0, "HX350 Nummer", "+491701234567", 20);
    b.check(SMSmode, "SMSmode", 1, 0, "SMS mode", false);

    b.panelGroup(ATcommand, "ATcommand");
    b.button(ReadState, "ReadState", 0, 0, "Read Status");
    b.button(ReadAnalog, "ReadAnalog", 0, 1, "Read Analog");
    b.button(ReadTemperature, "ReadTemperature", 0, 2, "Temperature");
    b.button(ReadTH, "ReadTH", 0, 3, "Temp., Humidity").SetVisible(false);
    b.button(ReadAlevelBtn, "ReadAlevelBtn", 1, 0, "Analog Level");
    b.button(TemperatureLevelBtn, "TemperatureLevelBtn", 1, 1, "Temp.Level");
    b.button(Version, "Version", 1, 2, "Version number");
    b.button(GetDT, "GetDT", 2, 0, "Get Date/Time");
    b.button(SetDT, "SetDT", 2, 1, "Set Date/Time");
    b.button(SyncModem, "SyncModem", 2, 2, "Synchronize Modem Time").SetVisible(false);
    b.button(RestartModule, "RestartModule", 3, 0, "Restart HX350");
    b.button(Squality, "Squality", 3, 1, "Signal Quality");
    b.button(Button24, "Button24", 4, 0, "Read Counter");
    b.button(Button25, "Button25", 4, 1, "Clear Counters");
    b.button(SendSMScommand, "SendSMScommand", 5, 0, "Send SMS command");
    b.edit(SMScommand, "SMScommand", 5, 1, "SMS command", "", 0);
    b.edit(Hersteller, "Hersteller", 6, 1, "Manufacturer", "Hersteller", 0, true);
    b.edit(ModelIDCode, "ModelIDCode", 7, 1, "Model", "ModelIDCode", 0, true);
    b.edit(DateTime, "DateTime", 8, 1, "SIM status", "SIM status", 0, true);
    // Memo5 lies over the three phone edits and covers them while SMS mode is off.
    b.place(Memo5, 6, 1, "Memo5");
    b.edit(TimeZone, "TimeZone", 9, 1, "Time Zone", "+02", 3).SetVisible(false);
    b.check(DeleteSMS, "DeleteSMS", 10, 0, "Delete incoming SMS enable", true).SetVisible(false);
    b.button(GSMbandOpen, "GSMbandOpen", 11, 0, "GSM Band enable").SetVisible(false);
    b.button(ATcmdOpen, "ATcmdOpen", 11, 1, "AT Command enable").SetVisible(false);

    b.panelGroup(PanelAT, "PanelAT");
    b.text("AT command");
    b.edit(ATcmd, "ATcmd", 0, 0, "AT command", "AT", 0);
    b.button(SendAT, "SendAT", 0, 1, "Send");
    b.button(ctrlZbtn, "ctrlZbtn", 0, 2, "CtrlZ");

    b.panelGroup(PanelBand, "PanelBand", "0 - GSM 900MHz + DCS 1800MHz");
    b.text("GSM band");
    for (int n = 0; n <= 3; ++n)
        b.button(band[n], "band" + decimal(n), 0, n, decimal(n));
    b.button(SupportedBand, "SupportedBand", 1, 0, "Supported Band");
    b.button(CurrentBand, "CurrentBand", 1, 1, "Current Band");
}

void TForm1::buildAbonentsPage(Builder& b) {
    b.page(kAbonentsPage);
    b.group("Numbers", "Numbers");
    b.text(std::string(kAlarmNumbersCaption));
    b.text("(Numbers in EEPROM)");
    b.text(std::string(kPhoneBookNumbersCaption));
    b.text("(administration numbers)");
    for (int n = 1; n <= 7; ++n) {
        b.edit(NNumber[n], "NNumber" + decimal(n), n - 1, 0, "Nr" + decimal(n), "NNumber" + decimal(n), 20);
        b.edit(PBnr[n], "PBnr" + decimal(n), n - 1, 2, "Nr" + decimal(n), "PBnr" + decimal(n), 20);
    }
    std::vector<std::string> numbers;
    for (int n = 1; n <= 7; ++n)
        numbers.push_back(decimal(n));
    b.radio(RadioGroupNR, "RadioGroupNR", 0, 1, "Number", numbers, 0);
    b.radio(RadioGroupPB, "RadioGroupPB", 0, 3, "Number", numbers, 0);
    b.button(GetNr, "GetNr", 7, 0, "GETNR");
    b.button(SetNr, "SetNr", 7, 1, "SETNR");
    b.button(ClrNr, "ClrNr", 8, 0, "CLRNR");
    b.button(ToPhoneBook, "ToPhoneBook", 7, 2, "Number To SIM");
    b.button(ReadPB, "ReadPB", 8, 2, "Read Phone Book");

    // One line per source: the "Disable" box in column 0, then subscribers 4, 3, 2, 1.
    b.group("NumberMask", "Number Mask");
    for (const char* t : {"Temperature", "Analog", "Digital", "Disable", "4", "3", "2", "1"})
        b.text(t);
    const auto subscriberColumn = [](int k) { return 5 - k; };
    for (int j = 1; j <= 7; ++j) {
        const std::string source = "Digital Input " + decimal(j);
        const int row = j - 1;
        b.check(CheckBoxDdis[j], "CheckBoxD" + params::twoDigits(j) + "dis", row, 0, "", false,
                source + ", Disable");
        for (int k = 4; k >= 1; --k) {
            b.check(CheckBoxD[k][j], "CheckBoxD" + decimal(k) + params::twoDigits(j), row,
                    subscriberColumn(k), "", true, source + ", Nr" + decimal(k));
        }
        if (j == 7) {
            CheckBoxDdis[j].SetVisible(false);
            for (int k = 1; k <= 4; ++k)
                CheckBoxD[k][j].SetVisible(false);
        }
    }
    static constexpr const char* kTempSources[4] = {"Temperature 1", "Temperature 2", "Counter 1 (DI5)",
                                                    "Counter 2 (DI6)"};
    for (int j = 1; j <= 4; ++j) {
        const int row = 7 + j - 1;
        b.check(CheckBoxTdis[j], "CheckBoxT" + decimal(j) + "dis", row, 0, "", false,
                std::string(kTempSources[j - 1]) + ", Disable");
        for (int k = 4; k >= 1; --k) {
            b.check(CheckBoxT[k][j], "CheckBoxT" + decimal(k) + decimal(j), row, subscriberColumn(k), "",
                    false, std::string(kTempSources[j - 1]) + ", Nr" + decimal(k));
            // The counters' subscriber boxes are hidden; their "Disable" boxes are shown.
            if (j >= 3) CheckBoxT[k][j].SetVisible(false);
        }
    }
    for (int j = 1; j <= 4; ++j) {
        const std::string source = "Analog Input " + decimal(j);
        const int row = 11 + j - 1;
        b.check(CheckBoxAdis[j], "CheckBoxA" + decimal(j) + "dis", row, 0, "", false, source + ", Disable");
        for (int k = 4; k >= 1; --k) {
            b.check(CheckBoxA[k][j], "CheckBoxA" + decimal(k) + decimal(j), row, subscriberColumn(k), "",
                    true, source + ", Nr" + decimal(k));
        }
    }
    b.edit(TNrFilter, "TNrFilter", 15, 0, "Temperature", "FFFF", 4, true);
    b.edit(ANrFilter, "ANrFilter", 15, 1, "Analog", "FFFF", 4, true);
    b.edit(DNrFilter, "DNrFilter", 15, 2, "Digital", "FFFF-- ", 6, true);
    b.button(SetNfilter1, "SetNfilter1", 16, 0, "Set Numbers  Filter");
    for (const char* t :
         {"Mask for  Nr.5,6,7  see  Int. and Ext. SMS", "Example", "F SETOU1 RSTOU2",
          "where F - number filter for SMS message", "F - send SMS to  Nr5, Nr6, Nr7 and to internal control",
          "7 - send SMS to  Nr5, Nr6, Nr7"}) {
        b.text(t);
    }
}

void TForm1::buildTextPages(Builder& b) {
    // "External SMS": 54 event texts of 32 characters.
    b.page(kExternalSmsPage);
    b.group("texts");
    for (const char* t : kStateColumns)
        b.text(t);
    b.text("Event 0-1");
    b.text("Event 1-0");
    for (int slot = 1; slot <= 54; ++slot) {
        int row = 0;
        int column = 0;
        eventSlotCell(slot, row, column);
        const std::string label = eventSlotLabel(slot);
        b.edit(TXTSMS[slot], "TXTSMS" + decimal(slot), row, column, label, externalDesignText(slot), 32);
        b.button(TXTSMSb[slot], "TXTSMSb" + decimal(slot), row, column + 1, "WR", label);
        if (eventSlotHidden(slot)) {
            TXTSMS[slot].SetVisible(false);
            TXTSMSb[slot].SetVisible(false);
        }
    }
    b.check(GetText, "GetText", 15, 0, "Read", false);

    // "Int/Ext SMS": the same grid with short texts of 15 characters, empty in the design.
    b.page(kIntExtSmsPage);
    b.group("texts");
    for (const char* t :
         {"< MINIMUM", "< MINIMUM", "NORMAL", "> MAXIMUM", "> MAXIMUM", "Event 0-1", "Event 1-0"}) {
        b.text(t);
    }
    for (int slot = 1; slot <= 54; ++slot) {
        int row = 0;
        int column = 0;
        eventSlotCell(slot, row, column);
        const std::string label = eventSlotLabel(slot);
        b.edit(iTXTSMS[slot], "iTXTSMS" + decimal(slot), row, column, label, "", 15);
        b.button(iTXTSMSb[slot], "iTXTSMSb" + decimal(slot), row, column + 1, "WR", label);
        if (eventSlotHidden(slot)) {
            iTXTSMS[slot].SetVisible(false);
            iTXTSMSb[slot].SetVisible(false);
        }
    }
    b.check(iGetText, "iGetText", 15, 0, "Read", false);
    for (const char* t :
         {"Example", "F SETOU1 RSTOU2", "where F - number filter for SMS message",
          "F - send SMS to  Nr5, Nr6, Nr7 and to internal control", "7 - send SMS to  Nr5, Nr6, Nr7"}) {
        b.text(t);
    }

    // "IOname": names of the input and output states, slots 55..78.
    b.page(kIONamePage);
    const auto nameSlot = [&](int slot, int row, int column, const std::string& label,
                              const std::string& text, bool hidden) {
        b.edit(iTXTSMS[slot], "iTXTSMS" + decimal(slot), row, column, label, text, 15);
        b.button(TXTSMSb[slot], "TXTSMSb" + decimal(slot), row, column + 1, "WR", label);
        iTXTSMS[slot].SetVisible(!hidden);
        TXTSMSb[slot].SetVisible(!hidden);
    };
    b.group("inputs", "Digital Inputs Name");
    b.text("1");
    b.text("0");
    for (int i = 1; i <= 7; ++i) {
        nameSlot(54 + i, i - 1, 0, "Digital Input " + decimal(i) + " = 1", "INP" + decimal(i) + " 1", i == 7);
        nameSlot(61 + i, i - 1, 2, "Digital Input " + decimal(i) + " = 0", "INP" + decimal(i) + " 0", i == 7);
    }
    b.group("outputs", "Digital Outputs Name");
    b.text("ON");
    b.text("OFF");
    for (int o = 1; o <= 5; ++o) {
        nameSlot(68 + o, o - 1, 0, "Output " + decimal(o) + " ON", "OUT" + decimal(o) + " 1", o >= 4);
        nameSlot(73 + o, o - 1, 2, "Output " + decimal(o) + " OFF", "OUT" + decimal(o) + " 0", o >= 4);
    }
    b.group("page");
    b.check(nGetText, "nGetText", 0, 0, "Read", false);
}

void TForm1::buildAnalogPage(Builder& b) {
    b.page(kAnalogPage);
    b.panelGroup(Panel1, "Panel1");
    b.text("0%");
    b.text("99%");
    for (int n = 1; n <= 4; ++n) {
        const std::string input = "ANALOG INPUT " + decimal(n);
        b.text(input);
        const int top = (n - 1) * 5;
        struct Level {
            Family<Family<ScrollBar, 1, 2>, 1, 4>& bars;
            Family<Family<Edit, 1, 2>, 1, 4>& edits;
            const char* bar_prefix;
            const char* edit_prefix;
            int level;
            const char* caption;
        };
        const Level levels[4] = {
            {ScrollBarMax, Maxlv, "ScrollBarMax", "Maxlv", 2, "Maximum level 2"},
            {ScrollBarMax, Maxlv, "ScrollBarMax", "Maxlv", 1, "Maximum level 1"},
            {ScrollBarMin, Minlv, "ScrollBarMin", "Minlv", 1, "Minimum level 1"},
            {ScrollBarMin, Minlv, "ScrollBarMin", "Minlv", 2, "Minimum level 2"},
        };
        for (int i = 0; i < 4; ++i) {
            const Level& l = levels[i];
            const std::string label = input + " " + l.caption;
            const std::string suffix = decimal(n) + decimal(l.level);
            b.range(l.bars[n][l.level], l.bar_prefix + suffix, top + i, 0, label, 0, 99, 0);
            b.edit(l.edits[n][l.level], l.edit_prefix + suffix, top + i, 1, label, "0", 2, true);
        }
        b.button(LevelCmd[n], "Level" + decimal(n) + "Cmd", top + 4, 1, "WR", input);
    }

    b.panelGroup(Panel2, "Panel2");
    b.text("AN1234");
    b.radio(ReferenceLevelRadioBox1, "ReferenceLevelRadioBox1", 0, 0, "Ref.level", {"+2,56V", "+5V"}, 0);
    b.edit(AnalogKoeff, "AnalogKoeff", 1, 0, "Analog koefficient", "1111", 4);
    b.button(BtRefLevel, "BtRefLevel", 1, 1, "WR", "Ref.level and Analog koefficient");

    b.panelGroup(Panel3, "Panel3");
    for (const char* t :
         {"Analog Multiplier", "4-20mA mode", "Analog Multiplier for Extended Mode", "SMS External Mode"}) {
        b.text(t);
    }
    b.button(GETLV, "GETLV", 0, 0, "Read Analog Parameters");
    b.button(bReadAnalog, "bReadAnalog", 0, 1, "Read Analog");
    for (int n = 1; n <= 4; ++n) {
        const std::string label = "Analog Multiplier AN" + decimal(n);
        b.edit(ANmul[n], "AN" + decimal(n) + "mul", n, 0, label, "1000", 4);
        b.button(bANmul[n], "bAN" + decimal(n) + "mul", n, 1, "WR", label);
    }
    for (int n = 1; n <= 3; ++n) {
        b.check(AN_420[n], "AN" + decimal(n) + "_420", n, 2, "AN" + decimal(n), false,
                "4-20mA mode AN" + decimal(n));
        b.button(bAN_420[n], "bAN" + decimal(n) + "_420", n, 3, "WR", "4-20mA mode AN" + decimal(n));
    }
    Button* const ext_buttons[3] = {&Button29, &Button30, &Button31};
    for (int n = 1; n <= 3; ++n) {
        const std::string label = "Analog Multiplier for Extended Mode AN" + decimal(n);
        b.edit(ANmulSMS[n], "AN" + decimal(n) + "mulSMS", n, 4, label, "1000", 4);
        b.button(*ext_buttons[n - 1], "Button" + decimal(28 + n), n, 5, "WR", label);
    }
    b.button(Button32, "Button32", 4, 4, "ON", "SMS External Mode ON");
    b.button(Button33, "Button33", 4, 5, "OFF", "SMS External Mode OFF");

    b.group("shunt", "249 / 200 Om ");
    b.text("200 Om is checked");
    b.check(CheckBox7, "CheckBox7", 0, 0, "AN1", true, "Shunt AN1");
    b.check(CheckBox6, "CheckBox6", 1, 0, "AN2", true, "Shunt AN2");
    b.check(CheckBox5, "CheckBox5", 2, 0, "AN3", false, "Shunt AN3");
    static constexpr const char* kShunt[3] = {"200 Om", "200 Om", "249 Om"};
    for (int n = 1; n <= 3; ++n)
        b.label(ANmode200[n], "AN" + decimal(n) + "mode200", n - 1, 1, kShunt[n - 1]);
    b.button(Button34, "Button34", 3, 0, "WR", "Shunt choice");

    b.panelGroup(Panel14, "Panel14");
    b.text("Delay before measurement in 100ms  / Relay (Out.3) controlled sensor power");
    b.text("x 100 ms");
    const std::string delay = "Delay before measurement in 100ms";
    b.range(ScrollBarADelay, "ScrollBarADelay", 0, 0, delay, 0, 99, 0);
    b.edit(ADelay, "ADelay", 0, 1, delay, "00", 2, true);
    b.button(Button35, "Button35", 0, 2, "WR", delay);
}

void TForm1::buildTemperaturePage(Builder& b) {
    b.page(kTemperaturePage);
    b.panelGroup(Panel4, "Panel4");
    for (const char* t : {"TEMPERATURE", "(sensor Smartec SMT172)", "-099", "+149 C"})
        b.text(t);
    Button* const ok_buttons[4] = {&Button3, &Button4, &Button5, &Button6};
    for (int n = 1; n <= 4; ++n) {
        const std::string input = "TEMPERATURE INPUT " + decimal(n);
        b.text(input);
        const bool hidden = n >= 3;
        const int top = (n - 1) * 5;
        struct Level {
            Family<Family<ScrollBar, 1, 2>, 1, 4>& bars;
            Family<Family<Edit, 1, 2>, 1, 4>& edits;
            const char* bar_word;
            const char* edit_prefix;
            int level;
            const char* caption;
        };
        const Level levels[4] = {
            {ScrollBarTMax, tMaxlv, "Max", "tMaxlv", 2, "Maximum level 2"},
            {ScrollBarTMax, tMaxlv, "Max", "tMaxlv", 1, "Maximum level 1"},
            {ScrollBarTMin, tMinlv, "Min", "tMinlv", 1, "Minimum level 1"},
            {ScrollBarTMin, tMinlv, "Min", "tMinlv", 2, "Minimum level 2"},
        };
        for (int i = 0; i < 4; ++i) {
            const Level& l = levels[i];
            const std::string label = input + " " + l.caption;
            const std::string bar_name = "ScrollBarT" + decimal(n) + l.bar_word + decimal(l.level);
            b.range(l.bars[n][l.level], bar_name, top + i, 0, label, -99, 149, 0).SetVisible(!hidden);
            b.edit(l.edits[n][l.level], l.edit_prefix + decimal(n) + decimal(l.level), top + i, 1, label, "0",
                   4, true)
                .SetVisible(!hidden);
        }
        b.button(*ok_buttons[n - 1], "Button" + decimal(2 + n), top + 4, 1, "OK", input).SetVisible(!hidden);
    }

    b.group("page");
    b.text("COUNTERs (DI5, DI6)");
    b.button(bReadTemperature, "bReadTemperature", 0, 0, "Read Temperature");
    b.button(Button11, "Button11", 0, 1, "Temp.Level");
    b.button(Button2, "Button2", 1, 0, "Read Counter");
    b.button(Button1, "Button1", 1, 1, "Clear Counter 1 and 2");
    b.button(Button22, "Button22", 2, 0, "Clear Counter 1 ");
    b.button(Button23, "Button23", 2, 1, "Clear Counter 2");

    // Unit, range and format choices and the offsets: part of the design, never shown.
    b.group("hidden");
    b.check(CheckBox1, "CheckBox1", 0, 0, "Fahrenheit", false).SetVisible(false);
    b.check(Extended600, "Extended600", 0, 1, "Set Extended Range", false).SetVisible(false);
    b.button(CelsiusBtn, "CelsiusBtn", 1, 0, "Celsius").SetVisible(false);
    b.button(FahrenheitBtn, "FahrenheitBtn", 1, 1, "Fahrenheit").SetVisible(false);
    b.button(FormatBtn, "FormatBtn", 1, 2, "Format").SetVisible(false);
    b.place(FormatSelect, "FormatSelect", 2, 0, "Format");
    FormatSelect.SetItems({"Degree C  / . / ,", "Degree C  / , / ;"});
    FormatSelect.SetVisible(false);
    for (int n = 1; n <= 4; ++n) {
        // The first offset pair is spelled with a capital O in the window design.
        const std::string bar_name = n == 1 ? "sbTOffs1" : "sbToffs" + decimal(n);
        const std::string edit_name = n == 1 ? "TOffs1" : "Toffs" + decimal(n);
        const std::string label = "Temperature offset " + decimal(n);
        b.range(sbToffs[n], bar_name, 2 + n, 0, label, 0, 99, 0).SetVisible(false);
        b.edit(Toffs[n], edit_name, 2 + n, 1, label, "00", 2, true).SetVisible(false);
    }
    b.button(GETTO, "GETTO", 7, 0, "GETTO").SetVisible(false);
    b.button(SETTO, "SETTO", 7, 1, "SETTO").SetVisible(false);
}

void TForm1::buildSmsShedulePage(Builder& b) {
    b.page(kSmsShedulePage);
    b.group("page");
    b.radio(SMSShed, "SMSShed", 0, 0, "SMS Type",
            {"Analog", "Temperature", "Counter", "Data Logger", "Disable"}, 0);
    b.radio(RadioGroup1, "RadioGroup1", 0, 1, "Timeout", {"Hours", "10 min", "20 min", "30 min", "other"}, 0);
    std::string scale;
    for (int h = 0; h <= 23; ++h)
        scale += (h == 0 ? "" : " ") + decimal(h);
    b.label(HourLine, "HourLine", 1, 0, scale);
    for (int k = 1; k <= 4; ++k) {
        b.range(TrackBar[k], "TrackBar" + decimal(k), 1 + k, 0, "Send hour " + decimal(k), 0, 23, 0);
        b.check(CheckBoxS[k], "CheckBoxS" + decimal(k), 1 + k, 1, "Enable", false,
                "Enable send hour " + decimal(k));
    }
    b.button(GetShedule, "GetShedule", 6, 0, "GET");
    b.button(SetShedule, "SetShedule", 6, 1, "SET");

    b.group("numbers", "SMS To Numeers");
    b.text("Number 3   2   1");
    b.check(CheckBox2, "CheckBox2", 0, 0, "", false, "Number 3");
    b.check(CheckBox3, "CheckBox3", 0, 1, "", false, "Number 2");
    b.check(CheckBox4, "CheckBox4", 0, 2, "Select numbers for Shedule SMS", true, "Number 1");
    b.button(Button28, "Button28", 1, 0, "Write", "Write numbers for Shedule SMS");
}

void TForm1::buildIOControlPage(Builder& b) {
    b.page(kIOControlPage);
    b.panelGroup(Events02, "Events02");
    b.text("Output Pulse or Latch mode");
    b.text("Data Logger parameter");
    for (int n = 1; n <= 5; ++n) {
        const std::string label = "Output " + decimal(n) + " pulse ";
        b.range(PulseDsb[n], "PulseDsb" + decimal(n), n - 1, 0, label, 0, 9, 0).SetVisible(n <= 3);
        b.edit(PulseD[n], "PulseD" + decimal(n), n - 1, 1, label, "0", 2, true).SetVisible(n <= 3);
    }
    b.button(SetPulse, "SetPulse", 5, 0, "Set  Parameter");
    b.range(SRateSB, "SRateSB", 6, 0, "Sampling Rate", 0, 9, 0);
    b.edit(SRate, "SRate", 6, 1, "Sampling Rate", "0", 1, true);
    b.button(bSRate, "bSRate", 6, 2, "WR", "Sampling Rate");
    b.text("Data Logger ");
    b.range(DLoggerTmSB, "DLoggerTmSB", 7, 0, "Period", 1, 9, 1);
    b.edit(DLoggerTm, "DLoggerTm", 7, 1, "Period", "0", 1, true);
    b.button(bDLperiod, "bDLperiod", 7, 2, "WR", "Period");

    b.group("outputs", "Outputs Control");
    for (int n = 1; n <= 5; ++n) {
        const bool shown = n <= 3;
        const std::string out = "Out" + decimal(n);
        b.edit(Output[n], "Output" + decimal(n), n - 1, 0, "Output " + decimal(n), "OFF", 3, true)
            .SetVisible(shown);
        b.button(SetOut[n], "SetOut" + decimal(n), n - 1, 1, out + " ON").SetVisible(shown);
        b.button(ResetOut[n], "ResetOut" + decimal(n), n - 1, 2, out + " OFF").SetVisible(shown);
        b.button(GetOut[n], "GetOut" + decimal(n), n - 1, 3, "Get " + out).SetVisible(shown);
    }
    b.button(GetOutState, "GetOutState", 5, 0, "Get All Output Text State");
    b.edit(OutputBin, "OutputBin", 6, 0, "OUTPUT parallel =", "000", 5).SetVisible(false);

    b.group("inputs", "Inputs State");
    for (int n = 1; n <= 7; ++n)
        b.button(GetInp[n], "GetInp" + decimal(n), n - 1, 0, "Get Inp" + decimal(n)).SetVisible(n <= 6);
    b.button(GetAllInput, "GetAllInput", 7, 0, "Get All Input Text State");
}

void TForm1::buildOtherPage(Builder& b) {
    b.page(kOtherPage);
    b.group("page");
    b.edit(MinusMark, "MinusMark", 0, 0, "Minus Mark - for out of limits (default M)", "M", 1);
    b.edit(PlusMark, "PlusMark", 1, 0, "Plus Mark - for out of limits (default P)", "P", 1);
    struct Option {
        const char* caption;
        bool checked;
    };
    static constexpr Option kOptions[13] = {
        {"Answer SMS for Setou and Rstou SMS command  enable (default enable) ", true},
        {"GPRS or FTP error SMS Message enable (default disable)", false},
        {"Store Outputs State after Restart enable (default enable)", true},
        {"Auto Restart if (GPRS Error) enable (default enable)", true},
        {"Digital Input Inversion enable (default disable)", false},
        {"GPRS attach error SMS Message enable (default disable)", false},
        {"IO Status in Alarm SMS enable (default disable)", false},
        {"Date/Time in Alarm SMS enable (default enable)", true},
        {"Year in data-logger file enable (default enable)", true},
        {"Repeat alarm SMS if error (default disable)", false},
        {"Interrupt after RING enable (default disable)", false},
        {"Restart in 23.30 enable (default disable)", false},
        {"Data Logger Line to RS232 enable (default enable)", true},
    };
    for (int n = 3; n <= 15; ++n) {
        const Option& o = kOptions[n - 3];
        b.check(oCheckBox[n], "oCheckBox" + decimal(n), n - 1, 0, o.caption, o.checked);
    }
    b.button(GetOther, "GetOther", 15, 0, "GET");
    b.button(SetOther, "SetOther", 15, 1, "SET");
    b.edit(StringStr1, "StringStr1", 16, 0, "Option mask", "MPEDEEDDDEEDDDE", 16, true);

    b.group("filters", "Timeout Filter");
    struct Filter {
        ScrollBar& bar;
        Edit& edit;
        const char* name;
        const char* label;
        int max;
    };
    const Filter filters[5] = {
        {TTimeout1SB, TTimeout1, "TTimeout1", "Temp. Timeout Filter 1", 99},
        {ATimeout1SB, ATimeout1, "ATimeout1", "Analog Timeout Filter 1", 99},
        {TTimeout2SB, TTimeout2, "TTimeout2", "Temp. Timeout Filter 2", 99},
        {ATimeout2SB, ATimeout2, "ATimeout2", "Analog Timeout Filter 2", 99},
        {DFilterSB, DFilter, "DFilter", "Digital Input Signal Filter", 9},
    };
    for (int i = 0; i < 5; ++i) {
        const Filter& f = filters[i];
        b.range(f.bar, std::string(f.name) + "SB", i, 0, f.label, 0, f.max, 0);
        b.edit(f.edit, f.name, i, 1, f.label, "0", f.max > 9 ? 2 : 1, true);
    }
    b.button(Button19, "Button19", 5, 0, "Set Timeout Filter");

    b.group("restart");
    b.check(RestartEnable, "RestartEnable", 0, 0, "Restart Enable", false);
    b.button(Button14, "Button14", 0, 1, "WR", "Restart Enable");
}

void TForm1::buildGprsFtpPage(Builder& b) {
    b.page(kGprsFtpPage);
    std::string_view group;
    int row = 0;
    for (const UplinkRow& r : kUplinkRows) {
        if (r.group != group) {
            group = r.group;
            b.group(std::string(group), std::string(group));
            row = 0;
        }
        const std::string label(r.label);
        b.edit(this->*r.edit, std::string(r.edit_name), row, 0, label, r.design_text, r.max_length);
        b.button(this->*r.button, std::string(r.button_name), row, 1, "WR", label);
        ++row;
    }
    b.range(MaxErrorScrollBar, "MaxErrorScrollBar", 2, 0, "Max Error Level", 0, 99, 4);
    b.edit(MaxError, "MaxError", 2, 1, "Max Error Level", "4", 2, true);
    b.button(MaxErrorLevel, "MaxErrorLevel", 2, 2, "WR", "Max Error Level");

    b.group("logger", "Data Logger Parameters");
    b.text("0: 1min 1: 2min 2: 3min 3: 4min 4: 5min 5: 6min 6: 7min 7: 8min 8: 9min 9: 10min");
    b.text("1: 1 line 2: 2 lines 3: 4 lines 4: 8 lines ... 9: 256 lines");
    b.text("1 if HTTP mode");
    b.range(sRateDL, "sRateDL", 0, 0, "Sampling Rate", 0, 9, 0);
    b.edit(sRateDLeb, "sRateDLeb", 0, 1, "Sampling Rate", "0", 1, true);
    b.button(Button9, "Button9", 0, 2, "WR", "Sampling Rate");
    b.range(sDLperiodDL, "sDLperiodDL", 1, 0, "Rows in file", 1, 9, 1);
    b.edit(DLPeriodEB, "DLPeriodEB", 1, 1, "Rows in file", "1", 1, true);
    b.button(Button10, "Button10", 1, 2, "WR", "Rows in file");

    b.group("page");
    b.check(ReadGPRS1, "ReadGPRS1", 0, 0, "Read ", false);
}

void TForm1::buildSerialPortPage(Builder& b) {
    b.page(kSerialPortPage);
    b.group("page");
    std::vector<std::string> ports;
    for (int n = 1; n <= 16; ++n)
        ports.push_back("Com" + decimal(n));
    b.radio(RadioGroupPort, "RadioGroupPort", 0, 0, "Com Port ", ports, 0);
    b.radio(RadioGroupRate, "RadioGroupRate", 0, 1, "Baud Rate",
            {"9600", "19200", "38400", "57600", "115200"}, 1);
    b.check(SkipCRLFcb, "SkipCRLFcb", 1, 0, "Skip CR/LF", false);
    b.range(TrackBar5, "TrackBar5", 2, 0, "Wait SMS Timeout (ms)", 0, 99999, 0);
    b.edit(Edit1, "Edit1", 2, 1, "Wait SMS Timeout (ms)", "0", 5, true);
    b.place(MemoPorts, 0, 2, "Devices behind the port numbers");
    b.check(PromptAnswers, "PromptAnswers", 3, 0, "Show answers as soon as they arrive", false);
}

void TForm1::buildRunTimePage(Builder& b) {
    b.page(kRunTimePage);
    b.group("page");
    b.text("RunTime  / Pulse Mode");
    b.button(Button26, "Button26", 0, 0, "Counter SMS format C");
    b.button(Button27, "Button27", 0, 1, "Counter SMS format F");
    struct Mode {
        Panel& panel;
        const char* panel_name;
        Button& button;
        const char* button_name;
    };
    // Panel k shows run-time mode k (0..7), its two counters labelled as the mode sets them.
    const Mode modes[8] = {
        {Panel6, "Panel6", Button12, "Button12"},   {Panel7, "Panel7", Button13, "Button13"},
        {Panel8, "Panel8", Button15, "Button15"},   {Panel9, "Panel9", Button16, "Button16"},
        {Panel10, "Panel10", Button17, "Button17"}, {Panel11, "Panel11", Button18, "Button18"},
        {Panel12, "Panel12", Button20, "Button20"}, {Panel13, "Panel13", Button21, "Button21"},
    };
    for (int mode = 0; mode < 8; ++mode) {
        const Mode& m = modes[mode];
        const std::string counter1 = params::counterModeLabel(1, mode);
        const std::string counter2 = params::counterModeLabel(2, mode);
        b.panelGroup(m.panel, m.panel_name);
        b.text(counter1);
        b.text(counter2);
        b.button(m.button, m.button_name, 0, 0, "Write",
                 std::string("Write ").append(counter1).append(", ").append(counter2));
    }
}

}  // namespace hx350
