// The registry-like key store of the settings.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Keys are paths such as "SOFTWARE\\Zo Ruvo\\Qo Morvane\\Qo Morvane 1.0" under a root.
// The current user's keys live in $XDG_CONFIG_HOME/morvane/registry.ini (else
// ~/.config/...); machine-wide keys are read from the first "morvane/registry.ini" found in
// $XDG_CONFIG_DIRS (else /etc/xdg) and are read-only. Values are integers, strings or raw bytes.
// The environment is read at every call. The file is an INI file with one section per key
// (key paths compare without regard to case) and one line per value:
//   name=dword:0000002a          RegType::Dword, the 32-bit value in hexadecimal
//   name=string:"text"           RegType::String, with \\ \" \n \r \t and \xHH escapes
//   name=hex:01FE00              RegType::Binary, two hex digits per byte
//   name=hex(0):01FE00           any other type (here None) with its number
// '%', '=', ';', '[', ']', control characters and blanks at either end of a key path or
// value name are written as %XX. Writers hold an flock on registry.ini.lock beside the
// file and replace it through a temporary file and a rename.

using HKEY = uintptr_t;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002;

enum class RegType : uint32_t { None = 0, String = 1, Binary = 3, Dword = 4 };

struct RegValue {
    RegType type = RegType::None;
    std::vector<uint8_t> bytes;  // a String holds its UTF-8 text without a terminator
};

namespace keystore {
// Opens the key for writing: true when it exists in, or could be created in, the current
// user's store. Always false for the read-only machine-wide root.
bool CreateKey(HKEY root, const std::string& subkey);
// True when the key (or a key below it) exists.
bool KeyExists(HKEY root, const std::string& subkey);
// Writes one value, creating the key. False for a read-only root or a write failure.
bool SetValue(HKEY root, const std::string& subkey, const std::string& name, const RegValue& value);
// Writes several values of one key in a single rewrite of the store.
bool SetValues(HKEY root, const std::string& subkey, const std::vector<std::pair<std::string, RegValue>>& values);
// The value, or nothing when the key or value is absent or its text is malformed.
std::optional<RegValue> QueryValue(HKEY root, const std::string& subkey, const std::string& name);
// True when the value existed and was removed.
bool DeleteValue(HKEY root, const std::string& subkey, const std::string& name);

// Typed conveniences used by the program's profile.
bool SetInt(HKEY root, const std::string& subkey, const std::string& name, int32_t value);
int32_t GetInt(HKEY root, const std::string& subkey, const std::string& name, int32_t defaultValue);
bool SetString(HKEY root, const std::string& subkey, const std::string& name, const std::string& value);
std::string GetString(HKEY root, const std::string& subkey, const std::string& name, const std::string& defaultValue);
}  // namespace keystore
