// The 48-bit Bluetooth address as BlueZ writes it ("AA:BB:CC:DD:EE:FF") and as btlink's
// callers hold it (low 32 bits, high 16 bits).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct BtAddress {
    uint32_t low = 0;
    uint32_t high = 0;  // only the low 16 bits count
};

// Six two-digit hexadecimal groups separated by ':' (either case); nullopt otherwise.
std::optional<BtAddress> ParseBtAddress(const std::string& text);
// "AA:BB:CC:DD:EE:FF", upper case.
std::string FormatBtAddress(const BtAddress& address);
