#include "serial/termios_settings.h"

#include <array>

namespace hx350 {

namespace {

struct RateConstant {
    std::uint32_t rate;
    speed_t constant;
};

// Rates with a B-constant of their own; any other rate goes through setKernelBitRate().
constexpr std::array kRateConstants{
    RateConstant{50, B50},           RateConstant{75, B75},           RateConstant{110, B110},
    RateConstant{134, B134},         RateConstant{150, B150},         RateConstant{200, B200},
    RateConstant{300, B300},         RateConstant{600, B600},         RateConstant{1200, B1200},
    RateConstant{1800, B1800},       RateConstant{2400, B2400},       RateConstant{4800, B4800},
    RateConstant{9600, B9600},       RateConstant{19200, B19200},     RateConstant{38400, B38400},
    RateConstant{57600, B57600},     RateConstant{115200, B115200},   RateConstant{230400, B230400},
    RateConstant{460800, B460800},   RateConstant{500000, B500000},   RateConstant{576000, B576000},
    RateConstant{921600, B921600},   RateConstant{1000000, B1000000}, RateConstant{1152000, B1152000},
    RateConstant{1500000, B1500000}, RateConstant{2000000, B2000000}, RateConstant{2500000, B2500000},
    RateConstant{3000000, B3000000}, RateConstant{3500000, B3500000}, RateConstant{4000000, B4000000},
};

tcflag_t byteSizeFlag(int data_bits) {
    switch (data_bits) {
        case 5:
            return CS5;
        case 6:
            return CS6;
        case 7:
            return CS7;
        default:
            return CS8;
    }
}

tcflag_t parityFlags(SerialLineSettings::Parity parity) {
    using P = SerialLineSettings::Parity;
    switch (parity) {
        case P::None:
            return 0;
        case P::Odd:
            return PARENB | PARODD;
        case P::Even:
            return PARENB;
        case P::Mark:  // CMSPAR makes the parity bit constant: PARODD selects 1 (mark), else 0 (space)
            return PARENB | CMSPAR | PARODD;
        case P::Space:
            return PARENB | CMSPAR;
    }
    return 0;
}

}  // namespace

std::optional<speed_t> speedConstantOf(std::uint32_t rate) {
    for (const auto& r : kRateConstants)
        if (r.rate == rate) return r.constant;
    return std::nullopt;
}

std::optional<TermiosPlan> termiosFor(const SerialLineSettings& settings) {
    // termios has no 1.5 stop bits, and rate 0 would tell the terminal driver to hang up.
    if (settings.stop_bits == SerialLineSettings::StopBits::OneAndHalf || settings.baud_rate == 0 ||
        settings.data_bits < 5 || settings.data_bits > 8)
        return std::nullopt;

    TermiosPlan plan;
    termios& t = plan.settings;  // from zero: raw and binary, nothing inherited from an earlier user
    t.c_iflag = settings.xon_xoff ? (IXON | IXOFF) : 0;  // no INPCK: received parity is not checked
    t.c_oflag = 0;
    t.c_cflag = CREAD | CLOCAL | byteSizeFlag(settings.data_bits) | parityFlags(settings.parity) |
                (settings.stop_bits == SerialLineSettings::StopBits::Two ? CSTOPB : 0) |
                (settings.rts_cts ? CRTSCTS : 0);
    t.c_lflag = 0;
    t.c_cc[VMIN] = 0;  // a read returns at once with what is there
    t.c_cc[VTIME] = 0;
    t.c_cc[VSTART] = static_cast<cc_t>(settings.xon_char);
    t.c_cc[VSTOP] = static_cast<cc_t>(settings.xoff_char);
    const auto constant = speedConstantOf(settings.baud_rate);
    plan.custom_rate = !constant;
    cfsetispeed(&t, constant.value_or(B9600));
    cfsetospeed(&t, constant.value_or(B9600));
    return plan;
}

}  // namespace hx350
