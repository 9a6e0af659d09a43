// The received-text memo in the window: one direct-mode answer appended to the memo, its widget brought in
// step and the event loop run once (so the widget repaints as the window would), with the memo empty or
// full at its bound; and a day of one answer a second (resident memory after the first hour and at the
// end, and the mean CPU time of an answer in the second hour, the first to start full, and in the last).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/control_registry.h"
#include "base/memo.h"
#include "memo_bench.h"
#include "ui/control_binder.h"

namespace hx350 {
namespace {

// A memo bound to its widget, shown at the size it has in the window.
struct MemoRig {
    Memo memo{"MemoSMSinput"};
    ui::ControlBinder binder;
    std::unique_ptr<QWidget> widget;

    MemoRig() {
        const ControlEntry entry{"MemoSMSinput",   ControlKind::Memo, kFramePage, "", 0, 0, "Received", "",
                                 ControlRef{&memo}};
        widget.reset(binder.widgetFor(entry));
        widget->resize(600, 110);
        widget->show();
        QApplication::processEvents();
    }
    ~MemoRig() { widget.reset(); }

    // One answer as the link shows it: the text and the line break the display adds.
    void answer(int n) {
        memo.Append(bench::statusLine(n) + "\r\n");
        QApplication::processEvents();
    }
};

void BM_WindowAnswerIntoMemo(benchmark::State& state) {
    const bool full = state.range(0) != 0;
    MemoRig rig;
    if (full) {
        for (int i = 0; i < bench::kFullMemoLines; ++i)
            rig.memo.Add(bench::statusLine(i).substr(0, 40));
        QApplication::processEvents();
    }
    int n = 0;
    for (auto _ : state) {
        // Empty: emptied every 100 answers, as Clear does before each command, so it holds a few lines.
        if (!full && n % 100 == 0) rig.memo.Clear();
        rig.answer(n++);
    }
    state.counters["widget_lines"] =
        static_cast<double>(static_cast<QPlainTextEdit*>(rig.widget.get())->document()->blockCount());
}

void BM_WindowDayOfAnswers(benchmark::State& state) {
    for (auto _ : state) {
        MemoRig rig;
        double second_hour_ns = 0;
        double last_hour_ns = 0;
        double rss_after_hour = 0;
        for (int hour = 0; hour < 24; ++hour) {
            const double start = bench::threadCpuNs();
            for (int second = 0; second < 3600; ++second)
                rig.answer(hour * 3600 + second);
            const double ns = (bench::threadCpuNs() - start) / 3600;
            if (hour == 0) rss_after_hour = bench::residentKiB();
            if (hour == 1) second_hour_ns = ns;  // the first hour that starts with a full memo
            if (hour == 23) last_hour_ns = ns;
        }
        state.counters["rss_kib_hour1"] = rss_after_hour;
        state.counters["rss_kib_hour24"] = bench::residentKiB();
        state.counters["widget_lines"] =
            static_cast<double>(static_cast<QPlainTextEdit*>(rig.widget.get())->document()->blockCount());
        state.counters["batch_ns_hour2"] = second_hour_ns;
        state.counters["batch_ns_hour24"] = last_hour_ns;
    }
}

BENCHMARK(BM_WindowAnswerIntoMemo)->Arg(0)->Arg(1);
BENCHMARK(BM_WindowDayOfAnswers)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace hx350

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
