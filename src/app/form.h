// TForm1, the headless main window: every control of the window frame and of the thirteen pages, under
// the names of the window design, grouped by page, with the design values (texts, captions, ranges, edit
// limits, check states, selections, visibility), and the handlers the controls are wired to.
//
// Families are arrays indexed like their names: NNumber[3] is NNumber3, TXTSMSb[7] is TXTSMSb7,
// ScrollBarMin[1][2] is ScrollBarMin12, CheckBoxD[4][7] is CheckBoxD407. A family of handlers that differ
// only by a number is one member function taking that number (TXTSMSbClick(7) is what TXTSMSb7Click
// does); the registry records the per-control handler name so that "TXTSMSb7Click" stays findable.
//
// Hidden controls exist with their design values and keep whatever values code gives them, but nothing
// shows them and they carry no behaviour: no handler is wired to them (the threshold sliders of the
// temperature inputs 3 and 4 are the one exception: they display their positions like inputs 1 and 2).
//
// The window layer iterates registry().groups() and registry().entries() to build its pages, sets each
// widget's object name from ControlEntry::name, and binds the widget to ControlEntry::ref.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <variant>

#include "app/control_registry.h"
#include "app/controls.h"
#include "base/memo.h"

namespace hx350 {

/// The pages of PageControl1, in tab order.
enum PageIndex : int {
    kMainPage = 0,
    kAbonentsPage,
    kExternalSmsPage,
    kIntExtSmsPage,
    kIONamePage,
    kAnalogPage,
    kTemperaturePage,
    kSmsShedulePage,
    kIOControlPage,
    kOtherPage,
    kGprsFtpPage,
    kSerialPortPage,
    kRunTimePage,
    kPageCount
};

/// Tab captions, in tab order.
inline constexpr std::array<std::string_view, kPageCount> kPageCaptions{
    "Main",        "Abonents",   "External SMS", "Int/Ext SMS", "IOname",      "Analog", "Temperature",
    "SMS Shedule", "IO control", "Other",        "GPRS, FTP",   "Serial Port", "RunTime"};
/// The pages' own names (TabSheet1..TabSheet13), in tab order.
inline constexpr std::array<std::string_view, kPageCount> kPageNames{
    "TabSheet1", "TabSheet2", "TabSheet3",  "TabSheet4",  "TabSheet5",  "TabSheet6", "TabSheet7",
    "TabSheet8", "TabSheet9", "TabSheet10", "TabSheet11", "TabSheet12", "TabSheet13"};

/// The window frame around the pages.
struct FrameControls {
    PageControl PageControl1;
    Memo MemoS{"MemoS"};
    Memo MemoSMSinput{"MemoSMSinput"};
    Memo MemoR{"MemoR"};  ///< hidden, never filled
    Edit Status;
    Button ExitBtn, TestBtn, ClearBtn, ConnectBtn;
    StatusBar StatusBar1;
    MainMenu MainMenu1;
    MenuItem File1, Exit1, Option1, SaveSetting1;  ///< "File" > "Exit", "Option" > "Save Setting"
};

/// Page "Main".
struct MainPageControls {
    Edit BRnumber;
    CheckBox SMSmode;
    Panel ATcommand;
    Button ReadState, ReadAnalog, ReadTemperature, ReadTH, ReadAlevelBtn, Version, GetDT, SetDT, SyncModem,
        RestartModule, Squality, TemperatureLevelBtn, SendSMScommand, Button24, Button25, GSMbandOpen,
        ATcmdOpen;
    Edit SMScommand, Hersteller, ModelIDCode, DateTime, TimeZone;
    Memo Memo5{"Memo5"};
    CheckBox DeleteSMS;
    Panel PanelAT;
    Edit ATcmd;
    Button SendAT, ctrlZbtn;
    Panel PanelBand;
    Family<Button, 0, 3> band;  ///< band0..band3
    Button SupportedBand, CurrentBand;
};

/// Page "Abonents": numbers and the number mask grid.
struct AbonentsPageControls {
    Family<Edit, 1, 7> NNumber;
    Family<Edit, 1, 7> PBnr;
    RadioGroup RadioGroupNR, RadioGroupPB;
    Button GetNr, SetNr, ClrNr, ToPhoneBook, ReadPB;
    /// CheckBoxD[k][j] is CheckBoxDk0j: subscriber k (1..4) of digital input j (1..7).
    Family<Family<CheckBox, 1, 7>, 1, 4> CheckBoxD;
    /// CheckBoxT[k][j] / CheckBoxA[k][j] are CheckBoxTkj / CheckBoxAkj: subscriber k of source j.
    Family<Family<CheckBox, 1, 4>, 1, 4> CheckBoxT, CheckBoxA;
    Family<CheckBox, 1, 7> CheckBoxDdis;  ///< CheckBoxD01dis..CheckBoxD07dis
    Family<CheckBox, 1, 4> CheckBoxTdis;  ///< CheckBoxT1dis..CheckBoxT4dis
    Family<CheckBox, 1, 4> CheckBoxAdis;  ///< CheckBoxA1dis..CheckBoxA4dis
    Edit TNrFilter, ANrFilter, DNrFilter;
    Button SetNfilter1;
};

/// Pages "External SMS", "Int/Ext SMS" and "IOname": the text slots.
struct TextPagesControls {
    Family<Edit, 1, 54> TXTSMS;     ///< External SMS
    Family<Button, 1, 78> TXTSMSb;  ///< 1..54 on External SMS, 55..78 on IOname
    CheckBox GetText;
    Family<Edit, 1, 78> iTXTSMS;  ///< 1..54 on Int/Ext SMS, 55..78 on IOname
    Family<Button, 1, 54> iTXTSMSb;
    CheckBox iGetText;
    CheckBox nGetText;
};

/// Page "Analog".
struct AnalogPageControls {
    Panel Panel1;
    /// ScrollBarMax[n][k] is ScrollBarMaxnk (input n, level k); the same for Min and the edits.
    Family<Family<ScrollBar, 1, 2>, 1, 4> ScrollBarMax, ScrollBarMin;
    Family<Family<Edit, 1, 2>, 1, 4> Maxlv, Minlv;
    Family<Button, 1, 4> LevelCmd;  ///< Level1Cmd..Level4Cmd
    Panel Panel2;
    RadioGroup ReferenceLevelRadioBox1;
    Edit AnalogKoeff;
    Button BtRefLevel;
    Panel Panel3;
    Button GETLV, bReadAnalog;
    Family<Edit, 1, 4> ANmul;       ///< AN1mul..AN4mul
    Family<Button, 1, 4> bANmul;    ///< bAN1mul..bAN4mul
    Family<CheckBox, 1, 3> AN_420;  ///< AN1_420..AN3_420
    Family<Button, 1, 3> bAN_420;   ///< bAN1_420..bAN3_420
    Family<Edit, 1, 3> ANmulSMS;    ///< AN1mulSMS..AN3mulSMS
    Button Button29, Button30, Button31, Button32, Button33;
    CheckBox CheckBox5, CheckBox6, CheckBox7;  ///< shunt of AN3, AN2, AN1
    Family<Label, 1, 3> ANmode200;             ///< AN1mode200..AN3mode200
    Button Button34;
    Panel Panel14;
    ScrollBar ScrollBarADelay;
    Edit ADelay;
    Button Button35;
};

/// Page "Temperature".
struct TemperaturePageControls {
    Panel Panel4;
    /// ScrollBarTMax[n][k] is ScrollBarTnMaxk (input n, level k); the edits are tMaxlvnk / tMinlvnk.
    Family<Family<ScrollBar, 1, 2>, 1, 4> ScrollBarTMax, ScrollBarTMin;
    Family<Family<Edit, 1, 2>, 1, 4> tMaxlv, tMinlv;
    Button Button3, Button4, Button5, Button6;  ///< "OK" of inputs 1..4
    Button bReadTemperature, Button11, Button2, Button1, Button22, Button23;
    // Hidden and without behaviour: unit, range and format choices and the temperature offsets.
    CheckBox CheckBox1, Extended600;
    Button CelsiusBtn, FahrenheitBtn, FormatBtn;
    ListBox FormatSelect;
    Family<ScrollBar, 1, 4> sbToffs;  ///< sbTOffs1, sbToffs2, sbToffs3, sbToffs4
    Family<Edit, 1, 4> Toffs;         ///< TOffs1, Toffs2, Toffs3, Toffs4
    Button GETTO, SETTO;
};

/// Page "SMS Shedule".
struct SmsShedulePageControls {
    RadioGroup SMSShed, RadioGroup1;
    Family<hx350::TrackBar, 1, 4> TrackBar;  ///< TrackBar1..TrackBar4, one per send hour
    Family<CheckBox, 1, 4> CheckBoxS;        ///< CheckBoxS1..CheckBoxS4 ("Enable")
    Label HourLine;
    Button GetShedule, SetShedule;
    CheckBox CheckBox2, CheckBox3, CheckBox4;  ///< numbers 3, 2, 1
    Button Button28;
};

/// Page "IO control".
struct IOControlPageControls {
    Panel Events02;
    Family<ScrollBar, 1, 5> PulseDsb;
    Family<Edit, 1, 5> PulseD;
    Button SetPulse;
    ScrollBar SRateSB, DLoggerTmSB;
    Edit SRate, DLoggerTm;
    Button bSRate, bDLperiod;
    Family<Edit, 1, 5> Output;
    Family<Button, 1, 5> SetOut, ResetOut, GetOut;
    Button GetOutState;
    Edit OutputBin;
    Family<Button, 1, 7> GetInp;
    Button GetAllInput;
};

/// Page "Other".
struct OtherPageControls {
    Edit MinusMark, PlusMark;
    Family<CheckBox, 3, 15> oCheckBox;  ///< oCheckBox3..oCheckBox15: option N is mask character N
    Button GetOther, SetOther;
    Edit StringStr1;
    ScrollBar TTimeout1SB, ATimeout1SB, TTimeout2SB, ATimeout2SB, DFilterSB;
    Edit TTimeout1, ATimeout1, TTimeout2, ATimeout2, DFilter;
    Button Button19;
    CheckBox RestartEnable;
    Button Button14;
};

/// Page "GPRS, FTP".
struct GprsFtpPageControls {
    Edit APN, UserID, Password, IPaddress, FTPHostName, UserNameFTP, PasswordFTP, DirName, HTTPhostName,
        HTTPhostName2;
    Button APNbtn, UIDbtn, PWbtn, IPbtn, FTPHostNamebtn, UNbtn, FPWbtn, DirNameBtn, HTTPhostBtn, HTTPhostBtn2;
    ScrollBar MaxErrorScrollBar;
    Edit MaxError;
    Button MaxErrorLevel;
    ScrollBar sRateDL;
    Edit sRateDLeb;
    Button Button9;
    ScrollBar sDLperiodDL;
    Edit DLPeriodEB;
    Button Button10;
    CheckBox ReadGPRS1;
};

/// Page "Serial Port".
struct SerialPortPageControls {
    RadioGroup RadioGroupPort, RadioGroupRate;
    CheckBox SkipCRLFcb;
    hx350::TrackBar TrackBar5;
    Edit Edit1;
};

/// Page "RunTime".
struct RunTimePageControls {
    Panel Panel6, Panel7, Panel8, Panel9, Panel10, Panel11, Panel12, Panel13;
    Button Button12, Button13, Button15, Button16, Button17, Button18, Button20, Button21, Button26, Button27;
};

class TForm1 : public FrameControls,
               public MainPageControls,
               public AbonentsPageControls,
               public TextPagesControls,
               public AnalogPageControls,
               public TemperaturePageControls,
               public SmsShedulePageControls,
               public IOControlPageControls,
               public OtherPageControls,
               public GprsFtpPageControls,
               public SerialPortPageControls,
               public RunTimePageControls {
  public:
    /// Builds every control with its design values and wires the handlers. Runs no handler and touches
    /// nothing outside the form.
    TForm1();
    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;
    virtual ~TForm1() = default;

    /// The window caption.
    static constexpr std::string_view kCaption = "HX350";

    /// Every control with its page, kind, placement hints and handler name.
    const ControlRegistry& registry() const { return registry_; }
    /// The entry of control `name` ("TXTSMSb7"), or nullptr for an unknown name.
    const ControlEntry* find(std::string_view name) const { return registry_.find(name); }
    /// Control `name` as type T (Edit, CheckBox, ..., Memo), or nullptr when there is no such control or
    /// it is of another kind.
    template <class T>
    T* find(std::string_view name) const {
        const ControlEntry* entry = registry_.find(name);
        if (entry == nullptr) return nullptr;
        T* const* ref = std::get_if<T*>(&entry->ref);
        return ref == nullptr ? nullptr : *ref;
    }

    /// Called with the handler's name ("TXTSMSb7Click") each time a wired handler runs, before it runs.
    /// For diagnostics and tests; empty by default.
    void setHandlerTrace(std::function<void(std::string_view)> trace) { trace_ = std::move(trace); }

    // ---- Handlers of the frame, the Main page and the Serial Port page.
    void PageControl1Change();
    void ExitBtnClick();
    void TestBtnClick();
    void ClearBtnClick();
    void ConnectBtnClick();
    void SaveSetting1Click();
    void SendSMScommandClick();
    void SqualityClick();
    void SMSmodeClick();
    void InitPort();
    void SkipCRLFcbClick();
    void TrackBar5Change();

    // ---- Module status, outputs and inputs (Main and IO control pages).
    void ReadStateClick();
    void ReadAnalogClick();
    void ReadTemperatureClick();
    void TemperatureLevelBtnClick();
    void ReadAlevelBtnClick();
    void RestartModuleClick();
    void VersionClick();
    void GetDTClick();
    void SetDTClick();
    void Button2Click();
    void ClearCounter12Click();
    void SetPulseClick();
    void bSRateClick();
    void bDLperiodClick();
    void SRateSBChange();
    void DLoggerTmSBChange();
    void PulseDsbChange(int output);  ///< PulseDsb1Change..PulseDsb3Change
    void SetOutClick(int output);     ///< SetOut1Click..SetOut3Click
    void ResetOutClick(int output);   ///< ResetOut1Click..ResetOut3Click
    void GetOutClick(int output);     ///< GetOut1Click..GetOut3Click
    void GetOutStateClick();
    void GetInpClick(int input);  ///< GetInp1Click..GetInp6Click
    void GetAllInputClick();

    // ---- Subscriber numbers, phone book and event masks (Abonents page).
    void GetNrClick();
    void SetNrClick();
    void ClrNrClick();
    void ToPhoneBookClick();
    void ReadPBClick();
    void SetNfilter1Click();
    void CheckBoxTClick(int subscriber, int source);  ///< CheckBoxTkjClick
    void CheckBoxAClick(int subscriber, int source);  ///< CheckBoxAkjClick
    void CheckBoxDClick(int subscriber, int input);   ///< CheckBoxDk0jClick
    void CheckBoxTdisClick(int source);               ///< CheckBoxTjdisClick
    void CheckBoxAdisClick(int source);               ///< CheckBoxAjdisClick
    void CheckBoxDdisClick(int input);                ///< CheckBoxD0jdisClick

    // ---- Event texts and IO names.
    void TXTSMSbClick(int slot);   ///< TXTSMSb1Click..TXTSMSb54Click, TXTSMSb58Click..TXTSMSb78Click
    void iTXTSMSbClick(int slot);  ///< iTXTSMSb1Click..iTXTSMSb57Click
    void GetTextClick();
    void iGetTextClick();
    void nGetTextClick();

    // ---- Analog page.
    void ScrollBarMaxChange(int input, int level);  ///< ScrollBarMax11Change..ScrollBarMax42Change
    void ScrollBarMinChange(int input, int level);  ///< ScrollBarMin11Change..ScrollBarMin42Change
    void LevelCmdClick(int input);                  ///< Level1CmdClick..Level4CmdClick
    void AddKoeffClick();
    void bANmulClick(int input);   ///< bAN1mulClick..bAN4mulClick
    void bAN_420Click(int input);  ///< bAN1_420click, bAN2_420Click, bAN3_420Click
    void Button29Click();
    void Button30Click();
    void Button31Click();
    void Button32Click();
    void Button33Click();
    void Button34Click();
    void Button35Click();
    void GETLVClick();
    void CheckBox5Click();
    void CheckBox6Click();
    void CheckBox7Click();
    void ScrollBarADelayChange();

    // ---- Temperature page.
    void ScrollBarTMaxChange(int input, int level);  ///< ScrollBarT1Max1Change..ScrollBarT4Max2Change
    void ScrollBarTMinChange(int input, int level);  ///< ScrollBarT1Min1Change..ScrollBarT4Min2Change
    void TlevelCmdClick(int input);                  ///< Tlevel1CmdClick..Tlevel4CmdClick
    void ClearCounter1Click();
    void ClearCounter2Click();

    // ---- SMS Shedule page.
    void GetSheduleClick();
    void SetSheduleClick();
    void TrackBarChange(int hour_slot);  ///< TrackBar1Change..TrackBar4Change
    void CheckBoxSClick(int hour_slot);  ///< CheckBoxS1Click..CheckBoxS4Click
    void RadioGroup1Click();
    void SMSShedClick();
    void CheckBox2Click();
    void CheckBox3Click();
    void CheckBox4Click();
    void Button28Click();

    // ---- Other page.
    void GetOtherClick();
    void SetOtherClick();
    void oCheckBoxClick(int option);  ///< oCheckBox3Click..oCheckBox15Click
    void MinusMarkChange();
    void PlusMarkChange();
    void Button19Click();
    void RestertEnableClick();
    void TTimeout1SBChange();
    void TTimeout2SBChange();
    void ATimeout1SBChange();
    void ATimeout2SBChange();
    void DFilterSBChange();

    // ---- GPRS, FTP page.
    void APNbtnClick();
    void UIDbtnClick();
    void PWbtnClick();
    void IPbtnClick();
    void FTPHostNamebtnClick();
    void UNbtnClick();
    void FPWbtnClick();
    void DirNameBtnClick();
    void HTTPhostBtnClick();
    void HTTPhostBtn2Click();
    void MaxErrorClick();
    void MaxErrorSB();
    void sRateDLChange();
    void sDLperiodDLChange();
    void ReadGPRS1Click();

    // ---- RunTime page.
    void Button12Click();
    void Button13Click();
    void Button15Click();
    void Button16Click();
    void Button17Click();
    void Button18Click();
    void Button20Click();
    void Button21Click();
    void Button26Click();
    void Button27Click();

  private:
    class Builder;
    void buildFrame(Builder& b);
    void buildMainPage(Builder& b);
    void buildAbonentsPage(Builder& b);
    void buildTextPages(Builder& b);
    void buildAnalogPage(Builder& b);
    void buildTemperaturePage(Builder& b);
    void buildSmsShedulePage(Builder& b);
    void buildIOControlPage(Builder& b);
    void buildOtherPage(Builder& b);
    void buildGprsFtpPage(Builder& b);
    void buildSerialPortPage(Builder& b);
    void buildRunTimePage(Builder& b);
    void wireHandlers();

    /// Wires `control`'s click (buttons, check boxes, radio groups, menu items) or change (edits, scroll
    /// bars, track bars, the page control) to `body`, recorded under `handler`.
    template <class C>
    void wire(C& control, std::string handler, std::function<void()> body);

    ControlRegistry registry_;
    std::function<void(std::string_view)> trace_;
};

}  // namespace hx350
