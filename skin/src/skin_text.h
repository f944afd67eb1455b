// Small text helpers shared by the skin library's sources (not part of its interface).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "skin/skin_values.h"

namespace skintext {

std::string Trim(const std::string& text);
// ASCII case-insensitive equality.
bool EqualsNoCase(const std::string& a, const std::string& b);
// Splits at any of the separators; parts are trimmed, empty parts kept.
std::vector<std::string> Split(const std::string& text, const char* separators);
// Non-empty words separated by blanks or '|'.
std::vector<std::string> Words(const std::string& text);
// A whole decimal integer with optional sign; false for anything else or overflow.
bool ParseInt(const std::string& text, int32_t& value);

using PaletteLookup = std::function<COLORREF(int index)>;
// LoadColor with palette references resolved through `palette`.
COLORREF ParseColor(const std::string& text, const PaletteLookup& palette);

}  // namespace skintext
