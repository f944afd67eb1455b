// Saturating mix of two interleaved PCM buffers, over whole frames or into one channel.
#include <algorithm>
#include <cstring>
#include <limits>

#include "audiosvc/audiosvc.h"
#include "channel_layouts.h"
#include "pcm_format.h"

using namespace audiosvc;

namespace {

template <typename Sample>
Sample SaturatedSum(Sample a, Sample b) {
    const int sum = int{a} + int{b};
    return static_cast<Sample>(
        std::clamp(sum, int{std::numeric_limits<Sample>::min()}, int{std::numeric_limits<Sample>::max()}));
}

// Whole frames: the first shortFrames frames summed, the rest of the longer buffer behind them.
template <typename Sample>
void MixFrames(void* dst, const void* longer, uint32_t longFrames, const void* shorter, uint32_t shortFrames,
               uint32_t channels) {
    const size_t summed = static_cast<size_t>(shortFrames) * channels;
    for (size_t i = 0; i < summed; ++i)
        StoreSample<Sample>(dst, i, SaturatedSum(LoadSample<Sample>(longer, i), LoadSample<Sample>(shorter, i)));
    if (dst != longer)
        std::memmove(static_cast<unsigned char*>(dst) + summed * sizeof(Sample),
                     static_cast<const unsigned char*>(longer) + summed * sizeof(Sample),
                     (static_cast<size_t>(longFrames) * channels - summed) * sizeof(Sample));
}

// One channel. a is interleaved and read at the channel's position, like the destination.
// b holds the channel contiguously for 16-bit data; 8-bit data is read from its first byte
// stepping by the channel count. The first min(framesA, framesB) frames are summed, the
// remaining frames of the longer buffer are copied into the channel.
template <typename Sample>
void MixChannel(void* dst, const void* a, uint32_t framesA, const void* b, uint32_t framesB, uint32_t channels,
                size_t position) {
    const size_t bStep = sizeof(Sample) == 1 ? channels : 1;
    const uint32_t frames = std::max(framesA, framesB);
    for (size_t f = 0; f < frames; ++f) {
        const size_t target = position + f * channels;
        Sample value;
        if (f < framesA && f < framesB)
            value = SaturatedSum(LoadSample<Sample>(a, target), LoadSample<Sample>(b, f * bStep));
        else if (f < framesA)
            value = LoadSample<Sample>(a, target);
        else
            value = LoadSample<Sample>(b, f * bStep);
        StoreSample<Sample>(dst, target, value);
    }
}

}  // namespace

void MixWaveData(void* dst, const void* a, uint32_t framesA, const void* b, uint32_t framesB,
                 const WAVEFORMATEX* format, int code) {
    if (dst == nullptr || a == nullptr || b == nullptr || format == nullptr) return;
    if (framesA == 0 && framesB == 0) return;
    const SampleLayout layout = SampleLayoutOf(*format);
    if (!layout.valid) return;
    if (WholeFrames(*format, code)) {
        // A tie keeps a as the longer buffer.
        const bool aLonger = framesA >= framesB;
        WithSampleType(layout, [&]<typename Sample>(Sample) {
            MixFrames<Sample>(dst, aLonger ? a : b, aLonger ? framesA : framesB, aLonger ? b : a,
                              aLonger ? framesB : framesA, layout.channels);
        });
        return;
    }
    const int position = ChannelPosition(*format, code);
    if (position < 0) return;
    WithSampleType(layout, [&]<typename Sample>(Sample) {
        MixChannel<Sample>(dst, a, framesA, b, framesB, layout.channels, static_cast<size_t>(position));
    });
}
