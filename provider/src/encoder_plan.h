// What a writer produces: codec, container, channels, rate and bit rate, from an encoder
// record or, without one, from the file's extension.
//
// Encoder records are little-endian 32-bit fields:
//   MP3: 0xBEEF1003, sample rate, 1, 3, channel mode (4 stereo, 1 mono), 1, bit rate (bit/s)
//   AAC: 0xBEEF3006, the 40-byte output format, bit rate (bit/s, 0 = by quality), quality,
//        1, 2, 2
//   M4R, M4A, Ogg, FLAC, WAV (contracts/provider_api.h): tag, channels, sample rate, bit rate
//        (bit/s, ignored by the lossless ones), options (QoRecordLoopTag)
// With QoCoderTagsFollow the record is followed by the title and the artist.
// AAC qualities with bit rate 0 follow the table 45/100/420 (stereo) and 100/400/550 (mono)
// for 64/128/256 kbps, linear in between and clamped outside.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "contracts/wave_format.h"

struct EncoderPlan {
    std::vector<std::string> encoders;  // FFmpeg encoder names, the first available is used
    std::string muxer;                  // FFmpeg output format name
    int channels = 2;
    int sampleRate = 44100;    // wanted; the nearest the encoder supports is taken
    int64_t bitRate = 0;       // bit/s; 0 for PCM and lossless
    bool managedRate = false;  // the bit rate is also the minimum and the maximum (spare frames padded)
    std::vector<std::pair<std::string, std::string>> metadata;        // container tags, FFmpeg keys
    std::vector<std::pair<std::string, std::string>> encoderOptions;  // FFmpeg codec options
    std::vector<std::pair<std::string, std::string>> muxerOptions;
};

// Default bit rate of compressed types written without an encoder record.
inline constexpr int64_t kDefaultBitRate = 128000;

// Null for an unknown record tag or invalid fields.
// flags: the reserved argument of QoCoderCreateFile.
std::optional<EncoderPlan> PlanFromRecord(const void* record, uint32_t flags, const WAVEFORMATEXTENSIBLE& pcm,
                                          const std::string& path);
// By extension: .wav (PCM 16), .mp3, .aac, .m4a/.m4r/.m4b/.mp4 (AAC), .flac, .ogg/.oga
// (Vorbis, else Opus, else FLAC), .opus. Null for any other extension.
std::optional<EncoderPlan> PlanFromExtension(const WAVEFORMATEXTENSIBLE& pcm, const std::string& path);

// The AAC bit rate for a quality value and channel count (bit/s).
int64_t AacBitRateForQuality(uint32_t quality, int channels);
