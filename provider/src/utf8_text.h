// UTF-8 texts handed out through C buffers.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The text as valid UTF-8: valid sequences are kept, any other byte is taken as Latin-1
// (old tags and CD-Text often are).
std::string ValidUtf8(std::string_view text);

// Copies as much of text as fits into buf of capacity chars, terminator included, never
// splitting a character. Returns the bytes copied (without the terminator); nothing is
// written when capacity is 0 or buf is null.
size_t CopyTruncated(std::string_view text, char* buf, size_t capacity);

// Copies the whole text with its terminator and returns its length; when it does not fit,
// writes an empty string (if capacity allows) and returns 0.
int CopyWhole(std::string_view text, char* buf, size_t capacity);
