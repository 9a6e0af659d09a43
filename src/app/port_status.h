// The status bar's account of the serial port: which port is in use, at what rate, and whether it is open
// or why not. A failed open shows no message box; this line is where the user sees it.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "host/port_diagnosis.h"
#include "host/port_info.h"
#include "serial/comm_port_driver.h"

namespace hx350 {

/// The text of StatusBar1 for the driver's current port, for example
/// "Com3: /dev/ttyUSB0, 19200 baud, open". When the port is closed the last word is the reason from the
/// driver's LastError(): "no such device", "permission denied", "in use", or "not open (<step>: <system
/// text>)" for anything else, and "closed" when no open was tried. A port number without a device shows
/// "no device" in place of the path; a port opened by name (pnCustom) shows "Port" in place of "Comn".
std::string portStatusText(const TCommPortDriver& driver);

/// How the status bar names the driver's port: "Com3" for pnCOM3, "Port" for a port opened by name.
std::string portLabel(TPortNumber port);

/// The status bar after InitPort or a failed reopen: portStatusText() while the port is open or when no
/// open was tried; otherwise the diagnosis of LastError() as statusBarText() words it, for example
/// "Com3: /dev/ttyUSB0: in use - held by minicom (pid 4242): close that program first".
/// Parameters: `driver` the port; `context` the roots, the current numbering and what the port led to
/// when it was last open. Looks into the file system (and, for a port in use, every process's open
/// files): call it once per attempt, not per tick.
std::string portOpenStatusText(const TCommPortDriver& driver, const DiagnosisContext& context);

/// One line of the Serial Port page's device list: "Com3 = " followed by portSummary(), for example
/// "Com3 = /dev/ttyUSB0: FTDI FT232R USB UART, serial A50285BI (0403:6001), by-id usb-FTDI_...".
std::string portOverviewLine(int number, const PortInfo& info);

/// The device list of the Serial Port page: one portOverviewLine() per numbered port in number order
/// (numbers outside 1..16 and empty paths are left out), or the single line "No serial device found on
/// this machine" when there is none. Reads sysfs and the device folder under `roots`; opens nothing.
std::vector<std::string> portOverview(const std::map<int, std::string>& ports, const SystemRoots& roots);

}  // namespace hx350
