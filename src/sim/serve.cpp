#include "sim/serve.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "base/clock.h"
#include "sim/module.h"
#include "sim/module_link.h"
#include "sim/output_queue.h"
#include "sim/phone.h"
#include "sim/transcript.h"

namespace hx350::sim {

namespace {

volatile std::sig_atomic_t g_stop = 0;

extern "C" void onSignal(int) {
    g_stop = 1;
}

// Output the client does not read piles up here; beyond this much the oldest answers are dropped.
constexpr std::size_t kMaxPendingOutput = 1 << 20;
// Incoming bytes with no more following for this long close their transcript entry.
constexpr std::uint32_t kQuietGapMs = 100;

struct Fds {
    int line = -1;    // what we read and write: the pty's primary side or the device
    int holder = -1;  // the pty's secondary, held open so a client may come and go without a hang-up
    ~Fds() {
        if (line >= 0) ::close(line);
        if (holder >= 0) ::close(holder);
    }
};

bool makeRaw(int fd, int baud) {
    termios t{};
    if (::tcgetattr(fd, &t) != 0) return false;
    ::cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    if (baud > 0) {
        struct Rate {
            int rate;
            speed_t speed;
        };
        static constexpr Rate kRates[] = {{1200, B1200},   {2400, B2400},     {4800, B4800},
                                          {9600, B9600},   {19200, B19200},   {38400, B38400},
                                          {57600, B57600}, {115200, B115200}, {230400, B230400}};
        bool found = false;
        for (const Rate& r : kRates) {
            if (r.rate == baud) {
                ::cfsetispeed(&t, r.speed);
                ::cfsetospeed(&t, r.speed);
                found = true;
            }
        }
        if (!found) {
            errno = EINVAL;
            return false;
        }
    }
    return ::tcsetattr(fd, TCSANOW, &t) == 0;
}

std::string errorText() {
    return std::strerror(errno);
}

}  // namespace

int serve(const SimOptions& options, std::FILE* announce, std::FILE* errors) {
    Fds fds;
    std::string path;
    if (!options.device.empty()) {
        fds.line = ::open(options.device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fds.line < 0 || !makeRaw(fds.line, options.baud)) {
            std::fprintf(errors, "hx350-sim: cannot use %s: %s\n", options.device.c_str(),
                         errorText().c_str());
            return 1;
        }
        path = options.device;
    } else {
        fds.line = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        char name[128] = {};
        if (fds.line < 0 || ::grantpt(fds.line) != 0 || ::unlockpt(fds.line) != 0 ||
            ::ptsname_r(fds.line, name, sizeof name) != 0) {
            std::fprintf(errors, "hx350-sim: cannot create a pseudo-terminal: %s\n", errorText().c_str());
            return 1;
        }
        path = name;
        fds.holder = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fds.holder < 0 || !makeRaw(fds.holder, 0)) {
            std::fprintf(errors, "hx350-sim: cannot set up %s: %s\n", name, errorText().c_str());
            return 1;
        }
    }

    bool linked = false;
    if (!options.link.empty()) {
        struct stat st {};
        if (::lstat(options.link.c_str(), &st) == 0) {
            if (!S_ISLNK(st.st_mode)) {
                std::fprintf(errors, "hx350-sim: %s exists and is not a symbolic link\n",
                             options.link.c_str());
                return 1;
            }
            ::unlink(options.link.c_str());  // a stale link of an earlier run
        }
        if (::symlink(path.c_str(), options.link.c_str()) != 0) {
            std::fprintf(errors, "hx350-sim: cannot make the link %s: %s\n", options.link.c_str(),
                         errorText().c_str());
            return 1;
        }
        linked = true;
    }

    Transcript transcript;
    if (!options.transcript.empty() && !transcript.open(options.transcript)) {
        std::fprintf(errors, "hx350-sim: cannot write the transcript %s: %s\n", options.transcript.c_str(),
                     errorText().c_str());
        if (linked) ::unlink(options.link.c_str());
        return 1;
    }

