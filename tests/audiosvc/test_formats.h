// Wave formats for the tests: plain PCM and extensible layouts with a speaker mask.
#pragma once

#include "contracts/wave_format.h"

inline WAVEFORMATEXTENSIBLE MakeFormat(uint16_t channels, uint16_t bits, uint32_t mask = 0, uint32_t rate = 44100) {
    const uint16_t blockAlign = static_cast<uint16_t>(channels * bits / 8);
    WAVEFORMATEXTENSIBLE format{};
    format.Format = {mask != 0 ? WAVE_FORMAT_EXTENSIBLE : WAVE_FORMAT_PCM,
                     channels,
                     rate,
                     rate * blockAlign,
                     blockAlign,
                     bits,
                     static_cast<uint16_t>(mask != 0 ? 22 : 0)};
    format.Samples.wValidBitsPerSample = bits;
    format.dwChannelMask = mask;
    format.SubFormat = KSDATAFORMAT_SUBTYPE_PCM;
    return format;
}
