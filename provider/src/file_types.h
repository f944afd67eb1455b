// The file types the provider reads, as a file-dialog filter and as descriptions.
#pragma once

#include <string>

// "Audio files (*.mp3 *.wav ...);;MPEG Layer-3 audio (*.mp3);;..." with every extension
// whose demuxer this FFmpeg has. Audio types come before video types.
std::string SupportedFilter();

// The description of an extension (".mp3", case-insensitive; ".cda" included), or an empty
// string for an unknown one.
std::string FormatDescription(const std::string& extensionWithDot);

// Cuts a filter to at most capacity - 1 chars by dropping whole trailing types ("A;;B;;C"
// becomes "A;;B"); empty when not even the first type fits.
std::string FitFilter(const std::string& filter, size_t capacity);
