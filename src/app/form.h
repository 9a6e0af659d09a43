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
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "app/control_registry.h"
#include "app/controls.h"
#include "app/settings_bindings.h"
#include "app/settings_file.h"
#include "app/settings_record.h"
#include "base/clock.h"
#include "base/memo.h"
#include "base/window_services.h"
#include "host/port_diagnosis.h"
#include "params/uplink.h"
#include "serial/comm_port_driver.h"

namespace hx350 {

class DeviceLink;
class EventLoop;
class FolderLock;
class PortCatalogue;
class SerialDevice;

/// Period of Timer1, the one-second clock of the device link, in ms.
inline constexpr std::uint32_t kTimer1PeriodMs = 1000;

/// What the form runs on: the platform and the window around it. Every seam left empty gets a default
/// that needs no window and touches no device until FormCreate() (a form built only to look at its
/// controls stays inert).
struct FormSeams {
    /// Path of the serial device of port number 1..16 ("" when the machine has none); see PortCatalogue.
    /// Empty: no port has a device.
    PortPathLookup port_path;
    /// The machine's numbering behind `port_path`. Given, it stands for `port_path` when that is empty,
    /// the Serial Port page lists it, and the form rescans it when serial devices come or go (watched on
    /// each tick of Timer1). Null: the list asks `port_path` for 1..16 and nothing is rescanned. Must
    /// outlive the form.
    PortCatalogue* catalogue = nullptr;
    /// Where sysfs, the device folder and /proc are, for describing and diagnosing ports.
    SystemRoots roots;
    /// The serial device CommPortDriver1 opens; null: the POSIX termios device.
    std::unique_ptr<SerialDevice> device;
    /// Tick counter and local time; null: the system clock.
    const Clock* clock = nullptr;
    /// The driver's receive poll timer and Timer1, two timers of the user-interface thread. Null: timers
    /// that never fire. Given timers must outlive the form.
    Timer* poll_timer = nullptr;
    Timer* timer1 = nullptr;
    /// The short timer that watches the line for the end of an answer while "Show answers as soon as they
    /// arrive" is ticked. Null: a timer that never fires. A given timer must outlive the form.
    Timer* quiet_gap_timer = nullptr;
    /// Message boxes and the cursor; null: recorded and not shown. Must outlive the form.
    WindowServices* services = nullptr;
    /// The settings file read by FormCreate() and written by "Save Setting".
    std::string settings_path = std::string(kSettingsFileName);
    /// The file operations of a save; null: the system's. Tests put a failing disk here. Must outlive the
    /// form.
    SettingsFileOps* settings_ops = nullptr;
    /// Whether FormCreate() takes the advisory lock of the settings folder (see FolderLock), so that a
    /// second window on the same folder says so in the status bar. The program sets it; tests and tools
    /// that build forms leave it off.
    bool lock_folder = false;
};

/// The seams of a form run by a program without a window: the loop's clock and three of its timers, Com1
/// on the serial device `com1` (no other port has one), message boxes to `services`. The settings file is
/// left as the default; set `settings_path` as needed.
FormSeams loopSeams(EventLoop& loop, WindowServices& services, const std::string& com1);

/// The digits of the number masks that wait while their source is disabled: one character per source
/// position (4, 4 and 7), held by the window, never saved.
struct ParkedDigits {
    std::string temperature;
    std::string analog;
    std::string digital;
    friend bool operator==(const ParkedDigits&, const ParkedDigits&) = default;
};

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

/// Captions of the two columns of numbers on the Abonents page.
inline constexpr std::string_view kAlarmNumbersCaption = "Numbers for alarm SMS";
inline constexpr std::string_view kPhoneBookNumbersCaption = "Numbers to SIM Phone Book";

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
    /// Beside the port choice: which device each port number stands for on this machine, one line per
    /// number (read-only; filled by refreshPortList()).
    Memo MemoPorts{"MemoPorts"};
    /// "Show answers as soon as they arrive": an addition, unticked by default and never saved in the
    /// settings file (the window keeps it among the user's preferences). Ticked, each answer is shown as
    /// soon as the line falls quiet after it instead of at the next poll (PromptAnswersClick).
    CheckBox PromptAnswers;
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
    /// Builds every control with its design values, wires the handlers, and gives CommPortDriver1 the
    /// window's configuration (port 1's device, no hardware flow control, 8192-byte queues, pass-through
    /// packets, polling delay 5000 ms, DTR low on open, output time-out 200 ms) with the device link as its
    /// receiver and Timer1's handler. Runs no handler, opens nothing and reads no file: FormCreate() does.
    explicit TForm1(FormSeams seams);
    /// A form on default seams (see FormSeams): for looking at the controls.
    TForm1();
    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;
    /// Stops Timer1 and detaches it; the driver closes the port.
    virtual ~TForm1();

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

    // ---- Start-up, saving and what the window owns for the run.

