// The form's watch over its serial port: the device list of the Serial Port page, a device that goes
// away while open, and the same device coming back.
#include <sys/stat.h>

#include "app/form.h"
#include "app/port_status.h"
#include "link/device_link.h"
#include "serial/port_catalogue.h"

namespace hx350 {

namespace {

// Reopen attempts after the lost path reappears, one per tick of Timer1: udev creates the node first and
// gives it its group and mode a moment later, so the first attempt may meet "permission denied".
constexpr int kReopenTries = 5;

bool pathExists(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

}  // namespace

std::map<int, std::string> TForm1::numbering() const {
    if (catalogue_ != nullptr) return catalogue_->ports();
    std::map<int, std::string> ports;
    if (!port_path_) return ports;
    for (int n = pnCOM1; n <= pnCOM16; ++n) {
        std::string path = port_path_(n);
        if (!path.empty()) ports.emplace(n, std::move(path));
    }
    return ports;
}

DiagnosisContext TForm1::diagnosisContext() const {
    DiagnosisContext context;
    context.roots = roots_;
    context.ports = numbering();
    if (opened_port_ && opened_port_->path == driver_->PortName()) context.last_seen = opened_port_;
    return context;
}

void TForm1::refreshPortList() {
    std::string text;
    for (const std::string& line : portOverview(numbering(), roots_)) {
        if (!text.empty()) text += "\r\n";
        text += line;
    }
    if (text != MemoPorts.Text()) MemoPorts.SetText(text);
}

void TForm1::portHungUp() {
    const std::string path = driver_->PortName();
    driver_->Disconnect();
    lost_path_ = path;
    reopen_tries_left_ = 0;
    DiagnosisContext context = diagnosisContext();
    StatusBar1.SetText(statusBarText(portLabel(driver_->Port()), diagnoseDisconnect(path, context)));
}

void TForm1::retryLostPort() {
    // The chosen number must still lead to the lost path: an adapter that came back under another name
    // is only pointed out, never opened behind the user's back.
    const int chosen = RadioGroupPort.ItemIndex() + 1;
    const std::string chosen_path = port_path_ ? port_path_(chosen) : std::string();
    if (!pathExists(lost_path_) || chosen_path != lost_path_) {
        // Still gone: say where the same adapter is now, if it came back under another name.
        StatusBar1.SetText(
            statusBarText(portLabel(driver_->Port()), diagnoseDisconnect(lost_path_, diagnosisContext())));
        return;
    }
    --reopen_tries_left_;
    const std::string lost = lost_path_;
    const int tries_left = reopen_tries_left_;
    InitPort();
    if (driver_->IsConnected() || tries_left <= 0) return;
    // Not yet: keep waiting for the same path, a few more ticks.
    lost_path_ = lost;
    reopen_tries_left_ = tries_left;
}

void TForm1::watchPorts() {
    if (!port_watch_) port_watch_ = std::make_unique<PortWatch>(roots_.dev);
    if (driver_->IsConnected() && driver_->HungUp()) portHungUp();
    if (port_watch_->changed()) {
        if (catalogue_ != nullptr) catalogue_->rescan();
        refreshPortList();
        if (!lost_path_.empty()) {
            reopen_tries_left_ = kReopenTries;
            retryLostPort();
        }
    } else if (!lost_path_.empty() && reopen_tries_left_ > 0) {
        retryLostPort();
    }
}

}  // namespace hx350
