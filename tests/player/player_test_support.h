// A data source for player tests: blocks of a known, frame-by-frame distinct signal whose
// 16-bit form is exact, and a record of every call the player made.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "contracts/sound_data.h"

namespace playertest {

// The 16-bit value the source plays at a frame and channel: never 0 or 1, so that silence
// is told apart even after a gain of one half.
inline int16_t SampleAt(uint64_t frame, uint32_t channel) {
    return static_cast<int16_t>(2 + (frame * 2 + channel) % 30000);
}

// Half a step above the value, so that the conversion's truncation lands on it.
inline float FloatAt(uint64_t frame, uint32_t channel) {
    return (static_cast<float>(SampleAt(frame, channel)) + 0.5f) / 32767.0f;
}

class Source {
public:
    Source(uint32_t channels, uint64_t totalFrames) : channels_(channels), totalFrames_(totalFrames) {}

    static uint32_t Callback(void* context, _SOUNDDATAEX_* block, uint32_t /*tag*/) {
        return static_cast<Source*>(context)->Produce(*block);
    }

    // Frames delivered so far.
    uint64_t Produced() const { return produced_.load(); }
    int EmptyBlocks() const { return emptyBlocks_.load(); }
    int EndNotices() const { return endNotices_.load(); }

    // The 16-bit frames played so far, interleaved.
    std::vector<int16_t> Expected() const {
        std::vector<int16_t> samples;
        for (uint64_t frame = 0; frame < produced_.load(); ++frame)
            for (uint32_t c = 0; c < channels_; ++c) samples.push_back(SampleAt(frame, c));
        return samples;
    }

    // Run on the player's threads at the end notice; set before playing.
    std::function<void()> onEndNotice;
    // Run on the player's threads for every block; set before playing.
    std::function<void()> onBlock;

private:
    uint32_t Produce(_SOUNDDATAEX_& block) {
        if (block.capacity == 0) {
            ++emptyBlocks_;
            return 0;
        }
        if (block.capacity == 1) {  // the tests' parts hold more than one frame: the end notice
            if (onEndNotice) onEndNotice();
            ++endNotices_;  // after the hook, so that a test seeing the count sees its effects
            return 0;
        }
        if (onBlock) onBlock();
        const uint64_t first = produced_.load();
        const auto frames = static_cast<uint32_t>(std::min<uint64_t>(block.capacity, totalFrames_ - first));
        for (uint32_t c = 0; c < block.channels.size(); ++c)
            for (uint32_t i = 0; i < frames; ++i) block.channels[c][i] = FloatAt(first + i, c);
        block.frames = frames;
        produced_ = first + frames;
        return frames;
    }

    const uint32_t channels_;
    const uint64_t totalFrames_;
    std::atomic<uint64_t> produced_{0};
    std::atomic<int> emptyBlocks_{0};
    std::atomic<int> endNotices_{0};
};

inline WAVEFORMATEXTENSIBLE Format(uint16_t channels) {
    WAVEFORMATEXTENSIBLE format = kWorkingFormat;
    format.Format.nChannels = channels;
    format.Format.nBlockAlign = static_cast<uint16_t>(channels * 2);
    format.Format.nAvgBytesPerSec = 44100u * channels * 2;
    format.dwChannelMask = channels == 2 ? 3 : 4;
    return format;
}

}  // namespace playertest