    /// The start-up sequence: opens the port with the design choices, hides the AT-command and GSM-band
    /// panels, reads the settings file and fills every page from it (the handlers of check boxes, radio
    /// groups and scroll bars run whenever a loaded value differs from the shown one; none of them sends),
    /// resets the link state, starts the phone's query sequence in SMS mode, colours the data-entry fields
    /// and starts Timer1. Run it once, after the window layer has bound its widgets.
    /// Errors: a missing or unreadable file shows "HX350.cfg access error" and the pages are filled from the
    /// all-zero record; a file shorter than one record shows "Read beyond end of file" and the pages keep
    /// their design values (the link state is reset, the cursor restored, the fields coloured, Timer1
    /// started). A port that cannot be opened shows nothing (the status bar says why).
    void FormCreate();

    /// The advisory lock of the settings folder taken by FormCreate() when FormSeams::lock_folder is set;
    /// null otherwise.
    const FolderLock* folderLock() const { return folder_lock_.get(); }

    /// The outcome of the settings-file read of FormCreate() (Ok before it ran).
    const SettingsFileStatus& settingsLoadStatus() const { return load_status_; }

    /// Copies every page into the settings record (through the working copies) and writes it to the file
    /// `name`. Errors: "HX350.cfg access error" when it cannot be written (the record already holds the
    /// snapshot); the status says why.
    SettingsFileStatus SaveCFGFile(const std::string& name);

    /// Reads the settings file `name` and fills every page from it exactly as start-up fills them from
    /// "HX350.cfg": the same fixes, and the same messages for a missing, unreadable or short file. After a
    /// message the pages stay as they are (they may hold unsaved work). Nothing else of start-up runs.
    SettingsFileStatus OpenSettingsFile(const std::string& name);
    /// Fills every page from `record` as start-up fills them from the settings file.
    void loadSettings(const SettingsRecord& record);
    /// Copies every page into the settings record as a save does, writes nothing, and returns the record.
    const SettingsRecord& snapshotSettings();

    /// Called by ExitBtnClick to close the window; set by the window layer. Empty: Exit does nothing.
    void setCloseHandler(std::function<void()> close) { close_ = std::move(close); }

    /// The settings table of this form's design: every setting with its field, control, page, label and
    /// operations (see settings_bindings.h).
    const SettingsBindings& settingsBindings() const { return *bindings_; }
    /// The value of `row` as the pages hold it, as text in the form of recordValueText(): what the next
    /// save stores (a text cut to its field's capacity, a position as the control clamped it).
    std::string pageValueText(const SettingBinding& row) const;

    /// The settings record and the working copies kept between saves.
    const SettingsRecord& settings() const { return record_; }
    const SettingsWorkingCopies& workingCopies() const { return working_; }
    /// The parked digits of the three number masks.
    const ParkedDigits& parkedDigits() const { return parked_; }
    /// The SMS-mode state remembered by SMSmodeClick for the operations that differ in SMS mode.
    bool smsModeRemembered() const { return sms_mode_remembered_; }
    /// The SMS-mode poll factor in use (always 1 after start-up; the stored value is only written back).
    std::int32_t pollFactorInUse() const { return poll_factor_in_use_; }
    /// The shunt choice of the Analog page (3 after start-up: AN1 and AN2 on 200 ohm, AN3 on 249 ohm).
    int shuntChoice() const { return shunt_choice_; }
    // SMS Shedule page: the recipient mask of "Write" (1 = number 1, 2 = number 2, 4 = number 3).
    int recipientMask() const { return recipient_mask_; }

    /// The one serial port of the tool, and the device link that owns the exchange on it.
    TCommPortDriver& CommPortDriver1() { return *driver_; }
    const TCommPortDriver& CommPortDriver1() const { return *driver_; }
    DeviceLink& link() { return *link_; }
    const DeviceLink& link() const { return *link_; }
    /// The tick counter the form's timing follows.
    const Clock& clock() const { return clock_; }
    /// Timer1 (1000 ms, running from the end of FormCreate()).
    Timer& Timer1() { return timer1_; }
    WindowServices& services() { return services_; }

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
    /// A click on the port or rate already chosen: InitPort() when the port is closed (its device went
    /// away, or was busy or missing when chosen); an open port is left alone.
    void reopenPortIfClosed();
    void SkipCRLFcbClick();
    void TrackBar5Change();
    /// Prompt answers on or off, as the box stands. On: the driver hands over a batch once the line has
    /// been quiet for its gap, and in direct mode the routing and display that Timer1 would do at its next
    /// tick follow at once. SMS mode keeps the one-second exchange as it is; only the batches come sooner.
    void PromptAnswersClick();
    /// Prompt delivery for a caller that needs it regardless of the box (a run over the whole module);
    /// false gives the box's choice back.
    void SetPromptAnswersForced(bool forced);
    /// Told the box's state whenever "Show answers as soon as they arrive" changes, so the window can keep
    /// it among the user's preferences.
    void SetOnPromptAnswersChanged(std::function<void(bool)> observer) {
        prompt_answers_changed_ = std::move(observer);
    }

