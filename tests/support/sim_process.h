// hx350-sim as a child process of a test: started with options, it announces the path of its terminal on
// the first line of its output; stopped with SIGTERM (SIGKILL after a deadline) when the test ends.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace hx350::test {

class SimProcess {
  public:
    SimProcess() = default;
    ~SimProcess() { stop(); }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    /// Starts the program `binary` with `options` and waits (at most 3 s) for the terminal's path.
    /// Result: false when it could not be started or announced no path.
    bool start(const std::string& binary, const std::vector<std::string>& options);

    /// Ends the program (SIGTERM, then SIGKILL after 2 s) and reaps it. Nothing when not running.
    void stop();

    /// The terminal the program serves ("" before start()).
    const std::string& path() const { return path_; }
    bool running() const { return pid_ > 0; }

  private:
    pid_t pid_ = -1;
    std::string path_;
};

}  // namespace hx350::test
