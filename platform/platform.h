// Thin platform layers the rest of the program is written against: ticks, files and
// temporary names, private-profile (INI) files and the registry-like key store.
// Free of Qt. Strings are UTF-8.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// ---- time -------------------------------------------------------------------------------

// Milliseconds of a monotonic clock (the system's millisecond tick count).
uint32_t TickCountMs();

// ---- files and folders ------------------------------------------------------------------

// True when the path is not empty, exists and is not a folder.
bool FileExists(const std::string& path);
// True when the path (after removing one trailing slash) exists and is a folder.
bool FolderExists(const std::string& path);
// The folder of the running executable, without a trailing slash.
std::string ProgramFolder();
// $TMPDIR when it names a readable folder, else /tmp, else the program's folder;
// without a trailing slash.
std::string TempFolder();
// "<folder>/<prefix><n>.<ext>" in TempFolder(), n starting at the tick count and growing
// while a file of that name exists. Only the name is made; the caller creates the file.
std::string UniqueTempName(const std::string& prefix, const std::string& extension);
// The same rule in a given folder (used by UniqueTempName, and by tests).
std::string UniqueNameIn(const std::string& folder, const std::string& prefix, const std::string& extension,
                         uint32_t firstNumber);

// ---- texts ------------------------------------------------------------------------------

// "MM:SS" under an hour, "HH:MM:SS" from one hour up.
std::string TimeText(uint32_t seconds);
// "N bytes" under 1024, else "%.2lf Kb." / "Mb." / "Gb." / "Tb.".
std::string SizeText(uint64_t bytes);

// ---- private-profile (INI) files --------------------------------------------------------
// Sections and keys are matched without regard to ASCII case. Writing rewrites the file
// through a temporary file beside it and a rename, so a file is never left half-written.

// Integer value: optional leading blanks and sign, decimal digits up to the first other
// character; no digits gives 0. The default when the section, key or file is missing.
int GetPrivateProfileInt(const std::string& section, const std::string& key, int defaultValue,
                         const std::string& path);
// String value with surrounding blanks and one pair of enclosing quotes removed; at most
// capacity - 1 characters (capacity 0 gives ""). The default when missing.
std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue, const std::string& path,
                                    size_t capacity = 1024);
// Writes key=value in section (creating both and the file as needed). A null key deletes
// the section, a null value deletes the key. Returns false when the file cannot be written.
bool WritePrivateProfileString(const std::string& section, const std::optional<std::string>& key,
                               const std::optional<std::string>& value, const std::string& path);
// Binary value as two upper-case hex digits per byte followed by a one-byte checksum
// (the low byte of the sum of the bytes).
bool WritePrivateProfileStruct(const std::string& section, const std::string& key, const void* data,
                               uint32_t size, const std::string& path);
// Reads exactly size bytes; false (and data untouched) on a missing key, a wrong length,
// a bad hex digit or a wrong checksum.
bool GetPrivateProfileStruct(const std::string& section, const std::string& key, void* data, uint32_t size,
                             const std::string& path);

// ---- the key store (registry) -----------------------------------------------------------
// Keys are paths such as "SOFTWARE\\Zo Ruvo\\Qo Morvane\\Qo Morvane 1.0" under a root.
// The current user's keys live in $XDG_CONFIG_HOME/morvane/registry.ini (else
// ~/.config/...); machine-wide keys are read from the first "morvane/registry.ini" found in
// $XDG_CONFIG_DIRS (else /etc/xdg) and are read-only. Values are integers, strings or raw bytes.

using HKEY = uintptr_t;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002;

enum class RegType : uint32_t { None = 0, String = 1, Binary = 3, Dword = 4 };

struct RegValue {
    RegType type = RegType::None;
    std::vector<uint8_t> bytes;  // a String holds its UTF-8 text without a terminator
};

namespace keystore {
// True when the key exists or could be created (current user only).
bool CreateKey(HKEY root, const std::string& subkey);
// True when the key exists.
bool KeyExists(HKEY root, const std::string& subkey);
// Writes one value, creating the key. False for a read-only root or a write failure.
bool SetValue(HKEY root, const std::string& subkey, const std::string& name, const RegValue& value);
std::optional<RegValue> QueryValue(HKEY root, const std::string& subkey, const std::string& name);
bool DeleteValue(HKEY root, const std::string& subkey, const std::string& name);

// Typed conveniences used by the program's profile.
bool SetInt(HKEY root, const std::string& subkey, const std::string& name, int32_t value);
int32_t GetInt(HKEY root, const std::string& subkey, const std::string& name, int32_t defaultValue);
bool SetString(HKEY root, const std::string& subkey, const std::string& name, const std::string& value);
std::string GetString(HKEY root, const std::string& subkey, const std::string& name,
                      const std::string& defaultValue);
}  // namespace keystore
