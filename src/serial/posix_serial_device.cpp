#include "serial/posix_serial_device.h"

#include "serial/termios_settings.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace hx350 {

namespace {

// A request the device does not implement: pseudo-terminals refuse the modem-control ioctls this way.
bool unsupported(int sys_errno) {
    return sys_errno == ENOTTY || sys_errno == EINVAL || sys_errno == EOPNOTSUPP;
}

std::int64_t monotonicMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1'000'000;
}

}  // namespace

PosixSerialDevice::~PosixSerialDevice() {
    close();
}

bool PosixSerialDevice::fail(const char* operation, int sys_errno) {
    last_error_.kind = serialErrorKindOf(sys_errno);
    if (last_error_.kind == SerialErrorKind::None) last_error_.kind = SerialErrorKind::Other;
    last_error_.sys_errno = sys_errno;
    last_error_.path = path_;
    last_error_.operation = operation;
    return false;
}

SerialError PosixSerialDevice::open(const std::string& path) {
    close();
    last_error_ = {};
    path_ = path;
    output_queue_size_ = 0;
    if (path.empty()) {
        fail("open", ENOENT);
        return last_error_;
    }
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        fail("open", errno);
        return last_error_;
    }
    // flock() is advisory but binds every process that asks, root included; TIOCEXCL keeps out programs
    // that do not ask (root excepted). Together they make the port ours alone.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int e = errno;
        ::close(fd);
        fail("lock", e);
        return last_error_;
    }
    if (!saveKernelLineState(fd, original_)) {
        const int e = errno;  // ENOTTY: a file, not a terminal
        ::close(fd);
        fail("read settings", e);
        return last_error_;
    }
    if (ioctl(fd, TIOCEXCL) != 0 && !unsupported(errno)) {
        const int e = errno;
        ::close(fd);
        fail("exclusive", e);
        return last_error_;
    }
    fd_ = fd;
    return last_error_;
}

void PosixSerialDevice::close() {
    if (fd_ < 0) return;
    // Best effort: a device that has vanished refuses all of these, and closing must still happen.
    restoreKernelLineState(fd_, original_);
    ioctl(fd_, TIOCNXCL);
    ::close(fd_);  // also releases the flock
    fd_ = -1;
    original_ = {};
}

bool PosixSerialDevice::applyLineSettings(const SerialLineSettings& settings) {
    if (fd_ < 0) return fail("line settings", EBADF);
    const auto plan = termiosFor(settings);
    if (!plan) return fail("line settings", EINVAL);
    if (tcsetattr(fd_, TCSANOW, &plan->settings) != 0) return fail("line settings", errno);
    if (plan->custom_rate && !setKernelBitRate(fd_, settings.baud_rate)) return fail("bit rate", errno);

    // Linux raises DTR and RTS on open; set both as asked right away.
    const std::pair<int, bool> lines[] = {{TIOCM_DTR, settings.dtr_on},
                                          {TIOCM_RTS, settings.rts_on || settings.rts_cts}};
    for (const auto& [bit, on] : lines) {
        int value = bit;
        if (ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &value) != 0 && !unsupported(errno))
            return fail("modem control", errno);
    }
    return true;
}

bool PosixSerialDevice::purge(bool input, bool output) {
    if (fd_ < 0) return fail("purge", EBADF);
    if (!input && !output) return true;
    const int which = input && output ? TCIOFLUSH : input ? TCIFLUSH : TCOFLUSH;
    if (tcflush(fd_, which) != 0) return fail("purge", errno);
    return true;
}

bool PosixSerialDevice::setQueueSizes(std::uint32_t /*input*/, std::uint32_t output) {
    // The kernel's queues have fixed sizes; the output size is kept to bound what waitWritable() lets
    // pile up in the device.
    if (fd_ < 0) return fail("queue sizes", EBADF);
    output_queue_size_ = output;
    return true;
}

