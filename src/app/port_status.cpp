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

std::string portLabel(TPortNumber port) {
    return port == pnCustom ? std::string("Port") : "Com" + std::to_string(static_cast<int>(port));
}

std::string portStatusText(const TCommPortDriver& driver) {
    std::string text = portLabel(driver.Port()) + ": ";
    text += driver.PortName().empty() ? std::string("no device") : driver.PortName();
    text += ", " + std::to_string(driver.BaudRateValue()) + " baud, ";
    text += driver.IsConnected() ? std::string("open") : reasonNotOpen(driver.LastError());
    return text;
}

std::string portOpenStatusText(const TCommPortDriver& driver, const DiagnosisContext& context) {
    if (driver.IsConnected() || driver.LastError().ok()) return portStatusText(driver);
    SerialError error = driver.LastError();
    // A number without a device fails before anything is opened: the error carries no path, and the
    // diagnosis then says that the number has no device rather than naming a path.
    if (driver.PortName().empty()) error.path.clear();
    return statusBarText(portLabel(driver.Port()), diagnoseOpenFailure(error, context));
}

std::string portOverviewLine(int number, const PortInfo& info) {
    return "Com" + std::to_string(number) + " = " + portSummary(info);
}

std::vector<std::string> portOverview(const std::map<int, std::string>& ports, const SystemRoots& roots) {
    std::vector<std::string> lines;
    for (const auto& [number, path] : ports) {
        if (number < pnCOM1 || number > pnCOM16 || path.empty()) continue;
        lines.push_back(portOverviewLine(number, describePort(path, roots)));
    }
    if (lines.empty()) lines.emplace_back("No serial device found on this machine");
    return lines;
}

}  // namespace hx350
