// Interleaved 16-bit PCM <-> sample blocks of float arrays, one array per channel.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "audiosvc/audiosvc.h"
#include "pcm_format.h"

using namespace audiosvc;

namespace {

constexpr double kFullScale = 32767.0;

int16_t ToPcm16(float value) {
    if (std::isnan(value)) return 0;
    return static_cast<int16_t>(std::clamp(static_cast<double>(value), -1.0, 1.0) * kFullScale);
}

float FromPcm16(int16_t sample) { return static_cast<float>(sample / kFullScale); }

}  // namespace

uint32_t MME2SD(const void* src, uint32_t byteOffset, uint32_t byteCount, _SOUNDDATAEX_* block,
                const WAVEFORMATEX* format, int channel) {
    if (src == nullptr || block == nullptr || format == nullptr) return 0;
    const uint32_t channels = format->nChannels;
    const bool oneChannel = channel != -1;
    const bool usable = format->nBlockAlign > 0 && channels > 0 && !block->channels.empty() &&
                        (!oneChannel || (channel >= 0 && static_cast<uint32_t>(channel) < channels));
    // Whole frames only, and never more than the block's arrays hold.
    const uint32_t frames = usable ? std::min(byteCount / format->nBlockAlign, block->capacity) : 0;
    const auto* samples = static_cast<const unsigned char*>(src) + (byteOffset / 2) * sizeof(int16_t);
    if (oneChannel) {
        float* out = block->channels[0];
        for (size_t f = 0; f < frames; ++f) out[f] = FromPcm16(LoadSample<int16_t>(samples, f * channels + channel));
    } else {
        const size_t arrays = std::min<size_t>(channels, block->channels.size());
        for (size_t f = 0; f < frames; ++f)
            for (size_t k = 0; k < arrays; ++k)
                block->channels[k][f] = FromPcm16(LoadSample<int16_t>(samples, f * channels + k));
    }
    block->frames = frames;
    return frames;
}

uint32_t MME2SD_BYSAMPLES(const void* src, uint32_t frames, _SOUNDDATAEX_* block, const WAVEFORMATEX* format,
                          uint32_t byteOffset, int channel) {
    if (format == nullptr) return 0;
    const uint64_t bytes = uint64_t{frames} * format->nChannels * (format->wBitsPerSample / 8u);
    const uint32_t byteCount = static_cast<uint32_t>(std::min<uint64_t>(bytes, std::numeric_limits<uint32_t>::max()));
    return MME2SD(src, byteOffset, byteCount, block, format, channel);
}

void SD2MME(const _SOUNDDATAEX_* block, uint32_t firstFrame, uint32_t frameCount, void* dst,
            const WAVEFORMATEX* format) {
    if (block == nullptr || dst == nullptr || format == nullptr) return;
    const size_t channels = format->nChannels;
    const size_t arrays = std::min(channels, block->channels.size());
    // Frames past the block's capacity and channels it has no array for are written as
    // silence, so the destination is always filled as asked.
    const uint64_t end = uint64_t{firstFrame} + frameCount;
    const uint64_t available = std::min<uint64_t>(end, block->capacity);
    size_t out = 0;
    for (uint64_t f = firstFrame; f < available; ++f)
        for (size_t k = 0; k < channels; ++k)
            StoreSample<int16_t>(dst, out++, k < arrays ? ToPcm16(block->channels[k][f]) : int16_t{0});
    const size_t total = static_cast<size_t>(frameCount) * channels;
    std::memset(static_cast<unsigned char*>(dst) + out * sizeof(int16_t), 0, (total - out) * sizeof(int16_t));
}
