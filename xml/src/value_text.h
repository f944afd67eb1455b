// Number and byte texts of the settings tree, independent of the process locale (the
// program runs with the user's locale, the stored texts always use '.').
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace valuetext {

// Signed decimal in the manner of _wtoi: leading white space, optional sign, digits up to
// the first other character; no digits gives 0; saturates at the int range.
int ParseInt(std::string_view text);
// Decimal (or "0x" hexadecimal, "inf", "nan") floating point in the manner of atof in the
// C locale, from at most the first 99 bytes; no number gives 0.0.
double ParseDouble(std::string_view text);
// The nearest float; magnitudes beyond the float range become infinities.
float ToFloat(double value);
// "%g" (and "%Lg" of a double, which gives the same text): six significant digits.
std::string FormatGeneral(double value);

// Two upper-case hexadecimal digits per byte, high nibble first.
std::string HexText(const uint8_t* bytes, int count);
// Bytes from hexadecimal text: min(length / 2, maxCount) bytes; a character reads as its
// digit for '0'..'9' and as (c - 55) mod 16 otherwise. Returns the count written.
int HexBytes(std::string_view text, uint8_t* bytes, int maxCount);

}  // namespace valuetext
