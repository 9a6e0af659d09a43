#include "app/module_run.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

#include "app/form.h"
#include "app/settings_bindings.h"
#include "link/device_link.h"
#include "link/pdu_codec.h"

namespace hx350 {

namespace {

/// An answer as the report shows it: up to the first NUL, line breaks and other control bytes as spaces,
/// without leading or trailing blanks.
std::string answerText(std::string_view raw) {
    raw = raw.substr(0, raw.find('\0'));
    std::string out;
    for (char ch : raw)
        out += static_cast<unsigned char>(ch) < 0x20 ? ' ' : ch;
    const std::size_t first = out.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return out.substr(first, out.find_last_not_of(' ') - first + 1);
}

/// The report's note on a setting whose read button asks the module but whose page does not take the answer.
constexpr std::string_view kAnswerOnlyInTheLog =
    "its button's answer is shown in the log, not put into the page";

std::string csvField(std::string_view text) {
    std::string out = "\"";
    for (char ch : text) {
        if (ch == '"') out += '"';
        out += ch;
    }
    return out + "\"";
}

}  // namespace

std::string_view stepStatusText(StepStatus status) {
    switch (status) {
        case StepStatus::Answered:
            return "answered";
        case StepStatus::NoAnswer:
            return "no answer";
        case StepStatus::ErrorAnswer:
            return "error answer";
        case StepStatus::Refused:
            return "refused";
        case StepStatus::NotSent:
            return "not sent";
        case StepStatus::NotReadable:
            return "not readable";
    }
    return "";
}

ModuleRun::ModuleRun(TForm1& form, ModuleRunKind kind, Timer& pace, std::uint32_t timeout_ms)
    : form_(form), kind_(kind), pace_(pace), timeout_ms_(timeout_ms), steps_(plan(form, kind)) {
    pace_.setCallback([this] { tick(); });
}

ModuleRun::~ModuleRun() {
    pace_.stop();
    pace_.setCallback({});
    if (!running_) return;
    form_.SetPromptAnswersForced(false);
    // A verification dropped half-way (its window closed) still leaves the pages as they were.
    if (kind_ == ModuleRunKind::Verify) form_.loadSettings(pages_before_);
}

std::vector<ModuleRunStep> ModuleRun::plan(const TForm1& form, ModuleRunKind kind) {
    const bool read = kind != ModuleRunKind::WriteAll;
    std::vector<ModuleRunStep> steps;
    // One step per button, box and element, at the place of the first setting it serves.
    std::map<std::tuple<std::string, std::string, int>, std::size_t> seen;
    for (const SettingBinding* row : form.settingsBindings().inPageOrder()) {
        // A read whose answer no page takes would bring nothing back: it is not asked.
        if (read ? !row->read_into_page : !row->canWrite()) continue;
        const std::string& button = read ? row->read_button : row->write_button;
        const int item = row->selector.empty() ? -1 : row->element - 1;
        const auto key = std::make_tuple(button, row->selector, item);
        if (const auto found = seen.find(key); found != seen.end()) {
            ModuleRunStep& step = steps[found->second];
            step.keys.push_back(row->key);
            continue;
        }
        seen.emplace(key, steps.size());
        ModuleRunStep step;
        step.label = row->label;
        step.keys.push_back(row->key);
        step.page = row->page;
        step.button = button;
        step.selector = row->selector;
        step.item = item;
        step.read_box = row->read_box;
        steps.push_back(std::move(step));
    }
    for (ModuleRunStep& step : steps) {
        if (step.keys.size() > 1) step.label += " (+" + std::to_string(step.keys.size() - 1) + " more)";
    }
    return steps;
}

std::string ModuleRun::refusalFor(const TForm1& form, ModuleRunKind kind) {
    if (kind == ModuleRunKind::WriteAll || !form.SMSmode.Checked()) return {};
    return std::string(kind == ModuleRunKind::ReadAll ? "Reading" : "Verifying") +
           " the whole module needs direct mode: in SMS mode the module's answers arrive later as messages "
           "and are not put into the pages.";
}

bool ModuleRun::start() {
    if (running_ || finished_ || !refusal().empty()) return false;
    sms_ = form_.SMSmode.Checked();
    running_ = true;
    started_at_ = form_.clock().tickCount();
    if (kind_ == ModuleRunKind::Verify) pages_before_ = form_.snapshotSettings();
    form_.SetPromptAnswersForced(true);
    pace_.start(kPaceMs);
    tick();
    return true;
}

bool ModuleRun::portLost() {
    TCommPortDriver& driver = form_.CommPortDriver1();
    // A device that hung up is closed by the port watch, which also says why in the status bar.
    if (driver.HungUp()) form_.watchPorts();
    return !driver.IsConnected();
}

void ModuleRun::tick() {
    if (!running_) return;
    if (portLost()) {
        if (awaiting_) endStep(StepStatus::NoAnswer, "no answer");
        finish(form_.StatusBar1.Text());
        return;
    }
    const LinkState& state = form_.link().state();
    if (!awaiting_) {
        if (cancel_requested_) {
            finish("Cancelled");
        } else if (done_ == steps_.size()) {
            finish({});
        } else if (!(sms_ && state.sms_sending_busy)) {  // a busy phone would drop the command
            beginStep();
        }
        return;
    }
    if (sms_) {
        if (state.phone_not_connected || state.sms_outcome == SmsOutcome::GivenUp) {
            endStep(StepStatus::NoAnswer, "no answer");
            finish(std::string(kPhoneNotConnectedText));
        } else if (state.sms_outcome == SmsOutcome::Refused) {
            endStep(StepStatus::Refused, state.sms_refusal);
        } else if (state.sms_outcome == SmsOutcome::Confirmed) {
            endStep(StepStatus::Answered, answerText(form_.link().lastBatch()));
        }
        return;
    }
    if (form_.link().batchesReceived() != batches_before_) {
        const std::string answer = answerText(form_.link().lastBatch());
        endStep(answer.find("ERROR") != std::string::npos ? StepStatus::ErrorAnswer : StepStatus::Answered,
                answer);
    } else if (hx350::elapsedMs(step_sent_at_, form_.clock().tickCount()) >= timeout_ms_) {
        endStep(StepStatus::NoAnswer, "no answer");
    }
}

void ModuleRun::beginStep() {
    const ModuleRunStep& step = steps_[done_];
    const bool read = kind_ != ModuleRunKind::WriteAll;
    // As a technician would: the tab, the "Read" box, the element, the button. The page whose answer is
    // awaited is the page shown, since the answer is routed by it.
    form_.PageControl1.userSelectPage(step.page);
    if (!step.read_box.empty()) {
        if (CheckBox* box = form_.find<CheckBox>(step.read_box)) box->SetChecked(read);
    }
    if (!step.selector.empty()) {
        if (RadioGroup* group = form_.find<RadioGroup>(step.selector)) group->SetItemIndex(step.item);
    }
    batches_before_ = form_.link().batchesReceived();
    const std::uint64_t commands_before = form_.link().commandsSent();
    step_sent_at_ = form_.clock().tickCount();
    awaiting_ = true;
    // An empty alarm number is not sent by its write button; the module's old number would stay, and go on
    // getting alarms. It is cleared as a technician would clear it.
    std::string_view clicked = step.button;
    if (const SettingBinding* row = form_.settingsBindings().find(step.keys.front());
        !read && row != nullptr && !row->clear_button.empty()) {
        if (const Edit* edit = form_.find<Edit>(row->control); edit != nullptr && edit->Text().empty())
            clicked = row->clear_button;
    }
    Button* button = form_.find<Button>(clicked);
    if (button == nullptr || !button->userClick() || form_.link().commandsSent() == commands_before) {
        // Nothing to send: the setting is empty (a number the button refuses to write) or the button is
        // not shown on this design. The report says so; nothing is awaited.
        endStep(StepStatus::NotSent, "");
        return;
    }
    if (sms_ && form_.link().state().sms_outcome != SmsOutcome::Pending) {
        // No message went out: the phone number or the text cannot make a PDU; every step would fail so.
        endStep(StepStatus::NotSent, "");
        finish(std::string(kPhoneNumberErrorText.substr(0, kPhoneNumberErrorText.find('\r'))));
    }
}

void ModuleRun::endStep(StepStatus status, std::string answer) {
    const ModuleRunStep& step = steps_[done_];
    ModuleRunReportRow row;
    row.label = step.label;
    // The command as sent: the log memo leaves out what some operations send (the uplink's names and
    // passwords are not logged).
    if (status != StepStatus::NotSent) row.command = answerText(form_.link().lastCommand());
    row.answer = std::move(answer);
    row.status = status;
    report_.push_back(std::move(row));
    awaiting_ = false;
    ++done_;
    if (kind_ != ModuleRunKind::WriteAll && !step.read_box.empty()) {
        if (CheckBox* box = form_.find<CheckBox>(step.read_box)) box->SetChecked(false);
    }
    if (on_progress_) on_progress_();
}

void ModuleRun::finish(std::string reason) {
    running_ = false;
    finished_ = true;
    awaiting_ = false;
    stop_reason_ = std::move(reason);
    ended_at_ = form_.clock().tickCount();
    pace_.stop();
    form_.SetPromptAnswersForced(false);
    if (kind_ != ModuleRunKind::WriteAll) {
        for (const SettingBinding* row : form_.settingsBindings().inPageOrder()) {
            if (!row->canWrite() || row->read_into_page) continue;
            report_.push_back({row->label, "",
                               row->canRead() ? std::string(kAnswerOnlyInTheLog) : std::string(),
                               StepStatus::NotReadable});
        }
    }
    if (kind_ == ModuleRunKind::Verify) compareWithModule();
    if (on_progress_) on_progress_();
}

void ModuleRun::compareWithModule() {
    // The answers went into the pages: what the pages hold now is the module's copy, for every setting whose
    // read was answered. The pages get back what they held before the run.
    module_settings_ = form_.snapshotSettings();
    form_.loadSettings(pages_before_);
    std::set<std::string_view> answered;
    for (std::size_t i = 0; i < done_; ++i) {
        if (report_[i].status != StepStatus::Answered) continue;
        answered.insert(steps_[i].keys.begin(), steps_[i].keys.end());
    }
    for (PageDifference& difference : compareWithPages(form_, module_settings_)) {
        if (answered.count(difference.row->key) != 0) differences_.push_back(std::move(difference));
    }
}

bool ModuleRun::allAnswered() const {
    return finished_ && stop_reason_.empty() && differences_.empty() &&
           std::all_of(report_.begin(), report_.end(), [](const ModuleRunReportRow& row) {
               return row.status == StepStatus::Answered || row.status == StepStatus::NotReadable ||
                      row.status == StepStatus::NotSent;
           });
}

std::uint32_t ModuleRun::elapsedMs() const {
    if (!running_ && !finished_) return 0;
    return hx350::elapsedMs(started_at_, finished_ ? ended_at_ : form_.clock().tickCount());
}

std::string ModuleRun::reportCsv() const {
    std::string out = "step,label,command,answer,status\r\n";
    for (std::size_t i = 0; i < report_.size(); ++i) {
        const ModuleRunReportRow& row = report_[i];
        out += std::to_string(i + 1) + "," + csvField(row.label) + "," + csvField(row.command) + "," +
               csvField(row.answer) + "," + std::string(stepStatusText(row.status)) + "\r\n";
    }
    return out;
}

}  // namespace hx350
