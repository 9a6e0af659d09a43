#include "app/port_status.h"

#include <cstring>

namespace hx350 {

namespace {

std::string reasonNotOpen(const SerialError& error) {
    switch (error.kind) {
        case SerialErrorKind::None:
            return "closed";
        case SerialErrorKind::MissingDevice:
            return "no such device";
        case SerialErrorKind::PermissionDenied:
            return "permission denied";
        case SerialErrorKind::Busy:
            return "in use";
        case SerialErrorKind::Other:
            break;
    }
    std::string why = "not open (" + (error.operation.empty() ? std::string("open") : error.operation);
    if (error.sys_errno != 0) why += std::string(": ") + std::strerror(error.sys_errno);
    return why + ")";
}

}  // namespace

std::string portStatusText(const TCommPortDriver& driver) {
    const TPortNumber port = driver.Port();
    std::string text =
        port == pnCustom ? std::string("Port") : "Com" + std::to_string(static_cast<int>(port));
    text += ": ";
    text += driver.PortName().empty() ? std::string("no device") : driver.PortName();
    text += ", " + std::to_string(driver.BaudRateValue()) + " baud, ";
    text += driver.IsConnected() ? std::string("open") : reasonNotOpen(driver.LastError());
    return text;
}

}  // namespace hx350
