// What the window owns for the run (port, timers, link, settings record) and the start-up sequence that
// fills every page from the settings file.
#include <functional>
#include <optional>
#include <string>

#include "app/folder_lock.h"
#include "app/form.h"
#include "app/port_status.h"
#include "base/event_loop.h"
#include "base/text.h"
#include "link/device_link.h"
#include "link/link_window.h"
#include "params/analog.h"
#include "params/event_masks.h"
#include "params/fields.h"
#include "params/schedule.h"
#include "params/temperature.h"
#include "serial/port_catalogue.h"
#include "serial/posix_serial_device.h"

namespace hx350 {

namespace {

/// The first `count` characters of a mask, a position the text does not reach read as a disabled source.
std::string maskPositions(std::string_view mask, std::size_t count) {
    std::string out(mask.substr(0, count));
    out.resize(count, params::kDisabledSource);
    return out;
}

/// A timer that never fires: the default for a form that is only looked at.
class IdleTimer final : public Timer {
  public:
    void start(std::uint32_t period_ms) override {
        active_ = true;
        period_ = period_ms;
    }
    void stop() override { active_ = false; }
    bool isActive() const override { return active_; }
    std::uint32_t period() const override { return period_; }

  private:
    bool active_ = false;
    std::uint32_t period_ = 0;
};

}  // namespace

/// Defaults for the seams a caller left empty.
struct TForm1::OwnedSeams {
    SystemClock clock;
    IdleTimer poll_timer;
    IdleTimer timer1;
    IdleTimer quiet_gap_timer;
    RecordingWindowServices services;
};

/// The device link's view of the window: the real controls behind a narrow interface.
class TForm1::LinkSeam final : public LinkWindow {
  public:
    explicit LinkSeam(TForm1& form) : form_(form) {}

    bool SMSmodeChecked() const override { return form_.SMSmode.Checked(); }
    bool SkipCRLFcbChecked() const override { return form_.SkipCRLFcb.Checked(); }
    void SetSkipCRLFcbChecked(bool checked) override { form_.SkipCRLFcb.SetChecked(checked); }
    std::string BRnumberText() const override { return form_.BRnumber.Text(); }
    Memo& MemoS() override { return form_.FrameControls::MemoS; }
    Memo& MemoSMSinput() override { return form_.FrameControls::MemoSMSinput; }
    void SetHersteller(std::string_view text) override { form_.Hersteller.SetText(text); }
    void SetModelIDCode(std::string_view text) override { form_.ModelIDCode.SetText(text); }
    void SetDateTime(std::string_view text) override { form_.DateTime.SetText(text); }
    void SetStatusColor(Color color) override { form_.Status.SetColor(color); }
    void SetStatusText(std::string_view text) override { form_.Status.SetText(text); }
    int ActivePageIndex() const override { return form_.PageControl1.ActivePageIndex(); }
    void ApplyRouting(const std::vector<EditAssignment>& edits) override {
        for (const EditAssignment& assignment : edits) {
            if (Edit* edit = form_.find<Edit>(assignment.edit)) edit->SetText(assignment.value);
        }
    }
    void ShowLinkMessage(std::string_view text) override { form_.StatusBar1.SetMessage(std::string(text)); }
    WindowServices& Services() override { return form_.services_; }

