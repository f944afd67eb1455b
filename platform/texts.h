// Texts the program shows: times, sizes; names compared without regard to case.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// "MM:SS" under an hour, "HH:MM:SS" from one hour up.
std::string TimeText(uint32_t seconds);
// "N bytes" under 1024, else "%.2lf Kb." / "Mb." / "Gb." / "Tb.".
std::string SizeText(uint64_t bytes);

// Equality without regard to ASCII letter case (names of sections, keys, elements, tags).
inline bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}
