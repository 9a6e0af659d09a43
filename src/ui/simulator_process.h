// hx350-sim as a child process for --simulate: started from the program's own folder, its pseudo-terminal
// read from the first line it prints, ended with the program.
#pragma once

#include <sys/types.h>

#include <QProcess>
#include <QString>

namespace hx350::ui {

/// Runs in the simulator's process between fork and exec: asks the kernel for SIGTERM when the parent
/// ends, and ends the process at once when `parent` (the process that forked it) has already gone, since
/// the request only covers a parent alive when it is made. Async-signal-safe.
void endWithParent(pid_t parent);

class SimulatorProcess {
  public:
    SimulatorProcess() = default;
    /// Ends the simulator if it runs.
    ~SimulatorProcess();
    SimulatorProcess(const SimulatorProcess&) = delete;
    SimulatorProcess& operator=(const SimulatorProcess&) = delete;

    /// Starts `program` (normally hx350-sim beside this program) with --mode `mode` and waits up to
    /// `timeout_ms` for the path of its pseudo-terminal. Result: the path, or "" with `error` set (the
    /// program is missing, exits, or says nothing in time).
    QString start(const QString& program, const QString& mode, int timeout_ms, QString* error);

    /// Ends the simulator (SIGTERM, then SIGKILL after a grace period). Nothing when not running.
    void stop();

    /// The simulator beside the running program.
    static QString besideProgram();

  private:
    QProcess process_;
};

}  // namespace hx350::ui
