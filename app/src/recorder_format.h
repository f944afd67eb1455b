// The recorder's capture format and buffering, and the playback format made from it.
#pragma once

#include <cstdint>

#include "contracts/wave_format.h"

// 44100 Hz, 16-bit stereo PCM, described as WAVE_FORMAT_EXTENSIBLE without valid bits.
inline constexpr WAVEFORMATEXTENSIBLE kRecordFormat = {
    {WAVE_FORMAT_EXTENSIBLE, 2, 44100, 176400, 4, 16, 22},
    {0},
    SPEAKER_FRONT_LEFT | SPEAKER_FRONT_RIGHT,
    KSDATAFORMAT_SUBTYPE_PCM};

// Capture and playback both run on five buffers of 16384 bytes (about 0.09 s each).
inline constexpr uint32_t kRecordBufferCount = 5;
inline constexpr uint32_t kRecordBufferBytes = 16384;

// The speaker layout played for a channel count; 0 (no layout) for counts beyond eight.
constexpr uint32_t PlaybackChannelMask(uint32_t channels) {
    switch (channels) {
        case 1: return 4;
        case 2: return 3;
        case 3: return 11;
        case 4: return 51;
        case 5: return 59;
        case 6: return 63;
        case 7: return 1595;
        case 8: return 1599;
        default: return 0;
    }
}

// The player's format for a take in the given format.
constexpr WAVEFORMATEXTENSIBLE PlaybackFormat(const WAVEFORMATEXTENSIBLE& record) {
    WAVEFORMATEXTENSIBLE format = record;
    format.Format.wFormatTag = WAVE_FORMAT_EXTENSIBLE;
    format.Format.cbSize = 22;
    format.Samples.wValidBitsPerSample = 0;
    format.dwChannelMask = PlaybackChannelMask(record.Format.nChannels);
    format.SubFormat = KSDATAFORMAT_SUBTYPE_PCM;
    return format;
}
