#include "cli/src/time_value.h"

#include <cstdio>
#include <vector>

#include "contracts/wave_format.h"

namespace {

// Long enough for any ringtone and far from overflowing the sums below.
constexpr size_t kMaxDigits = 9;

bool AllDigits(std::string_view text) {
    if (text.empty() || text.size() > kMaxDigits) return false;
    for (const char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

int64_t Number(std::string_view digits) {
    int64_t value = 0;
    for (const char c : digits) value = value * 10 + (c - '0');
    return value;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    size_t from = 0;
    for (size_t at = text.find(separator); at != std::string_view::npos; at = text.find(separator, from)) {
        parts.push_back(text.substr(from, at - from));
        from = at + 1;
    }
    parts.push_back(text.substr(from));
    return parts;
}

}  // namespace

std::optional<int64_t> ParseTime(std::string_view text) {
    const std::vector<std::string_view> fields = Split(text, ':');
    if (fields.size() > 3) return std::nullopt;

    std::string_view seconds = fields.back();
    std::string_view fraction;
    if (const size_t dot = seconds.find('.'); dot != std::string_view::npos) {
        fraction = seconds.substr(dot + 1);
        seconds = seconds.substr(0, dot);
        if (!AllDigits(fraction)) return std::nullopt;
    }
    if (!AllDigits(seconds)) return std::nullopt;
    int64_t whole = Number(seconds);
    if (fields.size() > 1 && whole >= 60) return std::nullopt;

    if (fields.size() >= 2) {
        const std::string_view minutes = fields[fields.size() - 2];
        if (!AllDigits(minutes)) return std::nullopt;
        if (fields.size() == 3 && Number(minutes) >= 60) return std::nullopt;
        whole += Number(minutes) * 60;
    }
    if (fields.size() == 3) {
        if (!AllDigits(fields[0])) return std::nullopt;
        whole += Number(fields[0]) * 3600;
    }

    int64_t scale = 1;
    for (size_t i = 0; i < fraction.size(); ++i) scale *= 10;
    const int64_t part = fraction.empty() ? 0 : (Number(fraction) * kWorkingRate * 2 + scale) / (2 * scale);
    return whole * kWorkingRate + part;
}

std::string FramesText(int64_t frames) {
    const int64_t ms = (frames * 1000 + kWorkingRate / 2) / kWorkingRate;
    const auto hours = static_cast<long long>(ms / 3600000);
    const auto minutes = static_cast<long long>(ms / 60000 % 60);
    const auto seconds = static_cast<long long>(ms / 1000 % 60);
    const auto rest = static_cast<long long>(ms % 1000);
    char text[48];
    if (hours > 0)
        std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld.%03lld", hours, minutes, seconds, rest);
    else
        std::snprintf(text, sizeof text, "%02lld:%02lld.%03lld", minutes, seconds, rest);
    return text;
}
