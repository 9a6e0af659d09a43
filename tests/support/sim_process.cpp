#include "support/sim_process.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/pty_pair.h"

extern char** environ;

namespace hx350::test {

bool SimProcess::start(const std::string& binary, const std::vector<std::string>& options) {
    stop();
    int out[2];
    if (::pipe(out) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<std::string> args{binary};
    args.insert(args.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const int rc = ::posix_spawn(&pid_, binary.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (rc != 0) {
        pid_ = -1;
        ::close(out[0]);
        return false;
    }
    std::string line;
    waitUntil(
        [&] {
            char ch = 0;
            pollfd p{out[0], POLLIN, 0};
            while (::poll(&p, 1, 0) > 0 && ::read(out[0], &ch, 1) == 1) {
                if (ch == '\n') return true;
                line += ch;
            }
            return false;
        },
        Millis(3000));
    ::close(out[0]);
    path_ = line;
    return !path_.empty();
}

void SimProcess::stop() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    const bool ended = waitUntil([&] { return ::waitpid(pid_, nullptr, WNOHANG) == pid_; }, Millis(2000));
    if (!ended) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    pid_ = -1;
}

}  // namespace hx350::test
