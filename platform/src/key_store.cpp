// The registry-like key store: INI files under the XDG configuration folders, one section per
// key path and one typed line per value (the text form is described in key_store.h).
#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string_view>

#include "platform/files.h"
#include "platform/key_store.h"
#include "platform/src/file_rewrite.h"
#include "platform/src/ini_document.h"
#include "platform/texts.h"

namespace {

constexpr std::string_view kStoreName = "/morvane/registry.ini";

bool IsAbsolute(const char* path) { return path && path[0] == '/'; }

// $HOME, else the password database's home folder.
std::optional<std::string> HomeFolder() {
    if (const char* home = std::getenv("HOME"); IsAbsolute(home)) return std::string(home);
    long bufferSize = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::string buffer(bufferSize > 0 ? static_cast<size_t>(bufferSize) : 16384, '\0');
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        IsAbsolute(found->pw_dir))
        return std::string(found->pw_dir);
    return std::nullopt;
}

std::optional<std::string> UserConfigFolder() {
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); IsAbsolute(config)) return std::string(config);
    if (std::optional<std::string> home = HomeFolder()) return *home + "/.config";
    return std::nullopt;
}

std::optional<std::string> UserStorePath() {
    if (std::optional<std::string> folder = UserConfigFolder()) return *folder + std::string(kStoreName);
    return std::nullopt;
}

// The first morvane/registry.ini of the machine-wide configuration folders.
std::optional<std::string> MachineStorePath() {
    const char* variable = std::getenv("XDG_CONFIG_DIRS");
    std::string_view folders = variable && *variable ? variable : "/etc/xdg";
    while (!folders.empty()) {
        const size_t colon = folders.find(':');
        const std::string folder(folders.substr(0, colon));
        folders = colon == std::string_view::npos ? std::string_view() : folders.substr(colon + 1);
        if (!IsAbsolute(folder.c_str())) continue;
        std::string path = folder + std::string(kStoreName);
        if (FileExists(path)) return path;
    }
    return std::nullopt;
}

std::optional<std::string> StorePathFor(HKEY root) {
    if (root == HKEY_CURRENT_USER) return UserStorePath();
    if (root == HKEY_LOCAL_MACHINE) return MachineStorePath();
    return std::nullopt;
}

constexpr char kHexDigits[] = "0123456789ABCDEF";

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

void AppendHexByte(std::string& text, uint8_t byte) {
    text += kHexDigits[byte >> 4];
    text += kHexDigits[byte & 0x0F];
}

// A key path or value name as it appears in the file: characters that the INI form gives a
// meaning to become %XX.
std::string StoredName(std::string_view name) {
    std::string stored;
    for (size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        const bool blankAtEnd = (c == ' ' || c == '\t') && (i == 0 || i + 1 == name.size());
        if (c < 0x20 || c == 0x7F || blankAtEnd || std::strchr("%=;[]", c) != nullptr) {
            stored += '%';
            AppendHexByte(stored, c);
        } else {
            stored += static_cast<char>(c);
        }
    }
    return stored;
}

std::string HexText(const std::vector<uint8_t>& bytes) {
    std::string text;
    for (uint8_t byte : bytes) AppendHexByte(text, byte);
    return text;
}

