// Converts decoded audio of any layout, sample format and rate into 16-bit interleaved PCM
// of a fixed channel count and rate (libswresample), queueing the result.
#pragma once

#include <cstdint>

#include "provider/src/ffmpeg_ptr.h"
#include "provider/src/pcm_queue.h"

class SampleConverter {
public:
    SampleConverter(int channels, int rate);

    // Converts frames of input; the input format may change between calls (the pending
    // output of the old one is flushed first). False when the conversion fails.
    bool Push(const uint8_t* const* data, int frames, AVSampleFormat format, const AVChannelLayout& layout, int rate);
    bool Push(const AVFrame& frame);
    // Moves what the resampler still holds into the queue (at the end of the input).
    void Flush();
    // Forgets everything: queued output and resampler state.
    void Reset();

    PcmQueue& queue() { return queue_; }
    int channels() const { return layout_.channels(); }
    int rate() const { return rate_; }

private:
    bool Configure(AVSampleFormat format, const AVChannelLayout& layout, int rate);

    ChannelLayout layout_;
    int rate_;
    PcmQueue queue_;
    SwrContextPtr swr_;
    // The input the resampler is set up for.
    AVSampleFormat inFormat_ = AV_SAMPLE_FMT_NONE;
    ChannelLayout inLayout_;
    int inRate_ = 0;
};
