// Locale-independent number texts and hexadecimal byte texts.
#include "xml/src/value_text.h"

#include <locale.h>

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace valuetext {

namespace {
bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

locale_t CLocale() {
    static const locale_t locale = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}
}  // namespace

int ParseInt(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    const int64_t limit = negative ? -int64_t{INT_MIN} : int64_t{INT_MAX};
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min(value * 10 + (text[i] - '0'), limit);
    return static_cast<int>(negative ? -value : value);
}

double ParseDouble(std::string_view text) {
    char buffer[100] = {};  // the text as a C string of at most 99 bytes
    text.copy(buffer, sizeof buffer - 1);
    return CLocale() ? ::strtod_l(buffer, nullptr, CLocale()) : 0.0;
}

float ToFloat(double value) {
    if (std::isnan(value)) return static_cast<float>(value);
    if (value > FLT_MAX) return HUGE_VALF;
    if (value < -FLT_MAX) return -HUGE_VALF;
    return static_cast<float>(value);
}

std::string FormatGeneral(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
    return std::string(buffer, result.ptr);
}

std::string HexText(const uint8_t* bytes, int count) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    if (!bytes || count <= 0) return text;
    text.reserve(static_cast<size_t>(count) * 2);
    for (int i = 0; i < count; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0F];
    }
    return text;
}

int HexBytes(std::string_view text, uint8_t* bytes, int maxCount) {
    if (!bytes || maxCount <= 0) return 0;
    const auto nibble = [](char c) {
        const auto code = static_cast<unsigned char>(c);
        return static_cast<uint8_t>(code >= '0' && code <= '9' ? code - '0' : (code - 55u) & 0x0Fu);
    };
    const int count = static_cast<int>(std::min<size_t>(text.size() / 2, static_cast<size_t>(maxCount)));
    for (int i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(nibble(text[2 * i]) << 4 | nibble(text[2 * i + 1]));
    return count;
}

}  // namespace valuetext
