// A run over the whole module: every setting written to it, or read from it, one operation at a time.
//
// A run is the sequence of the operations a technician would click, taken from the settings table in page
// order: for each step the page is selected as a tab click selects it, the page's "Read" box is ticked (a
// read) or unticked (a write), the element is chosen in its radio group where one button serves several
// settings, and the button is clicked through its own handler, so the bytes on the line are exactly the
// button's. A button that serves several settings at once ("GETLV", the three filters) is one step.
//
// Pacing: nothing is sent while an answer is awaited. Direct mode: a step ends with the first batch after
// its frame, or after the timeout; prompt delivery is on for the run, so each answer is routed and shown
// as soon as the line falls quiet. SMS mode (writing only): a step waits until the phone has confirmed or
// refused the message, and the next one goes out only when the phone is free, so no command is dropped;
// the run stops when the phone no longer answers.
//
// Verify reads as Read All does, into a scratch copy: the pages are noted before the run, the answers land
// in the pages as they come (their routing knows no other place), and at the end the settings read are
// taken as the module's copy and the pages are given back what they held. The differences between the two
// are the verification's result.
//
// Everything runs on the thread of the form, driven by a short pacing timer: a run works under the
// window's event loop and under the event loop of a program without a window alike.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/settings_compare.h"
#include "app/settings_record.h"
#include "base/clock.h"

namespace hx350 {

class TForm1;

enum class ModuleRunKind { WriteAll, ReadAll, Verify };

/// One operation of a run.
struct ModuleRunStep {
    std::string label;              ///< the first setting's label, "(+N more)" when the button serves more
    std::vector<std::string> keys;  ///< settings-table keys of every setting the step covers
    int page = 0;
    std::string button;    ///< the button clicked (a write: its row's clear button instead for an empty edit)
    std::string selector;  ///< radio group to choose `item` in first ("" when none)
    int item = -1;
    std::string read_box;  ///< ticked for a read, unticked for a write ("" when the page has none)
};

enum class StepStatus { Answered, NoAnswer, ErrorAnswer, Refused, NotSent, NotReadable };

/// The report's word for a status ("answered", "no answer", "error answer", ...).
std::string_view stepStatusText(StepStatus status);

struct ModuleRunReportRow {
    std::string label;
    std::string command;  ///< the command sent, without padding ("" for a step that sent nothing)
    std::string answer;   ///< the module's (or in SMS mode the phone's) answer, or "no answer"
    StepStatus status = StepStatus::NoAnswer;
};

class ModuleRun {
  public:
    /// Default wait for an answer in direct mode, in ms.
    static constexpr std::uint32_t kDefaultTimeoutMs = 2000;
    /// Period of the pacing timer, in ms.
    static constexpr std::uint32_t kPaceMs = 5;

    /// `pace`: a timer of the form's thread that the run alone uses; it must outlive the run.
    ModuleRun(TForm1& form, ModuleRunKind kind, Timer& pace, std::uint32_t timeout_ms = kDefaultTimeoutMs);
    ~ModuleRun();
    ModuleRun(const ModuleRun&) = delete;
    ModuleRun& operator=(const ModuleRun&) = delete;

    /// The steps a run of `kind` takes on `form`, in page order.
    static std::vector<ModuleRunStep> plan(const TForm1& form, ModuleRunKind kind);

    /// Why a run of `kind` cannot start on `form` as it stands ("" when it can): reading in SMS mode.
    static std::string refusalFor(const TForm1& form, ModuleRunKind kind);
    std::string refusal() const { return refusalFor(form_, kind_); }

    /// Starts the run; false (and nothing sent) when refusal() is not empty or it already ran.
    bool start();
    /// Stops after the step under way (never in the middle of a frame).
    void cancel() { cancel_requested_ = true; }

    bool running() const { return running_; }
    bool finished() const { return finished_; }
    const std::vector<ModuleRunStep>& steps() const { return steps_; }
    std::size_t stepsDone() const { return done_; }
    /// One row per step that ran, then, for a read, one "not readable" row per written setting that no
    /// read brings into the pages: the module cannot be asked for it, or its page does not take the answer
    /// (the answer column says so).
    const std::vector<ModuleRunReportRow>& report() const { return report_; }
    /// Why the run ended early: the status bar's words about the port, the phone's state, "Cancelled";
    /// "" when every step ran.
    const std::string& stopReason() const { return stop_reason_; }
    /// Whether the run went to its end and every command sent was answered without an error (a step with
    /// nothing to send, such as an empty number, is not a failure), and for Verify no setting differs.
    bool allAnswered() const;
    /// Milliseconds since start() (until the end once finished).
    std::uint32_t elapsedMs() const;

    /// Verify, once finished: the settings read from the module (the pages' values where nothing was read),
    /// and the settings read whose value differs from the pages', in page order. A setting whose read got
    /// no answer is not compared.
    const SettingsRecord& moduleSettings() const { return module_settings_; }
    const std::vector<PageDifference>& differences() const { return differences_; }

    /// Runs after every step and once at the end.
    void setOnProgress(std::function<void()> handler) { on_progress_ = std::move(handler); }

    /// The report as CSV (RFC 4180): step, label, command, answer, status.
    std::string reportCsv() const;

  private:
    void tick();
    void beginStep();
    void endStep(StepStatus status, std::string answer);
    void finish(std::string reason);
    bool portLost();
    void compareWithModule();

    TForm1& form_;
    ModuleRunKind kind_;
    Timer& pace_;
    std::uint32_t timeout_ms_;
    std::vector<ModuleRunStep> steps_;
    std::vector<ModuleRunReportRow> report_;
    std::function<void()> on_progress_;
    std::string stop_reason_;
    std::size_t done_ = 0;
    bool running_ = false;
    bool finished_ = false;
    bool cancel_requested_ = false;
    bool awaiting_ = false;  ///< the current step's command is out
    bool sms_ = false;
    std::uint64_t batches_before_ = 0;
    std::uint32_t started_at_ = 0;
    std::uint32_t step_sent_at_ = 0;
    std::uint32_t ended_at_ = 0;
    SettingsRecord pages_before_;  ///< Verify: what the pages held at the start
    SettingsRecord module_settings_;
    std::vector<PageDifference> differences_;
};

}  // namespace hx350
