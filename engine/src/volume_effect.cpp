// The volume stage of the render chain.
#include "engine/render_chain.h"

#include <algorithm>
#include <cstdio>

#include "dsp/nsp_vector.h"
#include "effecttree/effect_tree.h"

void CVolumeEffect::SetVolume(int position) {
    m_fVolume.store(static_cast<float>(std::clamp(position, 0, kMaxVolume)) / 100.0f);
}

uint32_t CVolumeEffect::GetSoundData(_SOUNDDATAEX_* block) {
    CEffectTree* tree = m_pTree.load();
    if (tree == nullptr) {
        block->frames = 0;
        return 0;
    }
    const uint32_t frames = tree->GetSoundData(block);
    if (frames > 0) {
        const float factor = m_fVolume.load();
        for (float* channel : block->channels) nspsbMpy1(factor, channel, static_cast<int>(frames));
    }
    return frames;
}

std::string VolumeLabel(int position) {
    char text[32];
    std::snprintf(text, sizeof text, "Volume: %d%%", position);
    return text;
}
