#include "provider/src/pcm_reader.h"

#include <algorithm>
#include <limits>

namespace {

// Longest time one call may spend decoding before it gives up.
constexpr auto kCallBudget = std::chrono::seconds(30);
// Frames decoded ahead at a time while skipping.
constexpr size_t kSkipChunk = 65536;

}  // namespace

PcmReader::PcmReader(std::unique_ptr<AudioSource> source, int channels, int rate)
    : source_(std::move(source)), converter_(channels, rate) {}

bool PcmReader::Prime() {
    std::lock_guard lock(mutex_);
    source_->ArmDeadline(kCallBudget);
    Fill(1);
    return converter_.queue().frames() > 0;
}

bool PcmReader::Fill(size_t frames) {
    PcmQueue& queue = converter_.queue();
    while (queue.frames() < frames && !ended_) {
        if (!source_->Pull(converter_)) {
            converter_.Flush();
            ended_ = true;
        }
    }
    return queue.frames() >= frames;
}

bool PcmReader::Rewind() {
    converter_.Reset();
    delivered_ = 0;
    ended_ = !source_->Restart();
    return !ended_;
}

bool PcmReader::SkipTo(uint64_t frame) {
    PcmQueue& queue = converter_.queue();
    while (delivered_ < frame) {
        const size_t want = static_cast<size_t>(std::min<uint64_t>(frame - delivered_, kSkipChunk));
        Fill(want);
        const size_t dropped = queue.Drop(want);
        delivered_ += dropped;
        if (dropped == 0) return false;
    }
    return true;
}

uint32_t PcmReader::Read(uint32_t firstFrame, uint32_t frames, void* buf, uint32_t bufBytes) {
    std::lock_guard lock(mutex_);
    if (!buf) return 0;
    source_->ArmDeadline(kCallBudget);
    if (firstFrame != delivered_) {
        if (firstFrame < delivered_ && !Rewind()) return 0;
        if (!SkipTo(firstFrame)) return 0;
    }
    PcmQueue& queue = converter_.queue();
    // Frame counts are 32-bit: delivery stops at the largest one.
    const uint64_t left = std::numeric_limits<uint32_t>::max() - delivered_;
    const size_t want = static_cast<size_t>(std::min<uint64_t>({frames, bufBytes / queue.frameBytes(), left}));
    if (want == 0) return 0;
    Fill(want);
    const size_t count = queue.Take(buf, want);
    delivered_ += count;
    return static_cast<uint32_t>(count);
}
