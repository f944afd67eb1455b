#include "btlink/src/bt_address.h"

#include <cstdio>

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::optional<BtAddress> ParseBtAddress(const std::string& text) {
    constexpr size_t kLength = 17;  // six groups of two digits and five separators
    if (text.size() != kLength) return std::nullopt;
    uint64_t value = 0;
    for (size_t group = 0; group < 6; ++group) {
        const size_t at = group * 3;
        if (group > 0 && text[at - 1] != ':') return std::nullopt;
        const int hi = HexDigit(text[at]), lo = HexDigit(text[at + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        value = (value << 8) | static_cast<uint64_t>(hi * 16 + lo);
    }
    return BtAddress{static_cast<uint32_t>(value & 0xFFFFFFFFu), static_cast<uint32_t>(value >> 32)};
}

std::string FormatBtAddress(const BtAddress& address) {
    const uint64_t value = (static_cast<uint64_t>(address.high & 0xFFFFu) << 32) | address.low;
    char text[18];
    std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", static_cast<unsigned>((value >> 40) & 0xFF),
                  static_cast<unsigned>((value >> 32) & 0xFF), static_cast<unsigned>((value >> 24) & 0xFF),
                  static_cast<unsigned>((value >> 16) & 0xFF), static_cast<unsigned>((value >> 8) & 0xFF),
                  static_cast<unsigned>(value & 0xFF));
    return text;
}
