// The peak cache worker: one (minimum, maximum) pair per channel and 256 frames.
#include "engine/src/track_jobs.h"

#include <algorithm>

#include "engine/progress.h"
#include "engine/track.h"

int BuildPeakArrays(IProgress& progress, const int16_t* samples, uint32_t frames, uint32_t channels,
                    std::vector<std::vector<int16_t>>& peaks, uint32_t& arrayBytes) {
    constexpr uint32_t kBlock = TrackSource::kPeakBlock;
    peaks.clear();
    arrayBytes = 0;
    if (frames == 0 || channels == 0) return kProgressCompleted;

    arrayBytes = frames / kBlock * 4 + 4;
    peaks.assign(std::min(channels, TrackSource::kPeakChannelLimit), std::vector<int16_t>(arrayBytes / 2));
    const uint32_t share = 100 / channels;  // percent per channel
    for (uint32_t channel = 0; channel < peaks.size(); ++channel) {
        int16_t* pairs = peaks[channel].data();
        for (uint64_t start = 0; start < frames; start += kBlock) {
            if (progress.StopRequested()) return kProgressCancelled;
            const uint64_t end = std::min<uint64_t>(start + kBlock, frames);
            int16_t minimum = 32767;
            int16_t maximum = -32768;
            for (uint64_t frame = start; frame < end; ++frame) {
                const int16_t sample = samples[channel + frame * channels];
                minimum = std::min(minimum, sample);
                maximum = std::max(maximum, sample);
            }
            const uint64_t block = start / kBlock;
            pairs[2 * block] = minimum;
            pairs[2 * block + 1] = maximum;
            progress.SetPercent(static_cast<uint32_t>(start * share / frames + channel * share));
        }
    }
    return kProgressCompleted;
}
