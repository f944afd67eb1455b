// The file's own format and length as the probe reports them.
#pragma once

#include <cstdint>

#include "contracts/wave_format.h"
#include "provider/src/media_input.h"

// An extensible format record: tag 0xFFFE, extra size 22, valid bits = bits.
WAVEFORMATEXTENSIBLE MakeFormat(int channels, int rate, int bits, uint32_t channelMask, bool isFloat);

// The speaker mask for a channel count when the file says nothing better: 1 → front
// centre (4), 2 → front left and right (3), more → FFmpeg's default layout for the count.
uint32_t DefaultChannelMask(int channels);

// The stream's format: its channels, rate and mask, and its bit depth: the real depth for
// PCM and lossless codecs, 16 for lossy ones.
WAVEFORMATEXTENSIBLE DescribeStream(const MediaInput& input);

// Which decoded frames are sound: the first skip frames are encoder priming the container
// does not mark (AAC in ADTS), and only the first keep frames after them count when the
// container states the length exactly (MP4 edit lists; -1: all).
struct StreamTrim {
    int64_t skip = 0;
    int64_t keep = -1;
};
StreamTrim TrimOf(const MediaInput& input);

// The stream's length in frames at its own rate, priming and padding excluded: from the
// container or codec header where it states it, else by counting the packets (input
// reopened from location), which is exact to a codec frame. Saturates at 2^32 - 1.
uint32_t StreamLengthFrames(const MediaInput& input, const InputLocation& location);