std::optional<std::vector<uint8_t>> HexBytes(std::string_view text) {
    if (text.size() % 2 != 0) return std::nullopt;
    std::vector<uint8_t> bytes;
    bytes.reserve(text.size() / 2);
    for (size_t i = 0; i < text.size(); i += 2) {
        const int high = HexDigit(text[i]), low = HexDigit(text[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes.push_back(static_cast<uint8_t>(high * 16 + low));
    }
    return bytes;
}

std::string QuotedText(const std::vector<uint8_t>& bytes) {
    std::string text = "\"";
    for (uint8_t c : bytes) {
        switch (c) {
            case '\\': text += "\\\\"; break;
            case '"': text += "\\\""; break;
            case '\n': text += "\\n"; break;
            case '\r': text += "\\r"; break;
            case '\t': text += "\\t"; break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    text += "\\x";
                    AppendHexByte(text, c);
                } else {
                    text += static_cast<char>(c);
                }
        }
    }
    return text + "\"";
}

std::optional<std::vector<uint8_t>> UnquotedText(std::string_view text) {
    if (text.size() < 2 || text.front() != '"' || text.back() != '"') return std::nullopt;
    text = text.substr(1, text.size() - 2);
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"') return std::nullopt;
        if (text[i] != '\\') {
            bytes.push_back(static_cast<uint8_t>(text[i]));
            continue;
        }
        if (++i == text.size()) return std::nullopt;
        switch (text[i]) {
            case '\\': bytes.push_back('\\'); break;
            case '"': bytes.push_back('"'); break;
            case 'n': bytes.push_back('\n'); break;
            case 'r': bytes.push_back('\r'); break;
            case 't': bytes.push_back('\t'); break;
            case 'x': {
                if (i + 2 >= text.size()) return std::nullopt;
                const std::optional<std::vector<uint8_t>> byte = HexBytes(text.substr(i + 1, 2));
                if (!byte || byte->size() != 1) return std::nullopt;
                bytes.push_back(byte->front());
                i += 2;
                break;
            }
            default: return std::nullopt;
        }
    }
    return bytes;
}

std::string ValueText(const RegValue& value) {
    if (value.type == RegType::Dword && value.bytes.size() == 4) {
        uint32_t number = 0;
        std::memcpy(&number, value.bytes.data(), 4);
        std::string text = "dword:";
        for (int shift = 28; shift >= 0; shift -= 4) text += "0123456789abcdef"[(number >> shift) & 0x0F];
        return text;
    }
    if (value.type == RegType::String) return "string:" + QuotedText(value.bytes);
    if (value.type == RegType::Binary) return "hex:" + HexText(value.bytes);
    return "hex(" + std::to_string(static_cast<uint32_t>(value.type)) + "):" + HexText(value.bytes);
}

std::optional<RegValue> ParsedValue(std::string_view text) {
    const auto startsWith = [&text](std::string_view prefix) {
        if (text.substr(0, prefix.size()) != prefix) return false;
        text.remove_prefix(prefix.size());
        return true;
    };
    RegValue value;
    std::optional<std::vector<uint8_t>> bytes;
    if (startsWith("dword:")) {
        value.type = RegType::Dword;
        if (text.size() != 8) return std::nullopt;
        bytes = HexBytes(text);
        if (bytes) std::reverse(bytes->begin(), bytes->end());  // stored high byte first
    } else if (startsWith("string:")) {
        value.type = RegType::String;
        bytes = UnquotedText(text);
    } else if (startsWith("hex:")) {
        value.type = RegType::Binary;
        bytes = HexBytes(text);
    } else if (startsWith("hex(")) {
        const size_t close = text.find("):");
        if (close == 0 || close > 10 || text.substr(0, close).find_first_not_of("0123456789") != std::string_view::npos)
            return std::nullopt;
        const unsigned long type = std::stoul(std::string(text.substr(0, close)));
        if (type > UINT32_MAX) return std::nullopt;
        value.type = static_cast<RegType>(type);
        bytes = HexBytes(text.substr(close + 2));
    }
    if (!bytes) return std::nullopt;
    value.bytes = std::move(*bytes);
    return value;
}

std::optional<IniDocument> ReadStore(HKEY root) {
    const std::optional<std::string> path = StorePathFor(root);
    if (!path) return std::nullopt;
    std::optional<std::string> text = ReadTextFile(*path);
    if (!text) return std::nullopt;
    return IniDocument(*text);
}

