// Times on the command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Seconds with an optional fraction ("12.5"), "MM:SS[.fff]" or "HH:MM:SS[.fff]" (seconds and,
// after hours, minutes below 60), as frames at 44100 Hz rounded to the nearest frame.
// Nothing for any other text.
std::optional<int64_t> ParseTime(std::string_view text);

// "MM:SS.mmm", or "HH:MM:SS.mmm" from one hour up, for a frame count.
std::string FramesText(int64_t frames);
