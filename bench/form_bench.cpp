// The headless form: start-up on a full settings file, saving, and copying every page into the record.
//
// The form runs on hand-driven timers, silent window services and no serial device (port numbers map to
// no path, so the port open at start-up fails at once, as on a machine without adapters).
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "app/form.h"
#include "app/settings_file.h"
#include "base/clock.h"
#include "bench_window.h"

namespace hx350 {
namespace {

namespace fs = std::filesystem;

// A settings file with every field filled (texts, numbers, masks, levels), from the test data.
const fs::path kFullSettings = fs::path(HX350_BENCH_DATA_DIR) / "settings" / "golden.cfg";

// A fresh private folder, removed with everything in it at the end of the benchmark.
class ScratchDir {
  public:
    ScratchDir() {
        std::string pattern = (fs::temp_directory_path() / "hx350-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    }
    ~ScratchDir() {
        std::error_code ignored;
        if (!path_.empty()) fs::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    bool ok() const { return !path_.empty(); }
    fs::path operator/(const char* name) const { return path_ / name; }

  private:
    fs::path path_;
};

struct FormRig {
    ManualTimeSource time{LocalDateTime{2026, 12, 7, 12, 0, 0, 0}};
    ManualTimer& poll = time.makeTimer();
    ManualTimer& timer1 = time.makeTimer();
    bench::SilentServices services;

    std::unique_ptr<TForm1> makeForm(const fs::path& settings) {
        FormSeams seams;
        seams.port_path = [](int) { return std::string(); };
        seams.clock = &time;
        seams.poll_timer = &poll;
        seams.timer1 = &timer1;
        seams.services = &services;
        seams.settings_path = settings.string();
        return std::make_unique<TForm1>(std::move(seams));
    }
};

bool prepare(benchmark::State& state, const ScratchDir& dir, fs::path& cfg) {
    std::error_code error;
    cfg = dir / "HX350.cfg";
    if (!dir.ok() || !fs::copy_file(kFullSettings, cfg, error)) {
        state.SkipWithError("cannot copy the full settings file into a scratch folder");
        return false;
    }
    return true;
}

// Building the form: every control with its design values and handlers, no file read.
void BM_FormConstruct(benchmark::State& state) {
    FormRig rig;
    for (auto _ : state) {
        auto form = rig.makeForm("/nonexistent/HX350.cfg");
        benchmark::DoNotOptimize(form.get());
    }
}

// FormCreate alone: read the full file and fill every page (handlers run where values change).
void BM_FormCreateFullFile(benchmark::State& state) {
    ScratchDir dir;
    fs::path cfg;
    if (!prepare(state, dir, cfg)) return;
    FormRig rig;
    for (auto _ : state) {
        state.PauseTiming();
        auto form = rig.makeForm(cfg);
        state.ResumeTiming();
        form->FormCreate();
        state.PauseTiming();
        if (!form->settingsLoadStatus().ok()) state.SkipWithError("the full settings file did not load");
        form.reset();
        state.ResumeTiming();
    }
}

// SaveCFGFile: copy every page into the record and replace the file atomically.
void BM_SaveCFGFile(benchmark::State& state) {
    ScratchDir dir;
    fs::path cfg;
    if (!prepare(state, dir, cfg)) return;
    FormRig rig;
    auto form = rig.makeForm(cfg);
    form->FormCreate();
    const std::string target = (dir / "saved.cfg").string();
    for (auto _ : state) {
        if (!form->SaveCFGFile(target).ok()) {
            state.SkipWithError("the save failed");
            break;
        }
    }
}

// The page snapshot without the file: the save is aimed into a folder that does not exist, so it stops at
// the open, after every page has been copied into the record.
void BM_PageSnapshot(benchmark::State& state) {
    ScratchDir dir;
    fs::path cfg;
    if (!prepare(state, dir, cfg)) return;
    FormRig rig;
    auto form = rig.makeForm(cfg);
    form->FormCreate();
    const std::string nowhere = (dir / "missing-folder" / "HX350.cfg").string();
    for (auto _ : state) {
        const SettingsFileStatus status = form->SaveCFGFile(nowhere);
        benchmark::DoNotOptimize(status.result);
    }
}

BENCHMARK(BM_FormConstruct)->Unit(benchmark::kMicrosecond);
// Wall time decides how long these run: a save waits for the disk far longer than it computes.
BENCHMARK(BM_FormCreateFullFile)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_SaveCFGFile)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_PageSnapshot)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace hx350
