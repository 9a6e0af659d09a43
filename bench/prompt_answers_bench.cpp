// Click to answer shown, in real time, with "Show answers as soon as they arrive" unticked (the designed
// poll of 4 s and the 1 s tick) and ticked (one quiet gap after the answer). The far end of a
// pseudo-terminal answers every frame at once, so what is measured is the window's own delay.
//
// Run: build/bin/bench_hx350 --benchmark_filter=ClickToAnswer. Each of the 10 repetitions is one click;
// the median is the figure to quote (off, each click takes up to five seconds).
#include <benchmark/benchmark.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "app/form.h"
#include "base/clock.h"
#include "base/event_loop.h"
#include "bench_window.h"
#include "support/pty_pair.h"

namespace hx350 {
namespace {

/// Answers each direct-mode frame (it ends with a NUL byte) with one status line, at once.
class AnsweringPeer {
  public:
    explicit AnsweringPeer(int fd) : fd_(fd), thread_([this] { run(); }) {}
    ~AnsweringPeer() {
        stop_ = true;
        thread_.join();
    }
    static constexpr std::string_view kAnswer = "ST:1010 0101 1100\r\n";

  private:
    void run() {
        while (!stop_) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0) continue;
            char buffer[256];
            const ssize_t got = ::read(fd_, buffer, sizeof buffer);
            if (got <= 0) continue;
            if (std::string_view(buffer, static_cast<std::size_t>(got)).find('\0') != std::string_view::npos)
                (void)!::write(fd_, kAnswer.data(), kAnswer.size());
        }
    }
    int fd_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

void BM_ClickToAnswerShown(benchmark::State& state) {
    const bool prompt = state.range(0) != 0;
    test::PtyPair pty;
    std::string folder = (std::filesystem::temp_directory_path() / "hx350-bench-XXXXXX").string();
    if (!pty.ok() || ::mkdtemp(folder.data()) == nullptr) {
        state.SkipWithError("no pseudo-terminal or temporary folder");
        return;
    }
    const SystemClock clock;
    EventLoop loop(clock);
    bench::SilentServices services;
    FormSeams seams = loopSeams(loop, services, pty.secondaryPath());
    seams.settings_path = folder + "/HX350.cfg";  // none there: the designed values
    auto form = std::make_unique<TForm1>(std::move(seams));
    form->FormCreate();
    form->PromptAnswers.SetChecked(prompt);
    AnsweringPeer peer(pty.primaryFd());
    const auto shown = [&form] {
        return form->FrameControls::MemoSMSinput.Text().find("ST:1010") != std::string::npos;
    };
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        form->ReadState.userClick();
        if (!loop.runUntil(shown, 10000)) {
            state.SkipWithError("no answer shown within 10 s");
            break;
        }
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
    form.reset();
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ClickToAnswerShown)
    ->ArgName("prompt")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace hx350
