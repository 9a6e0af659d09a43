#include "cfgtool/module_commands.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <csignal>
#include <memory>
#include <optional>
#include <string_view>

#include "app/form.h"
#include "app/settings_file.h"
#include "app/settings_source.h"
#include "app/settings_text.h"
#include "base/clock.h"
#include "base/event_loop.h"
#include "base/window_services.h"
#include "cfgtool/cfg_tool.h"

namespace hx350::cfgtool {
namespace {

constexpr std::string_view kProgram = "hx350-cfg";

/// The rates of the Serial Port page's "Baud Rate" group, in its order.
constexpr std::array<int, 5> kBaudRates{9600, 19200, 38400, 57600, 115200};
/// A run of a few hundred steps takes minutes at most; the loop is bounded all the same.
constexpr std::uint32_t kRunLimitMs = 24u * 3600u * 1000u;

/// Ctrl+C during a run: the run stops after the step under way, so that no frame is cut and the report
/// and the files are still written.
volatile std::sig_atomic_t interrupted = 0;
extern "C" void onInterrupt(int) {
    interrupted = 1;
}

class InterruptGuard {
  public:
    InterruptGuard() {
        interrupted = 0;
        struct sigaction action {};
        action.sa_handler = onInterrupt;
        sigemptyset(&action.sa_mask);
        installed_ = ::sigaction(SIGINT, &action, &previous_) == 0;
    }
    ~InterruptGuard() {
        if (installed_) ::sigaction(SIGINT, &previous_, nullptr);
    }
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

  private:
    struct sigaction previous_ {};
    bool installed_ = false;
};

std::string_view commandName(ModuleRunKind kind) {
    switch (kind) {
        case ModuleRunKind::WriteAll:
            return "write-all";
        case ModuleRunKind::ReadAll:
            return "read-all";
        case ModuleRunKind::Verify:
            return "verify";
    }
    return "";
}

struct ModuleArguments {
    std::string file;  ///< write-all, verify: the settings to write or compare with
    std::string port;
    int baud_index = 1;  ///< 19200, the design's rate
    std::uint32_t timeout_ms = ModuleRun::kDefaultTimeoutMs;
    std::optional<std::string> report;
    std::optional<std::string> output;  ///< read-all: -o FILE.cfg
};

class ModuleCommand {
  public:
    ModuleCommand(ModuleRunKind kind, std::ostream& out, std::ostream& err, ProgressStyle style)
        : kind_(kind), out_(out), err_(err), style_(style) {}

    int fail(std::string_view message) {
        err_ << kProgram << ' ' << commandName(kind_) << ": " << message << '\n';
        return kExitError;
    }

    std::optional<ModuleArguments> parse(std::span<const std::string> args) {
        ModuleArguments parsed;
        std::vector<std::string> plain;
        const auto value = [&](std::size_t& i) -> const std::string* {
            if (i + 1 == args.size()) {
                fail(args[i] + " needs a value");
                return nullptr;
            }
            return &args[++i];
        };
        for (std::size_t i = 0; i < args.size(); ++i) {
            const std::string& a = args[i];
            const std::string* v = nullptr;
            if (a == "--port") {
                if ((v = value(i)) == nullptr) return std::nullopt;
                parsed.port = *v;
            } else if (a == "--baud") {
                if ((v = value(i)) == nullptr) return std::nullopt;
                int baud = 0;
                const auto [end, ec] = std::from_chars(v->data(), v->data() + v->size(), baud);
                const auto* rate = std::find(kBaudRates.begin(), kBaudRates.end(), baud);
                if (ec != std::errc() || end != v->data() + v->size() || rate == kBaudRates.end()) {
                    fail("--baud takes 9600, 19200, 38400, 57600 or 115200, not '" + *v + "'");
                    return std::nullopt;
                }
                parsed.baud_index = static_cast<int>(rate - kBaudRates.begin());
            } else if (a == "--timeout") {
                if ((v = value(i)) == nullptr) return std::nullopt;
                double seconds = 0;
                const auto [end, ec] = std::from_chars(v->data(), v->data() + v->size(), seconds);
                if (ec != std::errc() || end != v->data() + v->size() ||
                    !(seconds >= 0.05 && seconds <= 600)) {
                    fail("--timeout takes seconds from 0.05 to 600, not '" + *v + "'");
                    return std::nullopt;
                }
                parsed.timeout_ms = static_cast<std::uint32_t>(std::lround(seconds * 1000));
            } else if (a == "--report") {
                if ((v = value(i)) == nullptr) return std::nullopt;
                parsed.report = *v;
            } else if (kind_ == ModuleRunKind::ReadAll && (a == "-o" || a == "--output")) {
                if ((v = value(i)) == nullptr) return std::nullopt;
                parsed.output = *v;
            } else if (a.size() > 1 && a[0] == '-') {
                fail("unknown option '" + a + "' (see --help)");
                return std::nullopt;
            } else {
                plain.push_back(a);
            }
        }
        if (parsed.port.empty()) {
            fail("--port DEVICE is needed (the serial device the module is on)");
            return std::nullopt;
        }
        if (kind_ == ModuleRunKind::ReadAll) {
            if (!plain.empty() || !parsed.output) {
                fail("read-all takes --port DEVICE and -o FILE.cfg (see --help)");
                return std::nullopt;
            }
        } else if (plain.size() != 1) {
            fail(std::string(commandName(kind_)) + " takes --port DEVICE and one settings file (see --help)");
            return std::nullopt;
        } else {
            parsed.file = plain[0];
        }
        return parsed;
    }

