// Write All of a full configuration against hx350-sim answering every command after 20 ms, at 19200 baud,
// in real time under the form's own event loop. The figure to hold it against is the line's own budget:
// the sum over the steps of frame line time + answer delay + answer line time (10 bits a character);
// the run may take 1.5 times that plus 1 s.
//
// Run: build/bin/bench_hx350 --benchmark_filter=WriteAllAgainstSimulator. Each of the 3 repetitions is
// one whole run; the counters give the budget sum, the ratio and whether the run kept within the budget.
// On a pseudo-terminal the bytes take no line time, so the run is measured against a budget that includes
// line time it does not spend; the ratio is the window's pacing overhead against the line.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <string>

#include "app/form.h"
#include "app/module_run.h"
#include "app/settings_file.h"
#include "app/settings_record.h"
#include "base/clock.h"
#include "base/event_loop.h"
#include "bench_window.h"
#include "support/sim_process.h"

namespace hx350 {
namespace {

namespace fs = std::filesystem;

constexpr int kBaud = 19200;
constexpr int kAnswerDelayMs = 20;
constexpr int kBaudRateIndex19200 = 1;  // of "9600", "19200", "38400", "57600", "115200"

struct LineBytes {
    std::size_t in = 0;   ///< frames: tool to module
    std::size_t out = 0;  ///< answers: module to tool
};

/// The bytes each way that the simulator's transcript records.
LineBytes transcriptBytes(const std::string& path) {
    static const std::regex kEntry(R"(^\S+ \S+ (in |out) (\d+) byte)");
    LineBytes bytes;
    std::ifstream in(path);
    std::string line;
    std::smatch m;
    while (std::getline(in, line)) {
        if (!std::regex_search(line, m, kEntry)) continue;
        (m[1] == "in " ? bytes.in : bytes.out) += std::stoul(m[2]);
    }
    return bytes;
}

void BM_WriteAllAgainstSimulator(benchmark::State& state) {
    const std::string simulator = HX350_BIN_DIR "/hx350-sim";
    std::string folder = (fs::temp_directory_path() / "hx350-bench-XXXXXX").string();
    SettingsRecord record;
    if (::access(simulator.c_str(), X_OK) != 0 || ::mkdtemp(folder.data()) == nullptr ||
        !readSettingsFile(std::string(HX350_BENCH_DATA_DIR) + "/settings/golden.cfg", record).ok()) {
        state.SkipWithError("no simulator, temporary folder or full settings file");
        return;
    }
    // The full configuration, in direct mode at 19200 baud.
    record.set(cfg::SmsModeOn, false);
    record.set(cfg::BaudRateIndex, kBaudRateIndex19200);
    record.set(cfg::ComPortIndex, 0);  // Com1, the simulator's terminal
    if (!writeSettingsFile(folder + "/HX350.cfg", record).ok()) {
        state.SkipWithError("cannot write the settings file");
        return;
    }

    double ratio = 0;
    double budget_ms = 0;
    std::size_t sent = 0;
    std::size_t answered = 0;
    for (auto _ : state) {
        const std::string transcript = folder + "/transcript.txt";
        test::SimProcess sim;
        if (!sim.start(simulator, {"--mode", "module", "--answer-delay", std::to_string(kAnswerDelayMs),
                                   "--baud", std::to_string(kBaud), "--transcript", transcript})) {
            state.SkipWithError("hx350-sim did not start");
            break;
        }
        const SystemClock clock;
        EventLoop loop(clock);
        bench::SilentServices services;
        FormSeams seams = loopSeams(loop, services, sim.path());
        seams.settings_path = folder + "/HX350.cfg";
        auto form = std::make_unique<TForm1>(std::move(seams));
        form->FormCreate();
        ModuleRun run(*form, ModuleRunKind::WriteAll, loop.makeTimer());

        const auto start = std::chrono::steady_clock::now();
        if (!run.start() || !loop.runUntil([&run] { return run.finished(); }, 120000)) {
            state.SkipWithError("the run did not end within 2 minutes");
            break;
        }
        const auto end = std::chrono::steady_clock::now();
        const double wall_ms = std::chrono::duration<double, std::milli>(end - start).count();
        state.SetIterationTime(wall_ms / 1000);

        form.reset();
        sim.stop();
        sent = 0;
        answered = 0;
        for (const ModuleRunReportRow& row : run.report()) {
            if (row.status != StepStatus::NotSent) ++sent;
            if (row.status == StepStatus::Answered) {
                ++answered;
            } else if (row.status != StepStatus::NotSent) {
                std::printf("  %s: %s -> %s (%s)\n", row.label.c_str(), row.command.c_str(),
                            row.answer.c_str(), std::string(stepStatusText(row.status)).c_str());
            }
        }
        const LineBytes bytes = transcriptBytes(transcript);
        budget_ms = static_cast<double>(bytes.in + bytes.out) * 10 * 1000 / kBaud +
                    static_cast<double>(sent) * kAnswerDelayMs;
        ratio = wall_ms / budget_ms;
        std::printf(
            "Write All: %zu steps sent (%zu answered), %zu frame bytes, %zu answer bytes; wall %.0f ms, "
            "line budget sum %.0f ms, ratio %.2f, limit 1.5 x sum + 1 s = %.0f ms: %s\n",
            sent, answered, bytes.in, bytes.out, wall_ms, budget_ms, ratio, 1.5 * budget_ms + 1000,
            wall_ms <= 1.5 * budget_ms + 1000 ? "within" : "OVER");
    }
    state.counters["budget_sum_ms"] = budget_ms;
    state.counters["ratio"] = ratio;
    state.counters["steps_sent"] = static_cast<double>(sent);
    state.counters["steps_answered"] = static_cast<double>(answered);
    fs::remove_all(folder);
}
BENCHMARK(BM_WriteAllAgainstSimulator)
    ->Iterations(1)
    ->Repetitions(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace hx350
