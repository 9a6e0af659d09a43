// A write the far end does not take: the peer of a pseudo-terminal reads nothing, the kernel's queue is
// full, and the driver waits out its output timeout (1500 ms, as SerialTimeSetting sets it) before it gives
// up. The wait must sleep in the kernel rather than spin: the budget is 5 ms of CPU for the 1.5 s.
//
// Wall time per write is about 1.5 s; the CPU column is what the wait cost. "cpu_ms" repeats it as a
// counter and counts the whole process, in case the driver ever waits on another thread.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "base/clock.h"
#include "serial/comm_port_driver.h"

namespace hx350 {
namespace {

double processCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

// The primary side of a pseudo-terminal pair; nobody ever reads it.
class SilentPeer {
  public:
    SilentPeer() {
        fd_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (fd_ < 0 || ::grantpt(fd_) != 0 || ::unlockpt(fd_) != 0) return;
        const char* name = ::ptsname(fd_);
        if (name != nullptr) secondary_ = name;
    }
    ~SilentPeer() {
        if (fd_ >= 0) ::close(fd_);
    }
    SilentPeer(const SilentPeer&) = delete;
    SilentPeer& operator=(const SilentPeer&) = delete;
    const std::string& secondary() const { return secondary_; }

  private:
    int fd_ = -1;
    std::string secondary_;
};

constexpr std::uint16_t kOutputTimeoutMs = 1500;

void BM_WriteBlockedForOutputTimeout(benchmark::State& state) {
    SilentPeer peer;
    SystemClock clock;
    ManualTimer poll;
    TCommPortDriver driver(nullptr, poll, clock);
    driver.SetPortName(peer.secondary());
    driver.SetOutBufSize(TCommPortDriver::kMaxBufSize);
    driver.SetOutputTimeout(kOutputTimeoutMs);
    if (peer.secondary().empty() || !driver.Connect()) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    // Fill the queue first (a short wait of its own), so every timed write starts against a full queue.
    const std::vector<std::uint8_t> block(64 * 1024, 'x');
    driver.WriteDataTimed(block.data(), static_cast<std::uint32_t>(block.size()), 50);

    double cpu_ms = 0;
    for (auto _ : state) {
        const double before = processCpuMs();
        const std::uint32_t written = driver.WriteData(block.data(), 64);
        cpu_ms += processCpuMs() - before;
        if (written != 0) state.SkipWithError("the peer took bytes: the queue was not full");
    }
    state.counters["cpu_ms"] = benchmark::Counter(cpu_ms, benchmark::Counter::kAvgIterations);
}

BENCHMARK(BM_WriteBlockedForOutputTimeout)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace hx350
