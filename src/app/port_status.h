// The status bar's account of the serial port: which port is in use, at what rate, and whether it is open
// or why not. A failed open shows no message box; this line is where the user sees it.
#pragma once

#include <string>

#include "serial/comm_port_driver.h"

namespace hx350 {

/// The text of StatusBar1 for the driver's current port, for example
/// "Com3: /dev/ttyUSB0, 19200 baud, open". When the port is closed the last word is the reason from the
/// driver's LastError(): "no such device", "permission denied", "in use", or "not open (<step>: <system
/// text>)" for anything else, and "closed" when no open was tried. A port number without a device shows
/// "no device" in place of the path; a port opened by name (pnCustom) shows "Port" in place of "Comn".
std::string portStatusText(const TCommPortDriver& driver);

}  // namespace hx350
