// Private-profile (INI) functions with the Windows semantics the settings code relies on.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ini_file.h"
#include "platform/src/file_rewrite.h"
#include "platform/src/ini_document.h"

namespace {

// The raw value (without surrounding blanks) of section/key.
std::optional<std::string> FindValue(const std::string& section, const std::string& key, const std::string& path) {
    const std::optional<std::string> text = ReadTextFile(path);
    if (!text) return std::nullopt;
    const IniDocument document(*text);
    const std::optional<std::string_view> value = document.Find(TrimBlanks(section), TrimBlanks(key));
    if (!value) return std::nullopt;
    return std::string(*value);
}

std::string_view WithoutQuotes(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// At most maxBytes bytes, never cutting a UTF-8 sequence in two.
std::string Truncated(std::string_view text, size_t maxBytes) {
    if (text.size() <= maxBytes) return std::string(text);
    size_t end = maxBytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return std::string(text.substr(0, end));
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Sign, then hexadecimal after "0x" or decimal digits, up to the first other character,
// computed modulo 2^32 (no overflow can trap).
int ParseProfileInt(std::string_view text) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    uint32_t value = 0;
    if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        for (i += 2; i < text.size() && HexDigit(text[i]) >= 0; ++i)
            value = value * 16u + static_cast<uint32_t>(HexDigit(text[i]));
    } else {
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
            value = value * 10u + static_cast<uint32_t>(text[i] - '0');
    }
    if (negative) value = 0u - value;
    return static_cast<int>(value);
}

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

bool RepresentableSection(std::string_view section) {
    return !HasLineBreak(section) && section.find(']') == std::string_view::npos;
}

bool RepresentableKey(std::string_view key) {
    return !HasLineBreak(key) && key.find('=') == std::string_view::npos &&
           (key.empty() || (key.front() != '[' && key.front() != ';'));
}

bool EditIni(const std::string& path, bool createIfMissing, const std::function<bool(IniDocument&)>& change) {
    return RewriteFile(path, path, createIfMissing, [&change](std::string& text) {
        IniDocument document(text);
        if (!change(document)) return false;
        text = document.Text();
        return true;
    });
}

bool SetValueText(const std::string& section, const std::string& key, const std::string& value,
                  const std::string& path) {
    return EditIni(path, true, [&](IniDocument& document) {
        const std::optional<std::string_view> old = document.Find(section, key);
        if (old && *old == value) return false;
        document.Set(section, key, value);
        return true;
    });
}

}  // namespace

int GetPrivateProfileInt(const std::string& section, const std::string& key, int defaultValue,
                         const std::string& path) {
    const std::optional<std::string> value = FindValue(section, key, path);
    if (!value) return defaultValue;
    const std::string_view text = WithoutQuotes(*value);
    return text.empty() ? defaultValue : ParseProfileInt(text);
}

std::string GetPrivateProfileString(const std::string& section, const std::string& key, const std::string& defaultValue,
                                    const std::string& path, size_t capacity) {
    if (capacity == 0) return {};
    const std::optional<std::string> value = FindValue(section, key, path);
    return Truncated(value ? WithoutQuotes(*value) : std::string_view(defaultValue), capacity - 1);
}

bool WritePrivateProfileString(const std::string& section, const std::optional<std::string>& key,
                               const std::optional<std::string>& value, const std::string& path) {
    const std::string_view sectionName = TrimBlanks(section);
    const std::string_view keyName = key ? TrimBlanks(*key) : std::string_view();
    if (!RepresentableSection(sectionName) || (key && !RepresentableKey(keyName)) || (value && HasLineBreak(*value)))
        return false;
    if (!key) return EditIni(path, false, [&](IniDocument& document) { return document.RemoveSection(sectionName); });
    if (!value)
        return EditIni(path, false, [&](IniDocument& document) { return document.RemoveKey(sectionName, keyName); });
    return SetValueText(std::string(sectionName), std::string(keyName), *value, path);
}

bool WritePrivateProfileStruct(const std::string& section, const std::string& key, const void* data, uint32_t size,
                               const std::string& path) {
    if (!data) return WritePrivateProfileString(section, key, std::nullopt, path);
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const auto* bytes = static_cast<const uint8_t*>(data);
    std::string text;
    text.reserve(size_t{size} * 2 + 2);
    uint8_t checksum = 0;
    for (uint32_t i = 0; i <= size; ++i) {
        const uint8_t byte = i < size ? bytes[i] : checksum;
        checksum = static_cast<uint8_t>(checksum + byte);
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return WritePrivateProfileString(section, key, text, path);
}

bool GetPrivateProfileStruct(const std::string& section, const std::string& key, void* data, uint32_t size,
                             const std::string& path) {
    const std::optional<std::string> value = FindValue(section, key, path);
    if (!data || !value || value->size() != size_t{size} * 2 + 2) return false;
    std::string decoded(size_t{size} + 1, '\0');
    for (size_t i = 0; i < decoded.size(); ++i) {
        const int high = HexDigit((*value)[2 * i]);
        const int low = HexDigit((*value)[2 * i + 1]);
        if (high < 0 || low < 0) return false;
        decoded[i] = static_cast<char>(high * 16 + low);
    }
    uint8_t checksum = 0;
    for (uint32_t i = 0; i < size; ++i) checksum = static_cast<uint8_t>(checksum + static_cast<uint8_t>(decoded[i]));
    if (checksum != static_cast<uint8_t>(decoded[size])) return false;
    std::copy_n(decoded.data(), size, static_cast<char*>(data));
    return true;
}
