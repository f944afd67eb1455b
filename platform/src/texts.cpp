// Time and size texts shown to the user.
#include <cstdio>
#include <string>

#include "platform/texts.h"

std::string TimeText(uint32_t seconds) {
    char text[32];
    const unsigned hours = seconds / 3600, minutes = seconds / 60 % 60, rest = seconds % 60;
    if (hours > 0)
        std::snprintf(text, sizeof text, "%02u:%02u:%02u", hours, minutes, rest);
    else
        std::snprintf(text, sizeof text, "%02u:%02u", minutes, rest);
    return text;
}

std::string SizeText(uint64_t bytes) {
    char text[64];
    if (bytes < 1024) {
        std::snprintf(text, sizeof text, "%llu bytes", static_cast<unsigned long long>(bytes));
        return text;
    }
    static const char* const units[] = {"Kb.", "Mb.", "Gb.", "Tb."};
    double value = static_cast<double>(bytes) / 1024.0;
    int unit = 0;
    while (unit < 3 && value >= 1024.0) {
        value /= 1024.0;
        ++unit;
    }
    std::snprintf(text, sizeof text, "%.2lf %s", value, units[unit]);
    return text;
}
