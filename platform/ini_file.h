// Private-profile (INI) files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// Sections and keys are matched without regard to ASCII case, with surrounding blanks
// ignored; lines starting with ';' are comments. Files may use CRLF and start with a UTF-8
// byte order mark. Writing takes an exclusive lock on the file, rewrites it through a
// temporary file beside it and a rename (keeping its mode), so a file is never left
// half-written and concurrent writers do not lose each other's values. Every other line is
// kept as it was. Files larger than 64 MiB are treated as unreadable.

// Integer value (the string value as GetPrivateProfileString gives it): optional sign, then
// "0x"/"0X" and hexadecimal digits or decimal digits, up to the first other character,
// modulo 2^32; no digits gives 0. The default when the section, key or file is missing or
// the value is empty.
int GetPrivateProfileInt(const std::string& section, const std::string& key, int defaultValue, const std::string& path);
// String value with surrounding blanks and one pair of enclosing quotes removed; at most
// capacity - 1 characters (capacity 0 gives ""). The default when missing.
std::string GetPrivateProfileString(const std::string& section, const std::string& key, const std::string& defaultValue,
                                    const std::string& path, size_t capacity = 1024);
// Writes key=value in section (creating both and the file as needed). A null key deletes
// the section, a null value deletes the key. Returns false when the file cannot be written
// or a name or value cannot be represented (line breaks; ']' in a section; '=' in a key).
bool WritePrivateProfileString(const std::string& section, const std::optional<std::string>& key,
                               const std::optional<std::string>& value, const std::string& path);
// Binary value as two upper-case hex digits per byte followed by a one-byte checksum
// (the low byte of the sum of the bytes). Null data deletes the key.
bool WritePrivateProfileStruct(const std::string& section, const std::string& key, const void* data, uint32_t size,
                               const std::string& path);
// Reads exactly size bytes; false (and data untouched) on a missing key, a wrong length,
// a bad hex digit or a wrong checksum.
bool GetPrivateProfileStruct(const std::string& section, const std::string& key, void* data, uint32_t size,
                             const std::string& path);
