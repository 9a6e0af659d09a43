// Shared by the memo benchmarks of the core and of the window: resident memory, and the direct-mode
// answer a module that never pauses sends once a second.
#pragma once

#include <time.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <string>

namespace hx350::bench {

/// Resident memory of this process in KiB (from /proc/self/statm), 0 when unknown.
inline double residentKiB() {
    std::ifstream statm("/proc/self/statm");
    std::uint64_t size = 0;
    std::uint64_t resident = 0;
    if (!(statm >> size >> resident)) return 0;
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / 1024.0;
}

/// CPU time of this thread in ns: steadier than the wall clock on a shared machine.
inline double threadCpuNs() {
    timespec ts{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e9 + static_cast<double>(ts.tv_nsec);
}

/// The status line of second `n` of the day, as the module sends it (with its CR LF).
inline std::string statusLine(int n) {
    return "ST OUT=00000 IN=0000000 T1=+21 T2=+19 A1=042 GSM=17 s" + std::to_string(n) + "\r\n";
}

/// Lines a memo holds in the benchmarks' "full" case: the bound.
inline constexpr int kFullMemoLines = 5000;

}  // namespace hx350::bench
