// The player's format for the recorder's take, made from the take's format.
#pragma once

#include <cstdint>

#include "contracts/wave_format.h"

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
