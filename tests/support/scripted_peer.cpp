#include "scripted_peer.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace hx350::test {

namespace {

using Clock = std::chrono::steady_clock;

// Shows bytes readably in a failure text: printable as they are, the rest as \xNN.
std::string printable(const std::string& bytes) {
    static const char* const kHex = "0123456789ABCDEF";
    std::string out;
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7F && c != '\\') {
            out += c;
        } else {
            out += "\\x";
            out += kHex[u >> 4];
            out += kHex[u & 0xF];
        }
    }
    return out;
}

}  // namespace

ScriptedPeer::ScriptedPeer(int fd) : fd_(fd) {}

ScriptedPeer::~ScriptedPeer() {
    stop();
}

ScriptedPeer& ScriptedPeer::expect(std::string bytes, Millis timeout) {
    steps_.push_back({Step::Kind::Expect, std::move(bytes), 0, timeout});
    return *this;
}

ScriptedPeer& ScriptedPeer::send(std::string bytes, std::size_t piece, Millis pause_between) {
    steps_.push_back({Step::Kind::Send, std::move(bytes), piece, pause_between});
    return *this;
}

ScriptedPeer& ScriptedPeer::pause(Millis duration) {
    steps_.push_back({Step::Kind::Pause, {}, 0, duration});
    return *this;
}

void ScriptedPeer::start() {
    if (thread_.joinable()) return;
    thread_ = std::thread([this] { run(); });
}

bool ScriptedPeer::finished(Millis deadline) {
    std::unique_lock lock(mutex_);
    if (!ended_cv_.wait_for(lock, deadline, [this] { return ended_; })) return false;
    return failure_.empty();
}

void ScriptedPeer::stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

std::string ScriptedPeer::received() const {
    std::lock_guard lock(mutex_);
    return received_;
}

std::string ScriptedPeer::failure() const {
    std::lock_guard lock(mutex_);
    return failure_;
}

void ScriptedPeer::end(std::string failure) {
    std::lock_guard lock(mutex_);
    if (ended_) return;
    ended_ = true;
    failure_ = std::move(failure);
    ended_cv_.notify_all();
}

// Waits up to `wait_ms` for input and appends what is there. False when the descriptor failed.
bool ScriptedPeer::readSome(int wait_ms) {
    pollfd p{fd_, POLLIN, 0};
    const int n = poll(&p, 1, wait_ms);
    if (n < 0) return errno == EINTR;
    if (n == 0) return true;
    char buf[4096];
    const ssize_t got = ::read(fd_, buf, sizeof buf);
    if (got > 0) {
        std::lock_guard lock(mutex_);
        received_.append(buf, static_cast<std::size_t>(got));
        return true;
    }
    const int error = got < 0 ? errno : 0;
    if (error == EAGAIN || error == EINTR) return true;
    // 0 or EIO: the other side is not (or no longer) open; do not spin on it.
    if ((p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) usleep(5000);
    return error == 0 || error == EIO;
}

bool ScriptedPeer::sendAll(const std::string& bytes) {
    std::size_t done = 0;
    const auto end_time = Clock::now() + Millis(2000);
    while (done < bytes.size() && !stop_) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
        if (Clock::now() >= end_time) return false;
        pollfd p{fd_, POLLOUT, 0};
        poll(&p, 1, 10);
    }
    return done == bytes.size();
}

void ScriptedPeer::run() {
    for (const Step& step : steps_) {
        if (stop_) return end("stopped before the script ended");
        switch (step.kind) {
            case Step::Kind::Expect: {
                const auto end_time = Clock::now() + step.duration;
                for (;;) {
                    {
                        std::lock_guard lock(mutex_);
                        const auto at = received_.find(step.bytes, matched_);
                        if (at != std::string::npos) {
                            matched_ = at + step.bytes.size();
                            break;
                        }
                    }
                    if (stop_ || Clock::now() >= end_time) {
                        std::string got;
                        {
                            std::lock_guard lock(mutex_);
                            got = received_.substr(matched_);
                        }
                        return end("expected \"" + printable(step.bytes) + "\", got \"" + printable(got) +
                                   "\"");
                    }
                    if (!readSome(10))
                        return end("read failed while expecting \"" + printable(step.bytes) + "\"");
                }
                break;
            }
            case Step::Kind::Send: {
                const std::size_t piece = step.piece == 0 ? step.bytes.size() : step.piece;
                for (std::size_t at = 0; at < step.bytes.size(); at += piece) {
                    if (at > 0 && step.duration.count() > 0) std::this_thread::sleep_for(step.duration);
                    if (!sendAll(step.bytes.substr(at, piece)))
                        return end("could not send \"" + printable(step.bytes) + "\"");
                }
                break;
            }
            case Step::Kind::Pause: {
                const auto end_time = Clock::now() + step.duration;
                while (!stop_ && Clock::now() < end_time) {
                    const auto left = std::chrono::duration_cast<Millis>(end_time - Clock::now()).count();
                    readSome(static_cast<int>(std::min<long long>(left, 10)));
                }
                break;
            }
        }
    }
    end({});
    // Keep collecting until stopped, so received() covers everything the far end was sent.
    while (!stop_)
        readSome(10);
}

}  // namespace hx350::test
