// The settings text of a full settings file: export to text and import back, the work of a round trip in
// hx350-cfg or of the window's compare. The budget is 1 ms for both together.
#include <benchmark/benchmark.h>

#include <string>

#include "app/settings_file.h"
#include "app/settings_text.h"

namespace hx350 {
namespace {

void BM_SettingsTextExportImport(benchmark::State& state) {
    SettingsRecord record;
    if (!readSettingsFile(std::string(HX350_BENCH_DATA_DIR) + "/settings/golden.cfg", record).ok()) {
        state.SkipWithError("golden settings file not readable");
        return;
    }
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string text = exportSettingsText(record);
        SettingsRecord back;
        const auto error = importSettingsText(text, back);
        if (error || !(back == record)) {
            state.SkipWithError("the round trip changed the record");
            return;
        }
        bytes = text.size();
        benchmark::DoNotOptimize(back);
    }
    state.counters["text_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_SettingsTextExportImport)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace hx350
