#include "phonelink/src/phone_ids.h"

#include <cstdio>

#include "phonelink/src/escapes.h"

const char* PhoneWayName(PhoneWay way) {
    switch (way) {
        case PhoneWay::Usb: return "USB";
        case PhoneWay::KdeConnect: return "KDE Connect";
        case PhoneWay::GsConnect: return "GSConnect";
        case PhoneWay::Bluetooth: return "Bluetooth";
    }
    return "";
}

const char* IdPrefix(PhoneWay way) {
    switch (way) {
        case PhoneWay::Usb: return "usb:";
        case PhoneWay::KdeConnect: return "kdeconnect:";
        case PhoneWay::GsConnect: return "gsconnect:";
        case PhoneWay::Bluetooth: return "bt:";
    }
    return "";
}

std::string MakePhoneId(PhoneWay way, const std::string& key) { return IdPrefix(way) + key; }

std::string KeyOfPhoneId(PhoneWay way, const std::string& id) {
    const std::string prefix = IdPrefix(way);
    if (id.size() <= prefix.size() || id.compare(0, prefix.size(), prefix) != 0) return {};
    return id.substr(prefix.size());
}

bool BluetoothAddressOfId(const std::string& id, uint32_t& low, uint32_t& high) {
    const std::string address = KeyOfPhoneId(PhoneWay::Bluetooth, id);
    // Six groups of two hexadecimal digits separated by ':'.
    if (address.size() != 17) return false;
    uint64_t value = 0;
    for (size_t group = 0; group < 6; ++group) {
        const size_t at = group * 3;
        if (group > 0 && address[at - 1] != ':') return false;
        const int hi = HexDigitValue(address[at]), lo = HexDigitValue(address[at + 1]);
        if (hi < 0 || lo < 0) return false;
        value = (value << 8) | static_cast<uint64_t>(hi * 16 + lo);
    }
    low = static_cast<uint32_t>(value & 0xFFFFFFFFu);
    high = static_cast<uint32_t>(value >> 32);
    return true;
}

std::string BluetoothPhoneId(uint32_t low, uint32_t high) {
    char text[18];
    std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", (high >> 8) & 0xFFu, high & 0xFFu,
                  (low >> 24) & 0xFFu, (low >> 16) & 0xFFu, (low >> 8) & 0xFFu, low & 0xFFu);
    return MakePhoneId(PhoneWay::Bluetooth, text);
}
