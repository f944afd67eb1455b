// Interleaved PCM: clearing and copying one channel or whole frames, splitting a channel
// out, joining two channels.
#include <cstring>

#include "audiosvc/audiosvc.h"
#include "channel_layouts.h"
#include "pcm_format.h"

using namespace audiosvc;

void ClearWaveData(void* buf, const WAVEFORMATEX* format, uint32_t frames, int code) {
    if (buf == nullptr || format == nullptr || frames == 0) return;
    if (WholeFrames(*format, code)) {
        std::memset(buf, 0, WholeFrameBytes(*format, frames));
        return;
    }
    const SampleLayout layout = SampleLayoutOf(*format);
    const int position = ChannelPosition(*format, code);
    if (!layout.valid || position < 0) return;
    WithSampleType(layout, [&]<typename Sample>(Sample) {
        for (size_t i = position, end = static_cast<size_t>(frames) * layout.channels; i < end; i += layout.channels)
            StoreSample<Sample>(buf, i, 0);
    });
}

void SplitChannel(void* dst, const void* src, const WAVEFORMATEX* format, uint32_t frames, uint32_t channelIndex) {
    if (dst == nullptr || src == nullptr || format == nullptr || frames == 0) return;
    if (format->nChannels == 1) {
        std::memmove(dst, src, WholeFrameBytes(*format, frames));
        return;
    }
    const SampleLayout layout = SampleLayoutOf(*format);
    if (!layout.valid || channelIndex >= layout.channels) return;
    WithSampleType(layout, [&]<typename Sample>(Sample) {
        for (size_t i = 0; i < frames; ++i)
            StoreSample<Sample>(dst, i, LoadSample<Sample>(src, channelIndex + i * layout.channels));
    });
}

void JoinChannels(void* dst, const void* left, const void* right, const WAVEFORMATEX* format, uint32_t frames) {
    if (dst == nullptr || left == nullptr || right == nullptr || format == nullptr || frames == 0) return;
    if (format->wBitsPerSample != 8 && format->wBitsPerSample != 16) return;
    const SampleLayout layout{2, format->wBitsPerSample / 8u, true};
    // Last frame first: the destination may be one of the sources (mono widened in place),
    // and frame i is written at 2i and 2i+1, behind every source sample not yet read.
    WithSampleType(layout, [&]<typename Sample>(Sample) {
        for (size_t i = frames; i-- > 0;) {
            const Sample l = LoadSample<Sample>(left, i);
            const Sample r = LoadSample<Sample>(right, i);
            StoreSample<Sample>(dst, 2 * i, l);
            StoreSample<Sample>(dst, 2 * i + 1, r);
        }
    });
}

void CopyWaveData(void* dst, const void* src, const WAVEFORMATEX* format, uint32_t frames, int code) {
    if (dst == nullptr || src == nullptr || format == nullptr || frames == 0) return;
    if (WholeFrames(*format, code)) {
        std::memmove(dst, src, WholeFrameBytes(*format, frames));
        return;
    }
    const SampleLayout layout = SampleLayoutOf(*format);
    const int position = ChannelPosition(*format, code);
    if (!layout.valid || position < 0) return;
    WithSampleType(layout, [&]<typename Sample>(Sample) {
        for (size_t f = 0; f < frames; ++f) {
            const size_t target = position + f * layout.channels;
            // 8-bit sources are interleaved like the destination, 16-bit sources hold the
            // one channel contiguously.
            const size_t source = sizeof(Sample) == 1 ? target : f;
            StoreSample<Sample>(dst, target, LoadSample<Sample>(src, source));
        }
    });
}
