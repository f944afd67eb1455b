// What the render benchmarks share: one track open on a timeline with a marked range and
// both fades, as page 2 leaves it, and the saver set to an encoder at 128 kbps stereo.
#pragma once

#include <cstdint>
#include <iterator>

#include "effecttree/effect_tree.h"
#include "engine/progress.h"
#include "engine/render_chain.h"
#include "engine/saver.h"
#include "engine/track.h"

class BenchRange {
public:
    // False when the track does not open.
    bool Open(const char* path, int64_t start, int64_t length) {
        slot.SetPath(path);
        if (!slot.Open(progress)) return false;
        volume.SetEffectTree(&tree);
        timeline.AttachChain(&tree, &volume);
        timeline.SetTracks(&slot, nullptr);
        timeline.SetProjectLength(timeline.TracksEnd());
        timeline.SetMarkers(start, start + length);
        timeline.SetFadeIn(true);
        timeline.SetFadeOut(true);
        return true;
    }

    // False when the provider has no such encoder.
    static bool ChooseEncoder(RingtoneSaver& saver, uint32_t tag) {
        const auto& encoders = RingtoneSaver::Encoders();
        const auto encoder = encoders.find(tag);
        return encoder != encoders.end() &&
               saver.SetOutput(static_cast<size_t>(std::distance(encoders.begin(), encoder)), 2, 128);
    }

    HeadlessProgressFactory progress;
    TrackSlot slot;
    CEffectTree tree;
    CVolumeEffect volume;
    RingtoneTimeline timeline;
};