    // ---- The port's devices (port_watch.cpp).

    /// Fills MemoPorts with the device behind each port number (see portOverview()). Runs when the Serial
    /// Port page is shown and when devices come or go; reads sysfs, opens nothing.
    void refreshPortList();

    /// The port watch, run after the device link on every tick of Timer1 (tests may call it):
    ///  - an open port whose device hung up (adapter pulled, far end gone) is closed and the status bar
    ///    says why (diagnoseDisconnect), so no poll keeps reading a dead device;
    ///  - when serial devices were plugged in or pulled out, the numbering is rescanned, MemoPorts
    ///    refreshed, and a port lost that way is reopened as soon as its path exists again (a few tries,
    ///    one per tick, while udev settles the node's permissions); while it is still missing the status
    ///    bar says where the same adapter is now, if anywhere.
    /// Choosing a port (InitPort) ends the wait for a lost one.
    void watchPorts();

    /// The path of the port that went away while open and waits to be reopened; "" when none.
    const std::string& lostPortPath() const { return lost_path_; }

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
    /// APNbtnClick .. HTTPhostBtn2Click: the "WR"/"RD" button of one uplink setting (see uplink_rows.h).
    void uplinkButtonClick(params::UplinkField setting);
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
    class LinkSeam;
    struct OwnedSeams;

    void buildDesign();
    void configureDriver();
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

    // Start-up (form_startup.cpp).
    void loadPagesFromRecord();
    void loadBinding(const SettingBinding& row);
    void beforeLoading(const SettingBinding& row);
    void afterLoading(const SettingBinding& row);
    void restoreSchedulePage();
    void showMaskBoxes();
    void settleLevelSliders();
    void settleAfterStartUp();
    // Saving (form_save.cpp).
    void storeAnalogSettings();
    void snapshotPages();
    void storeBinding(const SettingBinding& row, SettingsRecord& into) const;
    // The status bar after every InitPort.
    void showPortStatus();
    DiagnosisContext diagnosisContext() const;
    std::map<int, std::string> numbering() const;
    void portHungUp();
    void retryLostPort();
    // Mask edits (form_working_values.cpp).
    void maskSubscriberClick(Edit& mask, std::string& parked, bool disabled, int source, int subscriber,
                             bool checked);
    void maskDisableClick(Edit& mask, std::string& parked, int source, bool disabled);
    // Text slots of the "External SMS", "Int/Ext SMS" and "IOname" pages (ops_texts.cpp): one slot's
    // write or read, with the "Read" box of the slot's page.
    void externalTextSlotClick(int slot);
    void shortTextSlotClick(int slot, const CheckBox& read_box);

    /// Wires `control`'s click (buttons, check boxes, radio groups, menu items) or change (edits, scroll
    /// bars, track bars, the page control) to `body`, recorded under `handler`.
    template <class C>
    void wire(C& control, std::string handler, std::function<void()> body);
    void applyPromptDelivery();

    ControlRegistry registry_;
    std::unique_ptr<SettingsBindings> bindings_;
    std::function<void(std::string_view)> trace_;

    // Declared in this order so that the link goes before the driver, and both before the seams they use.
    std::unique_ptr<OwnedSeams> owned_;
    const Clock& clock_;
    Timer& poll_timer_;
    Timer& timer1_;
    Timer& quiet_gap_timer_;
    WindowServices& services_;
    std::string settings_path_;
    SettingsFileOps* settings_ops_ = nullptr;  // null: the system's file operations
    bool lock_folder_ = false;
    std::unique_ptr<FolderLock> folder_lock_;
    std::function<void()> close_;

    SettingsRecord record_;
    SettingsWorkingCopies working_;
    SettingsFileStatus load_status_;
    ParkedDigits parked_;
    bool sms_mode_remembered_ = false;
    bool prompt_forced_ = false;
    std::function<void(bool)> prompt_answers_changed_;
    std::int32_t poll_factor_in_use_ = kPollFactorInUse;
    int shunt_choice_ = 3;
    // SMS Shedule page: starts from the boxes as designed (number 1 checked), never saved.
    int recipient_mask_ = 1;

    // The port watch: the numbering, the device folder's signature, what the open port led to when it
    // was opened, and a port that went away while open.
    PortCatalogue* catalogue_ = nullptr;
    PortPathLookup port_path_;
    SystemRoots roots_;
    std::unique_ptr<PortWatch> port_watch_;
    std::optional<PortInfo> opened_port_;
    std::string lost_path_;
    int reopen_tries_left_ = 0;

    std::unique_ptr<TCommPortDriver> driver_;
    std::unique_ptr<LinkSeam> link_window_;
    std::unique_ptr<DeviceLink> link_;
};

}  // namespace hx350
