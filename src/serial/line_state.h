// Kernel-level line state of a Linux terminal: the whole settings record including any bit rate.
//
// The C library's termios has no room for a rate without a B-constant (14400, 56000, 128000 ...), so these
// few calls use the kernel's own termios2 record. Its header clashes with <termios.h>, which is why they
// live in a source of their own and this header shows no terminal types at all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace hx350 {

/// An opaque copy of a terminal's complete kernel settings.
struct KernelLineState {
    alignas(8) unsigned char bytes[96] = {};
    bool valid = false;
};

/// Reads the complete settings of terminal `fd` into `state`. Result: false (errno set) on failure.
bool saveKernelLineState(int fd, KernelLineState& state);

/// Writes back settings read by saveKernelLineState(), at once. Result: false (errno set) on failure or
/// when `state` holds none.
bool restoreKernelLineState(int fd, const KernelLineState& state);

/// Sets input and output rate of terminal `fd` to `rate` bit/s exactly, whether or not it has a
/// B-constant, keeping every other setting. Result: false (errno set) on failure.
bool setKernelBitRate(int fd, std::uint32_t rate);

/// The output rate of terminal `fd` in bit/s as the kernel holds it; nullopt (errno set) on failure.
std::optional<std::uint32_t> kernelBitRate(int fd);

}  // namespace hx350