    // Signals end the loop; they are blocked except while waiting in ppoll, so none is lost between checks.
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    ::signal(SIGPIPE, SIG_IGN);
    sigset_t blocked;
    sigset_t waiting;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGINT);
    sigaddset(&blocked, SIGTERM);
    ::sigprocmask(SIG_BLOCK, &blocked, &waiting);
    sigdelset(&waiting, SIGINT);
    sigdelset(&waiting, SIGTERM);

    std::fprintf(announce, "%s\n", path.c_str());
    std::fflush(announce);

    SystemClock clock;
    Module module(clock);
    std::unique_ptr<Session> session;
    if (options.mode == SimMode::kPhone) {
        PhoneConfig config;
        if (!options.module_number.empty()) config.module_number = options.module_number;
        config.module_reply_ms = options.reply_delay_ms;
        session = std::make_unique<Phone>(config, clock, module);
    } else {
        session = std::make_unique<ModuleLink>(module);
    }
    OutputQueue queue(options.answer_delay_ms, options.split, options.split_pause_ms);
    transcript.note(std::string("hx350-sim ") + HX350_SIM_VERSION + ", " +
                    (options.mode == SimMode::kPhone ? "phone" : "module") + " mode on " + path +
                    (options.silent ? ", silent" : ""));

    std::string pending;  // bytes of the current write that did not go out yet
    // Incoming bytes are gathered into one transcript entry per line (clients that write a byte at a time
    // would otherwise fill the transcript with one-byte entries): an entry ends at CR or Ctrl-Z, before
    // any output, and after a quiet gap.
    std::string incoming;
    std::string incoming_stamp;
    std::uint32_t incoming_since = 0;
    auto flushIncoming = [&] {
        if (incoming.empty()) return;
        transcript.record(incoming_stamp, Direction::kIn, incoming);
        incoming.clear();
    };
    auto recordOut = [&](std::string_view bytes) {
        flushIncoming();
        transcript.record(Direction::kOut, bytes);
    };
    int status = 0;
    while (!g_stop) {
        const std::uint32_t now = clock.tickCount();
        if (!incoming.empty() && elapsedMs(incoming_since, now) >= kQuietGapMs) flushIncoming();
        for (std::string& piece : queue.takeDue(now)) {
            if (pending.size() + piece.size() > kMaxPendingOutput) {
                transcript.note("client does not read: " + std::to_string(piece.size()) + " bytes dropped");
                continue;
            }
            pending += piece;
            // Each piece is its own write so that --split reaches the client as separate chunks.
            const ssize_t n = ::write(fds.line, pending.data(), pending.size());
            if (n > 0) {
                recordOut(std::string_view(pending).substr(0, static_cast<std::size_t>(n)));
                pending.erase(0, static_cast<std::size_t>(n));
            } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
                std::fprintf(errors, "hx350-sim: write failed: %s\n", errorText().c_str());
                status = 1;
                g_stop = 1;
                break;
            }
        }
        if (g_stop) break;

        int timeout = -1;
        auto consider = [&timeout](std::optional<std::uint32_t> ms) {
            if (ms && (timeout < 0 || static_cast<int>(*ms) < timeout)) timeout = static_cast<int>(*ms);
        };
        consider(queue.msUntilDue(now));
        consider(session->msUntilNextEvent());
        if (!pending.empty() && (timeout < 0 || timeout > 20)) timeout = 20;
        if (!incoming.empty()) {
            const std::uint32_t waited = elapsedMs(incoming_since, now);
            const int left = waited >= kQuietGapMs ? 0 : static_cast<int>(kQuietGapMs - waited);
            if (timeout < 0 || left < timeout) timeout = left;
        }

        pollfd pfd{fds.line, static_cast<short>(POLLIN | (pending.empty() ? 0 : POLLOUT)), 0};
        timespec ts{};
        timespec* tsp = nullptr;
        if (timeout >= 0) {
            ts.tv_sec = timeout / 1000;
            ts.tv_nsec = static_cast<long>(timeout % 1000) * 1000000L;
            tsp = &ts;
        }
        const int ready = ::ppoll(&pfd, 1, tsp, &waiting);
        if (ready < 0) {
            if (errno == EINTR) continue;
            std::fprintf(errors, "hx350-sim: poll failed: %s\n", errorText().c_str());
            status = 1;
            break;
        }
        if (ready > 0 && (pfd.revents & POLLOUT) && !pending.empty()) {
            const ssize_t n = ::write(fds.line, pending.data(), pending.size());
            if (n > 0) {
                recordOut(std::string_view(pending).substr(0, static_cast<std::size_t>(n)));
                pending.erase(0, static_cast<std::size_t>(n));
            }
        }
        if (ready > 0 && (pfd.revents & POLLIN)) {
            char buf[4096];
            const ssize_t n = ::read(fds.line, buf, sizeof buf);
            if (n > 0) {
                const std::string_view bytes(buf, static_cast<std::size_t>(n));
                if (incoming.empty()) {
                    incoming_stamp = transcriptTimestamp();
                    incoming_since = clock.tickCount();
                }
                incoming += bytes;
                if (bytes.find_first_of("\r\x1a") != std::string_view::npos) flushIncoming();
                if (!options.silent) queue.push(session->feed(bytes), clock.tickCount());
            } else if (n == 0 && fds.holder < 0) {
                transcript.note("device closed");
                std::fprintf(errors, "hx350-sim: %s was closed\n", path.c_str());
                status = 1;
                break;
            } else if (n < 0 && errno != EAGAIN && errno != EINTR && errno != EIO) {
                std::fprintf(errors, "hx350-sim: read failed: %s\n", errorText().c_str());
                status = 1;
                break;
            }
        } else if (ready > 0 && (pfd.revents & (POLLHUP | POLLERR)) && fds.holder < 0) {
            transcript.note("device hung up");
            std::fprintf(errors, "hx350-sim: %s hung up\n", path.c_str());
            status = 1;
            break;
        }
        if (!options.silent) queue.push(session->poll(), clock.tickCount());
    }

    flushIncoming();
    transcript.note(status == 0 ? "stopped by a signal" : "stopped by an error");
    if (linked) ::unlink(options.link.c_str());
    return status;
}

}  // namespace hx350::sim