    int execute(std::span<const std::string> args) {
        const auto parsed = parse(args);
        if (!parsed) return kExitError;
        SettingsRecord file_record;
        if (kind_ != ModuleRunKind::ReadAll) {
            SettingsSourceResult read = readSettingsSource(parsed->file);
            if (!read.source) return fail(read.error->describe());
            file_record = read.source->record;
        }

        const SystemClock clock;
        EventLoop loop(clock);
        RecordingWindowServices services;  // start-up's note about the settings file it did not read
        const std::string& device = parsed->port;
        FormSeams seams = loopSeams(loop, services, device);
        // Nothing is read or written as the tool's own settings file: the pages start from the design values,
        // as a window started from an empty settings file does, and then take the file's settings.
        seams.settings_path.clear();
        auto form = std::make_unique<TForm1>(std::move(seams));
        const SettingsRecord design = form->snapshotSettings();
        form->FormCreate();
        form->loadSettings(kind_ == ModuleRunKind::ReadAll ? design : file_record);
        // The file's own port, rate and mode are the site's; this run goes over the device given, directly.
        form->SMSmode.SetChecked(false);
        form->RadioGroupPort.SetItemIndex(0);
        form->RadioGroupRate.SetItemIndex(parsed->baud_index);
        if (!form->CommPortDriver1().IsConnected()) {
            form->InitPort();  // the same choices may not have fired a reopen
            if (!form->CommPortDriver1().IsConnected()) return fail(device + ": " + form->StatusBar1.Text());
        }

        LoopTimer& pace = loop.makeTimer();
        ModuleRun run(*form, kind_, pace, parsed->timeout_ms);
        if (!run.refusal().empty()) return fail(run.refusal());
        std::size_t shown = 0;
        run.setOnProgress([&] { shown = showProgress(run, shown); });
        const InterruptGuard guard;
        if (!run.start()) return fail("the run did not start");
        bool cancel_asked = false;
        loop.runUntil(
            [&] {
                if (interrupted != 0 && !cancel_asked) {
                    cancel_asked = true;
                    run.cancel();
                }
                return run.finished();
            },
            kRunLimitMs);
        if (style_ == ProgressStyle::Bar) out_ << '\n';

        int status = summarise(run);
        if (parsed->report && !writeFile(*parsed->report, run.reportCsv())) status = kExitError;
        if (kind_ == ModuleRunKind::ReadAll) {
            const SettingsFileStatus saved = writeSettingsFile(*parsed->output, form->snapshotSettings());
            if (!saved.ok()) status = fail(*parsed->output + ": " + saved.context);
        }
        if (kind_ == ModuleRunKind::Verify) listDifferences(run);
        return status;
    }

