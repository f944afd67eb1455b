// The timeline state behind the render chain, the track mixer and setting up the chain.
#include "engine/render_chain.h"

#include <algorithm>

#include "effecttree/complex_effect.h"
#include "effecttree/effect_tree.h"
#include "engine/src/locked_access.h"
#include "engine/src/morph_stream_lock.h"
#include "engine/track.h"

using GuardLock = std::lock_guard<std::recursive_mutex>;

RingtoneTimeline::RingtoneTimeline() : viewInput_(*this), exportInput_(*this) {}

RingtoneTimeline::~RingtoneTimeline() {
    // The tree outlives the timeline: it must not pull a stage that is gone.
    if (tree_ == nullptr) return;
    CComplexEffect* chain = tree_->GetTreeEntryPoint();
    MorphStreamLock lock(*tree_);
    if (chain->GetPrev() == &viewInput_ || chain->GetPrev() == &exportInput_) {
        chain->CloseStream();
        tree_->SetAudioInput(nullptr);
    }
}

void RingtoneTimeline::AttachChain(CEffectTree* tree, CVolumeEffect* volume) {
    GuardLock lock(guard_);
    tree_ = tree;
    volume_ = volume;
    if (tree_ != nullptr) tree_->SetAudioInput(&viewInput_);
}

void RingtoneTimeline::SetTracks(TrackSlot* track1, TrackSlot* track2) {
    GuardLock lock(guard_);
    track1_ = track1;
    track2_ = track2;
}

TrackSlot* RingtoneTimeline::Track1() const { return ReadLocked(guard_, track1_); }

TrackSlot* RingtoneTimeline::Track2() const { return ReadLocked(guard_, track2_); }

int64_t RingtoneTimeline::ProjectLength() const { return ReadLocked(guard_, projectLength_); }

void RingtoneTimeline::SetProjectLength(int64_t frames) {
    GuardLock lock(guard_);
    projectLength_ = std::max<int64_t>(frames, 0);
}

int64_t RingtoneTimeline::TracksEnd() const {
    GuardLock lock(guard_);
    int64_t end = 0;
    for (const TrackSlot* slot : {track1_, track2_})
        if (slot != nullptr && slot->source.IsOpen()) end = std::max(end, slot->source.ActiveEnd());
    return end;
}

int64_t RingtoneTimeline::StartMarker() const { return ReadLocked(guard_, startMarker_); }

int64_t RingtoneTimeline::EndMarker() const { return ReadLocked(guard_, endMarker_); }

void RingtoneTimeline::SetMarkers(int64_t start, int64_t end) {
    GuardLock lock(guard_);
    startMarker_ = start;
    endMarker_ = end;
}

int64_t RingtoneTimeline::PlayStart() const { return ReadLocked(guard_, playStart_); }

int64_t RingtoneTimeline::PlayEnd() const { return ReadLocked(guard_, playEnd_); }

void RingtoneTimeline::SetPlayRange(int64_t start, int64_t end) {
    GuardLock lock(guard_);
    playStart_ = start;
    playEnd_ = end;
}

int64_t RingtoneTimeline::RenderPosition() const { return ReadLocked(guard_, renderPosition_); }

void RingtoneTimeline::SetRenderPosition(int64_t frame) { WriteLocked(guard_, renderPosition_, frame); }

int64_t RingtoneTimeline::PlayCursor() const { return ReadLocked(guard_, playCursor_); }

void RingtoneTimeline::SetPlayCursor(int64_t frame) { WriteLocked(guard_, playCursor_, frame); }

bool RingtoneTimeline::FadeIn() const { return ReadLocked(guard_, fadeIn_); }

bool RingtoneTimeline::FadeOut() const { return ReadLocked(guard_, fadeOut_); }

void RingtoneTimeline::SetFadeIn(bool on) { WriteLocked(guard_, fadeIn_, on); }

void RingtoneTimeline::SetFadeOut(bool on) { WriteLocked(guard_, fadeOut_, on); }

void RingtoneTimeline::MixTracks(void* output, int64_t first, uint32_t frames) const {
    GuardLock lock(guard_);
    if (frames == 0 || first >= projectLength_) return;
    const auto n = static_cast<uint32_t>(std::min<int64_t>(frames, projectLength_ - first));
    for (const TrackSlot* slot : {track1_, track2_})
        if (slot != nullptr) slot->source.RenderIntoMix(output, first, n, MixFormat().Format);
}

tEffError RingtoneTimeline::SetUpPlayback() {
    GuardLock lock(guard_);
    if (tree_ == nullptr) return EFF_NO_INPUT;
    tree_->SetAudioInput(&viewInput_);
    return tree_->OpenStream(&MixFormat());
}

tEffError RingtoneTimeline::SetUpExport() {
    GuardLock lock(guard_);
    if (tree_ == nullptr) return EFF_NO_INPUT;
    const int64_t start = std::min(startMarker_, endMarker_);
    exportInput_.SetRange(start, static_cast<uint64_t>(std::max(startMarker_, endMarker_) - start));
    tree_->SetAudioInput(&exportInput_);
    return tree_->OpenStream(&MixFormat());
}

void RingtoneTimeline::CloseChain() {
    GuardLock lock(guard_);
    if (tree_ != nullptr) tree_->CloseStream();
}

void RingtoneTimeline::SetStopPlayback(std::function<void()> stop) {
    GuardLock lock(guard_);
    stopPlayback_ = std::move(stop);
}

void RingtoneTimeline::StopPlayback() const {
    std::function<void()> stop;
    {
        GuardLock lock(guard_);
        stop = stopPlayback_;
    }
    // Outside the guard: stopping waits for the player's thread, which pulls under it.
    if (stop) stop();
}
