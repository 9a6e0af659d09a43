#include "pty_pair.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <thread>
#include <vector>

namespace hx350::test {

namespace {

using Clock = std::chrono::steady_clock;

int msLeft(Clock::time_point end) {
    const auto left = std::chrono::duration_cast<Millis>(end - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

}  // namespace

bool waitUntil(const std::function<bool()>& done, Millis deadline, Millis step) {
    const auto end = Clock::now() + deadline;
    for (;;) {
        if (done()) return true;
        if (Clock::now() >= end) return done();
        std::this_thread::sleep_for(step);
    }
}

bool makeRaw(int fd) {
    termios t{};
    if (tcgetattr(fd, &t) != 0) return false;
    cfmakeraw(&t);
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    return tcsetattr(fd, TCSANOW, &t) == 0;
}

PtyPair::PtyPair() {
    int primary = -1;
    int secondary = -1;
    char name[256] = {};
    if (openpty(&primary, &secondary, name, nullptr, nullptr) != 0) return;
    makeRaw(primary);
    makeRaw(secondary);
    fcntl(primary, F_SETFL, fcntl(primary, F_GETFL) | O_NONBLOCK);
    fcntl(primary, F_SETFD, FD_CLOEXEC);
    fcntl(secondary, F_SETFD, FD_CLOEXEC);
    primary_ = primary;
    secondary_ = secondary;
    secondary_path_ = name;
}

PtyPair::~PtyPair() {
    closePrimary();
    closeSecondary();
}

void PtyPair::closePrimary() {
    if (primary_ >= 0) ::close(primary_);
    primary_ = -1;
}

void PtyPair::closeSecondary() {
    if (secondary_ >= 0) ::close(secondary_);
    secondary_ = -1;
}

bool PtyPair::writePrimary(std::string_view bytes, Millis deadline) {
    const auto end = Clock::now() + deadline;
    while (!bytes.empty()) {
        if (primary_ < 0) return false;
        const ssize_t n = ::write(primary_, bytes.data(), bytes.size());
        if (n > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
        pollfd p{primary_, POLLOUT, 0};
        if (poll(&p, 1, msLeft(end)) <= 0 && Clock::now() >= end) return false;
    }
    return true;
}

std::string PtyPair::readPrimary(std::size_t count, Millis deadline) {
    const auto end = Clock::now() + deadline;
    std::string out;
    char buf[4096];
    while (out.size() < count && primary_ >= 0) {
        const ssize_t n = ::read(primary_, buf, std::min(sizeof buf, count - out.size()));
        if (n > 0) {
            out.append(buf, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) break;  // EIO: no secondary open
        if (Clock::now() >= end) break;
        pollfd p{primary_, POLLIN, 0};
        poll(&p, 1, std::min(msLeft(end), 10));
    }
    return out;
}

std::string PtyPair::drainPrimary(Millis quiet, Millis deadline) {
    const auto end = Clock::now() + deadline;
    std::string out;
    char buf[4096];
    auto last = Clock::now();
    while (primary_ >= 0 && Clock::now() < end) {
        const ssize_t n = ::read(primary_, buf, sizeof buf);
        if (n > 0) {
            out.append(buf, static_cast<std::size_t>(n));
            last = Clock::now();
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) break;
        if (Clock::now() - last >= quiet) break;
        pollfd p{primary_, POLLIN, 0};
        poll(&p, 1, 2);
    }
    return out;
}

std::size_t PtyPair::secondaryInputCount() const {
    int count = 0;
    if (secondary_ < 0 || ioctl(secondary_, FIONREAD, &count) != 0 || count < 0) return 0;
    return static_cast<std::size_t>(count);
}

bool PtyPair::waitSecondaryInput(std::size_t count, Millis deadline) const {
    return waitUntil([&] { return secondaryInputCount() >= count; }, deadline);
}

std::size_t PtyPair::fillSecondaryOutput() {
    if (secondary_ < 0) return 0;
    // Non-blocking for the fill only; the flag belongs to the pair's own open description.
    const int flags = fcntl(secondary_, F_GETFL);
    fcntl(secondary_, F_SETFL, flags | O_NONBLOCK);
    // The terminal moves bytes on to the primary side's queue in the background, so room can open up
    // again shortly after a refusal: keep going, down to single bytes, until it stays full for a while.
    const std::vector<char> block(1024, 'F');
    std::size_t total = 0;
    auto last_progress = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - last_progress < Millis(30)) {
        bool progress = false;
        for (const std::size_t size : {block.size(), std::size_t{1}}) {
            for (;;) {
                const ssize_t n = ::write(secondary_, block.data(), size);
                if (n <= 0 && !(n < 0 && errno == EINTR)) break;
                if (n > 0) {
                    total += static_cast<std::size_t>(n);
                    progress = true;
                }
            }
        }
        if (progress) last_progress = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(Millis(2));
    }
    fcntl(secondary_, F_SETFL, flags);
    return total;
}

}  // namespace hx350::test
