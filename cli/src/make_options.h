// The options of "morvane-cli make", and of "morvane-cli play", which takes the same ones
// for the ringtone (tracks, range, volume, fades, effects) but none for an output file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "contracts/provider_api.h"
#include "engine/ringtone_preset.h"
#include "engine/saver.h"

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
    // The output as the preset chose it, with the options given overriding it.
    std::optional<RingtonePreset> preset;
    bool fit = false;                    // shorten a range over the preset's limit instead of failing
    uint32_t encoderTag = QoEncoderMp3;  // RingtoneSaver::kWaveOutput for WAV
    uint32_t channels = 2;
    uint32_t bitrate = 128;
    NormalizeMode normalize = NormalizeMode::Peak;
    double loudnessTarget = kDefaultLoudnessTarget;  // LUFS, for NormalizeMode::Loudness
    bool limiter = false;
    bool loopTag = false;               // Ogg only
    std::optional<std::string> title;   // else the basic track's
    std::optional<std::string> artist;  // else the basic track's
    bool force = false;
    std::optional<std::string> sendTo;  // a phone id: the made file is sent there
    bool repeat = false;                // play only
};

enum class OptionsFor { Make, Play };

inline constexpr size_t kMaxEffects = 3;
// The loudness targets --loudness takes, in LUFS.
inline constexpr double kLowestLoudnessTarget = -70.0;
inline constexpr double kHighestLoudnessTarget = 0.0;

// The --format values, in the encoders' order: each encoder's extension without its dot.
std::vector<uint32_t> FormatTags();
std::string FormatName(uint32_t encoderTag);

// Parses the arguments after "make" (or "play"). Nothing, with the reason in error, for a
// usage error.
std::optional<MakeOptions> ParseMakeOptions(const std::vector<std::string>& arguments, std::string& error,
                                            OptionsFor command = OptionsFor::Make);
