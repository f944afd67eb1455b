// The source stages of the render chain: the play feed and the export feed.
#include "engine/render_chain.h"

#include <algorithm>
#include <vector>

#include "audiosvc/audiosvc.h"

namespace {

// A zeroed scratch buffer of whole frames in the mix format, for one block.
std::vector<int16_t> MixBuffer(uint32_t frames) {
    return std::vector<int16_t>(static_cast<size_t>(frames) * RingtoneTimeline::MixFormat().Format.nChannels);
}

int16_t* FrameAt(std::vector<int16_t>& buffer, uint32_t frame) {
    return buffer.data() + static_cast<size_t>(frame) * RingtoneTimeline::MixFormat().Format.nChannels;
}

uint32_t ToBlock(const std::vector<int16_t>& buffer, uint32_t frames, _SOUNDDATAEX_* block) {
    block->frames = 0;
    if (frames == 0) return 0;
    return MME2SD_BYSAMPLES(buffer.data(), frames, block, &RingtoneTimeline::MixFormat().Format, 0, -1);
}

}  // namespace

uint32_t CViewInput::GetSoundData(_SOUNDDATAEX_* block) {
    RingtoneTimeline& t = m_owner;
    std::lock_guard lock(t.guard_);
    block->frames = 0;
    const uint32_t capacity = block->capacity;
    const int64_t start = t.playStart_;
    const int64_t end = t.playEnd_;
    // An empty range has nothing to play, and repeating it would never fill the block.
    if (capacity == 0 || end <= start) return 0;

    if (t.renderPosition_ >= end) {
        if (!t.IsRepeat()) return 0;
        t.renderPosition_ = start;
    }
    std::vector<int16_t> buffer = MixBuffer(capacity);
    uint32_t n = static_cast<uint32_t>(std::min<int64_t>(capacity, end - t.renderPosition_));
    t.MixTracks(buffer.data(), t.renderPosition_, n);
    int64_t blockPosition = t.renderPosition_;
    t.renderPosition_ += n;

    if (t.renderPosition_ >= end && n < capacity && t.IsRepeat()) {
        t.queue_.Push(t.playTag_, end);
        // The rest of the block is the range again from its start, as often as it takes.
        uint32_t filled = n;
        int64_t segment = 0;
        while (filled < capacity) {
            segment = std::min<int64_t>(capacity - filled, end - start);
            t.MixTracks(FrameAt(buffer, filled), start, static_cast<uint32_t>(segment));
            filled += static_cast<uint32_t>(segment);
        }
        t.renderPosition_ = start + segment;
        blockPosition = start;
        n = capacity;
    }
    n = ToBlock(buffer, n, block);
    t.queue_.Push(t.playTag_, n < capacity ? end : blockPosition);
    return n;
}

void CExportInput::SetRange(int64_t start, uint64_t length) {
    std::lock_guard lock(m_owner.guard_);
    m_start = start;
    m_length = length;
    m_delivered = 0;
}

int64_t CExportInput::Start() const {
    std::lock_guard lock(m_owner.guard_);
    return m_start;
}

uint64_t CExportInput::Length() const {
    std::lock_guard lock(m_owner.guard_);
    return m_length;
}

uint64_t CExportInput::Delivered() const {
    std::lock_guard lock(m_owner.guard_);
    return m_delivered;
}

uint32_t CExportInput::GetSoundData(_SOUNDDATAEX_* block) {
    std::lock_guard lock(m_owner.guard_);
    const auto n = static_cast<uint32_t>(std::min<uint64_t>(block->capacity, m_length - m_delivered));
    std::vector<int16_t> buffer = MixBuffer(n);
    m_owner.MixTracks(buffer.data(), m_start + static_cast<int64_t>(m_delivered), n);
    m_delivered += n;
    return ToBlock(buffer, n, block);
}
