#include "serial/serial_device.h"

#include <cerrno>

namespace hx350 {

SerialErrorKind serialErrorKindOf(int sys_errno) {
    switch (sys_errno) {
        case 0:
            return SerialErrorKind::None;
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return SerialErrorKind::MissingDevice;
        case EACCES:
        case EPERM:
        case EROFS:
            return SerialErrorKind::PermissionDenied;
        case EBUSY:
        case EWOULDBLOCK:  // flock() refusing a second holder
            return SerialErrorKind::Busy;
        default:
            return SerialErrorKind::Other;
    }
}

}  // namespace hx350
