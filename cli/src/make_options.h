// The options of "morvane-cli make", and of "morvane-cli play", which takes the same ones
// for the ringtone (tracks, range, volume, fades, effects) but none for an output file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class OutputKind { Mp3, Aac, Wav };

struct MakeOptions {
    std::vector<std::string> tracks;  // one or two
    std::string output;
    std::optional<int64_t> start;   // frames
    std::optional<int64_t> end;     // frames
    std::optional<int64_t> length;  // frames
    int64_t offset2 = 0;            // frames
    int volume = 100;
    bool fadeIn = true;
    bool fadeOut = true;
    std::vector<std::string> effects;  // captions, in chain order
    bool normalize = true;
    OutputKind kind = OutputKind::Mp3;
    uint32_t channels = 2;
    uint32_t bitrate = 128;
    bool force = false;
    bool repeat = false;  // play only
};

enum class OptionsFor { Make, Play };

inline constexpr size_t kMaxEffects = 3;

// Parses the arguments after "make" (or "play"). Nothing, with the reason in error, for a
// usage error.
std::optional<MakeOptions> ParseMakeOptions(const std::vector<std::string>& arguments, std::string& error,
                                            OptionsFor command = OptionsFor::Make);
