// The ringtone as make and play build it from the options: the tracks on a timeline, the
// chosen effects, the volume and the fades, the marked range, and the chain that renders it.
#pragma once

#include <cstdint>

#include "cli/src/make_options.h"
#include "effecttree/effect_tree.h"
#include "engine/progress.h"
#include "engine/render_chain.h"
#include "engine/track.h"

class RingtoneProject {
public:
    RingtoneProject() = default;
    RingtoneProject(const RingtoneProject&) = delete;
    RingtoneProject& operator=(const RingtoneProject&) = delete;

    // Opens the tracks (behind progress runs), chooses the effects and marks the range. False
    // when a step failed or was interrupted; its message has been printed.
    bool Build(const MakeOptions& options, IProgressFactory& progress);

    RingtoneTimeline& Timeline() { return timeline_; }
    // The marked range.
    int64_t Start() const { return timeline_.StartMarker(); }
    int64_t End() const { return timeline_.EndMarker(); }

private:
    // In the order they must outlive each other: the tree outlives the timeline that feeds
    // it, the slots outlive the timeline that mixes them.
    CEffectTree tree_;
    CVolumeEffect volume_;
    TrackSlot slots_[2];
    RingtoneTimeline timeline_;
};
