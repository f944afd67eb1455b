// KDE Connect's daemon on the session bus (org.kde.kdeconnect): its paired, reachable
// devices and sending a file through a device's share plug-in.
#pragma once

#include <string>

#include "phonelink/send.h"
#include "phonelink/src/session_bus.h"
#include "phonelink/src/way_scan.h"

inline constexpr char kKdeConnectNotRunningHint[] = "KDE Connect is not running";
inline constexpr char kKdeConnectNoAnswerHint[] = "KDE Connect does not answer";
inline constexpr char kKdeConnectNoPhoneHint[] = "No paired phone is reachable in KDE Connect";

WayScan ScanKdeConnect(SessionBus& bus);

// Hands the file at url (file://) to the phone's share plug-in.
SendResult SendOverKdeConnect(SessionBus& bus, const Phone& phone, const QString& url, std::string& error);
