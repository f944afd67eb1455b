// The chain pulls of playback and export.
#include "engine/render_chain.h"

#include <algorithm>

#include "effecttree/effect_tree.h"
#include "engine/src/morph_stream_lock.h"

uint32_t RingtoneTimeline::PullChain(_SOUNDDATAEX_* block, int64_t position) {
    CEffectTree* tree = volume_ != nullptr ? volume_->EffectTree() : nullptr;
    if (tree == nullptr) {
        block->frames = 0;
        return 0;
    }
    MorphStreamLock lock(*tree);
    const uint32_t frames = volume_->GetSoundData(block);
    if (frames > 0) ApplyFades(*block, position, playStart_, playEnd_, fadeIn_, fadeOut_, FadeFrames());
    return frames;
}

uint32_t RingtoneTimeline::PullPlayback(_SOUNDDATAEX_* block, uint32_t tag, IPreviewPlayer& player) {
    std::lock_guard lock(guard_);
    playTag_ = tag;
    player_ = &player;
    // A render position at the range end starts the next repeat at the range start, which
    // is where this block then begins.
    const int64_t position = renderPosition_ >= playEnd_ ? playStart_ : renderPosition_;
    const uint32_t frames = PullChain(block, position);
    player_ = nullptr;
    if (playEnd_ > playStart_) {
        const int64_t range = player.GetPositionRange();
        const int64_t cursor = std::clamp(playCursor_, playStart_, playEnd_);
        player.SetPosition(static_cast<uint32_t>(range * (cursor - playStart_) / (playEnd_ - playStart_)));
    }
    return frames;
}

uint32_t RingtoneTimeline::PullExport(_SOUNDDATAEX_* block) {
    std::lock_guard lock(guard_);
    return PullChain(block, exportInput_.Start() + static_cast<int64_t>(exportInput_.Delivered()));
}

bool RingtoneTimeline::IsRepeat() const {
    std::lock_guard lock(guard_);
    return player_ != nullptr && player_->IsRepeat();
}
