// The ids of phones: "<way prefix><key>", where the key is the storage folder (USB), the
// device id (KDE Connect, GSConnect) or the Bluetooth address.
#pragma once

#include <string>

#include "phonelink/phones.h"

// "usb:", "kdeconnect:", "gsconnect:", "bt:".
const char* IdPrefix(PhoneWay way);
std::string MakePhoneId(PhoneWay way, const std::string& key);
// The key of an id made for that way; empty when the id belongs to another way.
std::string KeyOfPhoneId(PhoneWay way, const std::string& id);