std::optional<SerialQueueCounts> PosixSerialDevice::queueCounts() {
    if (fd_ < 0) return std::nullopt;
    int input = 0;
    if (ioctl(fd_, FIONREAD, &input) != 0) {
        fail("queue counts", errno);
        return std::nullopt;
    }
    int output = 0;
    if (ioctl(fd_, TIOCOUTQ, &output) != 0) {
        if (!unsupported(errno)) {
            fail("queue counts", errno);
            return std::nullopt;
        }
        output = 0;
    }
    SerialQueueCounts counts;
    counts.input = input > 0 ? static_cast<std::uint32_t>(input) : 0;
    counts.output = output > 0 ? static_cast<std::uint32_t>(output) : 0;
    return counts;
}

namespace {
SerialIoResult ioResult(ssize_t n) {
    SerialIoResult r;
    if (n >= 0) {
        r.count = static_cast<std::size_t>(n);
        return r;
    }
    r.sys_errno = errno;
    r.status = (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
                   ? SerialIoResult::Status::WouldBlock
                   : SerialIoResult::Status::Failed;
    return r;
}
}  // namespace

SerialIoResult PosixSerialDevice::read(std::uint8_t* buffer, std::size_t size) {
    if (fd_ < 0) return {SerialIoResult::Status::Failed, 0, EBADF};
    if (size == 0) return {};
    // With VMIN = VTIME = 0 a read with nothing waiting returns 0; so does one after the far end of a
    // pseudo-terminal closed. hungUp() tells the two apart.
    const SerialIoResult r = ioResult(::read(fd_, buffer, size));
    if (r.status == SerialIoResult::Status::Failed) fail("read", r.sys_errno);
    return r;
}

SerialIoResult PosixSerialDevice::write(const std::uint8_t* data, std::size_t size) {
    if (fd_ < 0) return {SerialIoResult::Status::Failed, 0, EBADF};
    if (size == 0) return {};
    const SerialIoResult r = ioResult(::write(fd_, data, size));
    if (r.status == SerialIoResult::Status::Failed) fail("write", r.sys_errno);
    return r;
}

bool PosixSerialDevice::waitWritable(std::uint32_t timeout_ms) {
    if (fd_ < 0) return false;
    // While the device holds a full output queue the terminal may still say "writable" (its own buffer is
    // larger than the queue size we were given): then nap in short steps until it drains.
    constexpr std::int64_t kDrainStepMs = 5;
    const std::int64_t deadline = monotonicMs() + timeout_ms;
    for (;;) {
        const std::int64_t remaining = deadline - monotonicMs();
        if (output_queue_size_ > 0) {
            int queued = 0;
            if (ioctl(fd_, TIOCOUTQ, &queued) == 0 &&
                static_cast<std::uint32_t>(queued) >= output_queue_size_) {
                if (remaining <= 0) return false;
                const std::int64_t nap = remaining < kDrainStepMs ? remaining : kDrainStepMs;
                poll(nullptr, 0, static_cast<int>(nap));
                continue;
            }
        }
        pollfd p{fd_, POLLOUT, 0};
        const int n = poll(&p, 1, static_cast<int>(remaining > 0 ? remaining : 0));
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail("wait", errno);
        }
        if (n == 0) return false;
        if ((p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) return false;
        if ((p.revents & POLLOUT) != 0) return true;
        if (remaining <= 0) return false;
    }
}

std::optional<ModemLineSet> PosixSerialDevice::modemLines() {
    if (fd_ < 0) return std::nullopt;
    int status = 0;
    if (ioctl(fd_, TIOCMGET, &status) != 0) return std::nullopt;
    ModemLineSet lines;
    if ((status & TIOCM_CTS) != 0) lines.insert(ModemLine::ClearToSend);
    if ((status & TIOCM_DSR) != 0) lines.insert(ModemLine::DataSetReady);
    if ((status & TIOCM_RNG) != 0) lines.insert(ModemLine::RingIndicator);
    if ((status & TIOCM_CAR) != 0) lines.insert(ModemLine::CarrierDetect);
    return lines;
}

bool PosixSerialDevice::hungUp() const {
    if (fd_ < 0) return false;
    pollfd p{fd_, 0, 0};  // hang-up and error conditions are reported whatever is asked for
    if (poll(&p, 1, 0) < 0) return false;
    return (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

}  // namespace hx350
