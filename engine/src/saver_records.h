// The output formats and encoder records of the saver.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "contracts/wave_format.h"

// 16-bit PCM at 44100 Hz with the channel count (1 or 2), tag 0xFFFE, channel mask 4 for
// mono and 3 for stereo.
WAVEFORMATEXTENSIBLE OutputPcmFormat(uint32_t channels);

// The little-endian record for QoCoderCreateFile: MP3 (tag, 44100, 1, 3, channel mode 4 for
// stereo or 1 for mono, 1, bit rate), AAC (tag, the 40-byte output format, bit rate,
// quality, 1, 2, 2) or the other rows (tag, channels, rate, bit rate, options such as
// QoRecordLoopTag). Empty for tags not in the list.
std::vector<uint8_t> MakeEncoderRecord(uint32_t tag, const WAVEFORMATEXTENSIBLE& output, uint32_t bitsPerSecond,
                                       uint32_t quality, uint32_t options);
// Appends the tag block that QoCoderTagsFollow announces: the title, then the artist, each
// as a 32-bit byte count and its UTF-8 bytes.
void AppendTagBlock(std::vector<uint8_t>& record, const std::string& title, const std::string& artist);
