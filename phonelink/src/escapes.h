// Decoding the escapes in names the system writes: gvfs's percent escapes in mount names and
// the kernel's octal ones in the mount table.
#pragma once

#include <string>

// 0-15 for a hexadecimal digit (either case), -1 otherwise.
int HexDigitValue(char c);
// "%2F" -> "/"; a '%' not followed by two hexadecimal digits stays as it is.
std::string DecodePercentEscapes(const std::string& text);
// "\040" -> " "; a '\' not followed by three octal digits stays as it is.
std::string DecodeOctalEscapes(const std::string& text);