  private:
    std::size_t showProgress(const ModuleRun& run, std::size_t shown) {
        const std::size_t total = run.steps().size();
        const auto& report = run.report();
        if (style_ == ProgressStyle::Lines) {
            for (; shown < report.size(); ++shown) {
                const ModuleRunReportRow& row = report[shown];
                if (row.status == StepStatus::NotReadable) continue;  // listed in the summary
                out_ << shown + 1 << '/' << total << ' ' << stepStatusText(row.status) << ": " << row.label
                     << '\n';
            }
            return shown;
        }
        constexpr std::size_t kWidth = 30;
        const std::size_t done = run.stepsDone();
        const std::size_t filled = total == 0 ? kWidth : done * kWidth / total;
        std::string label;
        if (!run.finished() && done < total) label = run.steps()[done].label;
        if (label.size() > 34) label = label.substr(0, 31) + "...";
        out_ << "\r[" << std::string(filled, '#') << std::string(kWidth - filled, '-') << "] " << done << '/'
             << total << ' ' << label << "\033[K" << std::flush;
        return report.size();
    }

    int summarise(const ModuleRun& run) {
        std::array<std::size_t, 6> counts{};
        for (const ModuleRunReportRow& row : run.report())
            ++counts[static_cast<std::size_t>(row.status)];
        out_ << commandName(kind_) << ": " << run.stepsDone() << " of " << run.steps().size() << " steps in "
             << (run.elapsedMs() + 50) / 1000 << '.' << (run.elapsedMs() + 50) / 100 % 10 << " s";
        for (const StepStatus s : {StepStatus::Answered, StepStatus::NoAnswer, StepStatus::ErrorAnswer,
                                   StepStatus::Refused, StepStatus::NotSent, StepStatus::NotReadable}) {
            if (counts[static_cast<std::size_t>(s)] != 0)
                out_ << ", " << counts[static_cast<std::size_t>(s)] << ' ' << stepStatusText(s);
        }
        out_ << '\n';
        // What went wrong, step by step, so that it is seen without the report.
        for (const ModuleRunReportRow& row : run.report()) {
            if (row.status == StepStatus::NoAnswer || row.status == StepStatus::ErrorAnswer ||
                row.status == StepStatus::Refused)
                err_ << kProgram << ' ' << commandName(kind_) << ": " << row.label << ": "
                     << stepStatusText(row.status) << (row.answer.empty() ? "" : " (" + row.answer + ")")
                     << '\n';
        }
        if (!run.stopReason().empty())
            err_ << kProgram << ' ' << commandName(kind_) << ": stopped: " << run.stopReason() << '\n';
        return run.allAnswered() ? kExitOk : kExitDifferent;
    }

    void listDifferences(const ModuleRun& run) {
        // Values as a save stores them (a text without what a longer old text left behind it), written as
        // the settings text writes them.
        const auto shown = [](const PageDifference& d, const std::string& value) {
            switch (d.row->layout().encoding) {
                case FieldEncoding::ShortString:
                    return quotedSettingsText(value);
                case FieldEncoding::Bool:
                    return std::string(value == "1" ? "true" : "false");
                default:
                    return value;
            }
        };
        for (const PageDifference& d : run.differences()) {
            out_ << d.row->key << ": " << shown(d, d.page_value) << " -> " << shown(d, d.file_value) << "  # "
                 << d.label << '\n';
        }
        if (run.finished() && run.differences().empty() && run.stopReason().empty())
            out_ << "verify: the module holds every setting read as the file does\n";
    }

    bool writeFile(const std::string& path, const std::string& text) {
        const std::string error = replaceFileWith(path, text);
        if (!error.empty()) fail(error);
        return error.empty();
    }

    ModuleRunKind kind_;
    std::ostream& out_;
    std::ostream& err_;
    ProgressStyle style_;
};

}  // namespace

int runModuleCommand(ModuleRunKind kind, std::span<const std::string> args, std::ostream& out,
                     std::ostream& err, ProgressStyle style) {
    return ModuleCommand(kind, out, err, style).execute(args);
}

}  // namespace hx350::cfgtool
