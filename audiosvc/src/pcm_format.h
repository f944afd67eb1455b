// Checks and sample access shared by the interleaved-PCM operations.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "audiosvc/audiosvc.h"

namespace audiosvc {

// A format the per-sample paths can walk safely: 8- or 16-bit samples, at least one channel,
// and a block align that agrees with both (a frame is never read or written past its end).
struct SampleLayout {
    uint32_t channels = 0;
    uint32_t bytesPerSample = 0;  // 1 or 2
    bool valid = false;
};

inline SampleLayout SampleLayoutOf(const WAVEFORMATEX& format) {
    SampleLayout layout;
    if (format.wBitsPerSample != 8 && format.wBitsPerSample != 16) return layout;
    layout.channels = format.nChannels;
    layout.bytesPerSample = format.wBitsPerSample / 8u;
    layout.valid = layout.channels > 0 && format.nBlockAlign == layout.channels * layout.bytesPerSample;
    return layout;
}

// Calls action with a value of the sample type: int8_t for 8-bit data (signed bytes),
// int16_t for 16-bit data.
template <typename Action>
void WithSampleType(const SampleLayout& layout, Action&& action) {
    if (layout.bytesPerSample == 1)
        action(int8_t{});
    else
        action(int16_t{});
}

// True when the operation works on whole frames: a mono format or the all-channels code.
inline bool WholeFrames(const WAVEFORMATEX& format, int code) { return format.nChannels == 1 || code == CHANNEL_ALL; }

// Sample access by index; callers' buffers carry no alignment promise.
template <typename Sample>
Sample LoadSample(const void* base, size_t index) {
    Sample value;
    std::memcpy(&value, static_cast<const unsigned char*>(base) + index * sizeof(Sample), sizeof(Sample));
    return value;
}

template <typename Sample>
void StoreSample(void* base, size_t index, Sample value) {
    std::memcpy(static_cast<unsigned char*>(base) + index * sizeof(Sample), &value, sizeof(Sample));
}

inline size_t WholeFrameBytes(const WAVEFORMATEX& format, uint32_t frames) {
    return static_cast<size_t>(frames) * format.nBlockAlign;
}

}  // namespace audiosvc
