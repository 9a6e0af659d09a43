// Only the kernel's terminal headers here: <asm/termbits.h> and <termios.h> define the same names
// differently and must never meet in one source.
#include "serial/line_state.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <cstring>

namespace hx350 {

static_assert(sizeof(termios2) <= sizeof(KernelLineState::bytes), "KernelLineState too small for termios2");

bool saveKernelLineState(int fd, KernelLineState& state) {
    termios2 t{};
    if (ioctl(fd, TCGETS2, &t) != 0) return false;
    std::memcpy(state.bytes, &t, sizeof t);
    state.valid = true;
    return true;
}

bool restoreKernelLineState(int fd, const KernelLineState& state) {
    if (!state.valid) {
        errno = EINVAL;
        return false;
    }
    termios2 t{};
    std::memcpy(&t, state.bytes, sizeof t);
    return ioctl(fd, TCSETS2, &t) == 0;
}

bool setKernelBitRate(int fd, std::uint32_t rate) {
    termios2 t{};
    if (ioctl(fd, TCGETS2, &t) != 0) return false;
    // BOTHER with the rate in c_ispeed/c_ospeed; the input rate field set to "same as output" would
    // not be needed, but an explicit pair reads back unambiguously.
    t.c_cflag &= ~static_cast<tcflag_t>(CBAUD | (CBAUD << IBSHIFT));
    t.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    t.c_ispeed = rate;
    t.c_ospeed = rate;
    return ioctl(fd, TCSETS2, &t) == 0;
}

std::optional<std::uint32_t> kernelBitRate(int fd) {
    termios2 t{};
    if (ioctl(fd, TCGETS2, &t) != 0) return std::nullopt;
    return static_cast<std::uint32_t>(t.c_ospeed);
}

}  // namespace hx350