bool KeyIn(const IniDocument& store, const std::string& subkey) {
    const std::string section = StoredName(subkey);
    return store.AnySection([&section](std::string_view name) {
        return EqualsNoCase(name, section) || (name.size() > section.size() && name[section.size()] == '\\' &&
                                               EqualsNoCase(name.substr(0, section.size()), section));
    });
}

// Read-modify-write of the current user's store under its lock file. change returns
// whether it changed the document.
bool EditUserStore(HKEY root, const std::function<bool(IniDocument&)>& change) {
    if (root != HKEY_CURRENT_USER) return false;
    const std::optional<std::string> path = UserStorePath();
    if (!path || !MakeFolders(path->substr(0, path->rfind('/')))) return false;
    return RewriteFile(*path, *path + ".lock", true, [&change](std::string& text) {
        IniDocument store(text);
        if (!change(store)) return false;
        text = store.Text();
        return true;
    });
}

RegValue DwordValue(int32_t number) {
    RegValue value{RegType::Dword, std::vector<uint8_t>(4)};
    std::memcpy(value.bytes.data(), &number, 4);
    return value;
}

}  // namespace

namespace keystore {

bool KeyExists(HKEY root, const std::string& subkey) {
    const std::optional<IniDocument> store = ReadStore(root);
    return store && KeyIn(*store, subkey);
}

bool CreateKey(HKEY root, const std::string& subkey) {
    if (root != HKEY_CURRENT_USER) return false;
    if (KeyExists(root, subkey)) return true;
    return EditUserStore(root, [&subkey](IniDocument& store) {
        if (KeyIn(store, subkey)) return false;
        store.AddSection(StoredName(subkey));
        return true;
    });
}

bool SetValues(HKEY root, const std::string& subkey, const std::vector<std::pair<std::string, RegValue>>& values) {
    return EditUserStore(root, [&](IniDocument& store) {
        const std::string section = StoredName(subkey);
        store.AddSection(section);
        for (const auto& [name, value] : values) store.Set(section, StoredName(name), ValueText(value));
        return true;
    });
}

bool SetValue(HKEY root, const std::string& subkey, const std::string& name, const RegValue& value) {
    return SetValues(root, subkey, {{name, value}});
}

std::optional<RegValue> QueryValue(HKEY root, const std::string& subkey, const std::string& name) {
    const std::optional<IniDocument> store = ReadStore(root);
    if (!store) return std::nullopt;
    const std::optional<std::string_view> text = store->Find(StoredName(subkey), StoredName(name));
    return text ? ParsedValue(*text) : std::nullopt;
}

bool DeleteValue(HKEY root, const std::string& subkey, const std::string& name) {
    bool removed = false;
    const bool written = EditUserStore(root, [&](IniDocument& store) {
        removed = store.RemoveKey(StoredName(subkey), StoredName(name));
        return removed;
    });
    return written && removed;
}

bool SetInt(HKEY root, const std::string& subkey, const std::string& name, int32_t value) {
    return SetValue(root, subkey, name, DwordValue(value));
}

int32_t GetInt(HKEY root, const std::string& subkey, const std::string& name, int32_t defaultValue) {
    const std::optional<RegValue> value = QueryValue(root, subkey, name);
    if (!value || value->type != RegType::Dword || value->bytes.size() != 4) return defaultValue;
    int32_t number = 0;
    std::memcpy(&number, value->bytes.data(), 4);
    return number;
}

bool SetString(HKEY root, const std::string& subkey, const std::string& name, const std::string& value) {
    return SetValue(root, subkey, name, RegValue{RegType::String, std::vector<uint8_t>(value.begin(), value.end())});
}

std::string GetString(HKEY root, const std::string& subkey, const std::string& name, const std::string& defaultValue) {
    const std::optional<RegValue> value = QueryValue(root, subkey, name);
    if (!value || value->type != RegType::String) return defaultValue;
    return std::string(value->bytes.begin(), value->bytes.end());
}

}  // namespace keystore