  private:
    TForm1& form_;
};

TForm1::TForm1() : TForm1(FormSeams{}) {}

TForm1::TForm1(FormSeams seams)
    : owned_(std::make_unique<OwnedSeams>()),
      clock_(seams.clock != nullptr ? *seams.clock : owned_->clock),
      poll_timer_(seams.poll_timer != nullptr ? *seams.poll_timer : owned_->poll_timer),
      timer1_(seams.timer1 != nullptr ? *seams.timer1 : owned_->timer1),
      quiet_gap_timer_(seams.quiet_gap_timer != nullptr ? *seams.quiet_gap_timer : owned_->quiet_gap_timer),
      services_(seams.services != nullptr ? *seams.services : owned_->services),
      settings_path_(std::move(seams.settings_path)) {
    buildDesign();
    settings_ops_ = seams.settings_ops;
    lock_folder_ = seams.lock_folder;
    parked_ = {maskPositions(TNrFilter.Text(), 4), maskPositions(ANrFilter.Text(), 4),
               maskPositions(DNrFilter.Text(), 7)};
    catalogue_ = seams.catalogue;
    roots_ = seams.roots;
    PortPathLookup port_path = std::move(seams.port_path);
    if (!port_path && catalogue_ != nullptr) port_path = catalogue_->lookup();
    port_path_ = port_path;
    std::unique_ptr<SerialDevice> device = std::move(seams.device);
    if (!device) device = std::make_unique<PosixSerialDevice>();
    driver_ = std::make_unique<TCommPortDriver>(std::move(device), poll_timer_, clock_, std::move(port_path));
    configureDriver();
    link_window_ = std::make_unique<LinkSeam>(*this);
    link_ = std::make_unique<DeviceLink>(*driver_, clock_, timer1_, *link_window_);
    driver_->SetQuietGapWatch(&quiet_gap_timer_);
    driver_->SetOnPromptBatch([this] { link_->PromptFollowUp(); });
    // Timer1 belongs to the link; the port watch runs after it on the same tick.
    timer1_.setCallback([this] {
        link_->Timer1Timer();
        watchPorts();
    });
}

TForm1::~TForm1() {
    timer1_.stop();
    timer1_.setCallback({});
    link_.reset();
    driver_.reset();
}

void TForm1::configureDriver() {
    TCommPortDriver& d = *driver_;
    // The device of port 1, opened by name until InitPort chooses a port number.
    d.SetPort(pnCOM1);
    const std::string com1 = d.PortName();
    d.SetPortName(com1);
    d.SetHwFlow(hfNONE);
    d.SetInBufSize(8192);
    d.SetOutBufSize(8192);
    d.SetPacketMode(pmPass);
    d.SetPollingDelay(5000);
    d.SetEnableDTROnOpen(false);
    d.SetOutputTimeout(200);
}

void TForm1::showPortStatus() {
    StatusBar1.SetText(portOpenStatusText(*driver_, diagnosisContext()));
}

// ---------------------------------------------------------------------------------------------------------
// Start-up

void TForm1::FormCreate() {
    // The device folder as it is now: later changes are plugged or pulled devices.
    port_watch_ = std::make_unique<PortWatch>(roots_.dev);
    refreshPortList();
    // The port, from the Serial Port page's design choices.
    InitPort();
    // Panels that nothing shows again; a fresh channel.
    PanelAT.SetVisible(false);
    PanelBand.SetVisible(false);
    link_->state().plain_send = false;
    // The CR/LF memory from the box as designed.
    link_->SkipCRLFcbClick();
    // The settings file.
    load_status_ = hx350::ReadCFGFile(settings_path_, record_, services_);
    // A short file ends the loading here: the pages keep their design values, but the window must still be
    // usable, so the link, cursor, colours and timer are settled as after a full start.
    if (load_status_.result != SettingsFileResult::ReadBeyondEnd) loadPagesFromRecord();
    settleAfterStartUp();
    // Said once: two windows on one folder each save over the other's HX350.cfg. Nothing is refused.
    if (lock_folder_) {
        folder_lock_ = std::make_unique<FolderLock>(settings_path_);
        if (folder_lock_->takenByOther()) StatusBar1.SetMessage(otherWindowText(folder_lock_->otherPid()));
    }
}

namespace {

template <FieldEncoding kEncoding>
bool is(const SettingBinding& row, RecordField<kEncoding> field) {
    return row.field == field.row;
}

}  // namespace

// Every setting from the record into its control or working copy, row by row in the table's order. The
// handlers of the controls run as a user change would run them; the values start-up fixes or derives
// are settled around the rows they belong to.
void TForm1::loadPagesFromRecord() {
    for (const SettingBinding& row : bindings_->rows()) {
        beforeLoading(row);
        loadBinding(row);
        afterLoading(row);
    }
    // The threshold sliders show their positions, and what they clamped goes back into the record.
    settleLevelSliders();
    // Shunts: AN1 and AN2 on 200 ohm, AN3 on 249 ohm, as the boxes stand in the design.
    shunt_choice_ = 3;
    ANmode200[1].SetCaption("200 Om");
    ANmode200[2].SetCaption("200 Om");
    ANmode200[3].SetCaption("249 Om");
}

void TForm1::loadBinding(const SettingBinding& row) {
    const SettingsRecord& r = record_;
    switch (row.conversion) {
        case BindingConversion::Text:
            find<Edit>(row.control)->SetText(r.get(TextField{row.field}, row.element));
            return;
        case BindingConversion::Checked:
            find<CheckBox>(row.control)->SetChecked(r.get(BoolField{row.field}, row.element));
            return;
        case BindingConversion::ItemIndex:
            find<RadioGroup>(row.control)->SetItemIndex(r.get(Int32Field{row.field}, row.element));
            return;
        case BindingConversion::Position: {
            const int position = r.get(Int32Field{row.field}, row.element);
            if (ScrollBar* bar = find<ScrollBar>(row.control)) bar->SetPosition(position);
            if (hx350::TrackBar* bar = find<hx350::TrackBar>(row.control)) bar->SetPosition(position);
            return;
        }
        case BindingConversion::WorkingCopy:
            withWorkingCopy(row,
                            [&](auto field, auto member) { working_.*member = r.get(field, row.element); });
            return;
    }
}

// Fixes the record takes before a value is shown from it.
void TForm1::beforeLoading(const SettingBinding& row) {
    // Empty masks get their defaults in the record itself, so the next save writes them.
    if (is(row, cfg::TempNumberFilter)) applyNumberFilterDefaults(record_);
    // The other-settings string is padded to its 16 characters in the record.
    if (is(row, cfg::OtherString)) padOtherString(record_);
}

// Values derived once a row is shown.
void TForm1::afterLoading(const SettingBinding& row) {
    if (is(row, cfg::WaitSmsTimeout)) {
        // A track bar runs no handler when set from code.
        Edit1.SetText(decimal(TrackBar5.Position()));
    } else if (is(row, cfg::PollFactor)) {
        // Carried only; the factor in use is fixed.
        poll_factor_in_use_ = kPollFactorInUse;
    } else if (is(row, cfg::ScheduleCode)) {
        // Padded when short so that every edit of it finds its nine characters.
        working_.ScheduleCode = params::paddedScheduleCode(working_.ScheduleCode);
        restoreSchedulePage();
    } else if (is(row, cfg::SmsModeOn)) {
        sms_mode_remembered_ = SMSmode.Checked();
        FrameControls::MemoS.SetVisible(!SMSmode.Checked());
    } else if (is(row, cfg::DigitalNumberFilter)) {
        showMaskBoxes();
    } else if (is(row, cfg::DataLoggerRate)) {
        // The two rate sliders are one setting, and the logger's rate wins over SampleRate.
        SRateSB.SetPosition(record_.get(cfg::DataLoggerRate));
        sRateDLeb.SetText(decimal(sRateDL.Position()));
        SRate.SetText(decimal(sRateDL.Position()));
        DLoggerTm.SetText(decimal(DLoggerTmSB.Position()));
        DLPeriodEB.SetText(decimal(DLoggerTmSB.Position()));
        MaxError.SetText(decimal(MaxErrorScrollBar.Position()));
    } else if (is(row, cfg::SkipCrLf)) {
        // The CR/LF memory follows the loaded box; a carried value above 4 is not kept.
        link_->SkipCRLFcbClick();
        working_.CarriedInt3 = carriedInt3WorkingValue(working_.CarriedInt3);
    }
}

void TForm1::restoreSchedulePage() {
    const std::string& code = working_.ScheduleCode;
    params::RestoredSchedule restored = params::decodeScheduleCode(code);
    // "SET" writes "C" and "L" for these two types; reading them back keeps the saved schedule.
    if (!code.empty() && code[0] == 'C') restored.type_index = 2;
    if (!code.empty() && code[0] == 'L') restored.type_index = 3;

    SMSShed.SetItemIndex(restored.type_index);
    for (int k = 1; k <= params::kSendHours; ++k) {
        const std::optional<int>& hour = restored.hour_position[k - 1];
        if (hour) TrackBar[k].SetPosition(*hour);
        CheckBoxS[k].SetChecked(hour.has_value());
    }
    if (restored.period_index) RadioGroup1.SetItemIndex(*restored.period_index);
}

// The parked digits and the Abonents check boxes from the three masks.
void TForm1::showMaskBoxes() {
    const std::string temperature = record_.get(cfg::TempNumberFilter);
    const std::string analog = record_.get(cfg::AnalogNumberFilter);
    const std::string digital = record_.get(cfg::DigitalNumberFilter);
    parked_ = {maskPositions(temperature, 4), maskPositions(analog, 4), maskPositions(digital, 7)};

    // Per source: a disabled source first ticks "Disable" (which parks its character) and then unticks its
    // subscribers, so that their handlers edit the parked character and not the mask; an enabled source
    // first unticks "Disable" and then sets the subscriber bits its digit already holds.
    const auto decode = [](char ch, CheckBox& disable, const std::function<CheckBox&(int)>& subscriber) {
        const params::SourceBoxes boxes = params::decodeMaskCharacter(ch);
        if (boxes.disabled) {
            disable.SetChecked(true);
            for (int k = 1; k <= 4; ++k)
                subscriber(k).SetChecked(false);
        } else {
            disable.SetChecked(false);
            for (int k = 1; k <= 4; ++k)
                subscriber(k).SetChecked(boxes.subscriber[k - 1]);
        }
    };
    for (int j = 1; j <= 4; ++j) {
        decode(parked_.temperature[static_cast<std::size_t>(j - 1)], CheckBoxTdis[j],
               [&](int k) -> CheckBox& { return CheckBoxT[k][j]; });
    }
    for (int j = 1; j <= 4; ++j) {
        decode(parked_.analog[static_cast<std::size_t>(j - 1)], CheckBoxAdis[j],
               [&](int k) -> CheckBox& { return CheckBoxA[k][j]; });
    }
    for (int j = 1; j <= 7; ++j) {
        decode(parked_.digital[static_cast<std::size_t>(j - 1)], CheckBoxDdis[j],
               [&](int k) -> CheckBox& { return CheckBoxD[k][j]; });
    }
}

// Analog levels as two digits, temperature levels as plain decimal; a stored level outside a slider's
// range is replaced by the clamped position it now shows.
void TForm1::settleLevelSliders() {
    for (int n = 1; n <= 4; ++n) {
        for (int k = 1; k <= 2; ++k) {
            Maxlv[n][k].SetText(params::analogLevelDisplayText(ScrollBarMax[n][k].Position()));
            Minlv[n][k].SetText(params::analogLevelDisplayText(ScrollBarMin[n][k].Position()));
        }
    }
    for (int n = 1; n <= 4; ++n) {
        for (int k = 1; k <= 2; ++k) {
            tMaxlv[n][k].SetText(params::temperatureDisplayText(ScrollBarTMax[n][k].Position()));
            tMinlv[n][k].SetText(params::temperatureDisplayText(ScrollBarTMin[n][k].Position()));
        }
    }
    for (const SettingBinding& row : bindings_->rows()) {
        if (is(row, cfg::AnalogLevel) || is(row, cfg::TempLevel))
            record_.set(Int32Field{row.field}, row.element, find<ScrollBar>(row.control)->Position());
    }
}

void TForm1::settleAfterStartUp() {
    // Every exchange, query and listing flag idle.
    link_->resetExchangeState();
    // Normal cursor.
    services_.setCursor(CursorShape::Default);
    // In SMS mode the phone is identified and set up, one query per tick of Timer1.
    link_->ReadAllParameterClick();
    // Nothing pending from before.
    LinkState& state = link_->state();
    state.plain_send = false;
    state.last_received_text.clear();
    state.reply_pending = false;
    // Field colours.
    PageControl1Change();
    timer1_.start(kTimer1PeriodMs);
}

FormSeams loopSeams(EventLoop& loop, WindowServices& services, const std::string& com1) {
    FormSeams seams;
    seams.port_path = [com1](int number) { return number == 1 ? com1 : std::string(); };
    seams.clock = &loop.clock();
    seams.poll_timer = &loop.makeTimer();
    seams.timer1 = &loop.makeTimer();
    seams.quiet_gap_timer = &loop.makeTimer();
    seams.services = &services;
    return seams;
}

}  // namespace hx350
