// A reader handle: delivers a source as 16-bit interleaved PCM at the asked channel count
// and rate, in sequence, with rewinding and forward positioning.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

#include "provider/src/audio_source.h"
#include "provider/src/handle_table.h"
#include "provider/src/sample_converter.h"

class PcmReader : public Resource {
public:
    PcmReader(std::unique_ptr<AudioSource> source, int channels, int rate);

    // Decodes the first block; false when the source yields nothing.
    bool Prime();
    // Delivers up to frames frames starting at firstFrame into buf (at most bufBytes).
    // firstFrame is normally the count already delivered; 0 rewinds; any other position
    // is reached by decoding up to it (from the start when it lies behind). Returns the
    // frames written, 0 at the end or when the position is past the end.
    uint32_t Read(uint32_t firstFrame, uint32_t frames, void* buf, uint32_t bufBytes);

private:
    bool Fill(size_t frames);
    bool Rewind();
    bool SkipTo(uint64_t frame);

    std::mutex mutex_;  // guards everything below: one call at a time per handle
    std::unique_ptr<AudioSource> source_;
    SampleConverter converter_;
    uint64_t delivered_ = 0;  // frames handed out (or skipped) since the start
    bool ended_ = false;      // the source has no more audio
};

// A probe handle: stands for a file whose format was reported; it delivers no data.
class ProbedFile : public Resource {};
