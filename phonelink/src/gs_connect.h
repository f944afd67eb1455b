// GSConnect on the session bus (org.gnome.Shell.Extensions.GSConnect): its connected, paired
// devices from the object manager and sending a file with a device's "shareFile" action.
#pragma once

#include <string>

#include "phonelink/send.h"
#include "phonelink/src/session_bus.h"
#include "phonelink/src/way_scan.h"

inline constexpr char kGsConnectNotRunningHint[] = "GSConnect is not running";
inline constexpr char kGsConnectNoAnswerHint[] = "GSConnect does not answer";
inline constexpr char kGsConnectNoPhoneHint[] = "No paired phone is connected in GSConnect";

WayScan ScanGsConnect(SessionBus& bus);

// Activates the device's shareFile action with (url, open = false).
SendResult SendOverGsConnect(SessionBus& bus, const Phone& phone, const QString& url, std::string& error);
